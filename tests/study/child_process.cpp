#include "child_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>

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

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
                           bool hold_input_open) {
  std::array<int, 2> output{};
  std::array<int, 2> input{-1, -1};
  open_pipe(output);
  if (hold_input_open) open_pipe(input);
  std::vector<std::string> copies = arguments;
  std::vector<char*> argv;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    const int in = hold_input_open ? input[0] : ::open("/dev/null", O_RDONLY);
    if (::chdir(directory.c_str()) != 0 || ::dup2(in, 0) < 0 || ::dup2(output[1], 1) < 0 || ::dup2(output[1], 2) < 0) {
      ::_exit(126);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(output[1]);
  output_fd_ = output[0];
  if (hold_input_open) {
    ::close(input[0]);
    input_fd_ = input[1];
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    finish();
  }
}

bool ChildProcess::read_some() {
  std::array<char, 4096> buffer{};
  while (true) {
    const ssize_t got = ::read(output_fd_, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    output_.append(buffer.data(), static_cast<std::size_t>(got));
    return true;
  }
}

bool ChildProcess::read_until(std::string_view marker) {
  while (output_.find(marker) == std::string::npos) {
    if (!read_some()) return false;
  }
  return true;
}

void ChildProcess::send_signal(int signal) { ::kill(pid_, signal); }

int ChildProcess::finish() {
  if (pid_ < 0) return -1;
  while (read_some()) {
  }
  ::close(output_fd_);
  if (input_fd_ >= 0) ::close(input_fd_);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int run_tool(const std::vector<std::string>& arguments, const std::filesystem::path& directory, std::string& output) {
  ChildProcess child(arguments, directory);
  const int status = child.finish();
  output = child.output();
  return status;
}

}  // namespace study_tests
