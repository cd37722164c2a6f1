#include "kit/os/clocks.hpp"

#include "kit/os/posix_common/clocks.hpp"

namespace kit::os {

// CLOCK_MONOTONIC is the one clock since an unspecified fixed point that
// every POSIX system has; on most it starts at system start.
std::uint32_t tick_count() { return posix_common::milliseconds_on(CLOCK_MONOTONIC); }

}  // namespace kit::os
