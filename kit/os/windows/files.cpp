// Files and standard streams through Win32 handles. Every file is opened in
// binary, as Win32 handles always are: the lines the programs write end with
// CR LF on every system, and nothing translates them.
#include "kit/os/files.hpp"

#include <windows.h>

#include <algorithm>

#include "kit/os/windows/error_numbers.hpp"

namespace kit::os {
namespace {

using windows::report_error_number;

// The report's number for a stream that is not open.
constexpr int kNotOpen = 9;

// Other programs may read, write, rename or delete a file while a run holds
// it, as they may on POSIX systems: a viewer can follow "vystup.out".
constexpr DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE handle(File file) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(file)); }

// kNoFile is INVALID_HANDLE_VALUE, which Win32 also takes as the current
// process: no call may be handed it.
bool is_no_file(File file) { return file == kNoFile || handle(file) == nullptr; }

Opened opened(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return {.file = kNoFile, .error = report_error_number(GetLastError())};
  return {.file = File{reinterpret_cast<std::intptr_t>(handle)}, .error = 0};
}

// A standard handle as a File; a process started without the stream has none.
File standard(DWORD which) {
  const HANDLE stream = GetStdHandle(which);
  if (stream == nullptr || stream == INVALID_HANDLE_VALUE) return kNoFile;
  return File{reinterpret_cast<std::intptr_t>(stream)};
}

// The most one ReadFile or WriteFile call is asked to move.
constexpr std::size_t kLargestTransfer = 1u << 30;

}  // namespace

// Handles opened here are not inherited by child processes, like POSIX
// descriptors opened with O_CLOEXEC.
Opened create_for_writing(const char* name) {
  return opened(
      CreateFileA(name, GENERIC_WRITE, kShareEverything, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

Opened open_for_reading(const char* name) {
  return opened(
      CreateFileA(name, GENERIC_READ, kShareEverything, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

ReadOutcome read(File file, char* into, std::size_t capacity) {
  if (is_no_file(file)) return {.bytes = 0, .error = kNotOpen};
  DWORD got = 0;
  if (ReadFile(handle(file), into, static_cast<DWORD>(std::min(capacity, kLargestTransfer)), &got, nullptr)) {
    return {.bytes = got, .error = 0};
  }
  const DWORD code = GetLastError();
  // A pipe whose writer has gone is at its end, as a POSIX pipe reads 0 bytes.
  if (code == ERROR_BROKEN_PIPE || code == ERROR_HANDLE_EOF) return {.bytes = 0, .error = 0};
  return {.bytes = 0, .error = report_error_number(code)};
}

int write_all(File file, const char* data, std::size_t size) {
  if (size > 0 && is_no_file(file)) return kNotOpen;
  while (size > 0) {
    DWORD written = 0;
    if (!WriteFile(handle(file), data, static_cast<DWORD>(std::min(size, kLargestTransfer)), &written, nullptr)) {
      return report_error_number(GetLastError());
    }
    // A write that takes nothing would be tried forever.
    if (written == 0) return report_error_number(ERROR_WRITE_FAULT);
    data += written;
    size -= written;
  }
  return 0;
}

int close(File file) {
  if (is_no_file(file)) return kNotOpen;
  return CloseHandle(handle(file)) ? 0 : report_error_number(GetLastError());
}

File standard_input() { return standard(STD_INPUT_HANDLE); }
File standard_output() { return standard(STD_OUTPUT_HANDLE); }
File standard_error() { return standard(STD_ERROR_HANDLE); }

}  // namespace kit::os
