#include "kit/random_source.hpp"

#include <time.h>

namespace kit {

std::uint32_t tick_count_seed() {
  timespec since_boot{};
  clock_gettime(CLOCK_BOOTTIME, &since_boot);
  const auto milliseconds =
      static_cast<std::uint64_t>(since_boot.tv_sec) * 1000u + static_cast<std::uint64_t>(since_boot.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(milliseconds);
}

}  // namespace kit
