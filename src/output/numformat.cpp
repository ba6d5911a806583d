#include "output/numformat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace plotvue {
namespace {

// Fixed notation with d decimals; a value below 1e-8 in size is written as 0 (no "-0.000").
std::string Fixed(long double x, int d) {
  if (std::fabs(x) < 1e-8L) x = 0.0L;
  // The longest long double in fixed notation has 4933 integer digits.
  char buf[5000];
  int len = std::snprintf(buf, sizeof buf, "%.*Lf", d, x);
  if (len < 0) return "0";
  return std::string(buf, static_cast<std::size_t>(std::min<int>(len, sizeof buf - 1)));
}

int ShiftDecimals(int d, int decimalPlaces) {
  if (decimalPlaces != 3) d = std::clamp(d + std::clamp(decimalPlaces, -20, 20) - 3, 0, 10);
  return d;
}

}  // namespace

std::string FormatShort(long double x, int decimalPlaces) {
  if (!std::isfinite(x)) return "0";
  long double b = std::fabs(x);
  if (b <= 1e-5L) return "0";  // 0.00001 itself shows as 0
  int c = static_cast<int>(std::floor(std::log10(b)));
  int d;
  if (c >= 3) {
    d = 0;
  } else {
    // Choose the decimals from the digits of b, rounded to four (three below 1) significant
    // digits, then drop trailing zeros.
    int a;
    if (c < 0) {
      a = 3 - c;
      d = a - 1;
    } else {
      d = 3 - c;
      a = d + 1;
    }
    long double scale = 1.0L;
    for (int k = 0; k < a; ++k) scale *= 10.0L;
    std::uint64_t e = static_cast<std::uint64_t>(std::nearbyint(b * scale));
    do {
      e /= 10;
      if (e % 10 == 0) --d;
    } while (e % 10 == 0 && e != 0);
    d = std::max(d, 0);
  }
  return Fixed(x, ShiftDecimals(d, decimalPlaces));
}

std::string FormatFixed(long double x, int decimals, int decimalPlaces) {
  if (!std::isfinite(x)) x = 0.0L;
  return Fixed(x, ShiftDecimals(decimals, decimalPlaces));
}

std::int64_t RoundEven(long double x) {
  if (std::isnan(x)) return 0;
  long double r = std::nearbyint(x);
  constexpr long double kMax = 9223372036854775807.0L;
  if (r >= kMax) return std::numeric_limits<std::int64_t>::max();
  if (r <= -kMax) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(r);
}

std::string RoundText(long double x) { return std::to_string(RoundEven(x)); }

}  // namespace plotvue
