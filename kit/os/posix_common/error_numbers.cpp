#include "kit/os/posix_common/error_numbers.hpp"

#include <cerrno>

namespace kit::os::posix_common {

int report_error_number(int errno_value) {
  switch (errno_value) {
    case ENOENT:
      return 2;
    case ENOTDIR:
      return 3;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return 5;
    default:
      return errno_value;
  }
}

}  // namespace kit::os::posix_common
