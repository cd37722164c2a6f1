// The report's error number of a system's error code, looked up the same
// way by every layer: each names the codes of its system that the report
// numbers otherwise, and any other code is reported as it is.
#pragma once

#include <cstdint>
#include <span>

namespace kit::os {

// A code of the system and the report's number for it.
struct RenumberedCode {
  std::int64_t code;
  int number;
};

// The number `renumbered` gives `code`, or the code itself where it names none.
int report_error_number(std::span<const RenumberedCode> renumbered, std::int64_t code);

}  // namespace kit::os
