// QSORT: recursive quicksort with Hoare partition around the middle value.
#pragma once

#include <cstdint>

#include "kit/kernel_notes.hpp"
#include "kit/swap.hpp"

namespace kit {

// One partition pass over A[Z..K], Z <= K, around the value of the middle
// element (a copy, not a position). Both scans stop on keys equal to that
// value and exchange them, so ranges with few distinct values still split
// near the middle. The scans need no index checks: in the first pass the
// pivot stops them, later the two elements just exchanged do. Afterwards
// A[Z..J] holds no key above the pivot value and A[I..K] none below it; an
// element between the parts, when I - J = 2, equals it and stays put.
struct PartitionEnds {
  std::int32_t I;
  std::int32_t J;
};

template <class T>
[[gnu::always_inline]] inline PartitionEnds partition_around_middle(T* A, std::int32_t Z, std::int32_t K) {
  const T P = A[(Z + K) / 2];
  std::int32_t I = Z - 1;
  std::int32_t J = K + 1;
  do {
    // clang-format off
    do ++I; while (A[I] < P);
    do --J; while (A[J] > P);
    // clang-format on
    if (I < J) VYMEN(A, I, J);
  } while (I < J);
  if (I == J) {  // both scans stopped on one element equal to P
    ++I;
    --J;
  }
  return {I, J};
}

// Sorts A[Z..K] (inclusive), Z <= K. A part of one element still gets its
// own call; both parts recurse, left first.
template <class T>
void QSORT(T* A, std::int32_t Z, std::int32_t K) {
  const CallNote<T> call;
  const auto [I, J] = partition_around_middle(A, Z, K);
  if (Z <= J) QSORT(A, Z, J);
  if (I <= K) QSORT(A, I, K);
}

// The cutoff study's name for the same kernel.
template <class T>
inline void REKQSORT(T* A, std::int32_t Z, std::int32_t K) {
  QSORT(A, Z, K);
}

}  // namespace kit
