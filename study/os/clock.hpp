// The calendar time of the tools: dates in context.txt and run folder names.
#pragma once

#include <ctime>

namespace study::os {

// `time` in the local time zone.
std::tm local_time(std::time_t time);

}  // namespace study::os
