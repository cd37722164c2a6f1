// Starting and watching a program on Windows: CreateProcessW in a job object
// of its own (so kill() reaches all it started) and a process group of its
// own (so Ctrl-Break reaches it and the user's Ctrl-C reaches the study
// alone); its output through a named pipe read with overlapped I/O, which
// waits beside the interrupts' event.
#include "study/os/program.hpp"

#include <fmt/format.h>

#include <array>
#include <atomic>
#include <utility>

#include "study/os/tool_error.hpp"
#include "study/os/windows/layer.hpp"
// clang-format off
#include <psapi.h>  // after windows.h, which it needs
// clang-format on

namespace study::os {

std::atomic<std::uint64_t> windows_layer::waited_program_time{0};

namespace {

using windows_layer::OwnedHandle;
using windows_layer::wide;

// How Windows ends a program on Ctrl-C or Ctrl-Break (STATUS_CONTROL_C_EXIT),
// and how the study ends one it cannot ask or that would not stop.
constexpr DWORD kStoppedStatus = 0xC000013A;

// Exit codes from here up are the status of a crash or of a forced end.
constexpr DWORD kFirstErrorStatus = 0xC0000000;

constexpr DWORD kPipeBuffer = 1 << 16;

[[noreturn]] void fail(std::string_view what, DWORD error) {
  throw ToolError("cannot " + std::string(what) + " the program: " + windows_layer::error_words(error));
}

// The name of an error status a program may end with.
std::string_view status_name(DWORD status) {
  static constexpr std::pair<DWORD, std::string_view> kNames[] = {
      {0xC0000005, "access violation"},
      {0xC0000017, "out of memory"},
      {0xC000001D, "illegal instruction"},
      {0xC000008C, "array bounds exceeded"},
      {0xC000008E, "floating-point division by zero"},
      {0xC0000094, "integer division by zero"},
      {0xC0000095, "integer overflow"},
      {0xC0000096, "privileged instruction"},
      {0xC00000FD, "stack overflow"},
      {0xC0000135, "a DLL was not found"},
      {0xC0000139, "an entry point was not found"},
      {0xC0000142, "a DLL failed to initialise"},
      {kStoppedStatus, "Ctrl-C"},
      {0xC0000374, "heap corruption"},
      {0xC0000409, "stack buffer overrun or fail-fast exit"},
      {0xC0000420, "assertion failure"},
  };
  for (const auto& [code, name] : kNames) {
    if (code == status) return name;
  }
  return "an unknown error status";
}

std::wstring command_line(const ProgramStart& start) {
  // The program's own name is read up to the next quote, without escapes.
  std::wstring line = L"\"" + start.executable.wstring() + L"\"";
  for (const std::string& argument : start.arguments) windows_layer::append_argument(line, wide(argument));
  return line;
}

// The tool's own environment with `settings` ("NAME=value") in place of
// any entries of the same names, which Windows compares without case.
std::wstring environment_block(const std::vector<std::string>& settings) {
  std::vector<std::wstring> added;
  for (const std::string& setting : settings) added.push_back(wide(setting));
  std::wstring block;
  wchar_t* const strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1) {
    const std::wstring_view text(entry);
    bool replaced = false;
    for (const std::wstring& setting : added) {
      const std::size_t name = setting.find(L'=') + 1;
      replaced =
          replaced || (text.size() >= name && CompareStringOrdinal(text.data(), static_cast<int>(name), setting.data(),
                                                                   static_cast<int>(name), TRUE) == CSTR_EQUAL);
    }
    if (!replaced) block.append(text) += L'\0';
  }
  if (strings != nullptr) FreeEnvironmentStringsW(strings);
  for (const std::wstring& setting : added) block.append(setting) += L'\0';
  if (block.empty()) block += L'\0';
  return block += L'\0';
}

// The pipe of the program's output: the study's end reads with overlapped
// I/O, the program's end, which it inherits, writes plainly.
struct OutputPipe {
  OwnedHandle read_end;
  OwnedHandle write_end;
};

OutputPipe open_output_pipe() {
  static std::atomic<unsigned> serial{0};
  const std::wstring name = L"\\\\.\\pipe\\sortbench-study-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(serial.fetch_add(1));
  OutputPipe pipe;
  pipe.read_end = OwnedHandle(CreateNamedPipeW(
      name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, kPipeBuffer, 0, nullptr));
  if (!pipe.read_end) fail("start", GetLastError());
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  pipe.write_end = OwnedHandle(
      CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inherited, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!pipe.write_end) fail("start", GetLastError());
  return pipe;
}

// A job whose processes end when the study lets go of it, even when the study itself is ended.
OwnedHandle open_job() {
  OwnedHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!job) fail("start", GetLastError());
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    fail("start", GetLastError());
  }
  return job;
}

// The list of the handles a program inherits: its standard streams, and no
// other inheritable handle the study may hold.
class InheritedHandles {
 public:
  explicit InheritedHandles(std::array<HANDLE, 2> handles) : handles_(handles) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage_.resize(size);
    list_ = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (!InitializeProcThreadAttributeList(list_, 1, 0, &size)) fail("start", GetLastError());
    if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                   handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
      const DWORD error = GetLastError();
      DeleteProcThreadAttributeList(list_);
      fail("start", error);
    }
  }
  ~InheritedHandles() { DeleteProcThreadAttributeList(list_); }
  InheritedHandles(const InheritedHandles&) = delete;
  InheritedHandles& operator=(const InheritedHandles&) = delete;

  LPPROC_THREAD_ATTRIBUTE_LIST list() const { return list_; }

 private:
  std::array<HANDLE, 2> handles_;
  std::vector<unsigned char> storage_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

// Quoted when it holds blanks or quotes, with the backslashes before a quote doubled.
void windows_layer::append_argument(std::wstring& line, std::wstring_view argument) {
  if (!line.empty()) line += L' ';
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
    line += argument;
    return;
  }
  line += L'"';
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, L'\\');
  line += L'"';
}

std::filesystem::path program_file(const std::filesystem::path& folder, std::string_view name) {
  return folder / (std::string(name) + ".exe");
}

bool can_start(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string_view unknown_peak_reason() {
  return "the system could not tell the program's peak working set once it had ended (Wine, unlike Windows, does "
         "not keep it).";
}

struct RunningProgram::State {
  OwnedHandle process;  // from its start until it has been waited for
  DWORD process_id = 0;
  OwnedHandle job;        // absent where the program could not be put in one
  OwnedHandle output;     // the study's end of the pipe, from the start to the end of the program's output
  OwnedHandle read_done;  // set when a read of the output completes
  OVERLAPPED read{};      // the read in progress, when `reading`
  bool reading = false;
  std::optional<std::string> start_failure;  // the output of a program that could not be started, until read
  std::array<char, kPipeBuffer> buffer{};

  // Ends a read still in progress, before its buffer may go.
  void close_output() {
    if (reading) {
      CancelIoEx(output.get(), &read);
      DWORD ignored = 0;
      GetOverlappedResult(output.get(), &read, &ignored, TRUE);
      reading = false;
    }
    output.reset();
  }

  void end_all(DWORD status) {
    if (!process) return;
    if (!job || !TerminateJobObject(job.get(), status)) TerminateProcess(process.get(), status);
  }
};

RunningProgram::RunningProgram(const ProgramStart& start) : state_(std::make_unique<State>()) {
  OutputPipe pipe = open_output_pipe();
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const OwnedHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!input) fail("start", GetLastError());
  state_->read_done = OwnedHandle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!state_->read_done) fail("start", GetLastError());
  state_->job = open_job();

  // As on Unix, a folder that cannot be entered is the program's failure.
  std::error_code error;
  if (!start.folder.empty() && !std::filesystem::is_directory(start.folder, error)) {
    state_->start_failure = "study: cannot prepare the program's folder or streams\r\n";
    return;
  }
  const InheritedHandles handles({input.get(), pipe.write_end.get()});
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input.get();
  startup.StartupInfo.hStdOutput = pipe.write_end.get();
  startup.StartupInfo.hStdError = pipe.write_end.get();
  startup.lpAttributeList = handles.list();
  std::wstring command = command_line(start);
  std::wstring environment = environment_block(start.environment);
  const std::wstring folder = start.folder.empty() ? std::wstring() : std::filesystem::absolute(start.folder).wstring();
  // Suspended until it is in the job, so all it starts is in the job too.
  // Without a console of the study's, the program gets none, not a window of its own.
  const DWORD flags = CREATE_SUSPENDED | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT |
                      EXTENDED_STARTUPINFO_PRESENT | (GetConsoleCP() == 0 ? CREATE_NO_WINDOW : 0);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(start.executable.c_str(), command.data(), nullptr, nullptr, TRUE, flags, environment.data(),
                      folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &process)) {
    // As on Unix, a program that cannot be executed says why and exits with 127.
    state_->start_failure = fmt::format("study: cannot start {}: {}\r\n", start.executable.string(),
                                        windows_layer::error_words(GetLastError()));
    return;
  }
  state_->output = std::move(pipe.read_end);
  state_->process = OwnedHandle(process.hProcess);
  state_->process_id = process.dwProcessId;
  // Windows before 8 puts no job inside another: then only the program itself can be ended.
  if (!AssignProcessToJobObject(state_->job.get(), process.hProcess)) state_->job.reset();
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
}

RunningProgram::~RunningProgram() {
  state_->close_output();
  state_->end_all(kStoppedStatus);
  if (state_->process) WaitForSingleObject(state_->process.get(), INFINITE);
}

ProgramEvent RunningProgram::next_event(const InterruptWatch& interrupts,
                                        std::optional<std::chrono::milliseconds> quiet_for, std::string& output) {
  output.clear();
  if (state_->start_failure) {
    output = std::exchange(state_->start_failure, std::nullopt).value();
    return ProgramEvent::output;
  }
  if (!state_->output) return ProgramEvent::end_of_output;
  const auto end_of_output = [&] {
    state_->reading = false;
    state_->close_output();
    return ProgramEvent::end_of_output;
  };
  while (true) {
    if (!state_->reading) {
      state_->read = OVERLAPPED{};
      state_->read.hEvent = state_->read_done.get();
      ResetEvent(state_->read.hEvent);
      if (!ReadFile(state_->output.get(), state_->buffer.data(), kPipeBuffer, nullptr, &state_->read)) {
        const DWORD error = GetLastError();
        if (error == ERROR_BROKEN_PIPE) return end_of_output();
        if (error != ERROR_IO_PENDING) fail("read the output of", error);
      }
      state_->reading = true;
    }
    // The interrupt first, as its handle comes first.
    const std::array<HANDLE, 2> waits{interrupts.state_->event, state_->read_done.get()};
    const DWORD timeout = quiet_for ? static_cast<DWORD>(quiet_for->count()) : INFINITE;
    const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, timeout);
    if (woken == WAIT_OBJECT_0) return ProgramEvent::interrupt;
    if (woken == WAIT_TIMEOUT) return ProgramEvent::quiet;
    if (woken != WAIT_OBJECT_0 + 1) fail("watch", GetLastError());
    DWORD got = 0;
    const bool done = GetOverlappedResult(state_->output.get(), &state_->read, &got, FALSE);
    state_->reading = false;
    if (!done) {
      const DWORD error = GetLastError();
      if (error == ERROR_BROKEN_PIPE) return end_of_output();
      fail("read the output of", error);
    }
    if (got == 0) continue;
    output.assign(state_->buffer.data(), got);
    return ProgramEvent::output;
  }
}

void RunningProgram::interrupt() {
  if (!state_->process) return;
  // Ctrl-Break, since the program's group ignores Ctrl-C; it needs a console the study shares.
  if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, state_->process_id)) state_->end_all(kStoppedStatus);
}

void RunningProgram::kill() { state_->end_all(kStoppedStatus); }

ProgramEnd RunningProgram::wait() {
  state_->close_output();
  ProgramEnd result;
  if (!state_->process) {  // it never started
    result.exited = true;
    result.exit_status = 127;
    return result;
  }
  if (WaitForSingleObject(state_->process.get(), INFINITE) == WAIT_FAILED) fail("wait for", GetLastError());
  DWORD status = 0;
  if (!GetExitCodeProcess(state_->process.get(), &status)) fail("wait for", GetLastError());
  // The job's accounting holds all the program started; without a job, its own times.
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
  FILETIME created{}, ended{}, kernel{}, user{};
  if (state_->job && QueryInformationJobObject(state_->job.get(), JobObjectBasicAccountingInformation, &accounting,
                                               sizeof accounting, nullptr)) {
    windows_layer::waited_program_time +=
        static_cast<std::uint64_t>(accounting.TotalUserTime.QuadPart + accounting.TotalKernelTime.QuadPart);
  } else if (GetProcessTimes(state_->process.get(), &created, &ended, &kernel, &user)) {
    windows_layer::waited_program_time += windows_layer::ticks_of(kernel) + windows_layer::ticks_of(user);
  }
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  // Under Wine, unlike Windows, the counters of an ended program read 0 once it is gone.
  if (GetProcessMemoryInfo(state_->process.get(), &counters, sizeof counters) && counters.PeakWorkingSetSize > 0) {
    result.peak_resident_bytes = static_cast<std::int64_t>(counters.PeakWorkingSetSize);
  }
  state_->process.reset();
  if (status < kFirstErrorStatus) {
    result.exited = true;
    result.exit_status = static_cast<int>(status);
    return result;
  }
  result.cause = fmt::format("exception 0x{:08X}", status);
  result.cause_name = status_name(status);
  return result;
}

}  // namespace study::os
