// The study lock on Unix: flock on the process's own file, which the
// system lets go with the last descriptor of the file, so with the process
// however it ends. The folder must be the user's own: a folder of another
// user's in the shared temporary folder could hide or fake the locks.
#include "study/os/study_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "study/os/files.hpp"
#include "study/os/tool_error.hpp"

namespace study::os {

struct StudyLock::State {
  int descriptor = -1;
  std::filesystem::path file;
};

namespace {

// Another study that looks at this file holds it for an instant.
constexpr int kLockAttempts = 5;
constexpr auto kLockPause = std::chrono::milliseconds(10);

// "" when `folder` is, or now is, a folder of this user's; else why not.
std::string prepare_folder(const std::filesystem::path& folder) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    return "cannot make " + folder.string() + ": " + error_text(errno);
  }
  struct stat status {};
  if (::lstat(folder.c_str(), &status) != 0) return "cannot look at " + folder.string() + ": " + error_text(errno);
  if (!S_ISDIR(status.st_mode)) return folder.string() + " is not a folder";
  if (status.st_uid != ::geteuid()) return folder.string() + " belongs to another user";
  return {};
}

}  // namespace

StudyLock::StudyLock(std::filesystem::path folder) : state_(std::make_unique<State>()), folder_(std::move(folder)) {
  if (std::string problem = prepare_folder(folder_); !problem.empty()) {
    failure_ = std::move(problem);
    return;
  }
  const std::filesystem::path file = folder_ / lock_file_name(process_id());
  const int descriptor = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (descriptor < 0) {
    failure_ = "cannot open " + file.string() + ": " + error_text(errno);
    return;
  }
  for (int attempt = 1;; ++attempt) {
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) break;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK || attempt == kLockAttempts) {
      failure_ = "cannot lock " + file.string() + ": " + error_text(errno);
      ::close(descriptor);
      return;
    }
    std::this_thread::sleep_for(kLockPause);
  }
  state_->descriptor = descriptor;
  state_->file = file;
}

StudyLock::~StudyLock() {
  if (state_->descriptor < 0) return;
  ::unlink(state_->file.c_str());
  ::close(state_->descriptor);
}

bool StudyLock::held(const std::filesystem::path& file) {
  const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (descriptor < 0) return false;
  int result = 0;
  do {
    result = ::flock(descriptor, LOCK_SH | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  const bool locked = result != 0 && errno == EWOULDBLOCK;
  ::close(descriptor);  // and with it the shared lock, if it was taken
  return locked;
}

std::filesystem::path system_study_lock_folder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime == '/') return std::filesystem::path(runtime) / "sortbench-studies";
  std::error_code error;
  std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error) temporary = "/tmp";
  return temporary / ("sortbench-studies-" + std::to_string(::geteuid()));
}

}  // namespace study::os
