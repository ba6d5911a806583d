#include "output/fastformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "output/numformat.h"

namespace plotvue {
namespace {

// The fast path takes values below 1e15 / 10^d.
constexpr long double kFixedLimit[] = {1e15L, 1e14L, 1e13L, 1e12L, 1e11L, 1e10L,
                                       1e9L,  1e8L,  1e7L,  1e6L,  1e5L};
constexpr std::uint64_t kIntPow10[] = {1ull,         10ull,         100ull,        1000ull,
                                       10000ull,     100000ull,     1000000ull,    10000000ull,
                                       100000000ull, 1000000000ull, 10000000000ull};
// Powers of ten 1e-5 .. 1e17, the decades of FormatShort's digit choice.
constexpr int kFirstDecade = -5;
constexpr long double kDecades[] = {1e-5L, 1e-4L, 1e-3L, 1e-2L, 1e-1L, 1e0L,  1e1L, 1e2L,
                                    1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L, 1e10L,
                                    1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L};

int ShiftDecimals(int d, int decimalPlaces) {
  if (decimalPlaces != 3) d = std::clamp(d + std::clamp(decimalPlaces, -20, 20) - 3, 0, 10);
  return d;
}

// The fixed-point text of x with d decimals (0..10) as printf("%.*Lf") writes it after the
// formats' rule that |x| < 1e-8 is 0: the exact binary value times 10^d, rounded to nearest with
// ties to even, in 128-bit integer arithmetic. False beyond 1e15 (the slow path decides).
bool FastFixed(long double x, int d, std::string& out) {
  static_assert(std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10,
                "the x87 80-bit extended format");
  if (std::fabs(x) < 1e-8L) x = 0.0L;
  const long double ax = std::fabs(x);
  if (!(ax < kFixedLimit[d])) return false;
  std::uint64_t q = 0;
  if (ax != 0.0L) {
    // 64-bit mantissa with its explicit leading bit, and the biased exponent.
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &ax, sizeof ax);
    std::uint64_t mantissa;
    std::uint16_t exponent;
    std::memcpy(&mantissa, bytes, 8);
    std::memcpy(&exponent, bytes + 8, 2);
    exponent &= 0x7FFF;
    // ax = mantissa * 2^-shift; 1e-8 <= ax < 1e15 keeps shift within 1..127.
    const int shift = 16383 + 63 - static_cast<int>(exponent);
    if (shift < 1 || shift > 127) return false;
    const unsigned __int128 n = static_cast<unsigned __int128>(mantissa) * kIntPow10[d];
    const unsigned __int128 whole = n >> shift;
    const unsigned __int128 rest = n - (whole << shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
    q = static_cast<std::uint64_t>(whole);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  }
  // The digits of q from the right, the decimal point after the d-th.
  char buf[48];
  char* end = buf + sizeof buf;
  char* p = end;
  for (int k = 0; k < d; ++k) {
    *--p = static_cast<char>('0' + q % 10);
    q /= 10;
  }
  if (d > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + q % 10);
    q /= 10;
  } while (q != 0);
  if (x < 0.0L) *--p = '-';
  out.assign(p, end);
  return true;
}

}  // namespace

std::string FastFormatFixed(long double x, int decimals, int decimalPlaces) {
  if (!std::isfinite(x)) x = 0.0L;
  const int d = ShiftDecimals(decimals, decimalPlaces);
  std::string out;
  if (d >= 0 && d <= 10 && FastFixed(x, d, out)) return out;
  return FormatFixed(x, decimals, decimalPlaces);
}

std::string FastFormatShort(long double x, int decimalPlaces) {
  if (!std::isfinite(x)) return "0";
  const long double b = std::fabs(x);
  if (b <= 1e-5L) return "0";
  // c = floor(log10(b)) from the table; next to a power of ten the logarithm decides.
  constexpr int kCount = static_cast<int>(sizeof kDecades / sizeof kDecades[0]);
  if (!(b < kDecades[kCount - 1] * 10.0L)) return FormatShort(x, decimalPlaces);
  // The decade from the binary exponent (log10 2 = 0.30103...), then corrected by the table.
  int e2 = 0;
  std::frexp(static_cast<double>(b), &e2);
  int k = std::clamp(static_cast<int>(std::floor((e2 - 1) * 0.30102999566398120)) - kFirstDecade, 0,
                     kCount - 1);
  while (k > 0 && b < kDecades[k]) --k;
  while (k + 1 < kCount && b >= kDecades[k + 1]) ++k;
  if (std::fabs(b - kDecades[k]) <= kDecades[k] * 1e-12L ||
      (k + 1 < kCount && std::fabs(kDecades[k + 1] - b) <= kDecades[k + 1] * 1e-12L)) {
    return FormatShort(x, decimalPlaces);
  }
  const int c = k + kFirstDecade;
  int d;
  if (c >= 3) {
    d = 0;
  } else {
    int a;
    if (c < 0) {
      a = 3 - c;
      d = a - 1;
    } else {
      d = 3 - c;
      a = d + 1;
    }
    long double scale = 1.0L;
    for (int i = 0; i < a; ++i) scale *= 10.0L;
    // Rounding to nearest with ties to even, as FormatShort's nearbyint.
    std::uint64_t e = static_cast<std::uint64_t>(std::llrint(b * scale));
    do {
      e /= 10;
      if (e % 10 == 0) --d;
    } while (e % 10 == 0 && e != 0);
    d = std::max(d, 0);
  }
  std::string out;
  const int shifted = ShiftDecimals(d, decimalPlaces);
  if (FastFixed(x, shifted, out)) return out;
  return FormatShort(x, decimalPlaces);
}

}  // namespace plotvue
