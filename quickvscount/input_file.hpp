// "vstup.in": the inputs of the file-driven duel, written by MAKEFILE and
// read back token by token. The file holds each input's count and values;
// the value range stays in the program's table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "kit/call_site.hpp"
#include "kit/os/files.hpp"
#include "kit/program_storage.hpp"
#include "quickvscount/input_buffer.hpp"
#include "quickvscount/input_table.hpp"

namespace quickvscount {

// Seeds a random source with `seed` (the only seeding of the run) and
// writes "vstup.in" in the current directory: per input its count line, then
// the values, each followed by one space, with CR LF after every 1000th
// value and once more after the last. Every failure stops the program.
void MAKEFILE(const InputTable& inputs, std::uint32_t seed);

// A text file read as a stream of integer tokens through a large buffer.
// Before a token, every code of 32 or less is skipped; a code 26 where a
// token would begin is the end of the file. A token runs to the next code of
// 32 or less and must be an optional sign and decimal digits within 32 bits.
class InputFile {
 public:
  static constexpr std::size_t kDefaultCapacity = kInputBufferBytes;
  // Room for the longest token kept across a refill (sign, "0", ten digits) and more.
  static constexpr std::size_t kMinimumCapacity = 32;

  // Obtains the buffer at once, so a run asks for all its memory at start.
  explicit InputFile(std::size_t capacity = kDefaultCapacity);
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  void open(const char* name, const kit::CallSite& where = kit::CallSite::current());
  // The next token's value; 0 once the end of the file is reached. A bad
  // token stops the program with runtime error 106.
  std::int32_t read_integer(const kit::CallSite& where = kit::CallSite::current());
  void close(const kit::CallSite& where = kit::CallSite::current());

  bool is_open() const { return file_ != kit::os::kNoFile; }

 private:
  // Reads more of the file behind the `kept` bytes now at the buffer start;
  // false at the end of the file.
  bool refill(std::size_t kept, const kit::CallSite& where);
  std::int32_t read_integer_slowly(const kit::CallSite& where);
  // A token that runs into the end of the buffered data.
  std::int32_t read_split_token(const char* token, const kit::CallSite& where);
  std::int32_t convert(const char* first, const char* last, const kit::CallSite& where);

  kit::os::File file_ = kit::os::kNoFile;
  std::size_t capacity_;
  kit::ProgramArray<char> storage_;
  char* next_;                   // the first byte not yet consumed
  char* end_;                    // one past the buffered data; always holds a code 26 as a stop mark
  bool at_end_of_file_ = false;  // the file has nothing more to read
};

// Reads one input into TESTQS: its count N, then N values into TESTQS[1..N].
// Returns N. A count outside 1..last_slot or a value outside 1..range stops
// the program with runtime error 106 like a malformed token, so a tampered
// file can never index past the arrays (a missing token reads as 0 and is
// caught the same way).
std::int32_t read_input(InputFile& SUBOR, kit::Element* TESTQS, std::int32_t last_slot, std::int32_t range);

}  // namespace quickvscount
