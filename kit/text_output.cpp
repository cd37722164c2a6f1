#include "kit/text_output.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "kit/runtime_error.hpp"

namespace kit {
namespace {
constexpr std::string_view kLineEnd = "\r\n";
}

void append_integer(std::string& line, std::int64_t value) {
  std::array<char, 24> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  line.append(digits.data(), end);
}

void append_integer(std::string& line, std::int64_t value, int width) {
  std::array<char, 24> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  const auto length = static_cast<int>(end - digits.data());
  if (length < width) line.append(static_cast<std::size_t>(width - length), ' ');
  line.append(digits.data(), end);
}

void write_all(int descriptor, const char* data, std::size_t size, const CallSite& where) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      stop_with_runtime_error(runtime_error_number(errno), where);
    }
    if (written == 0) stop_with_runtime_error(runtime_error_number(EIO), where);
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

void Console::emit_line(std::string_view text, const CallSite& where) {
  statement_.assign(text);
  statement_.append(kLineEnd);
  write_all(STDOUT_FILENO, statement_.data(), statement_.size(), where);
}

TextFile::~TextFile() {
  // A file still open here belongs to a run that is being abandoned: like a
  // stopped run, it keeps only what was already written out.
  if (descriptor_ >= 0) ::close(descriptor_);
}

void TextFile::create(const char* name, const CallSite& where) {
  descriptor_ = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (descriptor_ < 0) stop_with_runtime_error(runtime_error_number(errno), where);
  used_ = 0;
}

void TextFile::write(std::string_view text, const CallSite& where) {
  if (descriptor_ < 0) stop_with_runtime_error(kErrorFileNotOpen, where);
  while (!text.empty()) {
    const std::size_t room = kBlockSize - used_;
    const std::size_t taken = std::min(room, text.size());
    std::memcpy(block_.data() + used_, text.data(), taken);
    used_ += taken;
    text.remove_prefix(taken);
    if (used_ == kBlockSize) write_out_block(where);
  }
}

void TextFile::write_integer(std::int32_t value, const CallSite& where) {
  std::array<char, 12> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  write(std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())), where);
}

void TextFile::end_line(const CallSite& where) { write(kLineEnd, where); }

void TextFile::emit_line(std::string_view text, const CallSite& where) {
  write(text, where);
  write(kLineEnd, where);
}

void TextFile::write_out_block(const CallSite& where) {
  write_all(descriptor_, block_.data(), used_, where);
  used_ = 0;
}

void TextFile::close(const CallSite& where) {
  if (descriptor_ < 0) stop_with_runtime_error(kErrorFileNotOpen, where);
  if (used_ > 0) write_out_block(where);
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (::close(descriptor) != 0) stop_with_runtime_error(runtime_error_number(errno), where);
}

}  // namespace kit
