#include "analysis/export/benchmark_json.hpp"

#include <fmt/format.h>

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

void write_iteration(JsonWriter& json, const EntryPlace& place, std::size_t index, const Sample& sample) {
  json.begin_object();
  write_common(json, place, *place.run_name, "iteration");
  json.member("repetition_index", index);
  json.member("threads", 1);
  json.member("iterations", 1);
  json.member("real_time", static_cast<double>(sample.nanoseconds));
  json.member("cpu_time", static_cast<double>(sample.nanoseconds));
  json.member("time_unit", "ns");
  json.member("label", fmt::format("seed {}, repeat {}", sample.seed, sample.repeat));
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

std::string benchmark_json(const RunModel& model, const RunContext& context) {
  JsonWriter json;
  json.begin_object();
  write_context(json, context, model.measurements);
  json.key("benchmarks");
  json.begin_array();
  int family = 0;
  for (const ProgramGrid& grid : model.programs) {
    for (const TableGrid& series : kernel_series(grid)) {
      int instance = 0;
      for (const auto [r, c] : series.positions) {
        const auto& samples = series.cell(r, c);
        const std::string run_name =
            benchmark_name(grid.program, grid.axes(), series.name, series.rows[r], series.columns[c]);
        const EntryPlace place{&run_name, family, instance++, samples.size()};
        for (std::size_t i = 0; i < samples.size(); ++i) write_iteration(json, place, i, samples[i]);
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
