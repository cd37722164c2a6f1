#include "study/os/clock.hpp"

#include <cstdio>
#include <cstdlib>

namespace study::os {

std::tm local_time(std::time_t time) {
  std::tm local{};
  localtime_s(&local, &time);
  return local;
}

// The C library's %z names the zone here ("W. Europe Standard Time"):
// the offset is the local time read back as UTC, less the time itself.
std::string utc_offset(std::time_t time) {
  std::tm local = local_time(time);
  const long long seconds = static_cast<long long>(_mkgmtime(&local)) - static_cast<long long>(time);
  const long long minutes = std::llabs(seconds) / 60;
  char text[8];
  std::snprintf(text, sizeof text, "%c%02lld%02lld", seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return text;
}

}  // namespace study::os
