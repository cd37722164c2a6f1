// The one random source of a run: MT19937, seeded once from the millisecond
// tick count (os::tick_count), so every run draws different data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kit/mt19937_stream.hpp"

namespace kit {

class RandomSource {
 public:
  explicit RandomSource(std::uint32_t seed) : stream_(seed) {}

  // A value in 0 .. bound - 1 for a positive bound: the upper 32 bits of the
  // 64-bit product of the bound and the next output.
  std::int32_t below(std::int32_t bound) {
    const std::uint64_t product = static_cast<std::uint64_t>(static_cast<std::uint32_t>(bound)) * stream_.next();
    return static_cast<std::int32_t>(product >> 32);
  }

  // first[0 .. count - 1] := below(bound) + 1 each, drawn in index order, so
  // the values lie in 1 .. bound: the same data as one below() per element.
  void fill_from_one_to(std::int32_t* first, std::size_t count, std::int32_t bound) {
    // A value of at most bound reads the same as int32 and uint32, and the
    // two types may access each other's objects.
    stream_.fill_from_one_to(reinterpret_cast<std::uint32_t*>(first), count, static_cast<std::uint32_t>(bound));
  }

 private:
  Mt19937Stream stream_;
};

}  // namespace kit
