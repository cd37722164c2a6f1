#include "kit/os/process.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace kit::os {

void ignore_broken_pipes() noexcept { std::signal(SIGPIPE, SIG_IGN); }

void occupy_closed_standard_streams() noexcept {
  // Standard input is occupied write-only and the output streams read-only,
  // so a closed stream still fails on use (error 9) rather than vanishing.
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int placeholder = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
    if (placeholder >= 0 && placeholder != fd) {
      ::dup2(placeholder, fd);
      ::close(placeholder);
    }
  }
}

void end_process(int status) noexcept { ::_exit(status); }

}  // namespace kit::os
