// The block kernels in plain C++, one word at a time: the reference
// algorithm's own update order, for processors the vector kernels do not
// run on (x86-64 without AVX2, neither x86-64 nor AArch64).
#include "kit/mt19937_blocks.hpp"

namespace kit::mt19937_blocks {
namespace {

std::uint32_t temper(std::uint32_t y) {
  y ^= y >> 11;
  y ^= (y << 7) & kTemperingB;
  y ^= (y << 15) & kTemperingC;
  return y ^ (y >> 18);
}

template <bool kScaled>
void advance(const BlockRun& run, std::uint32_t* out, std::uint32_t bound) {
  std::uint32_t* word = run.state + run.first * kBlockWords;
  const std::size_t words = run.count * kBlockWords;
  for (std::size_t k = 0; k < words; ++k, ++word) {
    const std::uint32_t joined = (word[0] & kUpperMask) | (word[1] & ~kUpperMask);
    word[0] = word[run.distance] ^ (joined >> 1) ^ ((joined & 1u) != 0 ? kTwistMatrix : 0u);
    const std::uint32_t output = temper(word[0]);
    if constexpr (kScaled) {
      out[k] = static_cast<std::uint32_t>((std::uint64_t{bound} * output) >> 32) + 1u;
    } else {
      out[k] = output;
    }
  }
}

}  // namespace

void advance_portable(const BlockRun& run, std::uint32_t* out) { advance<false>(run, out, 0); }

void advance_portable(const BlockRun& run, std::uint32_t* out, std::uint32_t bound) { advance<true>(run, out, bound); }

}  // namespace kit::mt19937_blocks
