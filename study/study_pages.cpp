#include "study/study_pages.hpp"

#include <array>
#include <cstdio>

#include "study/svg.hpp"

namespace study {
namespace {

std::string fixed(double value, int decimals) {
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
  return text.data();
}

std::string padded(std::string text, std::size_t width) {
  // Counts characters, not bytes, so the table stays straight.
  std::size_t shown = 0;
  for (unsigned char c : text) shown += (c & 0xC0) != 0x80;
  if (shown < width) text.append(width - shown, ' ');
  return text;
}

std::string right(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

struct SummaryRow {
  std::string program, status, wall, memory, cells, overhead;
};

SummaryRow summary_row(const ProgramReport& report) {
  SummaryRow row{std::string(report.program->name), report.status, "-", "-", "-", "-"};
  const bool ran = report.state == ProgramState::completed || report.state == ProgramState::failed ||
                   report.state == ProgramState::stopped;
  if (!ran) return row;
  row.wall = clock_text(report.wall_seconds);
  row.memory = fixed(static_cast<double>(report.peak_resident_bytes) / 1e6, 1) + " MB";
  if (report.cell_hundredths) {
    const double cells = static_cast<double>(*report.cell_hundredths) / 100.0;
    row.cells = fixed(cells, 2) + " s";
    const double overhead = report.wall_seconds - cells;
    row.overhead = fixed(overhead, 2) + " s";
    if (report.wall_seconds > 0) row.overhead += " (" + fixed(100.0 * overhead / report.wall_seconds, 1) + "%)";
  }
  return row;
}

std::string html(std::string_view text) { return svg::escape(text); }

std::string state_word(ProgramState state) {
  switch (state) {
    case ProgramState::not_started:
      return "not started";
    case ProgramState::refused:
      return "refused";
    case ProgramState::missing:
      return "missing";
    case ProgramState::completed:
      return "complete";
    case ProgramState::failed:
      return "failed";
    case ProgramState::stopped:
      return "stopped";
  }
  return "";
}

constexpr std::string_view kPageStyle =
    "body{font-family:DejaVu Sans,Arial,Helvetica,sans-serif;margin:24px auto;max-width:1340px;color:#222}"
    "h1{font-size:22px}h2{font-size:18px;margin-top:32px;border-bottom:1px solid #ccc}"
    "table{border-collapse:collapse;font-size:13px}td,th{padding:3px 10px;text-align:left;border-bottom:1px solid #eee}"
    "td.number{text-align:right;font-variant-numeric:tabular-nums}"
    "pre{font-size:12px;background:#f7f7f7;padding:8px;overflow-x:auto}"
    "img{display:block;max-width:100%;margin:12px 0;border:1px solid #eee}"
    ".warning{background:#fff3cd;border:1px solid #e0c36c;padding:8px}"
    ".failed,.refused,.missing,.stopped{color:#a40000}.complete{color:#176117}";

}  // namespace

std::string clock_text(double seconds) {
  if (seconds < 0) seconds = 0;
  const auto tenths = static_cast<long long>(seconds * 10 + 0.5);
  const long long hours = tenths / 36000;
  const long long minutes = tenths / 600 % 60;
  std::array<char, 48> text{};
  if (hours > 0) {
    std::snprintf(text.data(), text.size(), "%lld:%02lld:%02lld.%lld", hours, minutes, tenths / 10 % 60, tenths % 10);
  } else {
    std::snprintf(text.data(), text.size(), "%lld:%02lld.%lld", minutes, tenths / 10 % 60, tenths % 10);
  }
  return text.data();
}

std::string summary_text(const std::vector<ProgramReport>& reports) {
  std::vector<SummaryRow> rows{{"program", "status", "wall time", "peak memory", "time cells", "overhead"}};
  for (const ProgramReport& report : reports) rows.push_back(summary_row(report));
  std::array<std::size_t, 6> widths{};
  for (const SummaryRow& row : rows) {
    const std::array<const std::string*, 6> cells{&row.program, &row.status, &row.wall,
                                                  &row.memory,  &row.cells,  &row.overhead};
    for (std::size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], cells[i]->size());
  }
  std::string text;
  for (const SummaryRow& row : rows) {
    text += padded(row.program, widths[0]) + "  " + padded(row.status, widths[1]) + "  " + right(row.wall, widths[2]) +
            "  " + right(row.memory, widths[3]) + "  " + right(row.cells, widths[4]) + "  " + row.overhead + "\n";
  }
  for (const ProgramReport& report : reports) {
    if (!report.detail.empty()) text += std::string(report.program->name) + ": " + report.detail + "\n";
  }
  text +=
      "time cells: the sum of the times the program reported; overhead: wall time less that sum "
      "(data generation, copying, clearing, start-up and output).\n";
  return text;
}

std::string index_html(const IndexPage& page) {
  std::string out;
  out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  out += "<title>Sort study " + html(page.run_name) + "</title>\n<style>";
  out += kPageStyle;
  out += "</style>\n</head>\n<body>\n";
  out += "<h1>Sort study " + html(page.run_name) + "</h1>\n";
  if (page.interrupted) {
    out +=
        "<p class=\"warning\">The study was stopped with Ctrl-C: only the programs marked complete have full "
        "results.</p>\n";
  } else if (!page.finished) {
    out += "<p class=\"warning\">The study is still running; this page is rewritten after each program.</p>\n";
  }
  for (const std::string& warning : page.warnings) out += "<p class=\"warning\">Warning: " + html(warning) + "</p>\n";

  out += "<h2>Context</h2>\n<table>\n";
  for (const auto& [key, value] : page.context) {
    out += "<tr><th>" + html(key) + "</th><td>" + html(value) + "</td></tr>\n";
  }
  out += "</table>\n";

  out +=
      "<h2>Summary</h2>\n<table>\n<tr><th>program</th><th>state</th><th>exit status</th><th>wall time</th>"
      "<th>peak memory</th><th>time cells</th><th>overhead</th></tr>\n";
  for (const ProgramReport& report : page.reports) {
    const SummaryRow row = summary_row(report);
    const std::string state = state_word(report.state);
    out += "<tr><td><a href=\"#" + html(row.program) + "\">" + html(row.program) + "</a></td><td class=\"" +
           (report.state == ProgramState::not_started ? std::string() : state.substr(0, state.find(' '))) + "\">" +
           html(state) + "</td><td>" + html(row.status) + "</td><td class=\"number\">" + html(row.wall) +
           "</td><td class=\"number\">" + html(row.memory) + "</td><td class=\"number\">" + html(row.cells) +
           "</td><td class=\"number\">" + html(row.overhead) + "</td></tr>\n";
  }
  out += "</table>\n<pre>" + html(page.summary) + "</pre>\n";

  for (const ProgramReport& report : page.reports) {
    const std::string name(report.program->name);
    out += "<h2 id=\"" + html(name) + "\">" + html(name) + "</h2>\n";
    out += "<p>" + html(report.program->what) + ". State: <span class=\"" +
           html(state_word(report.state).substr(0, state_word(report.state).find(' '))) + "\">" +
           html(state_word(report.state)) + "</span>.</p>\n";
    if (!report.detail.empty()) out += "<p class=\"failed\">" + html(report.detail) + "</p>\n";
    for (const std::string& chart : report.charts) {
      out += "<img src=\"" + html(name + "/" + chart) + "\" alt=\"" + html(name + " chart " + chart) + "\">\n";
    }
    if (!report.results_text.empty()) {
      std::string table;
      for (char c : report.results_text) {
        if (c != '\r') table += c;
      }
      out += "<details open><summary>vystup.out</summary><pre>" + html(table) + "</pre></details>\n";
    }
    if (report.state != ProgramState::not_started && report.state != ProgramState::refused &&
        report.state != ProgramState::missing) {
      out += "<p>Files: <a href=\"" + html(name) + "/vystup.out\">vystup.out</a>";
      if (!report.csv.empty())
        out += " &middot; <a href=\"" + html(name + "/" + report.csv) + "\">" + html(report.csv) + "</a>";
      out += " &middot; <a href=\"" + html(name) + "/console.txt\">console.txt</a></p>\n";
    }
  }
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace study
