// What the clocks of the POSIX layers share; the layers differ only in the
// clock that counts since system start.
#pragma once

#include <time.h>

#include <cstdint>

namespace kit::os::posix_common {

// The milliseconds `clock` shows, truncated to 32 bits.
std::uint32_t milliseconds_on(clockid_t clock);

}  // namespace kit::os::posix_common
