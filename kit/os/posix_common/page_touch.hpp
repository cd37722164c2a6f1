// Putting pages in place by writing to them, for any POSIX system.
#pragma once

#include <cstddef>

namespace kit::os::posix_common {

// The size of a page of memory, as the system reports it.
std::size_t page_size() noexcept;

// Writes a zero into every page that holds part of the zero-filled block,
// so each page takes its one fault now. A write, not a read: reading a fresh
// page maps a shared page of zeros, and the first write would fault again.
void touch_zeroed_pages(void* data, std::size_t bytes) noexcept;

}  // namespace kit::os::posix_common
