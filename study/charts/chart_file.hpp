// One chart as the chart code hands it on, and the pieces every results
// form's charts share.
#pragma once

#include <cstdint>
#include <string>

namespace study {

struct ChartFile {
  std::string file_name;  // "<stem>-<chart>.svg"
  std::string content;
};

// One hundredth of a second: the smallest time a cell can show.
inline constexpr double kResolutionSeconds = 0.01;

inline double seconds(std::int64_t hundredths) { return static_cast<double>(hundredths) / 100.0; }

}  // namespace study
