// The tools' operating-system layer (study/os/) on Windows: arguments,
// environment and folder of a program, its ending status in words, its peak
// working set or honestly none, the job that holds all it starts, Ctrl-C
// and Ctrl-Break, the executable's folder, the memory limits of the system
// and of a job, the machine's description and the console.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "child_process.hpp"
#include "os_layer_test.hpp"
#include "study/os/executable_folder.hpp"
#include "study/os/files.hpp"
#include "study/os/machine.hpp"
#include "study/os/machine_state.hpp"
#include "study/os/memory.hpp"
#include "study/os/program.hpp"
#include "study/os/tool_error.hpp"
#include "support/test_support.hpp"
#include "support/windows/startup_info.hpp"

namespace {

using namespace os_layer_test;

study::os::ProgramStart probe(std::vector<std::string> arguments, const fs::path& folder = {}) {
  return {built(OS_PROBE_PATH), std::move(arguments), {}, folder};
}

TEST(OsProgram, TakesArgumentsEnvironmentAndFolderAndReportsTheExitStatus) {
  test_support::ScratchDirectory scratch;
  const fs::path folder = scratch.path() / "work folder";
  fs::create_directory(folder);
  // Blanks, quotes, backslashes before a quote and at the end, and nothing at all survive the command line.
  const std::vector<std::string> words{"two words", "say \"hi\"", "back\\\\\"slash", "end\\", "", "C:\\a b\\"};
  std::vector<std::string> arguments{"start"};
  arguments.insert(arguments.end(), words.begin(), words.end());
  study::os::ProgramStart start = probe(arguments, folder);
  SetEnvironmentVariableW(L"STUDY_OS_TEST", L"the tool's own");
  // Windows compares names without case: the setting replaces the tool's entry.
  start.environment = {"study_os_test=the program's"};
  const Finished finished = run_to_end(start);
  SetEnvironmentVariableW(L"STUDY_OS_TEST", nullptr);
  std::string expected;
  for (const std::string& word : words) expected += word + "|";
  expected += "the program's|1|" + fs::canonical(folder).string() + "|";
  EXPECT_EQ(finished.output, expected);
  EXPECT_TRUE(finished.end.exited);
  EXPECT_EQ(finished.end.exit_status, 3);
  EXPECT_EQ(finished.end.cause, "");
}

TEST(OsProgram, GivesAnEmptyStandardInputAndJoinsBothOutputStreams) {
  const Finished finished = run_to_end(probe({"streams"}));
  EXPECT_EQ(finished.output, "read 0\nerr\n");
  EXPECT_EQ(finished.end.exit_status, 0);
}

TEST(OsProgram, NamesTheErrorStatusThatEndedIt) {
  const Finished crashed = run_to_end(probe({"end", "C0000005"}));
  EXPECT_FALSE(crashed.end.exited);
  EXPECT_EQ(crashed.end.cause, "exception 0xC0000005");
  EXPECT_EQ(crashed.end.cause_name, "access violation");
  EXPECT_EQ(run_to_end(probe({"end", "C00000FD"})).end.cause_name, "stack overflow");
  const Finished unknown = run_to_end(probe({"end", "C0001234"}));
  EXPECT_EQ(unknown.end.cause, "exception 0xC0001234");
  EXPECT_EQ(unknown.end.cause_name, "an unknown error status");
  // Below the error statuses, a status is an exit status, however large.
  const Finished large = run_to_end(probe({"end", "7FFFFFFF"}));
  EXPECT_TRUE(large.end.exited);
  EXPECT_EQ(large.end.exit_status, 0x7FFFFFFF);
}

TEST(OsProgram, AProgramThatCannotBeExecutedSaysWhyAndExits127) {
  const Finished missing = run_to_end({"C:\\nonexistent\\program.exe", {}, {}, {}});
  EXPECT_EQ(missing.output, "study: cannot start C:\\nonexistent\\program.exe: no such file or directory\r\n");
  EXPECT_TRUE(missing.end.exited);
  EXPECT_EQ(missing.end.exit_status, 127);

  test_support::ScratchDirectory scratch;
  std::ofstream(scratch.path() / "text.exe") << "not a program\n";
  const Finished text = run_to_end({scratch.path() / "text.exe", {}, {}, {}});
  EXPECT_TRUE(text.output.starts_with("study: cannot start " + (scratch.path() / "text.exe").string() + ": "))
      << text.output;
  EXPECT_EQ(text.end.exit_status, 127);
}

TEST(OsProgram, AFolderOfAProgramsNameIsNoProgram) {
  test_support::ScratchDirectory scratch;
  const fs::path program = study::os::program_file(scratch.path(), "tallygrid");
  fs::create_directory(program);
  EXPECT_FALSE(study::os::can_start(program));
}

TEST(OsProgram, TellsThePeakWorkingSetOrSaysItCannot) {
  constexpr std::int64_t kHeld = std::int64_t{128} << 20;
  const Finished large = run_to_end(probe({"memory", std::to_string(kHeld >> 20)}));
  ASSERT_EQ(large.end.exit_status, 0) << large.output;
  // Wine keeps the counters of a program that has ended only until it is gone: it may have none.
  if (test_support::under_emulator() && !large.end.peak_resident_bytes) {
    EXPECT_NE(study::os::unknown_peak_reason().find("Wine"), std::string_view::npos);
    return;
  }
  ASSERT_TRUE(large.end.peak_resident_bytes.has_value());
  EXPECT_GE(*large.end.peak_resident_bytes, kHeld);
  EXPECT_LT(*large.end.peak_resident_bytes, 4 * kHeld);
  // Its own peak, not the largest so far.
  const Finished small = run_to_end(probe({"folder"}));
  ASSERT_TRUE(small.end.peak_resident_bytes.has_value() || test_support::under_emulator());
  EXPECT_LT(small.end.peak_resident_bytes.value_or(0), kHeld);
}

TEST(OsFiles, AReplaceWaitsForAReaderThatHoldsTheOldFileAMoment) {
  test_support::ScratchDirectory scratch;
  study::os::OutputFile("page").write("old");
  study::os::OutputFile("page.tmp").write("new");
  // Open without FILE_SHARE_DELETE, as many readers open a file: no rename may replace it meanwhile.
  const HANDLE reader = CreateFileW(L"page", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::thread done([reader] {
    std::this_thread::sleep_for(200ms);
    CloseHandle(reader);
  });
  EXPECT_EQ(study::os::replace_file("page.tmp", "page"), 0);
  done.join();
  EXPECT_EQ(study::os::read_file("page").text, "new");

  // One that holds it longer: the replace gives up with the reason in words.
  study::os::OutputFile("page.tmp").write("newer");
  const HANDLE keeper = CreateFileW(L"page", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  const int error = study::os::replace_file("page.tmp", "page");
  CloseHandle(keeper);
  EXPECT_TRUE(error == EACCES || error == EBUSY) << study::error_text(error);
  EXPECT_EQ(study::os::read_file("page").text, "new");
}

// True once the process `id` has ended (or is gone), within five seconds.
bool ends_soon(DWORD id) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  if (process == nullptr) return true;
  const bool ended = WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

TEST(OsProgram, AProgramLeftRunningIsKilledWithAllItStarted) {
  test_support::ScratchDirectory scratch;
  const fs::path file = scratch.path() / "grandchild";
  {
    study::os::InterruptWatch interrupts;
    RunningProgram program(probe({"grandchild", file.string()}));
    std::string output;
    ASSERT_TRUE(read_until(program, interrupts, output, "ready"));
  }
  DWORD grandchild = 0;
  std::ifstream(file) >> grandchild;
  ASSERT_GT(grandchild, 0u);
  EXPECT_TRUE(ends_soon(grandchild));
}

TEST(OsInterrupts, CtrlCInTheToolsConsoleIsCountedAndStopsTheProgram) {
  // The probe watches for Ctrl-C in a console of its own, as the study does.
  study_tests::ChildProcess watcher({built(OS_PROBE_PATH), "watch"}, fs::current_path());
  ASSERT_TRUE(watcher.read_until("ready\n")) << watcher.output();
  watcher.press_ctrl_c();
  EXPECT_EQ(watcher.finish(), 0);
  EXPECT_NE(watcher.output().find("interrupts 1\n"), std::string::npos) << watcher.output();
  EXPECT_NE(watcher.output().find("ended: exception 0xC000013A (Ctrl-C)\n"), std::string::npos) << watcher.output();
}

TEST(OsInterrupts, InterruptEndsAProgramAsCtrlBreakWouldAndKillEndsOneThatIgnoresIt) {
  study::os::InterruptWatch interrupts;
  std::string output, bytes;
  {
    RunningProgram program(probe({"sleep"}));
    ASSERT_TRUE(read_until(program, interrupts, output, "asleep"));
    EXPECT_EQ(program.next_event(interrupts, 50ms, bytes), ProgramEvent::quiet);
    program.interrupt();
    EXPECT_EQ(program.next_event(interrupts, 10s, bytes), ProgramEvent::end_of_output);
    const ProgramEnd end = program.wait();
    EXPECT_FALSE(end.exited);
    EXPECT_EQ(end.cause, "exception 0xC000013A");
    EXPECT_EQ(end.cause_name, "Ctrl-C");
  }
  output.clear();
  RunningProgram deaf(probe({"deaf"}));
  ASSERT_TRUE(read_until(deaf, interrupts, output, "asleep"));
  deaf.kill();
  EXPECT_EQ(deaf.next_event(interrupts, 10s, bytes), ProgramEvent::end_of_output);
  EXPECT_EQ(deaf.wait().cause, "exception 0xC000013A");
  EXPECT_EQ(interrupts.take(), 0);
}

TEST(OsExecutableFolder, IsTheRunningExecutablesWhateverArgv0) {
  const fs::path own = fs::canonical(fs::path(built(STUDY_PATH)).parent_path());  // the tests' folder too
  EXPECT_EQ(study::os::executable_folder("no-such-program-anywhere"), own);
  EXPECT_EQ(study::os::executable_folder(nullptr), own);
  test_support::ScratchDirectory scratch;
  const Finished probe_folder = run_to_end(probe({"folder"}, scratch.path()));
  EXPECT_EQ(probe_folder.output, own.string() + "\n");
}

std::int64_t limit_of(const std::vector<study::os::MemoryLimit>& limits, std::string_view source) {
  for (const study::os::MemoryLimit& limit : limits) {
    if (limit.source == source) return limit.bytes;
  }
  return -1;
}

TEST(OsMemory, NamesTheMemoryAvailableAndTheCommitChargeAllowed) {
  const std::vector<study::os::MemoryLimit> limits = study::os::memory_limits();
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  ASSERT_TRUE(GlobalMemoryStatusEx(&status));
  const std::int64_t available = limit_of(limits, "the available physical memory");
  EXPECT_GT(available, 0);
  EXPECT_LE(available, static_cast<std::int64_t>(status.ullTotalPhys));
  EXPECT_GT(limit_of(limits, "the commit charge still allowed (memory and page file)"), 0);
}

// The output of the probe started with `arguments` by plain CreateProcessW:
// with no standard input at all when `without_input`, and in `job` when given.
std::string probe_started_plainly(const std::wstring& arguments, bool without_input = false, HANDLE job = nullptr) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherited, 0)) return "no pipe";
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  const HANDLE input = without_input ? nullptr
                                     : CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup = test_support::startup_with_handles(input, write_end, write_end);
  std::wstring line = L"\"" + fs::path(built(OS_PROBE_PATH)).wstring() + L"\" " + arguments;
  PROCESS_INFORMATION process{};
  // Detached from any console, which Windows would lend it a missing stream of.
  const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED | DETACHED_PROCESS,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(write_end);
  if (input != nullptr) CloseHandle(input);
  if (!started) return "not started";
  if (job != nullptr && !AssignProcessToJobObject(job, process.hProcess)) TerminateProcess(process.hProcess, 1);
  ResumeThread(process.hThread);
  std::string output;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
  WaitForSingleObject(process.hProcess, INFINITE);
  for (const HANDLE handle : {read_end, process.hProcess, process.hThread}) CloseHandle(handle);
  return output;
}

TEST(OsMemory, TheLimitOfAJobTheToolRunsInIsOneOfThem) {
  if (test_support::under_emulator()) GTEST_SKIP() << "Wine takes a job's memory limits but keeps none";
  // The probe, started in a job that allows each process 1 GiB.
  constexpr std::int64_t kLimit = std::int64_t{1} << 30;
  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  ASSERT_NE(job, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY | JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  limits.ProcessMemoryLimit = kLimit;
  ASSERT_TRUE(SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits));
  const std::string output = probe_started_plainly(L"limits", false, job);
  CloseHandle(job);
  EXPECT_NE(output.find("the job object's memory limit per process: " + std::to_string(kLimit) + "\n"),
            std::string::npos)
      << output;
}

TEST(OsMachine, DescribesTheProcessorsMemoryAndSystem) {
  const study::os::Machine machine = study::os::describe_machine();
  EXPECT_EQ(machine.processors, static_cast<int>(GetActiveProcessorCount(ALL_PROCESSOR_GROUPS)));
  EXPECT_EQ(machine.processors, study::os::processor_count());
  EXPECT_FALSE(machine.processor.empty());
  ASSERT_TRUE(machine.memory_bytes.has_value());
  EXPECT_GT(*machine.memory_bytes, std::int64_t{64} << 20);
  // "..., Windows 10.0.19045 x86_64", with " (Wine 8.0)" under Wine.
  const std::string& system = machine.operating_system;
  EXPECT_NE(system.find("Windows "), std::string::npos) << system;
  EXPECT_NE(system.find(" x86_64"), std::string::npos) << system;
  EXPECT_EQ(system.find("(Wine ") != std::string::npos, test_support::under_emulator()) << system;
  EXPECT_FALSE(study::os::host_name().empty());
}

TEST(OsMachine, TheProcessorsTimesHoldTheToolsOwnWork) {
  const auto before = study::os::system_processor_times();
  ASSERT_TRUE(before.has_value());
  EXPECT_EQ(before->processors, study::os::processor_count());
  // A fifth of a second of the tool's own work shows in its own time and the system's.
  const auto start = std::chrono::steady_clock::now();
  volatile std::uint64_t spin = 0;
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(200)) spin = spin + 1;
  const auto after = study::os::system_processor_times();
  ASSERT_TRUE(after.has_value());
  EXPECT_GT(after->own_seconds - before->own_seconds, 0.1);
  EXPECT_GT(after->busy_seconds - before->busy_seconds, 0.1);
  EXPECT_GT(after->total_seconds, after->busy_seconds);
}

TEST(OsConsole, OutputPassesUnchangedAndAMissingStreamIsOccupied) {
  // A pipe is no terminal; LF stays LF, as on Unix; standard input, given none, reads NUL.
  EXPECT_EQ(probe_started_plainly(L"console", true), "terminal 0, input 1\nline\n");
}

}  // namespace
