// The report's error number of a Windows error code.
#pragma once

#include <windows.h>

namespace kit::os::windows {

// Windows' own codes already are the report's 2 (file not found), 3 (path
// not found) and 5 (access denied). Where Windows names a failure the
// report's table lists by another number, the table's number is taken, so
// a report means the same on every system: a handle that is not open is 9,
// a full disk 28, a pipe whose reader has gone 32, and a write-protected
// medium 5 (a read-only file system elsewhere). Windows' own 32, a file that
// another program holds open without sharing it, is refused access, 5. Any
// other code is reported as it is.
int report_error_number(DWORD code);

}  // namespace kit::os::windows
