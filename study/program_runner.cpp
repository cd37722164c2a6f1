#include "study/program_runner.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

#include "study/progress_tracker.hpp"
#include "study/tool_error.hpp"

namespace study {
namespace {

double now_seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// In the child: its own process group (so the study can stop it with all it
// started), the folder, an empty standard input, both output streams into
// the pipe. Only async-signal-safe calls between fork and exec.
[[noreturn]] void become_program(const char* executable, const char* folder, int output, char* const* environment) {
  ::setpgid(0, 0);
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::signal(sig, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  const int input = ::open("/dev/null", O_RDONLY);
  const auto say = [output](const char* text) {
    [[maybe_unused]] const ssize_t ignored = ::write(output, text, std::strlen(text));
  };
  if (::chdir(folder) != 0 || input < 0 || ::dup2(input, STDIN_FILENO) < 0 || ::dup2(output, STDOUT_FILENO) < 0 ||
      ::dup2(output, STDERR_FILENO) < 0) {
    say("study: cannot prepare the program's folder or streams\r\n");
    ::_exit(127);
  }
  char* const arguments[] = {const_cast<char*>(executable), nullptr};
  ::execve(executable, arguments, environment);
  say("study: cannot start ");
  say(executable);
  say(": ");
  say(std::strerror(errno));
  say("\r\n");
  ::_exit(127);
}

// console.txt, written as the bytes arrive. A failure to write it is noted
// once and ends the copy; the program is not disturbed by it.
class ConsoleCopy {
 public:
  explicit ConsoleCopy(std::filesystem::path path) : path_(std::move(path)) {
    descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0) note_failure(errno);
  }
  ~ConsoleCopy() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  ConsoleCopy(const ConsoleCopy&) = delete;
  ConsoleCopy& operator=(const ConsoleCopy&) = delete;

  void write(std::string_view bytes) {
    while (descriptor_ >= 0 && !bytes.empty()) {
      const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written < 0) {
        note_failure(errno);
        return;
      }
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
  }

  // The failure, if any; closes the file.
  std::string finish() {
    if (descriptor_ >= 0 && ::close(descriptor_) != 0) note_failure(errno);
    descriptor_ = -1;
    return failure_;
  }

 private:
  void note_failure(int error_number) {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (failure_.empty()) failure_ = "cannot write " + path_.string() + ": " + error_text(error_number);
  }

  std::filesystem::path path_;
  int descriptor_ = -1;
  std::string failure_;
};

// Stops a program that is left running when the study cannot go on watching it.
class ChildGuard {
 public:
  explicit ChildGuard(pid_t child) : child_(child) {}
  ~ChildGuard() {
    if (child_ <= 0) return;
    ::kill(-child_, SIGKILL);
    while (::waitpid(child_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  ChildGuard(const ChildGuard&) = delete;
  ChildGuard& operator=(const ChildGuard&) = delete;
  void release() { child_ = -1; }

 private:
  pid_t child_;
};

// The study's own environment with `settings` ("NAME=value") in place of
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

[[noreturn]] void fail_watching(std::string_view what, int error_number) {
  throw ToolError("cannot " + std::string(what) + " the program: " + error_text(error_number));
}

}  // namespace

RunOutcome run_suite_program(const std::filesystem::path& executable, const SuiteProgram& program,
                             const std::filesystem::path& folder, InterruptWatch& interrupts,
                             const ProgressReport& report, bool tick_seconds,
                             const std::vector<std::string>& environment) {
  RunOutcome outcome;
  std::vector<std::string> entries = child_environment(environment);
  std::vector<char*> child_entries;
  for (std::string& entry : entries) child_entries.push_back(entry.data());
  child_entries.push_back(nullptr);
  ConsoleCopy console(folder / "console.txt");

  std::array<int, 2> pipe_ends{};
  if (::pipe2(pipe_ends.data(), O_CLOEXEC) != 0) fail_watching("start", errno);
  const std::string executable_text = executable.string();
  const std::string folder_text = folder.string();
  const double start = now_seconds();
  const pid_t child = ::fork();
  if (child < 0) {
    const int error_number = errno;
    ::close(pipe_ends[0]);
    ::close(pipe_ends[1]);
    fail_watching("start", error_number);
  }
  if (child == 0) {
    ::close(pipe_ends[0]);
    become_program(executable_text.c_str(), folder_text.c_str(), pipe_ends[1], child_entries.data());
  }
  ::setpgid(child, child);  // also in the parent, so a signal sent at once finds the group
  ::close(pipe_ends[1]);
  ChildGuard guard(child);
  const auto give_up = [&](std::string_view what) {
    const int error_number = errno;
    ::close(pipe_ends[0]);
    fail_watching(what, error_number);
  };

  ProgressTracker tracker(program.progress_kind());
  std::array<char, 1 << 16> buffer{};
  int sent_signals = 0;
  const auto forward_interrupt = [&] {
    // The first Ctrl-C asks the program to stop, a second one insists.
    if (interrupts.take() == 0) return;
    outcome.interrupted = true;
    while (sent_signals < interrupts.count() && sent_signals < 2) {
      ::kill(-child, sent_signals == 0 ? SIGINT : SIGKILL);
      ++sent_signals;
    }
  };
  forward_interrupt();
  report(0, 0);
  while (true) {
    std::array<pollfd, 2> waits{{{pipe_ends[0], POLLIN, 0}, {interrupts.descriptor(), POLLIN, 0}}};
    const int ready = ::poll(waits.data(), waits.size(), tick_seconds ? 1000 : -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      give_up("watch");
    }
    if (waits[1].revents != 0) forward_interrupt();
    if (ready == 0) {
      report(tracker.steps(), now_seconds() - start);
      continue;
    }
    if (waits[0].revents == 0) continue;
    const ssize_t got = ::read(pipe_ends[0], buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      give_up("read the output of");
    }
    if (got == 0) break;  // the program and everything it started have closed their output
    const std::string_view bytes(buffer.data(), static_cast<std::size_t>(got));
    console.write(bytes);
    const int before = tracker.steps();
    tracker.feed(bytes);
    if (tracker.steps() != before) report(tracker.steps(), now_seconds() - start);
  }
  ::close(pipe_ends[0]);
  outcome.console_failure = console.finish();

  int status = 0;
  rusage usage{};
  while (::wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) fail_watching("wait for", errno);
  }
  guard.release();
  forward_interrupt();
  outcome.wall_seconds = now_seconds() - start;
  outcome.peak_resident_bytes = static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
  if (WIFEXITED(status)) {
    outcome.exited = true;
    outcome.exit_status = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    outcome.signal = WTERMSIG(status);
  }
  outcome.steps = tracker.steps();
  outcome.runtime_error = tracker.runtime_error();
  return outcome;
}

}  // namespace study
