#include "kit/os/memory.hpp"

#include <windows.h>

#include <cstdint>

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
void prefault_zeroed(void* data, std::size_t bytes) noexcept {
  if (bytes == 0) return;
  const std::size_t page = page_size();
  volatile char* const block = static_cast<char*>(data);
  block[0] = 0;
  // From the start of the block's second page on, one byte per page.
  const std::size_t into_first_page = reinterpret_cast<std::uintptr_t>(data) % page;
  for (std::size_t at = page - into_first_page; at < bytes; at += page) block[at] = 0;
}

}  // namespace kit::os
