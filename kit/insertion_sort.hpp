// ISORT: straight insertion sort.
#pragma once

#include <cstdint>

namespace kit {

// Sorts A[Z..K]; an empty range (K < Z) is left alone. The shift test is
// greater-or-equal, so an element is inserted before the earlier elements
// equal to it and runs of equal values cost shifts. A[Z - 1] is never read.
template <class T>
void ISORT(T* A, std::int32_t Z, std::int32_t K) {
  for (std::int32_t I = Z + 1; I <= K; ++I) {
    const T POMOCNA = A[I];
    std::int32_t J = I;
    while (J > Z && A[J - 1] >= POMOCNA) {
      A[J] = A[J - 1];
      --J;
    }
    A[J] = POMOCNA;
  }
}

}  // namespace kit
