// index.html, the run folder's page for a browser: the context, the summary
// and every program's state, charts, table and files.
#pragma once

#include <string>
#include <string_view>

#include "study/study_record.hpp"

namespace study {

// `summary` is the summary text shown on the page as it is in summary.txt.
std::string index_html(const StudyRun& study, std::string_view summary);

// Text as HTML character data or attribute value.
std::string html_escape(std::string_view text);

}  // namespace study
