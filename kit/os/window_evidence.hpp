// What the system counts for the measuring thread over a timed window: its
// own CPU time, the times it was switched out against its will or moved to
// another processor, and, where the system lets a process count them, the
// processor's own events. A window whose wall time outgrows its CPU time, or
// that was switched out, was disturbed by other work.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kit::os {

// The kinds of evidence, in the order a reading holds them.
enum class Evidence : std::uint8_t {
  kCpuNanoseconds,
  kInvoluntarySwitches,
  kMigrations,
  kCycles,
  kInstructions,
  kBranchMisses,
  kCacheMisses,
};
inline constexpr std::size_t kEvidenceKinds = 7;

// Each kind's name, as the record's column names it.
inline constexpr std::array<std::string_view, kEvidenceKinds> kEvidenceNames{
    "cpu_nanoseconds", "involuntary_switches", "migrations", "cycles", "instructions", "branch_misses", "cache_misses",
};

// A set of kinds: bit i for the kind of value i.
using EvidenceKinds = std::uint32_t;

constexpr EvidenceKinds evidence_bit(Evidence kind) { return EvidenceKinds{1} << static_cast<unsigned>(kind); }

// One reading of every counter, or the difference of two. A plain aggregate
// like ClockReading: it is taken right beside a window's clock readings.
// `counted` holds the kinds the system counts; the others read 0.
struct EvidenceReading {
  std::array<std::int64_t, kEvidenceKinds> counts;
  EvidenceKinds counted;

  constexpr std::int64_t operator[](Evidence kind) const { return counts[static_cast<std::size_t>(kind)]; }
  constexpr bool has(Evidence kind) const { return (counted & evidence_bit(kind)) != 0; }
};

// What the counters counted from `before` to `after`.
constexpr EvidenceReading evidence_between(const EvidenceReading& before, const EvidenceReading& after) {
  EvidenceReading difference{{}, before.counted & after.counted};
  for (std::size_t i = 0; i < kEvidenceKinds; ++i) {
    if ((difference.counted & (EvidenceKinds{1} << i)) != 0) difference.counts[i] = after.counts[i] - before.counts[i];
  }
  return difference;
}

// Opens the counters of the calling thread, once, before its first window,
// so no window pays for opening them; a counter the system refuses stays
// uncounted. Later calls change nothing. Returns the kinds counted.
EvidenceKinds open_window_evidence();

// Reads every open counter: a few system calls, nothing else. Before
// open_window_evidence only what needs no opening is counted.
EvidenceReading read_window_evidence();

}  // namespace kit::os
