// The study's view of the six programs held against the programs
// themselves: the layouts, labels, progress steps and memory the study
// derives from each parameter set against what the program's own writer and
// driver do. A change to a program that the study would read wrongly fails
// here.
#include <gtest/gtest.h>
#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <psapi.h>  // after windows.h, which it needs
// clang-format on
#else
#include <sys/resource.h>
#endif

#include <fstream>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/records/result_file.hpp"
#include "cutoff/cutoff_programs.hpp"
#include "quickvscount/file_duel_program.hpp"
#include "quickvscount/grid_duel.hpp"
#include "result_fixtures.hpp"
#include "smallarrays/small_array_programs.hpp"
#include "study/run/progress_tracker.hpp"
#include "support/run_program.hpp"
#include "support/test_support.hpp"

namespace {

using namespace study_tests;
using analysis::kSuitePrograms;
using analysis::RowCheck;

std::int64_t distinct(std::size_t row, std::size_t column) { return static_cast<std::int64_t>(row * 31 + column + 1); }
std::int64_t other(std::size_t row, std::size_t column) { return static_cast<std::int64_t>(row + column * 17 + 2); }

// The labels between the bars of a header line, trimmed.
std::vector<std::string> header_labels(std::string_view header) {
  std::vector<std::string> labels;
  std::size_t bar = header.find('|');
  while (bar != std::string_view::npos && bar + 1 < header.size()) {
    const std::size_t next = header.find('|', bar + 1);
    std::string_view label = header.substr(bar + 1, next - bar - 1);
    while (label.starts_with(' ')) label.remove_prefix(1);
    while (label.ends_with(' ')) label.remove_suffix(1);
    labels.emplace_back(label);
    bar = next;
  }
  return labels;
}

TEST(StudyView, EveryHeaderLabelsTheColumnsItsParametersCallFor) {
  for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) {
    SCOPED_TRACE(std::string(program.name));
    const analysis::ResultLayout& layout = program.layout;
    if (program.family == analysis::ProgramFamily::file_duel) {
      EXPECT_EQ(layout.rows.size(), layout.ranges.size());
      continue;
    }
    EXPECT_EQ(header_labels(layout.header), program.column_labels());
    EXPECT_EQ(layout.separator, std::string(layout.header.size(), '-'));
  }
}

TEST(StudyView, EachProgramsOwnWriterGivesAFileTheStudyReadsAsThatProgram) {
  for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) {
    SCOPED_TRACE(std::string(program.name));
    const analysis::ResultLayout& layout = program.layout;
    const auto outcome = analysis::parse_result_file(program_file(program, distinct, other));
    ASSERT_TRUE(outcome.result) << outcome.error.line << ": " << outcome.error.message;
    const analysis::ResultFile& result = *outcome.result;
    EXPECT_EQ(result.program, &program);
    EXPECT_EQ(result.family, program.family);
    if (program.family == analysis::ProgramFamily::file_duel) {
      ASSERT_EQ(result.inputs.size(), layout.rows.size());
      for (std::size_t i = 0; i < layout.rows.size(); ++i) {
        EXPECT_EQ(result.inputs[i].count, layout.rows[i]);
        EXPECT_EQ(result.inputs[i].range, layout.ranges[i]);
      }
      continue;
    }
    ASSERT_EQ(result.tables.size(), program.record_tables.size());
    for (const analysis::CellTable& table : result.tables) {
      EXPECT_EQ(table.name, program.record_tables[static_cast<std::size_t>(&table - result.tables.data())].name);
      EXPECT_EQ(table.row_labels, std::vector<std::int64_t>(layout.rows.begin(), layout.rows.end()));
      EXPECT_EQ(table.column_labels, program.column_labels());
    }
  }
}

// AddressSanitizer keeps a byte of shadow beside every eight bytes in use.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::int64_t kResidentEighths = 9;
#elif defined(__has_feature)
constexpr std::int64_t kResidentEighths = __has_feature(address_sanitizer) ? 9 : 8;
#else
constexpr std::int64_t kResidentEighths = 8;
#endif

// The most memory this process has held resident so far.
std::int64_t own_peak_resident_bytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<std::int64_t>(counters.PeakWorkingSetSize);
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  // ru_maxrss in bytes: macOS counts it in bytes, Linux and the BSDs in KiB.
#if defined(__APPLE__)
  return static_cast<std::int64_t>(usage.ru_maxrss);
#else
  return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
#endif
#endif
}

// Real drivers run scaled down, each in a child process, with a clock that
// makes every timed batch last 7 hundredths.
class ScaledDriver : public ::testing::Test {
 protected:
  struct Run {
    std::string console;
    std::string results;
    std::int64_t memory_growth = 0;  // of the child's peak resident memory while the driver ran
  };

  void SetUp() override {
    test_support::use_utc();
    test_support::set_fake_clock(10 * 3600, 7);
  }

  Run run(const std::function<void(const kit::Instruments&)>& driver) {
    const kit::Instruments instruments{.read_seed = [] { return 12345u; }, .read_clock = test_support::read_fake_clock};
    const auto child = test_support::run_in_child([&] {
      const std::int64_t before = own_peak_resident_bytes();
      driver(instruments);
      std::ofstream("memory-growth") << own_peak_resident_bytes() - before;
    });
    EXPECT_EQ(child.exit_status, 0) << child.output;
    Run result{child.output, test_support::read_file("vystup.out")};
    std::ifstream("memory-growth") >> result.memory_growth;
    return result;
  }

  // The study's progress count and memory need of `program` against the run.
  template <class Program>
  void expect_the_studys_view(const Program& program, const Run& run) {
    const analysis::SuiteProgram described = analysis::describe(program);
    study::ProgressTracker tracker(described.family);
    tracker.feed(run.console);
    EXPECT_EQ(tracker.steps(), described.progress_steps) << run.console;
    // Within a page table and a few buffers of what the arrays take: an
    // array the study does not know of would be several megabytes more.
    // An emulator's resident memory is its own, not the program's.
    if (test_support::under_emulator()) return;
    const std::int64_t resident = described.array_bytes * kResidentEighths / 8;
    EXPECT_GE(run.memory_growth, resident - (1 << 20));
    EXPECT_LE(run.memory_growth, resident + (2 << 20) + resident / 16);
  }

  test_support::ScratchDirectory scratch;
};

constexpr std::int32_t kScaledLastIndex = 2000000;  // arrays of 8 MB
constexpr std::array<std::int32_t, 3> kScaledLengths{10, 20, 50};

TEST_F(ScaledDriver, SmallArrayRunMatchesTheStudysView) {
  static constexpr std::array<std::int32_t, 3> kLengths{5, 40, 80};
  smallarrays::SmallArrayProgram program = smallarrays::kSmallsix;
  program.arrays = 20000;
  program.lengths = kLengths;
  const Run done =
      run([&](const kit::Instruments& instruments) { smallarrays::run_small_array_benchmark(program, instruments); });
  expect_the_studys_view(program, done);
  const auto outcome = analysis::parse_result_file(done.results, analysis::RowCheck::any_rows);
  ASSERT_TRUE(outcome.result) << outcome.error.message;
  EXPECT_EQ(outcome.result->program, &analysis::kSuitePrograms[0]);
  EXPECT_EQ(outcome.result->tables[0].row_labels, (std::vector<std::int64_t>{5, 40, 80}));
  EXPECT_EQ(outcome.result->total_hundredths(), 7 * 3 * 6);
}

TEST_F(ScaledDriver, GridDuelRunMatchesTheStudysView) {
  quickvscount::GridDuelProgram program = quickvscount::kTallygrid;
  program.last_index = kScaledLastIndex;
  program.lengths = kScaledLengths;
  program.ranges = 2;  // its header names just these two columns, so the layout is not the suite's
  program.layout.header = "  n  \\  k |    10    |    100   |";
  program.layout.separator = "--------------------------------";
  const Run done = run([&](const kit::Instruments& instruments) { quickvscount::run_grid_duel(program, instruments); });
  expect_the_studys_view(program, done);
  const auto outcome = analysis::parse_result_file(done.results);
  ASSERT_TRUE(outcome.result) << outcome.error.message;
  EXPECT_EQ(outcome.result->program, nullptr);
  EXPECT_EQ(outcome.result->family, analysis::ProgramFamily::grid_duel);  // told by its second table
  EXPECT_EQ(outcome.result->tables[1].name, "Countingsort");
  EXPECT_EQ(outcome.result->cell_count(), 2u * 3 * 2);
}

TEST_F(ScaledDriver, CutoffSweepRunMatchesTheStudysViewAndIsNotTakenForTheFullProgram) {
  cutoff::CutoffProgram program = cutoff::kCutoffnarrow;
  program.last_index = kScaledLastIndex;
  program.lengths = kScaledLengths;
  const Run done = run([&](const kit::Instruments& instruments) { cutoff::run_cutoff_sweep(program, instruments); });
  expect_the_studys_view(program, done);
  // The suite's cutoffnarrow has rows 20000000 to 60000000: as such this file is wrong.
  const auto strict = analysis::parse_result_file(done.results);
  ASSERT_FALSE(strict.result);
  EXPECT_EQ(strict.error.line, 5u);
  EXPECT_NE(strict.error.message.find("expected the row of n = 20000000, found n = 10"), std::string::npos)
      << strict.error.message;
  const auto any = analysis::parse_result_file(done.results, analysis::RowCheck::any_rows);
  ASSERT_TRUE(any.result);
  EXPECT_EQ(any.result->program, &analysis::kSuitePrograms[5]);
  EXPECT_EQ(any.result->tables[0].column_labels, analysis::describe(program).column_labels());
}

TEST_F(ScaledDriver, FileDuelRunMatchesTheStudysView) {
  static constexpr std::array<std::int32_t, 2> kCounts{30, 5};
  static constexpr std::array<std::int32_t, 2> kRanges{10, 100};
  const quickvscount::FileDuelProgram program{.name = "tallyduel",
                                              .last_slot = kScaledLastIndex,
                                              .inputs = {.POCET_PRVKOV = kCounts, .ROZSAH_VSTUPU = kRanges}};
  const Run done = run([&](const kit::Instruments& instruments) { quickvscount::run_file_duel(program, instruments); });
  expect_the_studys_view(program, done);
  EXPECT_FALSE(analysis::parse_result_file(done.results).result);  // not the suite's nine inputs
  const auto outcome = analysis::parse_result_file(done.results, analysis::RowCheck::any_rows);
  ASSERT_TRUE(outcome.result);
  ASSERT_EQ(outcome.result->inputs.size(), 2u);
  EXPECT_EQ(outcome.result->inputs[1].count, 5);
  EXPECT_EQ(outcome.result->inputs[1].range, 100);
  EXPECT_EQ(outcome.result->total_hundredths(), 4 * 7);
}

}  // namespace
