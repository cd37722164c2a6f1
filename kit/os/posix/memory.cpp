#include "kit/os/memory.hpp"

#include "kit/os/page_touch.hpp"
#include "kit/os/posix_common/page_size.hpp"

namespace kit::os {

// Plain POSIX has no call that sets up pages for writing, so each page gets
// one written zero here. That costs the faults the program's first writes
// would take anyway, only earlier: doing nothing would leave it to every
// driver to write all of its arrays before the first measurement, and an
// array first written by a sort would take its faults in a timed window.
void prefault_zeroed(void* data, std::size_t bytes) noexcept {
  touch_zeroed_pages(data, bytes, posix_common::page_size());
}

}  // namespace kit::os
