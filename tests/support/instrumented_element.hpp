// The kit's counting element with a tag, recording which positions of the
// array under watch were read and written. Comparisons look only at the key,
// so the tags of equal keys show how a kernel orders ties.
#pragma once

#include <cstdint>
#include <vector>

#include "kit/work_counts.hpp"

namespace test_support {

// The kit's counts of the watch, and the per-position access flags of the
// watched array, indexed from its element 0.
struct KernelTally : kit::WorkCounts {
  std::vector<bool> read, written;
};

class Probe;
// Starts counting anew and watches `size` positions starting at `first`.
void watch(const Probe* first, std::size_t size);
void watch_also(const Probe* first, std::size_t size);  // a second array, e.g. MSORT's B
// What the watch has seen so far; the second array's counts are the first's.
KernelTally tally();
KernelTally tally_of_second();

class Probe : public kit::CountedElement {
 public:
  Probe() = default;
  Probe(std::int32_t key, std::int32_t tag) : CountedElement(key), tag_(tag) {}
  Probe(const Probe& other);
  Probe& operator=(const Probe& other);

  std::int32_t tag() const { return tag_; }

  friend bool operator<(const Probe& a, const Probe& b) { return compared(a, b) < b; }
  friend bool operator>(const Probe& a, const Probe& b) { return compared(a, b) > b; }
  friend bool operator<=(const Probe& a, const Probe& b) { return compared(a, b) <= b; }
  friend bool operator>=(const Probe& a, const Probe& b) { return compared(a, b) >= b; }

 private:
  // Notes both positions read and hands back `a` as the kit's element.
  static const kit::CountedElement& compared(const Probe& a, const Probe& b);
  std::int32_t tag_ = 0;
};

// Probes with the given keys at positions 1..n, tagged 1..n, with a
// sentinel (key -999, tag 0) at position 0 and one above position n.
std::vector<Probe> probes_at_one(const std::vector<std::int32_t>& keys);
std::vector<std::int32_t> keys_of(const std::vector<Probe>& probes, std::size_t first, std::size_t last);
std::vector<std::int32_t> tags_of(const std::vector<Probe>& probes, std::size_t first, std::size_t last);
// Positions in [first, last] that were read or written during the watch.
std::vector<std::size_t> touched_outside(const KernelTally& tally, std::size_t first, std::size_t last);

}  // namespace test_support
