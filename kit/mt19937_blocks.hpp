// The block kernels of Mt19937Stream: each advances a run of whole 8-word
// blocks of the MT19937 state and writes the tempered outputs, raw or scaled
// to 1..bound. One portable version, and one in vector extensions that is
// AVX2 code on x86-64 and NEON code on AArch64.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kit::mt19937_blocks {

inline constexpr std::size_t kStateWords = 624;
inline constexpr std::size_t kBlockWords = 8;
inline constexpr std::size_t kBlocks = kStateWords / kBlockWords;
// Word i is updated from word i + kMiddleDistance, taken mod kStateWords.
inline constexpr std::size_t kMiddleDistance = 397;
// The first block whose words all lie at kStateWords - kMiddleDistance or
// beyond and therefore read a word already updated in this round.
inline constexpr std::size_t kFirstLateBlock = (kStateWords - kMiddleDistance + kBlockWords - 1) / kBlockWords;

inline constexpr std::uint32_t kUpperMask = 0x80000000u;
inline constexpr std::uint32_t kTwistMatrix = 0x9908b0dfu;
inline constexpr std::uint32_t kTemperingB = 0x9d2c5680u;
inline constexpr std::uint32_t kTemperingC = 0xefc60000u;

// Blocks first .. first + count - 1 of `state`, all early or all late. The
// state holds kStateWords + kBlockWords words: the last block mirrors the
// updated block 0, so the update of words 227..231 and of word 623 reads
// past the end instead of wrapping. `distance` is kMiddleDistance for early
// blocks and kMiddleDistance - kStateWords for late ones. `state` is 32-byte aligned.
struct BlockRun {
  std::uint32_t* state;
  std::size_t first;
  std::size_t count;
  std::ptrdiff_t distance;
};

// Updates the run in place, words in ascending order, and writes their
// tempered outputs to out[0 .. 8 * count - 1]: as they are, or as 1 plus the
// upper 32 bits of bound times the output.
void advance_portable(const BlockRun& run, std::uint32_t* out);
void advance_portable(const BlockRun& run, std::uint32_t* out, std::uint32_t bound);

// The same eight words a vector; only called when vector_instructions() is
// not empty.
void advance_vector(const BlockRun& run, std::uint32_t* out);
void advance_vector(const BlockRun& run, std::uint32_t* out, std::uint32_t bound);
// The instructions the vector kernels run on here: "avx2" on an x86-64
// processor that has AVX2, "neon" on AArch64, and empty where they cannot
// run (an x86-64 processor without AVX2, another processor or compiler).
std::string_view vector_instructions();

}  // namespace kit::mt19937_blocks
