// COMQSORT: quicksort that hands every short enough range whole to ISORT.
#pragma once

#include <cstdint>

#include "kit/cutoff_measure.hpp"
#include "kit/insertion_sort.hpp"
#include "kit/kernel_notes.hpp"
#include "kit/quicksort.hpp"

namespace kit {

// Sorts A[Z..K] (inclusive). A range whose measure is at most HRANICA is
// insertion-sorted at once, as soon as the recursion reaches it; a longer
// one is partitioned exactly as QSORT partitions it and both parts recurse,
// left first, with QSORT's less-or-equal tests (so a one-element part still
// gets a call, which goes straight to ISORT). There is no final insertion
// pass. HRANICA is the program's cutoff, the same for the whole call.
template <CutoffMeasure Measure, class T>
void COMQSORT(T* A, std::int32_t Z, std::int32_t K, std::int32_t HRANICA) {
  const CallNote<T> call;
  const std::int32_t D = Measure == CutoffMeasure::kIndexSpan ? K - Z : K - Z + 1;
  if (D <= HRANICA) {
    ISORT(A, Z, K);
    return;
  }
  const auto [I, J] = partition_around_middle(A, Z, K);
  if (Z <= J) COMQSORT<Measure>(A, Z, J, HRANICA);
  if (I <= K) COMQSORT<Measure>(A, I, K, HRANICA);
}

}  // namespace kit
