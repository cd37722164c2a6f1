// CSORT: counting sort of values known to lie in 1..K.
#pragma once

#include <cstdint>

namespace kit {

// Sorts A[1..N], whose values all lie in 1..K, through the program's count
// array C (indexed by value) and output array B (indexed by position); both
// are the caller's POLEs and must reach index K and N respectively.
// Only C[1..K] and B[1..N] are touched; C[1..K] is cleared on every call, so
// the time grows with K even for a handful of values. Placement runs from the
// end, so equal values keep their order. Afterwards C[v] holds the number of
// values below v and B[1..N] a copy of the result. Nothing is checked.
//
// The counters are indices, not elements, so a caller that counts CSORT's
// work hands it Counters of its own: told of each counter increment of the
// counting pass, and of each position C[1..K] as the clearing pass reaches
// it (the prefix pass covers the same positions). The default tells no one.
struct UncountedCounters {
  void incremented() const {}
  void scanned() const {}
};

template <class Counters = UncountedCounters>
inline void CSORT(std::int32_t* A, std::int32_t N, std::int32_t K, std::int32_t* B, std::int32_t* C,
                  Counters counters = {}) {
  for (std::int32_t I = 1; I <= K; ++I) {
    counters.scanned();
    C[I] = 0;
  }
  for (std::int32_t J = 1; J <= N; ++J) {
    counters.incremented();
    C[A[J]] = C[A[J]] + 1;
  }
  for (std::int32_t I = 2; I <= K; ++I) C[I] = C[I] + C[I - 1];
  for (std::int32_t J = N; J >= 1; --J) {
    B[C[A[J]]] = A[J];
    C[A[J]] = C[A[J]] - 1;
  }
  for (std::int32_t I = 1; I <= N; ++I) A[I] = B[I];
}

}  // namespace kit
