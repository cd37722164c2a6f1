#include "study/run/noise_calibration.hpp"

#include <fmt/format.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "kit/quicksort.hpp"
#include "kit/random_source.hpp"

namespace study {
namespace {

// One fixed kernel on fixed data: about 0.1 s a sort, 1.2 s in all.
constexpr std::int32_t kValues = 1'000'000;
constexpr std::int32_t kValueRange = 1'000'000;
constexpr std::uint32_t kSeed = 20'240'601;
constexpr int kTimings = 10;

std::optional<NoiseCalibration> stated_calibration(std::string_view stated) {
  if (stated == "off") return std::nullopt;
  const std::string text(stated);
  char* end = nullptr;
  const double spread = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0' || !std::isfinite(spread) || spread < 0) return std::nullopt;
  return NoiseCalibration{spread, "stated by SORTBENCH_NOISE_CALIBRATION"};
}

}  // namespace

double spread_of_times(std::span<const double> seconds) {
  if (seconds.size() < 2) return 0;
  std::vector<double> logs;
  for (const double s : seconds) logs.push_back(std::log(s));
  double mean = 0;
  for (const double l : logs) mean += l / static_cast<double>(logs.size());
  double squares = 0;
  for (const double l : logs) squares += (l - mean) * (l - mean);
  return std::sqrt(squares / static_cast<double>(logs.size() - 1));
}

std::optional<NoiseCalibration> calibrate_noise() {
  if (const char* stated = std::getenv("SORTBENCH_NOISE_CALIBRATION"); stated != nullptr && *stated != '\0') {
    return stated_calibration(stated);
  }
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::int32_t> data(kValues), work;
  kit::RandomSource(kSeed).fill_from_one_to(data.data(), data.size(), kValueRange);
  std::vector<double> seconds;
  // One sort more, not counted: the first pays for the pages and the caches.
  for (int timing = 0; timing <= kTimings; ++timing) {
    work = data;
    const auto before = std::chrono::steady_clock::now();
    kit::QSORT(work.data(), 0, kValues - 1);
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    if (timing > 0 && elapsed > 0) seconds.push_back(elapsed);
  }
  const double kernel = spread_of_times(seconds);
  const double cost = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return NoiseCalibration{kernel,
                          fmt::format("QSORT of {} values timed {} times, {:.1f} s", kValues, seconds.size(), cost)};
}

}  // namespace study
