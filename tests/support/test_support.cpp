#include "support/test_support.hpp"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "support/system.hpp"

namespace test_support {
namespace {

// Tells a child that re-runs a test for its parent where the parent works.
constexpr const char* kScratchVariable = "SORTBENCH_TEST_SCRATCH";

// Makes a fresh folder in the temporary folder.
std::filesystem::path fresh_folder() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = unused_temporary_path("sortbench-");
    if (std::filesystem::create_directory(candidate)) return candidate;
  }
  throw std::runtime_error("cannot make a scratch folder");
}

}  // namespace

std::filesystem::path unused_temporary_path(const std::string& prefix) {
  static std::mt19937_64 names{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (;;) {
    std::string name = prefix;
    for (int i = 0; i < 8; ++i) name += kLetters[names() % (sizeof kLetters - 1)];
    const std::filesystem::path candidate = std::filesystem::temp_directory_path() / name;
    if (!std::filesystem::exists(candidate)) return candidate;
  }
}

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path()) {
  const char* parents = std::getenv(kScratchVariable);
  if (system::reruns_a_test_for_its_parent() && parents != nullptr) {
    path_ = parents;
    owned_ = false;
  } else {
    path_ = fresh_folder();
  }
  std::filesystem::current_path(path_);
  // Announced in the environment, which every child inherits.
  if (parents != nullptr) announced_before_ = parents;
  set_environment(kScratchVariable, path_.string().c_str());
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  if (announced_before_) {
    set_environment(kScratchVariable, announced_before_->c_str());
  } else {
    unset_environment(kScratchVariable);
  }
  if (owned_) std::filesystem::remove_all(path_, ignored);
}

CapturedStdout::CapturedStdout() : file_(unused_temporary_path("sortbench-stdout-")) {
  saved_ = system::redirect_standard_output(file_);
  redirected_ = true;
}

void CapturedStdout::restore() {
  if (!redirected_) return;
  system::restore_standard_output(saved_);
  redirected_ = false;
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

bool under_emulator() { return std::getenv("SORTBENCH_TEST_EMULATOR") != nullptr; }

}  // namespace test_support

// Under AddressSanitizer a refused allocation must come back as a null
// pointer, as it does in the real programs, so the out-of-memory path can be
// tested; whoever sets ASAN_OPTIONS still decides.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
