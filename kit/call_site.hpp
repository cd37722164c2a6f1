// Where a checked operation is called from. Taken as a default argument, it
// records the caller's file and line, as kit::CallSite does; that
// class is not usable with clang 14 on this standard library, the builtins are.
#pragma once

#include <cstdint>

namespace kit {

class CallSite {
 public:
  static constexpr CallSite current(const char* file = __builtin_FILE(),
                                    std::uint_least32_t line = __builtin_LINE()) noexcept {
    return CallSite(file, line);
  }

  constexpr const char* file_name() const noexcept { return file_; }
  constexpr std::uint_least32_t line() const noexcept { return line_; }

 private:
  constexpr CallSite(const char* file, std::uint_least32_t line) : file_(file), line_(line) {}

  const char* file_;
  std::uint_least32_t line_;
};

}  // namespace kit
