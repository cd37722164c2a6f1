#include "kit/os/posix_common/page_touch.hpp"

#include <unistd.h>

#include <cstdint>

namespace kit::os::posix_common {

std::size_t page_size() noexcept {
  static const std::size_t size = [] {
    const long reported = ::sysconf(_SC_PAGESIZE);
    return reported > 0 ? static_cast<std::size_t>(reported) : std::size_t{4096};
  }();
  return size;
}

void touch_zeroed_pages(void* data, std::size_t bytes) noexcept {
  if (bytes == 0) return;
  const std::size_t page = page_size();
  volatile char* const block = static_cast<char*>(data);
  block[0] = 0;
  // From the start of the block's second page on, one byte per page.
  const std::size_t into_first_page = reinterpret_cast<std::uintptr_t>(data) % page;
  for (std::size_t at = page - into_first_page; at < bytes; at += page) block[at] = 0;
}

}  // namespace kit::os::posix_common
