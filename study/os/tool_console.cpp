#include "study/os/tool_console.hpp"

#include <cstdio>

#include "study/os/console.hpp"

namespace study {

void prepare_tool_process() { os::prepare_console(); }

void say(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void complain(std::string_view text) {
  std::fflush(stdout);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace study
