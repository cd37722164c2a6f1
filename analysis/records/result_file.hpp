// Reading "vystup.out" back: the one-table form of the small-array programs,
// the report blocks of tallyduel and the two-table form of tallygrid and the
// cutoff programs, told apart by their first line.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/programs/suite_programs.hpp"

namespace analysis {

// A table of time cells as the file shows it: row labels are array lengths,
// column labels are algorithm names, value ranges or cutoffs.
struct CellTable {
  std::string name;  // the caption without "Vysledky pre " and ":", e.g. "Quicksort"
  std::vector<std::int64_t> row_labels;
  std::vector<std::string> column_labels;
  std::vector<std::int64_t> hundredths;  // row by row; negative only if the clock was set back

  std::int64_t cell(std::size_t row, std::size_t column) const {
    return hundredths[row * column_labels.size() + column];
  }
};

// One report block of tallyduel.
struct DuelInput {
  std::int64_t number = 0;
  std::int64_t count = 0;
  std::int64_t range = 0;
  std::int64_t quicksort = 0;     // hundredths
  std::int64_t countingsort = 0;  // hundredths
};

// A time cell's place as the precise record and the CSV exports label it:
// the table's name, the row's length (tallyduel: the input's count) and the
// column's label (tallyduel: the input's range).
struct CellLabel {
  std::string table;
  std::string row;
  std::string column;
  auto operator<=>(const CellLabel&) const = default;
};

struct LabelledCell {
  CellLabel label;
  std::int64_t hundredths = 0;
};

struct ResultFile {
  // The family whose form the file has; a two-table file of none of the six
  // is told by the name of its second table.
  ProgramFamily family = ProgramFamily::small_arrays;
  // The program whose layout this is, or nullptr when the captions and
  // headers are well formed but belong to none of the six.
  const SuiteProgram* program = nullptr;
  std::vector<CellTable> tables;  // one (small arrays) or two (two-table form)
  std::vector<DuelInput> inputs;  // duel form only

  // Every time cell of the file added up, in hundredths.
  std::int64_t total_hundredths() const;
  std::size_t cell_count() const;

  // Every time cell with its labels: the tables row by row; the duel's
  // quicksort cells input by input, then its counting-sort cells.
  std::vector<LabelledCell> labelled_cells() const;
};

struct ParseError {
  std::size_t line = 0;  // 1-based; 0 when the file as a whole is at fault (empty)
  std::string message;
};

struct ParseOutcome {
  std::optional<ResultFile> result;
  ParseError error;  // meaningful when result is empty
};

// With `suite_rows`, a file in the layout of one of the six programs must
// hold exactly that program's rows or inputs, so a file cut short at a line
// end is caught; without, any number of rows is read (scaled-down runs).
enum class RowCheck { suite_rows, any_rows };

ParseOutcome parse_result_file(std::string_view text, RowCheck rows = RowCheck::suite_rows);

// A time cell in hundredths: "MM:SS.CC" (short form, minutes may run past 59)
// or "HH:MM:SS.CC" (long form). The signed cells of a batch that ran while the
// clock went back ("00:-1.-50") are read as the negative time they stand for.
// A cell beyond the 32-bit hundredths the programs count in is no cell.
std::optional<std::int64_t> parse_time_cell(std::string_view cell, bool long_form);

// No line the programs write comes near this; a longer one is rejected
// before any of it is interpreted.
inline constexpr std::size_t kLongestResultLine = 4096;

}  // namespace analysis
