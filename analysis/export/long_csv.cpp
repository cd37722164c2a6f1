#include "analysis/export/long_csv.hpp"

#include <fmt/format.h>

#include <set>
#include <string_view>
#include <utility>

namespace analysis {

namespace {

std::string csv_field(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string long_csv(const MeasurementSet& set, RunSelection selection) {
  std::set<std::pair<std::string, int>> incomplete;
  for (const RunSummary& run : set.incomplete_runs()) incomplete.emplace(run.program, run.repeat);
  std::string csv = "program,table,row,column,repeat,seed,hundredths,nanoseconds\n";
  for (const Measurement& m : set.all()) {
    const bool finished = !incomplete.contains({m.program, m.repeat});
    if (finished != (selection == RunSelection::complete)) continue;
    csv += fmt::format("{},{},{},{},{},{},{},{}\n", csv_field(m.program), csv_field(m.table), csv_field(m.row),
                       csv_field(m.column), m.repeat, m.seed, m.hundredths, m.nanoseconds);
  }
  return csv;
}

}  // namespace analysis
