// The Help menu's links: the program's manual (an HTML page installed with the program) and a
// new e-mail to the makers whose subject names the product and its version.
#ifndef PLOTVUE_UI_MANUAL_H_
#define PLOTVUE_UI_MANUAL_H_

#include <string>

namespace plotvue {

// The manual: "<executable's directory>/../share/doc/plotvue/index.html" when installed, else
// the source tree's docs/manual.html when the program runs from a build; empty when neither is
// there.
std::string ManualPath();

// "mailto:" the makers' address with the subject "PLOTVUE 8.3" (URL-encoded).
std::string MailUrl();

}  // namespace plotvue

#endif  // PLOTVUE_UI_MANUAL_H_
