// The evidence on a plain POSIX system: the thread's CPU clock and
// getrusage's involuntary switches, of the thread where the system can tell
// them apart (the programs measure on their only thread, so the process's
// count is the same work elsewhere). Nothing here counts migrations or the
// processor's events.
#include "kit/os/window_evidence.hpp"

#include <sys/resource.h>

#include "kit/os/posix_common/window_evidence.hpp"

namespace kit::os {
namespace {

#ifdef RUSAGE_THREAD
constexpr int kSwitchesOf = RUSAGE_THREAD;
#else
constexpr int kSwitchesOf = RUSAGE_SELF;
#endif

constexpr EvidenceKinds kCounted =
    evidence_bit(Evidence::kCpuNanoseconds) | evidence_bit(Evidence::kInvoluntarySwitches);

}  // namespace

EvidenceKinds open_window_evidence() { return kCounted; }

EvidenceReading read_window_evidence() {
  EvidenceReading reading{{}, kCounted};
  reading.counts[static_cast<std::size_t>(Evidence::kCpuNanoseconds)] = posix_common::thread_cpu_nanoseconds();
  reading.counts[static_cast<std::size_t>(Evidence::kInvoluntarySwitches)] =
      posix_common::involuntary_switches(kSwitchesOf);
  return reading;
}

}  // namespace kit::os
