// timings.txt in a run folder: when each step of each program's last
// complete run in that study was done, one line per program:
//
//   tallygrid 78.357 0.485 0.486 ... 78.203
//
// its name, its wall time, then the seconds into the run at steps 1, 2, ...
// The next study in the same results folder starts its time estimate from
// the newest such line of each program.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "study/estimate/time_estimate.hpp"

namespace study {

std::string timings_text(const Timelines& runs);

// The lines that name a program of the suite and hold one time for each of
// its steps, in order, none past the wall time; other lines are left out.
Timelines parse_timings(std::string_view text);

// Each program's newest complete run in the run folders under `results`,
// the folder `own` (this study's) left out. Unreadable files count as none.
Timelines earlier_timings(const std::filesystem::path& results, const std::filesystem::path& own);

}  // namespace study
