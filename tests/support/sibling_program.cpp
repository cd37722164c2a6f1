#include "support/sibling_program.hpp"

namespace test_support {

std::filesystem::path sibling_program(std::string_view name) {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}

}  // namespace test_support
