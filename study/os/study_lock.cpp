// What every layer's study lock shares: the folder, the names of the lock
// files and the search for the other holders.
#include "study/os/study_lock.hpp"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "study/os/files.hpp"

namespace study::os {
namespace {

constexpr std::string_view kLockSuffix = ".lock";

}  // namespace

std::filesystem::path study_lock_folder() {
  const char* folder = std::getenv("SORTBENCH_STUDY_LOCKS");
  return folder != nullptr && *folder != '\0' ? std::filesystem::path(folder) : system_study_lock_folder();
}

std::string lock_file_name(std::uint64_t process) { return std::to_string(process) + std::string(kLockSuffix); }

std::optional<std::uint64_t> lock_file_holder(std::string_view name) {
  if (!name.ends_with(kLockSuffix)) return std::nullopt;
  name.remove_suffix(kLockSuffix.size());
  std::uint64_t process = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), process);
  if (error != std::errc() || name.empty() || end != name.data() + name.size()) return std::nullopt;
  return process;
}

std::vector<std::uint64_t> StudyLock::other_holders() const {
  std::vector<std::uint64_t> holders;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    const std::optional<std::uint64_t> holder = lock_file_holder(entry.path().filename().string());
    // A file whose lock is free is left by a study that was killed: it runs no more.
    if (holder && *holder != process_id() && held(entry.path())) holders.push_back(*holder);
  }
  std::sort(holders.begin(), holders.end());
  return holders;
}

}  // namespace study::os
