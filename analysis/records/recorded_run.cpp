#include "analysis/records/recorded_run.hpp"

#include "analysis/programs/suite_programs.hpp"

namespace analysis {

RecordedRun recorded_run(const kit::record::Record& record, int repeat) {
  RecordedRun run{record.program, record.seed, record.windows, {}};
  const SuiteProgram* facts = find_suite_program(record.program);
  run.measurements.reserve(record.rows.size());
  for (const kit::record::Row& row : record.rows) {
    std::string kernel = row.kernel;
    if (kernel.empty() && facts != nullptr) kernel = facts->kernel_of(row.table, row.column_label);
    run.measurements.push_back(Measurement{.program = row.program,
                                           .table = row.table,
                                           .row = row.row_label,
                                           .column = row.column_label,
                                           .kernel = std::move(kernel),
                                           .repeat = repeat,
                                           .seed = row.seed,
                                           .hundredths = row.hundredths,
                                           .nanoseconds = row.nanoseconds,
                                           .cpu_nanoseconds = row.cpu_nanoseconds,
                                           .involuntary_switches = row.involuntary_switches,
                                           .migrations = row.migrations,
                                           .cycles = row.cycles,
                                           .instructions = row.instructions,
                                           .branch_misses = row.branch_misses,
                                           .cache_misses = row.cache_misses});
  }
  return run;
}

}  // namespace analysis
