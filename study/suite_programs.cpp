#include "study/suite_programs.hpp"

#include <array>

namespace study {
namespace {

constexpr std::array<SuiteProgram, 6> kPrograms{{
    {"smallsix", 648000000, 16, ProgressKind::length_index, 1000000,
     "six comparison sorts on 1,000,000 arrays of 5 to 80 elements"},
    {"smallfive", 644000000, 19, ProgressKind::length_index, 500000,
     "five comparison sorts on 500,000 arrays of 70 to 160 elements"},
    {"tallyduel", 320000016, 9, ProgressKind::report_block, 1,
     "quicksort against counting sort on nine inputs read from vstup.in"},
    {"tallygrid", 800000016, 84, ProgressKind::grid_cell, 1,
     "quicksort against counting sort over 12 lengths by 7 value ranges"},
    {"cutoffwide", 400000016, 108, ProgressKind::grid_cell, 1,
     "recursive quicksort against quicksort with insertion-sort cutoffs 21 to 29"},
    {"cutoffnarrow", 480000016, 35, ProgressKind::grid_cell, 1,
     "recursive quicksort against quicksort with insertion-sort cutoffs 3 to 9"},
}};

}  // namespace

std::span<const SuiteProgram> suite_programs() { return kPrograms; }

const SuiteProgram* find_suite_program(std::string_view name) {
  for (const SuiteProgram& program : kPrograms) {
    if (program.name == name) return &program;
  }
  return nullptr;
}

}  // namespace study
