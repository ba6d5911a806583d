#include "output/numformat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace plotvue {
namespace {

// The fast path takes values below 1e15 / 10^d.
constexpr long double kFixedLimit[] = {1e15L, 1e14L, 1e13L, 1e12L, 1e11L, 1e10L,
                                       1e9L,  1e8L,  1e7L,  1e6L,  1e5L};
constexpr std::uint64_t kIntPow10[] = {1ull,         10ull,         100ull,        1000ull,
                                       10000ull,     100000ull,     1000000ull,    10000000ull,
                                       100000000ull, 1000000000ull, 10000000000ull};
// The number of decimal digits of q (1 for 0).
int DigitCount(std::uint64_t q) {
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

// The parts of a long double in the x87 80-bit extended format: the 64-bit mantissa with its
// explicit leading bit, and the biased exponent with the sign in bit 15. A normal value is
// mantissa * 2^(exponent - 63) with exponent = biased - kExponentBias and the leading bit set.
//
// They are read from the bytes of the value where the caller put it, once per number: most
// callers have just stored it there from an x87 register. The processor hands the data of that
// 80-bit store on to the 8-byte load of the mantissa and to a 2-byte load of the exponent, but
// not to a load that reaches past its 10 bytes, which waits until the store is written to the
// cache (and keeps the next numbers from starting meanwhile). The compiler makes the load of the
// exponent a wider one (the argument's slot has 16 bytes), so it is written out here.
struct Bits {
  std::uint64_t mantissa;
  std::uint32_t signExponent;

  static Bits Of(const long double& x) {
    static_assert(std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10,
                  "the x87 80-bit extended format");
    Bits b;
    std::memcpy(&b.mantissa, &x, 8);
    asm("movzwl %H1, %0" : "=r"(b.signExponent) : "o"(x));  // the 2 bytes 8 on from x
    return b;
  }
  // The binary exponent of a normal value: 2^e <= |x| < 2^(e+1).
  int exponent() const { return static_cast<int>(signExponent & 0x7FFF) - kExponentBias; }
  // Whether the mantissa has its leading bit, as every finite nonzero value that arithmetic
  // makes and every long double constant has; the other encodings take the general paths.
  bool normal() const { return (mantissa >> 63) != 0; }
  bool negative() const { return (signExponent & 0x8000) != 0; }

  static constexpr int kExponentBias = 16383;
  // The exponent of the largest finite values (infinities and NaNs have the one above).
  static constexpr int kMaxExponent = 16383;
};

// The values from 2^-16 to 2^15 (exponents kPointMinExponent..kPointMaxExponent) are scaled by
// 10^k in one product of the mantissa with 10^k * 2^(e + 16): whatever the exponent, it puts the
// binary point of the scaled value at bit 79 of the 128-bit product, so the integer part is the
// high word shifted by 15 and the fraction the rest, without a shift by a variable count. The
// factor fits in 64 bits up to k = 10 (10^10 * 2^30 < 2^64), and the integer part stays below
// 2^15 * 10^10, within the 1e15 units of the fast path.
constexpr int kPointMinExponent = -16;
constexpr int kPointMaxExponent = 14;
static_assert(kIntPow10[10] < (~std::uint64_t{0} >> (kPointMaxExponent - kPointMinExponent)));

struct FixedPoint {
  std::uint64_t high;
  std::uint64_t low;

  std::uint64_t whole() const { return high >> 15; }
  // The top 64 bits of the fraction (a half is 2^63); 15 more bits of it are left in `low`.
  std::uint64_t fraction() const { return (high << 49) | (low >> 15); }
  bool fractionBeyond64Bits() const { return (low & 0x7FFF) != 0; }
  // Rounded to an integer, to nearest with ties to even: the fraction's top 64 bits plus
  // 2^63 - 1 carry into the integer from above a half on; one more makes a half itself carry,
  // when the bits below the top 64 put the value above it or the integer is odd.
  std::uint64_t Rounded() const {
    const std::uint64_t w = whole();
    const std::uint64_t more = ((w & 1) != 0 || fractionBeyond64Bits()) ? 1 : 0;
    std::uint64_t sum;
    const bool carry =
        __builtin_add_overflow(fraction(), (std::uint64_t{1} << 63) - 1 + more, &sum);
    return w + (carry ? 1 : 0);
  }
};
// The mantissa times `factor`, a power of ten times 2^(e + 16).
[[gnu::always_inline]] inline FixedPoint ScaleBy(std::uint64_t mantissa, std::uint64_t factor) {
  const unsigned __int128 n = static_cast<unsigned __int128>(mantissa) * factor;
  return {static_cast<std::uint64_t>(n >> 64), static_cast<std::uint64_t>(n)};
}
[[gnu::always_inline]] inline FixedPoint ScaleAtPoint(std::uint64_t mantissa, int e, int k) {
  return ScaleBy(mantissa, kIntPow10[k] << (e - kPointMinExponent));
}

// The binary exponents whose values FixedUnitsOf rounds from the bits in the general way below:
// 2^-26 (above 1e-8, below which a value is 0) up to 2^50 (beyond the 1e15 units of every number
// of decimals).
constexpr int kUnitsMinExponent = -26;
constexpr int kUnitsMaxExponent = 49;

// The units of FixedUnitsOf for a value mantissa * 2^(exponent - 63) with the shift
// 63 - exponent within 1..127 (14..89 for the range above): the mantissa times 10^d over
// 2^shift, rounded to nearest with ties to even; false from 1e15 units on (which is
// |x| >= 1e15 / 10^d, the values FixedUnitsOf leaves to the slow path).
inline bool UnitsOfBits(std::uint64_t mantissa, int exponent, int d, std::uint64_t& q) {
  const int shift = 63 - exponent;
  const unsigned __int128 n = static_cast<unsigned __int128>(mantissa) * kIntPow10[d];
  const unsigned __int128 whole = n >> shift;
  if (whole >= 1000000000000000ull) return false;
  const unsigned __int128 rest = n - (whole << shift);
  const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
  q = static_cast<std::uint64_t>(whole);
  if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  return true;
}

// FixedUnitsOf for the values outside the range of UnitsOfBits (zero, tiny, large, not finite),
// in long double arithmetic. The rare paths take the value by reference, where the caller has
// it: a copy through integer registers would load past the 80-bit store of a value just
// computed, and wait for it (see Bits).
bool FixedUnitsOfAny(const long double& value, int d, std::uint64_t& units) {
  long double x = value;
  if (std::fabs(x) < 1e-8L) x = 0.0L;
  const long double ax = std::fabs(x);
  if (!(ax < kFixedLimit[d])) return false;
  std::uint64_t q = 0;
  if (ax != 0.0L) {
    const Bits b = Bits::Of(ax);
    // ax = mantissa * 2^-shift; 1e-8 <= ax < 1e15 keeps shift within 1..127, and the units
    // below 1e15.
    const int shift = 63 - b.exponent();
    if (shift < 1 || shift > 127 || !UnitsOfBits(b.mantissa, b.exponent(), d, q)) return false;
  }
  units = q | (x < 0.0L ? kFixedNegative : 0);
  return true;
}

// FixedUnitsOf for the values outside the binades of ScaleAtPoint, out of line: from the bits
// in the general way from 2^-26 to 2^50, in long double arithmetic beyond.
template <bool notFiniteAsZero>
[[gnu::noinline]] bool FixedUnitsOfOther(const long double& x, int d, std::uint64_t& units) {
  const Bits b = Bits::Of(x);
  const int e = b.exponent();
  if (!b.normal() || e < kUnitsMinExponent || e > kUnitsMaxExponent) {
    return FixedUnitsOfAny(notFiniteAsZero && !std::isfinite(x) ? 0.0L : x, d, units);
  }
  std::uint64_t q;
  if (!UnitsOfBits(b.mantissa, e, d, q)) return false;
  units = q | (b.negative() ? kFixedNegative : 0);
  return true;
}

// The first step of FastFixed: x (|x| < 1e-8 taken as 0) as a sign bit (kFixedNegative) and
// the integer of its exact binary value times 10^d, rounded to nearest with ties to even, in
// 128-bit integer arithmetic; false beyond 1e15 / 10^d. With `notFiniteAsZero` (the fixed
// format's rule) a value that is not finite counts as 0.
template <bool notFiniteAsZero = false>
[[gnu::always_inline]] inline bool FixedUnitsOf(const long double& x, int d, std::uint64_t& units) {
  const Bits b = Bits::Of(x);
  const int e = b.exponent();
  if (!b.normal() || e < kPointMinExponent || e > kPointMaxExponent) [[unlikely]] {
    return FixedUnitsOfOther<notFiniteAsZero>(x, d, units);
  }
  units = ScaleAtPoint(b.mantissa, e, d).Rounded() | (b.negative() ? kFixedNegative : 0);
  return true;
}

// The digits of q < 10^8, eight of them with leading zeros, one in each byte of the result from
// the most significant in the lowest byte (the order of the text in memory). q is split into
// two halves of four digits in the two 32-bit lanes of one word, each into two pairs in 16-bit
// lanes, each pair into two digits in bytes: the quotients by 100 and 10 come from
// multiplications that stay inside their lanes, each remainder from adding the quotient times
// (lane size - divisor); the bytes come out from the least significant digit and are swapped.
[[gnu::always_inline]] inline std::uint64_t EightDigits(std::uint64_t q) {
  std::uint64_t x = q + (q / 10000) * ((std::uint64_t{1} << 32) - 10000);
  const std::uint64_t hundreds = ((x * 10486) >> 20) & 0x0000007F0000007Full;  // x / 100
  x += hundreds * ((1 << 16) - 100);
  const std::uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000Full;  // x / 10
  return __builtin_bswap64(x + tens * ((1 << 8) - 10));
}

// The same for q < 10^4 in four bytes: the short format's numbers, which have four digits.
[[gnu::always_inline]] inline std::uint32_t FourDigits(std::uint64_t q) {
  std::uint32_t x = static_cast<std::uint32_t>(q);
  const std::uint32_t hundreds = (x * 10486) >> 20;  // x / 100
  x += hundreds * ((1 << 16) - 100);
  const std::uint32_t tens = ((x * 103) >> 10) & 0x000F000Fu;  // x / 10
  return __builtin_bswap32(x + tens * ((1 << 8) - 10));
}

// PutUnitsText for the numbers of more than eight digits or decimals, from the right, two digits
// at a time from a table.
[[gnu::noinline]] char* PutLongUnitsText(char* p, std::uint64_t q, int d) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
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

// The text of the digits of EightDigits or FourDigits with d decimals (fewer than the word has
// bytes), without a branch on the number of digits: the word shifted to the length of the text,
// then the decimals once more after the point. The stores reach up to 17 bytes past p.
template <typename Word>
[[gnu::always_inline]] inline char* PutDigits(char* p, Word digits, int d) {
  constexpr int kBits = 8 * sizeof(Word);
  // The leading zero digits are the low zero bytes; the last digit counts for 0.
  const int length =
      std::max(kBits / 8 - (std::countr_zero(digits | Word{1} << (kBits - 8)) >> 3), d + 1);
  const Word text = (digits + static_cast<Word>(0x3030303030303030ull)) >> (kBits - 8 * length);
  const int whole = length - d;
  std::memcpy(p, &text, sizeof text);
  p[whole] = '.';  // past the text when d is 0
  const Word fraction = (text >> 8) >> (8 * (whole - 1));
  std::memcpy(p + whole + 1, &fraction, sizeof fraction);
  return p + length + (d > 0 ? 1 : 0);
}

// The second step: the digits of the units, the decimal point before the last d; at least one
// digit before the point. Up to four digits and three decimals (the short format) take
// FourDigits, up to eight digits and seven decimals (all but the rarest) EightDigits.
[[gnu::always_inline]] inline char* PutUnitsText(char* p, std::uint64_t units, int d) {
  *p = '-';
  p += units >> 63;
  const std::uint64_t q = units & ~kFixedNegative;
  if (q < 10000 && d < 4) return PutDigits(p, FourDigits(q), d);
  if (q < 100000000 && d < 8) return PutDigits(p, EightDigits(q), d);
  return PutLongUnitsText(p, q, d);
}

// The fixed-point text of x with d decimals (0..10) as printf("%.*Lf") writes it after the
// formats' rule that |x| < 1e-8 is 0, written at p (room for kNumberRoom bytes). Returns its
// end, or nullptr beyond 1e15 (the slow path decides; nothing is written then).
[[gnu::always_inline]] inline char* FastFixed(const long double& x, int d, char* p) {
  std::uint64_t units;
  if (!FixedUnitsOf(x, d, units)) return nullptr;
  return PutUnitsText(p, units, d);
}

bool FastFixed(long double x, int d, std::string& out) {
  char buf[kNumberRoom];
  char* end = FastFixed(x, d, buf);
  if (!end) return false;
  out.append(buf, end);
  return true;
}

// Fixed notation with d decimals appended to `out`; a value below 1e-8 in size is written as 0
// (no "-0.000"). The common values take the exact integer path above; the rest the C library's
// printing.
void AppendFixedText(std::string& out, long double x, int d) {
  if (std::fabs(x) < 1e-8L) x = 0.0L;
  if (d >= 0 && d <= 10 && FastFixed(x, d, out)) return;
  out += FixedByPrintf(x, d);
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
int DecimalExponent(long double b) {
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
std::uint64_t RoundSmall(long double v) {
  static_assert(std::numeric_limits<long double>::digits == 64, "the x87 80-bit extended format");
  const long double t = v + 0x1p63L;
  std::uint64_t mantissa;
  std::memcpy(&mantissa, &t, 8);
  return mantissa - (std::uint64_t{1} << 63);
}

int ShiftDecimals(int d, int decimalPlaces) {
  if (decimalPlaces != 3) d = std::clamp(d + std::clamp(decimalPlaces, -20, 20) - 3, 0, 10);
  return d;
}

}  // namespace

std::string FixedByPrintf(long double x, int decimals) {
  // The longest long double in fixed notation has 4933 integer digits.
  char buf[5000];
  int len = std::snprintf(buf, sizeof buf, "%.*Lf", decimals, x);
  if (len < 0) return "0";
  return std::string(buf, static_cast<std::size_t>(std::min<int>(len, sizeof buf - 1)));
}

namespace {

// The decimals of FormatShort for a finite x with |x| > 1e-5, before the DecimalPlaces shift, in
// long double arithmetic: the general path of ShortDecimalsOfBits.
int ShortDecimals(long double b) {
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

// ShortDecimalsOf for the values that ShortDecimalsOfBits does not take: not finite, tiny, below
// 2^-16 or encoded without the leading mantissa bit.
int ShortDecimalsOfAny(const long double& x, int decimalPlaces) {
  if (!std::isfinite(x) || std::fabs(x) <= 1e-5L) return kShortZero;
  const int d = ShiftDecimals(ShortDecimals(std::fabs(x)), decimalPlaces);
  return (d >= 0 && d <= 10) ? d : kShortLong;
}

// The mantissa and binary exponent of a positive normal long double, at compile time:
// v = mantissa * 2^(exponent - 63).
struct Split {
  std::uint64_t mantissa;
  int exponent;
};
constexpr Split SplitOf(long double v) {
  int e = 0;
  while (v >= 2.0L) {
    v /= 2.0L;
    ++e;
  }
  while (v < 1.0L) {
    v *= 2.0L;
    --e;
  }
  return {static_cast<std::uint64_t>(v * 0x1p63L), e};
}

// The number of decimals that the last t digits r of a number need (t = 0..3): t less the
// trailing zeros of r, none for r = 0; at kLastDigitsAt[t] + r.
constexpr int kLastDigitsAt[] = {0, 1, 11, 111};
constexpr std::array<unsigned char, 1111> MakeDecimalsOfLastDigits() {
  std::array<unsigned char, 1111> table{};
  for (int t = 1; t <= 3; ++t) {
    for (int r = 1; r < static_cast<int>(kIntPow10[t]); ++r) {
      int zeros = 0;
      for (int v = r; v % 10 == 0; v /= 10) ++zeros;
      table[kLastDigitsAt[t] + r] = static_cast<unsigned char>(t - zeros);
    }
  }
  return table;
}
constexpr std::array<unsigned char, 1111> kDecimalsOfLastDigits = MakeDecimalsOfLastDigits();

// The scaling of the short format for the values of decade c in binade e. Their four (three
// below 1) significant digits are those of b * 10^a without its last digit, and the decimals
// at most a - 1 (`decimals`), fewer by the trailing zeros of those digits. The factor is that of
// ScaleAtPoint for 10^a. From the decade 3 on there are no decimals, whatever the product.
//
// The last `decimals` digits of n / 10 are those of n modulo 10^(decimals + 1), which the 64-bit
// product n * 2^64 / 10^(decimals + 1) (lastDigitsFactor, rounded up) holds as a fraction: its
// product with 10^decimals (lastDigitsScale) has them as its high word. For n below 2^20 the
// factor's excess adds less than 2^-30 to that, short of the next integer. For more than three
// decimals (values below 0.01) lastDigitsFactor is 0 and the trailing zeros are counted.
struct DecadeScale {
  std::uint64_t factor;
  int decimals;
  std::uint64_t lastDigitsFactor;
  std::uint64_t lastDigitsScale;
  int lastDigitsAt;
};
constexpr DecadeScale ScaleOfDecade(int c, int e) {
  const int a = c >= 3 ? 1 : c < 0 ? 3 - c : 4 - c;
  const int t = c >= 3 ? 0 : a - 1;
  const std::uint64_t factor = kIntPow10[a] << (e - kPointMinExponent);
  if (t > 3) return {factor, t, 0, 0, 0};
  return {factor, t, ~std::uint64_t{0} / kIntPow10[t + 1] + 1, kIntPow10[t], kLastDigitsAt[t]};
}

// The decade (DecimalExponent) of the values of one binade 2^e <= b < 2^(e+1), from their
// mantissa, with its scaling: side[0] up to lowMax, side[1] (the next decade) above highAfter,
// and between them the values of the band around a power of ten, where DecimalExponent asks the
// logarithm. A binade meets at most one band; one that meets none has both bounds at the top.
// The band around 1 reaches into two binades: the one below has no side[1], the one above no
// side[0] (lowMax 0).
struct BinadeDecade {
  std::uint64_t lowMax;
  std::uint64_t highAfter;
  DecadeScale side[2];
};
// The binades of the table: 2^-16 (above 1e-5) up to those of ScaleAtPoint (the decade is 3
// for all beyond 1000, the table holds them to spare the values up to 2^15 a branch).
constexpr int kBinadeMin = -16;
constexpr int kBinadeMax = kPointMaxExponent;
constexpr int kBinadeCount = kBinadeMax - kBinadeMin + 1;
static_assert(kBinadeMin >= kPointMinExponent && kBinadeMax <= kPointMaxExponent);

// The bounds of DecimalExponent's bands around 10^(k-5), as it computes them.
constexpr long double BandLow(int k) { return kDecades[k] * (1.0L - kNearDecade); }
constexpr long double BandHigh(int k) { return kDecades[k] * (1.0L + kNearDecade); }

constexpr std::array<BinadeDecade, kBinadeCount> MakeBinadeDecades() {
  std::array<BinadeDecade, kBinadeCount> table{};
  for (int e = kBinadeMin; e <= kBinadeMax; ++e) {
    BinadeDecade& t = table[e - kBinadeMin];
    // The powers of ten below the binade (1e-5 lies below all of them) give its decade.
    int k = 0;
    while (k < 8 && SplitOf(kDecades[k + 1]).exponent < e) ++k;
    t.side[0] = ScaleOfDecade(k - 5, e);
    t.side[1] = ScaleOfDecade(k - 4, e);
    t.lowMax = ~std::uint64_t{0};
    t.highAfter = ~std::uint64_t{0};
    // The band around the next power of ten, if it meets the binade.
    if (k == 8) continue;
    const Split low = SplitOf(BandLow(k + 1));
    const Split high = SplitOf(BandHigh(k + 1));
    if (low.exponent <= e && e <= high.exponent) {
      if (low.exponent == e) t.lowMax = low.mantissa;
      if (low.exponent < e) t.lowMax = 0;
      // From the band's upper bound on the decade is one more (for 1000: only above it, where
      // DecimalExponent returns 3; it asks the logarithm at the bound).
      if (high.exponent == e) t.highAfter = high.mantissa - (k + 1 == 8 ? 0 : 1);
    }
  }
  return table;
}
constexpr std::array<BinadeDecade, kBinadeCount> kBinadeDecades = MakeBinadeDecades();

// The table relies on the bands lying apart by more than a binade, on none reaching above the
// binade of its power of ten, and on 1e-5 and its band lying below the table.
constexpr bool BandsApart() {
  for (int k = 1; k <= 8; ++k) {
    if (SplitOf(BandLow(k)).exponent <= SplitOf(BandHigh(k - 1)).exponent + 1) return false;
    if (SplitOf(BandHigh(k)).exponent != SplitOf(kDecades[k]).exponent) return false;
  }
  return SplitOf(BandHigh(0)).exponent < kBinadeMin && SplitOf(BandHigh(8)).exponent <= kBinadeMax;
}
static_assert(BandsApart());

// The scaling of a value of the table's binades, nullptr for one in the band around a power of
// ten (whose decade only DecimalExponent gives).
[[gnu::always_inline]] inline const DecadeScale* SideOf(std::uint64_t mantissa, int e) {
  const BinadeDecade& t = kBinadeDecades[e - kBinadeMin];
  if (mantissa > t.highAfter) return &t.side[1];
  if (mantissa > t.lowMax) return nullptr;
  return &t.side[0];
}

// The digits that ShortDecimals looks at are those of b * 10^a computed in long double: the
// exact product rounded to the 64 bits of the mantissa, then to an integer, ties to even both
// times. Both roundings are done here on the exact product. The integers and the halves between
// them lie on the 64-bit grid of the product, so rounding to 64 bits never moves it across one;
// the result differs from the direct rounding only when the product rounds onto a half exactly,
// that is when it lies within half a grid step of it (a tie there goes to the half, whose
// mantissa is even), and the half then goes to the even integer.
[[gnu::always_inline]] inline int ShortDecimalsOfBits(std::uint64_t mantissa,
                                                      const DecadeScale& side) {
  const FixedPoint f = ScaleBy(mantissa, side.factor);
  const std::uint64_t whole = f.whole();
  const std::uint64_t fraction = f.fraction();
  // Half a step of the 64-bit grid of the product at the scale of `fraction`: the top bit of
  // `whole` (a step is 2^-63 of the product's top bit; as `whole` is at least 1 (here 10 or
  // more), the bits of the fraction below its top 64 lie below the step and do not matter).
  const std::uint64_t grid = std::uint64_t{1} << (63 - std::countl_zero(whole | 1));
  // Within `grid` of the half (wrapping below it): the half, to even; else up beyond the half.
  const bool onHalf = fraction - (std::uint64_t{1} << 63) + grid <= 2 * grid;
  const std::uint64_t rounded = whole + (onHalf ? (whole & 1) : (fraction >> 63));
  // The digit past the last of the four (three) is cut off, then the trailing zeros of the rest
  // dropped: one decimal fewer for each (one for 0, as ShortDecimals counts).
  int decimals;
  if (side.lastDigitsFactor != 0 && rounded >= 10) {
    const std::uint64_t last = rounded * side.lastDigitsFactor;
    const auto r = static_cast<std::size_t>(
        (static_cast<unsigned __int128>(last) * side.lastDigitsScale) >> 64);
    decimals = kDecimalsOfLastDigits[side.lastDigitsAt + r];
  } else {
    const std::uint64_t digits = rounded / 10;
    int zeros = digits == 0 ? 1 : 0;
    for (std::uint64_t r = digits; r % 10 == 0 && r != 0; r /= 10) ++zeros;
    decimals = std::max(side.decimals - zeros, 0);
  }
  return decimals;
}

// ShortDecimalsOf for the values outside the table of binades or in a band around a power of
// ten, out of line: no decimals from 2^15 on, the long double computation for the rest.
[[gnu::noinline]] int ShortDecimalsOfOther(const long double& x, int decimalPlaces) {
  const Bits b = Bits::Of(x);
  const int e = b.exponent();
  if (b.normal() && e > kBinadeMax && e <= Bits::kMaxExponent) {
    const int d = ShiftDecimals(0, decimalPlaces);
    return (d >= 0 && d <= 10) ? d : kShortLong;
  }
  return ShortDecimalsOfAny(x, decimalPlaces);
}

// The packed form of ShortUnits: the units with the number of decimals above them.
std::uint64_t PackShort(std::uint64_t units, int d) {
  return units | (static_cast<std::uint64_t>(d) << kShortDecimalsShift);
}

// ShortUnits for the same values: their decimals, then the units of the fixed format.
[[gnu::noinline]] bool ShortUnitsOther(const long double& x, int decimalPlaces,
                                       std::uint64_t& packed) {
  const int d = ShortDecimalsOfOther(x, decimalPlaces);
  if (d == kShortZero) {
    packed = 0;  // "0": no decimals, no digits but the one
    return true;
  }
  std::uint64_t units;
  if (d < 0 || !FixedUnitsOf(x, d, units)) return false;
  packed = PackShort(units, d);
  return true;
}

// ShortDecimalsOf and PutShortWithDecimals on the value where the caller passed it: the public
// functions call each other through these, so that the value is not copied again for each (the
// compiler copies a long double through an x87 register).
[[gnu::always_inline]] inline int ShortDecimalsOfValue(const long double& x, int decimalPlaces) {
  const Bits b = Bits::Of(x);
  const int e = b.exponent();
  if (!b.normal() || e < kBinadeMin || e > kBinadeMax) [[unlikely]] {
    return ShortDecimalsOfOther(x, decimalPlaces);
  }
  const DecadeScale* side = SideOf(b.mantissa, e);
  if (side == nullptr) [[unlikely]]
    return ShortDecimalsOfOther(x, decimalPlaces);
  const int d = ShiftDecimals(ShortDecimalsOfBits(b.mantissa, *side), decimalPlaces);
  return (d >= 0 && d <= 10) ? d : kShortLong;
}

[[gnu::always_inline]] inline char* PutShortWithDecimalsOfValue(char* p, const long double& x,
                                                                int decimals) {
  if (decimals == kShortZero) {
    *p = '0';
    return p + 1;
  }
  return decimals >= 0 && decimals <= 10 ? FastFixed(x, decimals, p) : nullptr;
}

}  // namespace

void AppendShort(std::string& out, long double x, int decimalPlaces) {
  const int d = ShortDecimalsOfValue(x, decimalPlaces);
  if (d == kShortZero) {  // 0.00001 itself shows as 0
    out += '0';
    return;
  }
  AppendFixedText(out, x, d);
}

char* PutShort(char* p, long double x, int decimalPlaces) {
  return PutShortWithDecimalsOfValue(p, x, ShortDecimalsOfValue(x, decimalPlaces));
}

int ShortDecimalsOf(long double x, int decimalPlaces) {
  return ShortDecimalsOfValue(x, decimalPlaces);
}

char* PutShortWithDecimals(char* p, long double x, int decimals) {
  return PutShortWithDecimalsOfValue(p, x, decimals);
}

bool ShortUnits(long double x, int decimalPlaces, std::uint64_t& packed) {
  const Bits b = Bits::Of(x);
  const int e = b.exponent();
  if (!b.normal() || e < kBinadeMin || e > kBinadeMax) [[unlikely]] {
    return ShortUnitsOther(x, decimalPlaces, packed);
  }
  const DecadeScale* side = SideOf(b.mantissa, e);
  if (side == nullptr) [[unlikely]]
    return ShortUnitsOther(x, decimalPlaces, packed);
  // The decimals, then the units at them from a second product of the mantissa (sooner done
  // than dividing the digits of the first).
  const int d = ShiftDecimals(ShortDecimalsOfBits(b.mantissa, *side), decimalPlaces);
  const std::uint64_t units = ScaleAtPoint(b.mantissa, e, d).Rounded();
  packed = PackShort(units | (b.negative() ? kFixedNegative : 0), d);
  return true;
}

char* PutShortUnits(char* p, std::uint64_t packed) {
  const int d = static_cast<int>((packed >> kShortDecimalsShift) & 0xF);
  return PutUnitsText(p, packed & ~(std::uint64_t{0xF} << kShortDecimalsShift), d);
}

char* PutFixed(char* p, long double x, int decimals, int decimalPlaces) {
  const int d = ShiftDecimals(decimals, decimalPlaces);
  std::uint64_t units;
  if (d < 0 || d > 10 || !FixedUnitsOf<true>(x, d, units)) return nullptr;
  return PutUnitsText(p, units, d);
}

bool FixedUnits(long double x, int decimals, int decimalPlaces, std::uint64_t& units) {
  const int d = ShiftDecimals(decimals, decimalPlaces);
  return d >= 0 && d <= 10 && FixedUnitsOf<true>(x, d, units);
}

char* PutFixedUnits(char* p, std::uint64_t units, int decimals, int decimalPlaces) {
  return PutUnitsText(p, units, ShiftDecimals(decimals, decimalPlaces));
}

std::string FormatShort(long double x, int decimalPlaces) {
  std::string s;
  AppendShort(s, x, decimalPlaces);
  return s;
}

void AppendFixed(std::string& out, long double x, int decimals, int decimalPlaces) {
  if (!std::isfinite(x)) x = 0.0L;
  AppendFixedText(out, x, ShiftDecimals(decimals, decimalPlaces));
}

std::string FormatFixed(long double x, int decimals, int decimalPlaces) {
  std::string s;
  AppendFixed(s, x, decimals, decimalPlaces);
  return s;
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
