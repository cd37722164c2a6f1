#include "quickvscount/file_duel.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kit/counting_sort.hpp"
#include "kit/file_names.hpp"
#include "kit/os/files.hpp"
#include "kit/program_storage.hpp"
#include "kit/quicksort.hpp"
#include "kit/run_record.hpp"
#include "kit/runtime_error.hpp"
#include "kit/seed_choice.hpp"
#include "kit/stopwatch.hpp"
#include "kit/text_output.hpp"

namespace quickvscount {
namespace {

using kit::Element;

// The three lines reporting input I; between blocks comes one empty line.
struct ReportBlock {
  std::string header;     // "Vstup c.I: pocet= n, rozsah= r"
  std::string quicksort;  // "Cas Quicksortu:    " and the cell
  std::string counting;   // "Cas Countingsortu: " and the cell

  void write(kit::LineOutput& out, bool last) const {
    out.write_line(header);
    out.write_line(quicksort);
    out.write_line(counting);
    if (!last) out.write_line("");
  }
};

// The record's places: one table per sort, as the report's lines name them;
// input I stands in row I and column I, labelled with its count and range.
kit::RecordPlaces duel_places(const InputTable& inputs) {
  std::vector<std::string> ranges(inputs.ROZSAH_VSTUPU.size());
  for (std::size_t I = 0; I < ranges.size(); ++I) kit::append_integer(ranges[I], inputs.ROZSAH_VSTUPU[I]);
  return {.tables = {std::string(kQuicksortTable), std::string(kCountingsortTable)},
          .rows = kit::row_labels(inputs.POCET_PRVKOV),
          .columns = ranges,
          .kernels = {std::string(kQuicksortKernel), std::string(kCountingsortKernel)},
          .kernel_place = kit::KernelPlace::kTable};
}

// Reads standard input up to and including the next LF. The end of input,
// and a descriptor that cannot be read at all, end the wait at once: the
// report is finished and must still reach its file.
void wait_for_line() {
  const kit::os::File input = kit::os::standard_input();
  char c = 0;
  for (;;) {
    const kit::os::ReadOutcome got = kit::os::read(input, &c, 1);
    if (got.error != 0 || got.bytes == 0 || c == '\n') return;
  }
}

}  // namespace

void run_file_duel(const FileDuelProgram& program, const kit::Instruments& instruments) {
  kit::ActiveRoutine routine(program.name);
  const std::int32_t L = program.last_slot;
  const auto slots = static_cast<std::size_t>(L) + 1;
  const auto& POCET_PRVKOV = program.inputs.POCET_PRVKOV;
  const auto& ROZSAH_VSTUPU = program.inputs.ROZSAH_VSTUPU;

  // Everything the run needs is obtained before any file is touched.
  auto TESTQS = kit::ProgramArray<Element>::obtain(slots);
  auto TESTCS = kit::ProgramArray<Element>::obtain(slots);
  auto B = kit::ProgramArray<Element>::obtain(slots);
  auto C = kit::ProgramArray<Element>::obtain(slots);
  InputFile SUBOR;
  kit::Console console;
  kit::Stopwatch stopwatch = kit::stopwatch_for(instruments);
  kit::RunRecord record(instruments.record, duel_places(program.inputs), 2 * POCET_PRVKOV.size());
  ReportBlock block;

  const kit::SeedChoice seed = kit::seed_for_run(instruments);
  MAKEFILE(program.inputs, seed.value);
  kit::TextFile PROTOKOL;
  PROTOKOL.create(kit::kResultsFileName);
  SUBOR.open(kit::kInputFileName);
  record.create();

  // Clearing writes every slot of B and C before the first measurement, so
  // no page is first touched inside a timed sort. Index 0 is never touched.
  std::fill_n(B.data() + 1, L, 0);
  kit::keep_memory(B.data());
  std::fill_n(C.data() + 1, L, 0);
  kit::keep_memory(C.data());

  const std::size_t inputs = POCET_PRVKOV.size();
  for (std::size_t I = 0; I < inputs; ++I) {
    const std::int32_t range = ROZSAH_VSTUPU[I];
    const std::int32_t N = read_input(SUBOR, TESTQS.data(), L, range);
    std::copy_n(TESTQS.data() + 1, N, TESTCS.data() + 1);

    const std::int32_t ROZDIELQS = stopwatch.time([&] { kit::QSORT(TESTQS.data(), 1, N); });
    kit::keep_memory(TESTQS.data());
    record.note(0, I, I, ROZDIELQS, stopwatch.elapsed_nanoseconds(), stopwatch.evidence());
    const std::int32_t ROZDIELCS = stopwatch.time([&] { kit::CSORT(TESTCS.data(), N, range, B.data(), C.data()); });
    kit::keep_memory(TESTCS.data());
    record.note(1, I, I, ROZDIELCS, stopwatch.elapsed_nanoseconds(), stopwatch.evidence());
    const kit::TimeCell VYSQS = kit::long_form::SPRACUJ(ROZDIELQS);
    const kit::TimeCell VYSCS = kit::long_form::SPRACUJ(ROZDIELCS);

    // The first line shows the table's count, not the one read from the file.
    block.header.assign(kBlockStart);
    kit::append_integer(block.header, static_cast<std::int64_t>(I) + 1);
    block.header.append(kBlockCount);
    kit::append_integer(block.header, POCET_PRVKOV[I]);
    block.header.append(kBlockRange);
    kit::append_integer(block.header, range);
    block.quicksort.assign(kQuicksortLabel).append(VYSQS.text());
    block.counting.assign(kCountingsortLabel).append(VYSCS.text());
    const bool last = I + 1 == inputs;
    block.write(console, last);
    block.write(PROTOKOL, last);
  }

  wait_for_line();
  SUBOR.close();
  PROTOKOL.close();
  record.write(seed);
}

}  // namespace quickvscount
