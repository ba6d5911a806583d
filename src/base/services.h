// The services through which the core talks to the user: message boxes, questions, prompts and
// file dialogs. The Qt window implements them with dialogs; the batch run writes messages to
// stderr and answers questions on the terminal or with their defaults; tests record every call.
// All texts are UTF-8.
#ifndef PLOTVUE_BASE_SERVICES_H_
#define PLOTVUE_BASE_SERVICES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace plotvue {

enum class Answer { Yes, No, Cancel };

// Shows numbered help topics: the "&Aide" buttons of the input dialogs call it. The window
// implements it with the help texts and pictures; without one the buttons do nothing.
class HelpService {
 public:
  virtual ~HelpService() = default;
  virtual void ShowHelpTopic(int topic) = 0;
};

// The input dialogs take a help topic number for their "&Aide" button: 0 is the program's
// default topic, kNoHelp shows no button.
inline constexpr int kNoHelp = -1;

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;

  // A task-modal error box titled "Erreur : ".
  virtual void ShowError(const std::string& text) = 0;
  // A task-modal information box titled "Message:".
  virtual void ShowMessage(const std::string& text) = 0;
  // A Yes/No/Cancel question.
  virtual Answer AskYesNoCancel(const std::string& text) = 0;
  // A one-line text prompt showing `initial` for editing, at most `maxLength` characters (0: no
  // limit); nullopt when cancelled.
  virtual std::optional<std::string> PromptText(const std::string& caption,
                                                const std::string& initial, int maxLength,
                                                int helpTopic) = 0;
  // An open-file dialog; `filter` is a pattern such as "*.cfg", or several filters separated
  // by ";;", each a pattern or a name with its patterns in parentheses ("All files (*)"), the
  // first one chosen. nullopt when cancelled.
  virtual std::optional<std::string> OpenFileDialog(const std::string& filter,
                                                    const std::string& initialDir) = 0;

  // A save-file dialog proposing `initialPath`; nullopt when cancelled (or without a dialog).
  virtual std::optional<std::string> SaveFileDialog(const std::string& /*filter*/,
                                                    const std::string& /*initialPath*/) {
    return std::nullopt;
  }
  // One option of `options` (numbered from 1), `preselected` first chosen (a value of 0 or
  // above the count preselects 1): radio buttons for up to seven options, a list above that.
  // nullopt when cancelled. Without a dialog: the preselected option.
  virtual std::optional<int> PromptChoice(const std::string& /*caption*/,
                                          const std::vector<std::string>& options, int preselected,
                                          int /*helpTopic*/) {
    if (options.empty()) return std::nullopt;
    return preselected >= 1 && preselected <= static_cast<int>(options.size()) ? preselected : 1;
  }
  // A Yes/No question with a help button: true for Yes; nullopt when cancelled. Without a
  // dialog: `defaultYes`.
  virtual std::optional<bool> PromptYesNo(const std::string& /*question*/, bool defaultYes,
                                          int /*helpTopic*/) {
    return defaultYes;
  }
  // A list of lines to look at, one of which may be chosen: its index from 1, 0 when closed
  // without a choice, nullopt when cancelled.
  virtual std::optional<int> ShowList(const std::string& /*caption*/,
                                      const std::vector<std::string>& /*lines*/,
                                      int /*helpTopic*/) {
    return 0;
  }
  // A help text box titled `caption`; by default an information box.
  virtual void ShowHelpText(const std::string& /*caption*/, const std::string& text) {
    ShowMessage(text);
  }
  // The system's beep (nothing in batch runs).
  virtual void Beep() {}
  // Size of the screen in pixels.
  virtual int ScreenWidthPx() const { return 1280; }
  virtual int ScreenHeightPx() const { return 1024; }

  // Where the "&Aide" buttons go; not owned.
  HelpService* help = nullptr;
};

// A UserInteraction that shows nothing and answers every question with its default.
class SilentInteraction : public UserInteraction {
 public:
  void ShowError(const std::string&) override {}
  void ShowMessage(const std::string&) override {}
  Answer AskYesNoCancel(const std::string&) override { return Answer::No; }
  std::optional<std::string> PromptText(const std::string&, const std::string& initial, int,
                                        int) override {
    return initial;
  }
  std::optional<std::string> OpenFileDialog(const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

// Progress of long runs: the window's progress bar, a line on stderr in a terminal.
class ProgressService {
 public:
  virtual ~ProgressService() = default;
  // `done` bytes of `total` have been read (`total` is 0 when unknown).
  virtual void Progress(std::uint64_t done, std::uint64_t total) = 0;
};

}  // namespace plotvue

#endif  // PLOTVUE_BASE_SERVICES_H_
