// What the main window keeps across runs: the four recent files with their menu captions, the
// history file plotvue.cff that holds them with the last used plot-file directory, and the
// window memory plotvue.ui (the chosen menu language and the window's geometry). Both files live
// in the settings directory (Program::programDir), have CR LF lines and are replaced atomically
// when written; a missing or damaged file reads as empty or as the defaults, never as an error.
//
// RecentFiles is a plain value owned by the main window; the functions keep no state.
#ifndef PLOTVUE_APP_RECENT_H_
#define PLOTVUE_APP_RECENT_H_

#include <array>
#include <cstddef>
#include <string>

#include "app/captions.h"
// The start-up and closing steps that go with these files.
#include "app/startup.h"
#include "base/program.h"

namespace plotvue {

inline constexpr int kRecentFileCount = 4;
// Recent paths of this many characters or more are shortened in their menu captions.
inline constexpr std::size_t kRecentCaptionShortenFrom = 50;

// The four recent files of the File menu.
struct RecentFiles {
  // Full paths, entry 0 the newest ("&1" in the menu); an empty text is an empty entry.
  std::array<std::string, kRecentFileCount> entries;

  // Puts `path` at the top: every entry equal to it ignoring letter case goes, the others move
  // down in their order (empty entries close up), and the oldest falls off when all four are
  // taken. An empty path changes nothing.
  void Add(const std::string& path);
  // Removes entry `index` (0..3): the later entries move up, the last becomes empty. Other
  // indexes change nothing.
  void Remove(int index);
};

// The menu caption of recent entry `index` (0..3): "&" + (index + 1) + " " + path. A path of 50
// characters (UTF-8 code points) or more is shown as its part up to and including the first
// "/", "...", and its part from the last "/" on; a path whose first "/" is its last stays whole.
std::string RecentCaption(int index, const std::string& path);

// File names of the two files in the settings directory.
inline constexpr const char* kHistoryFileName = "plotvue.cff";
inline constexpr const char* kWindowMemoryFileName = "plotvue.ui";
// The history file's first line: this text and the last used plot-file directory.
inline constexpr const char* kHistorySessionPrefix = "plotvue Session ";

// programDir + "plotvue.cff".
std::string HistoryPath(const Program& program);

// Reads the history file: the first line ("plotvue Session " + directory) and then the four
// recent files, newest first. A file that is missing, a directory, not text, too large, without
// that first line or with fewer than five lines leaves all four entries empty (and `lastDir`
// empty).
void ReadHistory(const std::string& path, RecentFiles& recent);
void ReadHistory(const std::string& path, RecentFiles& recent, std::string& lastDir);

// The exact bytes of the history file: five lines, each ended by CR LF. A path that holds a
// control character (a CR or LF would break the lines) or is longer than 4096 bytes is written
// as an empty entry (an empty directory), so that the file always reads back.
std::string HistoryText(const std::string& lastDir, const RecentFiles& recent);

// Writes the history file atomically (creating the settings directory when it is missing).
// Returns false when it could not be written; the previous file then stays as it was.
bool WriteHistory(const std::string& path, const std::string& lastDir, const RecentFiles& recent);

// The window memory: the menu language chosen last (the first start is French) and the
// window's position and size.
struct WindowMemory {
  int language = kFrench;
  bool hasGeometry = false;
  int x = 0, y = 0, width = 0, height = 0;
};

// programDir + "plotvue.ui".
std::string WindowMemoryPath(const Program& program);

// The file's bytes: "Language=n", and when hasGeometry "X=", "Y=", "Width=", "Height=", each
// line ended by CR LF.
std::string WindowMemoryText(const WindowMemory& memory);

// Parses the file's text. Lines of other keys are passed over. A language that is no menu
// language gives French; the geometry counts only when all four values are whole numbers within
// +-1000000 and the width and height are at least 1. Text that holds a NUL byte, or no line
// of the form Key=value, gives the defaults.
WindowMemory ParseWindowMemory(const std::string& text);

// Reads programDir + "plotvue.ui"; a missing, unreadable, oversized or damaged file gives the
// defaults.
WindowMemory ReadWindowMemory(const Program& program);

// Writes programDir + "plotvue.ui" atomically (creating the settings directory when it is
// missing). Returns false when it could not be written.
bool WriteWindowMemory(const Program& program, const WindowMemory& memory);

}  // namespace plotvue

#endif  // PLOTVUE_APP_RECENT_H_
