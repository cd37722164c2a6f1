#include "study/output_files.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "study/tool_error.hpp"

namespace study {
namespace {

// Writes all of `content`; false with errno set on failure.
bool write_all(int descriptor, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(descriptor, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

void write_file_atomically(const std::filesystem::path& path, std::string_view content) {
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(::getpid());
  const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor < 0) fail_on_file("write", path, errno);
  int error = write_all(descriptor, content) ? 0 : errno;
  // Some file systems report a full disk only when the file is closed.
  if (::close(descriptor) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    fail_on_file("write", path, error);
  }
}

FileText read_whole_file(const std::filesystem::path& path, std::size_t limit) {
  FileText result;
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    result.error = errno;
    return result;
  }
  std::string text;
  std::vector<char> block(1 << 16);
  while (true) {
    const ssize_t got = ::read(descriptor, block.data(), block.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      result.error = errno;
      ::close(descriptor);
      return result;
    }
    if (got == 0) break;
    if (text.size() + static_cast<std::size_t>(got) > limit) {
      result.too_large = true;
      ::close(descriptor);
      return result;
    }
    text.append(block.data(), static_cast<std::size_t>(got));
  }
  ::close(descriptor);
  result.text = std::move(text);
  return result;
}

}  // namespace study
