#include "support/run_program.hpp"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "support/test_support.hpp"

namespace test_support {
namespace {

// Makes `path` descriptor `target` of this process, or ends the child.
void redirect(const std::string& path, int flags, int target) {
  const int fd = open(path.c_str(), flags, 0644);
  if (fd < 0 || dup2(fd, target) < 0) _exit(126);
  close(fd);
}

}  // namespace

ProgramResult run_in_child(const std::function<void()>& body, const ChildStreams& streams) {
  const bool capture = streams.standard_output.empty() && !streams.close_standard_output;
  std::filesystem::path captured;
  if (capture) {
    std::string pattern = (std::filesystem::temp_directory_path() / "sortbench-child-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    close(fd);
    captured = pattern;
  }

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    if (streams.close_standard_input) {
      close(STDIN_FILENO);
    } else {
      redirect(streams.standard_input, O_RDONLY, STDIN_FILENO);
    }
    if (streams.close_standard_output) {
      close(STDOUT_FILENO);
    } else {
      redirect(capture ? captured.string() : streams.standard_output, O_WRONLY | O_CREAT | O_TRUNC, STDOUT_FILENO);
    }
    if (!streams.standard_error.empty()) {
      redirect(streams.standard_error, O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
    }
    body();
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  ProgramResult result;
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  if (capture) {
    result.output = read_file(captured);
    std::filesystem::remove(captured);
  }
  return result;
}

ProgramResult run_program(const ProgramRun& run) {
  return run_in_child(
      [&run] {
        if (chdir(run.directory.c_str()) != 0) _exit(126);
        for (const auto& [name, value] : run.environment) setenv(name.c_str(), value.c_str(), 1);
        if (run.address_space_bytes) {
          const auto bytes = static_cast<rlim_t>(*run.address_space_bytes);
          const rlimit limit{bytes, bytes};
          setrlimit(RLIMIT_AS, &limit);
          rlimit in_force{};
          if (getrlimit(RLIMIT_AS, &in_force) != 0 || in_force.rlim_cur != bytes) {
            // qemu-user keeps address-space limits away from its guest and
            // ignores the call; it gives the guest just the address space
            // that this variable names instead.
            setenv("QEMU_RESERVED_VA", std::to_string(bytes).c_str(), 1);
          }
        }
        execl(run.program.c_str(), run.program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
      },
      run.streams);
}

}  // namespace test_support
