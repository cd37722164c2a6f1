// The large arrays of a program: obtained once at start, zero-filled, kept
// for the whole run. Nothing is allocated once the measurements begin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "kit/call_site.hpp"
#include "kit/os/memory.hpp"
#include "kit/runtime_error.hpp"

namespace kit {

// The element type of every POLE: a 32-bit signed integer. A POLE is a block
// of these indexed from 0; the programs keep data at 1..n and hand the
// kernels a pointer to element 0.
using Element = std::int32_t;

template <class T>
class ProgramArray {
 public:
  // Stops the program with runtime error 12 when the system refuses the memory.
  static ProgramArray obtain(std::size_t count, const CallSite& where = CallSite::current()) {
    // calloc hands out fresh zero pages for blocks this size without writing them.
    T* data = static_cast<T*>(std::calloc(count == 0 ? 1 : count, sizeof(T)));
    if (data == nullptr) stop_with_runtime_error(kErrorOutOfMemory, where);
    // Every program writes all of its arrays before the first measurement
    // anyway; having the pages set up here keeps their faults out of every
    // timed window, and the system may do it far cheaper than a fault per page.
    os::prefault_zeroed(data, count * sizeof(T));
    return ProgramArray(data, count);
  }

  T* data() const { return storage_.get(); }
  std::size_t size() const { return size_; }
  T& operator[](std::size_t index) const { return storage_[index]; }

 private:
  struct Release {
    void operator()(T* data) const { std::free(data); }
  };
  ProgramArray(T* data, std::size_t size) : storage_(data), size_(size) {}

  std::unique_ptr<T[], Release> storage_;
  std::size_t size_;
};

// Tells the compiler that the memory behind `data` is used, so it can drop
// neither the writes of a clearing pass nor a sort whose result nobody reads.
inline void keep_memory(const void* data) { asm volatile("" : : "r"(data) : "memory"); }

}  // namespace kit
