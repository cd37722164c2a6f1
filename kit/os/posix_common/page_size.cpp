#include "kit/os/posix_common/page_size.hpp"

#include <unistd.h>

namespace kit::os::posix_common {

std::size_t page_size() noexcept {
  static const std::size_t size = [] {
    const long reported = ::sysconf(_SC_PAGESIZE);
    return reported > 0 ? static_cast<std::size_t>(reported) : std::size_t{4096};
  }();
  return size;
}

}  // namespace kit::os::posix_common
