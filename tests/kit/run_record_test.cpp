// The precise record of a run: its labels, its exact bytes, and its failures.
#include "kit/run_record.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kit/record/record_reader.hpp"
#include "kit/runtime_error.hpp"
#include "support/run_program.hpp"
#include "support/runtime_error_report.hpp"
#include "support/test_support.hpp"

namespace {

using Labels = std::vector<std::string>;
using test_support::read_file;

// The precise clock as the record names it on this system.
#ifdef _WIN32
const std::string kPreciseClock = "QueryPerformanceCounter";
#else
const std::string kPreciseClock = "CLOCK_MONOTONIC";
#endif

TEST(RecordLabels, AreTheHeaderFieldsTheCaptionAndTheLengthsAsTheTablesShowThem) {
  EXPECT_EQ(kit::column_labels(" n \\ sort |    QS    |    MS    |    HS    |    BS    |    IS    |    SS    |"),
            (Labels{"QS", "MS", "HS", "BS", "IS", "SS"}));
  EXPECT_EQ(kit::column_labels("  n  \\  k |    10    |    100   |   1000   |  1000000 | 10000000 |"),
            (Labels{"10", "100", "1000", "1000000", "10000000"}));
  EXPECT_EQ(kit::column_labels("no bars"), Labels{});
  EXPECT_EQ(kit::table_name("Vysledky pre kombinovany Quicksort a Insertsort:"), "kombinovany Quicksort a Insertsort");
  EXPECT_EQ(kit::table_name("Vysledky pre maloprvkove polia:"), "maloprvkove polia");
  EXPECT_EQ(kit::table_name("Quicksort"), "Quicksort");
  const std::vector<std::int32_t> lengths{5, 50000000};
  EXPECT_EQ(kit::row_labels(lengths), (Labels{"5", "50000000"}));
}

kit::RecordPlaces small_places() {
  return {.tables = {"Quicksort", "Counting, \"fast\""},
          .rows = {"10", "20"},
          .columns = {"QS", "CS"},
          .kernels = {"QSORT", "CSORT"},
          .kernel_place = kit::KernelPlace::kTable};
}

TEST(RunRecord, WritesOneCsvRowPerWindowInTheOrderNoted) {
  test_support::ScratchDirectory scratch;
  kit::RunRecord record({.file = "record.csv", .program = "tallygrid"}, small_places(), 3);
  record.create();
  EXPECT_EQ(read_file("record.csv"), "") << "the file is created empty and filled at the end";
  // The evidence of a system that counts CPU time, switches and cycles.
  using kit::os::Evidence;
  kit::os::EvidenceReading evidence{{120000000000, 3, 99, 400000000000, 0, 0, 0},
                                    kit::os::evidence_bit(Evidence::kCpuNanoseconds) |
                                        kit::os::evidence_bit(Evidence::kInvoluntarySwitches) |
                                        kit::os::evidence_bit(Evidence::kCycles)};
  record.note(1, 1, 0, 12, 123456789012, evidence);
  evidence.counts = {6, 0, 0, 20, 0, 0, 0};
  record.note(0, 0, 1, 0, 7, evidence);
  record.write({.value = 4294967295u, .source = kit::SeedSource::kChosen});
  const std::string uncounted = ",migrations instructions branch_misses cache_misses\r\n";
  EXPECT_EQ(read_file("record.csv"),
            "program,seed,seed_source,hundredths_clock,nanoseconds_clock,window,windows,table,row_label,column_label,"
            "hundredths,nanoseconds,kernel,table_index,row_index,column_index,cpu_nanoseconds,involuntary_switches,"
            "migrations,cycles,instructions,branch_misses,cache_misses,uncounted\r\n"
            "tallygrid,4294967295,SORTBENCH_SEED,local_time_of_day," +
                kPreciseClock +
                ",1,3,\"Counting, \"\"fast\"\"\",20,QS,12,123456789012,CSORT,1,1,0,120000000000,3,,400000000000,,," +
                uncounted + "tallygrid,4294967295,SORTBENCH_SEED,local_time_of_day," + kPreciseClock +
                ",2,3,Quicksort,10,CS,0,7,QSORT,0,0,1,6,0,,20,,," + uncounted)
      << "two of three windows: the count tells a reader the record is short";
}

TEST(RunRecord, NamesTheKernelOfTheColumnWhereTheColumnsAreTheSorts) {
  test_support::ScratchDirectory scratch;
  kit::RecordPlaces places = small_places();
  places.tables = {"maloprvkove polia"};
  places.kernels = {"QSORT", "MSORT"};
  places.kernel_place = kit::KernelPlace::kColumn;
  kit::RunRecord record({.file = "record.csv", .program = "smallsix"}, places, 2);
  record.create();
  record.note(0, 1, 1, 5, 50);
  record.note(0, 1, 0, 6, 60);
  record.write({.value = 1, .source = kit::SeedSource::kTickCount});
  const kit::record::Record read = kit::record::read_record(read_file("record.csv"), "record.csv");
  ASSERT_EQ(read.rows.size(), 2u);
  EXPECT_EQ(read.rows[0].kernel, "MSORT");
  EXPECT_EQ(read.rows[0].column_label, "CS");
  EXPECT_EQ(read.rows[0].column_index, 1u);
  EXPECT_EQ(read.rows[0].row_index, 1u);
  EXPECT_EQ(read.rows[1].kernel, "QSORT");
  EXPECT_EQ(read.rows[1].seed_source, "tick_count");
  EXPECT_TRUE(read.complete());
}

TEST(RunRecord, WithoutARequestTouchesNoFile) {
  test_support::ScratchDirectory scratch;
  kit::RunRecord record({}, small_places(), 4);
  EXPECT_FALSE(record.active());
  record.create();
  record.note(0, 0, 0, 1, 1);
  record.write({});
  EXPECT_TRUE(std::filesystem::is_empty(scratch.path()));
}

TEST(RunRecord, AFailureStopsTheProgramWithTheRuntimeErrorOfTheOperation) {
  test_support::ScratchDirectory scratch;
  const auto write_to = [](const char* file) {
    return test_support::run_in_child([file] {
      kit::ActiveRoutine program("smallsix");
      kit::RunRecord record({.file = file, .program = "smallsix"}, small_places(), 1);
      record.create();
      record.note(0, 0, 0, 1, 1);
      record.write({});
    });
  };
#ifndef _WIN32  // Windows has no device that is always full.
  const auto full = write_to("/dev/full");
  EXPECT_EQ(full.exit_status, 28);
  EXPECT_TRUE(test_support::is_runtime_error_report(full.output, 28, {"SORTBENCH_RECORD", "smallsix"})) << full.output;
#endif
  const int missing_folder = test_support::kErrorOfAMissingFolder;
  const auto missing = write_to("missing/record.csv");
  EXPECT_EQ(missing.exit_status, missing_folder);
  EXPECT_TRUE(test_support::is_runtime_error_report(missing.output, missing_folder, {"SORTBENCH_RECORD", "smallsix"}))
      << missing.output;
}

}  // namespace
