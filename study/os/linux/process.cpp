// Linux: pipe2 makes a pipe closed on exec in one call, and wait4 tells the
// peak resident memory of the very child it waited for.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "study/os/posix_common/layer.hpp"

namespace study::os::unix_layer {

bool open_pipe(std::array<int, 2>& ends, bool nonblocking) {
  return ::pipe2(ends.data(), O_CLOEXEC | (nonblocking ? O_NONBLOCK : 0)) == 0;
}

bool wait_for_child(pid_t child, ChildEnd& end) {
  rusage usage{};
  while (::wait4(child, &end.status, 0, &usage) < 0) {
    if (errno != EINTR) return false;
  }
  end.peak_resident_bytes = static_cast<std::int64_t>(usage.ru_maxrss) * 1024;  // Linux counts it in KiB
  return true;
}

}  // namespace study::os::unix_layer
