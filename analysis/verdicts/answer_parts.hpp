// What the answers of the programs share: paired ratios of two cells, the
// words for the basis of a decision and for intervals, and the two sorts
// that tallyduel and tallygrid race. Internal to analysis/verdicts.
#pragma once

#include <string>
#include <vector>

#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/noise_model.hpp"
#include "analysis/verdicts/program_answers.hpp"

namespace analysis::answers {

using Samples = std::vector<Sample>;

// The decision on numerator / denominator, paired by run (the two sorts of a
// cell, or of a row, timed the same data in that run), over the runs that
// timed both cells undisturbed; see Decision::left_out and Decision::disturbed.
Decision decide_cells(const Samples& numerator, const Samples& denominator, const NoiseModel& noise, Look look);

double median_nanoseconds(const Samples& samples);

// Whether a window of the cell lost the processor to other work; tables
// mark such cells with kDisturbedMark.
bool any_disturbed(const Samples& samples);
inline constexpr const char* kDisturbedMark = "*";
std::string disturbed_mark(bool disturbed);

// "counting sort" for CSORT; the name itself for a sort the kit does not know.
std::string legend_of(const std::string& kernel);

// "N = 3 runs; differences decided at 95 % from ..."
std::string basis_text(std::size_t runs, const NoiseModel& noise, Look look);

// " ±3%" of a cell's median over the runs; nothing for one run.
std::string spread_text(const Samples& samples);

// What a median's interval over `runs` runs is: its coverage in words.
std::string coverage_words(std::size_t runs);

void note_open(ProgramAnswer& answer, std::string where, std::string what, const Decision& decision);

// The rows with an open question, once each and in order, their shared
// "k = " said once: "k = 10, 100, 1000"; empty when all is decided.
std::string undecided_rows(const ProgramAnswer& answer);

// "14–23": the interval of a factor, inverted for "faster by".
std::string factor_interval(const Decision& decision, bool inverted);

// The program's two sorts, in table order: quicksort and counting sort, or
// the recursive and the combined quicksort.
struct Raced {
  const TableGrid* first = nullptr;
  const TableGrid* second = nullptr;
  std::vector<TableGrid> series;
};
Raced raced_series(const ProgramGrid& grid);

// The answers of each kind of program, filling `answer`; the last three
// compare the program's two sorts, `first` and `second` in table order.
void rank_small_arrays(const ProgramGrid& grid, Look look, ProgramAnswer& answer);
void race_inputs(const ProgramGrid& grid, const TableGrid& quick, const TableGrid& counting, Look look,
                 ProgramAnswer& answer);
void race_grid(const ProgramGrid& grid, const TableGrid& quick, const TableGrid& counting, Look look,
               ProgramAnswer& answer);
void weigh_cutoffs(const ProgramGrid& grid, const TableGrid& recursive, const TableGrid& combined, Look look,
                   ProgramAnswer& answer);

}  // namespace analysis::answers
