// configio: the settings file. Loads Program::settings from a ".cfg" file and saves them into
// one. The file is positional: after a title line and a version line every setting has a label
// line (ignored on reading) and a value line, always in the same order, with CR LF line ends and
// the labels stored as code page 437 bytes. Files written by older versions end early; reading
// then stops at fixed checkpoints and the settings not read keep their values.
//
// The module owns no state: it reads and writes the Settings of the Program it is given, sets
// Program::ErrorFlag on failure, and talks to the user through Program::ui.
#ifndef PLOTVUE_CONFIG_CONFIGIO_H_
#define PLOTVUE_CONFIG_CONFIGIO_H_

#include <istream>
#include <string>

#include "base/program.h"
#include "config/settings.h"

namespace plotvue {

// Base name of the settings file read at start-up ("PLOTVUE.cfg" in the program directory).
inline constexpr const char* kConfigBaseName = "PLOTVUE";
// File name proposed when saving.
inline constexpr const char* kConfigSaveName = "plotvue.cfg";
// Width factor of the output text style before any text style has been set; it replaces an
// out-of-range screen text width factor.
inline constexpr long double kDefaultTextWidthFactor = 1.0L;

// Loads the settings. With a base name (no directory, no extension) the file is
// programDir + name + ".cfg"; when that file does not exist, a file in programDir whose name
// differs only in letter case is taken instead (settings saved as "plotvue.cfg" are found by the
// start-up read of "PLOTVUE"). With an empty name an open-file dialog (filter "*.cfg", starting
// in programDir) chooses the file, which is read where it lies; Cancel sets ErrorFlag.
// A file that cannot be opened sets ErrorFlag, puts in screen-size defaults where the size is
// unset and shows nothing. After a complete read the directory settings are checked
// (CheckConfigDirectories).
void ReadConfig(Program& program, const std::string& name);

// Asks for the file name ("Filename: ", proposing programDir + "plotvue.cfg"), asks before
// replacing an existing file, and writes all settings. The file is replaced atomically: a failed
// write leaves the previous file as it was. Cancelling, refusing, an unusable name and a failed
// write set ErrorFlag; the last two show an error box. The settings directory is created when
// the file goes there and the directory does not exist yet.
void WriteConfig(Program& program);

// The exact bytes of the settings file for `settings`: 254 lines, each ending in CR LF.
std::string ConfigFileText(const Settings& settings);

// Reads the settings from the text of a settings file, in file order, with the range checks and
// checkpoints of the format (LF-only line ends are accepted as well). An out-of-range screen text
// width factor becomes `textWidthFactor`, the width factor of the current output text style. A
// read error sets ErrorFlag and reading goes on (and ends at the first checkpoint). Returns true
// when reading went past the last entry, which is when the directory check is due.
bool ReadConfigStream(Program& program, std::istream& in,
                      long double textWidthFactor = kDefaultTextWidthFactor);

// The directory settings after a complete read: an empty (or blank) TempDir or HelpImageDir
// becomes the program directory; HelpImageDir must be an existing directory and TempDir must take
// new files, else "non valide HLP Annuaire configuré" / "non valide Annuaire provisoire
// configuré" is shown (only while MessagesEnabled); finally EdiDir := TempDir.
void CheckConfigDirectories(Program& program);

}  // namespace plotvue

#endif  // PLOTVUE_CONFIG_CONFIGIO_H_
