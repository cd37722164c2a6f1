#include "kit/run_record.hpp"

#include <utility>

#include "kit/os/clocks.hpp"
#include "kit/runtime_error.hpp"

namespace kit {
namespace {

// The routine a failure of the record lists: it names the variable to look at.
constexpr const char* kRecordRoutine = "SORTBENCH_RECORD";

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// One CSV field, quoted only when it holds a separator, a quote or a line end.
void append_field(std::string& line, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    line.append(field);
  } else {
    line += '"';
    for (const char c : field) {
      if (c == '"') line += '"';
      line += c;
    }
    line += '"';
  }
  line += ',';
}

void append_number(std::string& line, std::int64_t value) {
  append_integer(line, value);
  line += ',';
}

std::string_view label(const std::vector<std::string>& labels, std::size_t index) {
  return index < labels.size() ? std::string_view(labels[index]) : std::string_view();
}

}  // namespace

std::string table_name(std::string_view caption) {
  constexpr std::string_view kLead = "Vysledky pre ";
  if (caption.starts_with(kLead)) caption.remove_prefix(kLead.size());
  if (caption.ends_with(':')) caption.remove_suffix(1);
  return std::string(caption);
}

std::vector<std::string> column_labels(std::string_view header) {
  std::vector<std::string> labels;
  std::size_t bar = header.find('|');
  while (bar != std::string_view::npos) {
    const std::size_t next = header.find('|', bar + 1);
    if (next == std::string_view::npos) break;
    labels.emplace_back(trimmed(header.substr(bar + 1, next - bar - 1)));
    bar = next;
  }
  return labels;
}

std::vector<std::string> row_labels(std::span<const std::int32_t> lengths) {
  std::vector<std::string> labels(lengths.size());
  for (std::size_t i = 0; i < lengths.size(); ++i) append_integer(labels[i], lengths[i]);
  return labels;
}

RunRecord::RunRecord(const RecordRequest& request, RecordPlaces places, std::size_t windows)
    : request_(request), places_(std::move(places)), windows_(active() ? windows : 0) {}

void RunRecord::create(const CallSite& where) {
  if (!active()) return;
  ActiveRoutine routine(kRecordRoutine);
  file_.create(request_.file, where);
}

void RunRecord::write(const SeedChoice& seed, const CallSite& where) {
  if (!active()) return;
  ActiveRoutine routine(kRecordRoutine);
  file_.write_line(kRecordHeader, where);
  // The fields every row repeats, so each row stands on its own in any tool.
  std::string run;
  append_field(run, request_.program);
  append_number(run, seed.value);
  append_field(run, seed_source_name(seed.source));
  append_field(run, "local_time_of_day");
  append_field(run, os::precise_clock_name());
  std::string line;
  for (std::size_t i = 0; i < noted_; ++i) {
    const Window& window = windows_[i];
    line.assign(run);
    append_number(line, static_cast<std::int64_t>(i) + 1);
    append_number(line, static_cast<std::int64_t>(windows_.size()));
    append_field(line, label(places_.tables, window.table));
    append_field(line, label(places_.rows, window.row));
    append_field(line, label(places_.columns, window.column));
    append_number(line, window.hundredths);
    append_integer(line, window.nanoseconds);
    file_.write_line(line, where);
  }
  file_.close(where);
}

}  // namespace kit
