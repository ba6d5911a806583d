// The command line without a window: the single-file forms (`plotvue FILE /I` prints the Info
// fields, /CAD scans, /G needs a name with its extension), the usage text, and the batch
// conversion of every file that matches a pattern. Also the console services of these runs:
// messages on stderr, questions on the terminal, a progress line when stderr is a terminal.
// The batch run owns nothing beyond one call: it changes the program's settings and current
// file for that run and uses the output driver and print step it is given.
#ifndef PLOTVUE_APP_BATCH_H_
#define PLOTVUE_APP_BATCH_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/batchoptions.h"
#include "base/program.h"
#include "base/services.h"
#include "formats/shpin.h"
#include "output/driver.h"
#include "output/strokefont.h"

namespace plotvue {

// Messages go to stderr as "Erreur : <text>" or "Message: <text>"; a question is asked on the
// terminal when stdin is one, else answered with its default (No).
class ConsoleInteraction : public UserInteraction {
 public:
  explicit ConsoleInteraction(std::ostream& err);
  void ShowError(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  std::optional<std::string> PromptText(const std::string& caption, const std::string& initial,
                                        int maxLength, int helpTopic) override;
  std::optional<std::string> OpenFileDialog(const std::string& filter,
                                            const std::string& initialDir) override;
  // On a terminal the options are listed with their numbers and the answer read; elsewhere the
  // preselected option.
  std::optional<int> PromptChoice(const std::string& caption,
                                  const std::vector<std::string>& options, int preselected,
                                  int helpTopic) override;
  // On a terminal y/j/o or n; elsewhere (and for an empty answer) the default.
  std::optional<bool> PromptYesNo(const std::string& question, bool defaultYes,
                                  int helpTopic) override;

 private:
  std::ostream* err_;
};

// The progress line of a batch run on a terminal: "file k of n: NAME", then the bytes read of
// the current run, redrawn in place at most once per `interval`. Messages and questions pass
// through to `inner` after the line has been cleared, so they never run into it.
class TerminalProgress : public ProgressService, public UserInteraction {
 public:
  TerminalProgress(std::ostream& err, UserInteraction& inner,
                   std::chrono::milliseconds interval = std::chrono::milliseconds(100));

  // File `number` (from 1) of `count` is being worked on.
  void StartFile(std::size_t number, std::size_t count, const std::string& path);
  void Progress(std::uint64_t done, std::uint64_t total) override;
  // Removes the line from the terminal.
  void Clear();

  void ShowError(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  std::optional<std::string> PromptText(const std::string& caption, const std::string& initial,
                                        int maxLength, int helpTopic) override;
  std::optional<std::string> OpenFileDialog(const std::string& filter,
                                            const std::string& initialDir) override;
  std::optional<int> PromptChoice(const std::string& caption,
                                  const std::vector<std::string>& options, int preselected,
                                  int helpTopic) override;
  std::optional<bool> PromptYesNo(const std::string& question, bool defaultYes,
                                  int helpTopic) override;
  int ScreenWidthPx() const override { return inner_->ScreenWidthPx(); }
  int ScreenHeightPx() const override { return inner_->ScreenHeightPx(); }

 private:
  void Draw(bool force);

  std::ostream* err_;
  UserInteraction* inner_;
  std::chrono::milliseconds interval_;
  std::chrono::steady_clock::time_point lastDraw_{};
  bool drawn_ = false;     // a line stands on the terminal
  bool everDrawn_ = false;
  std::size_t number_ = 0;
  std::size_t count_ = 0;
  std::string path_;
  std::uint64_t done_ = 0;
  std::uint64_t total_ = 0;
};

using DriverFactory = std::function<std::unique_ptr<OutputDriver>(Program&)>;
// Prints the current file after its scan (the /G step); returns false when it failed.
using PrintStep = std::function<bool(Program&)>;

// What a batch run uses besides the program state.
struct BatchContext {
  // The output driver of the convert runs. When null, `makeDriver` makes one when /C is given.
  OutputDriver* driver = nullptr;
  DriverFactory makeDriver;
  // The /G step; empty while printing is not available.
  PrintStep print;
  // The progress line; null when stderr is not a terminal.
  TerminalProgress* progress = nullptr;
};

// The program's output driver (MakeOutputDriver) with the stroke font loaded at start-up, or
// none (labels are then written as the syntax's text).
DriverFactory DefaultDriverFactory(const StrokeFont* font = nullptr);

// The start-up part that needs no window: the program directory is the settings directory, and
// the settings are read from PLOTVUE.cfg there (a missing file leaves the built-in defaults).
void LoadStartupSettings(Program& program);

// The stroke font of a program run: loaded at start-up when "SHP laden ?" holds J, and handed to
// the output drivers.
struct StrokeFontState {
  ShpFont font;
  ErrorList errors;  // messages of the hex digit conversion
  std::unique_ptr<ShpStrokeFont> view;  // set when the font loaded

  // The font for the drivers, or null (labels are then written as the syntax's text).
  const StrokeFont* Font() const { return view.get(); }
};

// Start-up step of the stroke font: when ShpLoad is 'J', reads TXT.SHP from the data
// directories (current directory, settings directory, installed data, source tree). Returns
// false when start-up must end: the font is missing ("TXT.SHP not found." goes to `err` after
// the message) or not readable as a font.
bool LoadStartupStrokeFont(Program& program, StrokeFontState& state, const std::string& exePath,
                           std::ostream& err);

// Makes `arg` the current file. A name that does not exist as given but does with "." and the
// FileExtension setting appended is taken with that extension.
void SetCurrentFileFromArgument(Program& program, const std::string& arg);

// `plotvue FILE /I`: scans the file and prints the Info fields, one "Label: value" line each.
// Returns the exit code: 0, or 1 when the file cannot be read or not to its end (the reader's
// messages go through program.ui; the fields of what was read are printed all the same).
int RunInfoCommand(Program& program, const std::string& fileArg, std::ostream& out);

// The single-file forms that end the program at start-up before the stroke font is loaded: a
// second parameter /I (the Info fields, as RunInfoCommand), /CAD... (a scan whose exit code
// tells whether the file can be read to its end), or /G with a first parameter whose file name
// has no extension (a message, exit code 1). Returns the exit code when `args` is one of these,
// else nothing (every other command line, including FILE /E and FILE /G with an extension,
// goes on to RunCommandLine).
std::optional<int> RunSingleFileForm(Program& program, const std::vector<std::string>& args,
                                     std::ostream& out);

// The batch conversion: `args` are the pattern and the options (two or more parameters). For
// every matching file: scan, then convert with /C and print with /G. Messages go through
// program.ui, the usage text (/?) to `out`. Returns the exit code: 0 when every file was done,
// 1 for no matching file, an invalid option, or any file that could not be read, converted or
// printed.
int RunBatch(Program& program, const std::vector<std::string>& args, std::ostream& out,
             BatchContext& context);

// The per-file part of a batch run: `files` as matched, `request` as the options left it.
// Returns the exit code as RunBatch does.
int RunBatchFiles(Program& program, const std::vector<std::string>& files,
                  const BatchRequest& request, BatchContext& context);

// Handles a command line without a window (the arguments without the program name): "?", "/?"
// or "-?" show the usage text; one file prints its Info fields; with a second parameter /I,
// /CAD... or /G the single-file forms; otherwise the batch run. Returns the exit code. The first
// form uses DefaultDriverFactory() without a stroke font and no print step. Both show a
// progress line when stderr is a terminal and `context` brings none.
int RunCommandLine(Program& program, const std::vector<std::string>& args, std::ostream& out);
int RunCommandLine(Program& program, const std::vector<std::string>& args, std::ostream& out,
                   BatchContext context);

}  // namespace plotvue

#endif  // PLOTVUE_APP_BATCH_H_
