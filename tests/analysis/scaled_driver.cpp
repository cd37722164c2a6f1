#include "scaled_driver.hpp"

#include <array>
#include <fstream>

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <psapi.h>  // after windows.h, which it needs
// clang-format on
#else
#include <sys/resource.h>
#endif

#include "support/run_program.hpp"

namespace fixtures {
namespace {

// The most memory this process has held resident so far.
std::int64_t own_peak_resident_bytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<std::int64_t>(counters.PeakWorkingSetSize);
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  // ru_maxrss in bytes: macOS counts it in bytes, Linux and the BSDs in KiB.
#if defined(__APPLE__)
  return static_cast<std::int64_t>(usage.ru_maxrss);
#else
  return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
#endif
#endif
}

constexpr std::int32_t kScaledLastIndex = 2000000;  // arrays of 8 MB
constexpr std::array<std::int32_t, 3> kScaledLengths{10, 20, 50};

}  // namespace

void ScaledDriver::SetUp() {
  test_support::use_utc();
  test_support::set_fake_clock(10 * 3600, 7);
}

DriverRun ScaledDriver::run(const std::function<void(const kit::Instruments&)>& driver) {
  const kit::Instruments instruments{.read_seed = [] { return 12345u; }, .read_clock = test_support::read_fake_clock};
  const auto child = test_support::run_in_child([&] {
    const std::int64_t before = own_peak_resident_bytes();
    driver(instruments);
    std::ofstream("memory-growth") << own_peak_resident_bytes() - before;
  });
  EXPECT_EQ(child.exit_status, 0) << child.output;
  DriverRun result{child.output, test_support::read_file("vystup.out")};
  std::ifstream("memory-growth") >> result.memory_growth;
  return result;
}

smallarrays::SmallArrayProgram scaled_small_arrays() {
  static constexpr std::array<std::int32_t, 3> kLengths{5, 40, 80};
  smallarrays::SmallArrayProgram program = smallarrays::kSmallsix;
  program.arrays = 20000;
  program.lengths = kLengths;
  return program;
}

quickvscount::GridDuelProgram scaled_grid_duel() {
  quickvscount::GridDuelProgram program = quickvscount::kTallygrid;
  program.last_index = kScaledLastIndex;
  program.lengths = kScaledLengths;
  program.ranges = 2;
  program.layout.header = "  n  \\  k |    10    |    100   |";
  program.layout.separator = "--------------------------------";
  return program;
}

cutoff::CutoffProgram scaled_cutoff_sweep() {
  cutoff::CutoffProgram program = cutoff::kCutoffnarrow;
  program.last_index = kScaledLastIndex;
  program.lengths = kScaledLengths;
  return program;
}

quickvscount::FileDuelProgram scaled_file_duel() {
  static constexpr std::array<std::int32_t, 2> kCounts{30, 5};
  static constexpr std::array<std::int32_t, 2> kRanges{10, 100};
  return {.name = "tallyduel",
          .last_slot = kScaledLastIndex,
          .inputs = {.POCET_PRVKOV = kCounts, .ROZSAH_VSTUPU = kRanges}};
}

}  // namespace fixtures
