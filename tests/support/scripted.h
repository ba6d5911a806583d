// A user service that answers from scripts: each prompt kind takes the next answer of its own
// queue (a missing answer is Cancel), and every prompt is logged as "kind caption [topic]", so
// a test states the exact order of the prompts of a sequence.
#ifndef PLOTVUE_TESTS_SUPPORT_SCRIPTED_H_
#define PLOTVUE_TESTS_SUPPORT_SCRIPTED_H_

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "support/recording.h"

namespace plotvue::testing {

class ScriptedInteraction : public RecordingInteraction {
 public:
  std::optional<std::string> PromptText(const std::string& caption, const std::string& initial,
                                        int maxLength, int helpTopic) override {
    log.push_back("text " + caption + " [" + std::to_string(helpTopic) + "] " + initial + " <" +
                  std::to_string(maxLength) + ">");
    return Next(texts, initial);
  }
  std::optional<int> PromptChoice(const std::string& caption,
                                  const std::vector<std::string>& options, int preselected,
                                  int helpTopic) override {
    log.push_back("choice " + caption + " [" + std::to_string(helpTopic) + "] " +
                  std::to_string(options.size()) + " @" + std::to_string(preselected));
    lastOptions = options;
    int fallback = preselected >= 1 && preselected <= static_cast<int>(options.size()) ? preselected : 1;
    return Next(choices, fallback);
  }
  std::optional<bool> PromptYesNo(const std::string& question, bool defaultYes,
                                  int helpTopic) override {
    log.push_back("yesno " + question + " [" + std::to_string(helpTopic) + "] " +
                  (defaultYes ? "J" : "N"));
    return Next(yesNos, defaultYes);
  }
  Answer AskYesNoCancel(const std::string& text) override {
    log.push_back("question " + text);
    return RecordingInteraction::AskYesNoCancel(text);
  }

  // Scripts: an element holding nullopt cancels; when a queue is empty the prompt is taken as
  // confirmed with its preset (`acceptDefaults`) or cancelled.
  std::deque<std::optional<std::string>> texts;
  std::deque<std::optional<int>> choices;
  std::deque<std::optional<bool>> yesNos;
  bool acceptDefaults = true;
  // The prompt (counted from 0 over all kinds) that is cancelled whatever the scripts say.
  int cancelAt = -1;
  std::vector<std::string> log;
  std::vector<std::string> lastOptions;

 private:
  template <typename T, typename Q>
  std::optional<T> Next(Q& queue, T fallback) {
    if (static_cast<int>(log.size()) - 1 == cancelAt) return std::nullopt;
    if (queue.empty()) return acceptDefaults ? std::optional<T>(fallback) : std::nullopt;
    std::optional<T> answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_SUPPORT_SCRIPTED_H_
