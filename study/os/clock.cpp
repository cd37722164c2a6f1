// The part of the calendar time that is the same on every system; each
// layer gives only local_time.
#include "study/os/clock.hpp"

#include <fmt/format.h>

#include <chrono>
#include <cstdlib>

namespace study::os {

// The local time read back as if it were UTC, less the time itself. The C
// library's %z would not serve every system: on Windows it names the zone
// ("W. Europe Standard Time").
std::string utc_offset(std::time_t time) {
  namespace chrono = std::chrono;
  const std::tm local = local_time(time);
  const chrono::sys_days date = chrono::year{local.tm_year + 1900} / (local.tm_mon + 1) / local.tm_mday;
  const chrono::sys_seconds local_as_utc =
      date + chrono::hours{local.tm_hour} + chrono::minutes{local.tm_min} + chrono::seconds{local.tm_sec};
  const long long seconds = (local_as_utc - chrono::sys_seconds{chrono::seconds{time}}).count();
  const long long minutes = std::llabs(seconds) / 60;
  return fmt::format("{}{:02}{:02}", seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

}  // namespace study::os
