// The evidence on Linux: the thread's CPU clock, getrusage's involuntary
// switches of the thread, and perf events of the calling thread: the
// software event that counts migrations, and the processor's cycles,
// instructions, branch misses and cache misses where it has a performance
// monitoring unit that the process may use. Each counter is one file
// descriptor, opened once; the processor's four are one group, read at once.
#include "kit/os/window_evidence.hpp"

#include <linux/perf_event.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "kit/os/posix_common/window_evidence.hpp"

namespace kit::os {
namespace {

constexpr std::size_t index_of(Evidence kind) { return static_cast<std::size_t>(kind); }

struct HardwareEvent {
  Evidence kind;
  std::uint64_t config;
};

// The group's leader first: without cycles the others are not tried.
constexpr HardwareEvent kHardwareEvents[] = {
    {Evidence::kCycles, PERF_COUNT_HW_CPU_CYCLES},
    {Evidence::kInstructions, PERF_COUNT_HW_INSTRUCTIONS},
    {Evidence::kBranchMisses, PERF_COUNT_HW_BRANCH_MISSES},
    {Evidence::kCacheMisses, PERF_COUNT_HW_CACHE_MISSES},
};
constexpr std::size_t kHardwareKinds = std::size(kHardwareEvents);

struct Counters {
  bool opened = false;
  EvidenceKinds counted = evidence_bit(Evidence::kCpuNanoseconds) | evidence_bit(Evidence::kInvoluntarySwitches);
  int migrations = -1;
  int hardware = -1;  // the group's leader
  // The kinds of the group's members in the order a group read lists them.
  Evidence hardware_kinds[kHardwareKinds]{};
  std::size_t hardware_members = 0;
};

Counters counters;

// A counter of the calling thread on any processor; -1 when the system refuses it.
int open_counter(std::uint32_t type, std::uint64_t config, bool user_only, int group) {
  perf_event_attr attributes{};
  attributes.size = sizeof attributes;
  attributes.type = type;
  attributes.config = config;
  attributes.exclude_kernel = user_only ? 1 : 0;
  attributes.exclude_hv = 1;
  if (group == -1) attributes.read_format = PERF_FORMAT_GROUP;
  return static_cast<int>(syscall(SYS_perf_event_open, &attributes, 0, -1, group, PERF_FLAG_FD_CLOEXEC));
}

void open_migrations() {
  // A migration is counted in the kernel, so a counter that leaves the
  // kernel out opens but never counts one: such a count would pass for
  // "none". Where the kernel may not be counted, migrations stay uncounted.
  counters.migrations = open_counter(PERF_TYPE_SOFTWARE, PERF_COUNT_SW_CPU_MIGRATIONS, false, -1);
  if (counters.migrations >= 0) counters.counted |= evidence_bit(Evidence::kMigrations);
}

void open_hardware() {
  // The sort's own events: user mode only, which the default paranoid level
  // allows an unprivileged process.
  for (const HardwareEvent& event : kHardwareEvents) {
    const int fd = open_counter(PERF_TYPE_HARDWARE, event.config, true, counters.hardware);
    if (fd < 0) {
      if (counters.hardware < 0) return;
      continue;
    }
    if (counters.hardware < 0) counters.hardware = fd;
    counters.hardware_kinds[counters.hardware_members++] = event.kind;
    counters.counted |= evidence_bit(event.kind);
  }
}

}  // namespace

EvidenceKinds open_window_evidence() {
  if (!counters.opened) {
    counters.opened = true;
    open_migrations();
    open_hardware();
  }
  return counters.counted;
}

EvidenceReading read_window_evidence() {
  EvidenceReading reading{{}, counters.counted};
  reading.counts[index_of(Evidence::kCpuNanoseconds)] = posix_common::thread_cpu_nanoseconds();
  reading.counts[index_of(Evidence::kInvoluntarySwitches)] = posix_common::involuntary_switches(RUSAGE_THREAD);
  if (counters.migrations >= 0) {
    std::uint64_t migrations = 0;
    if (read(counters.migrations, &migrations, sizeof migrations) == sizeof migrations) {
      reading.counts[index_of(Evidence::kMigrations)] = static_cast<std::int64_t>(migrations);
    }
  }
  if (counters.hardware >= 0) {
    // PERF_FORMAT_GROUP: the number of members, then each member's count.
    std::uint64_t group[1 + kHardwareKinds]{};
    const auto wanted = static_cast<ssize_t>((1 + counters.hardware_members) * sizeof group[0]);
    if (read(counters.hardware, group, sizeof group) == wanted) {
      for (std::size_t i = 0; i < counters.hardware_members; ++i) {
        reading.counts[index_of(counters.hardware_kinds[i])] = static_cast<std::int64_t>(group[1 + i]);
      }
    }
  }
  return reading;
}

}  // namespace kit::os
