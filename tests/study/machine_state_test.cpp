// The machine's state as the system's files tell it: the load average,
// the processors' times, the governors and the huge pages setting read
// from their text, and from a tree laid out like Linux's /proc and /sys.
#include "study/os/machine_state.hpp"

#include <gtest/gtest.h>

#include <map>

#include "stand_in_programs.hpp"
#include "support/test_support.hpp"

namespace {

namespace fs = std::filesystem;
using study::os::MachineState;

TEST(MachineStateFiles, TheLoadAverageIsTheLeadingNumbersOfLoadavg) {
  const auto load = study::os::parse_load_average("0.31 1.28 12.20 2/345 6789\n");
  ASSERT_TRUE(load.has_value());
  EXPECT_DOUBLE_EQ(load->one_minute, 0.31);
  EXPECT_EQ(load->five_minutes, 1.28);
  EXPECT_EQ(load->fifteen_minutes, 12.20);

  const auto one = study::os::parse_load_average("  2.5\n");
  ASSERT_TRUE(one.has_value());
  EXPECT_DOUBLE_EQ(one->one_minute, 2.5);
  EXPECT_FALSE(one->five_minutes.has_value());
  EXPECT_FALSE(one->fifteen_minutes.has_value());

  for (const char* text : {"", "\n", "load 0.31", "-1.0 0.5 0.5", "nan 0.1 0.1", "inf 0 0"}) {
    EXPECT_FALSE(study::os::parse_load_average(text).has_value()) << text;
  }
}

TEST(MachineStateFiles, TheProcessorsTimesAreTheCpuLineAndTheProcessorsItsCpuNLines) {
  // user nice system idle iowait irq softirq steal guest guest_nice
  const auto times = study::os::parse_processor_times(
      "cpu  100 20 30 400 50 6 7 8 90 0\ncpu0 50 10 15 200 25 3 3 4 45 0\ncpu1 50 10 15 200 25 3 4 4 45 0\n"
      "intr 12345 0 0\nctxt 999\n",
      100);
  ASSERT_TRUE(times.has_value());
  EXPECT_DOUBLE_EQ(times->busy_seconds, 1.71);  // guest time is in user's already
  EXPECT_DOUBLE_EQ(times->total_seconds, 6.21);
  EXPECT_EQ(times->processors, 2);
  EXPECT_EQ(times->own_seconds, 0);
  // Older kernels end the line after iowait.
  const auto old = study::os::parse_processor_times("cpu 1 2 3 4\ncpu0 1 2 3 4\n", 1);
  ASSERT_TRUE(old.has_value());
  EXPECT_DOUBLE_EQ(old->busy_seconds, 6);
  for (const char* text : {"", "cpu0 1 2 3 4\n", "cpu 1 2 3\ncpu0 1 2 3\n", "cpu 1 2 3 4\n", "cpufreq 1 2 3 4\n"}) {
    EXPECT_FALSE(study::os::parse_processor_times(text, 100).has_value()) << text;
  }
}

TEST(MachineStateFiles, ASettingIsTheBracketedChoiceOrTheWholeTrimmedText) {
  EXPECT_EQ(study::os::chosen_setting("always [madvise] never\n"), "madvise");
  EXPECT_EQ(study::os::chosen_setting("[always] madvise never\n"), "always");
  EXPECT_EQ(study::os::chosen_setting("always madvise [never]"), "never");
  EXPECT_EQ(study::os::chosen_setting("performance\n"), "performance");
  EXPECT_EQ(study::os::chosen_setting(" \t schedutil \r\n"), "schedutil");
  EXPECT_EQ(study::os::chosen_setting(""), "");
  EXPECT_EQ(study::os::chosen_setting("\n"), "");
}

class LinuxTree : public ::testing::Test {
 protected:
  void put(const std::string& relative, const std::string& text) {
    fs::create_directories((root / relative).parent_path());
    study_tests::write_text(root / relative, text);
  }
  test_support::ScratchDirectory scratch;
  fs::path root = scratch.path() / "root";
};

TEST_F(LinuxTree, GovernorsComeByProcessorNumberAndOnlyFromProcessors) {
  put("proc/loadavg", "0.50 0.40 0.30 1/99 42\n");
  for (const auto& [cpu, governor] : std::map<std::string, std::string>{
           {"cpu0", "performance"}, {"cpu1", "powersave"}, {"cpu2", "schedutil"}, {"cpu10", "ondemand"}}) {
    put("sys/devices/system/cpu/" + cpu + "/cpufreq/scaling_governor", governor + "\n");
  }
  // A processor without frequency scaling, and folders that are not processors.
  fs::create_directories(root / "sys/devices/system/cpu/cpu3");
  put("sys/devices/system/cpu/cpufreq/scaling_governor", "userspace\n");
  put("sys/devices/system/cpu/cpuidle/cpufreq/scaling_governor", "userspace\n");
  put("sys/kernel/mm/transparent_hugepage/enabled", "[always] madvise never\n");

  const MachineState state = study::os::linux_machine_state(root);
  ASSERT_TRUE(state.load.has_value());
  EXPECT_DOUBLE_EQ(state.load->one_minute, 0.5);
  EXPECT_EQ(state.load->fifteen_minutes, 0.3);
  EXPECT_EQ(state.governors, (std::vector<std::string>{"performance", "powersave", "schedutil", "ondemand"}));
  EXPECT_EQ(state.huge_pages, "always");
}

TEST_F(LinuxTree, WhatIsMissingIsUnknownAndTheHookPointsTheStateAtATree) {
  fs::create_directories(root);
  const MachineState bare = study::os::linux_machine_state(root);
  EXPECT_FALSE(bare.load.has_value());
  EXPECT_TRUE(bare.governors.empty());
  EXPECT_EQ(bare.huge_pages, "");

  put("proc/loadavg", "7.25 0.00 0.00 1/99 42\n");
  test_support::set_environment("SORTBENCH_MACHINE_ROOT", root.string().c_str());
  const MachineState state = study::os::machine_state();
  test_support::unset_environment("SORTBENCH_MACHINE_ROOT");
  ASSERT_TRUE(state.load.has_value());
  EXPECT_DOUBLE_EQ(state.load->one_minute, 7.25);
}

TEST_F(LinuxTree, TheHooksProcessorTimesComeInTheSequenceNumberedAndThenStay) {
  put("proc/stat", "cpu 9 0 0 0\ncpu0 9 0 0 0\n");
  put("proc/stat.2", "cpu 2 0 0 0\ncpu0 2 0 0 0\n");
  put("proc/stat.10", "cpu 10 0 0 0\ncpu0 10 0 0 0\n");
  put("proc/stat.1", "cpu 1 0 0 0\ncpu0 1 0 0 0\n");
  test_support::set_environment("SORTBENCH_MACHINE_ROOT", root.string().c_str());
  EXPECT_TRUE(study::os::machine_is_stood_in());
  std::vector<double> busy;
  for (int reading = 0; reading < 5; ++reading) {
    const auto times = study::os::processor_times();
    busy.push_back(times ? times->busy_seconds * 100 : -1);
  }
  test_support::unset_environment("SORTBENCH_MACHINE_ROOT");
  EXPECT_EQ(busy, (std::vector<double>{1, 2, 10, 9, 9}));
  EXPECT_FALSE(study::os::machine_is_stood_in());
}

}  // namespace
