#include "study/page/index_page.hpp"

#include <fmt/format.h>

#include "analysis/text/markup_text.hpp"
#include "study/page/summary_table.hpp"

namespace study {
namespace {

using analysis::escape_markup;

constexpr std::string_view kPageStyle =
    "body{font-family:DejaVu Sans,Arial,Helvetica,sans-serif;margin:24px auto;max-width:1340px;color:#222}"
    "h1{font-size:22px}h2{font-size:18px;margin-top:32px;border-bottom:1px solid #ccc}"
    "table{border-collapse:collapse;font-size:13px}td,th{padding:3px 10px;text-align:left;border-bottom:1px solid #eee}"
    "td.number{text-align:right;font-variant-numeric:tabular-nums}"
    "pre{font-size:12px;background:#f7f7f7;padding:8px;overflow-x:auto}"
    "img{display:block;max-width:100%;margin:12px 0;border:1px solid #eee}"
    ".warning{background:#fff3cd;border:1px solid #e0c36c;padding:8px}"
    ".failed,.refused,.missing,.stopped,.incomplete{color:#a40000}.complete{color:#176117}";

// The CSS class of a state: its first word ("not started" has none).
std::string state_class(const ProgramRun& run) {
  const std::string_view word = state_word(run);
  return run.state == ProgramState::not_started ? std::string() : std::string(word.substr(0, word.find(' ')));
}

void program_section(std::string& out, const ProgramRun& run) {
  const std::string name = escape_markup(run.folder.empty() ? std::string(run.program->name()) : run.folder);
  const std::string state = escape_markup(state_word(run));
  out += fmt::format("<h2 id=\"{}\">{}</h2>\n", name, escape_markup(run.label()));
  out += fmt::format("<p>{}. State: <span class=\"{}\">{}</span>.</p>\n", escape_markup(run.program->description()),
                     state_class(run), state);
  if (!run.detail.empty()) out += "<p class=\"failed\">" + escape_markup(run.detail) + "</p>\n";
  for (const std::string& failure : run.study_failures) {
    out += "<p class=\"incomplete\">Results incomplete: " + escape_markup(failure) + "</p>\n";
  }
  for (const std::string& chart : run.charts) {
    out += fmt::format("<img src=\"{}/{}\" alt=\"{} chart {}\">\n", name, escape_markup(chart), name,
                       escape_markup(chart));
  }
  if (!run.results_text.empty()) {
    // The escaper drops the CRs of a table written on Windows.
    out += "<details open><summary>vystup.out</summary><pre>" + escape_markup(run.results_text) + "</pre></details>\n";
  }
  if (run.ran()) {
    out += fmt::format("<p>Files: <a href=\"{0}/vystup.out\">vystup.out</a>", name);
    if (!run.csv.empty()) out += fmt::format(" &middot; <a href=\"{0}/{1}\">{1}</a>", name, escape_markup(run.csv));
    out += fmt::format(" &middot; <a href=\"{}/console.txt\">console.txt</a></p>\n", name);
  }
}

}  // namespace

std::string index_html(const StudyRun& study) {
  std::string out;
  const std::string title = "Sort study " + escape_markup(study.name);
  out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  out += "<title>" + title + "</title>\n<style>";
  out += kPageStyle;
  out += "</style>\n</head>\n<body>\n";
  out += "<h1>" + title + "</h1>\n";
  if (study.interrupted) {
    out +=
        "<p class=\"warning\">The study was stopped with Ctrl-C: only the programs marked complete have full "
        "results.</p>\n";
  } else if (!study.finished) {
    out += "<p class=\"warning\">The study is still running; this page is rewritten after each program.</p>\n";
  }
  for (const std::string& warning : study.warnings) {
    out += "<p class=\"warning\">Warning: " + escape_markup(warning) + "</p>\n";
  }

  out += "<h2>Context</h2>\n<table>\n";
  for (const auto& [key, value] : study.context) {
    out += "<tr><th>" + escape_markup(key) + "</th><td>" + escape_markup(value) + "</td></tr>\n";
  }
  out += "</table>\n";

  out +=
      "<h2>Summary</h2>\n<table>\n<tr><th>program</th><th>state</th><th>exit status</th><th>wall time</th>"
      "<th>peak memory</th><th>time cells</th><th>overhead</th></tr>\n";
  for (const ProgramRun& run : study.programs) {
    const SummaryRow row = summary_row(run);
    out += fmt::format(
        "<tr><td><a href=\"#{8}\">{0}</a></td><td class=\"{1}\">{2}</td><td>{3}</td><td class=\"number\">{4}</td>"
        "<td class=\"number\">{5}</td><td class=\"number\">{6}</td><td class=\"number\">{7}</td></tr>\n",
        escape_markup(row.program), state_class(run), escape_markup(state_word(run)), escape_markup(row.status),
        escape_markup(row.wall), escape_markup(row.memory), escape_markup(row.cells), escape_markup(row.overhead),
        escape_markup(run.folder.empty() ? std::string(run.program->name()) : run.folder));
  }
  out += "</table>\n<pre>" + escape_markup(summary_table_text(study)) + "</pre>\n";
  if (!study.verdicts.empty() || !study.incomplete_runs.empty()) {
    out += "<h2>Verdicts</h2>\n";
    for (const analysis::Verdict& verdict : study.verdicts) out += "<p>" + escape_markup(verdict.text) + "</p>\n";
    for (const std::string& run : study.incomplete_runs) {
      out += "<p class=\"incomplete\">Incomplete, not counted: " + escape_markup(run) + "</p>\n";
    }
    for (const std::string& failure : study.export_failures) {
      out += "<p class=\"failed\">" + escape_markup(failure) + "</p>\n";
    }
    if (study.export_failures.empty()) {
      out +=
          "<p>Files: <a href=\"results.json\">results.json</a> &middot; <a href=\"results.csv\">results.csv</a></p>\n";
    }
  }
  for (const MedianCharts& medians : study.median_charts) {
    out += fmt::format("<h2 id=\"{0}-medians\">{0}: medians of {1} runs</h2>\n", escape_markup(medians.program),
                       medians.runs);
    for (const std::string& chart : medians.charts) {
      out += fmt::format("<img src=\"{0}\" alt=\"{1} chart {0}\">\n", escape_markup(chart),
                         escape_markup(medians.program));
    }
  }

  for (const ProgramRun& run : study.programs) program_section(out, run);
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace study
