// The format of the precise record: CSV fields, the columns, writing a row
// and reading a record back with every field checked.
#include "kit/record/record_format.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kit/record/csv_fields.hpp"
#include "kit/record/record_reader.hpp"

namespace {

using kit::record::read_record;
using kit::record::Record;
using kit::record::RecordError;
using kit::record::Row;

// ---- CSV fields -------------------------------------------------------------

TEST(CsvFields, QuoteOnlyWhatMustBeQuotedAndSplitBackToTheSameFields) {
  struct Case {
    std::string field;
    std::string written;
  };
  const std::vector<Case> cases{
      {"QS", "QS"},
      {"", ""},
      {" padded ", " padded "},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"cr\ronly", "\"cr\ronly\""},
  };
  std::string line;
  for (const Case& c : cases) {
    std::string written;
    kit::csv::append_field(written, c.field);
    EXPECT_EQ(written, c.written) << c.field;
    if (&c != &cases.front()) line += ',';
    line += written;
  }
  line += "\r\nnext";
  const kit::csv::SplitRow row = kit::csv::split_row(line);
  ASSERT_TRUE(row.ok()) << row.expected << " / " << row.found;
  ASSERT_EQ(row.fields.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(row.fields[i], cases[i].field) << i;
  EXPECT_EQ(line.substr(row.end), "next") << "the row ends after its CR LF";
  EXPECT_EQ(row.inner_line_ends, 1u) << "one quoted field spans a line end";
}

TEST(CsvFields, ARowEndsAtLfOrCrLfOrTheEndOfTheText) {
  EXPECT_EQ(kit::csv::split_row("a,b\nc").end, 4u);
  EXPECT_EQ(kit::csv::split_row("a,b\r\nc").end, 5u);
  EXPECT_EQ(kit::csv::split_row("x\na,b", 2).end, 5u);
  EXPECT_EQ(kit::csv::split_row("x\na,b", 2).fields, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(kit::csv::split_row("a,").fields, (std::vector<std::string>{"a", ""}));
}

TEST(CsvFields, MalformedQuotingIsNamedWithWhatWasExpectedAndFound) {
  struct Case {
    std::string line;
    std::string expected;
    std::string found;
  };
  const std::vector<Case> cases{
      {"a,\"open", "a closing quote", "the end of the text"},
      {"a,b\"c", "a quote only at the start of a field", "\"\"\""},
      {"\"q\"x,b", "a comma or the end of the row after a closing quote", "\"x\""},
      {"a\rb", "an LF after a CR", "\"b\""},
  };
  for (const Case& c : cases) {
    const kit::csv::SplitRow row = kit::csv::split_row(c.line);
    EXPECT_FALSE(row.ok()) << c.line;
    EXPECT_EQ(row.expected, c.expected) << c.line;
    EXPECT_EQ(row.found, c.found) << c.line;
  }
}

// ---- writing and reading a record -------------------------------------------

TEST(RecordColumns, AreTheTwelveLabelColumnsThenTheKernelAndTheIndicesThenTheEvidence) {
  EXPECT_EQ(kit::record::header_line(),
            "program,seed,seed_source,hundredths_clock,nanoseconds_clock,window,windows,table,row_label,column_label,"
            "hundredths,nanoseconds,kernel,table_index,row_index,column_index,cpu_nanoseconds,involuntary_switches,"
            "migrations,cycles,instructions,branch_misses,cache_misses,uncounted");
  EXPECT_EQ(kit::record::header_line(kit::record::kKernelColumns),
            "program,seed,seed_source,hundredths_clock,nanoseconds_clock,window,windows,table,row_label,column_label,"
            "hundredths,nanoseconds,kernel,table_index,row_index,column_index");
  EXPECT_EQ(kit::record::header_line(kit::record::kLabelColumns),
            "program,seed,seed_source,hundredths_clock,nanoseconds_clock,window,windows,table,row_label,column_label,"
            "hundredths,nanoseconds");
}

Row sample_row(std::size_t window, std::size_t windows) {
  return {.program = "tallygrid",
          .seed = 4294967295u,
          .seed_source = "SORTBENCH_SEED",
          .hundredths_clock = "local_time_of_day",
          .nanoseconds_clock = "CLOCK_MONOTONIC",
          .window = window,
          .windows = windows,
          .table = "Quicksort",
          .row_label = "10000",
          .column_label = "10",
          .hundredths = 3,
          .nanoseconds = 123456789012,
          .kernel = "QSORT",
          .table_index = 0,
          .row_index = 2,
          .column_index = 0,
          .cpu_nanoseconds = 123000000000,
          .involuntary_switches = 4,
          .migrations = 0};
}

std::string record_text(const std::vector<Row>& rows, const char* line_end = "\r\n") {
  std::string text = kit::record::header_line() + line_end;
  for (const Row& row : rows) {
    kit::record::append_row(text, row);
    text += line_end;
  }
  return text;
}

// The error that reading `text` throws; `what` names the text in a failure
// when it is read without one.
RecordError refusal(const std::string& text, const std::string& source, const std::string& what) {
  try {
    read_record(text, source);
  } catch (const RecordError& error) {
    return error;
  }
  ADD_FAILURE() << what << " was accepted:\n" << text;
  return RecordError(source, 0, "a refusal", "none");
}

TEST(RecordReader, ReadsBackWhatTheRowsWriteLabelsWithCommasQuotesAndLineEndsIncluded) {
  std::vector<Row> rows{sample_row(1, 3), sample_row(2, 3), sample_row(3, 3)};
  rows[1].table = "Counting, \"fast\"";
  rows[1].kernel = "CSORT";
  rows[1].table_index = 1;
  rows[1].hundredths = -2;  // the wall clock set back during the window
  rows[2].column_label = "two\r\nlines";
  rows[2].nanoseconds = 0;
  rows[2].seed = rows[1].seed;
  rows[2].involuntary_switches = 0;
  for (const char* line_end : {"\r\n", "\n"}) {
    const Record record = read_record(record_text(rows, line_end), "record.csv");
    EXPECT_EQ(record.rows, rows);
    EXPECT_TRUE(record.has_kernels());
    EXPECT_TRUE(record.has_evidence());
    EXPECT_TRUE(record.complete());
    EXPECT_EQ(record.program, "tallygrid");
    EXPECT_EQ(record.seed, 4294967295u);
    EXPECT_EQ(record.windows, 3u);
  }
  EXPECT_NE(record_text(rows).find(",123000000000,4,0,,,,,cycles instructions branch_misses cache_misses\r\n"),
            std::string::npos)
      << "counts the system does not give are empty, and named once in uncounted";
  std::string without_last_line_end = record_text(rows);
  without_last_line_end.resize(without_last_line_end.size() - 2);
  EXPECT_EQ(read_record(without_last_line_end, "record.csv").rows, rows);

  const Record short_record = read_record(record_text({sample_row(1, 3)}), "record.csv");
  EXPECT_EQ(short_record.rows.size(), 1u);
  EXPECT_FALSE(short_record.complete()) << "one of three windows";
  const Record no_rows = read_record(kit::record::header_line() + "\r\n", "record.csv");
  EXPECT_TRUE(no_rows.rows.empty());
  EXPECT_FALSE(no_rows.complete());
}

TEST(RecordReader, ReadsTheRecordsWrittenBeforeTheKernelsAndBeforeTheEvidenceWithoutThem) {
  const std::string labels_only =
      "program,seed,seed_source,hundredths_clock,nanoseconds_clock,window,windows,table,row_label,column_label,"
      "hundredths,nanoseconds\r\n"
      "tallygrid,777,SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC,1,2,Quicksort,10000,10,0,197257\r\n"
      "tallygrid,777,SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC,2,2,Countingsort,10000,10,0,17494\r\n";
  const Record record = read_record(labels_only, "old.csv");
  EXPECT_EQ(record.columns, kit::record::kLabelColumns);
  EXPECT_FALSE(record.has_kernels());
  EXPECT_FALSE(record.has_evidence());
  ASSERT_EQ(record.rows.size(), 2u);
  EXPECT_TRUE(record.complete());
  const Row& row = record.rows[1];
  EXPECT_EQ(row.table, "Countingsort");
  EXPECT_EQ(row.nanoseconds, 17494);
  EXPECT_EQ(row.kernel, "");
  EXPECT_FALSE(row.table_index || row.row_index || row.column_index);
  EXPECT_FALSE(row.cpu_nanoseconds || row.involuntary_switches || row.cycles);

  // The old layout is checked as closely as the new one.
  std::string bad = labels_only;
  bad.replace(bad.rfind(",2,2,"), 5, ",-1,2,");
  EXPECT_STREQ(refusal(bad, "old.csv", "window -1").what(),
               "old.csv:3: expected window to be a whole number from 1 to 2, found \"-1\"");

  const std::string with_kernels =
      "program,seed,seed_source,hundredths_clock,nanoseconds_clock,window,windows,table,row_label,column_label,"
      "hundredths,nanoseconds,kernel,table_index,row_index,column_index\r\n"
      "tallygrid,777,SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC,1,2,Quicksort,10000,10,0,197257,QSORT,0,0,0\r\n"
      "tallygrid,777,SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC,2,2,Countingsort,10000,10,0,17494,CSORT,1,0,"
      "0\r\n";
  const Record kernels = read_record(with_kernels, "today.csv");
  EXPECT_EQ(kernels.columns, kit::record::kKernelColumns);
  EXPECT_TRUE(kernels.has_kernels());
  EXPECT_FALSE(kernels.has_evidence());
  ASSERT_EQ(kernels.rows.size(), 2u);
  EXPECT_EQ(kernels.rows[1].kernel, "CSORT");
  EXPECT_EQ(kernels.rows[1].table_index, 1u);
  EXPECT_FALSE(kernels.rows[1].cpu_nanoseconds || kernels.rows[1].migrations || kernels.rows[1].cache_misses);
}

// The record below, with one field of one line replaced.
struct Fault {
  const char* what;
  std::size_t line;          // 1 is the header
  std::string_view column;   // the column of the field replaced
  std::string field;         // written as it stands, unquoted
  std::size_t replaced = 1;  // the fields from `column` on that `field` replaces
};

std::string faulty_record(const Fault& fault) {
  std::vector<std::string> lines{
      kit::record::header_line(),
      "smallsix,2024,SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC,1,3,maloprvkove "
      "polia,5,QS,1,100,QSORT,0,0,0,90,0,1,,,,,cycles instructions branch_misses cache_misses",
      "smallsix,2024,SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC,2,3,maloprvkove "
      "polia,5,MS,2,200,MSORT,0,0,1,190,1,0,,,,,cycles instructions branch_misses cache_misses",
      "smallsix,2024,SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC,3,3,maloprvkove "
      "polia,5,HS,3,300,HSORT,0,0,2,290,0,0,,,,,cycles instructions branch_misses cache_misses",
  };
  std::string& line = lines[fault.line - 1];
  const std::size_t position = kit::record::position_of(fault.column);
  EXPECT_LT(position, kit::record::kColumns.size()) << fault.what << ": no column " << fault.column;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < position; ++i) begin = line.find(',', begin) + 1;
  std::size_t end = begin;
  for (std::size_t i = 0; i < fault.replaced && end != std::string::npos; ++i) end = line.find(',', end + (i > 0));
  line.replace(begin, end == std::string::npos ? std::string::npos : end - begin, fault.field);
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

void expect_refused(const Fault& fault, const std::string& message) {
  const RecordError error = refusal(faulty_record(fault), "r.csv", fault.what);
  EXPECT_EQ(error.what(), message) << fault.what;
  EXPECT_EQ(error.source(), "r.csv");
  EXPECT_EQ(error.line(), fault.line) << fault.what;
}

TEST(RecordReader, RefusesAHeaderOrARowOfAnotherShapeNamingTheSourceTheLineAndWhatWasExpected) {
  const std::vector<std::pair<Fault, std::string>> cases{
      {{"a renamed column", 1, "kernel", "sort"},
       "r.csv:1: expected column 13 of the header to be \"kernel\", found \"sort\""},
      {{"an unknown layout", 1, "uncounted", "uncounted,note"},
       "r.csv:1: expected a header of 12, 16 or 24 columns, found 25 columns"},
      {{"a layout cut short", 1, "cache_misses", "cache_misses", 2},
       "r.csv:1: expected a header of 12, 16 or 24 columns, found 23 columns"},
      {{"a missing field", 3, "row_index", "0", 2}, "r.csv:3: expected 24 fields, as in the header, found 23 fields"},
      {{"an extra field", 3, "column_index", "1,9"}, "r.csv:3: expected 24 fields, as in the header, found 25 fields"},
      {{"an empty count that uncounted leaves out", 3, "cpu_nanoseconds", ""},
       "r.csv:3: expected uncounted to be the empty evidence columns, \"cpu_nanoseconds cycles instructions "
       "branch_misses cache_misses\", found \"cycles instructions branch_misses cache_...\""},
      {{"a count that uncounted names", 2, "uncounted", "migrations cycles instructions branch_misses cache_misses"},
       "r.csv:2: expected uncounted to be the empty evidence columns, \"cycles instructions branch_misses "
       "cache_misses\", found \"migrations cycles instructions branch_mi...\""},
      {{"an open quote", 3, "table", "\"maloprvkove"}, "r.csv:3: expected a closing quote, found the end of the text"},
  };
  for (const auto& [fault, message] : cases) expect_refused(fault, message);
}

TEST(RecordReader, RefusesEveryMalformedFieldNamingTheSourceTheLineAndWhatWasExpected) {
  // Each is refused as "r.csv:LINE: expected COLUMN to be EXPECTED, found
  // FIELD", the field quoted or, when empty, named so.
  const std::vector<std::pair<Fault, std::string>> cases{
      {{"an empty program", 2, "program", ""}, "the program's name"},
      {{"another program", 3, "program", "smallfive"}, "\"smallsix\" as on line 2"},
      {{"a negative seed", 2, "seed", "-1"}, "a whole number from 0 to 4294967295"},
      {{"a seed too large", 2, "seed", "4294967296"}, "a whole number from 0 to 4294967295"},
      {{"another seed", 4, "seed", "2025"}, "\"2024\" as on line 2"},
      {{"an unknown seed source", 2, "seed_source", "dice"}, "tick_count or SORTBENCH_SEED"},
      {{"another seed source", 3, "seed_source", "tick_count"}, "\"SORTBENCH_SEED\" as on line 2"},
      {{"another cell clock", 2, "hundredths_clock", "utc"}, "local_time_of_day"},
      {{"no precise clock", 2, "nanoseconds_clock", ""}, "the monotonic clock's name"},
      {{"window -1", 3, "window", "-1"}, "a whole number from 1 to 3"},
      {{"window 0", 2, "window", "0"}, "a whole number from 1 to 3"},
      {{"a window beyond the count", 4, "window", "4"}, "a whole number from 1 to 3"},
      {{"a window out of order", 3, "window", "3"}, "2, the row's place in the record"},
      {{"a fractional window", 3, "window", "2.0"}, "a whole number from 1 to 3"},
      {{"no windows", 2, "windows", "0"}, "a whole number of at least 1"},
      {{"a negative count", 2, "windows", "-3"}, "a whole number of at least 1"},
      {{"another count", 3, "windows", "4"}, "\"3\" as on line 2"},
      {{"no table", 3, "table", ""}, "the table's name"},
      {{"no row label", 3, "row_label", ""}, "the row's label"},
      {{"no column label", 3, "column_label", ""}, "the column's label"},
      {{"fractional hundredths", 3, "hundredths", "1.5"}, "a whole number"},
      {{"no hundredths", 3, "hundredths", ""}, "a whole number"},
      {{"negative nanoseconds", 3, "nanoseconds", "-1"}, "a whole number of at least 0"},
      {{"nanoseconds with a sign", 3, "nanoseconds", "+5"}, "a whole number of at least 0"},
      {{"no kernel", 3, "kernel", ""}, "the name of a sort"},
      {{"a negative table index", 3, "table_index", "-1"}, "a whole number of at least 0"},
      {{"a row index in words", 3, "row_index", "one"}, "a whole number of at least 0"},
      {{"no column index", 3, "column_index", ""}, "a whole number of at least 0"},
      {{"negative CPU time", 3, "cpu_nanoseconds", "-5"}, "a whole number of at least 0"},
      {{"switches in words", 4, "involuntary_switches", "none"}, "a whole number of at least 0"},
  };
  for (const auto& [fault, expected] : cases) {
    const std::string found = fault.field.empty() ? "an empty field" : "\"" + fault.field + "\"";
    expect_refused(fault, "r.csv:" + std::to_string(fault.line) + ": expected " + std::string(fault.column) +
                              " to be " + expected + ", found " + found);
  }
}

TEST(RecordReader, CountsTheLinesOfAQuotedLabelThatSpansLineEnds) {
  std::vector<Row> rows{sample_row(1, 2), sample_row(2, 2)};
  rows[0].row_label = "a\r\nb\r\nc";
  std::string text = record_text(rows);
  text.replace(text.rfind(",QSORT,"), 7, ",,");
  const RecordError error = refusal(text, "r.csv", "an empty kernel");
  EXPECT_EQ(error.line(), 5u) << error.what();
}

TEST(RecordReader, RefusesATextThatIsNoRecord) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"", "in.csv:1: expected a run record's header, found an empty text"},
      {"a,b\r\n", "in.csv:1: expected column 1 of the header to be \"program\", found \"a\""},
      {kit::record::header_line() + "\r\n\r\n", "in.csv:2: expected 24 fields, as in the header, found 1 fields"},
  };
  for (const auto& [text, message] : cases) EXPECT_EQ(refusal(text, "in.csv", "the text").what(), message);
}

}  // namespace
