#include "analysis/export/long_csv.hpp"

#include <fmt/format.h>

#include <initializer_list>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "kit/record/csv_fields.hpp"

namespace analysis {

namespace {

// The label fields of a line, each quoted when it must be, then a comma.
void append_labels(std::string& line, std::initializer_list<std::string_view> labels) {
  for (const std::string_view label : labels) {
    kit::csv::append_field(line, label);
    line += ',';
  }
}

}  // namespace

std::string long_csv(const MeasurementSet& set, RunSelection selection) {
  std::set<std::pair<std::string, int>> incomplete;
  for (const RunSummary& run : set.incomplete_runs()) incomplete.emplace(run.program, run.repeat);
  std::string csv =
      "program,table,row,column,repeat,seed,hundredths,nanoseconds,"
      "cpu_nanoseconds,involuntary_switches,migrations,cycles,instructions,branch_misses,cache_misses\n";
  for (const Measurement& m : set.all()) {
    const bool finished = !incomplete.contains({m.program, m.repeat});
    if (finished != (selection == RunSelection::complete)) continue;
    append_labels(csv, {m.program, m.table, m.row, m.column});
    csv += fmt::format("{},{},{},{}", m.repeat, m.seed, m.hundredths, m.nanoseconds);
    for (const auto* count : {&m.cpu_nanoseconds, &m.involuntary_switches, &m.migrations, &m.cycles, &m.instructions,
                              &m.branch_misses, &m.cache_misses}) {
      csv += ',';
      if (*count) csv += fmt::format("{}", **count);  // else an empty field
    }
    csv += '\n';
  }
  return csv;
}

}  // namespace analysis
