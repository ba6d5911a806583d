// Showing a drawing: the commands of the main window that read the current plot file and build
// the graphics window's display list through the drawing device (Open, Regen, opening a named
// file at start-up), the start-up logo, the window caption and the open dialog's filter. The
// window layer calls these and only adds its dialogs and widgets.
//
// State: none; the commands work on the program state and on the drawing device's window.
#ifndef PLOTVUE_GRAPHICS_SHOW_H_
#define PLOTVUE_GRAPHICS_SHOW_H_

#include <functional>
#include <optional>
#include <string>

#include "base/program.h"
#include "graphics/device.h"

namespace plotvue {

// The world window for a drawing: its extents, or the unit square when the extents are empty
// (a file without elements), so that such a file shows an empty window.
WorldRect DrawingLimits(const Extents& extents);

// DevSetWindow with aspect kept and inset, the whole width and the lower 95 % of the height, and
// the drawing's limits as world window.
void ExtentsToWindow(Program& program, DrawDevice& device);

// Scan and screen run of the current file: scan; ExtentsToWindow; DevSaveLimit; then, unless
// the scan failed, DevClear, DevHeader with the drawing's limits and the screen run. Returns
// false (ErrorFlag set) when the file could not be read. `waitCursors` adds the wait cursors of
// the menu commands.
bool ShowCurrentFile(Program& program, DrawDevice& device, bool waitCursors);

// Opens a named file (start-up with a file argument, recent files): the path becomes the
// current file and is shown. Returns false when it could not be read.
bool OpenNamedFile(Program& program, DrawDevice& device, const std::string& path);

// File, Open: asks for a file with the open dialog (OpenFilter of the current extension, in the
// current directory) and shows it; the directory is remembered as InPath and the base name
// becomes PlotFile. Cancel sets ErrorFlag and reads nothing. Returns true when the file was shown.
bool OpenFileCommand(Program& program, DrawDevice& device);

// The limits dialog of Open Limit: shown with the current world window, returns the four values
// entered, or nullopt when cancelled.
using LimitsPrompt = std::function<std::optional<WorldRect>(const WorldRect& current)>;

// File, Open Limit: asks for a file (as Open does), then for the world window to show it in,
// and shows the file in that window without a scan: the values go to the graphics window as
// entered (x min above x max too). The directory is remembered as InPath and the base name
// becomes PlotFile. Returns true when the file was shown; cancelling either dialog sets
// ErrorFlag and reads nothing.
bool OpenLimitCommand(Program& program, DrawDevice& device, const LimitsPrompt& askLimits);

// File, Save As: copies the current plot file byte for byte to a file chosen with the save
// dialog; the current file stays the current file. Without a readable current file it shows
// "Aucun fichier ouvert". A copy that fails (or a target that is the plot file itself) leaves
// any existing target as it was and shows why. Returns the target written, or empty.
std::string SaveAsCommand(Program& program);

// View, Regen: reads the current file again and shows the whole drawing; false when it could not.
bool RegenCommand(Program& program, DrawDevice& device);

// View, Clear: an empty window.
void ClearCommand(DrawDevice& device);

// The start-up picture: the logo in the middle of the window.
void ShowStartupLogo(DrawDevice& device);

// The main window's caption (also the application title): the product name, then "  -  " and
// the current file's base name with its extension (only the base name when it holds a ".").
std::string MainCaption(const Program& program);

// The open dialog's filters, separated by ";;", each a name with its patterns in parentheses or
// a pattern alone: first "*." and the extension (the current file's kind), then "Plot files"
// with the extensions plot files come with, then "All files".
std::string OpenFilter(const std::string& extension);

// True when there is a current file for the commands that read or describe it (Info, Regen):
// one has been named by Open or on the command line.
bool HasCurrentFile(const Program& program);

// The user closes the window while a file is read: the run ends after the command it reads
// (ErrorFlag) and no further run starts (StopRequested), so the command returns at once.
void RequestStop(Program& program);

}  // namespace plotvue

#endif  // PLOTVUE_GRAPHICS_SHOW_H_
