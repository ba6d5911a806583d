// The user services of the window program: message boxes, questions, prompts and the open-file
// dialog with Qt's dialogs, and the progress bar of long runs.
//
// State: the parent widget of the dialogs (set once the main window exists) and, for the
// progress, the bar and the time of the last update.
#ifndef PLOTVUE_UI_QTSERVICES_H_
#define PLOTVUE_UI_QTSERVICES_H_

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <QWidget>
#include <functional>
#include <vector>

#include "base/services.h"

namespace plotvue {

class QtInteraction : public UserInteraction {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }

  void ShowError(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  std::optional<std::string> PromptText(const std::string& caption, const std::string& initial,
                                        int maxLength, int helpTopic) override;
  // `filter` is a pattern such as "*.plt" or several filters (services.h); the dialog shows
  // files whose names match in any letter case.
  std::optional<std::string> OpenFileDialog(const std::string& filter,
                                            const std::string& initialDir) override;
  std::optional<std::string> SaveFileDialog(const std::string& filter,
                                            const std::string& initialPath) override;
  std::optional<int> PromptChoice(const std::string& caption,
                                  const std::vector<std::string>& options, int preselected,
                                  int helpTopic) override;
  std::optional<bool> PromptYesNo(const std::string& question, bool defaultYes,
                                  int helpTopic) override;
  std::optional<int> ShowList(const std::string& caption, const std::vector<std::string>& lines,
                              int helpTopic) override;
  void ShowHelpText(const std::string& caption, const std::string& text) override;
  void Beep() override;
  // The filters of `filter` as the file dialog takes them: each named, its patterns in lower
  // and upper case as well.
  static QString DialogFilters(const std::string& filter);
  int ScreenWidthPx() const override;
  int ScreenHeightPx() const override;

 private:
  // The "&Aide" button's action for `topic`; none for kNoHelp or without a help service.
  std::function<void()> HelpFor(int topic);

  QPointer<QWidget> parent_;
};

// The progress of reading a file: a bar that appears for files of some size, and event
// handling at least every 50 ms so the window stays responsive.
class QtProgress : public ProgressService {
 public:
  // `panel`, when given, holds the bar and is shown and hidden with it.
  explicit QtProgress(QProgressBar* bar, QWidget* panel = nullptr) : bar_(bar), panel_(panel) {}
  // A button shown with the bar that cancels the run: `onCancel` is called when it is pressed
  // (it stops the run through the program state).
  void SetCancel(QWidget* button, std::function<void()> onCancel);
  // Starts a run; the bar appears once the file turns out to be large.
  void Start();
  void Finish();
  void Progress(std::uint64_t done, std::uint64_t total) override;

  // Files from this size on show the bar.
  static constexpr std::uint64_t kShowFrom = 4u << 20;

 private:
  QPointer<QProgressBar> bar_;
  QPointer<QWidget> panel_;
  QPointer<QWidget> cancel_;
  QElapsedTimer sinceEvents_;
  bool shown_ = false;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_QTSERVICES_H_
