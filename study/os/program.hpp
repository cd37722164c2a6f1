// Starting a program of the suite and watching it: its output as it comes,
// the interrupts of the user meanwhile, and how it ended.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "study/os/interrupts.hpp"

namespace study::os {

// The file of the program `name` in `folder`, as the system names programs.
std::filesystem::path program_file(const std::filesystem::path& folder, std::string_view name);

// `path` is a program this process may start.
bool can_start(const std::filesystem::path& path);

struct ProgramStart {
  std::filesystem::path executable;
  std::vector<std::string> arguments;    // after the program's own name
  std::vector<std::string> environment;  // "NAME=value", in place of the tool's own entries of those names
  std::filesystem::path folder;          // its working folder; empty: the tool's own
};

struct ProgramEnd {
  bool exited = false;  // it ended by exiting: exit_status holds its status
  int exit_status = -1;
  // Else what ended it, in the system's terms: on Unix a signal (`signal`
  // 9, `cause` "signal 9", `cause_name` "Killed"); on Windows, which has
  // none, the status of a crash or of a forced end ("exception 0xC0000005",
  // "access violation").
  int signal = 0;
  std::string cause;
  std::string cause_name;
  // The most memory it held resident at once: on Unix with whatever it
  // started and waited for, on Windows its own peak working set. Absent
  // when the system cannot tell, as unknown_peak_reason() says why.
  std::optional<std::int64_t> peak_resident_bytes;
};

// Why ProgramEnd::peak_resident_bytes can be absent on this system, to
// close the sentence "peak memory unknown: ...".
std::string_view unknown_peak_reason();

// What ended a wait for the program.
enum class ProgramEvent {
  output,         // it wrote: the bytes are in the caller's string
  interrupt,      // the InterruptWatch noted an interrupt
  quiet,          // the time given passed without either
  end_of_output,  // it and all it started have closed their output
};

// A program running with an empty standard input and its standard output
// and error in one stream that the caller reads as it comes. It runs in a
// group of its own, so interrupt() and kill() reach all it started.
class RunningProgram {
 public:
  // Throws ToolError "cannot start the program: REASON" when it cannot be
  // started at all. A program that cannot be executed says why in its
  // output and exits with status 127.
  explicit RunningProgram(const ProgramStart& start);
  // A program still running is killed with all it started and waited for.
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  // Waits until the program writes (`output` then holds the bytes that
  // came), `interrupts` notes an interrupt, or `quiet_for` passes when it is
  // given. Throws ToolError "cannot watch the program: ..." or "cannot read
  // the output of the program: ...".
  ProgramEvent next_event(const InterruptWatch& interrupts, std::optional<std::chrono::milliseconds> quiet_for,
                          std::string& output);

  // Asks it and all it started to stop, as Ctrl-C in a terminal would
  // (Ctrl-Break on Windows). Where it cannot be asked (Windows without a
  // console, as under Wine) it is ended as Ctrl-Break would end it.
  void interrupt();
  // Ends it and all it started at once.
  void kill();

  // Waits for it to end, after the end of its output. Throws ToolError
  // "cannot wait for the program: ...".
  ProgramEnd wait();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace study::os
