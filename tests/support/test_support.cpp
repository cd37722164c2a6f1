#include "support/test_support.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace test_support {

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "sortbench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  std::filesystem::current_path(path_);
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

CapturedStdout::CapturedStdout() {
  std::string pattern = (std::filesystem::temp_directory_path() / "sortbench-stdout-XXXXXX").string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  file_ = pattern;
  saved_ = dup(STDOUT_FILENO);
  dup2(fd, STDOUT_FILENO);
  close(fd);
}

void CapturedStdout::restore() {
  if (saved_ < 0) return;
  dup2(saved_, STDOUT_FILENO);
  close(saved_);
  saved_ = -1;
}

CapturedStdout::~CapturedStdout() {
  restore();
  std::error_code ignored;
  std::filesystem::remove(file_, ignored);
}

std::string CapturedStdout::text() const { return read_file(file_); }

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

CrLfLines split_crlf_lines(const std::string& text) {
  CrLfLines result;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t lf = text.find('\n', begin);
    const std::size_t end = lf == std::string::npos ? text.size() : lf;
    const bool has_cr = end > begin && text[end - 1] == '\r';
    if (lf == std::string::npos || !has_cr) {
      if (result.ok) result.first_bad_line = result.lines.size() + 1;
      result.ok = false;
    }
    result.lines.emplace_back(text.substr(begin, has_cr ? end - 1 - begin : end - begin));
    begin = end + 1;
  }
  return result;
}

std::string first_difference(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  const std::size_t common = std::min(actual.size(), expected.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (actual[i] != expected[i]) {
      return "line " + std::to_string(i + 1) + ": got \"" + actual[i] + "\", expected \"" + expected[i] + "\"";
    }
  }
  if (actual.size() != expected.size()) {
    return "got " + std::to_string(actual.size()) + " lines, expected " + std::to_string(expected.size());
  }
  return "";
}

namespace {
std::int64_t fake_now_hundredths = 0;
std::int32_t fake_step_hundredths = 0;
}  // namespace

void set_fake_clock(std::int64_t start_seconds, std::int32_t step_hundredths) {
  fake_now_hundredths = start_seconds * 100;
  fake_step_hundredths = step_hundredths;
}

kit::os::ClockReading read_fake_clock() {
  const kit::os::ClockReading now{.seconds = fake_now_hundredths / 100,
                                  .nanoseconds = fake_now_hundredths % 100 * 10000000 + 4000000};
  fake_now_hundredths += fake_step_hundredths;
  return now;
}

namespace {
std::int64_t numbered_now_hundredths = 0;
int numbered_readings = 0;
}  // namespace

void reset_numbered_clock(std::int64_t start_hundredths) {
  numbered_now_hundredths = start_hundredths;
  numbered_readings = 0;
}

kit::os::ClockReading read_numbered_clock() {
  const kit::os::ClockReading now{.seconds = numbered_now_hundredths / 100,
                                  .nanoseconds = numbered_now_hundredths % 100 * 10000000 + 5000000};
  if (numbered_readings % 2 == 0) numbered_now_hundredths += numbered_readings / 2 + 1;
  ++numbered_readings;
  return now;
}

namespace {
std::int64_t precise_now_nanoseconds = 0;
std::size_t precise_readings = 0;
}  // namespace

void reset_numbered_precise_clock() {
  precise_now_nanoseconds = 86400LL * 1000000000 - 500;
  precise_readings = 0;
}

kit::os::ClockReading read_numbered_precise_clock() {
  // A window's second reading moves the clock by the window's length; a
  // gap of 500 ns separates windows, as the wall-clock readings would.
  if (precise_readings % 2 == 1) precise_now_nanoseconds += numbered_precise_nanoseconds(precise_readings / 2);
  const kit::os::ClockReading now{.seconds = precise_now_nanoseconds / 1000000000,
                                  .nanoseconds = precise_now_nanoseconds % 1000000000};
  if (precise_readings % 2 == 1) precise_now_nanoseconds += 500;
  ++precise_readings;
  return now;
}

bool results_file_is_empty() {
  std::error_code error;
  return std::filesystem::file_size("vystup.out", error) == 0 && !error;
}

void use_utc() {
  setenv("TZ", "UTC", 1);
  tzset();
}

bool under_emulator() { return std::getenv("SORTBENCH_TEST_EMULATOR") != nullptr; }

}  // namespace test_support

// Under AddressSanitizer a refused allocation must come back as a null
// pointer, as it does in the real programs, so the out-of-memory path can be
// tested; whoever sets ASAN_OPTIONS still decides.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
