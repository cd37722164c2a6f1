// Starting and watching a program: fork and exec, a pipe for its output,
// poll for that output and the interrupts. The pipe and the wait are the
// layers' own (linux/process.cpp, posix/process.cpp).
#include "study/os/program.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "study/os/posix_common/layer.hpp"
#include "study/os/tool_error.hpp"

extern "C" {
extern char** environ;
}

namespace study::os {
namespace {

[[noreturn]] void fail(std::string_view what, int error_number) {
  throw ToolError("cannot " + std::string(what) + " the program: " + error_text(error_number));
}

// The tool's own environment with `settings` ("NAME=value") in place of
// any entries of the same names.
std::vector<std::string> child_environment(const std::vector<std::string>& settings) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    bool replaced = false;
    for (const std::string& setting : settings) {
      const std::size_t name = setting.find('=') + 1;
      replaced = replaced || text.substr(0, name) == std::string_view(setting).substr(0, name);
    }
    if (!replaced) entries.emplace_back(text);
  }
  entries.insert(entries.end(), settings.begin(), settings.end());
  return entries;
}

// In the child: its own process group (so the tool can stop it with all it
// started), the folder, an empty standard input, both output streams into
// the pipe. Only async-signal-safe calls between fork and exec.
[[noreturn]] void become_program(const char* executable, const char* folder, int output, char* const* arguments,
                                 char* const* environment) {
  ::setpgid(0, 0);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(sig, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  const int input = ::open("/dev/null", O_RDONLY);
  const auto say = [output](const char* text) {
    [[maybe_unused]] const ssize_t ignored = ::write(output, text, std::strlen(text));
  };
  if ((*folder != '\0' && ::chdir(folder) != 0) || input < 0 || ::dup2(input, STDIN_FILENO) < 0 ||
      ::dup2(output, STDOUT_FILENO) < 0 || ::dup2(output, STDERR_FILENO) < 0) {
    say("study: cannot prepare the program's folder or streams\r\n");
    ::_exit(127);
  }
  ::execve(executable, arguments, environment);
  say("study: cannot start ");
  say(executable);
  say(": ");
  say(std::strerror(errno));
  say("\r\n");
  ::_exit(127);
}

}  // namespace

std::filesystem::path program_file(const std::filesystem::path& folder, std::string_view name) { return folder / name; }

bool can_start(const std::filesystem::path& path) { return ::access(path.c_str(), X_OK) == 0; }

struct RunningProgram::State {
  pid_t child = -1;  // until it has been waited for
  int output = -1;   // the read end of its output pipe, until the end of its output
  std::array<char, 1 << 16> buffer{};

  void close_output() {
    if (output >= 0) ::close(output);
    output = -1;
  }
};

RunningProgram::RunningProgram(const ProgramStart& start) : state_(std::make_unique<State>()) {
  std::vector<std::string> entries = child_environment(start.environment);
  std::vector<char*> environment;
  for (std::string& entry : entries) environment.push_back(entry.data());
  environment.push_back(nullptr);
  std::string executable = start.executable.string();
  std::vector<std::string> words = start.arguments;
  std::vector<char*> arguments{executable.data()};
  for (std::string& word : words) arguments.push_back(word.data());
  arguments.push_back(nullptr);
  const std::string folder = start.folder.string();

  std::array<int, 2> pipe_ends{};
  if (!unix_layer::open_pipe(pipe_ends, false)) fail("start", errno);
  const pid_t child = ::fork();
  if (child < 0) {
    const int error_number = errno;
    ::close(pipe_ends[0]);
    ::close(pipe_ends[1]);
    fail("start", error_number);
  }
  if (child == 0) {
    ::close(pipe_ends[0]);
    become_program(executable.c_str(), folder.c_str(), pipe_ends[1], arguments.data(), environment.data());
  }
  ::setpgid(child, child);  // also in the parent, so a signal sent at once finds the group
  ::close(pipe_ends[1]);
  state_->child = child;
  state_->output = pipe_ends[0];
}

RunningProgram::~RunningProgram() {
  state_->close_output();
  if (state_->child <= 0) return;
  ::kill(-state_->child, SIGKILL);
  while (::waitpid(state_->child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

ProgramEvent RunningProgram::next_event(const InterruptWatch& interrupts,
                                        std::optional<std::chrono::milliseconds> quiet_for, std::string& output) {
  output.clear();
  if (state_->output < 0) return ProgramEvent::end_of_output;
  const int timeout = quiet_for ? static_cast<int>(quiet_for->count()) : -1;
  while (true) {
    std::array<pollfd, 2> waits{{{state_->output, POLLIN, 0}, {interrupts.state_->read_end, POLLIN, 0}}};
    const int ready = ::poll(waits.data(), waits.size(), timeout);
    if (ready < 0) {
      if (errno == EINTR) continue;
      fail("watch", errno);
    }
    if (waits[1].revents != 0) return ProgramEvent::interrupt;
    if (ready == 0) return ProgramEvent::quiet;
    if (waits[0].revents == 0) continue;
    const ssize_t got = ::read(state_->output, state_->buffer.data(), state_->buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      fail("read the output of", errno);
    }
    if (got == 0) {
      state_->close_output();
      return ProgramEvent::end_of_output;
    }
    output.assign(state_->buffer.data(), static_cast<std::size_t>(got));
    return ProgramEvent::output;
  }
}

void RunningProgram::interrupt() {
  if (state_->child > 0) ::kill(-state_->child, SIGINT);
}

void RunningProgram::kill() {
  if (state_->child > 0) ::kill(-state_->child, SIGKILL);
}

ProgramEnd RunningProgram::wait() {
  state_->close_output();
  unix_layer::ChildEnd end;
  if (!unix_layer::wait_for_child(state_->child, end)) fail("wait for", errno);
  state_->child = -1;
  ProgramEnd result;
  result.peak_resident_bytes = end.peak_resident_bytes;
  if (WIFEXITED(end.status)) {
    result.exited = true;
    result.exit_status = WEXITSTATUS(end.status);
  } else if (WIFSIGNALED(end.status)) {
    result.signal = WTERMSIG(end.status);
    result.cause = "signal " + std::to_string(result.signal);
    result.cause_name = ::strsignal(result.signal);
  }
  return result;
}

std::string_view unknown_peak_reason() {
  return "this system reports only the largest peak of all the programs run so far, and this program's was not "
         "larger.";
}

}  // namespace study::os
