// Whether the machine was quiet, with values given in place of the
// machine's: the other work on the processors and the wait for it to
// settle, the load held against the study's own share of it where the
// processors' times are unknown, the settings that blur timings, other
// studies, and the noise calibration's spread.
#include "study/run/machine_hygiene.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "study/run/noise_calibration.hpp"

namespace {

using study::Context;
using study::LoadWatch;
using study::MachineHygiene;
using study::os::LoadAverage;
using study::os::MachineState;
using study::os::ProcessorTimes;

std::string value_of(const Context& context, const std::string& key) {
  for (const auto& [name, value] : context) {
    if (name == key) return value;
  }
  return "(none)";
}

TEST(MachineSettings, AreNotedAsTheSystemTellsThemAndWarnedOfWhenTheyBlurTimings) {
  Context context;
  study::note_machine_settings({std::nullopt, {"performance", "performance"}, "madvise"}, context);
  EXPECT_EQ(context, (Context{{"frequency governor", "performance"}, {"transparent huge pages", "madvise"}}));
  EXPECT_TRUE(study::machine_settings_warnings({std::nullopt, {"performance", "performance"}, "madvise"}).empty());

  // Where the system does not say (a virtual machine), nothing is noted and nothing warned of.
  context.clear();
  study::note_machine_settings({}, context);
  EXPECT_TRUE(context.empty());
  EXPECT_TRUE(study::machine_settings_warnings({}).empty());

  const MachineState mixed{std::nullopt, {"powersave", "performance", "powersave", "schedutil"}, "always"};
  study::note_machine_settings(mixed, context);
  EXPECT_EQ(value_of(context, "frequency governor"),
            "powersave (2 processors), performance (1 processor), schedutil (1 processor)");
  const std::vector<std::string> warnings = study::machine_settings_warnings(mixed);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0].find("the frequency governor of 3 of 4 processors is powersave, schedutil, not performance"),
            0u)
      << warnings[0];
  EXPECT_EQ(warnings[1].find("transparent huge pages are set to always"), 0u) << warnings[1];

  const std::vector<std::string> all = study::machine_settings_warnings({std::nullopt, {"powersave"}, "never"});
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].find("the processors' frequency governor is powersave, not performance"), 0u) << all[0];
}

TEST(LoadWatch, AQuietMachineAndTheStudysOwnProgramsRaiseNoWarning) {
  LoadWatch watch;
  EXPECT_FALSE(watch.before("tallygrid", 0, 0.5));
  // Two minutes of one task lift the average to 1 - e^-2 = 0.86.
  EXPECT_FALSE(watch.after("tallygrid", 120, 0.86 + 0.5));
  // The next program starts while that share is still in the average.
  EXPECT_FALSE(watch.before("cutoffwide", 125, 0.75 + 0.5));
  EXPECT_FALSE(watch.after("cutoffwide", 600, 1.45));
}

TEST(LoadWatch, LoadBeyondTheStudysShareBeforeAProgramIsOtherWork) {
  LoadWatch watch;
  const std::optional<std::string> warning = watch.before("tallygrid", 0, 0.51);
  ASSERT_TRUE(warning.has_value());
  EXPECT_EQ(*warning,
            "load 0.51 before tallygrid started, above the 0.00 left by the study's earlier programs + 0.50: other "
            "work is running and will disturb its timings.");

  // After a program of 60 s, its share is 1 - e^-1 = 0.63, and a minute later e^-1 of that, 0.23.
  LoadWatch later;
  later.before("smallsix", 0, 0);
  later.after("smallsix", 60, 0.63);
  EXPECT_FALSE(later.before("smallfive", 120, 0.23 + 0.49));
  EXPECT_TRUE(later.before("smallfive", 120, 0.23 + 0.52));
}

TEST(LoadWatch, LoadBeyondOneTaskDuringAProgramIsOtherWork) {
  LoadWatch watch;
  watch.before("tallygrid", 0, 0.2);
  // Explained after 60 s: 0.2 e^-1 + 1 - e^-1 = 0.71.
  const std::optional<std::string> warning = watch.after("tallygrid", 60, 1.3);
  ASSERT_TRUE(warning.has_value());
  EXPECT_EQ(*warning,
            "load 1.30 after tallygrid, above the 0.71 expected from the load before it and its own run + 0.50: "
            "other work ran beside it and disturbed its timings.");

  // A short program explains little: a second study's task hardly shows in
  // 10 s, a busy machine does.
  LoadWatch short_run;
  short_run.before("tallyduel", 0, 0);
  EXPECT_FALSE(short_run.after("tallyduel", 10, 0.3));
  short_run.before("tallyduel", 11, 0.3);
  EXPECT_TRUE(short_run.after("tallyduel", 21, 0.3 * std::exp(-10.0 / 60) + 0.15 + 0.6));

  // Without a load before it, there is nothing to hold the load after against.
  LoadWatch unknown;
  EXPECT_FALSE(unknown.after("tallyduel", 10, 5.0));
}

TEST(OtherStudies, EachIsWarnedOfOnceWhenItIsFirstSeen) {
  study::OtherStudies others;
  EXPECT_EQ(others.note({4242}, ""),
            std::vector<std::string>{"another study is running (pid 4242): timings of both will be disturbed."});
  EXPECT_TRUE(others.note({4242}, "tallygrid").empty());
  EXPECT_EQ(others.note({4242, 5151}, "tallygrid"),
            std::vector<std::string>{"another study started while tallygrid ran (pid 5151): timings of both are "
                                     "disturbed."});
  EXPECT_TRUE(others.note({}, "cutoffwide").empty());
  EXPECT_EQ(others.note({6, 7}, "cutoffwide"),
            std::vector<std::string>{"2 other studies started while cutoffwide ran (pids 6, 7): timings of all are "
                                     "disturbed."});
  EXPECT_EQ(study::OtherStudies().note({6, 7}, ""),
            std::vector<std::string>{"2 other studies are running (pids 6, 7): timings of all will be disturbed."});
}

// Two processors, `seconds` after the system started, of which other work
// kept one busy `others` seconds and the study with its programs `own`.
ProcessorTimes at(double seconds, double others, double own = 0) { return {others + own, 2 * seconds, 2, own}; }

// A machine whose state, other studies, clock and processors' times the
// test sets: each reading takes the next of `readings`, none when they
// are used up.
struct GivenMachine {
  MachineState state;
  std::vector<std::uint64_t> others;
  double now = 0;
  int looks = 0;
  std::vector<ProcessorTimes> readings;
  std::size_t read = 0;
  std::vector<double> pauses;
  std::vector<std::string> told;

  MachineHygiene::Sources sources(std::string lock_failure = "") {
    return {[this] { return state; },
            [this] {
              ++looks;
              return others;
            },
            [this] { return now; },
            std::move(lock_failure),
            [this]() -> std::optional<ProcessorTimes> {
              if (read == readings.size()) return std::nullopt;
              return readings[read++];
            },
            [this](double seconds) { pauses.push_back(seconds); }};
  }
  MachineHygiene::Waiting waiting(std::function<bool()> stopped = {}) {
    return {[this](const std::string& line) { told.push_back(line); }, std::move(stopped)};
  }
};

TEST(OtherWork, IsTheBusyTimeBeyondTheStudysOwnPerSecondPassed) {
  EXPECT_DOUBLE_EQ(*study::other_work(at(10, 0), at(12, 1.5)), 0.75);
  // The study's programs ran two processors for the whole time: none of it is other work.
  EXPECT_DOUBLE_EQ(*study::other_work(at(10, 0, 0), at(20, 3, 20)), 0.3);
  // The coarse system counter behind the study's own: none, not less.
  EXPECT_DOUBLE_EQ(*study::other_work(at(10, 0, 0), at(11, 0, 0.05)), 0.0);
  EXPECT_FALSE(study::other_work(at(10, 1), at(10, 1)).has_value());
  EXPECT_EQ(study::other_work_text(0.854), "85 % of a processor");
  EXPECT_EQ(study::other_work_text(1.6), "160 % of a processor");
}

TEST(MachineHygiene, WaitsForTheBuildBeforeTheFirstProgramToSettleAndDoesNotWarn) {
  GivenMachine machine;
  // The build just done: the 1-minute load still holds it, the processors are quieting down.
  machine.state.load = LoadAverage{2.67, 1.2, 0.5};
  machine.readings = {at(0, 0),           at(100, 0), at(100.5, 0.85),  // the first sample: 170 %
                      at(101.5, 1.75),                                  // 90 %
                      at(102.5, 1.78),                                  // 3 %: settled
                      at(142.5, 2.58, 80)};
  MachineHygiene hygiene(machine.sources());
  Context context;
  EXPECT_TRUE(hygiene.start(context).empty());
  EXPECT_TRUE(hygiene.before("smallsix", context, machine.waiting()).empty());
  EXPECT_EQ(machine.pauses, (std::vector<double>{study::kFirstSampleSeconds, study::kSettleSampleSeconds,
                                                 study::kSettleSampleSeconds}));
  EXPECT_EQ(machine.told,
            (std::vector<std::string>{"waiting for the machine to settle: other work uses 170 % of a processor",
                                      "the machine settled after 2 s: other work uses 3 % of a processor"}));
  // The program kept both processors busy for 40 s; 2 % of other work beside it.
  machine.state.load = LoadAverage{2.1, 1.4, 0.6};
  EXPECT_TRUE(hygiene.after("smallsix", context).empty());
  EXPECT_EQ(context, (Context{{"load before smallsix", "2.67 (5 min 1.20, 15 min 0.50)"},
                              {"other work before smallsix",
                               "3 % of a processor, after waiting 2 s for 170 % of a processor to settle"},
                              {"load after smallsix", "2.10 (5 min 1.40, 15 min 0.60)"},
                              {"other work during smallsix", "2 % of a processor"}}));
}

TEST(MachineHygiene, AnEarlierStudysLoadIsNoWarningWhenTheProcessorsAreQuiet) {
  GivenMachine machine;
  machine.state.load = LoadAverage{1.05, 0.6, 0.2};  // its last program's
  machine.readings = {at(0, 0), at(10, 0), at(10.5, 0.01), at(70.5, 0.5, 60)};
  MachineHygiene hygiene(machine.sources());
  Context context;
  hygiene.start(context);
  EXPECT_TRUE(hygiene.before("smallfive", context, machine.waiting()).empty());
  EXPECT_TRUE(hygiene.after("smallfive", context).empty());
  EXPECT_TRUE(machine.told.empty());
  EXPECT_EQ(machine.pauses, std::vector<double>{study::kFirstSampleSeconds});
  EXPECT_EQ(context.at(1), (std::pair<std::string, std::string>{"other work before smallfive", "2 % of a processor"}));
}

TEST(MachineHygiene, OtherWorkThatDoesNotSettleIsWarnedOfAfterTheLongestWaitAndBesideTheProgram) {
  GivenMachine machine;
  machine.state.load = LoadAverage{1.9, 1.5, 1.0};
  // A process kept one processor busy throughout, and the program the other.
  machine.readings = {at(0, 0), at(0, 0)};
  for (int second = 0; second <= 60; ++second) machine.readings.push_back(at(second + 0.5, second + 0.5));
  MachineHygiene hygiene(machine.sources());
  Context context;
  hygiene.start(context);
  const std::vector<std::string> before = hygiene.before("tallygrid", context, machine.waiting());
  EXPECT_EQ(before, std::vector<std::string>{"other work used 100 % of a processor before tallygrid started, still "
                                             "after waiting 60 s for it to settle (load 1.90): it will disturb its "
                                             "timings."});
  EXPECT_EQ(machine.pauses.size(), 1 + static_cast<std::size_t>(study::kLongestSettleSeconds));
  EXPECT_EQ(machine.told.size(), 1u);  // only as it began: the warning tells the rest
  machine.readings.push_back(at(90.5, 90.5, 30));
  machine.state.load = LoadAverage{2.2, 1.6, 1.0};
  EXPECT_EQ(hygiene.after("tallygrid", context),
            std::vector<std::string>{"other work used 100 % of a processor while tallygrid ran (load 2.20): it "
                                     "disturbed its timings."});
  EXPECT_EQ(context.at(1).second, "100 % of a processor, still after waiting 60 s");

  // A user who stops the study ends the wait: the program will not run, so nothing is warned of.
  GivenMachine stopped;
  for (int second = 0; second <= 10; ++second) stopped.readings.push_back(at(second, second));
  MachineHygiene stopping(stopped.sources());
  EXPECT_TRUE(stopping.start(context).empty());
  EXPECT_TRUE(stopping.before("tallygrid", context, stopped.waiting([] { return true; })).empty());
  EXPECT_EQ(stopped.pauses.size(), 1u);
}

TEST(MachineHygiene, NotesTheLoadAroundEachProgramAndWarnsAsItEnds) {
  GivenMachine machine;
  machine.state = {LoadAverage{0.1, 0.2, 0.3}, {"performance"}, "never"};
  MachineHygiene hygiene(machine.sources());
  Context context;
  EXPECT_TRUE(hygiene.start(context).empty());
  EXPECT_TRUE(hygiene.before("tallygrid", context).empty());
  machine.now = 30;
  machine.state.load = LoadAverage{2.9, std::nullopt, std::nullopt};
  const std::vector<std::string> warnings = hygiene.after("tallygrid", context);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].find("load 2.90 after tallygrid"), 0u) << warnings[0];
  // Without the processors' times, the load stands in for the other work.
  EXPECT_EQ(context, (Context{{"frequency governor", "performance"},
                              {"transparent huge pages", "never"},
                              {"other work",
                               "not measured: the system keeps no processor times, so the load "
                               "average stands in for it"},
                              {"load before tallygrid", "0.10 (5 min 0.20, 15 min 0.30)"},
                              {"load after tallygrid", "2.90"}}));
}

TEST(MachineHygiene, WithoutALoadAverageItSaysSoOnceAndNeverWarnsOfLoad) {
  GivenMachine machine;  // as on Windows: no load, no governor, no huge pages
  MachineHygiene hygiene(machine.sources());
  Context context;
  EXPECT_TRUE(hygiene.start(context).empty());
  EXPECT_TRUE(hygiene.before("smallsix", context).empty());
  machine.now = 500;
  EXPECT_TRUE(hygiene.after("smallsix", context).empty());
  EXPECT_EQ(context, (Context{{"load average", "unavailable: the system keeps none"}}));
}

TEST(MachineHygiene, OtherStudiesAreLookedForAtTheStartWhileAProgramRunsAndAfterIt) {
  GivenMachine machine;
  machine.state.load = LoadAverage{0, 0, 0};
  machine.others = {77};
  MachineHygiene hygiene(machine.sources("cannot make /locks: permission denied"));
  Context context;
  const std::vector<std::string> start = hygiene.start(context);
  ASSERT_EQ(start.size(), 2u);
  EXPECT_EQ(start[0], "cannot tell whether another study is running: cannot make /locks: permission denied.");
  EXPECT_EQ(start[1], "another study is running (pid 77): timings of both will be disturbed.");

  hygiene.before("cutoffwide", context);
  const int looks = machine.looks;
  // Not at every progress step: every kOtherStudiesLookSeconds.
  machine.now = 1;
  hygiene.during("cutoffwide");
  EXPECT_EQ(machine.looks, looks);
  // A study that comes and goes while the program runs is still reported as it ends.
  machine.others = {77, 88};
  machine.now = 2;
  hygiene.during("cutoffwide");
  EXPECT_EQ(machine.looks, looks + 1);
  machine.others = {};
  machine.now = 3;
  EXPECT_EQ(hygiene.after("cutoffwide", context),
            std::vector<std::string>{"another study started while cutoffwide ran (pid 88): timings of both are "
                                     "disturbed."});
}

TEST(NoiseCalibration, MeasuresTheSpreadOfOneKernel) {
  // Times 10 % either side of their centre: a spread of the logs of 0.1 (n - 1 in the denominator).
  std::vector<double> seconds;
  for (int i = 0; i < 10; ++i) seconds.push_back(0.1 * std::exp(i % 2 ? 0.1 : -0.1));
  EXPECT_NEAR(study::spread_of_times(seconds), 0.1 * std::sqrt(10.0 / 9.0), 1e-12);
  EXPECT_EQ(study::spread_of_times(std::vector<double>{0.1}), 0.0);
  // The machine itself, in about a second.
  const std::optional<study::NoiseCalibration> measured = study::calibrate_noise();
  ASSERT_TRUE(measured);
  EXPECT_GE(measured->cell_spread, 0.0);
  EXPECT_EQ(measured->how.rfind("QSORT of 1000000 values timed 10 times, ", 0), 0u) << measured->how;
}

}  // namespace
