// The stopwatch: the local time of day at a resolution of one hundredth of a
// second, read immediately before and after a measured batch, and the time
// cell, the short text a measured time is reported as.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "kit/os/clocks.hpp"
#include "kit/os/window_evidence.hpp"

namespace kit {

// One reading of the local time of day, as the programs keep it in H, M, S and CS.
struct TimeOfDay {
  std::uint16_t H = 0;   // 0..23
  std::uint16_t M = 0;   // 0..59
  std::uint16_t S = 0;   // 0..59
  std::uint16_t CS = 0;  // hundredths, 0..99: milliseconds div 10, never rounded
};

inline constexpr std::int32_t kHundredthsPerDay = 8640000;

// Hundredths of a second since local midnight: 0 (00:00:00.00) .. 8639999 (23:59:59.99).
constexpr std::int32_t time_stamp(const TimeOfDay& t) {
  return static_cast<std::int32_t>(t.H) * 360000 + static_cast<std::int32_t>(t.M) * 6000 +
         static_cast<std::int32_t>(t.S) * 100 + static_cast<std::int32_t>(t.CS);
}

// FINISH - START in hundredths. A batch that runs past local midnight gets
// its day back instead of showing a negative time.
constexpr std::int32_t elapsed_hundredths(std::int32_t START, std::int32_t FINISH) {
  const std::int32_t difference = FINISH - START;
  return difference < 0 ? difference + kHundredthsPerDay : difference;
}

// The local time of day of a wall-clock reading (os::read_wall_clock).
TimeOfDay local_time_of_day(const os::ClockReading& reading);

// Times one batch: the clock is read immediately before and after it, and
// nothing else happens between the two readings. With a precise clock, that
// clock is read inside the two wall-clock readings, around nothing but the
// batch, so both times describe the same work. With an evidence reader, the
// evidence is read just outside the two wall-clock readings, so the window
// still holds nothing but the batch.
class Stopwatch {
 public:
  using ReadClock = os::ClockReading (*)();
  using ReadEvidence = os::EvidenceReading (*)();

  explicit Stopwatch(ReadClock read_clock = os::read_wall_clock, ReadClock read_precise_clock = nullptr,
                     ReadEvidence read_evidence = nullptr)
      : read_clock_(read_clock), read_precise_clock_(read_precise_clock), read_evidence_(read_evidence) {}

  // Runs `batch` and returns its elapsed time in hundredths of a second.
  template <class Batch>
  std::int32_t time(Batch&& batch) {
    // Without a reader the window is exactly the one before evidence existed.
    if (read_evidence_ != nullptr) return time_with_evidence(batch);
    const os::ClockReading before = read_clock_();
    const os::ClockReading precise_before = read_precise_clock();
    batch();
    const os::ClockReading precise_after = read_precise_clock();
    const os::ClockReading after = read_clock_();
    return close_window(before, precise_before, precise_after, after);
  }

  // The last batch on the precise clock; 0 without one.
  std::int64_t elapsed_nanoseconds() const { return elapsed_nanoseconds_; }
  // What the system counted over the last window; nothing counted without a reader.
  const os::EvidenceReading& evidence() const { return evidence_; }

  std::int32_t START = 0;
  std::int32_t FINISH = 0;

 private:
  template <class Batch>
  std::int32_t time_with_evidence(Batch& batch) {
    const os::EvidenceReading evidence_before = read_evidence_();
    const os::ClockReading before = read_clock_();
    const os::ClockReading precise_before = read_precise_clock();
    batch();
    const os::ClockReading precise_after = read_precise_clock();
    const os::ClockReading after = read_clock_();
    const os::EvidenceReading evidence_after = read_evidence_();
    evidence_ = os::evidence_between(evidence_before, evidence_after);
    return close_window(before, precise_before, precise_after, after);
  }

  std::int32_t close_window(const os::ClockReading& before, const os::ClockReading& precise_before,
                            const os::ClockReading& precise_after, const os::ClockReading& after) {
    START = time_stamp(local_time_of_day(before));
    FINISH = time_stamp(local_time_of_day(after));
    elapsed_nanoseconds_ = os::nanoseconds_between(precise_before, precise_after);
    return elapsed_hundredths(START, FINISH);
  }

  os::ClockReading read_precise_clock() const {
    return read_precise_clock_ != nullptr ? read_precise_clock_() : os::ClockReading{};
  }

  ReadClock read_clock_;
  ReadClock read_precise_clock_;
  ReadEvidence read_evidence_;
  std::int64_t elapsed_nanoseconds_ = 0;
  os::EvidenceReading evidence_{};
};

// A time cell: at most 17 characters for any 32-bit argument, so it needs no allocation.
class TimeCell {
 public:
  static constexpr std::size_t kCapacity = 23;

  std::string_view text() const { return {chars_.data(), size_}; }
  void append(std::string_view part);

 private:
  std::array<char, kCapacity> chars_{};
  std::uint8_t size_ = 0;
};

// SPRACUJ in the short form, minutes:seconds.hundredths, "20:34.56". The
// minutes field counts every whole minute, so an hour shows as 60:00.00.
namespace short_form {
TimeCell SPRACUJ(std::int32_t UDAJ);
}

// SPRACUJ in the long form, hours:minutes:seconds.hundredths, "00:20:34.56".
namespace long_form {
TimeCell SPRACUJ(std::int32_t UDAJ);
}

}  // namespace kit
