// The window's start-up and closing steps that need no window: the directory settings checked
// at start-up (with their messages and the prompt for a new temporary directory), and the
// deletion of the temporary files when the window closes. The history file and the window
// memory that start-up reads are in recent.h.
//
// Stateless: the functions work on the Program they are given and talk to the user through
// Program::ui.
#ifndef PLOTVUE_APP_STARTUP_H_
#define PLOTVUE_APP_STARTUP_H_

#include <string>

#include "base/program.h"

namespace plotvue {

// The prompt for a new temporary directory, and its longest answer.
inline constexpr const char* kTempDirPrompt = "Annuaire provisoire";
inline constexpr int kTempDirPromptLength = 60;

// The start-up step "directories": clears ErrorFlag and sets MessagesEnabled; an empty TempDir
// takes the temporary directory ($TMPDIR, else /tmp); empty DbfDir, HelpImageDir (PLT), EdiDir
// and Program::dataDir take the program directory, which is created when it does not exist yet
// (a first start has saved nothing there). Then each directory is tested, in this order, and an
// invalid one reported through program.ui: "non valide CAD Annuaire configuré", "... DBF ...",
// "... PLT ...", "non valide Annuaire provisoire configuré", "... EDI ...", "... Data ...".
// The temporary directory must take new files, the others must exist (an empty CadDir is the
// current directory). For an invalid temporary directory the user is asked for a new one (text
// prompt "Annuaire provisoire", at most 60 characters, proposing the old value); a non-blank
// answer becomes TempDir, a cancel keeps it.
void CheckStartupDirectories(Program& program);

// True for a file name of the form "$*.dx$" (the extension in either letter case).
bool IsTemporaryFileName(const std::string& name);

// Closing: deletes every file (plain file or symbolic link, never a directory) named "$*.dx$" in
// the temporary directory (TempDir, or the system's when it is empty). Other files stay.
void DeleteTemporaryFiles(const Program& program);

}  // namespace plotvue

#endif  // PLOTVUE_APP_STARTUP_H_
