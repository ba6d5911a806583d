// The converter settings prompts: the walk through the settings of a conversion as a fixed
// sequence of small modal prompts (output syntax, device and its port or file name, the file
// options, plot scale and origin, and the options only some syntaxes have), started by Options,
// Converter and by the converter dialog's "&Configuration" button. The answers go straight into
// the settings (and the two Garmin options of the program run); nothing is saved to the settings
// file until the user saves it. Number prompts refuse what they cannot take and ask again.
//
// State: none of its own; it changes the program's settings and the Garmin options it is given.
#ifndef PLOTVUE_CONFIG_CONVSETTINGS_H_
#define PLOTVUE_CONFIG_CONVSETTINGS_H_

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "base/program.h"
#include "output/garmin.h"

namespace plotvue {

// Starts the user's editor on a text file without waiting for it; false when none could be
// started.
using EditorLauncher = std::function<bool(const std::string& path)>;

// $VISUAL, else $EDITOR (each a command line to which the path is added), else xdg-open; the
// editor runs as a program of its own, detached from this one.
bool OpenInEditor(const std::string& path);

// The 34 standard Postscript fonts of the Postscript font prompt (the 35th option is
// "andere Schriften", another font typed in).
extern const std::array<const char*, 34> kPostscriptFonts;

// Asks every converter setting in order (nothing when ErrorFlag is already set). Cancel in any
// prompt sets ErrorFlag and ends the sequence; the answers given so far keep their new values.
// For Aristo a last question offers to edit ARISTO.TXT in the help-image directory with
// `openEditor`.
void AskConverterSettings(Program& program, GarminOptions& garmin,
                          const EditorLauncher& openEditor = OpenInEditor);

// One Number prompt: `caption`, preset with FormatShort of `value`, accepted within
// min..max. Refused answers get their message (after a beep) and the prompt again; an answer
// equal to the preset keeps `value` exactly. False when cancelled (ErrorFlag is not touched).
bool AskNumber(Program& program, const std::string& caption, long double& value, long double min,
               long double max, int helpTopic);
// One Integer prompt, the same way, preset with `value` in decimal.
bool AskInteger(Program& program, const std::string& caption, std::int32_t& value,
                std::int32_t min, std::int32_t max, int helpTopic);

// The text of a Number or Integer prompt's answer as a number; false when it is not one (the
// conversions of the dialogs give 0 for such text, which must not pass for a zero typed in).
bool ReadNumberAnswer(const std::string& text, long double& value);
bool ReadIntegerAnswer(const std::string& text, std::int32_t& value);

}  // namespace plotvue

#endif  // PLOTVUE_CONFIG_CONVSETTINGS_H_
