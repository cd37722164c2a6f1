// The operating-system layer, in the ways it can go wrong that the drivers'
// tests do not show, alike on every system: error numbers the drivers never
// meet, a tick count on the wrong scale, and evidence that does not follow
// the thread's work. Each system's own clocks,
// error codes and pages are tested in os_layer_<system>_test.cpp.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "kit/os/clocks.hpp"
#include "kit/os/files.hpp"
#include "kit/os/window_evidence.hpp"
#include "support/test_support.hpp"

namespace {

namespace os = kit::os;

// ---- files ------------------------------------------------------------------

TEST(KitOsFiles, OpeningFailuresCarryTheReportsNumbersAndNoFile) {
  test_support::ScratchDirectory scratch;
  const os::Opened missing = os::open_for_reading("missing.in");
  EXPECT_EQ(missing.error, 2);
  EXPECT_EQ(missing.file, os::kNoFile);
  // A plain file where a folder should be is the missing path.
  os::close(os::create_for_writing("plain").file);
  EXPECT_EQ(os::open_for_reading("plain/vstup.in").error, 3);
  EXPECT_EQ(os::create_for_writing(".").error, 5);
}

TEST(KitOsFiles, ReadsBackWhatWasWrittenAndThenNothing) {
  test_support::ScratchDirectory scratch;
  std::string content(300000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);

  const os::Opened out = os::create_for_writing("round.trip");
  ASSERT_EQ(out.error, 0);
  EXPECT_EQ(os::write_all(out.file, content.data(), content.size()), 0);
  EXPECT_EQ(os::close(out.file), 0);

  const os::Opened in = os::open_for_reading("round.trip");
  ASSERT_EQ(in.error, 0);
  std::string back;
  char block[4096];
  for (;;) {
    const os::ReadOutcome got = os::read(in.file, block, sizeof block);
    ASSERT_EQ(got.error, 0);
    if (got.bytes == 0) break;
    back.append(block, got.bytes);
  }
  EXPECT_EQ(back, content);
  EXPECT_EQ(os::read(in.file, block, sizeof block).bytes, 0u) << "the end stays the end";
  EXPECT_EQ(os::close(in.file), 0);
}

TEST(KitOsFiles, EveryOperationOnNoFileFailsAsANotOpenStream) {
  char byte = 0;
  EXPECT_EQ(os::read(os::kNoFile, &byte, 1).error, 9);
  EXPECT_EQ(os::write_all(os::kNoFile, &byte, 1), 9);
  EXPECT_EQ(os::close(os::kNoFile), 9);
  EXPECT_EQ(os::write_all(os::kNoFile, &byte, 0), 0) << "nothing to write is no write";
}

// ---- clocks -------------------------------------------------------------------

// How far the tick count may trail the precise clock. POSIX clocks count
// every millisecond; GetTickCount moves in steps of the system timer
// (15.625 ms unless a program asks for less), and under Wine a step may
// come late, so two readings may each be a step behind.
#ifdef _WIN32
constexpr std::int64_t kTickLag = 32;
#else
constexpr std::int64_t kTickLag = 1;
#endif

// A tick count in other units, or one that stands still or steps back,
// shows against the precise clock over a sleep.
TEST(KitOsClocks, TickCountAdvancesInMillisecondsWithThePreciseClock) {
  const os::ClockReading outer_before = os::read_precise_clock();
  const std::uint32_t ticks_before = os::tick_count();
  const os::ClockReading inner_before = os::read_precise_clock();

  std::uint32_t ticks = ticks_before;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(120);
  while (std::chrono::steady_clock::now() < until) {
    const std::uint32_t now = os::tick_count();
    ASSERT_LE(static_cast<std::uint32_t>(now - ticks), 1000u) << "the tick count went back";
    ticks = now;
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }

  const os::ClockReading inner_after = os::read_precise_clock();
  const std::uint32_t ticks_after = os::tick_count();
  const os::ClockReading outer_after = os::read_precise_clock();
  const auto elapsed = static_cast<std::int64_t>(static_cast<std::uint32_t>(ticks_after - ticks_before));
  // Whole milliseconds of both counts: each may lose up to one to truncation.
  EXPECT_GE(elapsed, os::nanoseconds_between(inner_before, inner_after) / 1000000 - kTickLag);
  EXPECT_LE(elapsed, os::nanoseconds_between(outer_before, outer_after) / 1000000 + kTickLag);
  EXPECT_GE(elapsed, 120 - kTickLag);
}

// ---- window evidence --------------------------------------------------------

// The thread's CPU time is counted everywhere, in nanoseconds: it grows by
// about the work done between two reads, and a kind that is not counted
// reads 0 rather than some stale figure.
TEST(KitOsWindowEvidence, CountsTheThreadsCpuTimeOverItsWorkAndNothingItDoesNotCount) {
  const os::EvidenceKinds counted = os::open_window_evidence();
  EXPECT_EQ(os::open_window_evidence(), counted) << "opening twice changes nothing";
  ASSERT_NE(counted & os::evidence_bit(os::Evidence::kCpuNanoseconds), 0u);

  const os::EvidenceReading before = os::read_window_evidence();
  const auto start = std::chrono::steady_clock::now();
  volatile std::uint64_t spin = 0;
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(100)) spin = spin + 1;
  const os::EvidenceReading after = os::read_window_evidence();
  const os::EvidenceReading window = os::evidence_between(before, after);

  EXPECT_EQ(window.counted, counted);
  // 100 ms of wall time; the CPU time may fall short when other work ran, and
  // Windows counts it in the scheduler's ticks of about 16 ms.
  EXPECT_GT(window[os::Evidence::kCpuNanoseconds], 20'000'000);
  EXPECT_LT(window[os::Evidence::kCpuNanoseconds], 200'000'000);
  for (std::size_t i = 0; i < os::kEvidenceKinds; ++i) {
    const auto kind = static_cast<os::Evidence>(i);
    if (window.has(kind)) {
      EXPECT_GE(window[kind], 0) << os::kEvidenceNames[i];
    } else {
      EXPECT_EQ(after[kind], 0) << os::kEvidenceNames[i];
    }
  }
}

}  // namespace
