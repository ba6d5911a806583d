// Options, Load: reads a settings file the user chose and takes its settings only when the whole
// file could be read. A directory, a file that cannot be read, a binary file and a file that ends
// before its last entry (other than where the files of older versions end) leave every setting
// as it was and say why in an error box.
//
// State: none.
#ifndef PLOTVUE_CONFIG_CONFIGLOAD_H_
#define PLOTVUE_CONFIG_CONFIGLOAD_H_

#include <string>

#include "base/program.h"

namespace plotvue {

// Lines of a complete settings file.
inline constexpr int kConfigFileLines = 254;

// Why the bytes of a file are no settings file to load, or empty when they are one. A file is
// complete with at least 254 lines; files of older versions end after "Style de texte" (156
// lines), after "PLT Annuaire" (162) or after the second reserved entry (244). A file with
// control bytes other than tab, CR and LF is binary.
std::string ConfigFileProblem(const std::string& bytes);

// Reads the settings file at `path` into the settings when it is whole; else shows why (an error
// box), sets ErrorFlag and changes no setting. After a complete read the directory settings are
// checked as after every read. Returns true when the settings were taken.
bool LoadConfigFile(Program& program, const std::string& path);

// The Options, Load command: an open dialog (filter "*.cfg", starting in the program directory)
// chooses the file, which is read where it lies; Cancel sets ErrorFlag and changes nothing.
bool LoadConfigCommand(Program& program);

}  // namespace plotvue

#endif  // PLOTVUE_CONFIG_CONFIGLOAD_H_
