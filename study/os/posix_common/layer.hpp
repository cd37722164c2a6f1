// Inside the Unix layers: what the Linux and the plain POSIX layer each do
// their own way (linux/, posix/), for the code they share (posix_common/).
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "study/os/interrupts.hpp"
#include "study/os/memory.hpp"

namespace study::os {

struct InterruptWatch::State {
  int read_end = -1;  // of the pipe the signal handler writes a byte into per signal
};

namespace unix_layer {

// A pipe whose ends are closed on exec; with `nonblocking`, neither end
// blocks. False with errno set.
bool open_pipe(std::array<int, 2>& ends, bool nonblocking);

struct ChildEnd {
  int status = 0;  // as waitpid reports it
  std::optional<std::int64_t> peak_resident_bytes;
};

// Waits for `child` to end, through interrupted waits. False with errno set.
bool wait_for_child(pid_t child, ChildEnd& end);

// The address-space limit (ulimit -v), when there is one.
std::optional<MemoryLimit> address_space_limit();

// The physical memory, where sysconf counts it (_SC_PHYS_PAGES).
std::optional<std::int64_t> physical_memory();

// uname's "SYSNAME RELEASE MACHINE", e.g. "Linux 6.1.0-18-amd64 x86_64"; "" when it fails.
std::string uname_text();

// uname's machine, e.g. "x86_64"; "" when it fails.
std::string uname_machine();

// The folder of the executable `argv0` names, found the way the shell
// found it: with a slash, from the current directory; without one, along PATH.
std::optional<std::filesystem::path> folder_of_command(const char* argv0);

}  // namespace unix_layer
}  // namespace study::os
