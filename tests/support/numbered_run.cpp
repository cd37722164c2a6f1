#include "support/numbered_run.hpp"

#include <gtest/gtest.h>

#include "kit/file_names.hpp"

namespace test_support {

RunLines run_on_numbered_clocks(kit::Instruments instruments, const NumberedDriver& driver) {
  use_utc();
  reset_numbered_clock(8 * 360000);
  reset_numbered_precise_clock();
  instruments.read_clock = read_numbered_clock;
  instruments.read_precise_clock = read_numbered_precise_clock;
  CapturedStdout console;
  driver(instruments, console);
  console.restore();
  const CrLfLines on_screen = split_crlf_lines(console.text());
  EXPECT_TRUE(on_screen.ok) << "console line " << on_screen.first_bad_line << " does not end with CR LF";
  const CrLfLines in_file = split_crlf_lines(read_file(kit::kResultsFileName));
  EXPECT_TRUE(in_file.ok) << "file line " << in_file.first_bad_line << " does not end with CR LF";
  return {.console = on_screen.lines, .file = in_file.lines};
}

}  // namespace test_support
