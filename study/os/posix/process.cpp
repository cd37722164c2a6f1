// Plain POSIX: pipe, then FD_CLOEXEC on each end; waitpid, with the peak
// memory from getrusage(RUSAGE_CHILDREN), which only keeps the largest peak
// of all the children waited for so far.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "study/os/posix_common/layer.hpp"

namespace study::os::unix_layer {
namespace {

// ru_maxrss in bytes: macOS counts it in bytes, Linux and the BSDs in KiB.
std::int64_t largest_child_peak() {
  rusage usage{};
  if (::getrusage(RUSAGE_CHILDREN, &usage) != 0) return -1;
#if defined(__APPLE__)
  return static_cast<std::int64_t>(usage.ru_maxrss);
#else
  return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
#endif
}

}  // namespace

bool open_pipe(std::array<int, 2>& ends, bool nonblocking) {
  if (::pipe(ends.data()) != 0) return false;
  for (const int end : ends) {
    const int flags = ::fcntl(end, F_GETFL);
    if (::fcntl(end, F_SETFD, FD_CLOEXEC) != 0 || flags < 0 ||
        (nonblocking && ::fcntl(end, F_SETFL, flags | O_NONBLOCK) != 0)) {
      const int error_number = errno;
      ::close(ends[0]);
      ::close(ends[1]);
      errno = error_number;
      return false;
    }
  }
  return true;
}

bool wait_for_child(pid_t child, ChildEnd& end) {
  const std::int64_t before = largest_child_peak();
  while (::waitpid(child, &end.status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  // Only a peak larger than every earlier child's can be this child's own.
  const std::int64_t after = largest_child_peak();
  if (before >= 0 && after > before) end.peak_resident_bytes = after;
  return true;
}

}  // namespace study::os::unix_layer
