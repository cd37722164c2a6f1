// clang 14 cannot use the standard library's std::source_location (it lacks
// the builtin that libstdc++ 12 needs), which leaves the header empty. The
// fuzz targets are built with clang only, so they get an equivalent from the
// older builtins, which also take the caller's position as default arguments.
#pragma once

#include <cstdint>
#include <source_location>

#if !defined(__cpp_lib_source_location)
namespace std {
struct source_location {
  static constexpr source_location current(const char* file = __builtin_FILE(),
                                           const char* function = __builtin_FUNCTION(),
                                           std::uint_least32_t line = __builtin_LINE(),
                                           std::uint_least32_t column = __builtin_COLUMN()) noexcept {
    source_location where;
    where.file_ = file;
    where.function_ = function;
    where.line_ = line;
    where.column_ = column;
    return where;
  }
  constexpr const char* file_name() const noexcept { return file_; }
  constexpr const char* function_name() const noexcept { return function_; }
  constexpr std::uint_least32_t line() const noexcept { return line_; }
  constexpr std::uint_least32_t column() const noexcept { return column_; }

 private:
  const char* file_ = "";
  const char* function_ = "";
  std::uint_least32_t line_ = 0;
  std::uint_least32_t column_ = 0;
};
}  // namespace std
#endif
