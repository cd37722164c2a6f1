// VYMEN, the exchange that the comparison sorts share.
#pragma once

#include <cstdint>

#include "kit/kernel_notes.hpp"

namespace kit {

// Exchanges A[X] and A[Y] through a temporary; with X == Y nothing changes.
template <class T>
inline void VYMEN(T* A, std::int32_t X, std::int32_t Y) {
  note_swap<T>();
  const T Z = A[X];
  A[X] = A[Y];
  A[Y] = Z;
}

}  // namespace kit
