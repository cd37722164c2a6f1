// The files the tools write and read. Failures are error numbers (errno
// values, as error_text() words them); 0 is success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace study::os {

// A file written from its start.
class OutputFile {
 public:
  // Creates `path` or empties it; open_error() says why it could not.
  explicit OutputFile(const std::filesystem::path& path);
  // Closes it if still open, ignoring a failure.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool is_open() const { return handle_ != kClosed; }
  int open_error() const { return open_error_; }
  // Writes all of `bytes`: 0, or the error of the write that failed.
  int write(std::string_view bytes);
  // Closes it: 0, or the error (some file systems report a full disk only here).
  int close();

 private:
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;  // the system's handle of the open file
  int open_error_ = 0;
};

struct FileContent {
  std::optional<std::string> text;
  int error = 0;           // of the failed open or read
  bool too_large = false;  // longer than the reader's limit: not read
};

// The whole file, when it holds at most `limit` bytes.
FileContent read_file(const std::filesystem::path& path, std::size_t limit = std::string::npos);

// Reads the file from its start in blocks of at most `block_size` bytes,
// handing each to `take`, which returns false to read no further; a file
// of any size passes through without being held whole. 0, or the error of
// the failed open or read.
int read_blocks(const std::filesystem::path& path, std::size_t block_size,
                const std::function<bool(std::string_view)>& take);

// Gives `from` the name `to`, in place of any file of that name: 0 or the error.
int replace_file(const std::filesystem::path& from, const std::filesystem::path& to);

// This process's number, which names its temporary files apart from another's.
std::uint64_t process_id();

}  // namespace study::os
