// Studies that run at the same time disturb each other's timings. Each
// study holds a lock of its own for its whole run: a file named by its
// process number, in a folder the user's studies share, locked so that the
// system lets it go when the process ends, however it ends (kill -9
// included). A study finds the others by the files still locked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace study::os {

class StudyLock {
 public:
  // Takes this process's lock in `folder`, made when missing. It does not
  // throw: failure() says why the process holds no lock.
  explicit StudyLock(std::filesystem::path folder);
  // Lets the lock go and removes its file.
  ~StudyLock();
  StudyLock(const StudyLock&) = delete;
  StudyLock& operator=(const StudyLock&) = delete;

  // The process numbers of the other processes that hold a lock in the
  // folder now, in increasing order.
  std::vector<std::uint64_t> other_holders() const;

  // Why this process holds no lock; "" when it holds one.
  const std::string& failure() const { return failure_; }

  struct State;

 private:
  // The lock in `file` is held by a process (not this object).
  static bool held(const std::filesystem::path& file);

  std::unique_ptr<State> state_;
  std::filesystem::path folder_;
  std::string failure_;
};

// The folder of the locks: SORTBENCH_STUDY_LOCKS when set (the tests give
// each test a folder of its own, so that tests run at once do not see each
// other), else the system's folder for the user.
std::filesystem::path study_lock_folder();

// The folder the system gives the user's studies: on Unix
// $XDG_RUNTIME_DIR/sortbench-studies, else sortbench-studies-UID in the
// temporary folder; on Windows sortbench-studies in the user's temporary
// folder.
std::filesystem::path system_study_lock_folder();

// The name of the lock file of process `process`: "1234.lock"; and back.
std::string lock_file_name(std::uint64_t process);
std::optional<std::uint64_t> lock_file_holder(std::string_view name);

}  // namespace study::os
