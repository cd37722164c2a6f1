#include "result_fixtures.hpp"

#include <variant>

#include "kit/record/record_format.hpp"
#include "kit/run_record.hpp"
#include "kit/stopwatch.hpp"
#include "kit/two_table_writer.hpp"
#include "smallarrays/small_array_results.hpp"

namespace fixtures {
namespace {

class StringOutput final : public kit::LineOutput {
 public:
  std::string text;

 private:
  void emit_line(std::string_view line, const kit::CallSite&) override {
    text.append(line);
    text.append("\r\n");
  }
};

std::vector<kit::TimeCell> cells(std::size_t rows, std::size_t columns, const CellValue& value) {
  std::vector<kit::TimeCell> table;
  for (std::size_t row = 0; row < rows; ++row) {
    for (std::size_t column = 0; column < columns; ++column) {
      table.push_back(kit::short_form::SPRACUJ(static_cast<std::int32_t>(value(row, column))));
    }
  }
  return table;
}

}  // namespace

std::string small_arrays_file(const smallarrays::SmallArrayProgram& program, const CellValue& cell) {
  StringOutput out;
  const auto TAB = cells(program.lengths.size(), program.algorithms.size(), cell);
  smallarrays::ZAPIS_DO_SUB(out, program, TAB);
  return out.text;
}

std::string two_table_file(const kit::TwoTableLayout& layout, const std::vector<std::int32_t>& rows,
                           std::size_t columns, const CellValue& first, const CellValue& second) {
  StringOutput out;
  kit::write_two_tables(out, layout, rows, columns, cells(rows.size(), columns, first),
                        cells(rows.size(), columns, second));
  return out.text;
}

std::string tallygrid_file(const CellValue& quick, const CellValue& counting) {
  const auto& program = quickvscount::kTallygrid;
  return two_table_file(program.layout, {program.lengths.begin(), program.lengths.end()},
                        static_cast<std::size_t>(program.ranges), quick, counting);
}

std::string cutoffwide_file(const CellValue& recursive, const CellValue& combined) {
  const auto& program = cutoff::kCutoffwide;
  return two_table_file(program.layout, {program.lengths.begin(), program.lengths.end()},
                        static_cast<std::size_t>(program.cutoffs), recursive, combined);
}

std::string cutoffnarrow_file(const CellValue& recursive, const CellValue& combined) {
  const auto& program = cutoff::kCutoffnarrow;
  return two_table_file(program.layout, {program.lengths.begin(), program.lengths.end()},
                        static_cast<std::size_t>(program.cutoffs), recursive, combined);
}

std::vector<DuelBlock> tallyduel_blocks(const std::function<std::int64_t(std::size_t input)>& quick,
                                        const std::function<std::int64_t(std::size_t input)>& counting) {
  std::vector<DuelBlock> blocks;
  for (std::size_t i = 0; i < quickvscount::kTallyduelCounts.size(); ++i) {
    blocks.push_back({quickvscount::kTallyduelCounts[i], quickvscount::kTallyduelRanges[i], quick(i), counting(i)});
  }
  return blocks;
}

std::string tallyduel_file(const std::vector<DuelBlock>& blocks) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const DuelBlock& block = blocks[i];
    if (i > 0) lines.emplace_back();
    lines.push_back("Vstup c." + std::to_string(i + 1) + ": pocet= " + std::to_string(block.count) +
                    ", rozsah= " + std::to_string(block.range));
    lines.push_back("Cas Quicksortu:    " +
                    std::string(kit::long_form::SPRACUJ(static_cast<std::int32_t>(block.quick)).text()));
    lines.push_back("Cas Countingsortu: " +
                    std::string(kit::long_form::SPRACUJ(static_cast<std::int32_t>(block.counting)).text()));
  }
  return join_crlf(lines);
}

std::string program_file(const analysis::SuiteProgram& program, const CellValue& first, const CellValue& second) {
  struct Writer {
    const CellValue& first;
    const CellValue& second;
    std::string operator()(const smallarrays::SmallArrayProgram* p) const { return small_arrays_file(*p, first); }
    std::string operator()(const quickvscount::FileDuelProgram* p) const {
      std::vector<DuelBlock> blocks;
      for (std::size_t i = 0; i < p->inputs.POCET_PRVKOV.size(); ++i) {
        blocks.push_back({p->inputs.POCET_PRVKOV[i], p->inputs.ROZSAH_VSTUPU[i], first(i, 0), second(i, 0)});
      }
      return tallyduel_file(blocks);
    }
    std::string operator()(const quickvscount::GridDuelProgram* p) const {
      return two_table_file(p->layout, {p->lengths.begin(), p->lengths.end()}, static_cast<std::size_t>(p->ranges),
                            first, second);
    }
    std::string operator()(const cutoff::CutoffProgram* p) const {
      return two_table_file(p->layout, {p->lengths.begin(), p->lengths.end()}, static_cast<std::size_t>(p->cutoffs),
                            first, second);
    }
  };
  return std::visit(Writer{first, second}, program.parameters);
}

std::string program_record(const analysis::SuiteProgram& program, const std::string& seed, const RecordedValue& cell,
                           RecordLayout form) {
  const analysis::ResultLayout& layout = program.layout;
  const bool duel = program.family == analysis::ProgramFamily::file_duel;
  // Input I of the duel stands in row I and column I, labelled with its
  // count and range.
  std::vector<std::string> tables;
  for (const analysis::RecordTable& table : program.record_tables) tables.emplace_back(table.name);
  std::vector<std::string> columns = program.column_labels();
  if (duel) {
    for (const std::int32_t range : layout.ranges) columns.push_back(std::to_string(range));
  }
  const std::size_t windows = tables.size() * layout.rows.size() * (duel ? 1 : columns.size());
  const bool current = form == RecordLayout::current;
  std::string record =
      kit::record::header_line(current ? kit::record::kColumns.size() : kit::record::kLabelColumns) + "\r\n";
  std::size_t window = 0;
  const auto add = [&](std::size_t table, std::size_t row, std::size_t column) {
    const RecordedCell figures = cell(table, row, column);
    record += std::string(program.name) + "," + seed + ",SORTBENCH_SEED,local_time_of_day,CLOCK_MONOTONIC," +
              std::to_string(++window) + "," + std::to_string(windows) + "," + tables[table] + "," +
              std::to_string(layout.rows[row]) + "," + columns[column] + "," + std::to_string(figures.hundredths) +
              "," + std::to_string(figures.nanoseconds);
    if (current) {
      record += "," + std::string(program.kernel_of(tables[table], columns[column])) + "," + std::to_string(table) +
                "," + std::to_string(row) + "," + std::to_string(column);
      // Evidence as a machine without a processor counter gives it: the
      // thread ran for nearly the whole window, now and then switched out.
      const std::int64_t cpu = figures.nanoseconds - figures.nanoseconds / 50;
      record += "," + std::to_string(cpu) + "," + (window % 4 == 0 ? "1" : "0") +
                ",0,,,,,cycles instructions branch_misses cache_misses";
    }
    record += "\r\n";
  };
  if (duel) {
    for (std::size_t input = 0; input < layout.rows.size(); ++input) {
      add(0, input, input);
      add(1, input, input);
    }
    return record;
  }
  for (std::size_t table = 0; table < tables.size(); ++table) {
    for (std::size_t row = 0; row < layout.rows.size(); ++row) {
      for (std::size_t column = 0; column < columns.size(); ++column) add(table, row, column);
    }
  }
  return record;
}

std::vector<std::string> crlf_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find("\r\n", begin);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(begin, end - begin));
    begin = end + 2;
  }
  return lines;
}

std::string join_crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace fixtures
