// An element that counts what a kernel does to it and records which
// positions of the array under watch were read and written. Comparisons look
// only at the key, so the tags of equal keys show how a kernel orders ties.
#pragma once

#include <cstdint>
#include <vector>

namespace test_support {

struct KernelTally {
  long comparisons = 0;
  long copies = 0;       // copy constructions: the temporaries of VYMEN, the pivot, POMOCNA
  long assignments = 0;  // element assignments
  // Per-position access flags of the watched array, indexed from its element 0.
  std::vector<bool> read, written;
};

class Probe;
// Starts counting anew and watches `size` positions starting at `first`.
void watch(const Probe* first, std::size_t size);
void watch_also(const Probe* first, std::size_t size);  // a second array, e.g. MSORT's B
KernelTally& tally();
KernelTally& tally_of_second();

class Probe {
 public:
  Probe() = default;
  Probe(std::int32_t key, std::int32_t tag) : key_(key), tag_(tag) {}
  Probe(const Probe& other);
  Probe& operator=(const Probe& other);

  std::int32_t key() const { return key_; }
  std::int32_t tag() const { return tag_; }

  friend bool operator<(const Probe& a, const Probe& b) {
    compared(a, b);
    return a.key_ < b.key_;
  }
  friend bool operator>(const Probe& a, const Probe& b) {
    compared(a, b);
    return a.key_ > b.key_;
  }
  friend bool operator<=(const Probe& a, const Probe& b) {
    compared(a, b);
    return a.key_ <= b.key_;
  }
  friend bool operator>=(const Probe& a, const Probe& b) {
    compared(a, b);
    return a.key_ >= b.key_;
  }

 private:
  static void compared(const Probe& a, const Probe& b);
  std::int32_t key_ = 0;
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
