#include "support/run_in_child.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "support/test_support.hpp"

namespace test_support {

ProgramResult run_in_child(const std::function<void()>& body, const ChildRun& run) {
  const bool capture = run.standard_output.empty();
  std::filesystem::path captured;
  if (capture) {
    std::string pattern = (std::filesystem::temp_directory_path() / "sortbench-child-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("mkstemp failed");
    close(fd);
    captured = pattern;
  }
  const std::string output_path = capture ? captured.string() : run.standard_output;

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    if (run.close_standard_input) {
      close(STDIN_FILENO);
    } else {
      const int in = open(run.standard_input.c_str(), O_RDONLY);
      if (in < 0 || dup2(in, STDIN_FILENO) < 0) _exit(126);
      close(in);
    }
    const int out = open(output_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || dup2(out, STDOUT_FILENO) < 0) _exit(126);
    close(out);
    body();
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  ProgramResult result;
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  if (capture) {
    result.output = read_file(captured);
    std::filesystem::remove(captured);
  }
  return result;
}

}  // namespace test_support
