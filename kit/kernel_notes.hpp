// What a kernel tells its element type besides comparisons and moves: an
// exchange, and entering and leaving a recursive call. Only an element type
// that counts the kernels' work (work_counts.hpp) takes these notes; for
// every other type, the programs' own included, they are empty and compile
// to nothing.
#pragma once

namespace kit {

template <class T>
concept TakesKernelNotes = requires {
  T::note_swap();
  T::note_call();
  T::note_return();
};

template <class T>
inline void note_swap() {
  if constexpr (TakesKernelNotes<T>) T::note_swap();
}

// Lives for one call of a recursive kernel.
template <class T>
class CallNote {
 public:
  CallNote() {
    if constexpr (TakesKernelNotes<T>) T::note_call();
  }
  ~CallNote() {
    if constexpr (TakesKernelNotes<T>) T::note_return();
  }
  CallNote(const CallNote&) = delete;
  CallNote& operator=(const CallNote&) = delete;
};

}  // namespace kit
