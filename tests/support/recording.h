// Recording fakes for the interpreter's targets and the user services: every call becomes one
// line of text with its arguments, so a test states the exact call sequence it expects.
#ifndef PLOTVUE_TESTS_SUPPORT_RECORDING_H_
#define PLOTVUE_TESTS_SUPPORT_RECORDING_H_

#include <string>
#include <vector>

#include "base/program.h"
#include "base/services.h"
#include "graphics/drawdevice.h"
#include "output/driver.h"

namespace plotvue::testing {

// Numbers in the logs: up to 10 significant digits, so 0.1 + 0.2 prints as 0.3; values
// below 1e-9 in size print as 0.
std::string Num(long double v);

class RecordingDriver : public OutputDriver {
 public:
  explicit RecordingDriver(Program& program) : program_(program) {}
  void BeginOutput(int syntaxCode, int deviceCode) override;
  void EndOutput() override { log.push_back("EndOutput"); }
  void OutRotate(long double angle) override;
  void SelectPen(int pen) override;
  void MoveTo(bool force, long double x, long double y) override;
  void DrawLine(long double x1, long double y1, long double x2, long double y2) override;
  void OutCircle(long double x, long double y, long double r) override;
  void OutArc(long double cx, long double cy, long double a1, long double a2, long double r,
              long double direction) override;
  void OutTextStyle(int kind, long double angle, long double height, long double width) override;
  void OutTextJustify(int h, int v) override;
  void LabelAt(const std::string& text, long double x, long double y) override;
  void BeginPolygon() override { log.push_back("BeginPolygon"); }
  void EndPolygon(int mode) override;
  void FillPolygon() override { log.push_back("FillPolygon"); }

  std::vector<std::string> log;
  bool failBegin = false;  // BeginOutput sets ErrorFlag
  int failBeginFrom = -1;  // BeginOutput sets ErrorFlag from this call on (0 = the first)
  int failAfterLines = -1;  // DrawLine sets ErrorFlag from this call on (0 = the first)

 private:
  Program& program_;
  int lines_ = 0;
  int begins_ = 0;
};

class RecordingDevice : public DrawingDevice {
 public:
  void DevWaitCursor() override { log.push_back("DevWaitCursor"); }
  void DevClearViewPort() override { log.push_back("DevClearViewPort"); }
  void DevSetColor(int colour) override;
  void DevLine(long double x1, long double y1, long double x2, long double y2) override;
  void DevCircle(long double x, long double y, long double radius) override;
  void DevArc(long double cx, long double cy, long double a1, long double a2,
              long double radius) override;
  void DevSetTextStyle(int font, long double direction, long double height,
                       long double width) override;
  void DevSetTextJustify(int h, int v) override;
  void DevOutText(const std::string& text, long double x, long double y) override;

  std::vector<std::string> log;
};

class RecordingInteraction : public UserInteraction {
 public:
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  Answer AskYesNoCancel(const std::string& text) override {
    questions.push_back(text);
    return answer;
  }
  std::optional<std::string> PromptText(const std::string& caption, const std::string& initial,
                                        int, int) override {
    prompts.push_back(caption + "|" + initial);
    return promptAnswer ? promptAnswer : std::optional<std::string>(initial);
  }
  std::optional<std::string> OpenFileDialog(const std::string&, const std::string&) override {
    return openAnswer;
  }
  std::optional<std::string> SaveFileDialog(const std::string&, const std::string&) override {
    return saveAnswer;
  }
  // Choices log "caption|option 1|option 2...|preselected" and answer `choiceAnswer` (the
  // preselected option when unset).
  std::optional<int> PromptChoice(const std::string& caption,
                                  const std::vector<std::string>& options, int preselected,
                                  int helpTopic) override {
    std::string line = caption;
    for (const std::string& o : options) line += "|" + o;
    choices.push_back(line + "|" + std::to_string(preselected));
    if (choiceAnswer) return choiceAnswer;
    return UserInteraction::PromptChoice(caption, options, preselected, helpTopic);
  }
  std::optional<bool> PromptYesNo(const std::string& question, bool defaultYes, int) override {
    questions.push_back(question);
    return yesNoAnswer ? yesNoAnswer : std::optional<bool>(defaultYes);
  }
  void ShowHelpText(const std::string& caption, const std::string& text) override {
    helpTexts.push_back(caption + "|" + text);
  }
  void Beep() override { ++beeps; }

  std::vector<std::string> errors, messages, questions, prompts, choices, helpTexts;
  Answer answer = Answer::No;
  std::optional<std::string> promptAnswer;
  std::optional<std::string> openAnswer;
  std::optional<std::string> saveAnswer;
  std::optional<int> choiceAnswer;
  std::optional<bool> yesNoAnswer;
  int beeps = 0;
};

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_SUPPORT_RECORDING_H_
