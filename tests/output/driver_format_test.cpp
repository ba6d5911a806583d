// The drivers' fast number formats give exactly the text of FormatShort and FormatFixed: values of
// every magnitude, plotter-unit and decimal values, decimal ties, values next to powers of ten,
// and every decimals setting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "output/numformat.h"
#include "output/syntaxwriter.h"

namespace plotvue {
namespace {

std::vector<long double> Values() {
  std::vector<long double> v = {0.0L,
                                -0.0L,
                                1e-5L,
                                -1e-5L,
                                1.00001e-5L,
                                0.24L,
                                0.5L,
                                12.5L,
                                12.0L,
                                1234.6L,
                                999.96L,
                                0.1234L,
                                0.0625L,
                                0.125L,
                                0.1875L,
                                -0.0004L,
                                -0.0005L,
                                0.0005L,
                                2.5L,
                                3.5L,
                                1e15L,
                                1e16L,
                                9.99999e17L,
                                1e18L,
                                1e30L,
                                123456789.123456789L,
                                std::numeric_limits<long double>::infinity(),
                                std::numeric_limits<long double>::quiet_NaN()};
  // Powers of ten and their neighbours.
  for (int e = -7; e <= 18; ++e) {
    long double p = std::pow(10.0L, static_cast<long double>(e));
    v.push_back(p);
    v.push_back(std::nextafter(p, 0.0L));
    v.push_back(std::nextafter(p, 1e30L));
    v.push_back(p * (1 + 1e-13L));
    v.push_back(-p * (1 - 1e-13L));
  }
  // Plotter units, hundredths and thousandths, with ties at the last decimal.
  for (int k = -20000; k <= 20000; k += 7) {
    v.push_back(k * 0.025L);
    v.push_back(k / 1000.0L);
    v.push_back(k / 1000.0L + 0.0005L);
    v.push_back(k / 100.0L + 0.005L);
    v.push_back(k * 0.0625L);
  }
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-7, 17);
  for (int k = 0; k < 150000; ++k) {
    long double m = mantissa(random);
    long double x = m * std::pow(10.0L, static_cast<long double>(exponent(random)));
    v.push_back(k % 2 ? -x : x);
  }
  return v;
}

// The integer path of the fixed-point step gives the C library's text for every value it takes.
TEST(DriverFormats, FixedPointTextEqualsTheCLibrarys) {
  const std::vector<long double> values = Values();
  int mismatches = 0;
  for (long double x : values) {
    if (!std::isfinite(x)) continue;  // written as 0 by design
    for (int d = 0; d <= 10; ++d) {
      const std::string expected = FixedByPrintf(std::fabs(x) < 1e-8L ? 0.0L : x, d);
      const std::string got = FormatFixed(x, d);
      if (got != expected && ++mismatches < 10) {
        ADD_FAILURE() << "FormatFixed(" << static_cast<double>(x) << ", " << d << "): " << got
                      << " vs " << expected;
      }
      // The text written in place: the same, and there for every value of the fast range.
      char buf[kNumberRoom];
      const char* end = PutFixed(buf, x, d, 3);
      const bool fast = std::fabs(x) * std::pow(10.0L, static_cast<long double>(d)) < 1e14L;
      if ((end ? std::string(static_cast<const char*>(buf), end) != expected : fast) &&
          ++mismatches < 10) {
        ADD_FAILURE() << "PutFixed(" << static_cast<double>(x) << ", " << d << ")";
      }
      // The same in two steps, as a conversion on two threads makes it (DecimalPlaces 3 + d - 3).
      std::uint64_t units = 0;
      const bool made = FixedUnits(x, 3, d, units);
      char two[kNumberRoom];
      if (made != (end != nullptr) ||
          (made && std::string(two, PutFixedUnits(two, units, 3, d)) != expected)) {
        if (++mismatches < 10) ADD_FAILURE() << "FixedUnits(" << static_cast<double>(x) << ")";
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// The short format as the library's logarithm and rounding define it: the decade of the value,
// its four (three below 1) significant digits without trailing zeros, then the fixed-point step.
std::string ShortByLogarithm(long double x, int decimalPlaces) {
  if (!std::isfinite(x)) return "0";
  const long double b = std::fabs(x);
  if (b <= 1e-5L) return "0";
  const int c = static_cast<int>(std::max(std::floor(std::log10(b)), -100.0L));
  int d = 0;
  if (c < 3) {
    const int a = c < 0 ? 3 - c : 4 - c;
    d = a - 1;
    long double scale = 1.0L;
    for (int k = 0; k < a; ++k) scale *= 10.0L;
    std::uint64_t e = static_cast<std::uint64_t>(std::nearbyint(b * scale));
    do {
      e /= 10;
      if (e % 10 == 0) --d;
    } while (e % 10 == 0 && e != 0);
    d = std::max(d, 0);
  }
  return FormatFixed(x, d, decimalPlaces);
}

// The short format finds the decade without the logarithm away from the powers of ten; the text
// stays the logarithm's for every value, next to the powers of ten too, with every decimals
// setting.
TEST(DriverFormats, ShortTextEqualsTheLogarithmsDecades) {
  std::vector<long double> values = Values();
  for (int e = -6; e <= 4; ++e) {
    const long double p = std::pow(10.0L, static_cast<long double>(e));
    for (long double r : {1e-15L, 1e-12L, 2e-12L, 1e-11L, 1e-9L, 1e-6L}) {
      values.push_back(p * (1 + r));
      values.push_back(-p * (1 - r));
    }
    long double up = p;
    long double down = p;
    for (int k = 0; k < 50; ++k) {
      up = std::nextafter(up, 1e30L);
      down = std::nextafter(down, 0.0L);
      values.push_back(up);
      values.push_back(down);
    }
  }
  int mismatches = 0;
  for (long double x : values) {
    for (int dp : {3, 0, 1, 5, 8}) {
      const std::string expected = ShortByLogarithm(x, dp);
      const std::string got = FormatShort(x, dp);
      if (got != expected && ++mismatches < 10) {
        ADD_FAILURE() << "FormatShort(" << static_cast<double>(x) << ", " << dp << "): " << got
                      << " vs " << expected;
      }
      char buf[kNumberRoom];
      const char* end = PutShort(buf, x, dp);
      if ((end ? std::string(static_cast<const char*>(buf), end) != expected
               : std::fabs(x) < 1e4L) &&
          ++mismatches < 10) {
        ADD_FAILURE() << "PutShort(" << static_cast<double>(x) << ", " << dp << ")";
      }
      // The same in two steps, as a conversion on two threads makes it.
      std::uint64_t units = 0;
      const bool made = ShortUnits(x, dp, units);
      char two[kNumberRoom];
      if (made != (end != nullptr) ||
          (made && std::string(two, PutShortUnits(two, units)) != expected)) {
        if (++mismatches < 10) ADD_FAILURE() << "ShortUnits(" << static_cast<double>(x) << ")";
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// The integer rounding of the plotter and Postscript coordinates rounds as the library does:
// ties to even on both sides of zero, up to and beyond the range of its fast path, and
// saturates like RoundEven outside the 64-bit range.
TEST(DriverFormats, FastRoundingEqualsTheLibrarys) {
  std::vector<long double> values = {0.0L,  -0.0L,  0.5L,    -0.5L,    1.5L,   -1.5L,   2.5L,
                                     -2.5L, 0.49L,  -0.51L,  1e18L,    -1e18L, 4.6e18L, -4.6e18L,
                                     5e18L, -5e18L, 9.3e18L, -9.3e18L, 1e30L,  -1e30L};
  for (long double base : {4.5e18L, 4.599999999e18L, 123456789.0L}) {
    for (long double f : {0.25L, 0.5L, 0.75L, 1.5L}) {
      values.push_back(base + f);
      values.push_back(-base - f);
    }
  }
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int k = 0; k < 20000; ++k) {
    const long double m = unit(random);
    values.push_back(m * 1e6L);
    values.push_back(m * 40000.0L + 0.5L);
    values.push_back(std::nearbyint(m * 1e5L) + 0.5L);
  }
  for (long double v : values) {
    const std::int64_t expected = (v > -9.2e18L && v < 9.2e18L) ? std::llrint(v) : RoundEven(v);
    EXPECT_EQ(RoundFast(v), expected) << static_cast<double>(v);
  }
  EXPECT_EQ(RoundFast(std::numeric_limits<long double>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace plotvue
