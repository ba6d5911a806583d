// The drivers' number formats give, value by value, the results of their plain long double
// computation (numformat_reference.h): the decimals, the units and the text of the short and the
// fixed format, with every decimals setting. The values are those where a computation on the
// bits of the number could go wrong: products that fall next to a half after scaling, exact
// ties, the neighbours of the powers of ten and of two, the limits of the fast path, and the
// values a conversion writes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "output/numformat.h"
#include "output/numformat_reference.h"

namespace plotvue {
namespace {

// The decimals settings checked: 3 (the default) with every value, the others in turn.
constexpr int kOtherDecimalPlaces[] = {-30, -1, 0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 13, 30};

long double Pow10(int k) { return std::pow(10.0L, static_cast<long double>(k)); }

// x and its neighbours up to `ulps` steps on both sides.
void AddAround(std::vector<long double>& v, long double x, int ulps) {
  v.push_back(x);
  long double up = x;
  long double down = x;
  for (int k = 0; k < ulps; ++k) {
    up = std::nextafter(up, std::numeric_limits<long double>::infinity());
    down = std::nextafter(down, -std::numeric_limits<long double>::infinity());
    v.push_back(up);
    v.push_back(down);
  }
}

// A long double from its mantissa and biased exponent with the sign, any encoding.
long double FromBits(std::uint64_t mantissa, std::uint16_t signExponent) {
  long double x = 0.0L;
  std::memcpy(&x, &mantissa, 8);
  std::memcpy(reinterpret_cast<unsigned char*>(&x) + 8, &signExponent, 2);
  return x;
}

// The values next to the places where the formats round or change their number of digits.
// `scale` multiplies the number of random values of each kind.
std::vector<long double> RiskyValues(int scale, std::uint64_t seed) {
  std::vector<long double> v;
  std::mt19937_64 random(seed);
  // Decimal values n / 10^a and the halves (n + 0.5) / 10^a in long double, and their
  // neighbours: after scaling by 10^a the product lies within a few units in its last place
  // of an integer or a half, where the rounding of the product to 64 bits decides.
  std::uniform_real_distribution<double> magnitude(0.0, 9.0);
  for (int a = 0; a <= 10; ++a) {
    for (int k = 0; k < 400 * scale; ++k) {
      const long double n =
          std::floor(std::pow(10.0L, static_cast<long double>(magnitude(random))));
      AddAround(v, (n + 0.5L) / Pow10(a), 2);
      AddAround(v, n / Pow10(a), 1);
    }
  }
  // Exact ties: odd / 2^(d+1) times 10^d is an odd number of halves.
  std::uniform_int_distribution<std::uint64_t> odd(0, (std::uint64_t{1} << 40) - 1);
  std::uniform_int_distribution<int> size(0, 39);
  std::uniform_int_distribution<int> shift(1, 12);
  for (int k = 0; k < 1000 * scale; ++k) {
    const long double n = static_cast<long double>((odd(random) >> size(random)) | 1);
    v.push_back(std::ldexp(n, -shift(random)));
  }
  // The powers of ten, the edges of the band around them where the decade is the logarithm's,
  // and the powers of two.
  for (int k = -10; k <= 17; ++k) {
    AddAround(v, Pow10(k), 40);
    AddAround(v, Pow10(k) * (1.0L + 1e-12L), 8);
    AddAround(v, Pow10(k) * (1.0L - 1e-12L), 8);
  }
  for (int p = -40; p <= 70; ++p) AddAround(v, std::ldexp(1.0L, p), 3);
  // The limits: 1e-8 (zero below), 1e-5 (the short format's "0"), 1e15 units of the fixed
  // format at every number of decimals, and the values that round up to it.
  for (long double x : {1e-8L, 1e-5L}) AddAround(v, x, 8);
  for (int d = 0; d <= 10; ++d) {
    AddAround(v, 1e15L / Pow10(d), 4);
    AddAround(v, (1e15L - 0.5L) / Pow10(d), 4);
  }
  // The values of a conversion: plotter units of 0.025 mm up to 1200 mm at the plot scales.
  for (int k = 0; k <= 48000; ++k) {
    for (long double f : {1.0L, 0.7L, 0.35L, 2.54L}) v.push_back(k * 0.025L * f);
  }
  std::uniform_int_distribution<int> units(0, 48000);
  std::uniform_real_distribution<double> factor(0.1, 3.0);
  for (int k = 0; k < 10000 * (scale - 1); ++k)
    v.push_back(units(random) * 0.025L * factor(random));
  // Random values of every size, with all 64 bits of the mantissa.
  std::uniform_int_distribution<std::uint64_t> bits;
  std::uniform_int_distribution<int> exponent(16383 - 40, 16383 + 60);
  for (int k = 0; k < 50000 * scale; ++k) {
    v.push_back(FromBits(bits(random) | (std::uint64_t{1} << 63),
                         static_cast<std::uint16_t>(exponent(random))));
  }
  // What is not an ordinary number: zeros, infinities, NaNs, denormals, the largest value, and
  // the encodings without the leading mantissa bit that no arithmetic makes.
  for (long double x :
       {0.0L, std::numeric_limits<long double>::infinity(),
        std::numeric_limits<long double>::quiet_NaN(),
        std::numeric_limits<long double>::denorm_min(), std::numeric_limits<long double>::min(),
        std::numeric_limits<long double>::max()}) {
    v.push_back(x);
  }
  for (std::uint16_t e : {0, 1, 16383 - 10, 16383, 16383 + 10, 0x7FFF}) {
    v.push_back(FromBits(0x4000000000000000ull, e));
    v.push_back(FromBits(0x8000000000000001ull, e));
    v.push_back(FromBits(0, e));
  }
  // Half of them negative.
  for (std::size_t k = 0; k < v.size(); k += 2) v[k] = -v[k];
  return v;
}

std::string Hex(long double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%La", x);
  return buf;
}

// The text from `begin` to `end`, or "(none)" for a null end.
std::string Text(const char* begin, const char* end) {
  return end ? std::string(begin, end) : std::string("(none)");
}

// Every format of x next to its plain computation; counts the differences, reporting the first.
// The texts are written into buffers with guard bytes past kNumberRoom, which must stay as
// they are.
class Comparison {
 public:
  Comparison() { std::memset(a_, kGuard, sizeof a_); }

  void Check(long double x, int decimalPlaces, int fixedDecimals) {
    const int decimals = ShortDecimalsOf(x, decimalPlaces);
    Same(decimals, reference::ShortDecimalsOf(x, decimalPlaces), "ShortDecimalsOf", x,
         decimalPlaces);
    std::uint64_t packed = 1;
    std::uint64_t refPacked = 1;
    const bool made = ShortUnits(x, decimalPlaces, packed);
    const bool refMade = reference::ShortUnits(x, decimalPlaces, refPacked);
    Same(made, refMade, "ShortUnits", x, decimalPlaces);
    if (made && refMade) {
      Same(packed, refPacked, "ShortUnits units", x, decimalPlaces);
      Same(Text(a_, PutShortUnits(a_, packed)), Text(b_, reference::PutShortUnits(b_, packed)),
           "PutShortUnits", x, decimalPlaces);
    }
    Same(Text(a_, PutShort(a_, x, decimalPlaces)),
         Text(b_, reference::PutShort(b_, x, decimalPlaces)), "PutShort", x, decimalPlaces);
    // The text with decimals chosen elsewhere, in and out of the range 0..10.
    const int given = fixedDecimals - 1;
    Same(Text(a_, PutShortWithDecimals(a_, x, given)),
         Text(b_, reference::PutShortWithDecimals(b_, x, given)), "PutShortWithDecimals", x, given);

    std::uint64_t units = 1;
    std::uint64_t refUnits = 1;
    const bool fixed = FixedUnits(x, fixedDecimals, decimalPlaces, units);
    const bool refFixed = reference::FixedUnits(x, fixedDecimals, decimalPlaces, refUnits);
    Same(fixed, refFixed, "FixedUnits", x, fixedDecimals);
    if (fixed && refFixed) {
      Same(units, refUnits, "FixedUnits units", x, fixedDecimals);
      Same(Text(a_, PutFixedUnits(a_, units, fixedDecimals, decimalPlaces)),
           Text(b_, reference::PutFixedUnits(b_, units, fixedDecimals, decimalPlaces)),
           "PutFixedUnits", x, fixedDecimals);
    }
    Same(Text(a_, PutFixed(a_, x, fixedDecimals, decimalPlaces)),
         Text(b_, reference::PutFixed(b_, x, fixedDecimals, decimalPlaces)), "PutFixed", x,
         fixedDecimals);
    for (std::size_t k = kNumberRoom; k < sizeof a_; ++k) {
      if (a_[k] != kGuard) {
        Same(k, kNumberRoom, "written past the room", x, decimalPlaces);
        a_[k] = kGuard;
      }
    }
    ++checked_;
  }

  // Each value with the default setting and with one of the others in turn, and with 3 fixed
  // decimals and one of 0..10 in turn.
  void CheckAll(const std::vector<long double>& values) {
    std::size_t turn = 0;
    for (long double x : values) {
      Check(x, 3, 3);
      Check(x, kOtherDecimalPlaces[turn % std::size(kOtherDecimalPlaces)],
            static_cast<int>(turn % 11));
      ++turn;
    }
  }

  long long differences() const { return differences_; }
  long long checked() const { return checked_; }

 private:
  template <typename T>
  void Same(const T& got, const T& expected, const char* what, long double x, int n) {
    if (got == expected) return;
    if (++differences_ <= 10) {
      ADD_FAILURE() << what << "(" << Hex(x) << " = " << static_cast<double>(x) << ", " << n
                    << "): " << got << " instead of " << expected;
    }
  }

  static constexpr char kGuard = '#';
  char a_[kNumberRoom + 16];
  char b_[kNumberRoom];
  long long differences_ = 0;
  long long checked_ = 0;
};

// 1.00995 times 10^4 lies a little below 10099.5, but its product in long double is 10099.5,
// which rounds to the even 10100: the four digits of the short format are 1.010, written with
// two decimals (the exact product would keep three, "1.010").
TEST(DriverFormats, ShortDigitsAreThoseOfTheLongDoubleProduct) {
  const long double x = 1.00995L;
  ASSERT_EQ(x * 1e4L, 10099.5L);
  EXPECT_EQ(ShortDecimalsOf(x, 3), 2);
  EXPECT_EQ(FormatShort(-x), "-1.01");
  char buf[kNumberRoom];
  EXPECT_EQ(Text(buf, PutShort(buf, x, 3)), "1.01");
  std::uint64_t packed = 0;
  ASSERT_TRUE(ShortUnits(x, 3, packed));
  EXPECT_EQ(Text(buf, PutShortUnits(buf, packed)), "1.01");
}

TEST(DriverFormats, NumbersEqualTheirPlainComputation) {
  Comparison comparison;
  comparison.CheckAll(RiskyValues(1, 2718));
  EXPECT_EQ(comparison.differences(), 0);
}

// The same on many more values (PLOTVUE_NUMBER_CHECKS times the random values above, 100 by
// default): a check to run by hand after a change of the formats, with
// --gtest_also_run_disabled_tests.
TEST(DriverFormats, DISABLED_NumbersEqualTheirPlainComputationOnManyValues) {
  const char* env = std::getenv("PLOTVUE_NUMBER_CHECKS");
  const int rounds = env ? std::atoi(env) : 100;
  Comparison comparison;
  for (int round = 0; round < rounds; ++round) {
    comparison.CheckAll(RiskyValues(10, 1000 + static_cast<std::uint64_t>(round)));
  }
  std::printf("%lld checks of a value with a setting\n", comparison.checked());
  EXPECT_EQ(comparison.differences(), 0);
}

}  // namespace
}  // namespace plotvue
