// The one output channel of a conversion (a file or a port) and the two writing operations of
// the driver frame. Every writer of an output syntax writes through a TextOut.
#ifndef PLOTVUE_OUTPUT_CHANNEL_H_
#define PLOTVUE_OUTPUT_CHANNEL_H_

#include <string>
#include <string_view>

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
class TextOut {
 public:
  TextOut(OutputChannel& channel, bool& errorFlag) : channel_(&channel), errorFlag_(&errorFlag) {}

  // Writes s without a line end and flushes the channel (a plotter gets each command at once).
  void WriteText(std::string_view s) {
    if (!channel_->Write(s) || !channel_->Flush()) *errorFlag_ = true;
  }
  // Writes s and CR LF.
  void WriteLine(std::string_view s) {
    if (!channel_->Write(s) || !channel_->Write("\r\n")) *errorFlag_ = true;
  }

  OutputChannel& channel() { return *channel_; }
  bool& errorFlag() { return *errorFlag_; }

 private:
  OutputChannel* channel_;
  bool* errorFlag_;
};

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_CHANNEL_H_
