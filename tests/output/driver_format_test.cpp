// The drivers' fast number formats give exactly the text of FormatShort and FormatFixed: values of
// every magnitude, plotter-unit and decimal values, decimal ties, values next to powers of ten,
// and every decimals setting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "output/numformat.h"

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
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace plotvue
