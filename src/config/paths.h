// Where the program keeps and finds its files on Linux: the per-user settings directory (home of
// the settings file and the history file), the directory for temporary files, and the list of
// directories searched for shipped data (TXT.SHP, help texts and pictures, ARISTO.TXT). The
// answers come from the environment at the time of the call; nothing is cached.
#ifndef PLOTVUE_CONFIG_PATHS_H_
#define PLOTVUE_CONFIG_PATHS_H_

#include <string>
#include <vector>

namespace plotvue {

// The per-user settings directory, ending in "/": $PLOTVUE_HOME when set, else
// $XDG_CONFIG_HOME/plotvue when that is an absolute path, else ~/.config/plotvue. Empty
// variables count as unset. The directory is not created here (see EnsureDir).
std::string SettingsDir();

// Creates `dir` and its missing parents (mkdir -p). Returns `dir` with a trailing "/", or an
// empty text when the directory does not exist afterwards.
std::string EnsureDir(const std::string& dir);

// The directory for temporary files, ending in "/": $TMPDIR when set, else /tmp.
std::string TempDirectory();

// The directory of the running executable, ending in "/"; empty when it cannot be found.
std::string ExecutableDir();

// The directories searched for shipped data, in this order, each ending in "/": the current
// directory, the settings directory, "<directory of the executable>/../share/plotvue/", and the
// source tree's data directory when the program runs from a build; a directory that comes up
// twice is listed once. `exePath` is the path the
// program was started with; when it holds no "/" (found through PATH) or is empty, the running
// executable's own path is used.
std::vector<std::string> DataDirs(const std::string& exePath);

}  // namespace plotvue

#endif  // PLOTVUE_CONFIG_PATHS_H_
