#include "quickvscount/input_file.hpp"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>

#include "kit/call_site.hpp"
#include "kit/os/files.hpp"
#include "kit/runtime_error.hpp"

namespace quickvscount {
namespace {

// The code that ends a file where a token would begin. The same code stands
// behind the buffered data, so the scans below need no bounds tests.
constexpr char kEndOfFileMark = 26;

// Codes of 32 or less separate tokens; bytes above 127 belong to tokens.
inline bool separates(char c) { return static_cast<unsigned char>(c) <= 32; }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The longest kept form of a token split by a refill: sign, "0" standing for
// all leading zeros, and ten significant digits. More digits cannot fit.
constexpr std::ptrdiff_t kLongestKeptToken = 12;

[[noreturn]] void stop_invalid_number(const kit::CallSite& where) {
  kit::stop_with_runtime_error(kit::kErrorInvalidNumericFormat, where);
}

}  // namespace

InputFile::InputFile(std::size_t capacity)
    : capacity_(std::max(capacity, kMinimumCapacity)),
      storage_(kit::ProgramArray<char>::obtain(capacity_ + 1)),
      next_(storage_.data()),
      end_(storage_.data()) {
  *end_ = kEndOfFileMark;
}

InputFile::~InputFile() {
  if (is_open()) kit::os::close(file_);
}

void InputFile::open(const char* name, const kit::CallSite& where) {
  const kit::os::Opened opened = kit::os::open_for_reading(name);
  file_ = opened.file;  // kNoFile when the open failed
  if (opened.error != 0) kit::stop_with_runtime_error(opened.error, where);
  next_ = end_ = storage_.data();
  *end_ = kEndOfFileMark;
  at_end_of_file_ = false;
}

void InputFile::close(const kit::CallSite& where) {
  if (!is_open()) kit::stop_with_runtime_error(kit::kErrorFileNotOpen, where);
  const kit::os::File file = file_;
  file_ = kit::os::kNoFile;
  next_ = end_ = storage_.data();  // later reads take the slow path and stop
  *end_ = kEndOfFileMark;
  if (const int error = kit::os::close(file); error != 0) kit::stop_with_runtime_error(error, where);
}

bool InputFile::refill(std::size_t kept, const kit::CallSite& where) {
  next_ = storage_.data();
  end_ = next_ + kept;
  *end_ = kEndOfFileMark;
  if (at_end_of_file_) return false;
  // One read of what fits behind the kept bytes; the layer takes an
  // interrupted read again, so an error here is final.
  const kit::os::ReadOutcome got = kit::os::read(file_, end_, capacity_ - kept);
  if (got.error != 0) kit::stop_with_runtime_error(got.error, where);
  if (got.bytes == 0) {
    at_end_of_file_ = true;
    return false;
  }
  end_ += got.bytes;
  *end_ = kEndOfFileMark;
  return true;
}

std::int32_t InputFile::read_integer(const kit::CallSite& where) {
  // The common case: a whole token lies in the buffer. Everything else (the
  // end of the buffered data or of the file, a file not open) takes the slow path.
  char* token = next_;
  while (separates(*token) && *token != kEndOfFileMark) ++token;
  char* last = token;
  while (!separates(*last)) ++last;
  if (token == last || last == end_) [[unlikely]]
    return read_integer_slowly(where);
  next_ = last;
  return convert(token, last, where);
}

std::int32_t InputFile::read_integer_slowly(const kit::CallSite& where) {
  if (!is_open()) kit::stop_with_runtime_error(kit::kErrorFileNotOpen, where);
  for (;;) {
    char* token = next_;
    while (separates(*token) && *token != kEndOfFileMark) ++token;
    if (*token == kEndOfFileMark) {
      if (token != end_) {
        // A real code 26: the file ends here, for this read and every later one.
        next_ = token;
        return 0;
      }
      if (!refill(0, where)) return 0;
      continue;
    }
    char* last = token;
    while (!separates(*last)) ++last;
    if (last == end_ && !at_end_of_file_) return read_split_token(token, where);
    next_ = last;
    return convert(token, last, where);
  }
}

std::int32_t InputFile::read_split_token(const char* token, const kit::CallSite& where) {
  for (;;) {
    // Keep the part read so far in a short form of the same value at the
    // buffer start (leading zeros folded into one), so a token of any length
    // fits. Whatever cannot become a valid number stops the program here.
    char* kept = storage_.data();
    const char* from = token;
    if (*from == '+' || *from == '-') *kept++ = *from++;
    if (from != end_ && *from == '0') {
      while (from != end_ && *from == '0') ++from;
      *kept++ = '0';
    }
    for (; from != end_; ++from) {
      if (!is_digit(*from)) stop_invalid_number(where);
      *kept++ = *from;
    }
    if (kept - storage_.data() > kLongestKeptToken) stop_invalid_number(where);

    const auto kept_size = static_cast<std::size_t>(kept - storage_.data());
    const bool more = refill(kept_size, where);
    char* last = storage_.data() + kept_size;
    while (!separates(*last)) ++last;
    if (more && last == end_ && !at_end_of_file_) {
      token = storage_.data();
      continue;
    }
    next_ = last;
    return convert(storage_.data(), last, where);
  }
}

std::int32_t InputFile::convert(const char* first, const char* last, const kit::CallSite& where) {
  // from_chars takes a minus sign but no plus sign; a plus must be followed by a digit.
  if (*first == '+') {
    ++first;
    if (first == last || !is_digit(*first)) stop_invalid_number(where);
  }
  std::int32_t value = 0;
  const auto [stop, error] = std::from_chars(first, last, value);
  if (error != std::errc{} || stop != last) stop_invalid_number(where);
  return value;
}

std::int32_t read_input(InputFile& SUBOR, kit::Element* TESTQS, std::int32_t last_slot, std::int32_t range) {
  const std::int32_t N = SUBOR.read_integer();
  if (N < 1 || N > last_slot) stop_invalid_number(kit::CallSite::current());
  for (std::int32_t J = 1; J <= N; ++J) {
    const std::int32_t value = SUBOR.read_integer();
    if (value < 1 || value > range) stop_invalid_number(kit::CallSite::current());
    TESTQS[J] = value;
  }
  return N;
}

}  // namespace quickvscount
