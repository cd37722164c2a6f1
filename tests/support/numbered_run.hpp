// A driver of the grid programs run in the test process as the tests of
// tallygrid, cutoffwide and cutoffnarrow run it: in UTC on the numbered
// clocks, its console captured, and what it printed and wrote read back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kit/instruments.hpp"
#include "support/test_support.hpp"

namespace test_support {

// The lines of a run, on the console and in "vystup.out".
struct RunLines {
  std::vector<std::string> console;
  std::vector<std::string> file;
};

// Calls `driver` in the current folder with `instruments` on the numbered
// clocks, both started anew, the wall clock at 08:00. The driver gets the
// capture of standard output too, which recording kernels may read while it
// runs. Every line printed and written must end with CR LF: a test failure
// names the first that does not.
using NumberedDriver = std::function<void(const kit::Instruments&, const CapturedStdout&)>;
RunLines run_on_numbered_clocks(kit::Instruments instruments, const NumberedDriver& driver);

// Set by a recording kernel that finds "vystup.out" written already: the
// file must stay empty until the last cell is measured.
struct ResultsFileWatch {
  bool written_early = false;
  void note_kernel_call() {
    if (!results_file_is_empty()) written_early = true;
  }
};

}  // namespace test_support
