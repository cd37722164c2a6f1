#include "kit/os/error_numbers.hpp"

#include <algorithm>

namespace kit::os {

int report_error_number(std::span<const RenumberedCode> renumbered, std::int64_t code) {
  const auto found = std::ranges::find(renumbered, code, &RenumberedCode::code);
  return found != renumbered.end() ? found->number : static_cast<int>(code);
}

}  // namespace kit::os
