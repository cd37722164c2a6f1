#include "study/run/run_record_file.hpp"

#include <charconv>
#include <fstream>
#include <sstream>
#include <string_view>

#include "study/os/tool_error.hpp"

namespace study {
namespace {

constexpr std::string_view kHeader =
    "program,seed,seed_source,hundredths_clock,nanoseconds_clock,window,windows,table,row_label,column_label,"
    "hundredths,nanoseconds";
constexpr std::size_t kFields = 12;

// The fields of one CSV line: quoted fields may hold separators, quotes doubled.
std::vector<std::string> csv_fields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

template <class Number>
bool parse_number(const std::string& text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

RecordedRun parse_record(const std::string& text, int repeat, const std::string& source) {
  RecordedRun run;
  std::istringstream lines(text);
  std::string line;
  std::size_t number = 0;
  const auto refuse = [&](std::string_view what) {
    throw ToolError(source + " line " + std::to_string(number) + ": " + std::string(what));
  };
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1) {
      if (line != kHeader) refuse("not the header of a run record");
      continue;
    }
    if (line.empty()) continue;
    const std::vector<std::string> fields = csv_fields(line);
    if (fields.size() != kFields) refuse("expected 12 fields");
    analysis::Measurement measurement;
    measurement.program = fields[0];
    measurement.table = fields[7];
    measurement.row = fields[8];
    measurement.column = fields[9];
    measurement.repeat = repeat;
    std::size_t windows = 0;
    if (!parse_number(fields[1], measurement.seed) || !parse_number(fields[6], windows) ||
        !parse_number(fields[10], measurement.hundredths) || !parse_number(fields[11], measurement.nanoseconds)) {
      refuse("a number field is not a number");
    }
    if (run.measurements.empty()) {
      run.program = measurement.program;
      run.seed = measurement.seed;
      run.windows = windows;
    } else if (measurement.program != run.program || measurement.seed != run.seed || windows != run.windows) {
      refuse("the program, seed or window count changes within the record");
    }
    run.measurements.push_back(std::move(measurement));
  }
  if (number == 0) refuse("empty record");
  return run;
}

std::optional<RecordedRun> read_record(const std::filesystem::path& path, int repeat) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) throw ToolError("cannot read " + path.string());
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) throw ToolError("cannot read " + path.string());
  return parse_record(text.str(), repeat, path.string());
}

}  // namespace study
