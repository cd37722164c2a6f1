// index.html from its template: the renderer's named slots and blocks, a
// page that renders every block with hostile text in every field, the
// order a reader meets the page in, and summary.txt's long lines.
#include "study/page/index_page.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/programs/suite_programs.hpp"
#include "analysis/text/text_table.hpp"
#include "analysis/verdicts/answers_text.hpp"
#include "kit/file_names.hpp"
#include "study/model/run_folder_layout.hpp"
#include "study/page/page_template.hpp"
#include "study/page/summary_table.hpp"
#include "study/run/program_runner.hpp"

namespace {

using study::fill_slots;
using study::PageTemplate;
using study::ProgramRun;

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
  run.context = {{hostile("key"), hostile("value")}, {"load before " + hostile("loaded"), hostile("load")}};
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
        "open",    "left-out", "incomplete", "export-failure", "median",  "median-chart",  "loaded", "load"}) {
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

ProgramRun completed_run(std::string_view name, std::string folder, std::vector<std::string> charts) {
  ProgramRun run;
  run.program = &program(name);
  run.folder = std::move(folder);
  run.state = study::ProgramState::completed;
  run.status = "0";
  run.charts = std::move(charts);
  run.results_text = "raw output of " + std::string(name) + "\n";
  return run;
}

analysis::ProgramAnswer answer_of(std::string name, bool with_table) {
  analysis::ProgramAnswer answer;
  answer.program = std::move(name);
  answer.question = "Which is faster?";
  answer.answer = "The answer of " + answer.program + ".";
  answer.basis = "N = 2 runs";
  if (with_table) answer.table = {{"n", "faster"}, {{"5", "QSORT"}}, {true, false}};
  answer.legend = "the legend";
  return answer;
}

// The text from `from` to the next `to` (or the end).
std::string between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t start = text.find(from);
  if (start == std::string::npos) return {};
  return text.substr(start, text.find(to, start + from.size()) - start);
}

// A finished study of three programs: smallsix with median charts, a
// tallyduel whose first repeat failed, and a cutoffnarrow without charts.
study::StudyRun finished_study() {
  study::StudyRun run;
  run.name = "2026-01-02-030405";
  run.finished = true;
  run.context = {{"machine", "the machine"}, {"load before smallsix", "0.10"}, {"load after smallsix", "0.20"}};
  run.warnings = {"load 3.75 after smallsix: other work ran beside it."};
  run.programs = {completed_run("smallsix", "smallsix", {"vystup-time-per-array.svg"}),
                  completed_run("tallyduel", "tallyduel/repeat-1", {"vystup-duel.svg"}),
                  completed_run("tallyduel", "tallyduel/repeat-2", {"vystup-duel.svg"}),
                  completed_run("cutoffnarrow", "cutoffnarrow", {})};
  run.programs[1].state = study::ProgramState::failed;
  for (int repeat : {1, 2}) {
    run.programs[repeat].repeat = repeat;
    run.programs[repeat].repeats = 2;
  }
  run.median_charts = {{"smallsix", 2, {"smallsix/median-time-per-array.svg", "smallsix/median-other.svg"}}};
  run.answers = {answer_of("smallsix", true), answer_of("tallyduel", true), answer_of("cutoffnarrow", false)};
  return run;
}

TEST(IndexPage, OpensWithEachAnswerBesideItsMainChartThenWarningsTablesAndTheRestFolded) {
  const std::string page = study::index_html(finished_study());
  // The reader's order: answers, warnings, the tables behind the answers,
  // the summary, the folded context and loads, then each run.
  const std::vector<std::size_t> order{page.find("<h2>Answers</h2>"),
                                       page.find("<div class=\"warning\" id=\"warnings\">"),
                                       page.find("<h2>Tables</h2>"),
                                       page.find("<h2 id=\"summary\">Summary</h2>"),
                                       page.find("<details><summary>Context"),
                                       page.find("<details><summary>Load before and after"),
                                       page.find("<h2 id=\"smallsix-medians\">"),
                                       page.find("<h2 id=\"smallsix\">")};
  for (std::size_t i = 0; i < order.size(); ++i) {
    ASSERT_NE(order[i], std::string::npos) << i << "\n" << page;
    if (i > 0) {
      EXPECT_LT(order[i - 1], order[i]) << i << "\n" << page;
    }
  }
  EXPECT_EQ(page.substr(page.find("</h1>\n") + 6, 16), "<h2>Answers</h2>");
  EXPECT_CONTAINS(page, "See <a href=\"#warnings\">1 warning about this run</a> below the answers.");

  // Each answer holds its main chart: the first median chart, else the
  // chart of a complete run; an answer without a chart or table has neither.
  const std::string six = between(page, "<h3>smallsix</h3>", "<div class=\"answer\">");
  EXPECT_CONTAINS(six, "<img src=\"smallsix/median-time-per-array.svg\"");
  EXPECT_LACKS(six, "median-other.svg");
  EXPECT_CONTAINS(six, "<a href=\"#smallsix-answer\">");
  const std::string duel = between(page, "<h3>tallyduel</h3>", "<div class=\"answer\">");
  EXPECT_CONTAINS(duel, "<img src=\"tallyduel/repeat-2/vystup-duel.svg\"");
  EXPECT_LACKS(duel, "repeat-1");
  const std::string cutoff = between(page, "<h3>cutoffnarrow</h3>", "<h2>");
  EXPECT_CONTAINS(cutoff, "The answer of cutoffnarrow.");
  EXPECT_LACKS(cutoff, "<img");
  EXPECT_LACKS(cutoff, "#cutoffnarrow-answer");

  // The loads have their own fold, the machine stays in the context's.
  const std::string context = between(page, "<summary>Context", "</details>");
  EXPECT_CONTAINS(context, "<tr><th>machine</th><td>the machine</td></tr>");
  EXPECT_LACKS(context, "load");
  const std::string loads = between(page, "<summary>Load before and after", "</details>");
  EXPECT_CONTAINS(loads, "<tr><th>load before smallsix</th><td>0.10</td></tr>");
  // A program's own output is there, folded.
  EXPECT_CONTAINS(page, "<details><summary>vystup.out</summary><pre>raw output of smallsix\n</pre></details>");
  EXPECT_LACKS(page, "<details open");

  // Without warnings, no block and no pointer to one; without a load
  // average, no fold for the loads.
  study::StudyRun quiet = finished_study();
  quiet.warnings.clear();
  quiet.context.resize(1);
  const std::string calm = study::index_html(quiet);
  EXPECT_LACKS(calm, "Warning");
  EXPECT_LACKS(calm, "#warnings");
  EXPECT_LACKS(calm, "Load before and after");
}

// Every line of summary.txt within its width: long notes, warnings and
// failures are broken at spaces with their later lines indented, and keep
// every word in order; only a word longer than a line stands past it.
TEST(SummaryText, LongNotesAndWarningsWrapWithinTheWidthAndKeepEveryWord) {
  study::StudyRun run = finished_study();
  run.answers.clear();
  ProgramRun& duel = run.programs[2];
  duel.input = study::InputFileNote{123456789, std::string(64, 'a'), true, ""};
  const std::string warning =
      "load 3.75 after tallyduel, above the 1.02 expected from the load before it and its own run + 0.50: other "
      "work ran beside it and disturbed its timings.";
  run.warnings = {warning, "short"};
  const std::string long_path = "/" + std::string(130, 'p') + "/vystup.svg";
  run.programs[1].detail = "cannot write " + long_path + ": no space left on device";
  run.incomplete_runs = {"tallyduel run 1 (seed 11): " + std::string(30, 'x') + " " + std::string(100, 'y')};
  const std::string text = study::summary_text(run);

  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (analysis::shown_width(line) > analysis::kSummaryWidth) {
      EXPECT_EQ(line.find(' ', 2), std::string::npos) << line;
    }
  }
  // Joined again at their indents, each is the line it was.
  std::string joined = text;
  for (std::size_t at = joined.find("\n  "); at != std::string::npos; at = joined.find("\n  ", at)) {
    joined.replace(at, 3, " ");
  }
  EXPECT_CONTAINS(joined, "\nWARNING: " + warning + "\nWARNING: short\n");
  EXPECT_CONTAINS(joined, "\ntallyduel repeat 1: cannot write " + long_path + ": no space left on device\n");
  EXPECT_CONTAINS(joined,
                  std::string("\ntallyduel repeat 2: ") + kit::kInputFileName +
                      " removed after the run (123,456,789 bytes, SHA-256 aaaaaaaaaaaa...); study --keep-inputs "
                      "--replay <this run folder> tallyduel regenerates it\n");
  EXPECT_CONTAINS(joined, "\nincomplete, not counted: " + run.incomplete_runs[0] + "\n");
}

}  // namespace
