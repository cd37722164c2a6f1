// Recognises the report a program prints when a runtime error stops it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// True when `text` is exactly "Runtime error <number> at $XXXXXXXX" (eight
// upper-case hex digits), one line "  <routine>" per active routine,
// innermost first, and an empty line, every line ending with CR LF.
bool is_runtime_error_report(std::string_view text, int number, const std::vector<std::string>& routines);

}  // namespace test_support
