// study_os_probe: a small program the tests of the tools' operating-system
// layer start as a child.
//   study_os_probe memory MIB   holds MIB mebibytes resident, then exits 0
//   study_os_probe folder       prints the folder the layer finds for its
//                               own executable from argv[0], or "unknown"
//   study_os_probe limits       prints each memory limit the layer finds,
//                               "SOURCE: BYTES" a line
//   study_os_probe start ARG... prints "ARG|...|VALUE|COUNT|FOLDER|": its
//                               arguments, STUDY_OS_TEST's value and how
//                               many entries of that name its environment
//                               holds, its working folder; then exits 3
//   study_os_probe streams      reads its standard input to the end, prints
//                               "read N\n", then "err\n" on standard error
//   study_os_probe sleep        prints "asleep\n" and sleeps 30 seconds
//   study_os_probe lock FOLDER  takes its study lock in FOLDER, prints
//                               "pid P holders H...\n" (its own number and
//                               the other holders it sees) and sleeps 30 seconds
// On Windows also:
//   study_os_probe end STATUS   ends at once with STATUS (hexadecimal), as
//                               a crash or TerminateProcess ends a program
//   study_os_probe deaf         ignores Ctrl-C and Ctrl-Break, then sleeps
//   study_os_probe grandchild FILE  starts "sleep" as its own child, writes
//                               that child's process number into FILE,
//                               prints "ready\n" and waits for it
//   study_os_probe console      prepares its console as the tools do, then
//                               prints "terminal T, input I\nline\n": T 1
//                               if its output is a terminal, I 1 if it
//                               has a standard input
//   study_os_probe watch        watches for Ctrl-C while a "sleep" child
//                               runs: prints "ready\n", then at the first
//                               interrupt "interrupts N\n", stops the child
//                               and prints how it ended
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "study/os/executable_folder.hpp"
#include "study/os/files.hpp"
#include "study/os/memory.hpp"
#include "study/os/study_lock.hpp"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "study/os/console.hpp"
#include "study/os/program.hpp"
#endif

#ifndef _WIN32
extern "C" {
extern char** environ;
}
#endif

namespace {

int hold_memory(std::size_t mebibytes) {
  std::vector<unsigned char> held(mebibytes << 20);
  for (std::size_t i = 0; i < held.size(); i += 4096) held[i] = static_cast<unsigned char>(i >> 12);
  unsigned sum = 0;
  for (std::size_t i = 0; i < held.size(); i += 4096) sum += held[i];
  std::printf("held %zu bytes (%u)\n", held.size(), sum);
  return 0;
}

// Entries of the environment named `name`, as the system compares names.
int entries_named(std::string_view name) {
  int count = 0;
#ifdef _WIN32
  wchar_t* const strings = GetEnvironmentStringsW();
  const std::wstring wide_name = std::filesystem::path(name).wstring() + L"=";
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
    if (CompareStringOrdinal(entry, static_cast<int>(std::min(wcslen(entry), wide_name.size())), wide_name.c_str(),
                             static_cast<int>(wide_name.size()), TRUE) == CSTR_EQUAL) {
      ++count;
    }
  }
  FreeEnvironmentStringsW(strings);
#else
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::string_view(*entry).starts_with(std::string(name) + "=")) ++count;
  }
#endif
  return count;
}

#ifdef _WIN32
int run_grandchild(const char* self, const char* file) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = L"\"" + std::filesystem::path(self).wstring() + L"\" sleep";
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 4;
  }
  if (std::FILE* out = std::fopen(file, "w")) {
    std::fprintf(out, "%lu\n", process.dwProcessId);
    std::fclose(out);
  }
  std::printf("ready\n");
  std::fflush(stdout);
  WaitForSingleObject(process.hProcess, INFINITE);
  return 0;
}

int watch_interrupts(const char* self) {
  study::os::InterruptWatch interrupts;
  study::os::RunningProgram program({self, {"sleep"}, {}, {}});
  std::string output, bytes;
  while (output.find("asleep") == std::string::npos) {
    if (program.next_event(interrupts, std::chrono::seconds(10), bytes) == study::os::ProgramEvent::output) {
      output += bytes;
    }
  }
  std::printf("ready\n");
  std::fflush(stdout);
  while (program.next_event(interrupts, std::chrono::seconds(20), bytes) != study::os::ProgramEvent::interrupt) {
  }
  std::printf("interrupts %d\n", interrupts.take());
  program.interrupt();
  while (program.next_event(interrupts, std::chrono::seconds(10), bytes) != study::os::ProgramEvent::end_of_output) {
  }
  const study::os::ProgramEnd end = program.wait();
  std::printf("ended: %s (%s)\n", end.cause.c_str(), end.cause_name.c_str());
  return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "memory" && argc > 2) return hold_memory(std::strtoull(argv[2], nullptr, 10));
  if (mode == "folder") {
    const auto folder = study::os::executable_folder(argv[0]);
    std::printf("%s\n", folder ? folder->string().c_str() : "unknown");
    return 0;
  }
  if (mode == "limits") {
    for (const study::os::MemoryLimit& limit : study::os::memory_limits()) {
      std::printf("%s: %lld\n", limit.source.c_str(), static_cast<long long>(limit.bytes));
    }
    return 0;
  }
  if (mode == "start") {
    for (int i = 2; i < argc; ++i) std::printf("%s|", argv[i]);
    const char* value = std::getenv("STUDY_OS_TEST");
    std::printf("%s|%d|%s|", value != nullptr ? value : "", entries_named("STUDY_OS_TEST"),
                std::filesystem::current_path().string().c_str());
    return 3;
  }
  if (mode == "streams") {
    std::size_t read = 0;
    for (char c; std::cin.get(c);) ++read;
    std::printf("read %zu\n", read);
    std::fflush(stdout);
    std::fprintf(stderr, "err\n");
    return 0;
  }
  if (mode == "sleep") {
    std::printf("asleep\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(30));
    return 0;
  }
  if (mode == "lock" && argc > 2) {
    const study::os::StudyLock lock(argv[2]);
    if (!lock.failure().empty()) {
      std::printf("no lock: %s\n", lock.failure().c_str());
      return 4;
    }
    std::printf("pid %llu holders", static_cast<unsigned long long>(study::os::process_id()));
    for (const std::uint64_t holder : lock.other_holders())
      std::printf(" %llu", static_cast<unsigned long long>(holder));
    std::printf("\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(30));
    return 0;
  }
#ifdef _WIN32
  if (mode == "end" && argc > 2) {
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(std::strtoul(argv[2], nullptr, 16)));
    return 5;
  }
  if (mode == "deaf") {
    SetConsoleCtrlHandler([](DWORD) -> BOOL { return TRUE; }, TRUE);
    std::printf("asleep\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(30));
    return 0;
  }
  if (mode == "console") {
    // Before prepare_console, which must undo it, text mode: LF would become CR LF.
    _setmode(_fileno(stdout), _O_TEXT);
    const auto valid = [](intptr_t handle) { return handle != -1 && handle != -2; };
    const bool had_input = valid(_get_osfhandle(0));
    study::os::prepare_console();
    std::printf("terminal %d, input %d\nline\n", study::os::standard_output_is_terminal() ? 1 : 0,
                !had_input && valid(_get_osfhandle(0)) ? 1 : 0);
    return 0;
  }
  if (mode == "grandchild" && argc > 2) return run_grandchild(argv[0], argv[2]);
  if (mode == "watch") return watch_interrupts(argv[0]);
#endif
  std::fprintf(stderr,
               "usage: study_os_probe memory MIB | folder | limits | start ARG... | streams | sleep | lock FOLDER\n");
  return 2;
}
