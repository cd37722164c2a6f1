// The block kernels with AVX2, eight words a vector. Only these functions
// carry the AVX2 target, so the rest of the program runs on any x86-64; the
// stream checks the processor before it calls them.
#include "kit/mt19937_blocks.hpp"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define SORTBENCH_HAS_AVX2_KERNELS 1
#include <immintrin.h>
#endif

namespace kit::mt19937_blocks {

#ifdef SORTBENCH_HAS_AVX2_KERNELS

#define SORTBENCH_AVX2 __attribute__((target("avx2")))

namespace {

SORTBENCH_AVX2 inline __m256i broadcast(std::uint32_t value) { return _mm256_set1_epi32(static_cast<int>(value)); }

// The update of the eight words at `word`. Their successors and the words
// `distance` away are all read before anything is stored, which holds
// because no word of a block reads another word of the same block.
SORTBENCH_AVX2 inline __m256i twist(const std::uint32_t* word, std::ptrdiff_t distance) {
  const __m256i upper = broadcast(kUpperMask);
  const __m256i current = _mm256_load_si256(reinterpret_cast<const __m256i*>(word));
  const __m256i following = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(word + 1));
  const __m256i distant = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(word + distance));
  const __m256i joined = _mm256_or_si256(_mm256_and_si256(current, upper), _mm256_andnot_si256(upper, following));
  // All ones where the joined word is odd, so the matrix applies there only.
  const __m256i odd = _mm256_sub_epi32(_mm256_setzero_si256(), _mm256_and_si256(following, broadcast(1)));
  const __m256i matrix = _mm256_and_si256(odd, broadcast(kTwistMatrix));
  return _mm256_xor_si256(distant, _mm256_xor_si256(_mm256_srli_epi32(joined, 1), matrix));
}

SORTBENCH_AVX2 inline __m256i temper(__m256i y) {
  y = _mm256_xor_si256(y, _mm256_srli_epi32(y, 11));
  y = _mm256_xor_si256(y, _mm256_and_si256(_mm256_slli_epi32(y, 7), broadcast(kTemperingB)));
  y = _mm256_xor_si256(y, _mm256_and_si256(_mm256_slli_epi32(y, 15), broadcast(kTemperingC)));
  return _mm256_xor_si256(y, _mm256_srli_epi32(y, 18));
}

// 1 + the upper half of bound x output in every lane: the even lanes'
// products come from one widening multiply, the odd lanes' from a second.
SORTBENCH_AVX2 inline __m256i scale_from_one(__m256i output, __m256i bound) {
  const __m256i even = _mm256_mul_epu32(output, bound);
  const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(output, 32), bound);
  const __m256i upper_halves = _mm256_blend_epi32(_mm256_srli_epi64(even, 32), odd, 0xAA);
  return _mm256_add_epi32(upper_halves, broadcast(1));
}

template <bool kScaled>
SORTBENCH_AVX2 inline void emit(std::uint32_t* out, __m256i updated, __m256i bound) {
  __m256i value = temper(updated);
  if constexpr (kScaled) value = scale_from_one(value, bound);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), value);
}

// Four blocks a step, so that four independent chains of dependent
// instructions are in flight at once.
template <bool kScaled>
SORTBENCH_AVX2 void advance(const BlockRun& run, std::uint32_t* out, std::uint32_t bound_value) {
  const __m256i bound = broadcast(bound_value);
  std::uint32_t* word = run.state + run.first * kBlockWords;
  std::size_t count = run.count;
  for (; count >= 4; count -= 4, word += 4 * kBlockWords, out += 4 * kBlockWords) {
    const __m256i first = twist(word, run.distance);
    const __m256i second = twist(word + kBlockWords, run.distance);
    const __m256i third = twist(word + 2 * kBlockWords, run.distance);
    const __m256i fourth = twist(word + 3 * kBlockWords, run.distance);
    _mm256_store_si256(reinterpret_cast<__m256i*>(word), first);
    _mm256_store_si256(reinterpret_cast<__m256i*>(word + kBlockWords), second);
    _mm256_store_si256(reinterpret_cast<__m256i*>(word + 2 * kBlockWords), third);
    _mm256_store_si256(reinterpret_cast<__m256i*>(word + 3 * kBlockWords), fourth);
    emit<kScaled>(out, first, bound);
    emit<kScaled>(out + kBlockWords, second, bound);
    emit<kScaled>(out + 2 * kBlockWords, third, bound);
    emit<kScaled>(out + 3 * kBlockWords, fourth, bound);
  }
  for (; count > 0; --count, word += kBlockWords, out += kBlockWords) {
    const __m256i updated = twist(word, run.distance);
    _mm256_store_si256(reinterpret_cast<__m256i*>(word), updated);
    emit<kScaled>(out, updated, bound);
  }
}

}  // namespace

void advance_avx2(const BlockRun& run, std::uint32_t* out) { advance<false>(run, out, 0); }

void advance_avx2(const BlockRun& run, std::uint32_t* out, std::uint32_t bound) { advance<true>(run, out, bound); }

bool avx2_available() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

#else

// Elsewhere the portable kernels stand in; avx2_available() keeps them unused.
void advance_avx2(const BlockRun& run, std::uint32_t* out) { advance_portable(run, out); }

void advance_avx2(const BlockRun& run, std::uint32_t* out, std::uint32_t bound) { advance_portable(run, out, bound); }

bool avx2_available() { return false; }

#endif

}  // namespace kit::mt19937_blocks
