// The study when things go wrong around it: a file system that fills up, a
// folder standing where a chart must go, a program killed from outside and
// a program that is not there. In each case it keeps every file already
// written, leaves no temporary file, says what failed in plain words, marks
// what is incomplete and goes on.
#include <gtest/gtest.h>
#if defined(__linux__)
#include <sys/mount.h>
#endif

#include <cerrno>
#include <cstring>
#include <fstream>

#include "child_process.hpp"
#include "result_fixtures.hpp"
#include "stand_in_programs.hpp"
#include "study/os/program.hpp"

namespace {

using namespace fixtures;
using namespace study_tests;
namespace fs = std::filesystem;

std::int64_t some_time(std::size_t row, std::size_t column) {
  return static_cast<std::int64_t>(row * 7 + column * 5 + 3);
}

// How a program ended by end_from_outside() is reported, in the summary's
// status column and in words.
#ifdef _WIN32
constexpr std::string_view kEndedFromOutsideStatus = "exception 0xC0000005";
constexpr std::string_view kEndedFromOutside = "exception 0xC0000005 (access violation)";
#else
constexpr std::string_view kEndedFromOutsideStatus = "signal 9";
constexpr std::string_view kEndedFromOutside = "signal 9 (Killed)";
#endif

// Files the study left half written under `folder`.
std::vector<std::string> temporary_files(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.path().filename().string().find(".tmp") != std::string::npos) found.push_back(entry.path().string());
  }
  return found;
}

#if defined(__linux__)
std::string progress_lines(int steps, const std::string& format) {
  std::string text;
  for (int i = 1; i <= steps; ++i) {
    std::string line = format;
    line.replace(line.find("%d"), 2, std::to_string(i));
    text += line + "\r\n";
  }
  return text;
}

// A tmpfs of 64 KiB holding the results, unmounted at the end (Linux only:
// other systems mount small file systems their own ways).
class StudyOnAFullDisk : public StudyWithStandIns {
 protected:
  void SetUp() override {
    StudyWithStandIns::SetUp();
    results_ = scratch.path() / "disk";
    fs::create_directory(results_);
    if (::mount("tmpfs", results_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
      GTEST_SKIP() << "cannot mount a 64 KiB tmpfs to fill (" << std::strerror(errno)
                   << "): the full-disk case needs root";
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount2(results_.c_str(), MNT_DETACH);
  }

  bool mounted_ = false;
};

TEST_F(StudyOnAFullDisk, KeepsTheProgramsFilesSaysWhatFailedAndMarksTheResultsIncomplete) {
  const std::string grid = tallygrid_file(some_time, some_time);
  // After its results the stand-in fills the disk but for four pages: room
  // for summary.txt and index.html, not for the heat map of five.
  fake_with_results("tallygrid", 84, "1 %d", grid, "fill-disk-leaving 16384");
  ChildProcess study(study_arguments({"tallygrid"}), scratch.path());
  const int status = study.finish();
  const std::string& output = study.output();
  EXPECT_EQ(status, 1) << output;

  const fs::path run = run_folder();
  const fs::path chart = run / "tallygrid" / "vystup-ratio-heatmap.svg";
  EXPECT_NE(output.find("study: cannot write " + chart.string() + ": no space left on device"), std::string::npos)
      << output;
  EXPECT_NE(output.find("done, results INCOMPLETE"), std::string::npos) << output;
  EXPECT_EQ(test_support::read_file(run / "tallygrid" / "vystup.out"), grid);
  EXPECT_EQ(test_support::read_file(run / "tallygrid" / "console.txt"), progress_lines(84, "1 %d"));
  EXPECT_TRUE(fs::exists(run / "tallygrid" / "ballast"));
  EXPECT_FALSE(fs::exists(chart));
  EXPECT_EQ(temporary_files(run), std::vector<std::string>{});

  const std::string summary = test_support::read_file(run / "summary.txt");
  EXPECT_NE(notes_unwrapped(summary).find("tallygrid: results incomplete: cannot write " + chart.string()),
            std::string::npos)
      << summary;
  EXPECT_NE(output.find(summary), std::string::npos) << output;
  const std::string index = test_support::read_file(run / "index.html");
  EXPECT_NE(index.find("<td class=\"incomplete\">incomplete</td>"), std::string::npos);
  EXPECT_EQ(index.find("still running"), std::string::npos);
}
#endif

TEST_F(StudyWithStandIns, AFolderWhereAChartMustGoSpoilsOnlyThatProgramsResults) {
  const std::string six = small_arrays_file(smallarrays::kSmallsix, some_time);
  fake_with_results("smallsix", 16, "%d", six, "mkdir vystup-time-per-array.svg");
  fake_with_results("cutoffnarrow", 35, "1 %d", cutoffnarrow_file(some_time, some_time));
  ChildProcess study(study_arguments({"smallsix", "cutoffnarrow"}), scratch.path());
  EXPECT_EQ(study.finish(), 1);
  const std::string& output = study.output();
  const fs::path run = run_folder();
  const fs::path chart = run / "smallsix" / "vystup-time-per-array.svg";
  EXPECT_NE(output.find("study: cannot write " + chart.string() + ": is a directory"), std::string::npos) << output;
  EXPECT_EQ(test_support::read_file(run / "smallsix" / "vystup.out"), six);
  EXPECT_TRUE(fs::is_directory(chart) && fs::is_empty(chart));
  EXPECT_FALSE(fs::exists(run / "smallsix" / "vystup.csv"));
  EXPECT_EQ(temporary_files(run), std::vector<std::string>{});
  // The next program ran and was charted as ever.
  EXPECT_TRUE(fs::exists(run / "cutoffnarrow" / "vystup-cutoff-ratio.svg"));
  EXPECT_TRUE(fs::exists(run / "cutoffnarrow" / "vystup.csv"));
  const std::string summary = notes_unwrapped(test_support::read_file(run / "summary.txt"));
  EXPECT_NE(summary.find("smallsix: results incomplete: cannot write " + chart.string() + ": is a directory"),
            std::string::npos)
      << summary;
  EXPECT_EQ(summary.find("cutoffnarrow:"), std::string::npos) << summary;
}

TEST_F(StudyWithStandIns, AProgramKilledFromOutsideIsReportedAndTheStudyGoesOn) {
  fake("tallygrid", "write-pid " + (scratch.path() / "pid").string() + "\nprint 1 1\\r\\n\ntouch vystup.out\nsleep 60");
  fake_with_results("smallfive", 19, "%d", small_arrays_file(smallarrays::kSmallfive, some_time));
  ChildProcess study(study_arguments({"tallygrid", "smallfive"}), scratch.path());
  ASSERT_TRUE(study.read_until("  1/84 ")) << study.output();
  std::uint64_t program = 0;
  std::ifstream(scratch.path() / "pid") >> program;
  ASSERT_GT(program, 0u);
  end_from_outside(program);
  EXPECT_EQ(study.finish(), 1);
  const std::string& output = study.output();
  EXPECT_NE(output.find("FAILED: ended by " + std::string(kEndedFromOutside)), std::string::npos) << output;
  const fs::path run = run_folder();
  EXPECT_EQ(test_support::read_file(run / "tallygrid" / "console.txt"), "1 1\r\n");
  EXPECT_TRUE(fs::exists(run / "smallfive" / "vystup-time-per-array.svg"));
  const std::string summary = test_support::read_file(run / "summary.txt");
  EXPECT_NE(summary.find("\ntallygrid  " + std::string(kEndedFromOutsideStatus) + " "), std::string::npos) << summary;
  EXPECT_NE(summary.find("tallygrid: ended by " + std::string(kEndedFromOutside)), std::string::npos) << summary;
  EXPECT_NE(summary.find("\nsmallfive  0 "), std::string::npos) << summary;
}

TEST_F(StudyWithStandIns, AMissingProgramIsReportedAndTheStudyGoesOn) {
  fake_with_results("cutoffwide", 108, "1 %d", cutoffwide_file(some_time, some_time));
  ChildProcess study(study_arguments({"tallyduel", "cutoffwide"}), scratch.path());
  EXPECT_EQ(study.finish(), 1);
  const std::string& output = study.output();
  EXPECT_NE(output.find("tallyduel     MISSING: no executable " + study::os::program_file(bin(), "tallyduel").string() +
                        " (build it first)"),
            std::string::npos)
      << output;
  EXPECT_NE(output.find("cutoffwide    [########################] 108/108"), std::string::npos) << output;
  const fs::path run = run_folder();
  EXPECT_FALSE(fs::exists(run / "tallyduel"));
  EXPECT_TRUE(fs::exists(run / "cutoffwide" / "vystup-cutoff-ratio.svg"));
  EXPECT_NE(test_support::read_file(run / "index.html").find("<td class=\"missing\">missing</td>"), std::string::npos);
}

}  // namespace
