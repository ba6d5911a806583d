// Fast paths of the number formats FormatShort and FormatFixed for the drivers' hot loops: the
// same text, byte for byte, without the C library's long double printing and rounding calls
// (which save and restore the floating-point environment on every call). Values whose text
// cannot be decided safely on the fast path (magnitudes beyond 1e15, decimal ties, values next to
// a power of ten) are handed to FormatShort and FormatFixed themselves.
//
// State: none.
#ifndef PLOTVUE_OUTPUT_FASTFORMAT_H_
#define PLOTVUE_OUTPUT_FASTFORMAT_H_

#include <string>

namespace plotvue {

// FormatShort(x, decimalPlaces), faster.
std::string FastFormatShort(long double x, int decimalPlaces);

// FormatFixed(x, decimals, decimalPlaces), faster.
std::string FastFormatFixed(long double x, int decimals, int decimalPlaces);

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_FASTFORMAT_H_
