// The evidence on Win32: the thread's CPU time from GetThreadTimes (kernel
// and user time, in the scheduler's ticks) and its cycles from
// QueryThreadCycleTime (the processor's time-stamp cycles while the thread
// ran). Win32 counts no involuntary switches or migrations of one thread,
// and lends no other processor event to a process.
#include "kit/os/window_evidence.hpp"

#include <windows.h>

namespace kit::os {
namespace {

constexpr std::size_t index_of(Evidence kind) { return static_cast<std::size_t>(kind); }

EvidenceKinds counted = evidence_bit(Evidence::kCpuNanoseconds);

std::int64_t hundreds_of_nanoseconds(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

}  // namespace

EvidenceKinds open_window_evidence() {
  ULONG64 cycles = 0;
  if (QueryThreadCycleTime(GetCurrentThread(), &cycles) != 0) counted |= evidence_bit(Evidence::kCycles);
  return counted;
}

EvidenceReading read_window_evidence() {
  EvidenceReading reading{{}, counted};
  FILETIME creation{}, exit{}, kernel{}, user{};
  if (GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user) != 0) {
    reading.counts[index_of(Evidence::kCpuNanoseconds)] =
        (hundreds_of_nanoseconds(kernel) + hundreds_of_nanoseconds(user)) * 100;
  }
  if ((counted & evidence_bit(Evidence::kCycles)) != 0) {
    ULONG64 cycles = 0;
    QueryThreadCycleTime(GetCurrentThread(), &cycles);
    reading.counts[index_of(Evidence::kCycles)] = static_cast<std::int64_t>(cycles);
  }
  return reading;
}

}  // namespace kit::os
