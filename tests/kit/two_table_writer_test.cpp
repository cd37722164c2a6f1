// The two-table results writer: exact lines for the three layouts in use,
// label padding, the lines between and after the tables, and cells of
// unusual length.
#include "kit/two_table_writer.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.hpp"

namespace {

using Lines = std::vector<std::string>;

constexpr std::string_view kHeaderA =
    "  n  \\  k |    10    |    100   |   1000   |   10000  |  100000  |  1000000 | 10000000 |";
constexpr std::string_view kHeaderB =
    "  n  \\  k |    21    |    22    |    23    |    24    |    25    |    26    |    27    |    28    |    29    |";
constexpr std::string_view kHeaderC =
    "  n  \\  k |     3    |     4    |     5    |     6    |     7    |     8    |     9    |";
const std::string kSeparator88(88, '-');
const std::string kSeparator110(110, '-');

const std::vector<std::int32_t> kTwelveLengths{10000,   20000,   50000,   100000,   200000,   500000,
                                               1000000, 2000000, 5000000, 10000000, 20000000, 50000000};
const std::vector<std::int32_t> kFiveLengths{20000000, 30000000, 40000000, 50000000, 60000000};

kit::TimeCell cell(std::string_view text) {
  kit::TimeCell result;
  result.append(text);
  return result;
}

// Cells "00:RR.CC" numbered row by row, so each cell's position is visible.
std::vector<kit::TimeCell> numbered_cells(std::size_t rows, std::size_t columns, int offset) {
  std::vector<kit::TimeCell> cells;
  for (std::size_t i = 0; i < rows * columns; ++i) {
    cells.push_back(kit::short_form::SPRACUJ(static_cast<std::int32_t>(offset + i)));
  }
  return cells;
}

// What the writer puts into a real file, split at CR LF (which every line must end with).
Lines written_to_file(const kit::TwoTableLayout& layout, const std::vector<std::int32_t>& labels, std::size_t columns,
                      const std::vector<kit::TimeCell>& first, const std::vector<kit::TimeCell>& second) {
  test_support::ScratchDirectory scratch;
  kit::TextFile file;
  file.create("vystup.out");
  kit::write_two_tables(file, layout, labels, columns, first, second);
  file.close();
  const std::string bytes = test_support::read_file("vystup.out");
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  const auto split = test_support::split_crlf_lines(bytes);
  EXPECT_TRUE(split.ok) << "line " << split.first_bad_line << " does not end with CR LF";
  return split.lines;
}

TEST(TwoTableWriter, NarrowLayoutStartsLikeTheWorkedExampleAndHas29Lines) {
  const kit::TwoTableLayout layout{
      "Vysledky pre rekurzivny Quicksort:", "Vysledky pre kombinovany Quicksort a Insertsort:", kHeaderC, kSeparator88};
  std::vector<kit::TimeCell> first;
  for (std::string_view text : {"00:04.37", "00:04.12", "00:04.06", "00:04.09", "00:04.01", "00:04.03", "00:04.00",
                                "00:06.59", "00:06.21", "00:06.18", "00:06.15", "00:06.11", "00:06.10", "00:06.13"}) {
    first.push_back(cell(text));
  }
  first.resize(35, cell("00:09.99"));
  const auto second = numbered_cells(5, 7, 0);
  const Lines lines = written_to_file(layout, kFiveLengths, 7, first, second);

  ASSERT_EQ(lines.size(), 29u);
  const Lines expected_start{
      "Vysledky pre rekurzivny Quicksort:",
      "",
      std::string(kHeaderC),
      kSeparator88,
      "  20000000| 00:04.37 | 00:04.12 | 00:04.06 | 00:04.09 | 00:04.01 | 00:04.03 | 00:04.00 |",
      kSeparator88,
      "  30000000| 00:06.59 | 00:06.21 | 00:06.18 | 00:06.15 | 00:06.11 | 00:06.10 | 00:06.13 |",
      kSeparator88,
  };
  EXPECT_EQ(test_support::first_difference(Lines(lines.begin(), lines.begin() + 8), expected_start), "");
  // Between the tables: last separator, one empty line, caption, empty line, header, separator.
  const Lines expected_between{
      kSeparator88,
      "",
      "Vysledky pre kombinovany Quicksort a Insertsort:",
      "",
      std::string(kHeaderC),
      kSeparator88,
      "  20000000| 00:00.00 | 00:00.01 | 00:00.02 | 00:00.03 | 00:00.04 | 00:00.05 | 00:00.06 |"};
  EXPECT_EQ(test_support::first_difference(Lines(lines.begin() + 13, lines.begin() + 20), expected_between), "");
  EXPECT_EQ(lines[27], "  60000000| 00:00.28 | 00:00.29 | 00:00.30 | 00:00.31 | 00:00.32 | 00:00.33 | 00:00.34 |");
  EXPECT_EQ(lines.back(), kSeparator88);  // and nothing after it
}

TEST(TwoTableWriter, WideAndGridLayoutsHave57LinesOfHeaderWidthAndPadTheLabels) {
  struct Case {
    kit::TwoTableLayout layout;
    std::size_t columns;
  };
  const Case cases[] = {
      {{"Vysledky pre Quicksort:", "Vysledky pre Countingsort:", kHeaderA, kSeparator88}, 7},
      {{"Vysledky pre rekurzivny Quicksort:", "Vysledky pre kombinovany Quicksort a Insertsort:", kHeaderB,
        kSeparator110},
       9},
  };
  for (const Case& c : cases) {
    const auto first = numbered_cells(12, c.columns, 1);
    const auto second = numbered_cells(12, c.columns, 5000);
    const Lines lines = written_to_file(c.layout, kTwelveLengths, c.columns, first, second);
    ASSERT_EQ(lines.size(), 57u) << c.layout.header;
    for (std::size_t i : {2u, 3u, 4u, 5u, 50u, 55u, 56u}) {
      EXPECT_EQ(lines[i].size(), c.layout.header.size()) << "line " << i + 1;
    }
    EXPECT_EQ(lines[0], c.layout.first_caption);
    EXPECT_EQ(lines[29], c.layout.second_caption);
    EXPECT_EQ(lines[31], c.layout.header);  // repeated unchanged for the second table
    EXPECT_EQ(lines[4].substr(0, 14), "     10000| 00");
    EXPECT_EQ(lines[26].substr(0, 14), "  50000000| 00");
    EXPECT_EQ(lines[33].substr(0, 20), "     10000| 00:50.00");
    EXPECT_EQ(lines[56], c.layout.separator);
    // Each cell's " |" falls under the "|" closing its column label.
    for (std::size_t at = 10; at < lines[4].size(); at += 11) {
      EXPECT_EQ(lines[4][at], '|');
      EXPECT_EQ(c.layout.header[at], '|');
    }
  }
}

TEST(TwoTableWriter, ACellOfUnusualLengthShiftsOnlyItsOwnRow) {
  const kit::TwoTableLayout layout{"Vysledky pre Quicksort:", "Vysledky pre Countingsort:", kHeaderA, kSeparator88};
  auto first = numbered_cells(12, 7, 0);
  first[1 * 7 + 2] = kit::short_form::SPRACUJ(-150);  // "00:-1.-50", 9 characters
  auto second = numbered_cells(12, 7, 0);
  second[0] = cell("");
  const Lines lines = written_to_file(layout, kTwelveLengths, 7, first, second);
  EXPECT_EQ(lines[6], "     20000| 00:00.07 | 00:00.08 | 00:-1.-50 | 00:00.10 | 00:00.11 | 00:00.12 | 00:00.13 |");
  EXPECT_EQ(lines[4].size(), 88u);
  EXPECT_EQ(lines[8].size(), 88u);
  EXPECT_EQ(lines[33], "     10000|  | 00:00.01 | 00:00.02 | 00:00.03 | 00:00.04 | 00:00.05 | 00:00.06 |");
  EXPECT_EQ(lines[35].size(), 88u);
}

}  // namespace
