// Fuzzes the reader of "vstup.in": whatever the file holds, reading must stay
// inside the arrays and end exactly as a plain byte-by-byte reading of the
// token rules does, at every buffer size.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/stop_by_exception.hpp"
#include "kit/runtime_error.hpp"
#include "quickvscount/input_file.hpp"

namespace {

constexpr int kInvalidNumber = kit::kErrorInvalidNumericFormat;

// What a reading produced: every value in order, then the error that stopped it (0: none).
struct Outcome {
  std::vector<std::int64_t> values;
  int error = 0;
  bool operator==(const Outcome&) const = default;
};

// The token rules, one byte at a time over the whole file.
class ReferenceReader {
 public:
  ReferenceReader(const std::uint8_t* data, std::size_t size) : at_(data), end_(data + size) {}

  std::int32_t read_integer() {
    while (at_ < end_ && *at_ <= 32) {
      if (*at_ == 26) return 0;  // stays put: every later read ends here too
      ++at_;
    }
    if (at_ == end_) return 0;
    const std::uint8_t* token = at_;
    while (at_<end_&& * at_> 32) ++at_;
    return convert(token, at_);
  }

 private:
  static std::int32_t convert(const std::uint8_t* first, const std::uint8_t* last) {
    bool negative = false;
    if (*first == '+' || *first == '-') negative = *first++ == '-';
    if (first == last) throw fuzz::RuntimeErrorStop{kInvalidNumber};
    std::int64_t magnitude = 0;
    for (; first < last; ++first) {
      if (*first < '0' || *first > '9') throw fuzz::RuntimeErrorStop{kInvalidNumber};
      magnitude = magnitude * 10 + (*first - '0');
      if (magnitude > 2147483648) throw fuzz::RuntimeErrorStop{kInvalidNumber};
    }
    if (!negative && magnitude > 2147483647) throw fuzz::RuntimeErrorStop{kInvalidNumber};
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  }

  const std::uint8_t* at_;
  const std::uint8_t* end_;
};

// Inputs read the way the duel reads them, into arrays no larger than the
// last slot, so the address sanitizer sees any step past them.
constexpr std::int32_t kLastSlot = 64;
constexpr std::int32_t kRanges[] = {10, kLastSlot, 1};
constexpr int kRawReads = 80;

// The range checks of read_input, over the reference reader.
void read_inputs_checked(ReferenceReader& reader, Outcome& outcome) {
  for (const std::int32_t range : kRanges) {
    const std::int32_t N = reader.read_integer();
    if (N < 1 || N > kLastSlot) throw fuzz::RuntimeErrorStop{kInvalidNumber};
    outcome.values.push_back(N);
    for (std::int32_t J = 1; J <= N; ++J) {
      const std::int32_t value = reader.read_integer();
      if (value < 1 || value > range) throw fuzz::RuntimeErrorStop{kInvalidNumber};
      outcome.values.push_back(value);
    }
  }
}

Outcome expected_raw(const std::uint8_t* data, std::size_t size) {
  Outcome outcome;
  ReferenceReader reader(data, size);
  try {
    for (int i = 0; i < kRawReads; ++i) outcome.values.push_back(reader.read_integer());
  } catch (const fuzz::RuntimeErrorStop& stop) {
    outcome.error = stop.number;
  }
  return outcome;
}

Outcome expected_inputs(const std::uint8_t* data, std::size_t size) {
  Outcome outcome;
  ReferenceReader reader(data, size);
  try {
    read_inputs_checked(reader, outcome);
  } catch (const fuzz::RuntimeErrorStop& stop) {
    outcome.error = stop.number;
  }
  return outcome;
}

// Each capacity's reader lives for the whole fuzzing run, as SUBOR lives for
// a whole program run; a reading stopped by an error closes it for the next.
template <class Read>
Outcome actual(quickvscount::InputFile& SUBOR, const std::string& path, Read read) {
  Outcome outcome;
  try {
    SUBOR.open(path.c_str());
    read(SUBOR, outcome);
    SUBOR.close();
  } catch (const fuzz::RuntimeErrorStop& stop) {
    outcome.error = stop.number;
    if (SUBOR.is_open()) SUBOR.close();
  }
  return outcome;
}

void read_raw(quickvscount::InputFile& SUBOR, Outcome& outcome) {
  for (int i = 0; i < kRawReads; ++i) outcome.values.push_back(SUBOR.read_integer());
}

void read_inputs(quickvscount::InputFile& SUBOR, Outcome& outcome) {
  std::vector<std::int32_t> TESTQS(kLastSlot + 1, 0);
  for (const std::int32_t range : kRanges) {
    const std::int32_t N = quickvscount::read_input(SUBOR, TESTQS.data(), kLastSlot, range);
    outcome.values.push_back(N);
    outcome.values.insert(outcome.values.end(), TESTQS.begin() + 1, TESTQS.begin() + 1 + N);
  }
}

// An input cut short by an error leaves its count and the values before the
// rejected one in the reference's record but nothing in read_input's; only
// the completed inputs and the error compare.
Outcome completed_inputs(Outcome outcome) {
  if (outcome.error == 0) return outcome;
  std::size_t kept = 0;
  for (std::size_t at = 0; at < outcome.values.size();) {
    const std::int64_t N = outcome.values[at];
    if (N < 1 || at + 1 + static_cast<std::size_t>(N) > outcome.values.size()) break;
    at += 1 + static_cast<std::size_t>(N);
    kept = at;
  }
  outcome.values.resize(kept);
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int file = memfd_create("vstup.in", 0);
  static const std::string path = "/proc/self/fd/" + std::to_string(file);
  if (file < 0 || ftruncate(file, 0) != 0 || pwrite(file, data, size, 0) != static_cast<ssize_t>(size)) {
    std::abort();
  }
  const Outcome raw = expected_raw(data, size);
  const Outcome inputs = completed_inputs(expected_inputs(data, size));
  // The smallest buffer, an odd one, and the program's own.
  static quickvscount::InputFile readers[] = {quickvscount::InputFile(quickvscount::InputFile::kMinimumCapacity),
                                              quickvscount::InputFile(47), quickvscount::InputFile()};
  for (auto& SUBOR : readers) {
    if (actual(SUBOR, path, read_raw) != raw) std::abort();
    if (completed_inputs(actual(SUBOR, path, read_inputs)) != inputs) std::abort();
  }
  return 0;
}
