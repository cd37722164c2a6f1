// The two-table results of a grid experiment: one table per algorithm, one
// row per array length, one column per value of the second parameter. The
// same lines go to "vystup.out" and, in tallygrid, to the console.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "kit/stopwatch.hpp"
#include "kit/text_output.hpp"
#include "kit/two_table_layout.hpp"

namespace kit {

// Writes both tables, 9 + 4R lines for R = row_labels.size(): per table its
// caption, an empty line, header and separator, then each row line followed
// by the separator; one empty line between the tables and none after them.
// A row line is the label right-aligned in 10 characters, "|", then per
// column " " + cell + " |"; cells are written as stored, so a cell of
// unusual length shifts only its own row. The tables hold
// row_labels.size() * columns cells each, row by row.
void write_two_tables(LineOutput& out, const TwoTableLayout& layout, std::span<const std::int32_t> row_labels,
                      std::size_t columns, std::span<const TimeCell> first_table,
                      std::span<const TimeCell> second_table);

}  // namespace kit
