// Children on Windows. A real program is started with CreateProcess and its
// standard handles. A piece of the test program cannot be forked off: the
// test program is started again with a filter that runs only the current
// test, and its n-th child call runs the body (run_program.hpp).
#include "support/run_program.hpp"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "support/system.hpp"
#include "support/test_support.hpp"
#include "support/windows/startup_info.hpp"

namespace test_support {
namespace {

// "<index> <input> <output> <error>": the child call to run, and the values
// of the handles it gives the body as standard streams ("closed" for none).
constexpr const char* kChildVariable = "SORTBENCH_TEST_CHILD";
// A file with the results of the test's earlier child calls.
constexpr const char* kReplayVariable = "SORTBENCH_TEST_CHILD_REPLAY";

constexpr DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle closed when the object goes.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Handle& operator=(Handle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~Handle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

SECURITY_ATTRIBUTES inheritable() {
  return {.nLength = sizeof(SECURITY_ATTRIBUTES), .lpSecurityDescriptor = nullptr, .bInheritHandle = TRUE};
}

std::wstring widened(const std::string& text) {
  if (text.empty()) return {};
  std::wstring wide(static_cast<std::size_t>(text.size()), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                         static_cast<int>(wide.size()));
  wide.resize(static_cast<std::size_t>(length));
  return wide;
}

Handle open_inheritable(const std::filesystem::path& file, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES attributes = inheritable();
  // Backup semantics let a folder be opened too, as a stream every read of which fails.
  Handle handle(CreateFileW(std::filesystem::absolute(file).c_str(), access, kShareEverything, &attributes, disposition,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (handle.get() == nullptr) throw std::runtime_error("cannot open " + file.string() + " for a child");
  return handle;
}

// The three standard handles of a child, inheritable, and what the parent keeps.
struct ChildHandles {
  Handle input, output, error;
  Handle input_writer;             // the test's end of a standard input pipe
  std::filesystem::path captured;  // where a captured standard output goes
};

ChildHandles child_handles(const ChildStreams& streams, bool input_pipe) {
  ChildHandles handles;
  SECURITY_ATTRIBUTES attributes = inheritable();
  if (input_pipe) {
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    if (!CreatePipe(&reader, &writer, &attributes, 0)) throw std::runtime_error("CreatePipe failed");
    handles.input = Handle(reader);
    handles.input_writer = Handle(writer);
    SetHandleInformation(writer, HANDLE_FLAG_INHERIT, 0);
  } else if (!streams.close_standard_input) {
    handles.input = open_inheritable(streams.standard_input, GENERIC_READ, OPEN_EXISTING);
  }
  if (streams.output_to_pipe_without_reader) {
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
    if (!CreatePipe(&reader, &writer, &attributes, 0)) throw std::runtime_error("CreatePipe failed");
    CloseHandle(reader);
    handles.output = Handle(writer);
  } else if (!streams.close_standard_output) {
    if (streams.standard_output.empty()) handles.captured = unused_temporary_path("sortbench-child-");
    handles.output =
        open_inheritable(handles.captured.empty() ? std::filesystem::path(streams.standard_output) : handles.captured,
                         GENERIC_WRITE, CREATE_ALWAYS);
  }
  if (!streams.standard_error.empty()) {
    handles.error = open_inheritable(streams.standard_error, GENERIC_WRITE, CREATE_ALWAYS);
  } else {
    HANDLE copy = nullptr;
    const HANDLE own = GetStdHandle(STD_ERROR_HANDLE);
    if (own != nullptr && own != INVALID_HANDLE_VALUE &&
        DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
      handles.error = Handle(copy);
    }
  }
  return handles;
}

// This process's environment with `additions` in place of any variables of the same names.
std::wstring environment_block(const std::vector<std::pair<std::string, std::string>>& additions) {
  std::wstring block;
  const auto same_name = [](std::wstring_view entry, const std::wstring& name) {
    return entry.size() > name.size() && entry[name.size()] == L'=' &&
           CompareStringOrdinal(entry.data(), static_cast<int>(name.size()), name.data(), static_cast<int>(name.size()),
                                TRUE) == CSTR_EQUAL;
  };
  wchar_t* const strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
    bool replaced = false;
    for (const auto& addition : additions) replaced = replaced || same_name(entry, widened(addition.first));
    if (!replaced) block.append(entry).push_back(L'\0');
  }
  FreeEnvironmentStringsW(strings);
  for (const auto& [name, value] : additions) block.append(widened(name + "=" + value)).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

std::wstring quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

struct Started {
  Handle process;
  Handle thread;
};

Started start(const std::filesystem::path& program, std::wstring command_line, const std::wstring& environment,
              const std::filesystem::path& directory, HANDLE input, HANDLE output, HANDLE error, DWORD flags) {
  STARTUPINFOW startup = startup_with_handles(input, output, error);
  PROCESS_INFORMATION started{};
  std::wstring environment_copy = environment;
  if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, TRUE, flags | CREATE_UNICODE_ENVIRONMENT,
                      environment_copy.data(), std::filesystem::absolute(directory).c_str(), &startup, &started)) {
    throw std::runtime_error("cannot start " + program.string() + ": error " + std::to_string(GetLastError()));
  }
  return {Handle(started.hProcess), Handle(started.hThread)};
}

ProgramResult ended(HANDLE process, const std::filesystem::path& captured) {
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  ProgramResult result;
  // The programs end with statuses 0..255; anything else is an exception's code.
  if (code <= 255) {
    result.exit_status = static_cast<int>(code);
  } else {
    result.signal = static_cast<int>(code);
  }
  if (!captured.empty()) {
    result.output = read_file(captured);
    std::filesystem::remove(captured);
  }
  return result;
}

ProgramResult wait_until_ended(HANDLE process, const std::filesystem::path& captured) {
  WaitForSingleObject(process, INFINITE);
  return ended(process, captured);
}

// ---- re-running the current test --------------------------------------------

// The child calls of the current test: how many have started, and the
// results of those that have ended.
struct TestRuns {
  std::string test;
  std::size_t started = 0;
  std::vector<ProgramResult> results;
};

// Orders of this process when it re-runs a test for its parent.
struct ChildOrders {
  std::size_t index = 0;
  std::string streams[3];
};

const std::optional<ChildOrders>& child_orders() {
  static const std::optional<ChildOrders> orders = []() -> std::optional<ChildOrders> {
    const char* text = std::getenv(kChildVariable);
    if (text == nullptr) return std::nullopt;
    std::istringstream fields(text);
    ChildOrders parsed;
    fields >> parsed.index >> parsed.streams[0] >> parsed.streams[1] >> parsed.streams[2];
    return parsed;
  }();
  return orders;
}

std::vector<ProgramResult> replayed_results() {
  std::vector<ProgramResult> results;
  const char* file = std::getenv(kReplayVariable);
  if (file == nullptr) return results;
  std::ifstream in(file, std::ios::binary);
  ProgramResult result;
  std::size_t size = 0;
  while (in >> result.exit_status >> result.signal >> size && in.get() == '\n') {
    result.output.assign(size, '\0');
    in.read(result.output.data(), static_cast<std::streamsize>(size));
    results.push_back(result);
  }
  return results;
}

void write_replay(const std::filesystem::path& file, const std::vector<ProgramResult>& results) {
  std::ofstream out(file, std::ios::binary);
  for (const auto& result : results) {
    out << result.exit_status << ' ' << result.signal << ' ' << result.output.size() << '\n' << result.output;
  }
}

std::string current_test_name() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) throw std::runtime_error("a child can only be run from inside a test");
  return std::string(info->test_suite_name()) + "." + info->name();
}

TestRuns& runs_of_this_test() {
  static TestRuns runs;
  const std::string test = current_test_name();
  if (runs.test != test) {
    runs = {.test = test, .started = 0, .results = child_orders() ? replayed_results() : std::vector<ProgramResult>{}};
  }
  return runs;
}

std::string handle_text(HANDLE handle) {
  if (handle == nullptr) return "closed";
  char text[32];
  std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
  return text;
}

// In the child, gives the body its streams. A closed stream leaves a value
// in the standard slot that no handle has any more, as a closed descriptor
// leaves its number free.
void install_streams(const ChildOrders& orders) {
  std::fflush(nullptr);
  const DWORD slots[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  for (int i = 0; i < 3; ++i) {
    if (orders.streams[i] == "closed") {
      const HANDLE gone = CreateFileW(L"NUL", GENERIC_READ, kShareEverything, nullptr, OPEN_EXISTING, 0, nullptr);
      SetStdHandle(slots[i], gone);
      CloseHandle(gone);
    } else {
      SetStdHandle(slots[i], reinterpret_cast<HANDLE>(std::stoull(orders.streams[i], nullptr, 16)));
    }
  }
}

// The parent's side of a child that re-runs the current test; without a
// process where this process is itself such a child, replaying an earlier call.
struct RerunChild {
  Started started;
  ChildHandles handles;
  std::size_t index = 0;
  std::filesystem::path replay;  // the results the child replays, removed once it has ended

  ~RerunChild() {
    std::error_code ignored;
    if (!replay.empty()) std::filesystem::remove(replay, ignored);
  }
  RerunChild() = default;
  RerunChild(RerunChild&& other) noexcept
      : started(std::move(other.started)),
        handles(std::move(other.handles)),
        index(other.index),
        replay(std::exchange(other.replay, {})) {}
};

RerunChild start_rerun(const std::function<void()>& body, const ChildStreams& streams, bool input_pipe) {
  TestRuns& runs = runs_of_this_test();
  const std::size_t index = runs.started++;
  if (const auto& orders = child_orders(); orders && orders->index == index) {
    install_streams(*orders);
    body();
    ExitProcess(0);
  }
  RerunChild child;
  child.index = index;
  if (child_orders()) return child;  // an earlier call of the child's test: replayed, not run

  child.handles = child_handles(streams, input_pipe);
  child.replay = unused_temporary_path("sortbench-replay-");
  write_replay(child.replay, runs.results);
  const std::string orders = std::to_string(index) + " " + handle_text(child.handles.input.get()) + " " +
                             handle_text(child.handles.output.get()) + " " + handle_text(child.handles.error.get());
  // The re-run test's own printing goes nowhere; only the body gets the streams.
  SECURITY_ATTRIBUTES attributes = inheritable();
  const Handle null_device(
      CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, kShareEverything, &attributes, OPEN_EXISTING, 0, nullptr));
  const std::filesystem::path program = system::this_program();
  child.started = start(program, quoted(program.wstring()) + L" " + widened("--gtest_filter=" + runs.test),
                        environment_block({{kChildVariable, orders}, {kReplayVariable, child.replay.string()}}),
                        std::filesystem::current_path(), null_device.get(), null_device.get(), null_device.get(), 0);
  // The child holds its own copies now; the test keeps only a pipe's writing end.
  child.handles.input = Handle();
  child.handles.output = Handle();
  child.handles.error = Handle();
  return child;
}

// Notes how a child of the current test ended, for the children after it.
void record(std::size_t index, const ProgramResult& result) {
  TestRuns& runs = runs_of_this_test();
  if (runs.results.size() <= index)
    runs.results.resize(index + 1, ProgramResult{.exit_status = 0, .signal = 0, .output = {}});
  runs.results[index] = result;
}

ProgramResult replayed(std::size_t index) {
  const TestRuns& runs = runs_of_this_test();
  return index < runs.results.size() ? runs.results[index] : ProgramResult{.exit_status = 0, .signal = 0, .output = {}};
}

}  // namespace

ProgramResult run_in_child(const std::function<void()>& body, const ChildStreams& streams) {
  RerunChild child = start_rerun(body, streams, false);
  if (child.started.process.get() == nullptr) return replayed(child.index);
  const ProgramResult result = wait_until_ended(child.started.process.get(), child.handles.captured);
  record(child.index, result);
  return result;
}

struct RunningChild::State {
  explicit State(RerunChild started) : child(std::move(started)) {}
  RerunChild child;
  bool over = false;
};

RunningChild::RunningChild(std::unique_ptr<State> state) : state_(std::move(state)) {}
RunningChild::RunningChild(RunningChild&&) noexcept = default;

RunningChild::~RunningChild() {
  if (!state_ || state_->over || state_->child.started.process.get() == nullptr) return;
  TerminateProcess(state_->child.started.process.get(), 1);
  WaitForSingleObject(state_->child.started.process.get(), INFINITE);
  if (!state_->child.handles.captured.empty()) std::filesystem::remove(state_->child.handles.captured);
}

bool RunningChild::write_input(std::string_view text) {
  const HANDLE writer = state_->child.handles.input_writer.get();
  if (writer == nullptr) return state_->child.started.process.get() == nullptr;  // replayed: nothing to write to
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(writer, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written == 0) {
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

std::optional<ProgramResult> RunningChild::wait_for(std::chrono::milliseconds patience) {
  State& state = *state_;
  if (state.child.started.process.get() == nullptr) return replayed(state.child.index);
  if (state.over) return std::nullopt;
  if (WaitForSingleObject(state.child.started.process.get(), static_cast<DWORD>(patience.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  state.over = true;
  const ProgramResult result = ended(state.child.started.process.get(), state.child.handles.captured);
  record(state.child.index, result);
  return result;
}

RunningChild start_in_child(const std::function<void()>& body, const ChildStreams& streams) {
  return RunningChild(std::make_unique<RunningChild::State>(start_rerun(body, streams, true)));
}

// ---- real programs --------------------------------------------------------

ProgramResult run_program(const ProgramRun& run) {
  ChildHandles handles = child_handles(run.streams, false);
  const bool limited = run.address_space_bytes.has_value();
  Started started =
      start(run.program, quoted(run.program.wstring()), environment_block(run.environment), run.directory,
            handles.input.get(), handles.output.get(), handles.error.get(), limited ? CREATE_SUSPENDED : 0);
  handles.input = Handle();
  handles.output = Handle();
  handles.error = Handle();
  Handle job;
  if (limited) {
    job = Handle(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
    limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY | JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    limit.ProcessMemoryLimit = static_cast<SIZE_T>(*run.address_space_bytes);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION in_force{};
    const bool holds =
        SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limit, sizeof limit) &&
        QueryInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &in_force, sizeof in_force, nullptr) &&
        (in_force.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_PROCESS_MEMORY) != 0 &&
        in_force.ProcessMemoryLimit == limit.ProcessMemoryLimit &&
        AssignProcessToJobObject(job.get(), started.process.get());
    if (!holds) {
      // Run unlimited, the program would take the memory the test meant to refuse.
      TerminateProcess(started.process.get(), 1);
      WaitForSingleObject(started.process.get(), INFINITE);
      if (!handles.captured.empty()) std::filesystem::remove(handles.captured);
      throw std::runtime_error("the system does not hold the program to a memory limit (see memory_limits_hold)");
    }
    ResumeThread(started.thread.get());
  }
  return wait_until_ended(started.process.get(), handles.captured);
}

bool memory_limits_hold() {
  static const bool hold = [] {
    const Handle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
    limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limit.ProcessMemoryLimit = SIZE_T{256} << 20;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION in_force{};
    return SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limit, sizeof limit) &&
           QueryInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &in_force, sizeof in_force,
                                     nullptr) &&
           (in_force.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_PROCESS_MEMORY) != 0 &&
           in_force.ProcessMemoryLimit == limit.ProcessMemoryLimit;
  }();
  return hold;
}

}  // namespace test_support
