// "vstup.in": the line map MAKEFILE writes, the token rules of the reader and
// the range checks that keep a tampered file from indexing past the arrays.
#include "quickvscount/input_file.hpp"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "kit/random_source.hpp"
#include "kit/work_counts.hpp"
#include "line_map_check.hpp"
#include "quickvscount/duel_work.hpp"
#include "support/run_program.hpp"
#include "support/test_support.hpp"

namespace {

using quickvscount::InputFile;
using quickvscount::InputTable;
using Values = std::vector<std::int32_t>;
using namespace std::string_literals;

constexpr std::uint32_t kSeed = 4242;

void write_text(const char* name, const std::string& content) { std::ofstream(name, std::ios::binary) << content; }

// Every integer the reader yields for `content`, up to and including the
// first 0 after the file's end, read through a buffer of `capacity` bytes.
Values read_all(const std::string& content, std::size_t capacity, std::size_t reads) {
  write_text("tokens.in", content);
  InputFile file(capacity);
  file.open("tokens.in");
  Values values;
  for (std::size_t i = 0; i < reads; ++i) values.push_back(file.read_integer());
  file.close();
  return values;
}

// Runs `body` in a child and expects it to stop with runtime error `number`.
void expect_runtime_error(int number, const std::function<void()>& body, const std::string& what) {
  const auto result = test_support::run_in_child(body);
  EXPECT_EQ(result.exit_status, number) << what << "\noutput: " << result.output;
  EXPECT_TRUE(result.output.starts_with("Runtime error " + std::to_string(number) + " at $"))
      << what << "\noutput: " << result.output;
}

class InputFileTest : public ::testing::Test {
 protected:
  test_support::ScratchDirectory scratch;
};

// ---- MAKEFILE ----------------------------------------------------------

// Counts on both sides of the 1000-value line: a multiple of 1000 ends with
// an empty line, anything else with its partial value line.
constexpr std::array<std::int32_t, 6> kCounts{2000, 1000, 10, 1001, 1, 999};
constexpr std::array<std::int32_t, 6> kRanges{2, 1000, 7, 1, 100000, 10};
constexpr InputTable kSmallTable{kCounts, kRanges};

TEST_F(InputFileTest, MakefileWritesTheLineMapWithValuesInRange) {
  quickvscount::MAKEFILE(kSmallTable, kSeed);
  const auto check = quickvscount_tests::check_line_map(test_support::read_file("vstup.in"), kCounts, kRanges);
  ASSERT_EQ(check.problem, "");
  // 4 + 3 + 2 + 3 + 2 + 2: count line, value lines, empty line after 2000 and 1000 only.
  EXPECT_EQ(check.lines, 16u);
  EXPECT_EQ(check.largest[0], 2) << "the upper end of the range is drawn";
  EXPECT_EQ(check.largest[5], 10) << "the upper end of the range is drawn";
}

TEST_F(InputFileTest, ReadingBackYieldsTheCountsAndOneDrawPerValueInFileOrder) {
  quickvscount::MAKEFILE(kSmallTable, kSeed);
  kit::RandomSource draws(kSeed);
  InputFile SUBOR;
  SUBOR.open("vstup.in");
  Values TESTQS(2000 + 1, -1);
  for (std::size_t I = 0; I < kCounts.size(); ++I) {
    const std::int32_t N = quickvscount::read_input(SUBOR, TESTQS.data(), 2000, kRanges[I]);
    ASSERT_EQ(N, kCounts[I]);
    for (std::int32_t J = 1; J <= N; ++J) {
      ASSERT_EQ(TESTQS[static_cast<std::size_t>(J)], draws.below(kRanges[I]) + 1) << "input " << I + 1;
    }
  }
  EXPECT_EQ(TESTQS[0], -1) << "index 0 is never written";
  EXPECT_EQ(SUBOR.read_integer(), 0) << "the file ends after the last input";
  SUBOR.close();
}

// The replay of tallyduel's data draws what MAKEFILE wrote and the run
// reads back: its counts are those of the values read from "vstup.in".
TEST_F(InputFileTest, ReplayCountsTheValuesReadBackFromTheFile) {
  quickvscount::MAKEFILE(kSmallTable, kSeed);
  const quickvscount::FileDuelProgram program{.name = "tallyduel", .last_slot = 2000, .inputs = kSmallTable};
  const std::vector<kit::CellWork> replayed = quickvscount::replay_file_duel_work(program, kSeed, 0);
  ASSERT_EQ(replayed.size(), 2 * kCounts.size());
  InputFile SUBOR;
  SUBOR.open("vstup.in");
  Values TESTQS(2000 + 1);
  for (std::size_t I = 0; I < kCounts.size(); ++I) {
    const std::int32_t N = quickvscount::read_input(SUBOR, TESTQS.data(), 2000, kRanges[I]);
    const std::span<const kit::Element> read_back(TESTQS.data() + 1, static_cast<std::size_t>(N));
    EXPECT_EQ(replayed[2 * I].total, kit::count_work("QSORT", read_back)) << "input " << I + 1;
    EXPECT_EQ(replayed[2 * I + 1].total, kit::count_work("CSORT", read_back, {.value_range = kRanges[I]}))
        << "input " << I + 1;
    EXPECT_EQ(replayed[2 * I].row, I);
    EXPECT_EQ(replayed[2 * I].column, I);
  }
  SUBOR.close();
}

TEST_F(InputFileTest, MakefileWritesExactBytesAndTruncatesAnEarlierFile) {
  write_text("vstup.in", std::string(100000, 'x'));
  const std::array<std::int32_t, 2> counts{3, 1000};
  const std::array<std::int32_t, 2> ranges{1, 1};
  quickvscount::MAKEFILE({counts, ranges}, kSeed);
  std::string expected = "3\r\n1 1 1 \r\n1000\r\n";
  for (int i = 0; i < 1000; ++i) expected += "1 ";
  expected += "\r\n\r\n";
  EXPECT_EQ(test_support::read_file("vstup.in"), expected);
}

// ---- token rules -------------------------------------------------------

TEST_F(InputFileTest, AnyCodeUpTo32SeparatesTokens) {
  // Line ends carry no meaning: tabs, CR, LF, NUL and other control codes all separate.
  const std::string content = "1\t2\r3\n4\x01 5\x1f\x1f 6\x07\x1b 7 \r\n\r\n8\x0c\x0b\0\x08 9"s;
  EXPECT_EQ(read_all(content, InputFile::kDefaultCapacity, 11), (Values{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0}));
}

TEST_F(InputFileTest, Code26WhereATokenWouldBeginEndsTheFile) {
  EXPECT_EQ(read_all("7 \x1a 8 9", InputFile::kDefaultCapacity, 4), (Values{7, 0, 0, 0}));
  EXPECT_EQ(read_all("7\x1a"
                     "8",
                     InputFile::kDefaultCapacity, 3),
            (Values{7, 0, 0}))
      << "a token also ends at the code 26 that follows it";
  EXPECT_EQ(read_all("\x1a", InputFile::kDefaultCapacity, 2), (Values{0, 0}));
  EXPECT_EQ(read_all("", InputFile::kDefaultCapacity, 2), (Values{0, 0}));
}

TEST_F(InputFileTest, SignsLeadingZerosAndTheLimitsOf32Bits) {
  EXPECT_EQ(read_all("+5 -0 +0 007 -0012 2147483647 -2147483648 +000000000000000000000000000000042",
                     InputFile::kDefaultCapacity, 9),
            (Values{5, 0, 0, 7, -12, 2147483647, -2147483647 - 1, 42, 0}));
}

TEST_F(InputFileTest, TokensSplitByTheBufferReadTheSameAtEveryCapacity) {
  // Tokens of every length, long runs of zeros and separators land on
  // every buffer boundary for some capacity.
  std::string content;
  Values expected;
  for (std::int32_t i = 0; i < 400; ++i) {
    const std::int32_t value = (i % 3 == 0 ? -1 : 1) * (i * 7919 % 2147483);
    content += std::string(static_cast<std::size_t>(i % 5), i % 2 ? ' ' : '\n');
    if (i % 7 == 0 && i % 2 == 1 && value >= 0) content += "+";
    if (i % 11 == 0 && value >= 0) content += std::string(static_cast<std::size_t>(i), '0');
    content += std::to_string(value) + "\r\n";
    expected.push_back(value);
  }
  content += std::string(300, '0') + "2147483647 -" + std::string(100, '0') + " +" + std::string(90, '0') + "1";
  expected.insert(expected.end(), {2147483647, 0, 1, 0});
  for (std::size_t capacity : {std::size_t{32}, std::size_t{33}, std::size_t{37}, std::size_t{64}, std::size_t{1000},
                               InputFile::kDefaultCapacity}) {
    EXPECT_EQ(read_all(content, capacity, expected.size()), expected) << "capacity " << capacity;
  }
}

TEST_F(InputFileTest, MalformedOrOversizedTokensStopWithError106) {
  const std::vector<std::string> bad = {"2147483648", "-2147483649", "99999999999", "12a", "a12", "+",
                                        "-",          "+-5",         "--5",         "-+5", "5-",  "1.0",
                                        "0x10",       "\x80",        "1\x7f",       "$10"};
  for (const auto& token : bad) {
    for (std::size_t capacity : {std::size_t{32}, InputFile::kDefaultCapacity}) {
      // Padded so that at the small capacity the token straddles a refill.
      const std::string content = std::string(29, ' ') + "1 " + token + " 3";
      expect_runtime_error(
          106, [&] { read_all(content, capacity, 3); }, "token \"" + token + "\"");
    }
  }
  expect_runtime_error(
      106, [] { read_all(std::string(40, '0') + "10000000000", 32, 1); }, "overflow after long zeros");
  expect_runtime_error(
      106, [] { read_all(std::string(60, '0') + "x", 32, 1); }, "garbage after long zeros");
}

TEST_F(InputFileTest, FailuresOfTheFileItself) {
  expect_runtime_error(
      2, [] { InputFile().open("missing.in"); }, "open of a missing file");
  expect_runtime_error(
      103,
      [] {
        write_text("once.in", "1 2");
        InputFile file;
        file.open("once.in");
        file.close();
        file.read_integer();
      },
      "read after close");
}

// ---- read_input --------------------------------------------------------

TEST_F(InputFileTest, ReadInputFillsOnePositionPerValueAndNothingElse) {
  write_text("vstup.in", "3\r\n5 1 5 \r\n\r\n1\r\n2 \r\n");
  InputFile SUBOR;
  SUBOR.open("vstup.in");
  Values TESTQS(6, -1);
  EXPECT_EQ(quickvscount::read_input(SUBOR, TESTQS.data(), 4, 5), 3);
  EXPECT_EQ(TESTQS, (Values{-1, 5, 1, 5, -1, -1}));
  EXPECT_EQ(quickvscount::read_input(SUBOR, TESTQS.data(), 4, 2), 1);
  EXPECT_EQ(TESTQS, (Values{-1, 2, 1, 5, -1, -1}));
}

TEST_F(InputFileTest, CountsAndValuesOutsideTheirRangesStopWithError106) {
  // last_slot 4, range 5: only counts 1..4 and values 1..5 are accepted.
  const std::vector<std::pair<std::string, std::string>> tampered = {
      {"0 ", "a count of 0"},
      {"-3 1 1 1", "a negative count"},
      {"5 1 1 1 1 1", "a count above the last slot"},
      {"2147483647 1", "a huge count"},
      {"2 1 6", "a value above the range"},
      {"2 1 0", "a value of 0"},
      {"2 -1 1", "a negative value"},
      {"3 1 2", "a value missing at the end of the file"},
      {"", "an empty file"},
  };
  for (const auto& entry : tampered) {
    const std::string& content = entry.first;
    expect_runtime_error(
        106,
        [&] {
          write_text("vstup.in", content);
          InputFile SUBOR;
          SUBOR.open("vstup.in");
          Values TESTQS(5, 0);
          quickvscount::read_input(SUBOR, TESTQS.data(), 4, 5);
        },
        entry.second);
  }
  write_text("vstup.in", "4 5 1 5 1");
  InputFile SUBOR;
  SUBOR.open("vstup.in");
  Values TESTQS(5, 0);
  EXPECT_EQ(quickvscount::read_input(SUBOR, TESTQS.data(), 4, 5), 4) << "both limits themselves are accepted";
}

}  // namespace
