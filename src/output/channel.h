// The one output channel of a conversion (a file or a port) and the two writing operations of
// the driver frame. Every writer of an output syntax writes through a TextOut.
#ifndef PLOTVUE_OUTPUT_CHANNEL_H_
#define PLOTVUE_OUTPUT_CHANNEL_H_

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace plotvue {

class OutputChannel {
 public:
  virtual ~OutputChannel() = default;
  // Appends the bytes to the channel; false when the write failed.
  virtual bool Write(std::string_view bytes) = 0;
  // Pushes buffered bytes to the device; false when that failed. A port flushes after every
  // command; a file only when it is closed.
  virtual bool Flush() = 0;
};

// A channel that keeps everything in memory (tests, and the IGES parameter section).
class StringChannel : public OutputChannel {
 public:
  bool Write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  bool Flush() override { return true; }
  std::string text;
};

// WriteText and WriteLine of the driver frame: a failed write sets the error flag and writing
// goes on. Lines end in CR LF.
//
// A port takes each command at once (the default). A file is staged: the writes collect in a
// buffer of TextOut's own that reaches the channel in blocks of kStageSize, so that the tens of
// millions of short writes of a large conversion cost a copy each and no call into the channel.
// A failed block sets the error flag when it is handed on; Drain hands on the rest before the
// output is closed.
class TextOut {
 public:
  static constexpr std::size_t kStageSize = 512 * 1024;

  TextOut(OutputChannel& channel, bool& errorFlag) : channel_(&channel), errorFlag_(&errorFlag) {}
  TextOut(const TextOut&) = delete;
  TextOut& operator=(const TextOut&) = delete;

  // Writes s without a line end and flushes the channel (a plotter gets each command at once).
  void WriteText(std::string_view s) {
    if (Stage(s)) return;
    if (!channel_->Write(s) || !channel_->Flush()) *errorFlag_ = true;
  }
  // Writes s and CR LF.
  void WriteLine(std::string_view s) {
    if (Stage(s) && Stage("\r\n")) return;
    if (!channel_->Write(s) || !channel_->Write("\r\n")) *errorFlag_ = true;
  }
  // WriteLine of a text whose CR LF the caller has already put at its end (the writers' most
  // frequent lines, built on the stack in one piece).
  void WriteEndedLine(std::string_view line) {
    if (Stage(line)) return;
    if (!channel_->Write(line)) *errorFlag_ = true;
  }

  // A text built in place: Begin returns where to build a text of at most `n` bytes (in the
  // stage, when writes are staged, else at `fallback`, which has that room); End writes the text
  // [begin, end) as WriteText does, EndLine as a line (its CR LF added). A text that is begun
  // and not ended is dropped.
  char* Begin(std::size_t n, char* fallback) {
    if (!staged_ || n > stage_.size()) return fallback;
    if (n > static_cast<std::size_t>(end_ - next_)) Drain();
    return next_;
  }
  void End(char* begin, char* end) {
    if (staged_ && begin == next_) {
      next_ = end;
    } else {
      WriteText(std::string_view(begin, static_cast<std::size_t>(end - begin)));
    }
  }
  void EndLine(char* begin, char* end) {
    *end++ = '\r';
    *end++ = '\n';
    if (staged_ && begin == next_) {
      next_ = end;
    } else {
      WriteEndedLine(std::string_view(begin, static_cast<std::size_t>(end - begin)));
    }
  }

  // Stages the writes from now on (true) or passes each one on at once (false). Staged bytes
  // are handed on first.
  void SetStaged(bool staged) {
    Drain();
    if (staged && stage_.empty()) stage_.resize(kStageSize);
    staged_ = staged;
    next_ = stage_.data();
    end_ = staged ? stage_.data() + stage_.size() : stage_.data();
  }
  // Hands the staged bytes to the channel. False, with the error flag set, when that failed.
  bool Drain() {
    if (next_ == stage_.data()) return true;
    const std::size_t n = static_cast<std::size_t>(next_ - stage_.data());
    next_ = stage_.data();
    if (channel_->Write(std::string_view(stage_.data(), n))) return true;
    *errorFlag_ = true;
    return false;
  }
  // Drops the staged bytes (an output that is abandoned).
  void Discard() { next_ = stage_.data(); }

  OutputChannel& channel() { return *channel_; }
  bool& errorFlag() { return *errorFlag_; }

 private:
  // Copies s into the stage; false when writes are not staged. A full stage is handed on first.
  bool Stage(std::string_view s) {
    if (!staged_) return false;
    if (s.size() > static_cast<std::size_t>(end_ - next_)) {
      Drain();
      if (s.size() > stage_.size()) {
        if (!channel_->Write(s)) *errorFlag_ = true;
        return true;
      }
    }
    CopyShort(next_, s.data(), s.size());
    next_ += s.size();
    return true;
  }

  // memcpy, with the short texts of single commands copied inline by two overlapping moves
  // rather than by a library call.
  static void CopyShort(char* to, const char* from, std::size_t n) {
    if (n >= 8 && n <= 16) {
      std::memcpy(to, from, 8);
      std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n > 16 && n <= 32) {
      std::memcpy(to, from, 16);
      std::memcpy(to + n - 16, from + n - 16, 16);
    } else if (n >= 4 && n < 8) {
      std::memcpy(to, from, 4);
      std::memcpy(to + n - 4, from + n - 4, 4);
    } else {
      std::memcpy(to, from, n);
    }
  }

  OutputChannel* channel_;
  bool* errorFlag_;
  bool staged_ = false;
  std::vector<char> stage_;
  char* next_ = nullptr;  // end of the staged bytes
  char* end_ = nullptr;   // end of the room for them (next_ when writes are not staged)
};

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_CHANNEL_H_
