// The window program: the Qt application with its main window, for a start with no parameter
// or with one file to show.
#ifndef PLOTVUE_UI_GUI_H_
#define PLOTVUE_UI_GUI_H_

#include <string>
#include <vector>

namespace plotvue {

// Reads the settings, opens the main window with the logo or, given one file, with that file's
// drawing, and runs the event loop. Returns the exit code: 0, also when the file given cannot
// be read (the reader's message has been shown).
int RunGui(int& argc, char** argv, const std::vector<std::string>& args);

}  // namespace plotvue

#endif  // PLOTVUE_UI_GUI_H_
