// The charts made from results files: well-formed SVG, one series per
// algorithm or length, the best cutoff where it is, finite coordinates when
// cells are zero, the files written beside the results, and work that
// grows with the cells.
#include "study/charts/result_charts.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>

#include "analysis/records/result_file.hpp"
#include "result_fixtures.hpp"
#include "study/charts/chart_data.hpp"
#include "support/test_support.hpp"

namespace {

using namespace fixtures;
using Attributes = std::map<std::string, std::string>;

// Every element named `tag`, with its attributes. The charts are written
// with double-quoted attributes and no comments, which this relies on.
std::vector<Attributes> elements(const std::string& svg, const std::string& tag) {
  std::vector<Attributes> found;
  std::size_t at = 0;
  while ((at = svg.find("<" + tag + " ", at)) != std::string::npos) {
    const std::size_t end = svg.find('>', at);
    std::string_view text(svg.data() + at + tag.size() + 2, end - at - tag.size() - 2);
    Attributes attributes;
    while (true) {
      const std::size_t equals = text.find("=\"");
      if (equals == std::string_view::npos) break;
      const std::size_t close = text.find('"', equals + 2);
      std::string_view name = text.substr(0, equals);
      while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
      attributes[std::string(name)] = std::string(text.substr(equals + 2, close - equals - 2));
      text.remove_prefix(close + 1);
    }
    found.push_back(std::move(attributes));
    at = end;
  }
  return found;
}

analysis::ResultFile parsed(const std::string& text) {
  auto outcome = analysis::parse_result_file(text);
  EXPECT_TRUE(outcome.result) << outcome.error.message;
  return *outcome.result;
}

std::vector<study::ChartFile> charts_of(const std::string& text) {
  const auto result = parsed(text);
  return study::build_charts(result, "vystup", result.program ? result.program->name : "results");
}

std::int64_t some_time(std::size_t row, std::size_t column) {
  return static_cast<std::int64_t>((row + 1) * (row + 1) * 13 + column * 29);
}
std::int64_t zero(std::size_t, std::size_t) { return 0; }

// One file of each layout, from `cell`.
std::vector<std::pair<std::string, std::string>> every_layout(const CellValue& cell) {
  const auto by_input = [&](std::size_t input) { return cell(input, 0); };
  return {{"smallsix", small_arrays_file(smallarrays::kSmallsix, cell)},
          {"smallfive", small_arrays_file(smallarrays::kSmallfive, cell)},
          {"tallyduel", tallyduel_file(tallyduel_blocks(by_input, by_input))},
          {"tallygrid", tallygrid_file(cell, cell)},
          {"cutoffwide", cutoffwide_file(cell, cell)},
          {"cutoffnarrow", cutoffnarrow_file(cell, cell)}};
}

const std::vector<std::string> kCoordinates{"x", "y", "x1", "y1", "x2", "y2", "cx", "cy", "r", "width", "height"};

// Every coordinate of every drawn element is a finite number.
void expect_finite_coordinates(const std::string& svg, const std::string& name) {
  EXPECT_EQ(svg.find("nan"), std::string::npos) << name;
  EXPECT_EQ(svg.find("inf"), std::string::npos) << name;
  for (const char* tag : {"line", "rect", "circle", "text", "polyline", "polygon"}) {
    for (const Attributes& element : elements(svg, tag)) {
      for (const auto& [key, value] : element) {
        const bool coordinate = std::find(kCoordinates.begin(), kCoordinates.end(), key) != kCoordinates.end();
        if (!coordinate && key != "points") continue;
        std::string numbers = value;
        for (char& c : numbers) {
          if (c == ',') c = ' ';
        }
        char* cursor = numbers.data();
        while (*cursor != '\0') {
          char* end = nullptr;
          const double number = std::strtod(cursor, &end);
          ASSERT_NE(end, cursor) << name << ": " << key << "=\"" << value << "\"";
          EXPECT_TRUE(std::isfinite(number)) << name << ": " << key << "=\"" << value << "\"";
          cursor = end;
          while (*cursor == ' ') ++cursor;
        }
      }
    }
  }
}

TEST(Charts, EveryLayoutGivesWellFormedSvgWithFiniteCoordinatesEvenWhenAllCellsAreZero) {
  const bool have_xmllint = std::system("command -v xmllint >/dev/null 2>&1") == 0;
  test_support::ScratchDirectory scratch;
  for (const CellValue& cell : {CellValue(some_time), CellValue(zero)}) {
    for (const auto& [program, text] : every_layout(cell)) {
      for (const study::ChartFile& chart : charts_of(text)) {
        SCOPED_TRACE(program + " " + chart.file_name);
        expect_finite_coordinates(chart.content, chart.file_name);
        EXPECT_NE(chart.content.find("<title>"), std::string::npos);
        if (have_xmllint) {
          std::FILE* file = std::fopen("chart.svg", "w");
          std::fwrite(chart.content.data(), 1, chart.content.size(), file);
          std::fclose(file);
          EXPECT_EQ(std::system("xmllint --noout chart.svg"), 0);
        }
      }
    }
  }
  if (!have_xmllint) GTEST_SKIP() << "xmllint (libxml2-utils) is not installed: well-formedness not checked";
}

// Files of every form that the reader accepts but no program writes: labels
// with markup, control codes and broken UTF-8, lengths anywhere in 32 bits,
// cells anywhere in 32-bit hundredths, the negative ones of a clock set back.
class RandomFiles {
 public:
  explicit RandomFiles(std::uint32_t seed) : random_(seed) {}

  std::string small_arrays() {
    const std::size_t rows = 1 + random_() % 25, columns = 1 + random_() % 8;
    const std::vector<smallarrays::Algorithm> algorithms(columns, smallarrays::Algorithm::QS);
    const std::vector<std::int32_t> lengths = some_lengths(rows);
    const std::string header = " n \\ sort |" + labels(columns);
    const smallarrays::SmallArrayProgram program{.name = "random",
                                                 .arrays = 1,
                                                 .last_slot = 0,
                                                 .lengths = lengths,
                                                 .algorithms = algorithms,
                                                 .header = header,
                                                 .separator = "-----",
                                                 .row_lead = "  ",
                                                 .extra_space_below = 0};
    const auto table = cells(rows * columns);
    return small_arrays_file(program, [&](std::size_t r, std::size_t c) { return table[r * columns + c]; });
  }

  std::string two_tables() {
    const std::size_t rows = 1 + random_() % 15, columns = 1 + random_() % 12;
    const std::string first = "Vysledky pre " + label() + ":";
    const std::string second =
        random_() % 2 ? std::string("Vysledky pre Countingsort:") : "Vysledky pre " + label() + ":";
    const std::string header = "  n  \\  k |" + labels(columns);
    const kit::TwoTableLayout layout{
        .first_caption = first, .second_caption = second, .header = header, .separator = "------"};
    const auto one = cells(rows * columns), two = cells(rows * columns);
    return two_table_file(
        layout, some_lengths(rows), columns, [&](std::size_t r, std::size_t c) { return one[r * columns + c]; },
        [&](std::size_t r, std::size_t c) { return two[r * columns + c]; });
  }

  std::string duel() {
    std::vector<DuelBlock> blocks(1 + random_() % 12);
    for (DuelBlock& block : blocks) {
      block = {some_lengths(1)[0], some_lengths(1)[0], cells(1)[0], cells(1)[0]};
    }
    return tallyduel_file(blocks);
  }

 private:
  // 1 to 10 bytes, neither a bar nor a line end among them, no blank at either end.
  std::string label() {
    static constexpr std::string_view kPieces[] = {"<",    "&",    "\"",       "'",        "\x01", "\x1b[31m",
                                                   "\xff", "\xc3", "\xc3\xa9", "\xe2\x82", "k",    "10",
                                                   "\t",   "\x7f", ":",        "0"};
    std::string text;
    const std::size_t pieces = 1 + random_() % 4;
    for (std::size_t i = 0; i < pieces; ++i) text += kPieces[random_() % std::size(kPieces)];
    return text;
  }
  std::string labels(std::size_t columns) {
    std::string text;
    for (std::size_t i = 0; i < columns; ++i) text += " " + label() + " |";
    return text;
  }
  std::vector<std::int32_t> some_lengths(std::size_t count) {
    std::vector<std::int32_t> lengths(count);
    for (auto& n : lengths) n = static_cast<std::int32_t>(1 + random_() % (random_() % 2 ? 100u : 2147483647u));
    return lengths;
  }
  std::vector<std::int64_t> cells(std::size_t count) {
    std::vector<std::int64_t> values(count);
    for (auto& v : values) {
      switch (random_() % 4) {
        case 0:
          v = 0;
          break;
        case 1:
          v = random_() % 100;
          break;
        case 2:
          v = random_() % 2147483648u;
          break;
        default:
          v = -static_cast<std::int64_t>(random_() % 8640000);
      }
    }
    return values;
  }

  std::mt19937 random_;
};

// Well-formed UTF-8 with no control code but tab and line ends: what any XML reader takes.
bool is_clean_text(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = byte < 0x80                    ? 1
                         : byte >= 0xC2 && byte <= 0xDF ? 2
                         : byte >= 0xE0 && byte <= 0xEF ? 3
                         : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || i + length > text.size()) return false;
    if (length == 1 && byte < 0x20 && byte != '\n' && byte != '\t' && byte != '\r') return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

TEST(Charts, AnyFileTheReaderAcceptsIsChartedInWellFormedTextWithoutFault) {
  const bool have_xmllint = std::system("command -v xmllint >/dev/null 2>&1") == 0;
  test_support::ScratchDirectory scratch;
  RandomFiles files(7);
  for (int i = 0; i < 180; ++i) {
    const std::string text = i % 3 == 0 ? files.small_arrays() : i % 3 == 1 ? files.two_tables() : files.duel();
    SCOPED_TRACE("file " + std::to_string(i));
    const auto outcome = analysis::parse_result_file(text, analysis::RowCheck::any_rows);
    ASSERT_TRUE(outcome.result) << outcome.error.line << ": " << outcome.error.message;
    std::vector<study::ChartFile> charts;
    EXPECT_NO_THROW(charts = study::build_charts(*outcome.result, "vystup", "random"));
    for (const study::ChartFile& chart : charts) {
      expect_finite_coordinates(chart.content, chart.file_name);
      EXPECT_TRUE(is_clean_text(chart.content)) << chart.file_name;
      if (have_xmllint && i % 15 < 3) {
        std::FILE* file = std::fopen("chart.svg", "w");
        std::fwrite(chart.content.data(), 1, chart.content.size(), file);
        std::fclose(file);
        EXPECT_EQ(std::system("xmllint --noout chart.svg"), 0) << chart.file_name;
      }
    }
  }
}

TEST(Charts, ZeroCellsAreShownAsBelowTheClocksResolution) {
  for (const auto& [program, text] : every_layout(zero)) {
    for (const study::ChartFile& chart : charts_of(text)) {
      SCOPED_TRACE(chart.file_name);
      if (chart.file_name.ends_with("heatmap.svg")) {
        EXPECT_NE(chart.content.find("both below 0.01 s"), std::string::npos);
        for (const Attributes& cell : elements(chart.content, "rect")) {
          if (cell.count("data-side") != 0) {
            EXPECT_EQ(cell.at("data-side"), "0");
          }
        }
      } else if (!chart.file_name.ends_with("cutoff-ratio.svg")) {
        EXPECT_NE(chart.content.find("class=\"below-resolution\""), std::string::npos);
      } else {
        // No ratio exists when the recursive time is below the resolution: every length says so.
        for (const Attributes& circle : elements(chart.content, "circle")) EXPECT_EQ(circle.count("data-n"), 0u);
        const std::string columns = program == "cutoffwide" ? "9" : "7";
        EXPECT_NE(chart.content.find("(" + columns + " below 0.01 s)"), std::string::npos);
      }
    }
  }
  // One zero cell among measured ones: a hollow marker at the resolution, the rest as points.
  const auto one_zero = [](std::size_t row, std::size_t column) {
    return row == 2 && column == 1 ? 0 : some_time(row, column);
  };
  const auto chart = charts_of(small_arrays_file(smallarrays::kSmallsix, one_zero)).front();
  EXPECT_EQ(elements(chart.content, "polygon").size(), 2u);  // the marker and its legend entry
  EXPECT_NE(chart.content.find("below the clock&#39;s resolution (&lt; 10 ns)"), std::string::npos);
}

std::vector<std::string> series_keys(const std::string& svg) {
  std::vector<std::string> keys;
  for (const Attributes& group : elements(svg, "g")) {
    if (group.count("class") != 0 && group.at("class") == "series") keys.push_back(group.at("data-series"));
  }
  return keys;
}

TEST(Charts, OneSeriesPerAlgorithmOrLength) {
  const auto six = charts_of(small_arrays_file(smallarrays::kSmallsix, some_time));
  ASSERT_EQ(six.size(), 1u);
  EXPECT_EQ(six[0].file_name, "vystup-time-per-array.svg");
  EXPECT_EQ(series_keys(six[0].content), (std::vector<std::string>{"QS", "MS", "HS", "BS", "IS", "SS"}));
  EXPECT_EQ(elements(six[0].content, "circle").size(), 16u * 6 + 6);  // points and legend
  EXPECT_NE(six[0].content.find("time per array"), std::string::npos);
  EXPECT_NE(six[0].content.find("array length n (elements)"), std::string::npos);
  EXPECT_EQ(series_keys(charts_of(small_arrays_file(smallarrays::kSmallfive, some_time))[0].content),
            (std::vector<std::string>{"QS", "MS", "HS", "IS", "SS"}));

  const auto wide = charts_of(cutoffwide_file(some_time, some_time));
  ASSERT_EQ(wide.size(), 1u);
  EXPECT_EQ(series_keys(wide[0].content),
            (std::vector<std::string>{"10000", "20000", "50000", "100000", "200000", "500000", "1000000", "2000000",
                                      "5000000", "10000000", "20000000", "50000000"}));
  EXPECT_EQ(series_keys(charts_of(cutoffnarrow_file(some_time, some_time))[0].content).size(), 5u);

  const auto grid = charts_of(tallygrid_file(some_time, some_time));
  ASSERT_EQ(grid.size(), 2u);
  EXPECT_EQ(series_keys(grid[1].content).size(), 7u * 2);
  std::size_t cells = 0;
  for (const Attributes& rect : elements(grid[0].content, "rect")) cells += rect.count("data-side");
  EXPECT_EQ(cells, 84u);

  const auto duel = charts_of(tallyduel_file(tallyduel_blocks([](auto i) { return 100 + i; }, [](auto) { return 3; })));
  ASSERT_EQ(duel.size(), 1u);
  EXPECT_EQ(series_keys(duel[0].content), (std::vector<std::string>{"Quicksort", "Countingsort"}));
  std::size_t bars = 0;
  for (const Attributes& rect : elements(duel[0].content, "rect")) bars += rect.count("data-input");
  EXPECT_EQ(bars, 18u);
}

TEST(Charts, TheBestCutoffOfEachLengthIsMarkedWhereItIs) {
  const auto best_column = [](std::size_t row) { return (row * 4) % 9; };
  const auto combined = [&](std::size_t row, std::size_t column) -> std::int64_t {
    return 1000 + static_cast<std::int64_t>(row) * 10 +
           (column == best_column(row) ? 0 : 40 + static_cast<std::int64_t>(column));
  };
  const auto chart = charts_of(cutoffwide_file([](auto, auto) { return 2000; }, combined)).front();
  const auto circles = elements(chart.content, "circle");
  std::vector<Attributes> best;
  for (const Attributes& circle : circles) {
    if (circle.count("class") != 0 && circle.at("class") == "best" && circle.count("data-n") != 0)
      best.push_back(circle);
  }
  ASSERT_EQ(best.size(), 12u);
  for (std::size_t row = 0; row < 12; ++row) {
    EXPECT_EQ(best[row].at("data-n"), std::to_string(cutoff::kCutoffwide.lengths[row]));
    EXPECT_EQ(best[row].at("data-cutoff"), std::to_string(21 + best_column(row)));
    // Drawn on the point of that cutoff: the same position.
    bool on_point = false;
    for (const Attributes& point : circles) {
      if (point.count("class") != 0 && point.at("class") == "point" && point.at("data-n") == best[row].at("data-n") &&
          point.at("data-cutoff") == best[row].at("data-cutoff")) {
        on_point = point.at("cx") == best[row].at("cx") && point.at("cy") == best[row].at("cy");
      }
    }
    EXPECT_TRUE(on_point) << "row " << row;
  }
  EXPECT_NE(chart.content.find("n = 10k, best 21"), std::string::npos);
}

TEST(Charts, HeatMapDrawsTheBreakEvenBetweenTheCellsEachSortWins) {
  // Counting sort wins the first three ranges, quicksort the rest.
  const auto quick = [](std::size_t, std::size_t column) -> std::int64_t { return column < 3 ? 100 : 10; };
  const auto chart = charts_of(tallygrid_file(quick, [](auto, auto) { return 50; })).front();
  std::size_t boundaries = 0;
  for (const Attributes& line : elements(chart.content, "line")) {
    if (line.count("class") != 0 && line.at("class") == "break-even") {
      ++boundaries;
      if (line.at("x1") == line.at("x2") && line.at("y1") != line.at("y2")) {
        EXPECT_EQ(line.at("x1"), "384");  // the edge between the third and fourth column
      }
    }
  }
  EXPECT_EQ(boundaries, 12u + 1);  // one edge per row, and the legend's sample
  EXPECT_NE(chart.content.find(">2.0\xc3\x97<"), std::string::npos);
  EXPECT_NE(chart.content.find(">0.20\xc3\x97<"), std::string::npos);
}

TEST(WriteCharts, WritesBesideTheResultsAndLeavesNoTemporaryFiles) {
  test_support::ScratchDirectory scratch;
  std::filesystem::create_directory("run");
  std::vector<std::filesystem::path> written;
  study::write_charts(parsed(tallygrid_file(some_time, some_time)), "run/vystup.out", written);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator("run"))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"vystup-ratio-heatmap.svg", "vystup-times-by-range.svg", "vystup.csv"}));
  ASSERT_EQ(written.size(), 3u);
  EXPECT_EQ(written.back(), std::filesystem::path("run/vystup.csv"));
}

// A results file of `family` that none of the six writes, `rows` lengths by
// `columns` columns (a duel has one input per row).
std::string sized_file(analysis::ProgramFamily family, std::size_t rows, std::size_t columns) {
  std::vector<std::int32_t> lengths(rows);
  for (std::size_t row = 0; row < rows; ++row) lengths[row] = static_cast<std::int32_t>(1000 * (row + 1));
  std::string labels;
  for (std::size_t column = 0; column < columns; ++column) labels += " " + std::to_string(10 * (column + 1)) + " |";
  switch (family) {
    case analysis::ProgramFamily::small_arrays: {
      const std::vector<smallarrays::Algorithm> algorithms(columns, smallarrays::Algorithm::QS);
      const std::string header = " n \\ sort |" + labels;
      const smallarrays::SmallArrayProgram program{.name = "sized",
                                                   .arrays = 1,
                                                   .last_slot = 0,
                                                   .lengths = lengths,
                                                   .algorithms = algorithms,
                                                   .header = header,
                                                   .separator = "-----",
                                                   .row_lead = "  ",
                                                   .extra_space_below = 0};
      return small_arrays_file(program, some_time);
    }
    case analysis::ProgramFamily::file_duel: {
      std::vector<DuelBlock> blocks;
      for (std::size_t row = 0; row < rows; ++row) {
        blocks.push_back({lengths[row], 10, some_time(row, 0), some_time(row, 1)});
      }
      return tallyduel_file(blocks);
    }
    case analysis::ProgramFamily::grid_duel:
    case analysis::ProgramFamily::cutoff:
      break;
  }
  const bool counting = family == analysis::ProgramFamily::grid_duel;
  const std::string header = "  n  \\  k |" + labels;
  const kit::TwoTableLayout layout{
      .first_caption = "Vysledky pre Quicksort:",
      .second_caption = counting ? "Vysledky pre Countingsort:" : "Vysledky pre kombinovany Quicksort:",
      .header = header,
      .separator = "------"};
  return two_table_file(layout, lengths, columns, some_time, some_time);
}

analysis::ResultFile read_any(const std::string& text) {
  auto outcome = analysis::parse_result_file(text, analysis::RowCheck::any_rows);
  EXPECT_TRUE(outcome.result) << outcome.error.line << ": " << outcome.error.message;
  return outcome.result ? *outcome.result : analysis::ResultFile{};
}

// Seconds one build of the charts takes.
double seconds_to_build(const analysis::ResultFile& result) {
  const auto start = std::chrono::steady_clock::now();
  const auto charts = study::build_charts(result, "vystup", "sized");
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

// The charts' work grows with the cells: eight times the rows, or the
// columns, take about eight times as long (ten at most seen), where work per
// cell over every row or column, or a text copied whole per point, would
// take up to 64 times; the bound of 40 lies between, with room for a loaded
// machine. No bound holds the time
// itself: builds of both sizes alternate, so load on the machine meets both
// alike, and the fastest of each size counts.
TEST(WriteCharts, ChartsGrowWithTheirCellsNotWithTheirSquare) {
  const std::pair<analysis::ProgramFamily, const char*> families[] = {
      {analysis::ProgramFamily::small_arrays, "small arrays"},
      {analysis::ProgramFamily::file_duel, "duel"},
      {analysis::ProgramFamily::grid_duel, "counting grid"},
      {analysis::ProgramFamily::cutoff, "cutoff"}};
  for (const auto& [family, name] : families) {
    const auto base = read_any(sized_file(family, 50, 10));
    ASSERT_EQ(base.family, family) << name;
    for (const auto& [rows, columns] : {std::pair<std::size_t, std::size_t>{400, 10}, {50, 80}}) {
      if (family == analysis::ProgramFamily::file_duel && columns != 10) continue;  // its inputs are its only axis
      const auto larger = read_any(sized_file(family, rows, columns));
      double fastest_base = INFINITY, fastest_larger = INFINITY;
      for (int i = 0; i < 7; ++i) {
        fastest_base = std::min(fastest_base, seconds_to_build(base));
        fastest_larger = std::min(fastest_larger, seconds_to_build(larger));
      }
      EXPECT_LT(fastest_larger / fastest_base, 40.0)
          << name << ": " << rows << " rows of " << columns << " columns took " << fastest_larger << " s, 50 of 10 "
          << fastest_base << " s";
    }
  }
}

}  // namespace
