#include "smallarrays/small_array_results.hpp"

#include <string>

#include "kit/runtime_error.hpp"

namespace smallarrays {

void ZAPIS_DO_SUB(kit::LineOutput& PROTOKOL, const SmallArrayProgram& program, std::span<const kit::TimeCell> TAB) {
  kit::ActiveRoutine routine("ZAPIS_DO_SUB");
  PROTOKOL.write_line(kSmallArraysCaption);
  PROTOKOL.write_line("");
  PROTOKOL.write_line(program.header);
  PROTOKOL.write_line(program.separator);
  const std::size_t columns = program.algorithms.size();
  std::string line;
  for (std::size_t I = 0; I < program.lengths.size(); ++I) {
    const std::int32_t n = program.lengths[I];
    line.assign(program.row_lead);
    if (n < program.extra_space_below) line += ' ';
    kit::append_integer(line, n);
    line += "    |";
    for (std::size_t J = 0; J < columns; ++J) {
      line += ' ';
      line += TAB[I * columns + J].text();
      line += " |";
    }
    PROTOKOL.write_line(line);
    PROTOKOL.write_line(program.separator);
  }
}

}  // namespace smallarrays
