#include "analysis/export/csv_writer.hpp"

#include "analysis/text/text_format.hpp"

namespace analysis {
namespace {

std::string csv_field(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

void csv_row(std::string& csv, std::string_view program, std::string_view table, std::string_view row,
             std::string_view column, std::int64_t hundredths) {
  csv += csv_field(program) + "," + csv_field(table) + "," + csv_field(row) + "," + csv_field(column) + "," +
         seconds_text(hundredths) + "\r\n";
}

}  // namespace

std::string build_csv(const ResultFile& result, std::string_view program) {
  std::string csv = "program,table,row_label,column_label,seconds\r\n";
  for (const CellTable& table : result.tables) {
    for (std::size_t row = 0; row < table.row_labels.size(); ++row) {
      for (std::size_t column = 0; column < table.column_labels.size(); ++column) {
        csv_row(csv, program, table.name, std::to_string(table.row_labels[row]), table.column_labels[column],
                table.cell(row, column));
      }
    }
  }
  for (const DuelInput& input : result.inputs) {
    csv_row(csv, program, "Quicksort", std::to_string(input.count), std::to_string(input.range), input.quicksort);
  }
  for (const DuelInput& input : result.inputs) {
    csv_row(csv, program, "Countingsort", std::to_string(input.count), std::to_string(input.range), input.countingsort);
  }
  return csv;
}

}  // namespace analysis
