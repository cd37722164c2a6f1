#include "kit/record/record_format.hpp"

#include <array>
#include <charconv>
#include <concepts>

#include "kit/record/csv_fields.hpp"

namespace kit::record {
namespace {

// One overload per kind of member of Row: labels are quoted when they must
// be, numbers are written in decimal, an absent index as an empty field.
void append_value(std::string& line, std::string_view text) { csv::append_field(line, text); }

template <std::integral Integer>
void append_value(std::string& line, Integer value) {
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, value);
  line.append(digits, written.ptr);
}

template <std::integral Integer>
void append_value(std::string& line, const std::optional<Integer>& value) {
  if (value) append_value(line, *value);
}

using FieldWriter = void (*)(std::string& line, const Row& row);

template <auto member>
void write_member(std::string& line, const Row& row) {
  append_value(line, row.*member);
}

void write_uncounted(std::string& line, const Row& row) { csv::append_field(line, uncounted_columns(row)); }

struct Field {
  std::string_view column;
  FieldWriter write;
};

// The member of Row that each column holds.
constexpr Field kFields[] = {
    {"program", write_member<&Row::program>},
    {"seed", write_member<&Row::seed>},
    {"seed_source", write_member<&Row::seed_source>},
    {"hundredths_clock", write_member<&Row::hundredths_clock>},
    {"nanoseconds_clock", write_member<&Row::nanoseconds_clock>},
    {"window", write_member<&Row::window>},
    {"windows", write_member<&Row::windows>},
    {"table", write_member<&Row::table>},
    {"row_label", write_member<&Row::row_label>},
    {"column_label", write_member<&Row::column_label>},
    {"hundredths", write_member<&Row::hundredths>},
    {"nanoseconds", write_member<&Row::nanoseconds>},
    {"kernel", write_member<&Row::kernel>},
    {"table_index", write_member<&Row::table_index>},
    {"row_index", write_member<&Row::row_index>},
    {"column_index", write_member<&Row::column_index>},
    {"cpu_nanoseconds", write_member<&Row::cpu_nanoseconds>},
    {"involuntary_switches", write_member<&Row::involuntary_switches>},
    {"migrations", write_member<&Row::migrations>},
    {"cycles", write_member<&Row::cycles>},
    {"instructions", write_member<&Row::instructions>},
    {"branch_misses", write_member<&Row::branch_misses>},
    {"cache_misses", write_member<&Row::cache_misses>},
    {"uncounted", write_uncounted},
};

// The writers of kFields, each where kColumns puts its column, so the order
// lives there alone; a column with no field or two does not compile.
consteval std::array<FieldWriter, kColumns.size()> writers_in_column_order() {
  std::array<FieldWriter, kColumns.size()> writers{};
  // Kept apart from the writers: a sanitized build cannot compare function
  // pointers while it evaluates this.
  std::array<bool, kColumns.size()> filled{};
  for (const Field& field : kFields) {
    const std::size_t position = column(field.column);
    if (filled[position]) throw "a column with two fields";
    filled[position] = true;
    writers[position] = field.write;
  }
  for (const bool written : filled) {
    if (!written) throw "a column with no field";
  }
  return writers;
}

constexpr std::array<FieldWriter, kColumns.size()> kWriters = writers_in_column_order();

}  // namespace

std::string header_line(std::size_t columns) {
  std::string line;
  for (std::size_t i = 0; i < columns && i < kColumns.size(); ++i) {
    if (i > 0) line += ',';
    csv::append_field(line, kColumns[i]);
  }
  return line;
}

std::string uncounted_columns(const Row& row) {
  std::string names;
  for (std::size_t i = 0; i < kEvidenceColumns; ++i) {
    if (row.*kEvidenceMembers[i]) continue;
    if (!names.empty()) names += ' ';
    names += kColumns[kFirstEvidenceColumn + i];
  }
  return names;
}

void append_row(std::string& line, const Row& row) {
  for (std::size_t position = 0; position < kColumns.size(); ++position) {
    if (position > 0) line += ',';
    kWriters[position](line, row);
  }
}

}  // namespace kit::record
