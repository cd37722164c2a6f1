// The study on a machine that is not quiet, end to end on stand-ins: a
// load that rises while a program runs, settings that blur timings, two
// studies run at once, and other work on the processors that settles or
// does not, each warned of on the console, in the summary, on the page and
// noted in the context.
#include <gtest/gtest.h>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/text/markup_text.hpp"
#include "child_process.hpp"
#include "result_fixtures.hpp"
#include "stand_in_programs.hpp"
#include "study/os/files.hpp"
#include "study/os/study_lock.hpp"
#include "support/test_support.hpp"

namespace {

using namespace fixtures;
using namespace study_tests;
namespace fs = std::filesystem;

using BusyMachine = StudyWithStandIns;

// /proc/stat of two processors `seconds` after the system started, other
// work having kept one busy `busy` seconds, in Linux's ticks of 1/100 s.
std::string stat_at(double seconds, double busy) {
  const auto ticks = [](double value) { return static_cast<long long>(value * 100 + 0.5); };
  const long long idle = ticks(2 * seconds) - ticks(busy);
  return "cpu  " + std::to_string(ticks(busy)) + " 0 0 " + std::to_string(idle) +
         " 0 0 0 0 0 0\ncpu0 0 0 0 0 0 0 0 0 0 0\ncpu1 0 0 0 0 0 0 0 0 0 0\nintr 0\n";
}

class BusyProcessors : public StudyWithStandIns {
 protected:
  // The readings one after the other (machine_state.hpp): the study's
  // start, the first sample, the samples of its wait, and the one after
  // the program, as (seconds, busy) of stat_at().
  void set_stat_sequence(const std::vector<std::pair<double, double>>& readings) {
    for (std::size_t i = 0; i < readings.size(); ++i) {
      set_machine_file("proc/stat." + std::to_string(i + 1), stat_at(readings[i].first, readings[i].second));
    }
  }
};

TEST_F(BusyMachine, WarnsOfTheLoadTheSettingsAndAnotherStudyEverywhereItReports) {
  set_machine_file("proc/loadavg", "2.00 1.50 1.00 3/100 4242\n");
  set_machine_file("sys/devices/system/cpu/cpu0/cpufreq/scaling_governor", "powersave\n");
  set_machine_file("sys/kernel/mm/transparent_hugepage/enabled", "[always] madvise never\n");
  // The program lifts the load while it runs.
  write_text(bin() / "busy.loadavg", "3.75 2.00 1.10 4/100 4242\n");
  fake_recording(*analysis::find_suite_program("smallfive"), small_arrays_file(smallarrays::kSmallfive, hundredths),
                 nanoseconds, "copy busy.loadavg " + (machine() / "proc" / "loadavg").string());
  // This test's process stands for another study.
  const study::os::StudyLock other(locks());
  ASSERT_EQ(other.failure(), "");
  const std::string pid = std::to_string(study::os::process_id());

  ChildProcess study(study_arguments({"smallfive"}), scratch.path());
  EXPECT_EQ(study.finish(), 0) << study.output();
  const std::string& output = study.output();
  const std::vector<std::string> warnings{
      "the processors' frequency governor is powersave, not performance",
      "transparent huge pages are set to always",
      "another study is running (pid " + pid + "): timings of both will be disturbed.",
      "load 2.00 before smallfive started, above the 0.00 left by the study's earlier programs + 0.50",
      "load 3.75 after smallfive, above the ",
  };
  for (const std::string& warning : warnings) {
    EXPECT_NE(output.find("study: WARNING: " + warning), std::string::npos) << warning << "\n" << output;
  }
  // Before the program's line, and as it ends.
  EXPECT_LT(output.find("load 2.00 before"), output.find("smallfive     ["));
  EXPECT_GT(output.find("WARNING: load 3.75 after"), output.find("  done"));

  const fs::path run = run_folder();
  const std::string summary = test_support::read_file(run / "summary.txt");
  const std::string index = test_support::read_file(run / "index.html");
  for (const std::string& warning : warnings) {
    EXPECT_NE(summary.find("WARNING: " + warning), std::string::npos) << warning << "\n" << summary;
    EXPECT_NE(index.find("Warning: " + analysis::escape_markup(warning)), std::string::npos) << warning;
  }
  const std::string context = test_support::read_file(run / "context.txt");
  for (const char* line : {"frequency governor: powersave\n", "transparent huge pages: always\n",
                           "load before smallfive: 2.00 (5 min 1.50, 15 min 1.00)\n",
                           "load after smallfive: 3.75 (5 min 2.00, 15 min 1.10)\n"}) {
    EXPECT_NE(context.find(line), std::string::npos) << line << context;
  }
  EXPECT_NE(index.find("<th>load after smallfive</th><td>3.75 (5 min 2.00, 15 min 1.10)</td>"), std::string::npos);
  EXPECT_NE(test_support::read_file(run / "results.json").find("\"load_after_smallfive\": \"3.75 (5 min 2.00"),
            std::string::npos);
}

TEST_F(BusyMachine, AnIdleMachineNotesItsStateAndWarnsOfNothing) {
  fake_with_results("smallfive", 19, "%d", small_arrays_file(smallarrays::kSmallfive, hundredths));
  ChildProcess study(study_arguments({"smallfive"}), scratch.path());
  EXPECT_EQ(study.finish(), 0) << study.output();
  EXPECT_EQ(study.output().find("WARNING"), std::string::npos) << study.output();
  const std::string context = test_support::read_file(run_folder() / "context.txt");
  for (const char* line : {"frequency governor: performance\n", "transparent huge pages: madvise\n",
                           "load before smallfive: 0.00 (5 min 0.00, 15 min 0.00)\n", "load after smallfive: 0.00"}) {
    EXPECT_NE(context.find(line), std::string::npos) << line << context;
  }
  EXPECT_EQ(test_support::read_file(run_folder() / "summary.txt").find("WARNING"), std::string::npos);
  // The study let its lock go and removed its file.
  EXPECT_TRUE(fs::is_empty(locks()));
}

TEST_F(BusyProcessors, ABuildJustDoneIsWaitedForAndNotWarnedOf) {
  // The load still holds the build; the processors quiet down 2 s into the wait.
  set_machine_file("proc/loadavg", "2.67 1.20 0.50 1/100 4242\n");
  set_stat_sequence({{0, 0}, {100, 0}, {100.5, 0.85}, {101.5, 1.75}, {102.5, 1.78}, {110.5, 1.8}});
  fake_with_results("smallfive", 19, "%d", small_arrays_file(smallarrays::kSmallfive, hundredths));
  ChildProcess study(study_arguments({"smallfive"}), scratch.path());
  EXPECT_EQ(study.finish(), 0) << study.output();
  const std::string& output = study.output();
  EXPECT_EQ(output.find("WARNING"), std::string::npos) << output;
  const std::size_t waits =
      output.find("study: waiting for the machine to settle: other work uses 170 % of a processor\n");
  EXPECT_NE(waits, std::string::npos) << output;
  EXPECT_LT(waits, output.find("study: the machine settled after 2 s: other work uses 3 % of a processor\n"));
  EXPECT_LT(output.find("the machine settled"), output.find("smallfive     ["));
  const std::string context = test_support::read_file(run_folder() / "context.txt");
  for (const char* line : {"load before smallfive: 2.67 (5 min 1.20, 15 min 0.50)\n",
                           "other work before smallfive: 3 % of a processor, after waiting 2 s for 170 % of a "
                           "processor to settle\n",
                           "other work during smallfive: 0 % of a processor\n"}) {
    EXPECT_NE(context.find(line), std::string::npos) << line << context;
  }
  EXPECT_EQ(test_support::read_file(run_folder() / "summary.txt").find("WARNING"), std::string::npos);
  EXPECT_FALSE(fs::exists(machine() / "proc/stat.6")) << "the reading after the program was not taken";
}

TEST_F(BusyProcessors, OtherWorkThatKeepsOnIsWarnedOfAfterTheWaitAndBesideTheProgram) {
  // One processor kept busy throughout; each reading of the wait 30 s after the last.
  set_machine_file("proc/loadavg", "2.00 1.50 1.00 3/100 4242\n");
  set_stat_sequence({{0, 0}, {0, 0}, {0.5, 0.5}, {30.5, 30.5}, {60.5, 60.5}, {70.5, 70.5}});
  fake_with_results("smallfive", 19, "%d", small_arrays_file(smallarrays::kSmallfive, hundredths));
  ChildProcess study(study_arguments({"smallfive"}), scratch.path());
  EXPECT_EQ(study.finish(), 0) << study.output();
  const std::string& output = study.output();
  const std::string before =
      "other work used 100 % of a processor before smallfive started, still after waiting 60 s for it to settle "
      "(load 2.00): it will disturb its timings.";
  const std::string during = "other work used 100 % of a processor while smallfive ran (load 2.00): it disturbed";
  EXPECT_LT(output.find("study: waiting for the machine to settle"), output.find("study: WARNING: " + before));
  EXPECT_LT(output.find("study: WARNING: " + before), output.find("smallfive     ["));
  EXPECT_GT(output.find("study: WARNING: " + during), output.find("  done")) << output;
  // Not the load's own warning: the processors' times speak for the other work.
  EXPECT_EQ(output.find("WARNING: load "), std::string::npos) << output;
  const std::string summary = test_support::read_file(run_folder() / "summary.txt");
  const std::string index = test_support::read_file(run_folder() / "index.html");
  for (const std::string& warning : {before, during}) {
    EXPECT_NE(summary.find("WARNING: " + warning.substr(0, 60)), std::string::npos) << warning << "\n" << summary;
    EXPECT_NE(index.find("Warning: " + analysis::escape_markup(warning)), std::string::npos) << warning;
  }
  EXPECT_NE(index.find("<th>other work during smallfive</th><td>100 % of a processor</td>"), std::string::npos);
}

TEST_F(BusyMachine, TwoStudiesRunAtOnceEachWarnOfTheOther) {
  // The first study's program is still running when the second starts, and
  // the second's still runs when the first's ends.
  fake_with_results("smallfive", 19, "%d", small_arrays_file(smallarrays::kSmallfive, hundredths), "sleep 4");
  fake_with_results("smallsix", 16, "%d", small_arrays_file(smallarrays::kSmallsix, hundredths), "sleep 8");
  ChildProcess first(study_arguments({"smallfive"}), scratch.path());
  ASSERT_TRUE(first.read_until(" 19/19 ")) << first.output();
  ChildProcess second(
      {built(STUDY_PATH), "--bin", bin().string(), "--results", (scratch.path() / "second").string(), "smallsix"},
      scratch.path());
  EXPECT_EQ(second.finish(), 0) << second.output();
  EXPECT_EQ(first.finish(), 0) << first.output();

  EXPECT_NE(second.output().find("study: WARNING: another study is running (pid "), std::string::npos)
      << second.output();
  EXPECT_NE(first.output().find("study: WARNING: another study started while smallfive ran (pid "), std::string::npos)
      << first.output();
  EXPECT_TRUE(fs::is_empty(locks()));
}

}  // namespace
