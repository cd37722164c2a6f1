// Charts from the precise record: a run's own record beside its results
// file replaces the 0.01 s cells, a record of any other run is ignored, and
// the medians of repeated runs carry their intervals.
#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/records/measurement.hpp"
#include "result_fixtures.hpp"
#include "stand_in_programs.hpp"
#include "study/charts/chart_job.hpp"
#include "study/charts/precise_times.hpp"
#include "study/charts/result_charts.hpp"
#include "support/test_support.hpp"

namespace {

using namespace fixtures;
using namespace study_tests;
namespace fs = std::filesystem;

// How often `text` holds `attribute`, and `also` up to and with the next '<'
// (the rest of that element and its text), when given.
std::size_t count_matches(const std::string& text, const std::string& attribute, const std::string& also = "") {
  std::size_t count = 0;
  for (std::size_t at = text.find(attribute); at != std::string::npos; at = text.find(attribute, at + 1)) {
    const std::size_t end = std::min(text.find('<', at), text.size() - 1);
    if (also.empty() || text.substr(at, end + 1 - at).find(also) != std::string::npos) ++count;
  }
  return count;
}

// Short rows below the clock's resolution; the combined quicksort is fastest at the first cutoff.
std::int64_t recursive_cell(std::size_t row, std::size_t) { return row < 3 ? 0 : static_cast<std::int64_t>(50 + row); }
std::int64_t combined_cell(std::size_t row, std::size_t column) {
  return row < 3 ? 0 : static_cast<std::int64_t>(40 + row + column);
}
RecordedCell cutoff_window(std::size_t table, std::size_t row, std::size_t column) {
  const std::int64_t recursive = static_cast<std::int64_t>(row + 1) * 1'000'000;
  if (table == 0) return {recursive_cell(row, column), recursive};
  return {combined_cell(row, column), recursive * static_cast<std::int64_t>(80 + column) / 100};
}

class ChartsBesideARecord : public ::testing::Test {
 protected:
  std::string cutoff_chart_with(const std::string& record) {
    write_text(scratch.path() / "record.csv", record);
    study::ChartJob job;
    study::chart_results_file(results, job);
    EXPECT_TRUE(job.rejection.empty()) << job.rejection;
    return test_support::read_file(scratch.path() / "vystup-cutoff-ratio.svg");
  }

  test_support::ScratchDirectory scratch;
  fs::path results = scratch.path() / "vystup.out";
  const analysis::SuiteProgram& cutoffwide = *analysis::find_suite_program("cutoffwide");
};

TEST_F(ChartsBesideARecord, TheRunsOwnRecordReplacesTheCellsAndAnyOtherRecordIsIgnored) {
  write_text(results, cutoffwide_file(recursive_cell, combined_cell));
  const std::string record = program_record(cutoffwide, "5", cutoff_window);

  const std::string precise = cutoff_chart_with(record);
  EXPECT_NE(precise.find("precise times from the run&#39;s record"), std::string::npos);
  EXPECT_EQ(precise.find("below 0.01 s)"), std::string::npos);  // no row lost to the clock
  EXPECT_EQ(count_matches(precise, "class=\"below-resolution\""), 0u);
  const std::size_t rows = cutoff::kCutoffwide.lengths.size();
  EXPECT_EQ(count_matches(precise, "class=\"best\"", "data-cutoff=\"21\""), rows);
  EXPECT_EQ(count_matches(precise, "class=\"interval\""), 0u);  // one run: no interval to draw

  // Another run's record (one window differs from the file), a record cut
  // short and one that is no record at all leave the chart to the cells.
  std::string foreign = record;
  const std::size_t last_row = foreign.rfind("\r\n", foreign.size() - 3) + 2;
  std::string cut_short = foreign.substr(0, last_row);
  const std::size_t hundredths = foreign.rfind(',', foreign.rfind(',') - 1) + 1;
  foreign.insert(hundredths, "9");
  for (const std::string& other : {foreign, cut_short, std::string("not,a,record\r\n")}) {
    const std::string coarse = cutoff_chart_with(other);
    EXPECT_EQ(coarse.find("precise times"), std::string::npos);
    EXPECT_NE(coarse.find("below 0.01 s)"), std::string::npos);
  }
}

// A results file's cells reach the record's by their labels, whatever order
// the record holds them in; a table, row or column it lacks has no samples.
TEST(PreciseTable, FindsEachCellOfTheFileByItsLabels) {
  const auto nanoseconds = [](const std::string& row, const std::string& column) {
    return std::stoll(row) * 100 + (column == "b" ? 1 : 0);
  };
  analysis::MeasurementSet set;
  for (const std::string row : {"20", "10"}) {
    for (const std::string column : {"b", "a"}) {
      set.add({"tallygrid", "Quicksort", row, column, "QSORT", 1, 1, 0, nanoseconds(row, column)});
    }
  }
  const study::PreciseTimes precise(analysis::program_grid(set, "tallygrid"));
  const std::vector<std::int64_t> rows{10, 20, 30};
  const std::vector<std::string> columns{"a", "b", "c"};
  const study::PreciseTable quick = precise.table("Quicksort", rows, columns);
  ASSERT_EQ(quick.samples(0, 0).size(), 1u);
  EXPECT_EQ(quick.samples(0, 0)[0].nanoseconds, nanoseconds("10", "a"));
  EXPECT_EQ(quick.samples(1, 1)[0].nanoseconds, nanoseconds("20", "b"));
  EXPECT_EQ(quick.samples(0, 1)[0].nanoseconds, nanoseconds("10", "b"));
  EXPECT_TRUE(quick.samples(2, 0).empty());  // no row 30 in the record
  EXPECT_TRUE(quick.samples(0, 2).empty());  // nor a column "c"
  EXPECT_FALSE(quick.time(2, 0).has_value());

  const study::PreciseTable counting = precise.table("Countingsort", rows, columns);
  EXPECT_TRUE(counting.samples(0, 0).empty());
  EXPECT_FALSE(study::precise_ratio(quick, counting, 0, 0).has_value());
  EXPECT_DOUBLE_EQ(study::precise_ratio(quick, quick, 1, 1)->ratio, 1.0);
}

// Three runs of tallygrid: quicksort three times as slow as counting sort
// everywhere except the first cell, where the runs disagree on the winner.
// One window, run 2's quicksort in the second cell, lost half its time to
// other work.
study::PreciseTimes three_tallygrid_runs() {
  const std::vector<std::string> columns = analysis::find_suite_program("tallygrid")->column_labels();
  const double first_cell[] = {0.9, 1.1, 1.0};
  const double elsewhere[] = {3.0, 3.1, 2.9};
  analysis::MeasurementSet set;
  for (int repeat = 1; repeat <= 3; ++repeat) {
    for (std::size_t row = 0; row < quickvscount::kTallygrid.lengths.size(); ++row) {
      for (std::size_t column = 0; column < columns.size(); ++column) {
        const double factor = (row == 0 && column == 0 ? first_cell : elsewhere)[repeat - 1];
        const std::string length = std::to_string(quickvscount::kTallygrid.lengths[row]);
        const auto add = [&](const char* table, const char* kernel, double nanoseconds, double on_cpu) {
          analysis::Measurement window{"tallygrid",
                                       table,
                                       length,
                                       columns[column],
                                       kernel,
                                       repeat,
                                       static_cast<std::uint32_t>(repeat),
                                       0,
                                       static_cast<std::int64_t>(nanoseconds)};
          window.cpu_nanoseconds = static_cast<std::int64_t>(nanoseconds * on_cpu);
          window.involuntary_switches = on_cpu < 1 ? 3 : 0;
          set.add(std::move(window));
        };
        add("Quicksort", "QSORT", 1e6 * factor, repeat == 2 && row == 0 && column == 1 ? 0.5 : 1.0);
        add("Countingsort", "CSORT", 1e6, 1.0);
      }
    }
  }
  return study::PreciseTimes(analysis::program_grid(set, "tallygrid"));
}

TEST(MedianCharts, DrawEveryCellsIntervalAndMarkTheCellsWithoutAWinner) {
  const std::string zeros =
      tallygrid_file([](std::size_t, std::size_t) { return 0; }, [](std::size_t, std::size_t) { return 0; });
  const analysis::ResultFile layout = *analysis::parse_result_file(zeros).result;
  const study::PreciseTimes precise = three_tallygrid_runs();
  const std::vector<study::ChartFile> charts = study::build_charts(layout, "median", "tallygrid", precise);
  ASSERT_EQ(charts.size(), 2u);

  const std::string& heat_map = charts[0].content;
  EXPECT_EQ(charts[0].file_name, "median-ratio-heatmap.svg");
  EXPECT_NE(heat_map.find("medians of 3 runs"), std::string::npos);
  EXPECT_EQ(count_matches(heat_map, "class=\"cell undecided\""), 1u);
  // Every cell at 3.0x but the undecided one and the disturbed one, marked 3.0x*.
  EXPECT_EQ(count_matches(heat_map, "class=\"cell-text\"", ">3.0\xc3\x97<"), layout.cell_count() / 2 - 2);
  EXPECT_EQ(count_matches(heat_map,
                          ">2.9\xe2\x80\x93"
                          "3.1<"),
            layout.cell_count() / 2 - 1);
  EXPECT_EQ(heat_map.find("both below 0.01 s"), std::string::npos);
  // The cell with the disturbed window is marked, and the mark explained.
  EXPECT_EQ(count_matches(heat_map, "class=\"cell-text\"", "\xc3\x97*<"), 1u);
  EXPECT_NE(heat_map.find(">*: a disturbed window,<"), std::string::npos);

  const std::string& times = charts[1].content;
  EXPECT_EQ(count_matches(times, "class=\"interval\""), layout.cell_count());
  EXPECT_EQ(count_matches(times, "class=\"below-resolution\""), 0u);
  EXPECT_NE(times.find("min to max of 3 runs (a 75 % interval)"), std::string::npos);
  // The disturbed window's point ringed, once, and the ring explained.
  EXPECT_EQ(count_matches(times, "class=\"disturbed\""), 2u);  // the point's and the legend's
  EXPECT_NE(times.find("dashed ring: a disturbed window, left out of the decisions"), std::string::npos);
}

}  // namespace
