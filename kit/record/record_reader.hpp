// Reading a precise record (record.csv) back into its rows, every field
// checked. A tool that reads a record needs only this header:
//
//   const kit::record::Record record = kit::record::read_record(text, path);
//   if (!record.complete()) ...             // the run stopped before its last window
//   for (const kit::record::Row& row : record.rows) {
//     row.table, row.row_label, row.column_label  // the place, as "vystup.out" labels it
//     row.hundredths, row.nanoseconds             // the two figures of the window
//     if (record.has_kernels()) row.kernel, *row.table_index, ...
//     if (record.has_evidence()) row.cpu_nanoseconds, ...  // each absent where not counted
//   }
//
// Every layout written so far is read: the current one (every column of
// kColumns); the one written before each window's evidence was (the first
// kKernelColumns), whose rows have no evidence; and the label-only one of
// records written before the kernel and the indices were added (the first
// kLabelColumns), whose rows have an empty kernel and no indices either.
// Line ends may be CR LF (as written) or LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "kit/record/record_format.hpp"

namespace kit::record {

// A text that is not a well-formed record. what() is
// "SOURCE:LINE: expected WHAT, found WHAT", e.g.
// "run/record.csv:4: expected window to be a whole number from 1 to 96, found "-1"".
class RecordError : public std::runtime_error {
 public:
  RecordError(std::string_view source, std::size_t line, std::string_view expected, std::string_view found);

  const std::string& source() const { return source_; }
  // The line the faulty row starts on; 1 is the header.
  std::size_t line() const { return line_; }

 private:
  std::string source_;
  std::size_t line_;
};

// A whole record: its rows in file order, and the run's constants.
struct Record {
  std::size_t columns = 0;  // kColumns.size(), kKernelColumns, or kLabelColumns for a label-only record
  std::vector<Row> rows;
  // The same on every row; empty and 0 when the record has no rows.
  std::string program;
  std::uint32_t seed = 0;
  std::size_t windows = 0;

  // The rows carry their kernel and their table, row and column indices.
  bool has_kernels() const { return columns >= kKernelColumns; }
  // The rows carry the evidence of their windows, as far as the system counted it.
  bool has_evidence() const { return columns == kColumns.size(); }
  // Every window the run meant to measure is in the record.
  bool complete() const { return windows > 0 && rows.size() == windows; }
};

// Reads the record in `text`; `source` names it in errors (usually its path).
// Throws RecordError at the first fault:
//   - a header other than the three layouts, a row whose field count differs
//     from the header's, or malformed quoting;
//   - program, seed_source, the clocks, table, row_label or column_label
//     empty (and kernel, in the current layout);
//   - seed not a whole number from 0 to 4294967295; windows below 1;
//     window not the row's place (1, 2, ...) or above windows; hundredths
//     not a whole number (it may be negative: the wall clock can be set
//     back); nanoseconds or an index not a whole number of at least 0; an
//     evidence count neither empty nor a whole number of at least 0;
//   - uncounted other than the names of the row's empty evidence columns;
//   - seed_source other than kTickCountSeed or kChosenSeed, or
//     hundredths_clock other than kHundredthsClock;
//   - program, seed, seed_source, the clocks, windows or uncounted changing
//     between rows.
// A header without rows is a record without windows.
Record read_record(std::string_view text, std::string_view source);

}  // namespace kit::record
