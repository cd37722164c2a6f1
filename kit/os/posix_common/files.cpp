// Files and standard streams through POSIX descriptors: the same calls on
// Linux and on every other Unix system.
#include "kit/os/files.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "kit/os/posix_common/error_numbers.hpp"

namespace kit::os {
namespace {

using posix_common::report_error_number;

int descriptor(File file) { return static_cast<int>(static_cast<std::intptr_t>(file)); }

Opened opened(int descriptor) {
  if (descriptor < 0) return {.file = kNoFile, .error = report_error_number(errno)};
  return {.file = File{descriptor}, .error = 0};
}

}  // namespace

Opened create_for_writing(const char* name) {
  return opened(::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
}

Opened open_for_reading(const char* name) { return opened(::open(name, O_RDONLY | O_CLOEXEC)); }

ReadOutcome read(File file, char* into, std::size_t capacity) {
  for (;;) {
    const ssize_t got = ::read(descriptor(file), into, capacity);
    if (got >= 0) return {.bytes = static_cast<std::size_t>(got), .error = 0};
    if (errno != EINTR) return {.bytes = 0, .error = report_error_number(errno)};
  }
}

int write_all(File file, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor(file), data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return report_error_number(errno);
    }
    // A write that takes nothing would be tried forever.
    if (written == 0) return report_error_number(EIO);
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int close(File file) { return ::close(descriptor(file)) == 0 ? 0 : report_error_number(errno); }

File standard_input() { return File{STDIN_FILENO}; }
File standard_output() { return File{STDOUT_FILENO}; }
File standard_error() { return File{STDERR_FILENO}; }

}  // namespace kit::os
