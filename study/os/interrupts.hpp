// The user's interrupts while a tool runs: Ctrl-C, and the requests to end
// that a terminal or the system sends (on Unix SIGINT, SIGTERM and SIGHUP;
// on Windows Ctrl-C, Ctrl-Break and the console window's closing). None
// ends the tool: each is counted, and a RunningProgram's wait wakes on it.
#pragma once

#include <memory>

namespace study::os {

class RunningProgram;

class InterruptWatch {
 public:
  // Throws ToolError "cannot watch for Ctrl-C: REASON".
  InterruptWatch();
  // The interrupts end the tool again, as they did before.
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // Takes the interrupts that arrived since the last call; returns how many.
  int take();
  bool interrupted() const { return count_ > 0; }
  int count() const { return count_; }

  // Only the layer looks inside.
  struct State;

 private:
  friend class RunningProgram;
  std::unique_ptr<State> state_;
  int count_ = 0;
};

}  // namespace study::os
