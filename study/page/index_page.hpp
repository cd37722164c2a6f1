// index.html, the run folder's page for a browser: the context, the summary
// and every program's state, charts, table and files.
#pragma once

#include <string>
#include <string_view>

#include "study/model/study_run.hpp"

namespace study {

// The summary table shows as it is in summary.txt; the verdicts, the runs
// they leave out and the median charts follow in sections of their own.
std::string index_html(const StudyRun& study);

}  // namespace study
