#include "kit/two_table_writer.hpp"

#include <cassert>
#include <string>

namespace kit {
namespace {

// Caption, empty line, header, separator, then each row line and a separator.
void write_table(LineOutput& out, const TwoTableLayout& layout, std::string_view caption,
                 std::span<const std::int32_t> row_labels, std::size_t columns, std::span<const TimeCell> table,
                 std::string& line) {
  out.write_line(caption);
  out.write_line("");
  out.write_line(layout.header);
  out.write_line(layout.separator);
  for (std::size_t row = 0; row < row_labels.size(); ++row) {
    line.clear();
    append_integer(line, row_labels[row], 10);
    line += '|';
    for (const TimeCell& cell : table.subspan(row * columns, columns)) {
      line += ' ';
      line += cell.text();
      line += " |";
    }
    out.write_line(line);
    out.write_line(layout.separator);
  }
}

}  // namespace

void write_two_tables(LineOutput& out, const TwoTableLayout& layout, std::span<const std::int32_t> row_labels,
                      std::size_t columns, std::span<const TimeCell> first_table,
                      std::span<const TimeCell> second_table) {
  assert(first_table.size() == row_labels.size() * columns);
  assert(second_table.size() == row_labels.size() * columns);
  std::string line;
  line.reserve(16 + columns * (TimeCell::kCapacity + 3));
  write_table(out, layout, layout.first_caption, row_labels, columns, first_table, line);
  out.write_line("");
  write_table(out, layout, layout.second_caption, row_labels, columns, second_table, line);
}

}  // namespace kit
