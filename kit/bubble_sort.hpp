// BSORT: bubble sort with a change flag.
#pragma once

#include <cstdint>

#include "kit/swap.hpp"

namespace kit {

// Sorts A[ZAC..KON]. Every pass covers the whole range ZAC..KON - 1 (it is
// never shortened); the sort ends after the first pass without an exchange,
// so even a sorted range costs one full pass. Equal neighbours stay put.
template <class T>
void BSORT(T* A, std::int32_t ZAC, std::int32_t KON) {
  bool ZMENA = true;
  while (ZMENA) {
    ZMENA = false;
    for (std::int32_t I = ZAC; I <= KON - 1; ++I) {
      if (A[I] > A[I + 1]) {
        VYMEN(A, I, I + 1);
        ZMENA = true;
      }
    }
  }
}

}  // namespace kit
