// What the tests of the tools' operating-system layer share: running a
// program of the layer to its end, or reading its output up to a marker.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "child_process.hpp"
#include "study/os/interrupts.hpp"
#include "study/os/program.hpp"

namespace os_layer_test {

// The names every test of the layer uses.
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using study::os::ProgramEnd;
using study::os::ProgramEvent;
using study::os::RunningProgram;
using study_tests::built;

inline constexpr std::string_view kLayer = STUDY_OS_LAYER;

// Reads until the program's output holds `marker` (or ends); false at the end.
inline bool read_until(study::os::RunningProgram& program, const study::os::InterruptWatch& interrupts,
                       std::string& output, std::string_view marker) {
  std::string bytes;
  while (output.find(marker) == std::string::npos) {
    const study::os::ProgramEvent event = program.next_event(interrupts, std::chrono::seconds(10), bytes);
    if (event == study::os::ProgramEvent::end_of_output) return false;
    if (event == study::os::ProgramEvent::output) output += bytes;
  }
  return true;
}

struct Finished {
  std::string output;
  study::os::ProgramEnd end;
};

inline Finished run_to_end(const study::os::ProgramStart& start) {
  study::os::InterruptWatch interrupts;
  study::os::RunningProgram program(start);
  Finished finished;
  read_until(program, interrupts, finished.output, std::string_view("\x01never\x01"));
  finished.end = program.wait();
  return finished;
}

}  // namespace os_layer_test
