#include "analysis/programs/suite_programs.hpp"

#include <fmt/format.h>

namespace analysis {

std::vector<std::string> SuiteProgram::column_labels() const {
  std::vector<std::string> labels;
  for (const Column& column : columns) labels.emplace_back(column.label.view());
  return labels;
}

std::string_view SuiteProgram::kernel_of(std::string_view table, std::string_view column) const {
  for (const RecordTable& record_table : record_tables) {
    if (record_table.name != table) continue;
    if (!record_table.kernel.empty()) return record_table.kernel;
    for (const Column& each : columns) {
      if (each.label.view() == column) return each.kernel;
    }
  }
  return {};
}

const SuiteProgram* find_suite_program(std::string_view name) {
  for (const SuiteProgram& program : kSuitePrograms) {
    if (program.name == name) return &program;
  }
  return nullptr;
}

std::string suite_program_names() {
  std::vector<std::string_view> names;
  for (const SuiteProgram& program : kSuitePrograms) names.push_back(program.name);
  return fmt::format("{}", fmt::join(names, " "));
}

}  // namespace analysis
