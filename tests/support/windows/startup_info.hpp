// The start of a Windows child with its three standard handles given, as
// the tests start children with CreateProcessW.
#pragma once

#include <windows.h>

namespace test_support {

// A STARTUPINFOW that hands the child `input`, `output` and `error` as its
// standard handles, and leaves all else to the system.
inline STARTUPINFOW startup_with_handles(HANDLE input, HANDLE output, HANDLE error) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = error;
  return startup;
}

}  // namespace test_support
