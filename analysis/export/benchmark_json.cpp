#include "analysis/export/benchmark_json.hpp"

#include <fmt/format.h>

#include <algorithm>

#include "analysis/export/json_writer.hpp"
#include "analysis/records/kernel_series.hpp"
#include "analysis/records/program_grid.hpp"
#include "analysis/statistics/cell_statistics.hpp"

namespace analysis {

namespace {

void write_context(JsonWriter& json, const RunContext& context, const MeasurementSet& set) {
  json.key("context");
  json.begin_object();
  json.member("date", context.date);
  json.member("host_name", context.host_name);
  json.member("executable", context.executable);
  json.member("num_cpus", context.num_cpus);
  json.member("mhz_per_cpu", context.mhz_per_cpu);
  if (context.cpu_scaling_enabled) json.member("cpu_scaling_enabled", *context.cpu_scaling_enabled);
  json.key("caches");
  json.begin_array();
  for (const CacheLevel& cache : context.caches) {
    json.begin_object();
    json.member("type", cache.type);
    json.member("level", cache.level);
    json.member("size", cache.size);
    json.member("num_sharing", cache.num_sharing);
    json.end_object();
  }
  json.end_array();
  json.member("library_build_type", context.library_build_type);
  json.member("json_schema_version", 1);
  for (const auto& [name, value] : context.extra) json.member(name, value);
  std::vector<std::string> incomplete;
  for (const RunSummary& run : set.incomplete_runs()) incomplete.push_back(run.program + " " + run_description(run));
  if (!incomplete.empty()) json.member("incomplete_runs", fmt::format("{}", fmt::join(incomplete, "; ")));
  json.end_object();
}

struct EntryPlace {
  const std::string* run_name;
  int family_index;
  int instance_index;
  std::size_t repetitions;
};

void write_common(JsonWriter& json, const EntryPlace& place, const std::string& name, std::string_view run_type) {
  json.member("name", name);
  json.member("family_index", place.family_index);
  json.member("per_family_instance_index", place.instance_index);
  json.member("run_name", *place.run_name);
  json.member("run_type", run_type);
  json.member("repetitions", place.repetitions);
}

// google/benchmark's user counters: the work counted on this very run's data,
// per array of the cell's batch, and the time of one operation.
void write_counters(JsonWriter& json, const kit::CellWork& work, const Sample& sample) {
  const kit::WorkCounts& t = work.total;
  json.member("comparisons", work.per_array(t.comparisons));
  if (kit::counts_moves(work.kernel)) {
    json.member("moves", work.per_array(kit::moves(t)));
    json.member("swaps", work.per_array(t.swaps));
  }
  if (t.calls > 0) {
    json.member("calls", work.per_array(t.calls));
    json.member("max_depth", static_cast<double>(t.max_depth));
  }
  if (t.increments > 0 || t.scanned > 0) {
    json.member("increments", work.per_array(t.increments));
    json.member("scanned", work.per_array(t.scanned));
  }
  if (work.sampled()) json.member("counted_arrays", static_cast<double>(work.counted_arrays));
  const double per_array = static_cast<double>(sample.nanoseconds) / static_cast<double>(work.arrays);
  if (t.comparisons > 0) json.member("ns_per_comparison", per_array / work.per_array(t.comparisons));
  if (kit::counts_moves(work.kernel) && kit::moves(t) > 0)
    json.member("ns_per_move", per_array / work.per_array(kit::moves(t)));
}

void write_iteration(JsonWriter& json, const EntryPlace& place, std::size_t index, const Sample& sample,
                     const kit::CellWork* work) {
  json.begin_object();
  write_common(json, place, *place.run_name, "iteration");
  json.member("repetition_index", index);
  json.member("threads", 1);
  json.member("iterations", 1);
  json.member("real_time", static_cast<double>(sample.nanoseconds));
  json.member("cpu_time", static_cast<double>(sample.nanoseconds));
  json.member("time_unit", "ns");
  json.member("label", fmt::format("seed {}, repeat {}", sample.seed, sample.repeat));
  if (work != nullptr) write_counters(json, *work, sample);
  json.end_object();
}

void write_aggregate(JsonWriter& json, const EntryPlace& place, std::string_view statistic, double value,
                     std::string_view unit) {
  json.begin_object();
  write_common(json, place, fmt::format("{}_{}", *place.run_name, statistic), "aggregate");
  json.member("threads", 1);
  json.member("aggregate_name", statistic);
  json.member("aggregate_unit", unit);
  json.member("iterations", place.repetitions);
  json.member("real_time", value);
  json.member("cpu_time", value);
  json.member("time_unit", "ns");
  json.end_object();
}

}  // namespace

std::string benchmark_json(const RunModel& model, const RunContext& context, const std::vector<ProgramWork>& work) {
  JsonWriter json;
  json.begin_object();
  write_context(json, context, model.measurements);
  json.key("benchmarks");
  json.begin_array();
  int family = 0;
  for (const ProgramGrid& grid : model.programs) {
    const auto counted = std::ranges::find(work, grid.program, &ProgramWork::program);
    const ProgramWork* program_work = counted != work.end() ? &*counted : nullptr;
    for (const TableGrid& series : kernel_series(grid)) {
      int instance = 0;
      for (const auto [r, c] : series.positions) {
        const auto& samples = series.cell(r, c);
        const std::string run_name =
            benchmark_name(grid.program, grid.axes(), series.name, series.rows[r], series.columns[c]);
        const EntryPlace place{&run_name, family, instance++, samples.size()};
        const LabelledWork* cell_work =
            program_work != nullptr ? program_work->find_by_kernel(series.name, series.rows[r], series.columns[c])
                                    : nullptr;
        for (std::size_t i = 0; i < samples.size(); ++i) {
          const bool counted_run = cell_work != nullptr && samples[i].repeat == program_work->repeat;
          write_iteration(json, place, i, samples[i], counted_run ? &cell_work->work : nullptr);
        }
        if (samples.size() < 2) continue;
        const CellStatistics stats = cell_statistics(samples);
        write_aggregate(json, place, "mean", stats.mean, "time");
        write_aggregate(json, place, "median", stats.median, "time");
        write_aggregate(json, place, "stddev", stats.standard_deviation, "time");
        write_aggregate(json, place, "cv", stats.coefficient_of_variation, "percentage");
      }
      ++family;
    }
  }
  json.end_array();
  json.end_object();
  return json.text();
}

}  // namespace analysis
