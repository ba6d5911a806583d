// The command line without a window: the single-file info form (`plotvue FILE /I`), the usage
// text, and the console services of batch runs (messages on stderr, questions on the terminal).
#ifndef PLOTVUE_APP_BATCH_H_
#define PLOTVUE_APP_BATCH_H_

#include <iosfwd>
#include <string>
#include <vector>

#include "base/program.h"
#include "base/services.h"

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
                                        int maxLength) override;
  std::optional<std::string> OpenFileDialog(const std::string& filter,
                                            const std::string& initialDir) override;

 private:
  std::ostream* err_;
};

// The start-up part that needs no window: the program directory is the settings directory, and
// the settings are read from PLOTVUE.cfg there (a missing file leaves the built-in defaults).
void LoadStartupSettings(Program& program);

// Makes `arg` the current file. A name that does not exist as given but does with "." and the
// FileExtension setting appended is taken with that extension.
void SetCurrentFileFromArgument(Program& program, const std::string& arg);

// `plotvue FILE /I`: scans the file and prints the Info fields, one "Label: value" line each.
// Returns the exit code: 0, or 1 when the file cannot be read (the reader's messages go through
// program.ui).
int RunInfoCommand(Program& program, const std::string& fileArg, std::ostream& out);

// Handles a command line without a window (the arguments without the program name). Returns the
// exit code.
int RunCommandLine(Program& program, const std::vector<std::string>& args, std::ostream& out);

}  // namespace plotvue

#endif  // PLOTVUE_APP_BATCH_H_
