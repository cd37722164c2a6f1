// The report's error number of an errno value, shared by the layers of
// POSIX systems.
#pragma once

namespace kit::os::posix_common {

// A missing file is 2, a missing path 3, every kind of refused access 5,
// anything else its own code (28 for a full disk, 32 for a closed pipe, ...).
int report_error_number(int errno_value);

}  // namespace kit::os::posix_common
