// results.json in the layout of google/benchmark's JSON output, so that its
// compare tool and other readers of that format take a study as it is.
//
// "context" describes the machine; "benchmarks" holds, per cell of every
// program, one "iteration" entry per complete run (real_time and cpu_time
// both the window's elapsed nanoseconds: the record has wall time only) and,
// when there are two runs or more, as that format does, the "aggregate"
// entries median, mean, stddev and cv (cv as a fraction, unit
// "percentage"). Names follow benchmark_name(). Incomplete runs are not
// entries; the context lists them in "incomplete_runs".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/records/run_model.hpp"
#include "analysis/statistics/cell_work.hpp"

namespace analysis {

struct CacheLevel {
  std::string type;  // "Data", "Instruction", "Unified"
  int level = 1;
  std::int64_t size = 0;  // bytes
  int num_sharing = 1;
};

struct RunContext {
  std::string date;  // e.g. "2025-06-15T14:23:07+00:00"
  std::string host_name;
  std::string executable;
  int num_cpus = 1;
  int mhz_per_cpu = 0;
  std::optional<bool> cpu_scaling_enabled;  // left out when unknown
  std::vector<CacheLevel> caches;
  std::string library_build_type = "release";
  std::vector<std::pair<std::string, std::string>> extra;  // further string fields
};

// `work`: the programs whose runs were explained; the iteration of the run
// whose data were counted carries the counts as user counters.
std::string benchmark_json(const RunModel& model, const RunContext& context, const std::vector<ProgramWork>& work = {});

}  // namespace analysis
