// index.html from its template: the renderer's named slots and blocks, and a
// page that renders every block with hostile text in every field.
#include "study/page/index_page.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "analysis/programs/suite_programs.hpp"
#include "kit/file_names.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/page/page_template.hpp"
#include "study/run/program_runner.hpp"

namespace {

using study::fill_slots;
using study::PageTemplate;

#define EXPECT_CONTAINS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)
#define EXPECT_LACKS(text, part) EXPECT_EQ((text).find(part), std::string::npos) << (text)

TEST(PageSlots, FillEveryUseOfASlotAndLeaveValuesAsTheyAre) {
  EXPECT_EQ(fill_slots("<h1>{{name}}</h1><title>{{name}}</title>{{n}}", {{"name", "a & b"}, {"n", "1"}}),
            "<h1>a & b</h1><title>a & b</title>1");
  // A value that looks like a slot is not filled again.
  EXPECT_EQ(fill_slots("[{{a}}]", {{"a", "{{a}}"}}), "[{{a}}]");
  EXPECT_EQ(fill_slots("no slots", {}), "no slots");
  // Single braces, as in CSS, are text.
  EXPECT_EQ(fill_slots("h1{font-size:22px}{{x}}", {{"x", "."}}), "h1{font-size:22px}.");
}

TEST(PageSlots, AMismatchBetweenTemplateAndCodeIsAFault) {
  EXPECT_THROW(fill_slots("{{name}} and {{other}}", {{"name", "x"}}), std::logic_error);    // not filled
  EXPECT_THROW(fill_slots("{{name}}", {{"name", "x"}, {"extra", "y"}}), std::logic_error);  // not used
  EXPECT_THROW(fill_slots("{{name}}", {{"name", "x"}, {"name", "y"}}), std::logic_error);   // given twice
  EXPECT_THROW(fill_slots("{{Not A Name}}", {}), std::logic_error);
  EXPECT_THROW(fill_slots("{{name", {{"name", "x"}}), std::logic_error);
  try {
    fill_slots("<p>{{summary_rows}}</p>", {});
    FAIL() << "an unfilled slot was accepted";
  } catch (const std::logic_error& error) {
    EXPECT_CONTAINS(std::string(error.what()), "{{summary_rows}}");  // the message names the slot
  }
}

TEST(PageTemplateBlocks, ABlockIsTheTextBetweenItsMarkersLessTheFirstLineBreak) {
  const PageTemplate blocks(
      "notes for the reader, never written\n"
      "{{#row}}\n<tr><td>{{cell}}</td></tr>\n{{/row}}\n"
      "more notes\n"
      "{{#inline}}\n &middot; {{x}}{{/inline}}\n"
      "{{#empty}}{{/empty}}");
  EXPECT_EQ(blocks.render("row", {{"cell", "1"}}), "<tr><td>1</td></tr>\n");
  EXPECT_EQ(blocks.render("inline", {{"x", "y"}}), " &middot; y");
  EXPECT_EQ(blocks.render("empty", {}), "");
  EXPECT_THROW(blocks.render("missing", {}), std::logic_error);
  EXPECT_THROW(blocks.render("row", {}), std::logic_error);  // its slot left unfilled
}

TEST(PageTemplateBlocks, MalformedTemplatesAreFaults) {
  EXPECT_THROW(PageTemplate("{{#open}}text"), std::logic_error);
  EXPECT_THROW(PageTemplate("{{#a}}1{{/a}}{{#a}}2{{/a}}"), std::logic_error);
  EXPECT_THROW(PageTemplate("{{#Bad Name}}x{{/Bad Name}}"), std::logic_error);
  // A block inside a block is not a slot: filling the outer one fails.
  const PageTemplate nested("{{#outer}}{{#inner}}x{{/inner}}{{/outer}}");
  EXPECT_THROW(nested.render("outer", {}), std::logic_error);
}

// Text that would break the page if any slot took it unescaped: markup, a
// control character and a byte that is not UTF-8. Each field gets its own
// tag, so a field written raw shows by name.
std::string hostile(const std::string& tag) { return "<" + tag + ">&\"'\x01\xFF"; }
std::string escaped(const std::string& tag) { return "&lt;" + tag + "&gt;&amp;&quot;&#39;\xEF\xBF\xBD"; }

const analysis::SuiteProgram& program(std::string_view name) {
  const analysis::SuiteProgram* found = analysis::find_suite_program(name);
  if (found == nullptr) throw std::logic_error("no program " + std::string(name));
  return *found;
}

// A study that needs every block of the template but the running note and
// the export files, which the tests below add by changing it: between them
// every block is filled, so a slot out of step with the code throws here.
study::StudyRun stopped_study() {
  study::StudyRun run;
  run.name = hostile("name");
  run.interrupted = true;
  run.context = {{hostile("key"), hostile("value")}};
  run.warnings = {hostile("warning")};

  study::ProgramRun failed;
  failed.program = &program("smallsix");
  failed.folder = "smallsix";
  failed.state = study::ProgramState::failed;
  failed.status = "5";
  failed.detail = hostile("detail");
  failed.study_failures = {hostile("study-failure")};
  failed.charts = {hostile("chart")};
  failed.csv = hostile("csv");
  failed.results_text = "table\r\n" + hostile("results") + "\r\n";
  run.programs.push_back(failed);

  study::ProgramRun not_started;
  not_started.program = &program("tallyduel");
  run.programs.push_back(not_started);

  analysis::ProgramAnswer answer;
  answer.program = "smallsix";
  answer.question = hostile("question");
  answer.answer = hostile("verdict");
  answer.basis = hostile("basis");
  answer.table = {{hostile("heading"), "n"}, {{hostile("cell"), "5"}}, {false, true}};
  answer.legend = hostile("legend");
  answer.open = {{hostile("where"), hostile("open"), 7}};
  answer.left_out = {hostile("left-out")};
  run.answers = {answer};
  run.incomplete_runs = {hostile("incomplete")};
  run.export_failures = {hostile("export-failure")};
  run.median_charts = {{hostile("median"), 3, {hostile("median-chart")}}};
  return run;
}

TEST(IndexPage, EveryFieldIsEscapedInEveryBlock) {
  const std::string page = study::index_html(stopped_study());
  for (const std::string tag :
       {"name",    "key",      "value",      "warning",        "detail",  "study-failure", "chart",  "csv",
        "results", "verdict",  "question",   "basis",          "heading", "cell",          "legend", "where",
        "open",    "left-out", "incomplete", "export-failure", "median",  "median-chart"}) {
    EXPECT_CONTAINS(page, escaped(tag));
    EXPECT_LACKS(page, "<" + tag + ">");
  }
  EXPECT_LACKS(page, '\x01');
  EXPECT_LACKS(page, '\xFF');
  EXPECT_LACKS(page, '\r');
  EXPECT_CONTAINS(page, "<pre>table\n" + escaped("results") + "\n</pre>");
}

TEST(IndexPage, ShowsWhatTheStudyAndEachProgramReached) {
  const std::string stopped = study::index_html(stopped_study());
  EXPECT_CONTAINS(stopped, "stopped with Ctrl-C");
  EXPECT_LACKS(stopped, "still running");
  // An export that failed is named, and its files are not offered.
  EXPECT_CONTAINS(stopped, "<p class=\"failed\">" + escaped("export-failure") + "</p>");
  EXPECT_LACKS(stopped, "results.json");
  // The failed program links its files, under the names the programs and
  // the runner give them, the CSV among them.
  const std::string files = std::string("<p>Files: <a href=\"smallsix/") + kit::kResultsFileName + "\">" +
                            kit::kResultsFileName + "</a> &middot; <a href=\"smallsix/" + escaped("csv") + "\">" +
                            escaped("csv") + "</a> &middot; <a href=\"smallsix/" + study::run_files::kConsoleFile +
                            "\">" + study::run_files::kConsoleFile + "</a></p>\n";
  EXPECT_CONTAINS(stopped, files);
  EXPECT_CONTAINS(stopped, std::string("<summary>") + kit::kResultsFileName + "</summary>");
  // The program that never started has a section, no files and no state class.
  EXPECT_CONTAINS(stopped, "<h2 id=\"tallyduel\">tallyduel</h2>");
  EXPECT_CONTAINS(stopped, "<span class=\"\">not started</span>");
  EXPECT_LACKS(stopped, "tallyduel/" + std::string(study::run_files::kConsoleFile));

  study::StudyRun running = stopped_study();
  running.interrupted = false;
  running.export_failures.clear();
  running.programs[0].csv.clear();
  const std::string page = study::index_html(running);
  EXPECT_CONTAINS(page, "still running");
  EXPECT_LACKS(page, "stopped with Ctrl-C");
  EXPECT_CONTAINS(page, "<a href=\"results.json\">results.json</a>");
  EXPECT_CONTAINS(page, std::string("</a> &middot; <a href=\"smallsix/") + study::run_files::kConsoleFile);
  EXPECT_LACKS(page, escaped("csv"));

  running.finished = true;
  running.answers.clear();
  running.incomplete_runs.clear();
  const std::string finished = study::index_html(running);
  EXPECT_LACKS(finished, "class=\"warning\">The study");
  EXPECT_LACKS(finished, "<h2>Answers</h2>");
}

}  // namespace
