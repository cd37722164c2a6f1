#include "stand_in_programs.hpp"

#include <cstdio>

#include "result_fixtures.hpp"

namespace study_tests {

namespace fs = std::filesystem;

void write_text(const fs::path& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

void StudyWithStandIns::SetUp() {
  fs::create_directory(bin());
  write_text(bin() / "build-info.txt",
             "compiler: GNU 12.2.0\nflags: -O2 -DNDEBUG -Wall\nbuild type: Release\nversion: abc123\n");
}

void StudyWithStandIns::fake(const std::string& name, const std::string& body) {
  write_text(bin() / name, "#!/bin/sh\n" + body + "\n");
  fs::permissions(bin() / name, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
}

void StudyWithStandIns::fake_with_results(const std::string& name, int steps, const std::string& line,
                                          const std::string& results, const std::string& after) {
  write_text(bin() / (name + ".results"), results);
  fake(name, "i=1; while [ $i -le " + std::to_string(steps) + " ]; do printf '" + line +
                 "\\r\\n' $i; i=$((i+1)); done\ncat '" + (bin() / (name + ".results")).string() + "' > vystup.out\n" +
                 after);
}

void StudyWithStandIns::fake_recording(const study::SuiteProgram& program, const std::string& results,
                                       std::int64_t (*nanoseconds)(std::size_t row, std::size_t column),
                                       const std::string& before_record) {
  const std::string text =
      program_record(program, "@SEED@", [&](std::size_t table, std::size_t row, std::size_t column) {
        const std::int64_t time = nanoseconds(row, column) * (table == 0 ? 1 : 2);
        return RecordedCell{time / 10'000'000, time};
      });
  const fs::path record = bin() / (std::string(program.name()) + ".record");
  write_text(record, text);
  fake_with_results(
      std::string(program.name()), program.progress_steps(), "%d", results,
      before_record + "\nsed \"s/@SEED@/${SORTBENCH_SEED:-4242}/\" '" + record.string() + "' > \"$SORTBENCH_RECORD\"");
}

std::vector<std::string> StudyWithStandIns::study_arguments(std::vector<std::string> extra) const {
  std::vector<std::string> arguments{STUDY_PATH, "--bin", bin().string(), "--results", results().string()};
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
