#include "kit/text_output.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "kit/runtime_error.hpp"

namespace kit {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Writes all of `size` bytes, or stops the program with the error of the failed write.
void write_all(os::File file, const char* data, std::size_t size, const CallSite& where) {
  if (const int error = os::write_all(file, data, size); error != 0) stop_with_runtime_error(error, where);
}

}  // namespace

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

void Console::emit_line(std::string_view text, const CallSite& where) {
  statement_.assign(text);
  statement_.append(kLineEnd);
  write_all(os::standard_output(), statement_.data(), statement_.size(), where);
}

TextFile::~TextFile() {
  // A file still open here belongs to a run that is being abandoned: like a
  // stopped run, it keeps only what was already written out.
  if (is_open()) os::close(file_);
}

void TextFile::create(const char* name, const CallSite& where) {
  const os::Opened created = os::create_for_writing(name);
  file_ = created.file;
  if (created.error != 0) stop_with_runtime_error(created.error, where);
  used_ = 0;
}

void TextFile::write(std::string_view text, const CallSite& where) {
  if (!is_open()) stop_with_runtime_error(kErrorFileNotOpen, where);
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
  write_all(file_, block_.data(), used_, where);
  used_ = 0;
}

void TextFile::close(const CallSite& where) {
  if (!is_open()) stop_with_runtime_error(kErrorFileNotOpen, where);
  if (used_ > 0) write_out_block(where);
  const os::File file = file_;
  file_ = os::kNoFile;
  if (const int error = os::close(file); error != 0) stop_with_runtime_error(error, where);
}

}  // namespace kit
