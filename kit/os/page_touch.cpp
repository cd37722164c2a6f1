#include "kit/os/page_touch.hpp"

#include <cstdint>

namespace kit::os {

void touch_zeroed_pages(void* data, std::size_t bytes, std::size_t page) noexcept {
  if (bytes == 0) return;
  volatile char* const block = static_cast<char*>(data);
  block[0] = 0;
  // From the start of the block's second page on, one byte per page.
  const std::size_t into_first_page = reinterpret_cast<std::uintptr_t>(data) % page;
  for (std::size_t at = page - into_first_page; at < bytes; at += page) block[at] = 0;
}

}  // namespace kit::os
