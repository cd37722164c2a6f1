// MSORT: top-down merge sort through a scratch array.
#pragma once

#include <cstdint>

namespace kit {

// Sorts A[ZAC..KON] using B[ZAC..KON] as scratch (B is the program's own
// scratch POLE; no other index of it is touched). The right half is copied
// into B reversed, so each half's largest element faces the other half's run
// and the merge needs no end markers. On equal values the right half's
// element is taken first.
template <class T>
void MSORT(T* A, std::int32_t ZAC, std::int32_t KON, T* B) {
  if (KON - ZAC <= 0) return;
  const std::int32_t P = (ZAC + KON) / 2;
  MSORT(A, ZAC, P, B);
  MSORT(A, P + 1, KON, B);
  for (std::int32_t I = P; I >= ZAC; --I) B[I] = A[I];
  for (std::int32_t J = P + 1; J <= KON; ++J) B[KON + P + 1 - J] = A[J];
  std::int32_t I = ZAC;
  std::int32_t J = KON;
  for (std::int32_t K = ZAC; K <= KON; ++K) {
    if (B[I] < B[J]) {
      A[K] = B[I];
      ++I;
    } else {
      A[K] = B[J];
      --J;
    }
  }
}

}  // namespace kit
