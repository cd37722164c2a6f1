// MT19937 (32-bit outputs, the standard initialisation from a 32-bit seed)
// as one stream that yields exactly the outputs of std::mt19937 seeded the
// same way, draw for draw, but fills whole ranges in one call: the state is
// updated, tempered and scaled eight words at a time, in vector registers:
// AVX2 on x86-64 processors that have it, NEON on AArch64. Successive calls
// continue the one stream, whatever mix of single draws and fills of any
// length they make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kit/mt19937_blocks.hpp"

namespace kit {

class Mt19937Stream {
 public:
  // The vector kernel where this processor can run it, or the plain one.
  enum class Kernel { fastest_available, portable };

  explicit Mt19937Stream(std::uint32_t seed, Kernel kernel = Kernel::fastest_available);

  std::uint32_t next();
  // first[0 .. count - 1] := the next count outputs, in order.
  void fill(std::uint32_t* first, std::size_t count);
  // first[k] := 1 + the upper 32 bits of bound x the k-th next output, so
  // every value lies in 1 .. bound for a bound of at least 1.
  void fill_from_one_to(std::uint32_t* first, std::size_t count, std::uint32_t bound);

  // The kernel in use: "avx2", "neon" or "portable".
  std::string_view kernel_name() const;

 private:
  static constexpr std::size_t kBlockWords = mt19937_blocks::kBlockWords;

  // Updates the next `blocks` blocks of the state and writes their outputs to `out`.
  template <bool kScaled>
  void advance(std::uint32_t* out, std::size_t blocks, std::uint32_t bound);
  // Refills `pending_` with the outputs of the next block.
  void refill_pending();

  // Words 0 .. 623 in the middle of a round: the blocks before next_block_
  // are updated, the rest still hold the previous round. Then the mirror.
  alignas(32) std::uint32_t state_[mt19937_blocks::kStateWords + kBlockWords]{};
  // What remains of a block a call did not use up, given out first by the next call.
  std::uint32_t pending_[kBlockWords]{};
  std::size_t pending_next_ = kBlockWords;
  std::size_t next_block_ = 0;
  bool vector_;
};

}  // namespace kit
