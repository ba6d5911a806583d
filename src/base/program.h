// The program-wide state: the settings, the error and message flags, the current file, the
// results of the last interpreter run and the values the interpreter keeps from one run to the
// next. One Program is made by main() and passed by reference to every command; tests make a
// fresh one per case.
#ifndef PLOTVUE_BASE_PROGRAM_H_
#define PLOTVUE_BASE_PROGRAM_H_

#include <cstdint>
#include <string>

#include "base/services.h"
#include "config/settings.h"

namespace plotvue {

// The drawing's extents in mm. A scan run starts from the empty box (+1e32 / -1e32).
struct Extents {
  long double xmin = 1e32L;
  long double ymin = 1e32L;
  long double xmax = -1e32L;
  long double ymax = -1e32L;

  bool Empty() const { return xmin > xmax || ymin > ymax; }
};

// The current plot file: directory, base name without extension, extension (default "plt").
struct CurrentFile {
  std::string dir;
  std::string base;
  std::string ext = "plt";

  // Directory (with a "/" appended when it does not end in one), base name, ".", extension.
  std::string Path() const;
  // Splits a path into directory, base name and extension (the text after the last "." of the
  // file name; a name without a dot keeps the extension empty).
  static CurrentFile FromPath(const std::string& path);
};

// Interpreter values that survive from one run to the next (replaced before use by PW and SC).
struct InterpreterCarry {
  long double penWidth = 0.0L;
  long double scFactorX = 0.025L;
  long double scFactorY = 0.025L;
};

struct Program {
  explicit Program(UserInteraction& ui_) : ui(&ui_) {}

  Settings settings;
  // The program-wide stop flag: an operation that fails sets it; commands clear it before they
  // start and test it after each step.
  bool ErrorFlag = false;
  // Lets the reader's error messages through (set during scan runs).
  bool MessagesEnabled = true;
  // Set when the user closes the window or cancels while a file is read: the run ends after the
  // command being read (through ErrorFlag) and no further run starts, so the command ends at
  // once. The window clears it when the command has ended (and the window stays open).
  bool StopRequested = false;

  CurrentFile file;

  // Results of the last interpreter run.
  Extents extents;
  std::int64_t ElementCount = 0;
  std::int64_t TextCount = 0;
  // Set by a run whose output failed or whose input could not be read to its end; the run
  // itself clears ErrorFlag when it ends, so callers that must report failure test this.
  bool RunFailed = false;

  InterpreterCarry carry;

  // Directory of the settings file and the history file, ending in "/".
  std::string programDir;
  // The data directory: where the window's file dialogs start after start-up. Empty until the
  // start-up directory step gives it the program directory.
  std::string dataDir;

  // Conversions of plot files of at least this many bytes read and interpret the file on a
  // second thread while this one writes the output; 0 makes every conversion do so, even on a
  // machine with one processor (tests).
  std::uint64_t ReaderThreadFrom = std::uint64_t{4} << 20;

  UserInteraction* ui;
  // Optional progress display for long runs.
  ProgressService* progress = nullptr;

  // Shows an error box when messages are enabled.
  void Error(const std::string& text) const {
    if (MessagesEnabled) ui->ShowError(text);
  }
};

}  // namespace plotvue

#endif  // PLOTVUE_BASE_PROGRAM_H_
