// Inside the Windows layer: what its files share. Texts cross into Windows
// as UTF-16; error codes of Windows come out as the error numbers the
// tools' interface speaks (errno values, worded by error_text()).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "study/os/interrupts.hpp"

namespace study::os {

struct InterruptWatch::State {
  HANDLE event = nullptr;  // set while interrupts wait to be taken
};

namespace windows_layer {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// A handle of the system, closed with its owner; INVALID_HANDLE_VALUE, which
// some calls return for none, is held as none.
class OwnedHandle : public std::unique_ptr<void, HandleCloser> {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : unique_ptr(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
};

// The console handler's view of the watch that is active, if any.
extern std::atomic<HANDLE> interrupt_event;
extern std::atomic<int> pending_interrupts;

// The processor time of the programs the tool waited for, with all they
// started, in 100-ns units: Windows keeps no count of a process's children.
extern std::atomic<std::uint64_t> waited_program_time;

// FILETIME's 100-ns units as one number.
inline std::uint64_t ticks_of(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// A string of the tools, as Windows takes it. Paths, arguments and settings
// are converted the way std::filesystem converts paths, so a path that went
// through path::string() comes back unchanged.
std::wstring wide(std::string_view text);

// Appends `argument` to a command line (after a blank, unless the line is
// empty) so that the C runtime's parser reads it back unchanged.
void append_argument(std::wstring& line, std::wstring_view argument);

// Text of the system (names, messages) as UTF-8, the tools' own encoding.
std::string utf8(std::wstring_view text);

// The errno value closest to a Windows error code; `path`, when given,
// tells a folder that stood where a file was meant (EISDIR) from a file
// that may not be touched (EACCES).
int error_number(DWORD error, const std::filesystem::path& path = {});

// Windows' error code in words: as error_text() words its errno value when
// there is one, else the system's own message.
std::string error_words(DWORD error);

// The value of a string in the registry under HKEY_LOCAL_MACHINE; "" when absent.
std::string machine_registry_text(const wchar_t* key, const wchar_t* name);

}  // namespace windows_layer
}  // namespace study::os
