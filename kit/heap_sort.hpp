// HSORT: heap sort over a max-heap in A[1..n]; the children of I are 2I and 2I + 1.
#pragma once

#include <cstdint>

#include "kit/swap.hpp"

namespace kit {

// Sifts A[I] down in the heap A[1..VELKOST_HALDY]. Both comparisons are
// strict: a child equal to its parent is not moved up, and of two equal
// children the left one wins. A child is read only when it lies in the heap.
template <class T>
void HEAPIFY(T* A, std::int32_t I, std::int32_t VELKOST_HALDY) {
  const std::int32_t L = 2 * I;
  const std::int32_t R = 2 * I + 1;
  std::int32_t MAX = I;
  if (L <= VELKOST_HALDY && A[L] > A[I]) MAX = L;
  if (R <= VELKOST_HALDY && A[R] > A[MAX]) MAX = R;
  if (MAX != I) {
    VYMEN(A, I, MAX);
    HEAPIFY(A, MAX, VELKOST_HALDY);
  }
}

// Makes A[1..N] a max-heap.
template <class T>
void BUILDHEAP(T* A, std::int32_t N) {
  const std::int32_t POM = N / 2;
  for (std::int32_t I = POM; I >= 1; --I) HEAPIFY(A, I, N);
}

// Sorts A[1..N], always from index 1; A[0] and everything above A[N] are
// never touched. The heap size is passed down rather than kept program-wide.
template <class T>
void HSORT(T* A, std::int32_t N) {
  BUILDHEAP(A, N);
  std::int32_t VELKOST_HALDY = N;
  for (std::int32_t I = N; I >= 2; --I) {
    VYMEN(A, 1, I);
    VELKOST_HALDY = VELKOST_HALDY - 1;
    HEAPIFY(A, 1, VELKOST_HALDY);
  }
}

}  // namespace kit
