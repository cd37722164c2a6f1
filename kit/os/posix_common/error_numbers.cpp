#include "kit/os/posix_common/error_numbers.hpp"

#include <cerrno>

#include "kit/os/error_numbers.hpp"

namespace kit::os::posix_common {
namespace {

// A missing file, a missing path, and every kind of refused access.
constexpr RenumberedCode kRenumbered[] = {{ENOENT, 2}, {ENOTDIR, 3}, {EACCES, 5}, {EPERM, 5}, {EROFS, 5}, {EISDIR, 5}};

}  // namespace

int report_error_number(int errno_value) { return os::report_error_number(kRenumbered, errno_value); }

}  // namespace kit::os::posix_common
