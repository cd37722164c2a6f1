#include "kit/os/process.hpp"

#include <windows.h>

#include <initializer_list>

namespace kit::os {

// Windows raises no signal for a pipe whose reader has gone: the write fails
// with ERROR_NO_DATA, which the files report as error 32.
void ignore_broken_pipes() noexcept {}

// Windows hands standard streams over as handle values in the process's
// parameters, and a value whose handle is closed (or was never passed on)
// is just a number: the next handle the process opens may get it, and a
// file opened later would then receive the console's text. Such a value is
// dropped from the standard slot, so the stream has no handle at all and
// fails on use (error 9) like a closed one, while no later file can be
// mistaken for it. A stream that is not a file, pipe or device at all (a
// value that now names an event, say) counts as closed as well.
void occupy_closed_standard_streams() noexcept {
  for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE stream = GetStdHandle(which);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE) continue;
    SetLastError(NO_ERROR);
    if (GetFileType(stream) == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR) SetStdHandle(which, nullptr);
  }
}

// ExitProcess runs no destructor and no exit handler of the program, and the
// programs hold no file data in the C runtime's buffers that it could flush.
void end_process(int status) noexcept { ExitProcess(static_cast<UINT>(status)); }

}  // namespace kit::os
