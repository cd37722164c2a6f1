#include "stand_in_programs.hpp"

#include <fstream>

#include "child_process.hpp"
#include "result_fixtures.hpp"
#include "study/os/program.hpp"

namespace study_tests {

namespace fs = std::filesystem;

void write_text(const fs::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  ASSERT_TRUE(file.is_open()) << path;
  file << text;
}

std::int64_t hundredths(std::size_t row, std::size_t column) { return static_cast<std::int64_t>(row * 7 + column + 1); }
std::int64_t nanoseconds(std::size_t row, std::size_t column) {
  return static_cast<std::int64_t>((row + 1) * 1'000'000 + column * 50'000);
}

bool peaks_may_be_unknown() { return std::string_view(STUDY_OS_LAYER) == "windows" && test_support::under_emulator(); }

void StudyWithStandIns::SetUp() {
  fs::create_directory(bin());
  write_text(bin() / "build-info.txt",
             "compiler: GNU 12.2.0\nflags: -O2 -DNDEBUG -Wall\nbuild type: Release\nversion: abc123\n");
  set_machine_file("proc/loadavg", "0.00 0.00 0.00 1/100 4242\n");
  set_machine_file("sys/devices/system/cpu/cpu0/cpufreq/scaling_governor", "performance\n");
  set_machine_file("sys/kernel/mm/transparent_hugepage/enabled", "always [madvise] never\n");
  test_support::set_environment("SORTBENCH_MACHINE_ROOT", machine().string().c_str());
  test_support::set_environment("SORTBENCH_STUDY_LOCKS", locks().string().c_str());
  // The machine's own noise would make the outputs depend on it: no calibration, unless a test states one.
  test_support::set_environment("SORTBENCH_NOISE_CALIBRATION", "off");
}

void StudyWithStandIns::TearDown() {
  test_support::unset_environment("SORTBENCH_MACHINE_ROOT");
  test_support::unset_environment("SORTBENCH_STUDY_LOCKS");
  test_support::unset_environment("SORTBENCH_NOISE_CALIBRATION");
}

void StudyWithStandIns::set_machine_file(const std::string& relative, const std::string& text) {
  fs::create_directories((machine() / relative).parent_path());
  write_text(machine() / relative, text);
}

void StudyWithStandIns::fake(const std::string& name, const std::string& script) {
  write_text(bin() / (name + ".script"), script + "\n");
  fs::copy_file(built(STAND_IN_PATH), study::os::program_file(bin(), name), fs::copy_options::overwrite_existing);
}

void StudyWithStandIns::fake_with_results(const std::string& name, int steps, const std::string& line,
                                          const std::string& results, const std::string& after) {
  write_text(bin() / (name + ".results"), results);
  fake(name, "count " + std::to_string(steps) + " " + line + "\\r\\n\ncopy " + name + ".results vystup.out\n" + after);
}

void StudyWithStandIns::fake_recording(const analysis::SuiteProgram& program, const std::string& results,
                                       std::int64_t (*nanoseconds)(std::size_t row, std::size_t column),
                                       const std::string& before_record) {
  const std::string text =
      fixtures::program_record(program, "@SEED@", [&](std::size_t table, std::size_t row, std::size_t column) {
        const std::int64_t time = nanoseconds(row, column) * (table == 0 ? 1 : 2);
        return fixtures::RecordedCell{time / 10'000'000, time};
      });
  const std::string name(program.name);
  write_text(bin() / (name + ".record"), text);
  fake_with_results(name, program.progress_steps, "%d", results, before_record + "\nrecord " + name + ".record");
}

std::vector<std::string> StudyWithStandIns::study_arguments(std::vector<std::string> extra) const {
  std::vector<std::string> arguments{built(STUDY_PATH), "--bin", bin().string(), "--results", results().string()};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  return arguments;
}

fs::path StudyWithStandIns::run_folder() const {
  std::vector<fs::path> folders;
  for (const auto& entry : fs::directory_iterator(results())) folders.push_back(entry.path());
  EXPECT_EQ(folders.size(), 1u);
  return folders.empty() ? fs::path() : folders.front();
}

}  // namespace study_tests
