// SSORT: selection sort.
#pragma once

#include <cstdint>

#include "kit/swap.hpp"

namespace kit {

// Sorts A[ZAC..KON]. The leftmost of equal minima is chosen (strictly less),
// and the exchange is made even when the minimum is already in place, so a
// range of n elements costs exactly n - 1 exchanges.
template <class T>
void SSORT(T* A, std::int32_t ZAC, std::int32_t KON) {
  for (std::int32_t I = ZAC; I <= KON - 1; ++I) {
    std::int32_t MIN = I;
    for (std::int32_t J = I + 1; J <= KON; ++J) {
      if (A[J] < A[MIN]) MIN = J;
    }
    VYMEN(A, I, MIN);
  }
}

}  // namespace kit
