// Console and file output, and the runtime-error rule every program shares.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "kit/program_storage.hpp"
#include "kit/runtime_error.hpp"
#include "kit/text_output.hpp"
#include "support/run_program.hpp"
#include "support/runtime_error_report.hpp"
#include "support/test_support.hpp"

namespace {

using test_support::read_file;
using test_support::ScratchDirectory;

std::string with_width(std::int64_t value, int width) {
  std::string line;
  kit::append_integer(line, value, width);
  return line;
}

TEST(AppendInteger, RightAlignsAndWritesLongNumbersInFull) {
  EXPECT_EQ(with_width(10000, 10), "     10000");
  EXPECT_EQ(with_width(50000000, 10), "  50000000");
  EXPECT_EQ(with_width(-42, 5), "  -42");
  EXPECT_EQ(with_width(12345678901, 10), "12345678901");
  std::string plain;
  kit::append_integer(plain, -2147483648LL);
  EXPECT_EQ(plain, "-2147483648");
}

TEST(TextFile, WritesOutWholeBlocksOfTwoHundredFiftySixBytesAndTheRestAtClose) {
  ScratchDirectory scratch;
  kit::TextFile file;
  file.create("blocks.out");
  file.write(std::string(255, 'a'));
  EXPECT_EQ(std::filesystem::file_size("blocks.out"), 0u);
  file.write("b");
  EXPECT_EQ(std::filesystem::file_size("blocks.out"), 256u);
  file.write_line("tail");
  file.write_integer(-17);
  file.end_line();
  EXPECT_EQ(std::filesystem::file_size("blocks.out"), 256u);
  file.close();
  EXPECT_EQ(read_file("blocks.out"), std::string(255, 'a') + "btail\r\n-17\r\n");
}

TEST(TextFile, CreatingTruncatesAnExistingFile) {
  ScratchDirectory scratch;
  kit::TextFile first;
  first.create("again.out");
  first.write_line("a much longer first content");
  first.close();
  kit::TextFile second;
  second.create("again.out");
  second.write_line("x");
  second.close();
  EXPECT_EQ(read_file("again.out"), "x\r\n");
}

TEST(Console, EndsEveryLineWithCrLf) {
  test_support::CapturedStdout captured;
  kit::Console console;
  console.write_line("1 2");
  console.write_line("");
  captured.restore();
  EXPECT_EQ(captured.text(), "1 2\r\n\r\n");
}

std::uint32_t site_a() { return kit::failure_site_code(kit::CallSite::current()); }
std::uint32_t site_b() { return kit::failure_site_code(kit::CallSite::current()); }

TEST(FailureSiteCode, IsStableForOneOperationAndDiffersBetweenOperations) {
  EXPECT_EQ(site_a(), site_a());
  EXPECT_NE(site_a(), site_b());
}

// Runs `action` in a child process whose standard output goes to a file, and
// returns what the child printed; the caller checks how the child ended.
class FailureReport : public ::testing::Test {
 protected:
  std::string report() const { return read_file(scratch_.path() / "report.txt"); }
  static void print_to_report() { test_support::send_standard_output_to("report.txt"); }
  ScratchDirectory scratch_;
};

TEST_F(FailureReport, NamesErrorSiteAndActiveRoutinesInnermostFirst) {
  std::filesystem::create_directory("vystup.out");
  EXPECT_EXIT(
      {
        print_to_report();
        kit::ActiveRoutine program("smallsix");
        kit::ActiveRoutine writer("ZAPIS_DO_SUB");
        kit::TextFile file;
        file.create("vystup.out");
      },
      ::testing::ExitedWithCode(5), "");
  EXPECT_TRUE(test_support::is_runtime_error_report(report(), 5, {"ZAPIS_DO_SUB", "smallsix"})) << report();
}

TEST_F(FailureReport, LosesWhatIsStillBufferedWhenTheRunStops) {
  EXPECT_EXIT(
      {
        print_to_report();
        kit::TextFile file;
        file.create("partial.out");
        file.write(std::string(300, 'x'));  // one block out, 44 bytes still buffered
        kit::stop_with_runtime_error(106, kit::CallSite::current());
      },
      ::testing::ExitedWithCode(106), "");
  EXPECT_EQ(std::filesystem::file_size("partial.out"), 256u);
  EXPECT_TRUE(report().starts_with("Runtime error 106 at $")) << report();
}

#ifndef _WIN32  // Windows has no device that is always full.
TEST_F(FailureReport, StopsOnAFullDeviceWithItsErrorNumber) {
  EXPECT_EXIT(
      {
        test_support::send_standard_output_to("/dev/full");
        kit::Console console;
        console.write_line("1");
      },
      ::testing::ExitedWithCode(28), "");
}
#endif

// POSIX systems would end the process with SIGPIPE unless the process is
// prepared; Windows fails the write with ERROR_NO_DATA. Either way: 32.
TEST_F(FailureReport, StopsWithErrorThirtyTwoWhenTheConsoleIsAPipeWhoseReaderHasGone) {
  test_support::ChildStreams streams;
  streams.output_to_pipe_without_reader = true;
  const auto result = test_support::run_in_child(
      [] {
        kit::prepare_process();
        kit::Console console;
        console.write_line("1");
      },
      streams);
  EXPECT_EQ(result.signal, 0);
  EXPECT_EQ(result.exit_status, 32);
}

TEST_F(FailureReport, ReportsRefusedMemoryAsErrorTwelve) {
  EXPECT_EXIT(
      {
        print_to_report();
        auto impossible = kit::ProgramArray<std::int32_t>::obtain(std::size_t{1} << 60);
        kit::keep_memory(impossible.data());
      },
      ::testing::ExitedWithCode(12), "");
  EXPECT_TRUE(report().starts_with("Runtime error 12 at $")) << report();
}

TEST_F(FailureReport, KeepsAClosedStandardOutputFromBeingReusedByAFile) {
  EXPECT_EXIT(
      {
        test_support::close_standard_output();
        kit::prepare_process();
        kit::TextFile file;
        file.create("vystup.out");
        file.write_line("table");
        kit::Console console;
        console.write_line("progress");  // fails: the stream is closed
      },
      ::testing::ExitedWithCode(9), "");
  EXPECT_EQ(std::filesystem::file_size("vystup.out"), 0u);
}

}  // namespace
