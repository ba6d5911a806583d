// The display-text conversion: every label shown on the screen and every text stored as DOS code
// page 437 bytes (the settings file labels, labels of plot files) passes through it before it is
// shown.
#ifndef PLOTVUE_BASE_DISPLAYTEXT_H_
#define PLOTVUE_BASE_DISPLAYTEXT_H_

#include <string>
#include <string_view>

namespace plotvue {

// A text of 255 bytes or more becomes empty; otherwise each byte is taken as a code page 437
// character and the result is UTF-8. Control bytes below 32 stay as they are.
std::string DisplayText(std::string_view cp437);

// One code page 437 byte as UTF-8.
std::string Cp437ToUtf8(unsigned char byte);

}  // namespace plotvue

#endif  // PLOTVUE_BASE_DISPLAYTEXT_H_
