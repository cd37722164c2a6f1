#include "kit/os/clocks.hpp"

#include "kit/os/posix_common/clocks.hpp"

namespace kit::os {

// CLOCK_BOOTTIME keeps counting while the system is suspended, as a tick
// count since system start does.
std::uint32_t tick_count() { return posix_common::milliseconds_on(CLOCK_BOOTTIME); }

}  // namespace kit::os
