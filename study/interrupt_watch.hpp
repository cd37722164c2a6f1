// Ctrl-C, SIGTERM and SIGHUP while the study runs: recorded through a pipe
// that the run loop waits on together with the program's output.
#pragma once

namespace study {

class InterruptWatch {
 public:
  // Throws ToolError when the pipe cannot be made.
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  int descriptor() const { return read_end_; }
  // Takes the signals that arrived since the last call; returns how many.
  int take();
  bool interrupted() const { return count_ > 0; }
  int count() const { return count_; }

 private:
  int read_end_ = -1;
  int count_ = 0;
};

}  // namespace study
