// The study lock on Windows: the process's own file, opened without
// sharing and deleted when closed. Windows closes it with the process
// however it ends; while it is open, another process cannot open it.
#include "study/os/study_lock.hpp"

#include <chrono>
#include <thread>

#include "study/os/files.hpp"
#include "study/os/windows/layer.hpp"

namespace study::os {

struct StudyLock::State {
  windows_layer::OwnedHandle file;
};

namespace {

// Another study that looks at this file holds it open for an instant.
constexpr int kLockAttempts = 5;
constexpr auto kLockPause = std::chrono::milliseconds(10);

}  // namespace

StudyLock::StudyLock(std::filesystem::path folder) : state_(std::make_unique<State>()), folder_(std::move(folder)) {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (error) {
    failure_ = "cannot make " + folder_.string() + ": " + error.message();
    return;
  }
  const std::filesystem::path file = folder_ / lock_file_name(process_id());
  for (int attempt = 1;; ++attempt) {
    state_->file = windows_layer::OwnedHandle(
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (state_->file) return;
    const DWORD failed = GetLastError();
    if (failed != ERROR_SHARING_VIOLATION || attempt == kLockAttempts) {
      failure_ = "cannot open " + file.string() + ": " + windows_layer::error_words(failed);
      return;
    }
    std::this_thread::sleep_for(kLockPause);
  }
}

// The file goes with its handle.
StudyLock::~StudyLock() = default;

bool StudyLock::held(const std::filesystem::path& file) {
  const windows_layer::OwnedHandle opened(CreateFileW(file.c_str(), GENERIC_READ,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !opened && GetLastError() == ERROR_SHARING_VIOLATION;
}

std::filesystem::path system_study_lock_folder() {
  std::error_code error;
  std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  return (error ? std::filesystem::path("C:\\Windows\\Temp") : temporary) / "sortbench-studies";
}

}  // namespace study::os
