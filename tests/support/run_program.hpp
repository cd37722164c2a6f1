// Runs code in a child process, with standard streams of its own: a real
// program of the suite, the way a user would start it, or a piece of the
// test program that ends the process (a runtime error).
//
// POSIX systems fork, so the child goes on from the very call. Windows
// cannot: there the child is the test program started again, running only
// the current test, up to the same call, whose body it then runs. Earlier
// children of the test are not run again; the child's calls return their
// recorded results instead, so the test takes the same path. Whatever the
// test does before the call is done again, in the parent's scratch folder,
// so it should only prepare.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace test_support {

#ifdef _WIN32
inline constexpr const char* kNullDevice = "NUL";
#else
inline constexpr const char* kNullDevice = "/dev/null";
#endif

struct ProgramResult {
  int exit_status = -1;  // -1 when the child did not exit normally
  int signal = 0;        // the signal that ended it; on Windows the code of an exception that did
  std::string output;    // what it wrote to standard output, when captured
};

// The child's standard streams; files are named relative to the parent's
// current directory. A closed stream is closed in the child, so its number
// (its handle value, on Windows) is free for the next file the child opens.
struct ChildStreams {
  std::string standard_input = kNullDevice;    // a file (or folder) to read from
  bool close_standard_input = false;           // start with standard input closed
  std::string standard_output;                 // a file to write to; empty: captured
  bool close_standard_output = false;          // start with standard output closed
  bool output_to_pipe_without_reader = false;  // standard output is a pipe whose reader has gone
  std::string standard_error;                  // a file to write to; empty: the parent's
};

// Sets up the child's streams, runs `body` there and ends the child with
// status 0 if the body returns. The child starts in the parent's current
// directory. Returns how the child ended and what it printed.
ProgramResult run_in_child(const std::function<void()>& body, const ChildStreams& streams = {});

// A child that runs while the test goes on, its standard input a pipe that
// the test writes. A child still running when the object goes is killed.
class RunningChild {
 public:
  struct State;
  explicit RunningChild(std::unique_ptr<State> state);
  RunningChild(RunningChild&&) noexcept;
  ~RunningChild();

  // Writes all of `text` into the child's standard input; false if it could not.
  bool write_input(std::string_view text);
  // How the child ended, waiting at most `patience`; nothing while it still runs.
  std::optional<ProgramResult> wait_for(std::chrono::milliseconds patience);

 private:
  std::unique_ptr<State> state_;
};

// Starts `body` as run_in_child does, except that standard input is the pipe.
RunningChild start_in_child(const std::function<void()>& body, const ChildStreams& streams = {});

struct ProgramRun {
  std::filesystem::path program;
  std::filesystem::path directory;  // the child's current directory
  ChildStreams streams;
  // The most memory the child may have: its address space (RLIMIT_AS) on
  // POSIX systems, its committed memory (a job's limit) on Windows.
  std::optional<long> address_space_bytes;
  std::vector<std::pair<std::string, std::string>> environment;  // set in the child, beside the parent's
};

ProgramResult run_program(const ProgramRun& run);

// True when run_program can hold a program to a memory limit. Wine takes a
// job's limit without enforcing it; run_program refuses to start a program
// whose limit would not hold.
bool memory_limits_hold();

}  // namespace test_support
