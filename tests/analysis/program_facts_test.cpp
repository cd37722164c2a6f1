// The tools' view of the six programs held against the programs
// themselves: the layouts, labels and memory the tools derive from each
// parameter set against what the program's own writer and driver do. A
// change to a program that the tools would read wrongly fails here.
#include <gtest/gtest.h>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/records/result_file.hpp"
#include "cutoff/cutoff_programs.hpp"
#include "quickvscount/file_duel_program.hpp"
#include "quickvscount/grid_duel.hpp"
#include "result_fixtures.hpp"
#include "scaled_driver.hpp"
#include "smallarrays/small_array_programs.hpp"

namespace {

using namespace fixtures;
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
    if (program.family == analysis::ProgramFamily::file_duel) continue;
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
    for (const analysis::CellTable& table : result.tables) {
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

// The memory the tools expect `program` to need against the run: within a
// page table and a few buffers of what the arrays take, where an array the
// tools do not know of would be several megabytes more. An emulator's
// resident memory is its own, not the program's.
template <class Program>
void expect_the_memory_it_needs(const Program& program, const DriverRun& run) {
  if (test_support::under_emulator()) return;
  const std::int64_t resident = analysis::describe(program).array_bytes * kResidentEighths / 8;
  EXPECT_GE(run.memory_growth, resident - (1 << 20));
  EXPECT_LE(run.memory_growth, resident + (2 << 20) + resident / 16);
}

TEST_F(ScaledDriver, SmallArrayRunMatchesTheStudysView) {
  const smallarrays::SmallArrayProgram program = scaled_small_arrays();
  const DriverRun done =
      run([&](const kit::Instruments& instruments) { smallarrays::run_small_array_benchmark(program, instruments); });
  expect_the_memory_it_needs(program, done);
  const auto outcome = analysis::parse_result_file(done.results, analysis::RowCheck::any_rows);
  ASSERT_TRUE(outcome.result) << outcome.error.message;
  EXPECT_EQ(outcome.result->program, &analysis::kSuitePrograms[0]);
  EXPECT_EQ(outcome.result->tables[0].row_labels, (std::vector<std::int64_t>{5, 40, 80}));
  EXPECT_EQ(outcome.result->total_hundredths(), 7 * 3 * 6);
}

TEST_F(ScaledDriver, GridDuelRunMatchesTheStudysView) {
  const quickvscount::GridDuelProgram program = scaled_grid_duel();
  const DriverRun done =
      run([&](const kit::Instruments& instruments) { quickvscount::run_grid_duel(program, instruments); });
  expect_the_memory_it_needs(program, done);
  const auto outcome = analysis::parse_result_file(done.results);
  ASSERT_TRUE(outcome.result) << outcome.error.message;
  EXPECT_EQ(outcome.result->program, nullptr);
  EXPECT_EQ(outcome.result->tables[1].name, "Countingsort");
  EXPECT_EQ(outcome.result->cell_count(), 2u * 3 * 2);
}

TEST_F(ScaledDriver, CutoffSweepRunMatchesTheStudysViewAndIsNotTakenForTheFullProgram) {
  const cutoff::CutoffProgram program = scaled_cutoff_sweep();
  const DriverRun done =
      run([&](const kit::Instruments& instruments) { cutoff::run_cutoff_sweep(program, instruments); });
  expect_the_memory_it_needs(program, done);
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
  const quickvscount::FileDuelProgram program = scaled_file_duel();
  const DriverRun done =
      run([&](const kit::Instruments& instruments) { quickvscount::run_file_duel(program, instruments); });
  expect_the_memory_it_needs(program, done);
  EXPECT_FALSE(analysis::parse_result_file(done.results).result);  // not the suite's nine inputs
  const auto outcome = analysis::parse_result_file(done.results, analysis::RowCheck::any_rows);
  ASSERT_TRUE(outcome.result);
  ASSERT_EQ(outcome.result->inputs.size(), 2u);
  EXPECT_EQ(outcome.result->inputs[1].count, 5);
  EXPECT_EQ(outcome.result->inputs[1].range, 100);
  EXPECT_EQ(outcome.result->total_hundredths(), 4 * 7);
}

}  // namespace
