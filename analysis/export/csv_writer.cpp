#include "analysis/export/csv_writer.hpp"

#include "analysis/text/text_format.hpp"
#include "kit/record/csv_fields.hpp"

namespace analysis {
namespace {

void csv_row(std::string& csv, std::string_view program, std::string_view table, std::string_view row,
             std::string_view column, std::int64_t hundredths) {
  for (const std::string_view label : {program, table, row, column}) {
    kit::csv::append_field(csv, label);
    csv += ',';
  }
  csv += seconds_text(hundredths) + "\r\n";
}

}  // namespace

std::string build_csv(const ResultFile& result, std::string_view program) {
  std::string csv = "program,table,row_label,column_label,seconds\r\n";
  for (const LabelledCell& cell : result.labelled_cells()) {
    csv_row(csv, program, cell.label.table, cell.label.row, cell.label.column, cell.hundredths);
  }
  return csv;
}

}  // namespace analysis
