#include "study/page/index_page.hpp"

#include "analysis/export/benchmark_json.hpp"
#include "analysis/export/long_csv.hpp"
#include "analysis/text/markup_text.hpp"
#include "analysis/verdicts/answers_text.hpp"
#include "index_page_template.hpp"
#include "kit/file_names.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/page/page_template.hpp"
#include "study/page/summary_table.hpp"

namespace study {
namespace {

using analysis::escape_markup;

const PageTemplate& page_template() {
  static const PageTemplate blocks(kIndexPageTemplate);
  return blocks;
}

std::string render(std::string_view block, std::initializer_list<Slot> slots) {
  return page_template().render(block, slots);
}

// The CSS class of a state: its first word ("not started" has none).
std::string state_class(const ProgramRun& run) {
  const std::string_view word = state_word(run);
  return run.state == ProgramState::not_started ? std::string() : std::string(word.substr(0, word.find(' ')));
}

// The program's folder inside the run folder, which is also its section's id.
std::string folder_of(const ProgramRun& run) {
  return escape_markup(run.folder.empty() ? std::string(run.program->name) : run.folder);
}

std::string progress_note(const StudyRun& study) {
  if (study.interrupted) return render("stopped_note", {});
  if (!study.finished) return render("running_note", {});
  return {};
}

std::string summary_row_of(const ProgramRun& run) {
  const SummaryRow row = summary_row(run);
  return render("summary_row", {{"anchor", folder_of(run)},
                                {"program", escape_markup(row.program)},
                                {"state_class", state_class(run)},
                                {"state", escape_markup(state_word(run))},
                                {"status", escape_markup(row.status)},
                                {"wall", escape_markup(row.wall)},
                                {"memory", escape_markup(row.memory)},
                                {"cells", escape_markup(row.cells)},
                                {"overhead", escape_markup(row.overhead)}});
}

// The header and rows of an answer's table.
std::pair<std::string, std::string> table_markup(const analysis::AnswerTable& table) {
  std::string header, rows;
  for (const std::string& heading : table.header)
    header += render("answer_heading", {{"text", escape_markup(heading)}});
  for (const std::vector<std::string>& row : table.rows) {
    std::string cells;
    for (std::size_t c = 0; c < row.size(); ++c) {
      const bool number = c < table.numeric.size() && table.numeric[c];
      cells += render(number ? "answer_number" : "answer_cell", {{"text", escape_markup(row[c])}});
    }
    rows += render("answer_row", {{"cells", cells}});
  }
  return {header, rows};
}

// The work behind a program's times, with its charts, when it was counted.
std::string work_markup(const StudyRun& study, const analysis::ProgramAnswer& answer) {
  if (answer.work_table.rows.empty()) return {};
  const auto [header, rows] = table_markup(answer.work_table);
  std::string charts;
  for (const WorkCharts& work : study.work_charts) {
    if (work.program != answer.program) continue;
    for (const std::string& chart : work.charts) {
      charts += render("answer_chart", {{"chart", escape_markup(chart)}, {"program", escape_markup(answer.program)}});
    }
  }
  return render(
      "answer_work",
      {{"header", header}, {"rows", rows}, {"legend", escape_markup(answer.work_legend)}, {"charts", charts}});
}

// One program's table and what it leaves open or out.
std::string answer_table(const StudyRun& study, const analysis::ProgramAnswer& answer) {
  const std::string program = escape_markup(answer.program);
  const auto [header, rows] = table_markup(answer.table);
  std::string open;
  if (!answer.open.empty()) {
    std::string items;
    for (const std::string& line : analysis::open_question_lines(answer)) {
      items += render("open_question", {{"text", escape_markup(line)}});
    }
    open = render("open_questions", {{"lead", escape_markup(analysis::kOpenQuestionsLead)}, {"items", items}});
  }
  std::string left_out;
  for (const std::string& run : answer.left_out) {
    left_out += render("incomplete_run", {{"run", escape_markup(answer.program + " " + run)}});
  }
  return render("answer_table", {{"program", program},
                                 {"question", escape_markup(answer.question)},
                                 {"basis", escape_markup(answer.basis)},
                                 {"header", header},
                                 {"rows", rows},
                                 {"legend", escape_markup(answer.legend)},
                                 {"work", work_markup(study, answer)},
                                 {"open", open},
                                 {"left_out", left_out}});
}

// The chart an answer stands on: the first of the program's median charts
// when it has them, else the first chart of its first complete run (or of
// any run, when none is complete); a path inside the run folder, or empty.
std::string main_chart(const StudyRun& study, const std::string& program) {
  for (const MedianCharts& medians : study.median_charts) {
    if (medians.program == program && !medians.charts.empty()) return medians.charts.front();
  }
  const ProgramRun* chosen = nullptr;
  for (const ProgramRun& run : study.programs) {
    if (run.program->name != program || run.charts.empty()) continue;
    if (run.complete()) {
      chosen = &run;
      break;
    }
    if (chosen == nullptr) chosen = &run;
  }
  if (chosen == nullptr) return {};
  return (chosen->folder.empty() ? program : chosen->folder) + "/" + chosen->charts.front();
}

std::string answer_of(const StudyRun& study, const analysis::ProgramAnswer& answer) {
  const std::string program = escape_markup(answer.program);
  const std::string chart = main_chart(study, answer.program);
  return render(
      "answer",
      {{"program", program},
       {"question", escape_markup(answer.question)},
       {"text", escape_markup(answer.answer)},
       {"why", answer.why.empty() ? std::string() : render("answer_why", {{"text", escape_markup(answer.why)}})},
       {"table_link", answer.table.rows.empty() ? std::string() : render("answer_table_link", {{"program", program}})},
       {"chart", chart.empty() ? std::string()
                               : render("answer_chart", {{"chart", escape_markup(chart)}, {"program", program}})}});
}

bool has_verdicts(const StudyRun& study) { return !study.answers.empty() || !study.incomplete_runs.empty(); }

std::string warnings_pointer(const StudyRun& study) {
  const std::size_t count = study.warnings.size();
  if (count == 0) return {};
  return render("warnings_pointer", {{"count", std::to_string(count) + (count == 1 ? " warning" : " warnings")}});
}

std::string answers_section(const StudyRun& study) {
  if (!has_verdicts(study)) return {};
  std::string answers, incomplete_runs;
  for (const analysis::ProgramAnswer& answer : study.answers) answers += answer_of(study, answer);
  for (const std::string& run : study.incomplete_runs) {
    incomplete_runs += render("incomplete_run", {{"run", escape_markup(run)}});
  }
  return render(
      "answers_section",
      {{"warnings_pointer", warnings_pointer(study)}, {"answers", answers}, {"incomplete_runs", incomplete_runs}});
}

std::string tables_section(const StudyRun& study) {
  if (!has_verdicts(study)) return {};
  std::string answer_tables, export_failures;
  for (const analysis::ProgramAnswer& answer : study.answers) {
    if (!answer.table.rows.empty()) answer_tables += answer_table(study, answer);
  }
  for (const std::string& failure : study.export_failures) {
    export_failures += render("failure", {{"text", escape_markup(failure)}});
  }
  return render("tables_section",
                {{"answer_tables", answer_tables},
                 {"export_failures", export_failures},
                 {"export_files", study.export_failures.empty()
                                      ? render("export_files", {{"json_file", run_files::kResultsJsonFile},
                                                                {"csv_file", run_files::kResultsCsvFile}})
                                      : std::string()}});
}

std::string warnings_block(const StudyRun& study) {
  if (study.warnings.empty()) return {};
  std::string items;
  for (const std::string& warning : study.warnings) items += render("warning", {{"text", escape_markup(warning)}});
  return render("warnings", {{"items", items}});
}

std::string median_section(const MedianCharts& medians) {
  const std::string program = escape_markup(medians.program);
  std::string charts;
  for (const std::string& chart : medians.charts) {
    charts += render("median_chart", {{"chart", escape_markup(chart)}, {"program", program}});
  }
  return render("median_section", {{"program", program}, {"runs", std::to_string(medians.runs)}, {"charts", charts}});
}

std::string program_section(const ProgramRun& run) {
  const std::string folder = folder_of(run);
  const std::string results_file = escape_markup(kit::kResultsFileName);
  std::string study_failures, charts, results_table, files;
  for (const std::string& failure : run.study_failures) {
    study_failures += render("study_failure", {{"failure", escape_markup(failure)}});
  }
  for (const std::string& chart : run.charts) {
    charts += render("program_chart", {{"folder", folder}, {"chart", escape_markup(chart)}});
  }
  if (!run.results_text.empty()) {
    // The escaper drops the CRs of a table written on Windows.
    results_table =
        render("results_table", {{"results_file", results_file}, {"table", escape_markup(run.results_text)}});
  }
  if (run.ran()) {
    const std::string csv_link =
        run.csv.empty() ? std::string() : render("csv_link", {{"folder", folder}, {"csv", escape_markup(run.csv)}});
    files = render("program_files", {{"folder", folder},
                                     {"results_file", results_file},
                                     {"csv_link", csv_link},
                                     {"console_file", escape_markup(run_files::kConsoleFile)}});
  }
  return render(
      "program_section",
      {{"folder", folder},
       {"label", escape_markup(run.label())},
       {"description", escape_markup(run.program->description.view())},
       {"state_class", state_class(run)},
       {"state", escape_markup(state_word(run))},
       {"detail", run.detail.empty() ? std::string() : render("failure", {{"text", escape_markup(run.detail)}})},
       {"study_failures", study_failures},
       {"charts", charts},
       {"results_table", results_table},
       {"files", files}});
}

std::string summary_notes_html(const StudyRun& study) {
  std::string notes;
  for (const std::string& note : summary_notes(study)) notes += render("summary_note", {{"text", escape_markup(note)}});
  return notes;
}

// The load and the other work the study notes before and after each program
// (machine_hygiene.cpp names those context entries so); the rest of the
// context describes the machine and the build.
bool is_load_row(std::string_view key) {
  return key.starts_with("load before ") || key.starts_with("load after ") || key.starts_with("other work before ") ||
         key.starts_with("other work during ");
}

}  // namespace

std::string index_html(const StudyRun& study) {
  std::string context_rows, load_rows, summary_rows, median_sections, program_sections;
  for (const auto& [key, value] : study.context) {
    (is_load_row(key) ? load_rows : context_rows) +=
        render("context_row", {{"key", escape_markup(key)}, {"value", escape_markup(value)}});
  }
  for (const ProgramRun& run : study.programs) summary_rows += summary_row_of(run);
  for (const MedianCharts& medians : study.median_charts) median_sections += median_section(medians);
  for (const ProgramRun& run : study.programs) program_sections += program_section(run);
  return render("page", {{"run_name", escape_markup(study.name)},
                         {"progress_note", progress_note(study)},
                         {"answers_section", answers_section(study)},
                         {"warnings", warnings_block(study)},
                         {"tables_section", tables_section(study)},
                         {"summary_rows", summary_rows},
                         {"summary_notes", summary_notes_html(study)},
                         {"context_rows", context_rows},
                         {"loads", load_rows.empty() ? std::string() : render("loads", {{"rows", load_rows}})},
                         {"median_sections", median_sections},
                         {"program_sections", program_sections}});
}

}  // namespace study
