// The precise record of a run (SORTBENCH_RECORD): a CSV file with one row
// per timed window, naming its place in the tables of "vystup.out", the
// sort it timed, the hundredths its cell reports, the nanoseconds of the
// same window on the monotonic clock and what the system counted for the
// thread over it; kit/record/ owns its columns. The
// windows are noted in memory obtained before the first measurement and
// written out once, when the run's own files are done.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kit/call_site.hpp"
#include "kit/instruments.hpp"
#include "kit/os/window_evidence.hpp"
#include "kit/seed_choice.hpp"
#include "kit/table_caption.hpp"
#include "kit/text_output.hpp"

namespace kit {

// Which of a window's places tells the sort it times.
enum class KernelPlace { kTable, kColumn };

// The labels of the places a window can take, and the sorts they time.
struct RecordPlaces {
  std::vector<std::string> tables;
  std::vector<std::string> rows;
  std::vector<std::string> columns;
  // The kernel of each table, or of each column where the columns are the sorts.
  std::vector<std::string> kernels{};
  KernelPlace kernel_place = KernelPlace::kTable;
};

// The column labels of a header line: its fields between "|" after the
// first, without their spaces. " n \ sort |    QS    |    MS    |" gives QS, MS.
std::vector<std::string> column_labels(std::string_view header);
// The row labels of a table: the lengths in decimal.
std::vector<std::string> row_labels(std::span<const std::int32_t> lengths);

class RunRecord {
 public:
  // Records nothing unless the request names a file. Otherwise obtains room
  // for `windows` windows now, so noting a window never allocates.
  RunRecord(const RecordRequest& request, RecordPlaces places, std::size_t windows);

  bool active() const { return request_.file != nullptr; }

  // Creates the record file, or empties an existing one. Does nothing
  // without a request. A failure stops the program (runtime_error.hpp).
  void create(const CallSite& where = CallSite::current());

  // Notes one window, in the order of measurement; never inside a timed
  // window. Without a request, and beyond the room obtained, it does nothing.
  // Evidence the system did not count is left out of the row.
  void note(std::size_t table, std::size_t row, std::size_t column, std::int32_t hundredths, std::int64_t nanoseconds,
            const os::EvidenceReading& evidence = {}) {
    if (noted_ == windows_.size()) return;
    windows_[noted_++] = {table, row, column, hundredths, nanoseconds, evidence};
  }

  // Writes the header and every noted window, then closes the file. Does
  // nothing without a request. A failure stops the program.
  void write(const SeedChoice& seed, const CallSite& where = CallSite::current());

 private:
  struct Window {
    std::size_t table = 0;
    std::size_t row = 0;
    std::size_t column = 0;
    std::int32_t hundredths = 0;
    std::int64_t nanoseconds = 0;
    os::EvidenceReading evidence{};
  };

  RecordRequest request_;
  RecordPlaces places_;
  std::vector<Window> windows_;
  std::size_t noted_ = 0;
  TextFile file_;
};

}  // namespace kit
