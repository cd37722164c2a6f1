#include "support/runtime_error_report.hpp"

namespace test_support {

bool is_runtime_error_report(std::string_view text, int number, const std::vector<std::string>& routines) {
  const std::string head = "Runtime error " + std::to_string(number) + " at $";
  if (!text.starts_with(head)) return false;
  text.remove_prefix(head.size());
  if (text.size() < 8) return false;
  for (char c : text.substr(0, 8)) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  text.remove_prefix(8);
  std::string rest = "\r\n";
  for (const auto& routine : routines) rest += "  " + routine + "\r\n";
  rest += "\r\n";
  return text == rest;
}

}  // namespace test_support
