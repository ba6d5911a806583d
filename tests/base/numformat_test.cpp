#include "output/numformat.h"

#include <gtest/gtest.h>

#include <limits>

namespace plotvue {
namespace {

TEST(FormatShort, DefaultDecimals) {
  struct Case {
    long double x;
    const char* text;
  } cases[] = {
      {12.5L, "12.5"},  {12.0L, "12"},   {0.24L, "0.24"},     {0.5L, "0.5"},
      {1234.6L, "1235"}, {0.00001L, "0"}, {-0.000001L, "0"},  {999.96L, "1000.0"},
      {0.1234L, "0.123"}, {-12.5L, "-12.5"}, {1.0L, "1"},     {100.0L, "100"},
      {0.001L, "0.001"}, {3.14159L, "3.142"}, {196.0L, "196"}, {131.5L, "131.5"},
      {0.0L, "0"},       {1e6L, "1000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatShort(c.x), c.text) << static_cast<double>(c.x);
}

TEST(FormatShort, DecimalsSettingAndNonFiniteValues) {
  EXPECT_EQ(FormatShort(12.5L, 5), "12.500");
  EXPECT_EQ(FormatShort(12.5L, 1), "12");  // ties to even
  EXPECT_EQ(FormatShort(0.24L, 9), "0.24000000");
  EXPECT_EQ(FormatShort(std::numeric_limits<long double>::infinity()), "0");
  EXPECT_EQ(FormatShort(std::numeric_limits<long double>::quiet_NaN()), "0");
}

TEST(FormatFixed, DecimalsAndShift) {
  EXPECT_EQ(FormatFixed(0.0L, 3), "0.000");
  EXPECT_EQ(FormatFixed(1.0L, 3, 5), "1.00000");
  EXPECT_EQ(FormatFixed(-0.3L, 3), "-0.300");
  EXPECT_EQ(FormatFixed(100.0L, 3), "100.000");
  EXPECT_EQ(FormatFixed(-1e-9L, 3), "0.000");
  EXPECT_EQ(FormatFixed(1.0L, 7, 1), "1.00000");
  EXPECT_EQ(FormatFixed(2.5L, 0), "2");
}

TEST(RoundEven, TiesToEvenAndSaturation) {
  EXPECT_EQ(RoundEven(2.5L), 2);
  EXPECT_EQ(RoundEven(3.5L), 4);
  EXPECT_EQ(RoundEven(-2.5L), -2);
  EXPECT_EQ(RoundEven(1e4000L), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(RoundEven(-1e4000L), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(RoundEven(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundText(400.0L), "400");
}

}  // namespace
}  // namespace plotvue
