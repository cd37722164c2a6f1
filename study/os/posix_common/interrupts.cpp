// SIGINT, SIGTERM and SIGHUP recorded through a pipe: the handler writes a
// byte per signal, RunningProgram::next_event polls the read end beside
// the program's output.
#include "study/os/interrupts.hpp"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "study/os/posix_common/layer.hpp"
#include "study/os/tool_error.hpp"

namespace study::os {
namespace {

int interrupt_write_end = -1;

extern "C" void note_interrupt(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(interrupt_write_end, &byte, 1);
  errno = saved;
}

}  // namespace

InterruptWatch::InterruptWatch() : state_(std::make_unique<State>()) {
  std::array<int, 2> ends{};
  if (!unix_layer::open_pipe(ends, true)) throw ToolError("cannot watch for Ctrl-C: " + error_text(errno));
  state_->read_end = ends[0];
  interrupt_write_end = ends[1];
  struct sigaction action {};
  action.sa_handler = note_interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

InterruptWatch::~InterruptWatch() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) ::signal(sig, SIG_DFL);
  ::close(state_->read_end);
  ::close(interrupt_write_end);
  interrupt_write_end = -1;
}

int InterruptWatch::take() {
  int taken = 0;
  std::array<char, 64> bytes{};
  ssize_t got = 0;
  while ((got = ::read(state_->read_end, bytes.data(), bytes.size())) > 0) taken += static_cast<int>(got);
  count_ += taken;
  return taken;
}

}  // namespace study::os
