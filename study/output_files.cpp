#include "study/output_files.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "kit/runtime_error.hpp"
#include "kit/text_output.hpp"

namespace study {

void write_file_atomically(const std::filesystem::path& path, std::string_view content) {
  kit::ActiveRoutine routine("write_file_atomically");
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(::getpid());
  kit::TextFile file;
  file.create(temporary.c_str());
  file.write(content);
  file.close();
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    kit::stop_with_runtime_error(kit::runtime_error_number(errno), kit::CallSite::current());
  }
}

FileText read_whole_file(const std::filesystem::path& path) {
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
    text.append(block.data(), static_cast<std::size_t>(got));
  }
  ::close(descriptor);
  result.text = std::move(text);
  return result;
}

}  // namespace study
