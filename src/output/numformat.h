// The number-to-text formats of every output syntax and of the settings file.
#ifndef PLOTVUE_OUTPUT_NUMFORMAT_H_
#define PLOTVUE_OUTPUT_NUMFORMAT_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace plotvue {

// A compact decimal with about four significant digits: values from 1 to 999.9 keep up to four
// significant digits, values below 1 up to three, values of 1000 and more none after the point;
// trailing zeros are dropped and |x| <= 1e-5 gives "0". `decimalPlaces` is the DecimalPlaces
// setting: a value other than 3 shifts the number of decimals by (decimalPlaces - 3), within
// 0..10. A non-finite value gives "0".
std::string FormatShort(long double x, int decimalPlaces = 3);
// The text of FormatShort appended to `out` (no string of its own for each number).
void AppendShort(std::string& out, long double x, int decimalPlaces = 3);

// Fixed point with `decimals` decimals, shifted by the DecimalPlaces setting like FormatShort;
// 0 gives "0.000" with 3 decimals. A non-finite value is written as 0.
std::string FormatFixed(long double x, int decimals, int decimalPlaces = 3);
// The text of FormatFixed appended to `out`.
void AppendFixed(std::string& out, long double x, int decimals, int decimalPlaces = 3);

// Room that PutShort and PutFixed need at the place they write to. They may write anywhere in
// it, past the end of their text too.
inline constexpr std::size_t kNumberRoom = 48;
// The text of AppendShort written at `p` (kNumberRoom bytes of room) for the common values (below
// 1e15 in size, and every non-finite or tiny one); returns its end. Returns nullptr, writing
// nothing, for the values whose text the long path of AppendShort makes.
char* PutShort(char* p, long double x, int decimalPlaces = 3);
// The text of AppendFixed written at `p` in the same way; nullptr for the long texts.
char* PutFixed(char* p, long double x, int decimals, int decimalPlaces = 3);
// PutFixed in two steps, so that the number can be made on one thread and its text written on
// another: FixedUnits gives the rounded value in units of the last decimal, with kFixedNegative
// for the minus sign (false where PutFixed returns nullptr); PutFixedUnits writes its text, the
// text of PutFixed, at `p`.
inline constexpr std::uint64_t kFixedNegative = std::uint64_t{1} << 63;
bool FixedUnits(long double x, int decimals, int decimalPlaces, std::uint64_t& units);
char* PutFixedUnits(char* p, std::uint64_t units, int decimals, int decimalPlaces = 3);
// PutShort in the same two steps: the units of FixedUnits with the number of decimals in bits
// 56..59 (the units stay below 2^50); false where PutShort returns nullptr.
inline constexpr int kShortDecimalsShift = 56;
bool ShortUnits(long double x, int decimalPlaces, std::uint64_t& packed);
char* PutShortUnits(char* p, std::uint64_t packed);
// PutShort split the other way: ShortDecimalsOf chooses the decimals (0..10; kShortZero when the
// text is "0", kShortLong when PutShort takes its long path), PutShortWithDecimals writes the
// text of PutShort with them.
inline constexpr int kShortZero = -1;
inline constexpr int kShortLong = -2;
int ShortDecimalsOf(long double x, int decimalPlaces);
char* PutShortWithDecimals(char* p, long double x, int decimals);

// "%.*Lf" of the C library: the final step of FormatShort and FormatFixed, which they reproduce
// exactly by integer arithmetic for values below 1e15 and leave to this beyond. Kept to check
// that path against.
std::string FixedByPrintf(long double x, int decimals);

// Round to nearest, ties to even, saturated to the 64-bit range (0 for NaN): the integer
// coordinates of the plotter syntaxes.
std::int64_t RoundEven(long double x);

// Decimal text of RoundEven(x).
std::string RoundText(long double x);

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_NUMFORMAT_H_
