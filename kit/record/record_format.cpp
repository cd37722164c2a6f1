#include "kit/record/record_format.hpp"

#include <charconv>

#include "kit/record/csv_fields.hpp"

namespace kit::record {
namespace {

template <class Integer>
void append_number(std::string& line, Integer value) {
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, value);
  line.append(digits, written.ptr);
}

void append_index(std::string& line, const std::optional<std::size_t>& index) {
  if (index) append_number(line, *index);
}

}  // namespace

std::string header_line(std::size_t columns) {
  std::string line;
  for (std::size_t i = 0; i < columns && i < kColumns.size(); ++i) {
    if (i > 0) line += ',';
    csv::append_field(line, kColumns[i]);
  }
  return line;
}

void append_row(std::string& line, const Row& row) {
  // Each field goes where kColumns puts its name, so the order lives there alone.
  for (std::size_t position = 0; position < kColumns.size(); ++position) {
    if (position > 0) line += ',';
    switch (position) {
      case column("program"):
        csv::append_field(line, row.program);
        break;
      case column("seed"):
        append_number(line, row.seed);
        break;
      case column("seed_source"):
        csv::append_field(line, row.seed_source);
        break;
      case column("hundredths_clock"):
        csv::append_field(line, row.hundredths_clock);
        break;
      case column("nanoseconds_clock"):
        csv::append_field(line, row.nanoseconds_clock);
        break;
      case column("window"):
        append_number(line, row.window);
        break;
      case column("windows"):
        append_number(line, row.windows);
        break;
      case column("table"):
        csv::append_field(line, row.table);
        break;
      case column("row_label"):
        csv::append_field(line, row.row_label);
        break;
      case column("column_label"):
        csv::append_field(line, row.column_label);
        break;
      case column("hundredths"):
        append_number(line, row.hundredths);
        break;
      case column("nanoseconds"):
        append_number(line, row.nanoseconds);
        break;
      case column("kernel"):
        csv::append_field(line, row.kernel);
        break;
      case column("table_index"):
        append_index(line, row.table_index);
        break;
      case column("row_index"):
        append_index(line, row.row_index);
        break;
      case column("column_index"):
        append_index(line, row.column_index);
        break;
    }
  }
}

}  // namespace kit::record
