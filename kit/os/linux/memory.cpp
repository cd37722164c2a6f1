#include "kit/os/memory.hpp"

#include <sys/mman.h>

#include <cstdint>

#include "kit/os/page_touch.hpp"
#include "kit/os/posix_common/page_size.hpp"

namespace kit::os {

// One call has the kernel set up every whole page of the block: every
// program writes all of its arrays before the first measurement anyway, and
// one call costs far less than a fault per page. A kernel older than 5.14
// refuses the advice; writing to each page then puts them in place instead.
void prefault_zeroed(void* data, std::size_t bytes) noexcept {
#ifdef MADV_POPULATE_WRITE
  const std::uintptr_t page = posix_common::page_size();
  const auto first = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
  const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(page - 1);
  if (first >= last || ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE) == 0) return;
#endif
  touch_zeroed_pages(data, bytes, posix_common::page_size());
}

}  // namespace kit::os
