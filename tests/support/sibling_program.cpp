#include "support/sibling_program.hpp"

#include <string>

#include "support/system.hpp"

namespace test_support {

std::filesystem::path sibling_program(std::string_view name) {
  return system::this_program().parent_path() / (std::string(name) + system::kExecutableSuffix);
}

}  // namespace test_support
