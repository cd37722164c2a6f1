// The seed of a run: SORTBENCH_SEED's text, its refusal, and the tick count
// it replaces.
#include "kit/seed_choice.hpp"

#include <gtest/gtest.h>

#include <string>

#include "kit/run_environment.hpp"
#include "support/test_support.hpp"

namespace {

TEST(SeedText, IsADecimalNumberFromZeroToTheLargest32BitValue) {
  EXPECT_EQ(kit::parse_seed("0"), 0u);
  EXPECT_EQ(kit::parse_seed("42"), 42u);
  EXPECT_EQ(kit::parse_seed("4294967295"), 4294967295u);
  EXPECT_EQ(kit::parse_seed("0004294967295"), 4294967295u) << "leading zeros add no digit to the value";
}

TEST(SeedText, RefusesEverythingElse) {
  for (const char* text : {"", "-1", "+1", " 1", "1 ", "1\n", "12a", "0x10", "1e3", "4294967296", "10000000000",
                           "99999999999999999999999999"}) {
    EXPECT_EQ(kit::parse_seed(text), std::nullopt) << '"' << text << '"';
  }
}

bool tick_count_was_read = false;
std::uint32_t tick_count_of_seven() {
  tick_count_was_read = true;
  return 7;
}

TEST(SeedForRun, TakesTheChosenSeedWithoutReadingTheTickCount) {
  tick_count_was_read = false;
  kit::Instruments instruments{.read_seed = tick_count_of_seven};
  const kit::SeedChoice tick = kit::seed_for_run(instruments);
  EXPECT_EQ(tick.value, 7u);
  EXPECT_EQ(kit::seed_source_name(tick.source), "tick_count");
  EXPECT_TRUE(tick_count_was_read);

  tick_count_was_read = false;
  instruments.chosen_seed = 0;
  const kit::SeedChoice chosen = kit::seed_for_run(instruments);
  EXPECT_EQ(chosen.value, 0u);
  EXPECT_EQ(kit::seed_source_name(chosen.source), "SORTBENCH_SEED");
  EXPECT_FALSE(tick_count_was_read);
}

// Sets the two variables for one test and removes them afterwards.
class Environment : public ::testing::Test {
 protected:
  void TearDown() override {
    test_support::unset_environment("SORTBENCH_SEED");
    test_support::unset_environment("SORTBENCH_RECORD");
  }
};

TEST_F(Environment, WithoutTheVariablesTheRunIsThePlainOne) {
  test_support::unset_environment("SORTBENCH_SEED");
  test_support::unset_environment("SORTBENCH_RECORD");
  const kit::Instruments instruments = kit::instruments_from_environment("smallsix");
  EXPECT_EQ(instruments.chosen_seed, std::nullopt);
  EXPECT_EQ(instruments.record.file, nullptr);
  EXPECT_EQ(instruments.read_seed, kit::os::tick_count);
  EXPECT_EQ(instruments.read_clock, kit::os::read_wall_clock);
}

TEST_F(Environment, ChoosesTheSeedAndNamesTheRecordFileAndProgram) {
  test_support::set_environment("SORTBENCH_SEED", "4294967295");
  test_support::set_environment("SORTBENCH_RECORD", "run/record.csv");
  const kit::Instruments instruments = kit::instruments_from_environment("tallygrid");
  EXPECT_EQ(instruments.chosen_seed, 4294967295u);
  EXPECT_STREQ(instruments.record.file, "run/record.csv");
  EXPECT_STREQ(instruments.record.program, "tallygrid");
  EXPECT_EQ(instruments.read_precise_clock, kit::os::read_precise_clock);
}

TEST_F(Environment, AnEmptyRecordVariableNamesNoFile) {
  test_support::set_environment("SORTBENCH_RECORD", "");
  EXPECT_EQ(kit::instruments_from_environment("smallsix").record.file, nullptr);
}

TEST_F(Environment, AMalformedSeedEndsTheProgramWithStatusOneAndSaysWhy) {
  for (const char* text : {"abc", "", "-5", "4294967296", "12 "}) {
#ifdef _WIN32
    // Setting an empty value removes the variable there; the programs' own
    // tests hand them an empty one at start (ProgramStoppingEarly).
    if (*text == '\0') continue;
#endif
    test_support::set_environment("SORTBENCH_SEED", text);
    // GoogleTest reads a death test's standard error back as text, on
    // Windows with CR LF as LF; the programs' tests check the bytes.
#ifdef _WIN32
    const char* const line_end = "\n";
#else
    const char* const line_end = "\r\n";
#endif
    const std::string message = std::string("cutoffwide: SORTBENCH_SEED must be a decimal number from 0 to ") +
                                "4294967295, not \"" + text + "\"" + line_end;
    EXPECT_EXIT(kit::instruments_from_environment("cutoffwide"), ::testing::ExitedWithCode(1), message) << text;
  }
}

}  // namespace
