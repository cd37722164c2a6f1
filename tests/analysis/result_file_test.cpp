// Reading results files back: every cell of every layout, and files that are
// malformed, cut short or empty rejected with the line at fault named.
#include "analysis/records/result_file.hpp"

#include <gtest/gtest.h>

#include "result_fixtures.hpp"

namespace {

using analysis::parse_result_file;
using analysis::parse_time_cell;
using analysis::RowCheck;
using namespace fixtures;

// A different value in every cell, including past an hour in the short form.
std::int64_t distinct(std::size_t row, std::size_t column) {
  return static_cast<std::int64_t>(row * 100 + column * 7 + 1) * 37 + (row == 3 && column == 1 ? 400000 : 0);
}

analysis::ResultFile parsed(const std::string& text, analysis::RowCheck rows = analysis::RowCheck::suite_rows) {
  auto outcome = analysis::parse_result_file(text, rows);
  EXPECT_TRUE(outcome.result) << "line " << outcome.error.line << ": " << outcome.error.message;
  return outcome.result ? *outcome.result : analysis::ResultFile{};
}

std::string name_of(const analysis::ResultFile& result) {
  return result.program ? std::string(result.program->name) : std::string();
}

void expect_every_cell(const analysis::CellTable& table, const std::vector<std::int32_t>& rows, std::size_t columns,
                       const CellValue& value) {
  ASSERT_EQ(table.row_labels.size(), rows.size());
  ASSERT_EQ(table.column_labels.size(), columns);
  for (std::size_t row = 0; row < rows.size(); ++row) {
    EXPECT_EQ(table.row_labels[row], rows[row]);
    for (std::size_t column = 0; column < columns; ++column) {
      EXPECT_EQ(table.cell(row, column), value(row, column)) << table.name << " row " << row << " column " << column;
    }
  }
}

TEST(TimeCell, ReadsBothFormsAndTheSignedCellsOfAClockSetBack) {
  EXPECT_EQ(analysis::parse_time_cell("00:04.37", false), 437);
  EXPECT_EQ(analysis::parse_time_cell("59:59.99", false), 359999);
  EXPECT_EQ(analysis::parse_time_cell("66:40.00", false), 400000);
  EXPECT_EQ(analysis::parse_time_cell("143:20.05", false), 860005);
  EXPECT_EQ(analysis::parse_time_cell("00:00:02.47", true), 247);
  EXPECT_EQ(analysis::parse_time_cell("01:06:40.00", true), 400000);
  EXPECT_EQ(analysis::parse_time_cell("100:00:00.00", true), 36000000);
  EXPECT_EQ(analysis::parse_time_cell("00:00.-7", false), -7);
  EXPECT_EQ(analysis::parse_time_cell("00:-1.-50", false), -150);
  EXPECT_EQ(analysis::parse_time_cell("-59:-40.00", false), -358000);
  EXPECT_EQ(analysis::parse_time_cell("-23:-59:-40.00", true), -8638000);
  for (const char* bad : {"", "0:04.37", "00:4.37", "00:04.3", "00:60.00", "00:04.100", " 00:04.37", "00:04.37 ",
                          "00-04.37", "00:04:37", "00:-4.37", "-1:04.37", "aa:bb.cc", "00:00:04.37"}) {
    EXPECT_FALSE(analysis::parse_time_cell(bad, false)) << bad;
  }
  for (const char* bad : {"00:04.37", "00:60:00.00", "0:00:04.37", "00:00:04.3"}) {
    EXPECT_FALSE(analysis::parse_time_cell(bad, true)) << bad;
  }
}

TEST(EveryLayout, ReadsBackEveryCellAndNamesItsProgram) {
  for (const auto* program : {&smallarrays::kSmallsix, &smallarrays::kSmallfive}) {
    const auto result = parsed(small_arrays_file(*program, distinct));
    EXPECT_EQ(result.family, analysis::ProgramFamily::small_arrays);
    EXPECT_EQ(name_of(result), program->name);
    ASSERT_EQ(result.tables.size(), 1u);
    EXPECT_EQ(result.tables[0].name, "maloprvkove polia");
    expect_every_cell(result.tables[0], {program->lengths.begin(), program->lengths.end()}, program->algorithms.size(),
                      distinct);
  }
  const auto reversed = [](std::size_t row, std::size_t column) { return distinct(column, row) + 5; };
  const auto grid = parsed(tallygrid_file(distinct, reversed));
  EXPECT_EQ(grid.family, analysis::ProgramFamily::grid_duel);
  EXPECT_EQ(name_of(grid), "tallygrid");
  ASSERT_EQ(grid.tables.size(), 2u);
  EXPECT_EQ(grid.tables[0].name, "Quicksort");
  EXPECT_EQ(grid.tables[1].name, "Countingsort");
  EXPECT_EQ(grid.tables[0].column_labels,
            (std::vector<std::string>{"10", "100", "1000", "10000", "100000", "1000000", "10000000"}));
  const std::vector<std::int32_t> grid_rows(quickvscount::kTallygrid.lengths.begin(),
                                            quickvscount::kTallygrid.lengths.end());
  expect_every_cell(grid.tables[0], grid_rows, 7, distinct);
  expect_every_cell(grid.tables[1], grid_rows, 7, reversed);

  const auto wide = parsed(cutoffwide_file(reversed, distinct));
  EXPECT_EQ(name_of(wide), "cutoffwide");
  EXPECT_EQ(wide.family, analysis::ProgramFamily::cutoff);
  EXPECT_EQ(wide.tables[1].name, "kombinovany Quicksort a Insertsort");
  EXPECT_EQ(wide.tables[0].column_labels.front(), "21");
  expect_every_cell(wide.tables[1], grid_rows, 9, distinct);

  const auto narrow = parsed(cutoffnarrow_file(distinct, distinct));
  EXPECT_EQ(name_of(narrow), "cutoffnarrow");
  expect_every_cell(narrow.tables[0], {20000000, 30000000, 40000000, 50000000, 60000000}, 7, distinct);

  const auto blocks = tallyduel_blocks([](std::size_t i) { return static_cast<std::int64_t>(i) * 113; },
                                       [](std::size_t i) { return 360000 + static_cast<std::int64_t>(i); });
  const auto duel = parsed(tallyduel_file(blocks));
  EXPECT_EQ(duel.family, analysis::ProgramFamily::file_duel);
  EXPECT_EQ(name_of(duel), "tallyduel");
  ASSERT_EQ(duel.inputs.size(), 9u);
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(duel.inputs[i].number, static_cast<std::int64_t>(i) + 1);
    EXPECT_EQ(duel.inputs[i].count, blocks[i].count);
    EXPECT_EQ(duel.inputs[i].range, blocks[i].range);
    EXPECT_EQ(duel.inputs[i].quicksort, blocks[i].quick);
    EXPECT_EQ(duel.inputs[i].countingsort, blocks[i].counting);
  }
  EXPECT_EQ(duel.total_hundredths(), 113 * 36 + 9 * 360000 + 36);
}

struct Damage {
  const char* what;
  std::function<void(std::vector<std::string>&)> apply;
  std::size_t line;
  const char* message_part;
};

void expect_rejected(const std::string& good, const Damage& damage, bool keep_final_line_end = true) {
  auto lines = crlf_lines(good);
  damage.apply(lines);
  std::string text = join_crlf(lines);
  if (!keep_final_line_end) text.resize(text.size() - 2);
  const auto outcome = analysis::parse_result_file(text);
  ASSERT_FALSE(outcome.result) << damage.what;
  EXPECT_EQ(outcome.error.line, damage.line) << damage.what << ": " << outcome.error.message;
  EXPECT_NE(outcome.error.message.find(damage.message_part), std::string::npos)
      << damage.what << ": " << outcome.error.message;
}

TEST(DamagedFile, SmallArrayTableNamesTheLineAndWhatWasExpected) {
  const std::string good = small_arrays_file(smallarrays::kSmallsix, distinct);
  const Damage damages[] = {
      {"unknown first line", [](auto& l) { l[0] = "Results:"; }, 1, "expected \"Vysledky pre maloprvkove polia:\""},
      {"no empty line", [](auto& l) { l[1] = "x"; }, 2, "an empty line after the caption"},
      {"header without corner", [](auto& l) { l[2] = " n | QS |"; }, 3, "header line"},
      {"separator of other characters", [](auto& l) { l[3] = "====="; }, 4, "separator"},
      {"a comma in a cell", [](auto& l) { l[4].replace(12, 1, ","); }, 5, "time cell"},
      {"a cell missing", [](auto& l) { l[6] = l[6].substr(0, l[6].size() - 11); }, 7, "6 cells"},
      {"a wrong row", [](auto& l) { l[8].replace(4, 2, "16"); }, 9, "n = 15, found n = 16"},
      {"a separator missing", [](auto& l) { l.erase(l.begin() + 5); }, 6, "separator line after the row"},
      {"rows missing at the end", [](auto& l) { l.resize(30); }, 31, "expected the row of n = 70, found the end"},
      {"a line too many", [](auto& l) { l.push_back(l[4]); }, 37, "expected an empty line or the end"},
  };
  for (const Damage& damage : damages) expect_rejected(good, damage);
  expect_rejected(good, {"cut inside the last line", [](auto& l) { l.back().resize(40); }, 36, "cut short"}, false);
}

TEST(DamagedFile, TwoTablesAndDuelBlocksNameTheLine) {
  const std::string grid = tallygrid_file(distinct, distinct);
  const Damage grid_damages[] = {
      {"second table missing", [](auto& l) { l.resize(28); }, 29, "an empty line before the second table"},
      {"second header differs", [](auto& l) { l[31].back() = '!'; }, 32, "the header line of the first table again"},
      {"second table short", [](auto& l) { l.resize(49); }, 50, "expected the row of n = 5000000, found the end"},
      {"other caption form", [](auto& l) { l[30] = "Countingsort"; }, 31, "caption"},
  };
  for (const Damage& damage : grid_damages) expect_rejected(grid, damage);

  const std::string duel = tallyduel_file(tallyduel_blocks([](auto) { return 5; }, [](auto) { return 9; }));
  const Damage duel_damages[] = {
      {"blocks out of order", [](auto& l) { l[4].replace(8, 1, "3"); }, 5, "expected \"Vstup c.2: pocet= "},
      {"short form cell", [](auto& l) { l[1] = "Cas Quicksortu:    00:05.00"; }, 2, "HH:MM:SS.CC"},
      {"label spacing", [](auto& l) { l[2] = "Cas Countingsortu:  00:00:00.09"; }, 3, "Cas Countingsortu: "},
      {"no empty line", [](auto& l) { l.erase(l.begin() + 3); }, 4, "empty line between two blocks"},
      {"other input table", [](auto& l) { l[4] = "Vstup c.2: pocet= 5, rozsah= 10"; }, 5, "pocet= 10000000"},
      {"stopped after four inputs", [](auto& l) { l.resize(15); }, 16, "block of input 5"},
  };
  for (const Damage& damage : duel_damages) expect_rejected(duel, damage);
}

TEST(DamagedFile, EmptyFileIsReportedAsARunStoppedEarly) {
  const auto outcome = analysis::parse_result_file("");
  EXPECT_FALSE(outcome.result);
  EXPECT_EQ(outcome.error.line, 0u);
  EXPECT_NE(outcome.error.message.find("the run stopped before it wrote its results"), std::string::npos);
  EXPECT_EQ(analysis::parse_result_file("\r\n").error.line, 1u);
}

// Files no program writes, made to be hard on a reader: huge lines, numbers
// beyond the programs' 32 bits, labels of zero.
TEST(DamagedFile, OversizedLinesAndNumbersBeyond32BitsAreRejectedByLine) {
  const std::string six = small_arrays_file(smallarrays::kSmallsix, distinct);
  const std::string duel = tallyduel_file(tallyduel_blocks([](auto) { return 5; }, [](auto) { return 9; }));
  const std::string long_line(20000, '-');
  const Damage six_damages[] = {
      {"a separator of many kilobytes", [&](auto& l) { l[3] = long_line; }, 4, "20000 characters long"},
      {"a header of many kilobytes", [](auto& l) { l[2] += std::string(50000, 'x') + "|"; }, 3, "characters long"},
      {"a row label beyond 32 bits", [](auto& l) { l[4].replace(0, 10, "4294967301"); }, 5,
       "an array length from 1 to 2147483647, found 4294967301"},
      {"a row label of 19 digits", [](auto& l) { l[4].replace(0, 10, "9999999999999999999"); }, 5,
       "a table row starting with an array length"},
      {"a row label of zero", [](auto& l) { l[4].replace(0, 10, "         0"); }, 5, "from 1 to"},
      {"a cell beyond 32-bit hundredths", [](auto& l) { l[4].replace(12, 8, "999999999:00.00"); }, 5, "time cell"},
  };
  for (const Damage& damage : six_damages) expect_rejected(six, damage);
  const Damage duel_damages[] = {
      {"a count beyond 32 bits", [](auto& l) { l[0] = "Vstup c.1: pocet= 8589934592, rozsah= 10"; }, 1,
       "a count from 1 to 2147483647, found 8589934592"},
      {"a range beyond 32 bits", [](auto& l) { l[4] = "Vstup c.2: pocet= 10000000, rozsah= 4294967296"; }, 5,
       "a value range from 1 to"},
      {"hours beyond 32-bit hundredths", [](auto& l) { l[1] = "Cas Quicksortu:    6000:00:00.00"; }, 2, "HH:MM:SS.CC"},
  };
  for (const Damage& damage : duel_damages) expect_rejected(duel, damage);
  EXPECT_EQ(analysis::parse_time_cell("5965:13:56.47", true), 2147483647);
  EXPECT_FALSE(analysis::parse_time_cell("5965:13:56.48", true));
}

}  // namespace
