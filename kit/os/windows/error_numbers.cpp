#include "kit/os/windows/error_numbers.hpp"

#include "kit/os/error_numbers.hpp"

namespace kit::os::windows {
namespace {

constexpr RenumberedCode kRenumbered[] = {
    {ERROR_INVALID_HANDLE, 9},
    {ERROR_HANDLE_DISK_FULL, 28},
    {ERROR_DISK_FULL, 28},
    // ERROR_NO_DATA, "the pipe is being closed": what a write meets once the reader has gone.
    {ERROR_BROKEN_PIPE, 32},
    {ERROR_NO_DATA, 32},
    {ERROR_WRITE_PROTECT, 5},
    {ERROR_SHARING_VIOLATION, 5},
    {ERROR_LOCK_VIOLATION, 5},
    {ERROR_DIRECTORY, 3},  // a file where a folder of the path should be
};

}  // namespace

int report_error_number(DWORD code) { return os::report_error_number(kRenumbered, code); }

}  // namespace kit::os::windows
