// Ctrl-C, Ctrl-Break and a closed console window through a console control
// handler, which Windows runs on a thread of its own: it counts each and
// sets an event that RunningProgram::next_event waits on beside the
// program's output.
#include "study/os/interrupts.hpp"

#include "study/os/tool_error.hpp"
#include "study/os/windows/layer.hpp"

namespace study::os {

namespace windows_layer {

std::atomic<HANDLE> interrupt_event{nullptr};
std::atomic<int> pending_interrupts{0};

}  // namespace windows_layer

namespace {

using windows_layer::interrupt_event;
using windows_layer::pending_interrupts;

BOOL WINAPI note_interrupt(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT) return FALSE;
  pending_interrupts.fetch_add(1);
  if (const HANDLE event = interrupt_event.load()) SetEvent(event);
  // Windows ends the tool as soon as the handler of a closed window returns:
  // waiting leaves it the few seconds Windows grants to stop the program and write its pages.
  if (type == CTRL_CLOSE_EVENT) Sleep(INFINITE);
  return TRUE;
}

}  // namespace

InterruptWatch::InterruptWatch() : state_(std::make_unique<State>()) {
  state_->event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (state_->event == nullptr) {
    throw ToolError("cannot watch for Ctrl-C: " + windows_layer::error_words(GetLastError()));
  }
  pending_interrupts.store(0);
  interrupt_event.store(state_->event);
  // Ctrl-C reaches the handler even where the tool inherited the flag to
  // ignore it, as a program in a process group of its own does.
  SetConsoleCtrlHandler(nullptr, FALSE);
  if (!SetConsoleCtrlHandler(note_interrupt, TRUE)) {
    const DWORD error = GetLastError();
    interrupt_event.store(nullptr);
    CloseHandle(state_->event);
    throw ToolError("cannot watch for Ctrl-C: " + windows_layer::error_words(error));
  }
}

InterruptWatch::~InterruptWatch() {
  SetConsoleCtrlHandler(note_interrupt, FALSE);
  interrupt_event.store(nullptr);
  CloseHandle(state_->event);
}

int InterruptWatch::take() {
  // Reset first: an interrupt that comes meanwhile sets the event again.
  ResetEvent(state_->event);
  const int taken = pending_interrupts.exchange(0);
  count_ += taken;
  return taken;
}

}  // namespace study::os
