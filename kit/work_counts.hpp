// Exact counts of the work a kernel does: an element type that counts every
// comparison and move the kernels make with it, and the exchanges and calls
// they note (kernel_notes.hpp), and the counters that CSORT tells of. The
// counts of a thread go to one WorkCounts of that thread, through plain
// increments, so arrays of tens of millions of elements count in seconds.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "kit/cutoff_measure.hpp"
#include "kit/program_storage.hpp"

namespace kit {

struct WorkCounts {
  std::int64_t comparisons = 0;
  std::int64_t copies = 0;       // elements copied into a local: a pivot, POMOCNA, an exchange's temporary
  std::int64_t assignments = 0;  // elements stored, into the array or a scratch array
  std::int64_t swaps = 0;        // VYMEN calls, an element with itself included
  std::int64_t calls = 0;        // calls of a recursive quicksort, the outermost included
  std::int64_t max_depth = 0;    // the most of those calls active at once; the outermost alone is 1
  std::int64_t increments = 0;   // CSORT: counter increments of the counting pass
  std::int64_t scanned = 0;      // CSORT: counter positions one pass over C[1..K] covers

  // Every move reads one element and every assignment writes one.
  std::int64_t reads() const { return copies + assignments; }
  std::int64_t writes() const { return assignments; }
  bool operator==(const WorkCounts&) const = default;
};

namespace counting {

struct ThreadState {
  WorkCounts counts;
  std::int64_t depth = 0;
};
// Constant-initialised, so reaching it costs no guard.
inline thread_local ThreadState state{};

}  // namespace counting

// This thread's counts since the last reset.
inline const WorkCounts& thread_work_counts() { return counting::state.counts; }
inline void reset_thread_work_counts() { counting::state = {}; }

// An Element that counts. Comparisons look only at the key.
class CountedElement {
 public:
  CountedElement() = default;
  explicit CountedElement(Element key) : key_(key) {}
  CountedElement(const CountedElement& other) : key_(other.key_) { ++counting::state.counts.copies; }
  CountedElement& operator=(const CountedElement& other) {
    ++counting::state.counts.assignments;
    key_ = other.key_;
    return *this;
  }

  Element key() const { return key_; }

  friend bool operator<(const CountedElement& a, const CountedElement& b) { return compared(a.key_ < b.key_); }
  friend bool operator>(const CountedElement& a, const CountedElement& b) { return compared(a.key_ > b.key_); }
  friend bool operator<=(const CountedElement& a, const CountedElement& b) { return compared(a.key_ <= b.key_); }
  friend bool operator>=(const CountedElement& a, const CountedElement& b) { return compared(a.key_ >= b.key_); }

  // The kernels' notes.
  static void note_swap() { ++counting::state.counts.swaps; }
  static void note_call() {
    counting::ThreadState& state = counting::state;
    ++state.counts.calls;
    if (++state.depth > state.counts.max_depth) state.counts.max_depth = state.depth;
  }
  static void note_return() { --counting::state.depth; }

 private:
  static bool compared(bool result) {
    ++counting::state.counts.comparisons;
    return result;
  }
  Element key_ = 0;
};

// CSORT's Counters for a counting run.
struct CountedCounters {
  void incremented() const { ++counting::state.counts.increments; }
  void scanned() const { ++counting::state.counts.scanned; }
};

// What a kernel needs besides the data: COMQSORT's cutoff and measure,
// CSORT's value range K (the data must lie in 1..K).
struct WorkParameters {
  std::int32_t cutoff = 0;
  CutoffMeasure measure = CutoffMeasure::kIndexSpan;
  std::int32_t value_range = 0;
};

// The work of `kernel` (a name of kernel_names.hpp: "QSORT", "CSORT", ...)
// sorting a copy of `data`, held at positions 1..n as the programs hold it.
// Throws std::invalid_argument for an unknown kernel, a value above the
// largest Element, or CSORT data outside 1..value_range; std::logic_error
// when the copy does not come out sorted (the kernel lost or broke values).
WorkCounts count_work(std::string_view kernel, std::span<const std::uint32_t> data,
                      const WorkParameters& parameters = {});
// The same on the programs' own Elements, without a copy of the data.
WorkCounts count_work(std::string_view kernel, std::span<const Element> data, const WorkParameters& parameters = {});

}  // namespace kit
