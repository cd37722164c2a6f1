// What the study writes, held against golden files: the summaries, pages,
// exports and charts of a three-run study, a single run and a comparison of
// all six programs, made by stand-ins from fixed cells and records. Figures
// that depend on the machine or the moment (wall times, peak memory, the
// context, folder dates) are masked; everything else must stay byte for byte.
//
// After a change that is meant to alter the outputs, run the tests with
// SORTBENCH_UPDATE_GOLDEN=1 to rewrite the golden files, and read the diff.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

// GCC 12 finds a maybe-uninitialized value inside libstdc++'s <regex> when
// it inlines it under the sanitizers: a false alarm in the library's code.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <regex>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/text/text_table.hpp"
#include "analysis/verdicts/answers_text.hpp"
#include "child_process.hpp"
#include "result_fixtures.hpp"
#include "stand_in_programs.hpp"
#include "support/test_support.hpp"

namespace {

using namespace fixtures;
using namespace study_tests;
namespace fs = std::filesystem;

// Cells with a mix of orders, ties, crossings and a cell below the clock's
// resolution, so every chart and verdict has something to say.
std::int64_t cell_hundredths(const analysis::SuiteProgram& program, std::size_t table, std::size_t row,
                             std::size_t column) {
  const std::int64_t r = static_cast<std::int64_t>(row), c = static_cast<std::int64_t>(column);
  if (row == 0 && column == 1) return 0;
  switch (program.family) {
    case analysis::ProgramFamily::small_arrays:
      return (r + 1) * (c == 0 ? 9 : 2 + c * (r + 1)) + 3 * c;
    case analysis::ProgramFamily::file_duel:
      return table == 0 ? 40 + 30 * r : 10 + 25 * ((r * 5) % 9);
    case analysis::ProgramFamily::grid_duel:
    case analysis::ProgramFamily::cutoff:
      return table == 0 ? (r + 1) * (20 + c % 3) : (r + 1) * (16 + (c * 7) % 9) + (c > 4 ? 30 * r : 0);
  }
  return 1;
}

// A recorded window: inside the cell's hundredth, wandering with the seed.
std::int64_t window_nanoseconds(std::int64_t hundredths, std::uint32_t seed, std::size_t table, std::size_t row,
                                std::size_t column) {
  const auto spread = static_cast<std::int64_t>((seed * 31 + row * 17 + column * 7 + table * 3) % 10);
  return hundredths * 10'000'000 + spread * 900'000 + 12'345;
}

constexpr std::uint32_t kSeeds[] = {11, 12, 13};

class GoldenOutputs : public StudyWithStandIns {
 protected:
  // Every program follows its script: progress, vystup.out, and the record
  // of the seed it was given; `slower` scales the second table's windows.
  void fake_suite(double slower, RecordLayout form = RecordLayout::label_only) {
    for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) {
      const std::string name(program.name);
      const auto first = [&](std::size_t row, std::size_t column) { return cell_hundredths(program, 0, row, column); };
      const auto second = [&](std::size_t row, std::size_t column) { return cell_hundredths(program, 1, row, column); };
      std::string after;
      for (const std::uint32_t seed : kSeeds) {
        const std::string file = name + ".record-" + std::to_string(seed);
        write_text(bin() / file,
                   program_record(
                       program, std::to_string(seed),
                       [&](std::size_t table, std::size_t row, std::size_t column) {
                         const bool duel = program.family == analysis::ProgramFamily::file_duel;
                         const std::int64_t shown = cell_hundredths(program, table, row, duel ? 0 : column);
                         auto nanoseconds = window_nanoseconds(shown, seed, table, row, column);
                         if (table == 1)
                           nanoseconds = static_cast<std::int64_t>(static_cast<double>(nanoseconds) * slower);
                         return RecordedCell{nanoseconds / 10'000'000, nanoseconds};
                       },
                       form));
        after += "if-seed " + std::to_string(seed) + " record " + file + "\n";
      }
      fake_with_results(name, program.progress_steps, "%d", program_file(program, first, second), after);
    }
  }

  fs::path study_into(const std::string& folder, std::vector<std::string> arguments) {
    std::string output;
    EXPECT_EQ(run_tool(study_arguments(std::move(arguments)), scratch.path(), output), 0) << output;
    const fs::path moved = scratch.path() / folder;
    fs::rename(run_folder(), moved);
    return moved;
  }
};

std::string replaced(std::string text, const std::string& pattern, const std::string& by) {
  return std::regex_replace(text, std::regex(pattern), by);
}

// Masks what changes from run to run and machine to machine.
std::string masked(const fs::path& relative, std::string text, const fs::path& scratch) {
  const std::string_view kScratch = "SCRATCH";
  for (std::size_t at = text.find(scratch.string()); at != std::string::npos; at = text.find(scratch.string(), at)) {
    text.replace(at, scratch.string().size(), kScratch);
    // Below it the folders are named with the system's separator ("SCRATCH\three-runs" on Windows).
    for (at += kScratch.size(); at < text.size() && text[at] != '\n' && text[at] != ' '; ++at) {
      if (text[at] == '\\') text[at] = '/';
    }
  }
  const std::string name = relative.filename().string();
  if (name == "results.json") {
    // The context describes the machine: its keys stay, their values go.
    std::string kept;
    bool in_context = false;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      if (line == "  \"context\": {") in_context = true;
      if (in_context && line.rfind("    \"", 0) == 0) line = line.substr(0, line.find(':')) + ": *";
      if (in_context && line.rfind("     ", 0) == 0) continue;
      if (line == "  },") in_context = false;
      kept += line + "\n";
    }
    return kept;
  }
  if (name != "summary.txt" && name != "index.html") return text;
  text = replaced(text, R"(<tr><th>([^<]*)</th><td>[^<]*</td></tr>)", "<tr><th>$1</th><td>*</td></tr>");
  text = replaced(text, R"(Sort study [0-9-]+)", "Sort study RUN");
  text = replaced(text, R"(\b[0-9]+:[0-9][0-9]\.[0-9]\b)", "T");
  // A system that cannot tell a peak says so in a note of its own, which the
  // summary wraps onto indented lines where the reason is long (Wine's is).
  text = replaced(text, R"((<p class="note">)?peak memory unknown: [^\n]*\n( [^\n]*\n)*)", "");
  text = replaced(text, R"([0-9]+\.[0-9] MB|unknown)", "M");
  text = replaced(text, R"(-?[0-9]+\.[0-9][0-9] s \(-?[0-9]+\.[0-9]%\))", "O");
  return replaced(text, " +", " ");
}

bool golden_file(const fs::path& relative) {
  const std::string name = relative.filename().string();
  const std::string folder = relative.parent_path().filename().string();
  if (name == "summary.txt" || name == "index.html" || name == "results.json" || name == "results.csv") return true;
  // Each repeat's charts come from the same code: the first stands for all.
  if (folder == "repeat-2" || folder == "repeat-3") return false;
  return relative.extension() == ".svg" || name == "vystup.csv";
}

// Every output of the run folder `folder` as the golden files keep it, by
// path below `name`.
void collect(const fs::path& folder, const std::string& name, const fs::path& scratch,
             std::map<std::string, std::string>& outputs) {
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), folder);
    if (!golden_file(relative)) continue;
    outputs[name + "/" + relative.generic_string()] = masked(relative, test_support::read_file(entry.path()), scratch);
  }
}

TEST_F(GoldenOutputs, StudiesAndComparisonWriteWhatTheyWroteBefore) {
  fake_suite(1.0);
  std::map<std::string, std::string> outputs;
  const fs::path three = study_into("three-runs", {"--repeat", "3", "--seeds", "11,12,13"});
  collect(three, "three-runs", scratch.path(), outputs);
  // The same windows in the current layout: the kernels it names are the
  // ones the older layout's reader takes from the programs.
  fake_suite(1.0, RecordLayout::current);
  collect(study_into("one-run", {"--seeds", "11"}), "one-run", scratch.path(), outputs);
  fake_suite(1.04);
  const fs::path replayed = study_into("replayed", {"--replay", three.string()});
  std::string output;
  EXPECT_EQ(run_tool({built(STUDY_PATH), "compare", three.string(), replayed.string(), "--results", results().string()},
                     scratch.path(), output),
            0)
      << output;
  collect(run_folder(), "compare", scratch.path(), outputs);

  // Each output is kept as NAME.golden: expected text, not a page or a
  // chart of the source tree. Under Wine the folder lies on the drive the
  // tests started on, as the programs built with them do.
  const fs::path golden = built(GOLDEN_DIR);
  const std::string suffix = ".golden";
  if (std::getenv("SORTBENCH_UPDATE_GOLDEN") != nullptr) {
    fs::remove_all(golden);
    for (const auto& [path, content] : outputs) {
      fs::create_directories((golden / path).parent_path());
      write_text(golden / (path + suffix), content);
    }
    GTEST_SKIP() << "golden files rewritten in " << golden;
  }
  std::size_t expected = 0;
  for (const auto& entry : fs::recursive_directory_iterator(golden)) {
    if (!entry.is_regular_file()) continue;
    ++expected;
    std::string path = fs::relative(entry.path(), golden).generic_string();
    path.resize(path.size() - suffix.size());
    const auto made = outputs.find(path);
    ASSERT_NE(made, outputs.end()) << path << " is no longer written";
    EXPECT_EQ(made->second, test_support::read_file(entry.path())) << path << " differs from its golden file";
  }
  EXPECT_EQ(outputs.size(), expected) << "the study writes files the golden set does not hold";
}

// The summaries a person reads in a terminal or an editor keep to their
// width: the study's (answers, notes, warnings) and the comparison's,
// wrapped where a line would run past it.
TEST(GoldenSummaries, NoLineIsWiderThanTheSummaryWidth) {
  std::size_t summaries = 0;
  for (const auto& entry : fs::recursive_directory_iterator(GOLDEN_DIR)) {
    if (entry.path().filename() != "summary.txt.golden") continue;
    ++summaries;
    std::istringstream lines(test_support::read_file(entry.path()));
    for (std::string line; std::getline(lines, line);) {
      EXPECT_LE(analysis::shown_width(line), analysis::kSummaryWidth) << entry.path() << ":\n" << line;
      // A percentage is not torn from its number (the masks leave one space of an indent).
      EXPECT_NE(line.rfind(" %", 0), 0u) << entry.path() << ":\n" << line;
    }
  }
  EXPECT_EQ(summaries, 3u);
}

}  // namespace
