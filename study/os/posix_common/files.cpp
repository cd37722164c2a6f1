// Files through the POSIX calls, the same on Linux and other Unix systems.
#include "study/os/files.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace study::os {

OutputFile::OutputFile(const std::filesystem::path& path) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor < 0) open_error_ = errno;
  handle_ = descriptor < 0 ? kClosed : descriptor;
}

OutputFile::~OutputFile() {
  if (is_open()) ::close(static_cast<int>(handle_));
}

int OutputFile::write(std::string_view bytes) {
  if (!is_open()) return EBADF;
  while (!bytes.empty()) {
    const ssize_t written = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

int OutputFile::close() {
  if (!is_open()) return EBADF;
  const int descriptor = static_cast<int>(handle_);
  handle_ = kClosed;
  return ::close(descriptor) == 0 ? 0 : errno;
}

int read_blocks(const std::filesystem::path& path, std::size_t block_size,
                const std::function<bool(std::string_view)>& take) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return errno;
  std::vector<char> block(std::max<std::size_t>(block_size, 1));
  int error = 0;
  while (true) {
    const ssize_t got = ::read(descriptor, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      break;
    }
    if (got == 0 || !take(std::string_view(block.data(), static_cast<std::size_t>(got)))) break;
  }
  ::close(descriptor);
  return error;
}

int replace_file(const std::filesystem::path& from, const std::filesystem::path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::uint64_t process_id() { return static_cast<std::uint64_t>(::getpid()); }

}  // namespace study::os
