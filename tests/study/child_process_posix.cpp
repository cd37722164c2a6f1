// Children through fork and exec.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>

#include "child_process.hpp"

namespace study_tests {
namespace {

// A pipe whose ends are closed on exec (plain POSIX: no pipe2).
void open_pipe(std::array<int, 2>& ends) {
  if (::pipe(ends.data()) != 0) throw std::runtime_error("pipe failed");
  for (const int end : ends) {
    if (::fcntl(end, F_SETFD, FD_CLOEXEC) != 0) throw std::runtime_error("fcntl failed");
  }
}

}  // namespace

struct ChildProcess::State {
  pid_t pid = -1;
  int output_fd = -1;
  int input_fd = -1;
};

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
                           bool hold_input_open)
    : state_(std::make_unique<State>()) {
  std::array<int, 2> output{};
  std::array<int, 2> input{-1, -1};
  open_pipe(output);
  if (hold_input_open) open_pipe(input);
  std::vector<std::string> copies = arguments;
  std::vector<char*> argv;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  state_->pid = ::fork();
  if (state_->pid < 0) throw std::runtime_error("fork failed");
  if (state_->pid == 0) {
    const int in = hold_input_open ? input[0] : ::open("/dev/null", O_RDONLY);
    if (::chdir(directory.c_str()) != 0 || ::dup2(in, 0) < 0 || ::dup2(output[1], 1) < 0 || ::dup2(output[1], 2) < 0) {
      ::_exit(126);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(output[1]);
  state_->output_fd = output[0];
  if (hold_input_open) {
    ::close(input[0]);
    state_->input_fd = input[1];
  }
}

ChildProcess::~ChildProcess() {
  if (state_->pid > 0) {
    ::kill(state_->pid, SIGKILL);
    finish();
  }
}

bool ChildProcess::read_some() {
  std::array<char, 4096> buffer{};
  while (true) {
    const ssize_t got = ::read(state_->output_fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    output_.append(buffer.data(), static_cast<std::size_t>(got));
    return true;
  }
}

void ChildProcess::press_ctrl_c() { ::kill(state_->pid, SIGINT); }

int ChildProcess::finish() {
  if (state_->pid < 0) return -1;
  while (read_some()) {
  }
  ::close(state_->output_fd);
  if (state_->input_fd >= 0) ::close(state_->input_fd);
  int status = 0;
  while (::waitpid(state_->pid, &status, 0) < 0 && errno == EINTR) {
  }
  state_->pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void end_from_outside(std::uint64_t process_id) {
  if (::kill(static_cast<pid_t>(process_id), SIGKILL) != 0) throw std::runtime_error("kill failed");
}

}  // namespace study_tests
