// The block kernels in GCC/clang vector extensions, eight words a vector: one
// source that compiles to AVX2 on x86-64 and to NEON on AArch64. On x86-64
// only these functions carry the AVX2 target, so the rest of the program runs
// on any x86-64 and the stream asks vector_instructions() before it calls
// them; NEON is part of every AArch64 processor.
#include <cstring>

#include "kit/mt19937_blocks.hpp"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>  // for multiply_high alone
#define SORTBENCH_VECTOR_INSTRUCTIONS "avx2"
// Every function that handles a vector carries the target, so that the
// generic vector code is lowered to AVX2 wherever it ends up inlined.
#define SORTBENCH_VECTOR_TARGET __attribute__((target("avx2")))
#elif defined(__aarch64__) && (defined(__GNUC__) || defined(__clang__))
#define SORTBENCH_VECTOR_INSTRUCTIONS "neon"
#define SORTBENCH_VECTOR_TARGET
#endif

namespace kit::mt19937_blocks {

#ifdef SORTBENCH_VECTOR_INSTRUCTIONS

namespace {

// One block: a single AVX2 register, or two NEON ones.
using Words = std::uint32_t __attribute__((vector_size(kBlockWords * sizeof(std::uint32_t))));

constexpr int kHalfBits = 32;

// The eight words from `word` on.
SORTBENCH_VECTOR_TARGET inline Words load(const std::uint32_t* word) {
  Words words;
  std::memcpy(&words, word, sizeof words);
  return words;
}

// Writes `words` to the eight words from `word` on.
SORTBENCH_VECTOR_TARGET inline void store(std::uint32_t* word, Words words) { std::memcpy(word, &words, sizeof words); }

// The update of the eight words at `word`. Their successors and the words
// `distance` away are all read before anything is stored, which holds
// because no word of a block reads another word of the same block.
SORTBENCH_VECTOR_TARGET inline Words twist(const std::uint32_t* word, std::ptrdiff_t distance) {
  const Words following = load(word + 1);
  const Words joined = (load(word) & kUpperMask) | (following & ~kUpperMask);
  // All ones where the joined word is odd, so the matrix applies there only.
  const Words matrix = -(following & 1u) & kTwistMatrix;
  return load(word + distance) ^ (joined >> 1) ^ matrix;
}

SORTBENCH_VECTOR_TARGET inline Words temper(Words y) {
  y ^= y >> 11;
  y ^= (y << 7) & kTemperingB;
  y ^= (y << 15) & kTemperingC;
  return y ^ (y >> 18);
}

// The upper 32 bits of bound x word in every lane, by widening multiplies.
// Neither compiler makes good ones of the widening conversion a 64-bit
// product suggests (__builtin_convertvector): GCC 12 multiplies the 64-bit
// lanes in full on x86-64 and one at a time on AArch64, and clang 14's
// version is a fifth slower per value on x86-64 than the one below.
SORTBENCH_VECTOR_TARGET inline Words multiply_high(Words words, std::uint32_t bound) {
#if defined(__x86_64__)
  // vpmuludq multiplies the even lanes of two vectors into 64-bit products:
  // once for the even words, once for the odd ones shifted down onto them.
  // The odd products' upper halves lie in the odd lanes already; the even
  // ones' are shifted down into the even lanes.
  const __m256i factor = _mm256_set1_epi32(static_cast<int>(bound));
  const __m256i even = _mm256_mul_epu32(reinterpret_cast<__m256i>(words), factor);
  const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(reinterpret_cast<__m256i>(words), kHalfBits), factor);
  constexpr int kOddLanes = 0xAA;
  return reinterpret_cast<Words>(_mm256_blend_epi32(_mm256_srli_epi64(even, kHalfBits), odd, kOddLanes));
#else
  // GCC's vectoriser (on at -O2) makes umull/umull2 of the lane loop; clang
  // 14 leaves it one lane at a time.
  Words upper{};
  for (std::size_t k = 0; k < kBlockWords; ++k) {
    upper[k] = static_cast<std::uint32_t>((std::uint64_t{bound} * words[k]) >> kHalfBits);
  }
  return upper;
#endif
}

template <bool kScaled>
SORTBENCH_VECTOR_TARGET inline void emit(std::uint32_t* out, Words updated, std::uint32_t bound) {
  Words value = temper(updated);
  if constexpr (kScaled) value = multiply_high(value, bound) + 1u;
  store(out, value);
}

// Four blocks a step, so that four independent chains of dependent
// instructions are in flight at once.
template <bool kScaled>
SORTBENCH_VECTOR_TARGET void advance(const BlockRun& run, std::uint32_t* out, std::uint32_t bound) {
  // Kept apart from `run`, which the stores might otherwise overwrite as far as the compiler knows.
  const std::ptrdiff_t distance = run.distance;
  std::uint32_t* word = run.state + run.first * kBlockWords;
  std::size_t count = run.count;
  for (; count >= 4; count -= 4, word += 4 * kBlockWords, out += 4 * kBlockWords) {
    const Words first = twist(word, distance);
    const Words second = twist(word + kBlockWords, distance);
    const Words third = twist(word + 2 * kBlockWords, distance);
    const Words fourth = twist(word + 3 * kBlockWords, distance);
    store(word, first);
    store(word + kBlockWords, second);
    store(word + 2 * kBlockWords, third);
    store(word + 3 * kBlockWords, fourth);
    emit<kScaled>(out, first, bound);
    emit<kScaled>(out + kBlockWords, second, bound);
    emit<kScaled>(out + 2 * kBlockWords, third, bound);
    emit<kScaled>(out + 3 * kBlockWords, fourth, bound);
  }
  for (; count > 0; --count, word += kBlockWords, out += kBlockWords) {
    const Words updated = twist(word, distance);
    store(word, updated);
    emit<kScaled>(out, updated, bound);
  }
}

}  // namespace

void advance_vector(const BlockRun& run, std::uint32_t* out) { advance<false>(run, out, 0); }

void advance_vector(const BlockRun& run, std::uint32_t* out, std::uint32_t bound) { advance<true>(run, out, bound); }

std::string_view vector_instructions() {
#if defined(__x86_64__)
  __builtin_cpu_init();
  if (!__builtin_cpu_supports("avx2")) return {};
#endif
  return SORTBENCH_VECTOR_INSTRUCTIONS;
}

#else

// Elsewhere the portable kernels stand in; vector_instructions() keeps them unused.
void advance_vector(const BlockRun& run, std::uint32_t* out) { advance_portable(run, out); }

void advance_vector(const BlockRun& run, std::uint32_t* out, std::uint32_t bound) { advance_portable(run, out, bound); }

std::string_view vector_instructions() { return {}; }

#endif

}  // namespace kit::mt19937_blocks
