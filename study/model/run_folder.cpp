#include "study/model/run_folder.hpp"

#include <array>
#include <ctime>
#include <string>

#include "study/os/clock.hpp"
#include "study/os/tool_error.hpp"

namespace study {

std::filesystem::path make_run_folder(const std::filesystem::path& results, std::string_view prefix) {
  const std::tm local = os::local_time(std::time(nullptr));
  std::array<char, 32> name{};
  std::strftime(name.data(), name.size(), "%Y-%m-%d-%H%M%S", &local);
  std::error_code error;
  std::filesystem::create_directories(results, error);
  for (int attempt = 1;; ++attempt) {
    std::filesystem::path folder =
        results / (std::string(prefix) + name.data() + (attempt > 1 ? "-" + std::to_string(attempt) : ""));
    if (std::filesystem::create_directory(folder, error)) return folder;
    if (error) fail_on_file("create the run folder", folder, error.value());
  }
}

}  // namespace study
