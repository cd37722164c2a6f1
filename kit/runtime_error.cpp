#include "kit/runtime_error.hpp"

#include <array>
#include <charconv>
#include <string_view>

#include "kit/os/files.hpp"
#include "kit/os/process.hpp"

namespace kit {
namespace {

// Deep enough for any program of the suite; deeper routines are simply not listed.
constexpr int kMaxListedRoutines = 16;
std::array<const char*, kMaxListedRoutines> active_routines{};
int active_routine_count = 0;

void append(char*& cursor, const char* end, std::string_view text) {
  for (char c : text) {
    if (cursor == end) return;
    *cursor++ = c;
  }
}

}  // namespace

std::uint32_t failure_site_code(const CallSite& where) {
  // FNV-1a over the file's base name and the line of the call, so the code
  // does not depend on where the sources were checked out.
  std::string_view file = where.file_name();
  if (const auto slash = file.find_last_of('/'); slash != std::string_view::npos) {
    file.remove_prefix(slash + 1);
  }
  std::uint32_t hash = 2166136261u;
  const auto mix = [&hash](std::uint32_t byte) { hash = (hash ^ byte) * 16777619u; };
  for (unsigned char c : file) mix(c);
  const std::uint32_t line = where.line();
  for (int shift = 0; shift < 32; shift += 8) mix((line >> shift) & 0xFFu);
  return hash;
}

void stop_with_runtime_error(int error_number, const CallSite& where) {
  // Built in one buffer and written with one call; if standard output itself
  // is what failed, the report is lost but the status still tells.
  std::array<char, 1024> report{};
  char* cursor = report.data();
  const char* const end = report.data() + report.size();
  std::array<char, 16> digits{};
  append(cursor, end, "Runtime error ");
  auto number_end = std::to_chars(digits.data(), digits.data() + digits.size(), error_number).ptr;
  append(cursor, end, std::string_view(digits.data(), static_cast<std::size_t>(number_end - digits.data())));
  append(cursor, end, " at $");
  const std::uint32_t code = failure_site_code(where);
  for (int shift = 28; shift >= 0; shift -= 4) {
    append(cursor, end, std::string_view(&"0123456789ABCDEF"[(code >> shift) & 0xFu], 1));
  }
  append(cursor, end, "\r\n");
  for (int i = active_routine_count; i-- > 0;) {
    if (i >= kMaxListedRoutines) continue;
    append(cursor, end, "  ");
    append(cursor, end, active_routines[static_cast<std::size_t>(i)]);
    append(cursor, end, "\r\n");
  }
  append(cursor, end, "\r\n");
  os::write_all(os::standard_output(), report.data(), static_cast<std::size_t>(cursor - report.data()));
  os::end_process(error_number % 256);
}

ActiveRoutine::ActiveRoutine(const char* name) noexcept {
  if (active_routine_count < kMaxListedRoutines) {
    active_routines[static_cast<std::size_t>(active_routine_count)] = name;
  }
  ++active_routine_count;
}

ActiveRoutine::~ActiveRoutine() { --active_routine_count; }

void prepare_process() noexcept {
  os::ignore_broken_pipes();
  os::occupy_closed_standard_streams();
}

}  // namespace kit
