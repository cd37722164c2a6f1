#include "analysis/programs/suite_programs.hpp"

#include <fmt/format.h>

#include "analysis/text/text_format.hpp"
#include "kit/file_names.hpp"
#include "kit/kernel_names.hpp"

namespace analysis {
namespace facts {

using kit::kernel_legend;

std::vector<std::string> column_labels(const SmallArrayProgram& program) {
  std::vector<std::string> labels;
  for (const smallarrays::Algorithm algorithm : program.algorithms) {
    labels.emplace_back(smallarrays::column_label(algorithm));
  }
  return labels;
}

std::vector<std::string> column_labels(const FileDuelProgram&) { return {}; }

std::vector<std::string> column_labels(const GridDuelProgram& program) {
  std::vector<std::string> labels;
  std::int64_t range = 1;
  for (std::int32_t column = 1; column <= program.ranges; ++column) {
    range *= 10;
    labels.push_back(std::to_string(range));
  }
  return labels;
}

std::vector<std::string> column_labels(const CutoffProgram& program) {
  std::vector<std::string> labels;
  for (std::int32_t column = 1; column <= program.cutoffs; ++column) {
    labels.push_back(std::to_string(program.row_base + column));
  }
  return labels;
}

std::string description(const SmallArrayProgram& program) {
  return fmt::format("{} comparison sorts ({}) on {} arrays of {} to {} elements", program.algorithms.size(),
                     fmt::join(column_labels(program), " "), with_thousands(program.arrays), program.lengths.front(),
                     program.lengths.back());
}

std::string description(const FileDuelProgram& program) {
  return fmt::format("{} against {} on {} inputs read from {}", kernel_legend(quickvscount::kQuicksortKernel),
                     kernel_legend(quickvscount::kCountingsortKernel), program.inputs.POCET_PRVKOV.size(),
                     kit::kInputFileName);
}

std::string description(const GridDuelProgram& program) {
  return fmt::format("{} against {} over {} lengths by {} value ranges", kernel_legend(program.layout.first_kernel),
                     kernel_legend(program.layout.second_kernel), program.lengths.size(), program.ranges);
}

std::string description(const CutoffProgram& program) {
  return fmt::format("{} against quicksort with insertion-sort cutoffs {} to {}",
                     kernel_legend(program.layout.first_kernel), program.row_base + 1,
                     program.row_base + program.cutoffs);
}

}  // namespace facts

std::vector<RecordTable> SuiteProgram::record_tables() const {
  return std::visit(
      [](const auto* program) {
        const auto tables = facts::record_tables(*program);
        return std::vector<RecordTable>(tables.begin(), tables.end());
      },
      parameters_);
}

std::string_view SuiteProgram::kernel_of(std::string_view table, std::string_view column) const {
  for (const RecordTable& record_table : record_tables()) {
    if (record_table.name != table) continue;
    if (!record_table.kernel.empty()) return record_table.kernel;
    // The small-array programs: each column is a sort of its own.
    if (const auto* program = std::get_if<const facts::SmallArrayProgram*>(&parameters_)) {
      for (const smallarrays::Algorithm algorithm : (*program)->algorithms) {
        if (smallarrays::column_label(algorithm) == column) return smallarrays::kernel_name(algorithm);
      }
    }
  }
  return {};
}

std::vector<std::string> SuiteProgram::column_labels() const {
  return std::visit([](const auto* program) { return facts::column_labels(*program); }, parameters_);
}

std::string SuiteProgram::description() const {
  return std::visit([](const auto* program) { return facts::description(*program); }, parameters_);
}

const SuiteProgram* find_suite_program(std::string_view name) {
  for (const SuiteProgram& program : kSuitePrograms) {
    if (program.name() == name) return &program;
  }
  return nullptr;
}

std::string suite_program_names() {
  std::vector<std::string_view> names;
  for (const SuiteProgram& program : kSuitePrograms) names.push_back(program.name());
  return fmt::format("{}", fmt::join(names, " "));
}

}  // namespace analysis
