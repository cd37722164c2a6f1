#include "kit/os/posix_common/window_evidence.hpp"

#include <sys/resource.h>
#include <time.h>

namespace kit::os::posix_common {

std::int64_t thread_cpu_nanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::int64_t involuntary_switches(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_nivcsw;
}

}  // namespace kit::os::posix_common
