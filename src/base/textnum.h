// Text-to-number conversions of the plot file reader and of every dialog. They never report an
// error: text that is not a number as a whole gives 0.
#ifndef PLOTVUE_BASE_TEXTNUM_H_
#define PLOTVUE_BASE_TEXTNUM_H_

#include <cstdint>
#include <string_view>

namespace plotvue {

// Optional leading blanks, optional sign, digits with an optional decimal point, optional
// exponent (E or e, optional sign). The first "," counts as the decimal point. Anything else,
// trailing characters included, gives 0; so does a value beyond the range of long double.
// Independent of the C locale.
long double TextToFloat(std::string_view text);

// A signed decimal integer with optional leading blanks and sign; invalid text or a value
// outside the 32-bit range gives 0.
std::int32_t TextToInt(std::string_view text);

}  // namespace plotvue

#endif  // PLOTVUE_BASE_TEXTNUM_H_
