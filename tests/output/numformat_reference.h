// The fast number formats as they were before they took the bits of the value apart: the
// computation in long double arithmetic that defines their results. Kept to check the faster
// code against, value by value.
#ifndef PLOTVUE_TESTS_OUTPUT_NUMFORMAT_REFERENCE_H_
#define PLOTVUE_TESTS_OUTPUT_NUMFORMAT_REFERENCE_H_

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "output/numformat.h"

namespace plotvue::reference {

// The fast path takes values below 1e15 / 10^d.
constexpr long double kFixedLimit[] = {1e15L, 1e14L, 1e13L, 1e12L, 1e11L, 1e10L,
                                       1e9L,  1e8L,  1e7L,  1e6L,  1e5L};
constexpr std::uint64_t kIntPow10[] = {1ull,         10ull,         100ull,        1000ull,
                                       10000ull,     100000ull,     1000000ull,    10000000ull,
                                       100000000ull, 1000000000ull, 10000000000ull};
// The number of decimal digits of q (1 for 0).
inline int DigitCount(std::uint64_t q) {
  int n = 1;
  while (q >= 10000) {
    q /= 10000;
    n += 4;
  }
  if (q >= 1000) return n + 3;
  if (q >= 100) return n + 2;
  if (q >= 10) return n + 1;
  return n;
}

// The first step of FastFixed: x (|x| < 1e-8 taken as 0) as a sign bit (kFixedNegative) and
// the integer of its exact binary value times 10^d, rounded to nearest with ties to even, in
// 128-bit integer arithmetic; false beyond 1e15 / 10^d.
inline bool FixedUnitsOf(long double x, int d, std::uint64_t& units) {
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
  units = q | (x < 0.0L ? kFixedNegative : 0);
  return true;
}

// The second step: the digits of the units from the right, the decimal point after the d-th;
// at least one digit before the point. Two digits at a time from a table halves the divisions.
inline char* PutUnitsText(char* p, std::uint64_t units, int d) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  if (units & kFixedNegative) *p++ = '-';
  std::uint64_t q = units & ~kFixedNegative;
  const int digits = std::max(DigitCount(q), d + 1);
  char* const end = p + digits + (d > 0 ? 1 : 0);
  char* w = end;
  int k = d;
  for (; k >= 2; k -= 2) {
    w -= 2;
    std::memcpy(w, kPairs + 2 * (q % 100), 2);
    q /= 100;
  }
  if (k == 1) {
    *--w = static_cast<char>('0' + q % 10);
    q /= 10;
  }
  if (d > 0) *--w = '.';
  while (q >= 100) {
    w -= 2;
    std::memcpy(w, kPairs + 2 * (q % 100), 2);
    q /= 100;
  }
  if (q >= 10) {
    w -= 2;
    std::memcpy(w, kPairs + 2 * q, 2);
  } else {
    *--w = static_cast<char>('0' + q);
  }
  return end;
}

// The fixed-point text of x with d decimals (0..10) as printf("%.*Lf") writes it after the
// formats' rule that |x| < 1e-8 is 0, written at p (room for kNumberRoom bytes). Returns its
// end, or nullptr beyond 1e15 (the slow path decides; nothing is written then).
inline char* FastFixed(long double x, int d, char* p) {
  std::uint64_t units;
  if (!FixedUnitsOf(x, d, units)) return nullptr;
  return PutUnitsText(p, units, d);
}

// Powers of ten 1e-5 .. 1e3 as the nearest long double values.
constexpr long double kDecades[] = {1e-5L, 1e-4L, 1e-3L, 1e-2L, 1e-1L, 1e0L, 1e1L, 1e2L, 1e3L};
// Values within this relative distance of a power of ten take the library's logarithm, so
// the decade is the one it gives there.
constexpr long double kNearDecade = 1e-12L;

// floor(log10(b)) for b > 1e-5 exactly as the library's logarithm gives it. Away from the powers
// of ten the decade follows from comparisons; the logarithm is accurate to far less than the
// distance of its result from the next integer there. Values of 1000 and beyond all count as 3,
// as the callers make no difference between them. Drawing coordinates are mostly tens and
// hundreds of millimetres, so the search starts at the top.
inline int DecimalExponent(long double b) {
  if (b > kDecades[8] * (1.0L + kNearDecade)) return 3;
  int k = 7;
  while (k > 0 && b < kDecades[k]) --k;
  const bool nearLow = b < kDecades[k] * (1.0L + kNearDecade);
  const bool nearHigh = b > kDecades[k + 1] * (1.0L - kNearDecade);
  if (nearLow || nearHigh) {
    const long double c = std::floor(std::log10(b));
    return c >= 3.0L ? 3 : static_cast<int>(c);
  }
  return k - 5;
}

// 10^a for a = 0..10, exact in the long double format.
constexpr long double kScale[] = {1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L,
                                  1e6L, 1e7L, 1e8L, 1e9L, 1e10L};

// std::nearbyint(v) for 0 <= v < 2^62, as an integer: adding 2^63 leaves a unit in the last
// place of 1, so the sum is rounded to an integer in the current rounding mode (to nearest,
// ties to even), and its 64-bit mantissa is 2^63 plus that integer. Avoids the library call
// and the change of the x87 control word that the conversion to an integer type needs.
inline std::uint64_t RoundSmall(long double v) {
  static_assert(std::numeric_limits<long double>::digits == 64, "the x87 80-bit extended format");
  const long double t = v + 0x1p63L;
  std::uint64_t mantissa;
  std::memcpy(&mantissa, &t, 8);
  return mantissa - (std::uint64_t{1} << 63);
}

inline int ShiftDecimals(int d, int decimalPlaces) {
  if (decimalPlaces != 3) d = std::clamp(d + std::clamp(decimalPlaces, -20, 20) - 3, 0, 10);
  return d;
}

// The decimals of FormatShort for a finite x with |x| > 1e-5, before the DecimalPlaces shift.
inline int ShortDecimals(long double b) {
  int c = DecimalExponent(b);
  if (c >= 3) return 0;
  // Choose the decimals from the digits of b, rounded to four (three below 1) significant
  // digits, then drop trailing zeros.
  int a, d;
  if (c < 0) {
    a = 3 - c;
    d = a - 1;
  } else {
    d = 3 - c;
    a = d + 1;
  }
  long double scale = 1.0L;
  if (a >= 0 && a <= 10) {
    scale = kScale[a];
  } else {
    for (int k = 0; k < a; ++k) scale *= 10.0L;
  }
  std::uint64_t e = RoundSmall(b * scale);
  do {
    e /= 10;
    if (e % 10 == 0) --d;
  } while (e % 10 == 0 && e != 0);
  return std::max(d, 0);
}

inline int ShortDecimalsOf(long double x, int decimalPlaces) {
  if (!std::isfinite(x) || std::fabs(x) <= 1e-5L) return kShortZero;
  const int d = ShiftDecimals(ShortDecimals(std::fabs(x)), decimalPlaces);
  return (d >= 0 && d <= 10) ? d : kShortLong;
}

inline char* PutShortWithDecimals(char* p, long double x, int decimals) {
  if (decimals == kShortZero) {
    *p = '0';
    return p + 1;
  }
  return decimals >= 0 && decimals <= 10 ? FastFixed(x, decimals, p) : nullptr;
}

inline bool ShortUnits(long double x, int decimalPlaces, std::uint64_t& packed) {
  const int d = ShortDecimalsOf(x, decimalPlaces);
  if (d == kShortZero) {
    packed = 0;  // "0": no decimals, no digits but the one
    return true;
  }
  std::uint64_t units;
  if (d < 0 || !FixedUnitsOf(x, d, units)) return false;
  packed = units | (static_cast<std::uint64_t>(d) << kShortDecimalsShift);
  return true;
}

inline char* PutShortUnits(char* p, std::uint64_t packed) {
  const int d = static_cast<int>((packed >> kShortDecimalsShift) & 0xF);
  return PutUnitsText(p, packed & ~(std::uint64_t{0xF} << kShortDecimalsShift), d);
}

inline char* PutFixed(char* p, long double x, int decimals, int decimalPlaces) {
  if (!std::isfinite(x)) x = 0.0L;
  const int d = ShiftDecimals(decimals, decimalPlaces);
  return (d >= 0 && d <= 10) ? FastFixed(x, d, p) : nullptr;
}

inline bool FixedUnits(long double x, int decimals, int decimalPlaces, std::uint64_t& units) {
  if (!std::isfinite(x)) x = 0.0L;
  const int d = ShiftDecimals(decimals, decimalPlaces);
  return d >= 0 && d <= 10 && FixedUnitsOf(x, d, units);
}

inline char* PutFixedUnits(char* p, std::uint64_t units, int decimals, int decimalPlaces) {
  return PutUnitsText(p, units, ShiftDecimals(decimals, decimalPlaces));
}

inline char* PutShort(char* p, long double x, int decimalPlaces) {
  return PutShortWithDecimals(p, x, ShortDecimalsOf(x, decimalPlaces));
}

}  // namespace plotvue::reference

#endif  // PLOTVUE_TESTS_OUTPUT_NUMFORMAT_REFERENCE_H_
