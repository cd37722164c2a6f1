#include "kit/run_record.hpp"

#include <utility>

#include "kit/os/clocks.hpp"
#include "kit/record/record_format.hpp"
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

std::string_view label(const std::vector<std::string>& labels, std::size_t index) {
  return index < labels.size() ? std::string_view(labels[index]) : std::string_view();
}

// The system's kinds of evidence are the record's evidence columns, in order.
consteval bool evidence_kinds_are_the_columns() {
  if (os::kEvidenceKinds != record::kEvidenceColumns) return false;
  for (std::size_t i = 0; i < os::kEvidenceKinds; ++i) {
    if (os::kEvidenceNames[i] != record::kColumns[record::kFirstEvidenceColumn + i]) return false;
  }
  return true;
}
static_assert(evidence_kinds_are_the_columns());

void set_evidence(record::Row& row, const os::EvidenceReading& evidence) {
  for (std::size_t i = 0; i < os::kEvidenceKinds; ++i) {
    const auto kind = static_cast<os::Evidence>(i);
    row.*record::kEvidenceMembers[i] = evidence.has(kind) ? std::optional<std::int64_t>(evidence[kind]) : std::nullopt;
  }
}

}  // namespace

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
  file_.write_line(record::header_line(), where);
  // The fields every row repeats, so each row stands on its own in any tool.
  record::Row row;
  row.program = request_.program;
  row.seed = seed.value;
  row.seed_source = seed_source_name(seed.source);
  row.hundredths_clock = record::kHundredthsClock;
  row.nanoseconds_clock = os::precise_clock_name();
  row.windows = windows_.size();
  const bool kernel_by_column = places_.kernel_place == KernelPlace::kColumn;
  std::string line;
  for (std::size_t i = 0; i < noted_; ++i) {
    const Window& window = windows_[i];
    row.window = i + 1;
    row.table = label(places_.tables, window.table);
    row.row_label = label(places_.rows, window.row);
    row.column_label = label(places_.columns, window.column);
    row.hundredths = window.hundredths;
    row.nanoseconds = window.nanoseconds;
    row.kernel = label(places_.kernels, kernel_by_column ? window.column : window.table);
    row.table_index = window.table;
    row.row_index = window.row;
    row.column_index = window.column;
    set_evidence(row, window.evidence);
    line.clear();
    record::append_row(line, row);
    file_.write_line(line, where);
  }
  file_.close(where);
}

}  // namespace kit
