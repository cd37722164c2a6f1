// Each program's answer on hand-made records: a clear winner in one run, a
// tie that more runs would not decide, a crossover between two lengths of
// the grid, a plateau of cutoffs, and the summary's text within its width.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "analysis/text/text_table.hpp"
#include "analysis/verdicts/answers_text.hpp"
#include "analysis/verdicts/program_answers.hpp"
#include "cutoff/cutoff_parameters.hpp"
#include "kit/table_caption.hpp"
#include "record_fixtures.hpp"
#include "smallarrays/small_array_parameters.hpp"

namespace {

using analysis::MeasurementSet;
using fixtures::add_cell;
using fixtures::Place;

#define EXPECT_CONTAINS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

analysis::ProgramAnswer answer_of(const MeasurementSet& set, std::string_view program) {
  return analysis::program_answer(analysis::program_grid(set, program));
}

const std::vector<std::string>& row_of(const analysis::ProgramAnswer& answer, std::size_t row) {
  return answer.table.rows.at(row);
}

TEST(DuelAnswer, CallsAClearWinnerFromOneRunAndLeavesATieOpen) {
  // 18.2 times faster in one run: far outside a 9 % noise per cell. 0.2 %
  // apart: a tie that no reasonable number of runs would decide.
  MeasurementSet set;
  const auto one = fixtures::runs(1, 5);
  add_cell(set, Place{"tallyduel", "Quicksort", "20000000", "10"}, one, {546e6});
  add_cell(set, Place{"tallyduel", "Countingsort", "20000000", "10"}, one, {30e6});
  add_cell(set, Place{"tallyduel", "Quicksort", "10", "1000000"}, one, {1000});
  add_cell(set, Place{"tallyduel", "Countingsort", "10", "1000000"}, one, {1002});
  const analysis::ProgramAnswer answer = answer_of(set, "tallyduel");
  EXPECT_CONTAINS(answer.basis, "N = 1 run; differences decided at 95 % from a noise model, the suite's");
  EXPECT_EQ(row_of(answer, 0), (std::vector<std::string>{"1", "20000000", "10", "CSORT", "18.2×", "14–23", "yes"}));
  EXPECT_EQ(row_of(answer, 1).at(6), "no, more than 100 runs");
  ASSERT_EQ(answer.open.size(), 1u);
  EXPECT_EQ(answer.open[0].where + ": " + answer.open[0].what, "input 2: n = 10, k = 1000000");
  EXPECT_EQ(answer.answer,
            "Counting sort is faster on 1 of 2 inputs (by 18.2× to 18.2×), quicksort on 0; 1 undecided.");
}

TEST(DisturbedWindows, AreTheOnesThatLostTheProcessorAndStayOutOfTheDecisions) {
  // What counts as disturbed: a share lost past 5 %, with an involuntary
  // switch where the system counts them, past a scheduler tick where not.
  const auto window = [](double wall, std::optional<double> cpu, std::optional<std::int64_t> switches) {
    analysis::Measurement m{"tallyduel", "Quicksort", "10", "10", "QSORT", 0, 1, 0, static_cast<std::int64_t>(wall)};
    if (cpu) m.cpu_nanoseconds = static_cast<std::int64_t>(*cpu);
    m.involuntary_switches = switches;
    return m;
  };
  EXPECT_FALSE(analysis::disturbed(window(1e9, 0.97e9, 3)));             // a kernel thread's moment
  EXPECT_TRUE(analysis::disturbed(window(1e9, 0.9e9, 2)));               // a tenth lost
  EXPECT_FALSE(analysis::disturbed(window(1e9, 0.9e9, 0)));              // the clocks' offset, no switch
  EXPECT_FALSE(analysis::disturbed(window(100e6, 85e6, std::nullopt)));  // within a tick of coarse CPU time
  EXPECT_TRUE(analysis::disturbed(window(1e9, 0.7e9, std::nullopt)));
  EXPECT_FALSE(analysis::disturbed(window(1e9, std::nullopt, std::nullopt)));  // an older record

  // One run: a clear 18-fold win timed while the quicksort lost a third of
  // its time is reported as disturbed, not decided.
  MeasurementSet one_run;
  const auto one = fixtures::runs(1, 5);
  fixtures::add_cell_on_cpu(one_run, Place{"tallyduel", "Quicksort", "20000000", "10"}, one, {546e6}, {0.66});
  add_cell(one_run, Place{"tallyduel", "Countingsort", "20000000", "10"}, one, {30e6});
  const analysis::ProgramAnswer alone = answer_of(one_run, "tallyduel");
  EXPECT_EQ(row_of(alone, 0).at(6), "no, disturbed");
  EXPECT_CONTAINS(alone.basis,
                  "; 1 of 2 windows disturbed (off the processor for over 5 % of their time), left out of "
                  "each comparison, which then stays undecided");
  EXPECT_CONTAINS(analysis::answers_text({alone}), "n = 20000000, k = 10 (disturbed; about 2 runs)");
  EXPECT_CONTAINS(alone.answer, "; 1 undecided (1 disturbed).");
  // A lone disturbed window is a hiccup: the other cells keep the quiet model.
  EXPECT_CONTAINS(alone.basis, "a stated prior");

  // Windows lost in two of twenty cells: the machine was shared, and every
  // comparison of the run carries what other work adds.
  MeasurementSet shared;
  for (int input = 0; input < 10; ++input) {
    const std::string n = std::to_string(1000 * (input + 1));
    fixtures::add_cell_on_cpu(shared, Place{"tallyduel", "Quicksort", n, "10"}, one, {1e6}, {input < 2 ? 0.5 : 1.0});
    add_cell(shared, Place{"tallyduel", "Countingsort", n, "10"}, one, {0.7e6});
  }
  const analysis::ProgramAnswer beside = answer_of(shared, "tallyduel");
  EXPECT_CONTAINS(beside.basis, "this machine's run-to-run spread of 17.0 % per cell with other work running");
  // 1.43× apart: decided at the prior, not beside other work.
  EXPECT_EQ(row_of(beside, 2).at(6).rfind("no, about", 0), 0u) << row_of(beside, 2).at(6);

  // Five runs, the first disturbed: the other four decide, the cell marked.
  MeasurementSet five_runs;
  const auto five = fixtures::runs(5, 5);
  const std::vector<double> quick{546e6, 540e6, 551e6, 549e6, 543e6};
  fixtures::add_cell_on_cpu(five_runs, Place{"tallyduel", "Quicksort", "20000000", "10"}, five, quick,
                            {0.5, 1, 1, 1, 1});
  add_cell(five_runs, Place{"tallyduel", "Countingsort", "20000000", "10"}, five,
           fixtures::times(quick, {1.2, 0.055, 0.056, 0.054, 0.055}));
  const analysis::ProgramAnswer four = answer_of(five_runs, "tallyduel");
  EXPECT_EQ(row_of(four, 0).at(6), "yes*");
  EXPECT_EQ(row_of(four, 0).at(4), "18.2×");  // the disturbed run's reversal left out
  EXPECT_CONTAINS(four.basis, "1 of 10 windows disturbed");
  EXPECT_CONTAINS(four.legend, "*: a disturbed window in the cell");
}

TEST(GridAnswer, InterpolatesTheCrossoverAndNamesTheRangesWithoutOne) {
  MeasurementSet set;
  const auto runs = fixtures::runs(3, 70);
  const std::vector<const char*> lengths{"10000", "20000", "50000"};
  const auto column = [&](const char* range, const std::vector<double>& ratios) {
    for (std::size_t r = 0; r < lengths.size(); ++r) {
      const std::vector<double> quick{1e6, 1.01e6, 0.99e6};
      add_cell(set, Place{"tallygrid", "Quicksort", lengths[r], range}, runs, quick);
      add_cell(set, Place{"tallygrid", "Countingsort", lengths[r], range}, runs, fixtures::scaled(quick, ratios[r]));
    }
  };
  column("10", {1.5, 0.5, 0.4});
  column("100", {0.5, 0.5, 0.5});
  column("1000", {2.0, 2.0, 1.5});
  const analysis::ProgramAnswer answer = answer_of(set, "tallygrid");
  // ln 1.5 / (ln 1.5 - ln 0.5) of the way from 10000 to 20000 on a log scale.
  EXPECT_EQ(row_of(answer, 0).at(1), "12,915");
  EXPECT_EQ(row_of(answer, 1).at(1), "every length");
  EXPECT_EQ(row_of(answer, 2).at(1), "no length");
  EXPECT_EQ(answer.answer,
            "Counting sort is faster than quicksort at every length of the grid for k = 100; k = 10 from about n = "
            "12,915; at no length of the grid for k = 1000.");
  EXPECT_TRUE(answer.decided());
}

TEST(CutoffAnswer, SaysTheCutoffPaysAndThatWhichOneIsFlat) {
  MeasurementSet set;
  const auto one = fixtures::runs(1, 9);
  const std::string recursive(kit::table_name(cutoff::kCutoffwide.layout.first_caption));
  const std::string combined(kit::table_name(cutoff::kCutoffwide.layout.second_caption));
  const std::vector<double> recursive_times{100e3, 103e3, 98e3, 101e3, 99e3, 102e3};
  const std::vector<double> combined_times{80e3, 79e3, 81e3, 80e3, 82e3, 79.5e3};
  for (std::size_t c = 0; c < recursive_times.size(); ++c) {
    const std::string cutoff = std::to_string(21 + c);
    add_cell(set, Place{"cutoffwide", recursive, "10000", cutoff}, one, {recursive_times[c]});
    add_cell(set, Place{"cutoffwide", combined, "10000", cutoff}, one, {combined_times[c]});
  }
  const analysis::ProgramAnswer answer = answer_of(set, "cutoffwide");
  // The REKQSORT row scatters 2 %: it never narrows the prior.
  EXPECT_CONTAINS(answer.basis, "a noise model, the suite's run-to-run spread of 9 % per cell, a stated prior");
  const auto& row = row_of(answer, 0);
  EXPECT_EQ(row.at(3), "22");  // the fastest combined cell
  EXPECT_EQ(row.at(4), "21 to 26");
  EXPECT_EQ(row.at(5), "flat from 21 to 26");
  EXPECT_CONTAINS(answer.answer, "The cutoff pays 23.3 % to 23.3 % over recursive quicksort; which cutoff hardly");
}

TEST(SmallArraysAnswer, RanksTheSortsAndNamesWhereTheLeaderChanges) {
  MeasurementSet set;
  const auto runs = fixtures::runs(3, 1);
  const std::string table(kit::table_name(smallarrays::kSmallArraysCaption));
  const auto cell = [&](const char* n, const char* column, double ns) {
    add_cell(set, Place{"smallsix", table, n, column}, runs, {ns, ns * 1.01, ns * 0.99});
  };
  cell("5", "IS", 1e9);
  cell("5", "QS", 2e9);
  cell("10", "IS", 3e9);
  cell("10", "QS", 2e9);
  const analysis::ProgramAnswer answer = answer_of(set, "smallsix");
  EXPECT_EQ(answer.answer,
            "Fastest: ISORT up to n = 5, QSORT from n = 10. The ranking changes: ISORT falls behind QSORT between n = "
            "5 and n = 10.");
  // A million arrays per cell: time per array.
  EXPECT_EQ(row_of(answer, 0), (std::vector<std::string>{"5", "1  1.00 µs ±1%", "2  2.00 µs ±1%"}));
}

TEST(AnswersText, KeepsEveryLineWithinTheSummarysWidth) {
  analysis::ProgramAnswer answer;
  answer.program = "tallyduel";
  answer.answer = std::string(300, 'x') + " " + std::string(50, 'y') + " and some more words to wrap";
  answer.question = "a question?";
  answer.basis = "N = 1 run";
  answer.table = {{"a", "bb"}, {{"1", "é"}, {"22", "x"}}, {true, false}};
  answer.legend = "what the marks mean";
  // One line per row of the table, in the table's order, however the questions came.
  answer.open = {{"n = 5", "ISORT against SSORT", 7},
                 {"n = 10", "QSORT against HSORT", std::nullopt},
                 {"n = 5", "MSORT against BSORT", 12}};
  const std::string text = analysis::answers_text({answer});
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    // A single word longer than the width stands alone, the only exception.
    if (line.find(' ', line.find_first_not_of(' ')) != std::string::npos) {
      EXPECT_LE(analysis::shown_width(line), analysis::kSummaryWidth) << line;
    }
  }
  EXPECT_CONTAINS(text, "Answers\n  tallyduel:\n    xxx");
  EXPECT_CONTAINS(text, "   a  bb\n   1  é\n  22  x\n");
  EXPECT_CONTAINS(text,
                  "  Still open, with about how many runs in all would decide each:\n"
                  "    n = 5: ISORT against SSORT (about 7 runs), MSORT against BSORT (about 12 runs)\n"
                  "    n = 10: QSORT against HSORT (more than 100 runs)\n");
}

}  // namespace
