// The stopwatch and the time cell.
#include "kit/stopwatch.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "kit/instruments.hpp"
#include "support/test_support.hpp"

namespace {

std::string short_cell(std::int32_t hundredths) { return std::string(kit::short_form::SPRACUJ(hundredths).text()); }
std::string long_cell(std::int32_t hundredths) { return std::string(kit::long_form::SPRACUJ(hundredths).text()); }

struct CellExample {
  std::int32_t hundredths;
  const char* short_form;
  const char* long_form;
};

TEST(Spracuj, FormatsTheWorkedExamples) {
  const std::vector<CellExample> examples{
      {0, "00:00.00", "00:00:00.00"},           {7, "00:00.07", "00:00:00.07"},
      {59, "00:00.59", "00:00:00.59"},          {99, "00:00.99", "00:00:00.99"},
      {100, "00:01.00", "00:00:01.00"},         {5999, "00:59.99", "00:00:59.99"},
      {6000, "01:00.00", "00:01:00.00"},        {123456, "20:34.56", "00:20:34.56"},
      {359999, "59:59.99", "00:59:59.99"},      {3600000, "600:00.00", "10:00:00.00"},
      {36000000, "6000:00.00", "100:00:00.00"},
  };
  for (const auto& example : examples) {
    EXPECT_EQ(short_cell(example.hundredths), example.short_form) << example.hundredths;
    EXPECT_EQ(long_cell(example.hundredths), example.long_form) << example.hundredths;
  }
}

TEST(Spracuj, ShortFormKeepsWholeHoursInTheMinutes) {
  EXPECT_EQ(short_cell(360000), "60:00.00");
  EXPECT_EQ(long_cell(360000), "01:00:00.00");
  EXPECT_EQ(short_cell(400000), "66:40.00");
  EXPECT_EQ(long_cell(400000), "01:06:40.00");
  EXPECT_EQ(short_cell(8639999), "1439:59.99");
  EXPECT_EQ(long_cell(8639999), "23:59:59.99");
}

TEST(Spracuj, GivesEveryFieldOfANegativeTimeItsOwnSign) {
  EXPECT_EQ(short_cell(-7), "00:00.-7");
  EXPECT_EQ(long_cell(-7), "00:00:00.-7");
  EXPECT_EQ(short_cell(-150), "00:-1.-50");
  EXPECT_EQ(long_cell(-150), "00:00:-1.-50");
  EXPECT_EQ(short_cell(-6000), "-1:00.00");
  EXPECT_EQ(long_cell(-6000), "00:-1:00.00");
  // Below one hour first, as a negative time always was.
  EXPECT_EQ(short_cell(-8638000), "-59:-40.00");
  EXPECT_EQ(long_cell(-8638000), "-23:-59:-40.00");
}

TEST(Spracuj, FormatsEveryThirtyTwoBitArgumentInFull) {
  EXPECT_EQ(short_cell(INT_MAX), "357913:56.47");
  EXPECT_EQ(long_cell(INT_MAX), "5965:13:56.47");
  EXPECT_EQ(short_cell(INT_MIN), "-13:-56.-48");
  EXPECT_EQ(long_cell(INT_MIN), "-5965:-13:-56.-48");
}

TEST(TimeStamp, CountsHundredthsSinceMidnight) {
  EXPECT_EQ(kit::time_stamp({0, 0, 0, 0}), 0);
  EXPECT_EQ(kit::time_stamp({23, 59, 59, 99}), 8639999);
  EXPECT_EQ(kit::time_stamp({1, 2, 3, 4}), 360000 + 12000 + 300 + 4);
}

TEST(ElapsedTime, AddsTheDayBackWhenABatchRunsPastMidnight) {
  EXPECT_EQ(kit::elapsed_hundredths(100, 350), 250);
  EXPECT_EQ(kit::elapsed_hundredths(500, 500), 0);
  // 23:59:50.00 to 00:00:10.00 is twenty seconds, not minus a day.
  EXPECT_EQ(kit::elapsed_hundredths(kit::time_stamp({23, 59, 50, 0}), kit::time_stamp({0, 0, 10, 0})), 2000);
}

kit::os::ClockReading at(std::int64_t seconds, std::int64_t nanoseconds) {
  return {.seconds = seconds, .nanoseconds = nanoseconds};
}

TEST(LocalTimeOfDay, TruncatesMillisecondsToHundredths) {
  test_support::use_utc();
  const std::int64_t noon_and_a_bit = 12 * 3600 + 34 * 60 + 56;
  const auto late = kit::local_time_of_day(at(noon_and_a_bit, 999'999'999));
  EXPECT_EQ(late.H, 12);
  EXPECT_EQ(late.M, 34);
  EXPECT_EQ(late.S, 56);
  EXPECT_EQ(late.CS, 99);
  EXPECT_EQ(kit::local_time_of_day(at(noon_and_a_bit, 9'999'999)).CS, 0);
  EXPECT_EQ(kit::local_time_of_day(at(noon_and_a_bit, 10'000'000)).CS, 1);
}

// Records the order of clock readings and batch work.
std::vector<std::string> events;
kit::os::ClockReading recording_clock() {
  events.emplace_back("clock");
  return at(static_cast<std::int64_t>(events.size()), 0);
}

TEST(Stopwatch, ReadsTheClockImmediatelyBeforeAndAfterTheBatch) {
  test_support::use_utc();
  events.clear();
  kit::Stopwatch stopwatch(recording_clock);
  const std::int32_t elapsed = stopwatch.time([] { events.emplace_back("batch"); });
  EXPECT_EQ(events, (std::vector<std::string>{"clock", "batch", "clock"}));
  EXPECT_EQ(elapsed, 200);  // the readings are one and three seconds after midnight
  EXPECT_EQ(stopwatch.START, 100);
  EXPECT_EQ(stopwatch.FINISH, 300);
  EXPECT_EQ(stopwatch.elapsed_nanoseconds(), 0) << "no precise clock, no precise time";
}

// A precise clock that logs its readings: 0.9999999 s, then 2.0000004 s.
kit::os::ClockReading recording_precise_clock() {
  events.emplace_back("precise");
  return events.size() == 2 ? at(0, 999'999'900) : at(2, 400);
}

TEST(Stopwatch, ReadsThePreciseClockInsideTheWallClockAroundNothingButTheBatch) {
  test_support::use_utc();
  events.clear();
  kit::Stopwatch stopwatch(recording_clock, recording_precise_clock);
  const std::int32_t elapsed = stopwatch.time([] { events.emplace_back("batch"); });
  EXPECT_EQ(events, (std::vector<std::string>{"clock", "precise", "batch", "precise", "clock"}));
  EXPECT_EQ(elapsed, 400);
  EXPECT_EQ(stopwatch.elapsed_nanoseconds(), 1'000'000'500);
}

// Evidence that logs its readings: CPU time and switches counted, nothing else.
kit::os::EvidenceKinds recording_open_evidence() {
  events.emplace_back("open");
  return 0;
}
kit::os::EvidenceReading recording_evidence() {
  using kit::os::Evidence;
  events.emplace_back("evidence");
  const bool first = events.size() == 2;  // "open", then this
  kit::os::EvidenceReading reading{
      {}, kit::os::evidence_bit(Evidence::kCpuNanoseconds) | kit::os::evidence_bit(Evidence::kInvoluntarySwitches)};
  reading.counts[0] = first ? 1000 : 1800;
  reading.counts[1] = first ? 2 : 3;
  reading.counts[3] = first ? 5 : 9;  // uncounted: never a difference
  return reading;
}

TEST(Stopwatch, ReadsThePreciseClockAndTheEvidenceOnlyForARunThatKeepsARecord) {
  using kit::os::Evidence;
  events.clear();
  kit::Instruments instruments{.read_clock = recording_clock,
                               .read_precise_clock = recording_precise_clock,
                               .open_evidence = recording_open_evidence,
                               .read_evidence = recording_evidence};
  kit::Stopwatch plain = kit::stopwatch_for(instruments);
  plain.time([] { events.emplace_back("batch"); });
  EXPECT_EQ(events, (std::vector<std::string>{"clock", "batch", "clock"}));
  EXPECT_EQ(plain.evidence().counted, 0u);

  events.clear();
  instruments.record.file = "record.csv";
  kit::Stopwatch recorded = kit::stopwatch_for(instruments);
  recorded.time([] { events.emplace_back("batch"); });
  EXPECT_EQ(events,
            (std::vector<std::string>{"open", "evidence", "clock", "precise", "batch", "precise", "clock", "evidence"}))
      << "the counters open before the first window, and are read outside its clock readings";
  EXPECT_EQ(recorded.evidence()[Evidence::kCpuNanoseconds], 800);
  EXPECT_EQ(recorded.evidence()[Evidence::kInvoluntarySwitches], 1);
  EXPECT_FALSE(recorded.evidence().has(Evidence::kCycles));
  EXPECT_EQ(recorded.evidence()[Evidence::kCycles], 0);
}

}  // namespace
