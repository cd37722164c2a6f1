// results.json read back with a real JSON parser, checked for the fields the
// readers of google/benchmark's output use; the long CSV; and the CSV of one
// results file.
#include "analysis/export/benchmark_json.hpp"

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "analysis/export/csv_writer.hpp"
#include "analysis/export/json_writer.hpp"
#include "analysis/export/long_csv.hpp"
#include "analysis/records/result_file.hpp"
#include "kit/table_caption.hpp"
#include "record_fixtures.hpp"
#include "result_fixtures.hpp"
#include "smallarrays/small_array_parameters.hpp"

namespace {

using analysis::MeasurementSet;
using fixtures::add_cell;
using fixtures::Place;

analysis::RunContext test_context() {
  analysis::RunContext context;
  context.date = "2025-06-15T14:23:07+00:00";
  context.host_name = "bench-host";
  context.executable = "/opt/suite/bin/tallygrid";
  context.num_cpus = 2;
  context.mhz_per_cpu = 2450;
  context.cpu_scaling_enabled = false;
  context.caches.push_back(analysis::CacheLevel{"Data", 1, 32768, 1});
  context.extra.emplace_back("compiler", "g++ 12.2 -O2");
  return context;
}

// tallygrid: two cells per kernel, three complete runs and one that failed.
MeasurementSet grid_runs() {
  MeasurementSet set;
  const auto runs = fixtures::runs(3, 500);
  add_cell(set, Place{"tallygrid", "Quicksort", "50000", "100"}, runs, {3000, 1000, 2000});
  add_cell(set, Place{"tallygrid", "Quicksort", "50000", "1000"}, runs, {4000, 4000, 4000});
  add_cell(set, Place{"tallygrid", "Countingsort", "50000", "100"}, runs, {300, 100, 200});
  add_cell(set, Place{"tallygrid", "Countingsort", "50000", "1000"}, runs, {400, 400, 400});
  add_cell(set, Place{"tallygrid", "Quicksort", "50000", "100"}, {fixtures::Run{3, 503, false}}, {9e9});
  return set;
}

TEST(BenchmarkJson, ContextCarriesTheFieldsReadersExpect) {
  const auto json = nlohmann::json::parse(analysis::benchmark_json(analysis::run_model(grid_runs()), test_context()));
  const auto& context = json.at("context");
  EXPECT_EQ(context.at("date"), "2025-06-15T14:23:07+00:00");
  EXPECT_EQ(context.at("host_name"), "bench-host");
  EXPECT_EQ(context.at("executable"), "/opt/suite/bin/tallygrid");
  EXPECT_EQ(context.at("num_cpus"), 2);
  EXPECT_EQ(context.at("mhz_per_cpu"), 2450);
  EXPECT_EQ(context.at("cpu_scaling_enabled"), false);
  EXPECT_EQ(context.at("library_build_type"), "release");
  EXPECT_EQ(context.at("caches").at(0).at("size"), 32768);
  EXPECT_EQ(context.at("compiler"), "g++ 12.2 -O2");
  EXPECT_EQ(context.at("incomplete_runs"), "tallygrid run 3 (seed 503, 1 window)");
}

TEST(BenchmarkJson, OneIterationPerCellAndRunThenTheAggregates) {
  const auto json = nlohmann::json::parse(analysis::benchmark_json(analysis::run_model(grid_runs()), test_context()));
  const auto& benchmarks = json.at("benchmarks");
  ASSERT_EQ(benchmarks.size(), 4u * (3u + 4u));
  std::map<std::string, nlohmann::json> by_name;
  for (const auto& entry : benchmarks) {
    EXPECT_EQ(entry.at("threads"), 1);
    EXPECT_EQ(entry.at("time_unit"), "ns");
    EXPECT_EQ(entry.at("repetitions"), 3);
    EXPECT_EQ(entry.at("real_time"), entry.at("cpu_time"));
    EXPECT_LT(entry.at("real_time").get<double>(), 1e9) << "the failed run's time leaked in";
    if (entry.at("run_type") == "aggregate") by_name[entry.at("name")] = entry;
  }
  // The first cell's three runs, in repeat order, then its statistics.
  for (int i = 0; i < 3; ++i) {
    const auto& entry = benchmarks.at(i);
    EXPECT_EQ(entry.at("name"), "tallygrid/QSORT/n:50000/k:100");
    EXPECT_EQ(entry.at("run_name"), "tallygrid/QSORT/n:50000/k:100");
    EXPECT_EQ(entry.at("run_type"), "iteration");
    EXPECT_EQ(entry.at("repetition_index"), i);
    EXPECT_EQ(entry.at("iterations"), 1);
    EXPECT_EQ(entry.contains("aggregate_name"), false);
  }
  EXPECT_DOUBLE_EQ(benchmarks.at(1).at("real_time").get<double>(), 1000.0);
  const auto& median = by_name.at("tallygrid/QSORT/n:50000/k:100_median");
  EXPECT_EQ(median.at("run_name"), "tallygrid/QSORT/n:50000/k:100");
  EXPECT_EQ(median.at("aggregate_name"), "median");
  EXPECT_EQ(median.at("aggregate_unit"), "time");
  EXPECT_EQ(median.at("iterations"), 3);
  EXPECT_DOUBLE_EQ(median.at("real_time").get<double>(), 2000.0);
  EXPECT_DOUBLE_EQ(by_name.at("tallygrid/QSORT/n:50000/k:100_mean").at("real_time").get<double>(), 2000.0);
  EXPECT_DOUBLE_EQ(by_name.at("tallygrid/QSORT/n:50000/k:100_stddev").at("real_time").get<double>(), 1000.0);
  const auto& cv = by_name.at("tallygrid/QSORT/n:50000/k:100_cv");
  EXPECT_EQ(cv.at("aggregate_unit"), "percentage");
  EXPECT_DOUBLE_EQ(cv.at("real_time").get<double>(), 0.5);  // a fraction, not percent
  EXPECT_TRUE(by_name.contains("tallygrid/CSORT/n:50000/k:1000_median"));
}

TEST(BenchmarkJson, ASingleRunHasNoAggregates) {
  MeasurementSet set;
  add_cell(set, Place{"smallsix", std::string(kit::table_name(smallarrays::kSmallArraysCaption)), "5", "QS"},
           fixtures::runs(1, 1), {90});
  const auto json = nlohmann::json::parse(analysis::benchmark_json(analysis::run_model(set), test_context()));
  ASSERT_EQ(json.at("benchmarks").size(), 1u);
  EXPECT_EQ(json.at("benchmarks").at(0).at("name"), "smallsix/QSORT/n:5");
  EXPECT_FALSE(json.at("context").contains("incomplete_runs"));
}

TEST(JsonWriter, EscapesWhatJsonCannotHoldLiterally) {
  const std::string awkward = "quote \" backslash \\ tab \t line\r\n bell \x07 ü";
  analysis::JsonWriter writer;
  writer.begin_object();
  writer.member("text", awkward);
  writer.member("empty", std::string());
  writer.key("none");
  writer.begin_array();
  writer.end_array();
  writer.member("nan", std::nan(""));
  writer.end_object();
  const auto json = nlohmann::json::parse(writer.text());
  EXPECT_EQ(json.at("text"), awkward);
  EXPECT_TRUE(json.at("none").empty());
  EXPECT_TRUE(json.at("nan").is_null());
}

TEST(LongCsv, OneLinePerWindowWithTheIncompleteRunsKeptApart) {
  MeasurementSet set;
  add_cell(set, Place{"tallyduel", "Cas Quicksortu:", "Vstup c.1: pocet= 20, rozsah= 10", ""}, fixtures::runs(1, 42),
           {25'000'000});
  add_cell(set, Place{"tallyduel", "Cas \"Q\"", "x", ""}, {fixtures::Run{1, 43, false}}, {7});
  // A window of a record that holds its evidence, as far as the system counted it.
  set.add({.program = "tallyduel",
           .table = "Countingsort",
           .row = "20",
           .column = "10",
           .kernel = "CSORT",
           .repeat = 0,
           .seed = 42,
           .hundredths = 1,
           .nanoseconds = 9'000'000,
           .cpu_nanoseconds = 8'500'000,
           .involuntary_switches = 2,
           .migrations = 0,
           .cache_misses = 77});
  const std::string header =
      "program,table,row,column,repeat,seed,hundredths,nanoseconds,"
      "cpu_nanoseconds,involuntary_switches,migrations,cycles,instructions,branch_misses,cache_misses\n";
  EXPECT_EQ(analysis::long_csv(set),
            header +
                "tallyduel,Cas Quicksortu:,\"Vstup c.1: pocet= 20, rozsah= 10\",,0,42,2,25000000,,,,,,,\n"
                "tallyduel,Countingsort,20,10,0,42,1,9000000,8500000,2,0,,,,77\n");
  EXPECT_EQ(analysis::long_csv(set, analysis::RunSelection::incomplete),
            header + "tallyduel,\"Cas \"\"Q\"\"\",x,,1,43,0,7,,,,,,,\n");
}

analysis::ResultFile parsed(const std::string& text) {
  auto outcome = analysis::parse_result_file(text);
  EXPECT_TRUE(outcome.result) << outcome.error.message;
  return outcome.result ? *outcome.result : analysis::ResultFile{};
}

std::int64_t some_time(std::size_t row, std::size_t column) {
  return static_cast<std::int64_t>((row + 1) * (row + 1) * 13 + column * 29);
}
std::int64_t zero(std::size_t, std::size_t) { return 0; }

TEST(Csv, OneRowPerCellWithSecondsAndTheDuelAsCountAgainstRange) {
  const auto six = parsed(fixtures::small_arrays_file(smallarrays::kSmallsix, some_time));
  const auto lines = fixtures::crlf_lines(analysis::build_csv(six, "smallsix"));
  ASSERT_EQ(lines.size(), 1u + 16 * 6);
  EXPECT_EQ(lines[0], "program,table,row_label,column_label,seconds");
  EXPECT_EQ(lines[1], "smallsix,maloprvkove polia,5,QS,0.13");
  EXPECT_EQ(lines[8], "smallsix,maloprvkove polia,10,MS,0.81");

  const auto duel = parsed(fixtures::tallyduel_file(
      fixtures::tallyduel_blocks([](auto i) { return 247 + i; }, [](auto) { return 360005; })));
  const auto duel_lines = fixtures::crlf_lines(analysis::build_csv(duel, "tallyduel"));
  ASSERT_EQ(duel_lines.size(), 1u + 18);
  EXPECT_EQ(duel_lines[1], "tallyduel,Quicksort,20000000,10,2.47");
  EXPECT_EQ(duel_lines[10], "tallyduel,Countingsort,20000000,10,3600.05");

  const auto wide = parsed(fixtures::cutoffwide_file(some_time, zero));
  const auto wide_lines = fixtures::crlf_lines(analysis::build_csv(wide, "a,\"b\""));
  ASSERT_EQ(wide_lines.size(), 1u + 2 * 108);
  EXPECT_EQ(wide_lines[109], "\"a,\"\"b\"\"\",kombinovany Quicksort a Insertsort,10000,21,0.00");
}

}  // namespace
