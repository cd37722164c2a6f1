// QSORT: recursive quicksort with Hoare partition around the middle value.
#pragma once

#include <cstdint>

#include "kit/swap.hpp"

namespace kit {

// Sorts A[Z..K] (inclusive), Z <= K. Both scans stop on keys equal to the
// pivot value and exchange them, so ranges with few distinct values still
// split near the middle. The scans need no index checks: in the first pass
// the pivot stops them, later the two elements just exchanged do. A part of
// one element still gets its own call; both parts recurse, left first.
template <class T>
void QSORT(T* A, std::int32_t Z, std::int32_t K) {
  const T P = A[(Z + K) / 2];  // a copy of the value, not a position
  std::int32_t I = Z - 1;
  std::int32_t J = K + 1;
  do {
    do ++I; while (A[I] < P);
    do --J; while (A[J] > P);
    if (I < J) VYMEN(A, I, J);
  } while (I < J);
  if (I == J) {  // both scans stopped on one element equal to P: it stays put
    ++I;
    --J;
  }
  if (Z <= J) QSORT(A, Z, J);
  if (I <= K) QSORT(A, I, K);
}

// The cutoff study's name for the same kernel.
template <class T>
inline void REKQSORT(T* A, std::int32_t Z, std::int32_t K) {
  QSORT(A, Z, K);
}

}  // namespace kit
