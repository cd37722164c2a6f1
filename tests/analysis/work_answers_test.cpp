// The work behind the answers, on ten real recorded runs of tallygrid: with
// counts of the known form (quicksort 2 n ln n comparisons, counting sort n
// increments and k positions), the why names each value range's first
// length where counting sort is faster by the recorded times, the work
// table gives the median operations per row, and results.json carries the
// counts on the counted run's iterations only.
#include "analysis/verdicts/work_answers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/export/benchmark_json.hpp"
#include "analysis/records/run_model.hpp"
#include "analysis/statistics/cell_work.hpp"
#include "analysis/text/text_format.hpp"
#include "record_fixtures.hpp"

namespace {

analysis::ProgramWork formula_work(const analysis::SuiteProgram& tallygrid) {
  std::vector<kit::CellWork> cells;
  for (std::size_t row = 0; row < tallygrid.layout.rows.size(); ++row) {
    const std::int64_t n = tallygrid.layout.rows[row];
    std::int64_t k = 1;
    for (std::size_t column = 0; column < tallygrid.columns.size(); ++column) {
      k *= 10;
      kit::CellWork quick{.table = 0, .row = row, .column = column, .kernel = "QSORT"};
      quick.total.comparisons = std::llround(2 * static_cast<double>(n) * std::log(static_cast<double>(n)));
      quick.total.assignments = n;
      kit::CellWork counting{.table = 1, .row = row, .column = column, .kernel = "CSORT"};
      counting.total.increments = n;
      counting.total.scanned = k;
      cells.push_back(quick);
      cells.push_back(counting);
    }
  }
  return analysis::label_work(tallygrid, 2, 1003, std::move(cells));
}

TEST(WorkAnswers, OnRecordedTallygridRunsNameEachRangesCrossoverAndItsCounts) {
  const analysis::RunModel model = analysis::run_model(fixtures::recorded_runs());
  const analysis::ProgramGrid* grid = model.program("tallygrid");
  ASSERT_NE(grid, nullptr);
  ASSERT_EQ(grid->repeats(), 10u);
  const analysis::ProgramWork work = formula_work(*grid->facts);

  analysis::ProgramAnswer answer;
  analysis::add_work(answer, *grid, work);

  // Per range, from the recorded medians: the first length where counting
  // sort is faster; the why names each such length, and details the one
  // of the most counter steps per element.
  std::size_t crossovers = 0;
  double most_steps = 0;
  std::string detail;
  for (std::size_t column = 0; column < grid->facts->columns.size(); ++column) {
    const std::string k(grid->facts->columns[column].label.view());
    for (std::size_t row = 0; row < grid->facts->layout.rows.size(); ++row) {
      const std::string n = std::to_string(grid->facts->layout.rows[row]);
      const auto quick = analysis::operation_times(*grid, *work.find("Quicksort", n, k));
      const auto counting = analysis::operation_times(*grid, *work.find("Countingsort", n, k));
      ASSERT_TRUE(quick && counting);
      if (counting->nanoseconds_per_array >= quick->nanoseconds_per_array) continue;
      const std::string length = "from n = " + analysis::with_thousands(std::stoll(n)) + " for k = ";
      EXPECT_NE(answer.why.find(length), std::string::npos) << length << "\nin: " << answer.why;
      const double steps = (std::stod(n) + std::stod(k)) / std::stod(n);
      if (steps > most_steps) {
        most_steps = steps;
        detail = "At n = " + analysis::with_thousands(std::stoll(n)) +
                 ", k = " + analysis::with_thousands(std::stoll(k)) + ", its n + k counter steps come to " +
                 analysis::significant(steps, 3) + " per element";
      }
      ++crossovers;
      break;
    }
  }
  EXPECT_GE(crossovers, 5u) << "counting sort overtakes at most ranges of the recorded runs";
  EXPECT_NE(answer.why.find(detail), std::string::npos) << detail << "\nin: " << answer.why;

  // Twelve lengths; at n = 10,000 the median range is k = 10,000: 2 counter steps per element.
  ASSERT_EQ(answer.work_table.rows.size(), 12u);
  EXPECT_EQ(answer.work_table.header,
            (std::vector<std::string>{"n", "QSORT ops/elem", "QSORT ns/op", "CSORT ops/elem", "CSORT ns/op"}));
  EXPECT_EQ(answer.work_table.rows[0][0], "10000");
  EXPECT_EQ(answer.work_table.rows[0][3], "2");
  EXPECT_NE(answer.work_legend.find("repeat 2 (seed 1003)"), std::string::npos) << answer.work_legend;

  // The counts go with the iterations of the run whose data they count.
  const nlohmann::json json = nlohmann::json::parse(analysis::benchmark_json(model, {}, {work}));
  int counted = 0, plain = 0;
  for (const nlohmann::json& entry : json["benchmarks"]) {
    if (entry["run_type"] != "iteration" || !entry["name"].get<std::string>().starts_with("tallygrid/")) continue;
    const bool has_counts = entry.contains("comparisons");
    EXPECT_EQ(has_counts, entry["label"].get<std::string>().ends_with("repeat 2")) << entry["name"];
    if (!has_counts) {
      ++plain;
      continue;
    }
    ++counted;
    const bool counting = entry["name"].get<std::string>().starts_with("tallygrid/CSORT/");
    EXPECT_EQ(entry.contains("moves"), !counting) << "counting sort's moves are not counted";
    EXPECT_EQ(entry.contains("scanned"), counting);
  }
  EXPECT_EQ(counted, 168);
  EXPECT_EQ(plain, 9 * 168);
}

}  // namespace
