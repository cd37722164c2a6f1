#include "kit/os/memory.hpp"

#include <windows.h>

#include "kit/os/page_touch.hpp"

namespace kit::os {
namespace {

std::size_t page_size() noexcept {
  static const std::size_t size = [] {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.dwPageSize > 0 ? static_cast<std::size_t>(info.dwPageSize) : std::size_t{4096};
  }();
  return size;
}

}  // namespace

// The arrays are committed, demand-zero pages: Windows sets one up at the
// first touch. No call puts such pages in place for writing:
// PrefetchVirtualMemory only reads pages in that have a copy to read (a
// file, the paging file), and VirtualLock would need the working set raised
// past the arrays. So each page gets one written zero here, and takes its
// fault now rather than in a sort's timed window. A write, not a read: the
// page must be the process's own before the first sort writes to it.
void prefault_zeroed(void* data, std::size_t bytes) noexcept { touch_zeroed_pages(data, bytes, page_size()); }

}  // namespace kit::os
