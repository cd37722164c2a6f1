// Each program's answer to its question, for a reader at a glance: one
// plain sentence, a small table behind it, the number of runs and the
// noise model every decision used, and what is still undecided with about
// how many runs would decide it.
//   smallsix, smallfive: per length the sorts ranked, time per array;
//   tallyduel: per input the faster sort and its factor;
//   tallygrid: per value range the length where counting sort overtakes;
//   cutoffwide, cutoffnarrow: per length the gain of the cutoff, the
//   cutoffs within noise of the best, and a fitted optimum where the data
//   support one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/records/run_model.hpp"
#include "analysis/statistics/decision.hpp"

namespace analysis {

struct AnswerTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  std::vector<bool> numeric;  // per column: right-aligned
};

// A difference the data do not decide yet.
struct OpenQuestion {
  std::string where;                       // "n = 10": the row of the table it belongs to
  std::string what;                        // "ISORT against SSORT"
  std::optional<std::size_t> runs_needed;  // about how many runs in all would decide it
  bool disturbed = false;                  // its only runs lost the processor to other work
};

struct ProgramAnswer {
  std::string program;
  std::size_t runs = 0;
  std::string question;  // "Which sort is fastest at each length?"
  std::string answer;    // one plain sentence
  std::string basis;     // N, coverage and the noise model of the decisions
  AnswerTable table;
  std::string legend;  // what the table's marks mean
  std::vector<OpenQuestion> open;
  std::vector<std::string> left_out;  // incomplete runs, not counted
  // With the work counted on a run's data: why, in a sentence or two, and
  // per row the operations per element and the time of one.
  std::string why;
  AnswerTable work_table;
  std::string work_legend;

  bool decided() const { return open.empty(); }
  // The rows of the table with an open question, once each, in order.
  std::vector<std::string> open_rows() const;
};

// The answers of every program of the model, in its order. `look` is the
// look at the data a study that adds runs until decided is taking.
std::vector<ProgramAnswer> program_answers(const RunModel& model, Look look = {});

ProgramAnswer program_answer(const ProgramGrid& grid, Look look = {});

// "about 7 runs", or "more than 100 runs" when no count is in reach.
std::string runs_needed_text(const std::optional<std::size_t>& runs);

}  // namespace analysis
