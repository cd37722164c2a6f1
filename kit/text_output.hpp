// Text output of the programs: the console and the results files. Every line
// ends with CR LF; every failed operation stops the program (runtime_error.hpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kit/call_site.hpp"
#include "kit/os/files.hpp"

namespace kit {

// Shortest decimal form, "-" in front when negative.
void append_integer(std::string& line, std::int64_t value);
// Right-aligned in `width` characters, padded with spaces; written in full when longer.
void append_integer(std::string& line, std::int64_t value, int width);

// A destination of whole lines: the console or a text file. Writers that
// serve both (a results table shown on screen and saved) take this.
class LineOutput {
 public:
  void write_line(std::string_view text, const CallSite& where = CallSite::current()) { emit_line(text, where); }

 protected:
  ~LineOutput() = default;
  virtual void emit_line(std::string_view text, const CallSite& where) = 0;
};

// Standard output. Each statement is written out at once, in one write.
class Console final : public LineOutput {
 public:
  Console() { statement_.reserve(256); }

 private:
  void emit_line(std::string_view text, const CallSite& where) override;
  std::string statement_;
};

// A text file written through a 256-byte buffer: the buffer goes out each
// time it fills, and the rest at close. A run stopped by a failure loses
// whatever is still in the buffer.
class TextFile final : public LineOutput {
 public:
  static constexpr std::size_t kBlockSize = 256;

  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  ~TextFile();

  // Creates the file, or empties an existing one, in the current directory.
  void create(const char* name, const CallSite& where = CallSite::current());
  void write(std::string_view text, const CallSite& where = CallSite::current());
  void write_integer(std::int32_t value, const CallSite& where = CallSite::current());
  void end_line(const CallSite& where = CallSite::current());
  // Writes out the buffer and closes the file.
  void close(const CallSite& where = CallSite::current());

  bool is_open() const { return file_ != os::kNoFile; }

 private:
  void emit_line(std::string_view text, const CallSite& where) override;
  void write_out_block(const CallSite& where);

  os::File file_ = os::kNoFile;
  std::size_t used_ = 0;
  std::array<char, kBlockSize> block_{};
};

}  // namespace kit
