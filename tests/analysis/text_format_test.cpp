// Factors as text: each form keeps the digits its place calls for.
#include "analysis/text/text_format.hpp"

#include <gtest/gtest.h>

namespace {

using analysis::FactorForm;

TEST(FactorText, EachFormKeepsItsDigits) {
  EXPECT_EQ(analysis::format_factor(1.25), "1.25\xc3\x97");
  EXPECT_EQ(analysis::format_factor(14.2), "14.2\xc3\x97");
  EXPECT_EQ(analysis::format_factor(2500), "2500\xc3\x97");
  EXPECT_EQ(analysis::format_factor(2, FactorForm::tick), "2\xc3\x97");
  EXPECT_EQ(analysis::format_factor(0.5, FactorForm::tick), "0.5\xc3\x97");
  EXPECT_EQ(analysis::format_factor(1.25, FactorForm::tick), "1.25\xc3\x97");
  EXPECT_EQ(analysis::format_factor(1.005, FactorForm::axis), "1.005");
  EXPECT_EQ(analysis::format_factor(0.99, FactorForm::axis), "0.990");
}

}  // namespace
