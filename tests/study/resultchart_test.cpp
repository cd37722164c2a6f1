// The resultchart command on good, damaged and hostile files: each bad file
// named with its line and what was expected, nothing written for it, no
// crash, and the good files charted all the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "child_process.hpp"
#include "result_fixtures.hpp"
#include "stand_in_programs.hpp"
#include "support/test_support.hpp"

namespace {

using namespace fixtures;
using namespace study_tests;
namespace fs = std::filesystem;

std::vector<std::string> files_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::int64_t some_time(std::size_t row, std::size_t column) {
  return static_cast<std::int64_t>((row + 1) * (row + 1) * 13 + column * 29);
}

TEST(ResultchartCommand, ChartsGoodFilesAndNamesTheFileAndLineOfBadOnes) {
  test_support::ScratchDirectory scratch;
  for (const char* folder : {"good", "bad", "stopped"}) fs::create_directory(folder);
  auto damaged = crlf_lines(cutoffnarrow_file(some_time, some_time));
  damaged[6] = "  30000000| 00:06.59 | 00:06.21 |";
  write_text("good/vystup.out", cutoffnarrow_file(some_time, some_time));
  write_text("bad/vystup.out", join_crlf(damaged));
  write_text("stopped/vystup.out", "");
  std::string output;
  EXPECT_EQ(run_tool({built(RESULTCHART_PATH), "good/vystup.out"}, scratch.path(), output), 0) << output;
  EXPECT_NE(output.find("cutoffnarrow, 70 time cells"), std::string::npos) << output;
  EXPECT_EQ(files_in("good"), (std::vector<std::string>{"vystup-cutoff-ratio.svg", "vystup.csv", "vystup.out"}));

  EXPECT_EQ(run_tool({built(RESULTCHART_PATH), "bad/vystup.out", "stopped/vystup.out", "missing/vystup.out",
                      "good/vystup.out"},
                     scratch.path(), output),
            1);
  EXPECT_NE(output.find("resultchart: bad/vystup.out:7: expected 7 cells each closed by \" |\""), std::string::npos)
      << output;
  EXPECT_NE(output.find("resultchart: stopped/vystup.out: the file is empty: the run stopped before it wrote"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("resultchart: missing/vystup.out: cannot read the file: no such file or directory"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("good/vystup.out: cutoffnarrow"), std::string::npos) << output;
  EXPECT_EQ(files_in("bad"), std::vector<std::string>{"vystup.out"});

  EXPECT_EQ(run_tool({built(RESULTCHART_PATH)}, scratch.path(), output), 2);
  EXPECT_NE(output.find("usage: resultchart FILE..."), std::string::npos);
}

TEST(ResultchartCommand, TruncatedGarbledAndOversizedFilesAreRejectedByLineWithNothingWritten) {
  test_support::ScratchDirectory scratch;
  const std::string grid = tallygrid_file(some_time, some_time);
  const std::string duel = tallyduel_file(tallyduel_blocks([](auto) { return 5; }, [](auto) { return 9; }));
  std::mt19937 random(20240611);
  std::string garbled = grid;
  for (int i = 0; i < 40; ++i) garbled[random() % garbled.size()] = static_cast<char>(random() % 256);
  std::string binary(64 * 1024, '\0');
  for (char& c : binary) c = static_cast<char>(random() % 256);
  auto long_line = crlf_lines(grid);
  long_line[3] = std::string(100000, '-');
  auto big_count = crlf_lines(duel);
  big_count[8] = "Vstup c.3: pocet= 99999999999, rozsah= 10";

  struct Case {
    const char* folder;
    std::string text;
    std::string message;
  };
  const std::string cut = grid.substr(0, 2000);
  const auto cut_line = std::count(cut.begin(), cut.end(), '\n') + 1;
  const auto lines = crlf_lines(grid);
  const std::vector<Case> cases{
      {"cut-in-a-line", cut, ":" + std::to_string(cut_line) + ": the line has no line end"},
      {"cut-at-a-line-end", join_crlf({lines.begin(), lines.begin() + 20}),
       ":21: expected the row of n = 5000000, found the end of the file"},
      {"garbled", garbled, ":"},
      {"binary", binary, ":"},
      {"long-line", join_crlf(long_line), ":4: the line is 100000 characters long"},
      {"count-beyond-32-bits", join_crlf(big_count), ":9: expected a count from 1 to 2147483647, found 99999999999"},
      {"two-megabytes", std::string(2 << 20, 'x'), ": the file holds more than 1,048,576 bytes"},
  };
  std::vector<std::string> arguments{built(RESULTCHART_PATH)};
  for (const Case& c : cases) {
    fs::create_directory(c.folder);
    write_text(fs::path(c.folder) / "vystup.out", c.text);
    arguments.push_back(std::string(c.folder) + "/vystup.out");
  }
  std::string output;
  EXPECT_EQ(run_tool(arguments, scratch.path(), output), 1) << output;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    const std::string start = "resultchart: " + std::string(c.folder) + "/vystup.out";
    const std::size_t at = output.find(start);
    ASSERT_NE(at, std::string::npos) << output;
    const std::string line = output.substr(at, output.find('\n', at) - at);
    EXPECT_NE(line.find(c.message), std::string::npos) << line;
    if (c.message == ":") {
      EXPECT_NE(line.find_first_of("0123456789", start.size()), std::string::npos) << line;
    }
    EXPECT_EQ(files_in(c.folder), std::vector<std::string>{"vystup.out"});
  }
}

TEST(ResultchartCommand, AFolderWhereAChartMustGoIsReportedAndTheChartsBeforeItStay) {
  test_support::ScratchDirectory scratch;
  fs::create_directory("grid");
  write_text("grid/vystup.out", tallygrid_file(some_time, some_time));
  fs::create_directory("grid/vystup-times-by-range.svg");
  std::string output;
  EXPECT_EQ(run_tool({built(RESULTCHART_PATH), "grid/vystup.out"}, scratch.path(), output), 1) << output;
  const std::string chart = (fs::path("grid") / "vystup-times-by-range.svg").string();
  EXPECT_NE(output.find("resultchart: cannot write " + chart + ": is a directory"), std::string::npos) << output;
  // The heat map was written before; no temporary file stays, and nothing after the failure is tried.
  EXPECT_EQ(files_in("grid"),
            (std::vector<std::string>{"vystup-ratio-heatmap.svg", "vystup-times-by-range.svg", "vystup.out"}));
  EXPECT_TRUE(fs::is_empty("grid/vystup-times-by-range.svg"));
}

}  // namespace
