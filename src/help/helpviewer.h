// Showing help topics: the help box with a topic's text and its help picture in the graphics
// window. The "&Aide" buttons of the dialogs reach it through HelpService (the window sets
// `program.ui->help` to its HelpViewer); the help menu and the settings dialogs call
// ShowHelpTopic with a mode.
//
// State: the default topic (0 at start; topic 0 stands for it) and the help-picture reader's
// state, both for the life of the viewer. The help files are read on every call.
#ifndef PLOTVUE_HELP_HELPVIEWER_H_
#define PLOTVUE_HELP_HELPVIEWER_H_

#include <string>
#include <vector>

#include "base/program.h"
#include "base/services.h"
#include "graphics/device.h"
#include "help/helppic.h"

namespace plotvue {

// What ShowHelpTopic shows.
enum class HelpMode : int { TextAndPicture = 0, TextOnly = 1, PictureOnly = 2 };

class HelpViewer : public HelpService {
 public:
  // `dataDirs` are the shipped data directories (DataDirs()) whose "help/" folders hold the help
  // files when the configured help image directory does not. The program and the device must
  // outlive the viewer.
  HelpViewer(Program& program, DrawDevice& device, std::vector<std::string> dataDirs)
      : program_(program), device_(device), dataDirs_(std::move(dataDirs)) {}

  // Shows topic `topic` (0: the default topic). The help text file is "tavolin.hlp" below 4000,
  // else "plotvue.hlp", in the help directory (HelpDir). The text goes to
  // program.ui->ShowHelpText with the caption "TEXTE D'AIDE No.<topic>" (modes 0 and 1); a
  // picture named on the topic's key line (not empty, not "NULL") is drawn in modes 0 and 2:
  // DevClear, DevHeader(0, 0, 160, 120), then the picture file <help directory><name>.plt.
  // A topic without a picture leaves the graphics window as it is. The caller's ErrorFlag is
  // the same afterwards: help never stops or resumes the command that asked for it.
  void ShowHelpTopic(int topic, HelpMode mode);
  // The "&Aide" buttons: text and picture.
  void ShowHelpTopic(int topic) override { ShowHelpTopic(topic, HelpMode::TextAndPicture); }

  void SetDefaultTopic(int topic) { defaultTopic_ = topic; }
  int DefaultTopic() const { return defaultTopic_; }
  // The default topic's text only.
  void ShowDefaultTopic() { ShowHelpTopic(defaultTopic_, HelpMode::TextOnly); }

 private:
  Program& program_;
  DrawDevice& device_;
  std::vector<std::string> dataDirs_;
  int defaultTopic_ = 0;
  HelpPictureState picture_;
};

}  // namespace plotvue

#endif  // PLOTVUE_HELP_HELPVIEWER_H_
