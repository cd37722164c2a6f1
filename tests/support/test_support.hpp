// Shared helpers of the tests: scratch folders, captured standard output,
// whole-file reads, a fake wall clock and an instrumented element type.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "kit/os/clocks.hpp"

namespace test_support {

// A fresh folder that is the current directory while the object lives.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Redirects descriptor 1 into a file while the object lives; text() reads
// back everything written to it.
class CapturedStdout {
 public:
  CapturedStdout();
  ~CapturedStdout();
  CapturedStdout(const CapturedStdout&) = delete;
  CapturedStdout& operator=(const CapturedStdout&) = delete;
  std::string text() const;
  void restore();

 private:
  std::filesystem::path file_;
  int saved_ = -1;
};

std::string read_file(const std::filesystem::path& path);

// Splits text into lines that each must end with CR LF; a line without it,
// or a lone LF, is reported by `ok` false and the offending line number.
struct CrLfLines {
  std::vector<std::string> lines;
  bool ok = true;
  std::size_t first_bad_line = 0;
};
CrLfLines split_crlf_lines(const std::string& text);

// Compares line by line and names the first line that differs.
std::string first_difference(const std::vector<std::string>& actual, const std::vector<std::string>& expected);

// A wall clock that moves by a fixed step on every reading, in UTC, so
// every timed batch of a driver lasts exactly `step_hundredths`.
void set_fake_clock(std::int64_t start_seconds, std::int32_t step_hundredths);
kit::os::ClockReading read_fake_clock();
// A wall clock under which measurement m of a run (counted from 0, two
// readings each) lasts m + 1 hundredths, so every cell shows where it was
// made. Each reset starts it anew at the given time of day (UTC).
void reset_numbered_clock(std::int64_t start_hundredths);
kit::os::ClockReading read_numbered_clock();

// A precise (monotonic) clock under which window m of a run (counted from 0,
// two readings each) lasts numbered_precise_nanoseconds(m). It starts just
// before a whole second, so the first window straddles one.
void reset_numbered_precise_clock();
kit::os::ClockReading read_numbered_precise_clock();
constexpr std::int64_t numbered_precise_nanoseconds(std::size_t window) {
  return static_cast<std::int64_t>(window + 1) * 1000 + 7;
}

// Makes local time UTC for the whole test process.
void use_utc();

// True while "vystup.out" in the current directory exists and is still empty.
bool results_file_is_empty();

// True when the tests run under an emulator (the arm64 build under
// qemu-user), which the build names in SORTBENCH_TEST_EMULATOR. A test whose
// subject the emulator does not reproduce (address-space limits, page
// faults, resident memory) skips or narrows itself then.
bool under_emulator();

}  // namespace test_support
