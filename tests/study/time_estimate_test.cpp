// The time a study has left: the cost model of each program's steps.
#include <gtest/gtest.h>

#include "analysis/programs/suite_programs.hpp"
#include "study/run/step_costs.hpp"

namespace {

using study::ProgramCost;
using study::StepCost;

const analysis::SuiteProgram& program_named(std::string_view name) { return *analysis::find_suite_program(name); }

const StepCost& step(const ProgramCost& cost, std::size_t row, std::size_t column, std::size_t columns) {
  return cost.steps.at(row * columns + column);
}

// ---------------------------------------------------------------------------
// The cost model

TEST(StepCosts, EveryProgramHasOneCostPerStepAndAStart) {
  for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) {
    const ProgramCost cost = study::program_cost(program);
    EXPECT_EQ(cost.steps.size(), static_cast<std::size_t>(program.progress_steps())) << program.name();
    EXPECT_GT(cost.start.total(), 0) << program.name();
    for (const StepCost& each : cost.steps) EXPECT_GT(each.total(), 0) << program.name();
  }
}

TEST(StepCosts, QuicksortWorkIsNLogNLessTheLevelsOverEqualKeys) {
  EXPECT_DOUBLE_EQ(study::quicksort_work(1 << 20, 1 << 20), 20.0 * (1 << 20));
  EXPECT_DOUBLE_EQ(study::quicksort_work(1 << 20, 1 << 30), 20.0 * (1 << 20));
  double before = 0;
  for (std::int64_t range = 10; range <= 100'000'000; range *= 10) {
    const double work = study::quicksort_work(50'000'000, range);
    EXPECT_GT(work, before) << range;
    before = work;
  }
  // Ten values: a few levels sort them, the rest halve runs of one value.
  EXPECT_LT(study::quicksort_work(50'000'000, 10), 0.3 * study::quicksort_work(50'000'000, 50'000'000));
}

TEST(StepCosts, GridCellsCostMoreWithTheLengthAndWithTheValueRange) {
  const ProgramCost cost = study::program_cost(program_named("tallygrid"));
  const std::size_t rows = quickvscount::kTallygrid.lengths.size();
  const auto columns = static_cast<std::size_t>(quickvscount::kTallygrid.ranges);
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      const StepCost& cell = step(cost, row, column, columns);
      if (column > 0) {
        // Quicksort's part stops growing once the range is wider than the array.
        const StepCost& narrower = step(cost, row, column - 1, columns);
        EXPECT_GE(cell.n_log_n, narrower.n_log_n) << row << " " << column;
        EXPECT_GT(cell.other, narrower.other) << row << " " << column;
      }
      if (row > 0) {
        EXPECT_GT(cell.total(), step(cost, row - 1, column, columns).total()) << row << " " << column;
      }
    }
  }
  // The last row is most of the run: the reason a count of steps misleads.
  EXPECT_GT(1 - study::cost_share(cost, static_cast<int>((rows - 1) * columns)), 0.5);
}

TEST(StepCosts, CutoffCellsOfARowCostTheSameAndRowsGrow) {
  for (const char* name : {"cutoffwide", "cutoffnarrow"}) {
    const analysis::SuiteProgram& program = program_named(name);
    const auto& parameters = *std::get<const cutoff::CutoffProgram*>(program.parameters());
    const ProgramCost cost = study::program_cost(program);
    const auto columns = static_cast<std::size_t>(parameters.cutoffs);
    for (std::size_t row = 0; row < parameters.lengths.size(); ++row) {
      for (std::size_t column = 1; column < columns; ++column) {
        EXPECT_DOUBLE_EQ(step(cost, row, column, columns).total(), step(cost, row, 0, columns).total()) << name;
      }
      if (row > 0) {
        EXPECT_GT(step(cost, row, 0, columns).total(), step(cost, row - 1, 0, columns).total()) << name;
      }
    }
  }
}

TEST(StepCosts, SmallArrayRowsGrowAndTheQuadraticSortsTakeOver) {
  for (const char* name : {"smallsix", "smallfive"}) {
    const ProgramCost cost = study::program_cost(program_named(name));
    for (std::size_t row = 1; row < cost.steps.size(); ++row) {
      const StepCost &shorter = cost.steps[row - 1], &longer = cost.steps[row];
      EXPECT_GT(longer.n_log_n, shorter.n_log_n) << name << " " << row;
      EXPECT_GT(longer.other, shorter.other) << name << " " << row;
    }
    const StepCost &first = cost.steps.front(), &last = cost.steps.back();
    EXPECT_GT(last.other / last.n_log_n, 1.5 * first.other / first.n_log_n) << name;
  }
}

TEST(StepCosts, TheDuelsInputsWeighCountingSortByCountPlusRange) {
  const ProgramCost cost = study::program_cost(program_named("tallyduel"));
  const auto& counts = quickvscount::kTallyduelCounts;
  const auto& ranges = quickvscount::kTallyduelRanges;
  // The last three inputs hold 10 values each over ever wider ranges:
  // counting sort's part grows by the range, quicksort's stays put.
  ASSERT_EQ(counts[6], counts[7]);
  ASSERT_EQ(counts[7], counts[8]);
  const double first_step = cost.steps[7].other - cost.steps[6].other;
  const double second_step = cost.steps[8].other - cost.steps[7].other;
  EXPECT_GT(first_step, 0);
  EXPECT_NEAR(second_step / first_step, double(ranges[8] - ranges[7]) / double(ranges[7] - ranges[6]), 1e-3);
  EXPECT_DOUBLE_EQ(cost.steps[7].n_log_n, cost.steps[6].n_log_n);
  // Ten million values over ten million: more than twenty million over ten.
  EXPECT_GT(cost.steps[5].total(), cost.steps[0].total());
  // Writing the input file comes before the first step.
  EXPECT_GT(cost.start.total(), cost.steps[1].total());
}

TEST(StepCosts, SharesRiseWithEveryStepToOneAtTheEnd) {
  for (const analysis::SuiteProgram& program : analysis::kSuitePrograms) {
    const ProgramCost cost = study::program_cost(program);
    EXPECT_EQ(study::cost_share(cost, 0), 0.0) << program.name();
    double before = 0;
    for (int steps = 1; steps <= program.progress_steps(); ++steps) {
      const double share = study::cost_share(cost, steps);
      EXPECT_GE(share, before) << program.name() << " " << steps;
      before = share;
    }
    EXPECT_DOUBLE_EQ(study::cost_share(cost, program.progress_steps()), 1.0) << program.name();
  }
}

}  // namespace
