// How COMQSORT measures a range against its cutoff: the one parameter in
// which the two cutoff programs' kernels differ.
#pragma once

namespace kit {

// How a range Z..K is measured against the cutoff. The two cutoff programs
// differ only in this, so it is fixed at compile time.
enum class CutoffMeasure {
  kIndexSpan,     // K - Z: a range of at most HRANICA + 1 elements goes to ISORT
  kElementCount,  // K - Z + 1: a range of at most HRANICA elements goes to ISORT
};

}  // namespace kit
