// Children on POSIX systems: fork, descriptors, exec.
#include "support/run_program.hpp"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/test_support.hpp"

namespace test_support {
namespace {

// Makes `path` descriptor `target` of this process, or ends the child.
void redirect(const std::string& path, int flags, int target) {
  const int fd = open(path.c_str(), flags, 0644);
  if (fd < 0 || dup2(fd, target) < 0) _exit(126);
  close(fd);
}

// A file standard output goes to when the streams ask for it to be captured.
std::filesystem::path capture_file(const ChildStreams& streams) {
  const bool capture =
      streams.standard_output.empty() && !streams.close_standard_output && !streams.output_to_pipe_without_reader;
  if (!capture) return {};
  const std::filesystem::path file = unused_temporary_path("sortbench-child-");
  std::ofstream{file};
  return file;
}

// In the child: sets up the streams, with `input_pipe` as standard input
// when it is a descriptor, and runs the body.
[[noreturn]] void be_the_child(const std::function<void()>& body, const ChildStreams& streams,
                               const std::filesystem::path& captured, int input_pipe) {
  if (input_pipe >= 0) {
    if (dup2(input_pipe, STDIN_FILENO) < 0) _exit(126);
    close(input_pipe);
  } else if (streams.close_standard_input) {
    close(STDIN_FILENO);
  } else {
    redirect(streams.standard_input, O_RDONLY, STDIN_FILENO);
  }
  if (streams.close_standard_output) {
    close(STDOUT_FILENO);
  } else if (streams.output_to_pipe_without_reader) {
    int ends[2];
    if (pipe(ends) != 0 || dup2(ends[1], STDOUT_FILENO) < 0) _exit(126);
    close(ends[0]);
    close(ends[1]);
  } else {
    redirect(captured.empty() ? streams.standard_output : captured.string(), O_WRONLY | O_CREAT | O_TRUNC,
             STDOUT_FILENO);
  }
  if (!streams.standard_error.empty()) {
    redirect(streams.standard_error, O_WRONLY | O_CREAT | O_TRUNC, STDERR_FILENO);
  }
  body();
  _exit(0);
}

ProgramResult result_of(int status, const std::filesystem::path& captured) {
  ProgramResult result;
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  if (!captured.empty()) {
    result.output = read_file(captured);
    std::filesystem::remove(captured);
  }
  return result;
}

}  // namespace

ProgramResult run_in_child(const std::function<void()>& body, const ChildStreams& streams) {
  const std::filesystem::path captured = capture_file(streams);
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) be_the_child(body, streams, captured, -1);
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  return result_of(status, captured);
}

struct RunningChild::State {
  pid_t child = -1;
  int input = -1;  // the pipe's writing end
  std::filesystem::path captured;
};

RunningChild::RunningChild(std::unique_ptr<State> state) : state_(std::move(state)) {}
RunningChild::RunningChild(RunningChild&&) noexcept = default;

RunningChild::~RunningChild() {
  if (!state_) return;
  if (state_->input >= 0) close(state_->input);
  if (state_->child > 0) {
    kill(state_->child, SIGKILL);
    int status = 0;
    waitpid(state_->child, &status, 0);
  }
  if (!state_->captured.empty()) std::filesystem::remove(state_->captured);
}

bool RunningChild::write_input(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(state_->input, text.data(), text.size());
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::optional<ProgramResult> RunningChild::wait_for(std::chrono::milliseconds patience) {
  if (state_->child <= 0) return std::nullopt;
  const auto deadline = std::chrono::steady_clock::now() + patience;
  int status = 0;
  while (waitpid(state_->child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  state_->child = -1;
  ProgramResult result = result_of(status, state_->captured);
  state_->captured.clear();
  return result;
}

RunningChild start_in_child(const std::function<void()>& body, const ChildStreams& streams) {
  auto state = std::make_unique<RunningChild::State>();
  int ends[2];
  if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
  // The test's end must not stay open in other children, or the pipe would never end.
  fcntl(ends[1], F_SETFD, FD_CLOEXEC);
  state->captured = capture_file(streams);
  state->child = fork();
  if (state->child < 0) throw std::runtime_error("fork failed");
  if (state->child == 0) {
    close(ends[1]);
    be_the_child(body, streams, state->captured, ends[0]);
  }
  close(ends[0]);
  state->input = ends[1];
  return RunningChild(std::move(state));
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

bool memory_limits_hold() { return true; }

}  // namespace test_support
