// The size of a page of memory on a POSIX system.
#pragma once

#include <cstddef>

namespace kit::os::posix_common {

// As the system reports it; 4096 where it does not.
std::size_t page_size() noexcept;

}  // namespace kit::os::posix_common
