// The services through which the core talks to the user: message boxes, questions, prompts and
// file dialogs. The Qt window implements them with dialogs; the batch run writes messages to
// stderr and answers questions on the terminal or with their defaults; tests record every call.
// All texts are UTF-8.
#ifndef PLOTVUE_BASE_SERVICES_H_
#define PLOTVUE_BASE_SERVICES_H_

#include <cstdint>
#include <optional>
#include <string>

namespace plotvue {

enum class Answer { Yes, No, Cancel };

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;

  // A task-modal error box titled "Erreur : ".
  virtual void ShowError(const std::string& text) = 0;
  // A task-modal information box titled "Message:".
  virtual void ShowMessage(const std::string& text) = 0;
  // A Yes/No/Cancel question.
  virtual Answer AskYesNoCancel(const std::string& text) = 0;
  // A one-line text prompt showing `initial` for editing; nullopt when cancelled.
  virtual std::optional<std::string> PromptText(const std::string& caption,
                                                const std::string& initial,
                                                int maxLength) = 0;
  // An open-file dialog; `filter` is a pattern such as "*.cfg". nullopt when cancelled.
  virtual std::optional<std::string> OpenFileDialog(const std::string& filter,
                                                    const std::string& initialDir) = 0;
  // Size of the screen in pixels.
  virtual int ScreenWidthPx() const { return 1280; }
  virtual int ScreenHeightPx() const { return 1024; }
};

// A UserInteraction that shows nothing and answers every question with its default.
class SilentInteraction : public UserInteraction {
 public:
  void ShowError(const std::string&) override {}
  void ShowMessage(const std::string&) override {}
  Answer AskYesNoCancel(const std::string&) override { return Answer::No; }
  std::optional<std::string> PromptText(const std::string&, const std::string& initial,
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
