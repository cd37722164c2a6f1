#include "study/study_runner.hpp"

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

#include "kit/runtime_error.hpp"
#include "kit/text_output.hpp"

namespace study {
namespace {

constexpr std::size_t kLongestKeptLine = 4096;

bool all_digits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

int interrupt_write_end = -1;

extern "C" void note_interrupt(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(interrupt_write_end, &byte, 1);
  errno = saved;
}

double now_seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// In the child: its own process group (so the study can stop it with all it
// started), the folder, an empty standard input, both output streams into
// the pipe. Only async-signal-safe calls between fork and exec.
[[noreturn]] void become_program(const char* executable, const char* folder, int output) {
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
  ::execl(executable, executable, static_cast<char*>(nullptr));
  say("study: cannot start ");
  say(executable);
  say(": ");
  say(std::strerror(errno));
  say("\r\n");
  ::_exit(127);
}

}  // namespace

void ProgressTracker::feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    if (lf == std::string_view::npos) {
      partial_.append(bytes.substr(0, kLongestKeptLine - std::min(partial_.size(), kLongestKeptLine)));
      return;
    }
    partial_.append(bytes.substr(0, std::min(lf, kLongestKeptLine - std::min(partial_.size(), kLongestKeptLine))));
    std::string_view text = partial_;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    line(text);
    partial_.clear();
    bytes.remove_prefix(lf + 1);
  }
}

void ProgressTracker::line(std::string_view text) {
  if (text.starts_with("Runtime error ")) {
    if (runtime_error_.empty()) runtime_error_ = text;
    return;
  }
  switch (kind_) {
    case ProgressKind::length_index:
      if (all_digits(text)) ++steps_;
      break;
    case ProgressKind::report_block:
      if (text.starts_with("Cas Countingsortu: ")) ++steps_;
      break;
    case ProgressKind::grid_cell: {
      const std::size_t space = text.find(' ');
      if (space != std::string_view::npos && all_digits(text.substr(0, space)) && all_digits(text.substr(space + 1))) {
        ++steps_;
      }
      break;
    }
  }
}

InterruptWatch::InterruptWatch() {
  std::array<int, 2> ends{};
  if (::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
    kit::stop_with_runtime_error(kit::runtime_error_number(errno), kit::CallSite::current());
  }
  read_end_ = ends[0];
  interrupt_write_end = ends[1];
  struct sigaction action {};
  action.sa_handler = note_interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

InterruptWatch::~InterruptWatch() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::signal(sig, SIG_DFL);
  ::close(read_end_);
  ::close(interrupt_write_end);
  interrupt_write_end = -1;
}

int InterruptWatch::take() {
  int taken = 0;
  std::array<char, 64> bytes{};
  ssize_t got = 0;
  while ((got = ::read(read_end_, bytes.data(), bytes.size())) > 0) taken += static_cast<int>(got);
  count_ += taken;
  return taken;
}

RunOutcome run_suite_program(const std::filesystem::path& executable, const SuiteProgram& program,
                             const std::filesystem::path& folder, InterruptWatch& interrupts,
                             const ProgressReport& report, bool tick_seconds) {
  kit::ActiveRoutine routine("run_suite_program");
  RunOutcome outcome;
  kit::TextFile console;
  console.create((folder / "console.txt").c_str());

  std::array<int, 2> pipe_ends{};
  if (::pipe2(pipe_ends.data(), O_CLOEXEC) != 0) {
    kit::stop_with_runtime_error(kit::runtime_error_number(errno), kit::CallSite::current());
  }
  const std::string executable_text = executable.string();
  const std::string folder_text = folder.string();
  const double start = now_seconds();
  const pid_t child = ::fork();
  if (child < 0) kit::stop_with_runtime_error(kit::runtime_error_number(errno), kit::CallSite::current());
  if (child == 0) {
    ::close(pipe_ends[0]);
    become_program(executable_text.c_str(), folder_text.c_str(), pipe_ends[1]);
  }
  ::setpgid(child, child);  // also in the parent, so a signal sent at once finds the group
  ::close(pipe_ends[1]);
  outcome.started = true;

  ProgressTracker tracker(program.progress);
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
      kit::stop_with_runtime_error(kit::runtime_error_number(errno), kit::CallSite::current());
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
      kit::stop_with_runtime_error(kit::runtime_error_number(errno), kit::CallSite::current());
    }
    if (got == 0) break;  // the program and everything it started have closed their output
    const std::string_view bytes(buffer.data(), static_cast<std::size_t>(got));
    console.write(bytes);
    const int before = tracker.steps();
    tracker.feed(bytes);
    if (tracker.steps() != before) report(tracker.steps(), now_seconds() - start);
  }
  ::close(pipe_ends[0]);
  console.close();

  int status = 0;
  rusage usage{};
  while (::wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) kit::stop_with_runtime_error(kit::runtime_error_number(errno), kit::CallSite::current());
  }
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
