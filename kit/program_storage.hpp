// The large arrays of a program: obtained once at start, zero-filled, kept
// for the whole run. Nothing is allocated once the measurements begin.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "kit/call_site.hpp"
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
    put_pages_in_place(data, count * sizeof(T));
    return ProgramArray(data, count);
  }

  T* data() const { return storage_.get(); }
  std::size_t size() const { return size_; }
  T& operator[](std::size_t index) const { return storage_[index]; }

 private:
  // Has the system set up every page of the block now, in one call: every
  // program writes all of its arrays before the first measurement anyway,
  // and one call costs far less than a fault per page. Where the system
  // cannot, the pages come on first use as before.
  static void put_pages_in_place(void* data, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    constexpr std::uintptr_t kPage = 4096;
    const auto first = (reinterpret_cast<std::uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kPage - 1);
    if (first < last) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)bytes;
#endif
  }

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
