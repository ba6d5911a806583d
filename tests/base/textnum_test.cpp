#include "base/textnum.h"

#include <gtest/gtest.h>

namespace plotvue {
namespace {

TEST(TextToFloat, ValidAndInvalidTexts) {
  struct Case {
    const char* text;
    long double value;
  } cases[] = {
      {"1e2", 100.0L},   {"--1", 0.0L},      {"1x", 0.0L},       {".5", 0.5L},
      {"-0.5", -0.5L},   {"12,5", 12.5L},    {"1,5,5", 0.0L},    {"  7", 7.0L},
      {"7 ", 0.0L},      {"+3", 3.0L},       {"", 0.0L},         {".", 0.0L},
      {"1.", 1.0L},      {"1.5e-1", 0.15L},  {"1E+3", 1000.0L},  {"1e", 0.0L},
      {"inf", 0.0L},     {"nan", 0.0L},      {"0x10", 0.0L},     {"1e5000", 0.0L},
      {"-1e4000", -1e4000L}, {"0.1", 0.1L},  {"123456789.123", 123456789.123L},
  };
  for (const Case& c : cases) EXPECT_EQ(TextToFloat(c.text), c.value) << c.text;
  // The fast path and the general path agree to the last bit.
  EXPECT_EQ(TextToFloat("0.30000000000000000001"), 0.30000000000000000001L);
  EXPECT_EQ(TextToFloat("12345678901234567890"), 12345678901234567890.0L);
}

TEST(TextToInt, ValidAndInvalidTexts) {
  EXPECT_EQ(TextToInt("300"), 300);
  EXPECT_EQ(TextToInt(" -12"), -12);
  EXPECT_EQ(TextToInt("+5"), 5);
  EXPECT_EQ(TextToInt("5 "), 0);
  EXPECT_EQ(TextToInt("1.0"), 0);
  EXPECT_EQ(TextToInt(""), 0);
  EXPECT_EQ(TextToInt("-"), 0);
  EXPECT_EQ(TextToInt("2147483647"), 2147483647);
  EXPECT_EQ(TextToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(TextToInt("2147483648"), 0);
  EXPECT_EQ(TextToInt("99999999999999999999"), 0);
}

}  // namespace
}  // namespace plotvue
