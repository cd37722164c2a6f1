// Children through CreateProcessW, each with a hidden console of its own:
// Ctrl-C reaches a process only through a console it shares, so the test
// joins the child's console for the moment it presses Ctrl-C there.
#include <windows.h>

#include <array>
#include <stdexcept>

#include "child_process.hpp"
#include "study/os/windows/layer.hpp"

namespace study_tests {
namespace {

std::wstring wide(const std::string& text) { return std::filesystem::path(text).wstring(); }

BOOL WINAPI swallow_ctrl_c(DWORD) { return TRUE; }

}  // namespace

struct ChildProcess::State {
  HANDLE process = nullptr;
  DWORD process_id = 0;
  HANDLE output = nullptr;
  HANDLE input = nullptr;
};

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::filesystem::path& directory,
                           bool hold_input_open)
    : state_(std::make_unique<State>()) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE output_write = nullptr;
  if (!CreatePipe(&state_->output, &output_write, &inherited, 0)) throw std::runtime_error("CreatePipe failed");
  SetHandleInformation(state_->output, HANDLE_FLAG_INHERIT, 0);
  HANDLE input_read = nullptr;
  if (hold_input_open) {
    if (!CreatePipe(&input_read, &state_->input, &inherited, 0)) throw std::runtime_error("CreatePipe failed");
    SetHandleInformation(state_->input, HANDLE_FLAG_INHERIT, 0);
  } else {
    input_read = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = input_read;
  startup.hStdOutput = output_write;
  startup.hStdError = output_write;
  std::wstring line;
  for (const std::string& argument : arguments) study::os::windows_layer::append_argument(line, wide(argument));
  const std::wstring folder = std::filesystem::absolute(directory).wstring();
  PROCESS_INFORMATION process{};
  const bool started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr,
                                      folder.c_str(), &startup, &process);
  CloseHandle(output_write);
  CloseHandle(input_read);
  if (!started) throw std::runtime_error("CreateProcessW failed with error " + std::to_string(GetLastError()));
  CloseHandle(process.hThread);
  state_->process = process.hProcess;
  state_->process_id = process.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (state_->process != nullptr) {
    TerminateProcess(state_->process, 1);
    finish();
  }
}

bool ChildProcess::read_some() {
  std::array<char, 4096> buffer{};
  DWORD got = 0;
  if (!ReadFile(state_->output, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) || got == 0) {
    return false;
  }
  output_.append(buffer.data(), got);
  return true;
}

void ChildProcess::press_ctrl_c() {
  // A child that has ended has no console left to press it in, as a signal to a zombie goes nowhere.
  if (state_->process == nullptr || WaitForSingleObject(state_->process, 0) == WAIT_OBJECT_0) return;
  // The test's own streams stay its own while it visits the console.
  const std::array<DWORD, 3> streams{STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  std::array<HANDLE, 3> saved{};
  for (std::size_t i = 0; i < streams.size(); ++i) saved[i] = GetStdHandle(streams[i]);
  FreeConsole();
  const bool joined = AttachConsole(state_->process_id);
  // The test lives on: the Ctrl-C is for the child. A handler, not the
  // flag to ignore Ctrl-C, which the children started later would inherit.
  SetConsoleCtrlHandler(swallow_ctrl_c, TRUE);
  const bool sent = joined && GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  FreeConsole();
  for (std::size_t i = 0; i < streams.size(); ++i) SetStdHandle(streams[i], saved[i]);
  // Unless the child ended meanwhile, it must have had the Ctrl-C.
  if (!sent && WaitForSingleObject(state_->process, 0) != WAIT_OBJECT_0) {
    throw std::runtime_error("cannot press Ctrl-C in the child's console");
  }
}

int ChildProcess::finish() {
  if (state_->process == nullptr) return -1;
  while (read_some()) {
  }
  CloseHandle(state_->output);
  if (state_->input != nullptr) CloseHandle(state_->input);
  WaitForSingleObject(state_->process, INFINITE);
  DWORD status = 0;
  GetExitCodeProcess(state_->process, &status);
  CloseHandle(state_->process);
  state_->process = nullptr;
  return static_cast<int>(status);
}

void end_from_outside(std::uint64_t process_id) {
  const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(process_id));
  const bool ended = process != nullptr && TerminateProcess(process, 0xC0000005);
  if (process != nullptr) CloseHandle(process);
  if (!ended) throw std::runtime_error("cannot end process " + std::to_string(process_id));
}

}  // namespace study_tests
