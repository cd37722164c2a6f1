// Putting the pages of a zero-filled block in place by writing to them, on
// any system: what a layer does where the system cannot do it in one call.
#pragma once

#include <cstddef>

namespace kit::os {

// Writes a zero into every page of `page` bytes that holds part of the
// zero-filled block, so each page takes its one fault now. A write, not a
// read: reading a fresh page maps a shared page of zeros, and the first
// write would fault again.
void touch_zeroed_pages(void* data, std::size_t bytes, std::size_t page) noexcept;

}  // namespace kit::os
