// The tools' operating-system layer (study/os/) on POSIX systems: how a
// program ended and its peak memory, or honestly none; signals; the
// executable's folder from argv[0]; the memory limits and the words that
// name them; the machine's description and its processors' times; the
// console. Built and run with either Unix layer (SORTBENCH_OS_LAYER); where
// the two differ, each is held to its own word.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>

#include "child_process.hpp"
#include "os_layer_test.hpp"
#include "study/os/console.hpp"
#include "study/os/executable_folder.hpp"
#include "study/os/files.hpp"
#include "study/os/interrupts.hpp"
#include "study/os/machine.hpp"
#include "study/os/machine_state.hpp"
#include "study/os/memory.hpp"
#include "study/os/program.hpp"
#include "study/os/tool_error.hpp"
#include "support/run_program.hpp"
#include "support/test_support.hpp"

namespace {

using namespace os_layer_test;

const bool kLinuxLayer = kLayer == "linux";

study::os::ProgramStart shell(const std::string& script, const fs::path& folder = {}) {
  return {"/bin/sh", {"-c", script}, {}, folder};
}

TEST(OsProgram, TakesArgumentsEnvironmentAndFolderAndReportsTheExitStatus) {
  test_support::ScratchDirectory scratch;
  const fs::path folder = scratch.path() / "work";
  fs::create_directory(folder);
  study::os::ProgramStart start = shell("printf '%s|%s|%s|' \"$1\" \"$STUDY_OS_TEST\" \"$(pwd -P)\"; exit 3", folder);
  start.arguments.push_back("sh");
  start.arguments.push_back("two words");
  ::setenv("STUDY_OS_TEST", "the tool's own", 1);
  start.environment = {"STUDY_OS_TEST=the program's"};
  const Finished finished = run_to_end(start);
  ::unsetenv("STUDY_OS_TEST");
  EXPECT_EQ(finished.output, "two words|the program's|" + fs::canonical(folder).string() + "|");
  EXPECT_TRUE(finished.end.exited);
  EXPECT_EQ(finished.end.exit_status, 3);
  EXPECT_EQ(finished.end.signal, 0);
}

TEST(OsProgram, GivesAnEmptyStandardInputAndJoinsBothOutputStreams) {
  const Finished finished = run_to_end(shell("cat; echo out; echo err >&2"));
  EXPECT_EQ(finished.output, "out\nerr\n");
  EXPECT_EQ(finished.end.exit_status, 0);
}

TEST(OsProgram, NamesTheSignalThatEndedIt) {
  const Finished finished = run_to_end(shell("kill -KILL $$"));
  EXPECT_FALSE(finished.end.exited);
  EXPECT_EQ(finished.end.signal, SIGKILL);
  EXPECT_EQ(finished.end.cause, "signal 9");
  EXPECT_EQ(finished.end.cause_name, ::strsignal(SIGKILL));
}

TEST(OsProgram, AProgramThatCannotBeExecutedSaysWhyAndExits127) {
  const Finished finished = run_to_end({"/nonexistent/program", {}, {}, {}});
  EXPECT_EQ(finished.output,
            "study: cannot start /nonexistent/program: " + std::string(std::strerror(ENOENT)) + "\r\n");
  EXPECT_EQ(finished.end.exit_status, 127);
}

// The largest peak of the children this process has waited for so far.
std::int64_t largest_child_peak() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
#if defined(__APPLE__)
  return static_cast<std::int64_t>(usage.ru_maxrss);
#else
  return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
#endif
}

TEST(OsProgram, TellsThePeakMemoryOrSaysItCannot) {
  // Larger than any child before it, so both layers can tell it.
  const std::int64_t held = std::max<std::int64_t>(128 << 20, largest_child_peak() + (64 << 20));
  const Finished large = run_to_end({built(OS_PROBE_PATH), {"memory", std::to_string(held >> 20)}, {}, {}});
  ASSERT_EQ(large.end.exit_status, 0) << large.output;
  ASSERT_TRUE(large.end.peak_resident_bytes.has_value());
  EXPECT_GE(*large.end.peak_resident_bytes, held);
  EXPECT_LT(*large.end.peak_resident_bytes, 4 * held);

  const Finished small = run_to_end(shell("true"));
  ASSERT_EQ(small.end.exit_status, 0);
  if (kLinuxLayer) {
    // wait4 reports this child's own peak.
    ASSERT_TRUE(small.end.peak_resident_bytes.has_value());
    EXPECT_GT(*small.end.peak_resident_bytes, 0);
    EXPECT_LT(*small.end.peak_resident_bytes, held);
  } else {
    // getrusage(RUSAGE_CHILDREN) still holds the large one's peak: this one's is unknown.
    EXPECT_FALSE(small.end.peak_resident_bytes.has_value()) << *small.end.peak_resident_bytes;
  }
}

TEST(OsProgram, AProgramLeftRunningIsKilledWithAllItStarted) {
  test_support::ScratchDirectory scratch;
  {
    study::os::InterruptWatch interrupts;
    RunningProgram program(shell("sleep 30 & echo $! > grandchild; echo ready; wait", scratch.path()));
    std::string output;
    ASSERT_TRUE(read_until(program, interrupts, output, "ready"));
  }
  pid_t grandchild = 0;
  std::ifstream(scratch.path() / "grandchild") >> grandchild;
  ASSERT_GT(grandchild, 0);
  // The group was killed: the sleep is gone, or a zombie for its new parent to reap.
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (::kill(grandchild, 0) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::ifstream stat("/proc/" + std::to_string(grandchild) + "/stat");
    std::string pid, name, state;
    if (stat >> pid >> name >> state && state == "Z") break;
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_LT(std::chrono::steady_clock::now(), deadline);
}

TEST(OsInterrupts, CtrlCIsCountedAndInterruptStopsTheProgram) {
  study::os::InterruptWatch interrupts;
  RunningProgram program(shell("echo ready; exec sleep 30"));
  std::string output, bytes;
  ASSERT_TRUE(read_until(program, interrupts, output, "ready"));
  EXPECT_EQ(program.next_event(interrupts, 50ms, bytes), ProgramEvent::quiet);
  ASSERT_EQ(::raise(SIGINT), 0);  // the tool's own Ctrl-C: counted, not fatal
  EXPECT_EQ(program.next_event(interrupts, 10s, bytes), ProgramEvent::interrupt);
  EXPECT_EQ(interrupts.take(), 1);
  EXPECT_TRUE(interrupts.interrupted());
  program.interrupt();
  EXPECT_EQ(program.next_event(interrupts, 10s, bytes), ProgramEvent::end_of_output);
  const ProgramEnd end = program.wait();
  EXPECT_FALSE(end.exited);
  EXPECT_EQ(end.signal, SIGINT);
}

TEST(OsInterrupts, KillEndsAProgramThatIgnoresTheInterrupt) {
  study::os::InterruptWatch interrupts;
  RunningProgram program(shell("trap '' INT; echo ready; exec sleep 30"));
  std::string output, bytes;
  ASSERT_TRUE(read_until(program, interrupts, output, "ready"));
  program.interrupt();
  EXPECT_EQ(program.next_event(interrupts, 300ms, bytes), ProgramEvent::quiet);
  ::raise(SIGTERM);
  ::raise(SIGHUP);
  EXPECT_EQ(program.next_event(interrupts, 10s, bytes), ProgramEvent::interrupt);
  EXPECT_EQ(interrupts.take(), 2);
  EXPECT_EQ(interrupts.count(), 2);
  program.kill();
  EXPECT_EQ(program.next_event(interrupts, 10s, bytes), ProgramEvent::end_of_output);
  EXPECT_EQ(program.wait().signal, SIGKILL);
}

// The probe's folder as the layer finds it in the probe, started by a shell.
std::string probe_folder(const std::string& script) {
  const Finished finished = run_to_end(shell(script));
  EXPECT_EQ(finished.end.exit_status, 0) << finished.output;
  return finished.output;
}

TEST(OsExecutableFolder, IsFoundFromArgv0WithAndWithoutASlash) {
  const fs::path probe = built(OS_PROBE_PATH);
  const std::string folder = fs::canonical(probe.parent_path()).string() + "\n";
  const std::string name = probe.filename().string();
  // The full path, a relative one, and a bare name found along PATH.
  EXPECT_EQ(probe_folder("exec '" + probe.string() + "' folder"), folder);
  EXPECT_EQ(probe_folder("cd '" + probe.parent_path().parent_path().string() + "' && exec './" +
                         probe.parent_path().filename().string() + "/" + name + "' folder"),
            folder);
  EXPECT_EQ(
      probe_folder("PATH='/nonexistent::" + probe.parent_path().string() + "':\"$PATH\" exec '" + name + "' folder"),
      folder);
  // A bare name the shell found in the current directory, through PATH's empty entry.
  EXPECT_EQ(probe_folder("cd '" + probe.parent_path().string() + "' && PATH=/nonexistent: exec '" + name + "' folder"),
            folder);
}

TEST(OsExecutableFolder, OnlyLinuxFindsItWithoutAUsefulArgv0) {
  const fs::path own = fs::canonical(fs::path(built(STUDY_PATH)).parent_path());  // the tests' folder too
  const auto unknown = study::os::executable_folder("no-such-program-anywhere");
  const auto none = study::os::executable_folder(nullptr);
  if (kLinuxLayer) {
    EXPECT_EQ(unknown, own);  // /proc/self/exe
    EXPECT_EQ(none, own);
  } else {
    EXPECT_FALSE(unknown.has_value());
    EXPECT_FALSE(none.has_value());
  }
}

bool has_limit(const std::vector<study::os::MemoryLimit>& limits, std::string_view source) {
  for (const study::os::MemoryLimit& limit : limits) {
    if (limit.source == source) return limit.bytes > 0;
  }
  return false;
}

TEST(OsMemory, NamesEachLimitItFinds) {
  const std::vector<study::os::MemoryLimit> limits = study::os::memory_limits();
  if (kLinuxLayer) {
    EXPECT_TRUE(has_limit(limits, "MemAvailable in /proc/meminfo"));
    EXPECT_FALSE(has_limit(limits, "the machine's physical memory"));
  } else {
    EXPECT_TRUE(has_limit(limits, "the machine's physical memory"));
    EXPECT_FALSE(has_limit(limits, "MemAvailable in /proc/meminfo"));
  }
}

TEST(OsMemory, TheAddressSpaceLimitIsOneOfThem) {
  if (test_support::under_emulator()) GTEST_SKIP() << "qemu-user keeps address-space limits from its guest";
  // Finite, yet far above what even AddressSanitizer reserves.
  constexpr rlim_t kLimit = rlim_t{1} << 60;
  const test_support::ProgramResult child = test_support::run_in_child([] {
    const rlimit limit{kLimit, kLimit};
    if (::setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(3);
    for (const study::os::MemoryLimit& found : study::os::memory_limits()) {
      if (found.source == "the address-space limit (ulimit -v)") std::_Exit(found.bytes == kLimit ? 0 : 4);
    }
    std::_Exit(5);
  });
  EXPECT_EQ(child.exit_status, 0);
}

TEST(OsMachine, DescribesTheProcessorsMemoryAndSystem) {
  const study::os::Machine machine = study::os::describe_machine();
  EXPECT_GE(machine.processors, 1);
  EXPECT_EQ(machine.processors, study::os::processor_count());
  ASSERT_TRUE(machine.memory_bytes.has_value());
  EXPECT_GT(*machine.memory_bytes, std::int64_t{64} << 20);
  utsname names{};
  ASSERT_EQ(::uname(&names), 0);
  const std::string system = std::string(names.sysname) + " " + names.release + " " + names.machine;
  EXPECT_TRUE(machine.operating_system.ends_with(system)) << machine.operating_system;
  if (!kLinuxLayer) {
    EXPECT_EQ(machine.operating_system, system);
    EXPECT_EQ(machine.processor, names.machine);
  }
  EXPECT_FALSE(study::os::host_name().empty());
}

TEST(OsMachine, TheProcessorsTimesCountAProgramWaitedForAsTheToolsOwn) {
  const auto before = study::os::system_processor_times();
  if (!kLinuxLayer) {
    EXPECT_FALSE(before.has_value()) << "POSIX names no counter of the processors' time";
    return;
  }
  ASSERT_TRUE(before.has_value());
  EXPECT_EQ(before->processors, study::os::processor_count());
  const Finished busy = run_to_end(shell("i=0; while [ $i -lt 300000 ]; do i=$((i+1)); done"));
  EXPECT_TRUE(busy.end.exited);
  const auto after = study::os::system_processor_times();
  ASSERT_TRUE(after.has_value());
  const double own = after->own_seconds - before->own_seconds;
  EXPECT_GT(own, 0.05);
  // The system's count holds the program's time too, less a tick per processor.
  EXPECT_GE(after->busy_seconds - before->busy_seconds, own - 0.02 * after->processors);
  EXPECT_GT(after->total_seconds, after->busy_seconds);
}

TEST(OsConsole, AFileIsNoTerminalAndClosedStreamsAreOccupied) {
  test_support::ScratchDirectory scratch;
  test_support::ChildStreams streams;
  streams.close_standard_input = true;
  const test_support::ProgramResult child = test_support::run_in_child(
      [] {
        study::os::prepare_console();
        // Standard input was closed: the first file opened now must not become it.
        study::os::OutputFile file("scratch-file");
        const bool apart = ::isatty(STDIN_FILENO) == 0 && ::fcntl(STDIN_FILENO, F_GETFD) != -1;
        std::printf("%d %d\n", study::os::standard_output_is_terminal() ? 1 : 0, apart ? 1 : 0);
        std::fflush(stdout);
        // A closed pipe does not end the tool.
        std::_Exit(::raise(SIGPIPE) == 0 ? 0 : 1);
      },
      streams);
  EXPECT_EQ(child.exit_status, 0);
  EXPECT_EQ(child.output, "0 1\n");
}

}  // namespace
