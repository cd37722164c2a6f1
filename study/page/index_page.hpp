// index.html, the run folder's page for a browser: each program's answer
// with its main chart, then the tables behind the answers, the summary,
// and every program's state, charts, output and files.
#pragma once

#include <string>
#include <string_view>

#include "study/model/study_run.hpp"

namespace study {

// The page opens with the answers and any warnings; the summary table
// shows as it is in summary.txt, and the context, the loads and each
// program's own output are folded.
std::string index_html(const StudyRun& study);

}  // namespace study
