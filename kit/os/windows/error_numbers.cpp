#include "kit/os/windows/error_numbers.hpp"

namespace kit::os::windows {

int report_error_number(DWORD code) {
  switch (code) {
    case ERROR_INVALID_HANDLE:
      return 9;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return 28;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:  // "the pipe is being closed": what a write meets once the reader has gone
      return 32;
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return 5;
    case ERROR_DIRECTORY:  // a file where a folder of the path should be
      return 3;
    default:
      return static_cast<int>(code);
  }
}

}  // namespace kit::os::windows
