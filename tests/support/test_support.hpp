// Shared helpers of the tests: scratch folders, captured standard output,
// whole-file reads, a fake wall clock and an instrumented element type.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "kit/os/clocks.hpp"

namespace test_support {

// A fresh folder that is the current directory while the object lives.
// Where a child re-runs the test for its parent (Windows), the child works
// in the parent's innermost scratch folder instead and leaves it in place.
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
  bool owned_ = true;
  std::optional<std::string> announced_before_;
};

// Points standard output (the stream the kit writes to) into a file while
// the object lives; text() reads back everything written to it.
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
  std::intptr_t saved_ = 0;
  bool redirected_ = false;
};

// For the body of a death test: points standard output into `file`
// (created or emptied) for the rest of the process, or closes it, leaving
// the stream's number or handle value free for the next file opened.
void send_standard_output_to(const std::filesystem::path& file);
void close_standard_output();

// A name in the temporary folder that nothing has yet, starting with `prefix`.
std::filesystem::path unused_temporary_path(const std::string& prefix);

std::string read_file(const std::filesystem::path& path);

// Sets or removes a variable of this process's environment. On Windows an
// empty value removes the variable: the C runtime keeps no empty ones.
void set_environment(const char* name, const char* value);
void unset_environment(const char* name);

// The report's number for a file created in a folder that does not exist:
// Windows tells a missing path (3) from a missing file, POSIX systems have
// one code for both (ENOENT, reported as 2).
#ifdef _WIN32
inline constexpr int kErrorOfAMissingFolder = 3;
#else
inline constexpr int kErrorOfAMissingFolder = 2;
#endif

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

// Makes local time UTC for the whole test process, so the fake clocks'
// readings (seconds since 1970, UTC) show their own time of day. The
// Windows layer's readings carry their local time already: there it does
// nothing.
void use_utc();

// True while "vystup.out" in the current directory exists and is still empty.
bool results_file_is_empty();

// True when the tests run under an emulator (the arm64 build under
// qemu-user, the Windows build under Wine), which the build names in
// SORTBENCH_TEST_EMULATOR. A test whose subject the emulator does not
// reproduce (address-space limits, page faults, resident memory) skips or
// narrows itself then.
bool under_emulator();

}  // namespace test_support
