// The calendar time of the tools: dates in context.txt and run folder names.
#pragma once

#include <ctime>
#include <string>

namespace study::os {

// `time` in the local time zone.
std::tm local_time(std::time_t time);

// The local time zone's offset from UTC at `time`, as ISO 8601 writes it: "+0200".
std::string utc_offset(std::time_t time);

}  // namespace study::os
