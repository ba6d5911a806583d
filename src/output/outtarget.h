// Where a conversion's bytes go: a file, or a parallel or serial port. The driver frame opens one
// target per output in BeginOutput and ends it in EndOutput.
//
// A file is written under a temporary name in the target's directory through a large buffer and
// renamed over the target name only when the output ends well, so a failed or abandoned
// conversion leaves the previous file (or none) under the target name, never a partial one. A
// port gets every command at once: its buffer is pushed out at each line end and at each Flush,
// and closing it waits until the device has taken everything. A serial port runs with the flow
// control of its PortOptions, and a port that takes no byte for the options' stall time (a
// plotter switched off, a handshake line never raised) ends the output with a failure instead of
// hanging the program.
//
// State: each target owns its descriptor and buffer from Open to Close or Abandon; the destructor
// abandons a target that is still open.
#ifndef PLOTVUE_OUTPUT_OUTTARGET_H_
#define PLOTVUE_OUTPUT_OUTTARGET_H_

#include <termios.h>

#include <cerrno>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "output/channel.h"

namespace plotvue {

// Flow control of a serial line: the plotter holds the sender with its CTS line (Hardware) or
// with XOFF and XON characters (XonXoff), or not at all.
enum class SerialFlow { Hardware, XonXoff, None };

// How a port is driven: the serial flow control, and how long a write or the final drain may
// make no progress before the job ends with a failure.
struct PortOptions {
  SerialFlow flow = SerialFlow::Hardware;
  int stallMs = 30000;
};

// The options of the serial port COM`number` (and of the parallel ports, which use only the
// stall time): $PLOTVUE_COM<n>_FLOW ("rtscts", "xonxoff" or "none"; default rtscts) and
// $PLOTVUE_PORT_TIMEOUT (whole seconds, default 30).
PortOptions PortOptionsFromEnvironment(int comNumber);

// The errno value of a port that made no progress for the stall time.
inline constexpr int kPortStalled = ETIMEDOUT;

// Writes the whole block to the port `fd` (blocking or not), waiting while the device holds the
// line, across short writes and interruptions. 0, or the error number: kPortStalled when
// nothing could be written for `stallMs`.
int WritePort(int fd, const char* data, std::size_t size, int stallMs);

// Waits until a terminal has sent out everything written to it; the wait ends with kPortStalled
// when its output queue does not shrink for `stallMs`. 0 for other files at once.
int DrainPort(int fd, int stallMs);

// Opens the device `path` for writing, without waiting for a modem line, and locks it for this
// job: a port that another program (or another job of ours) holds is refused as busy (EBUSY).
// With `serial` and a terminal, applies the line settings and the flow control. The descriptor
// stays non-blocking (WritePort waits with the stall time). -1 with errno on failure.
int OpenPort(const std::string& path, bool serial, const Settings& settings,
             const PortOptions& options);

class OutputTarget : public OutputChannel {
 public:
  ~OutputTarget() override = default;

  // Pushes out what is buffered and closes; a file is then renamed into place. False when any
  // write, the close or the rename failed (the target then keeps no partial output).
  virtual bool Close() = 0;
  // Ends the output without keeping it: a file's temporary is removed, a port is closed.
  virtual void Abandon() = 0;

  // True after the first failed write; every later write fails too.
  bool failed() const { return failed_; }
  // Why the first write failed (the system's error text).
  const std::string& reason() const { return reason_; }
  // Called once, at the first failure, with the reason.
  void SetFailureHandler(std::function<void(const std::string&)> handler) {
    onFailure_ = std::move(handler);
  }

 protected:
  // Records a failure with the error number `err` and calls the handler the first time.
  void Fail(int err);
  void Fail(const std::string& reason);

 private:
  bool failed_ = false;
  std::string reason_;
  std::function<void(const std::string&)> onFailure_;
};

// Why FileTarget::Open refuses a target that is the file being read.
inline constexpr char kSameFileMessage[] =
    "filename for source and destination must be different !";

class FileTarget final : public OutputTarget {
 public:
  // Size of the write buffer: output reaches the disk in blocks of this size.
  static constexpr std::size_t kBufferSize = 512 * 1024;

  FileTarget() = default;
  ~FileTarget() override;
  FileTarget(const FileTarget&) = delete;
  FileTarget& operator=(const FileTarget&) = delete;

  // Creates the temporary file for the output named `target`. Refused (false, `*error` says
  // why) when the target exists and is not a regular file, when it is the same file as
  // `inputPath` (same device and inode, so links and other spellings are caught), or when no
  // file can be created in its directory (the same-file refusal gives kSameFileMessage). A
  // symbolic link at `target` is written through to the file it names; an existing target keeps
  // its permission bits.
  bool Open(const std::string& target, const std::string& inputPath, std::string* error);

  bool Write(std::string_view bytes) override;
  // Files are pushed out in large blocks and at Close only: a flush after every command would
  // cost a system call each.
  bool Flush() override { return !failed(); }
  bool Close() override;
  void Abandon() override;

  // An output whose end must wait (its last lines need what is known only later) is put aside:
  // Suspend pushes out what is buffered and closes the descriptor, keeping the temporary file
  // and not renaming it; Resume opens the temporary again to append. Close and Abandon then end
  // it as any other. False when a write, the close or the reopening failed (the target has then
  // failed; Abandon removes the temporary).
  bool Suspend();
  bool Resume();

  // The name the output gets when it is closed, and the temporary it is written under.
  const std::string& target() const { return target_; }
  const std::string& temporary() const { return temporary_; }

 private:
  bool WriteOut(const char* data, std::size_t size);

  int fd_ = -1;
  std::string target_;
  std::string temporary_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

class PortTarget final : public OutputTarget {
 public:
  PortTarget() = default;
  ~PortTarget() override;
  PortTarget(const PortTarget&) = delete;
  PortTarget& operator=(const PortTarget&) = delete;

  // Opens the device at `path` for writing. With `serial` set and a terminal device, the line
  // parameters of the settings (BaudRateCode, DataBitsCode, StopBits, ParityCode) are applied
  // in raw mode. A regular file at `path` (a port redirected for tests) is truncated. False,
  // with `*error`, when the device cannot be opened or configured.
  bool Open(const std::string& path, bool serial, const Settings& settings, std::string* error,
            const PortOptions& options = PortOptions{});

  // Bytes are collected until a line end (or Flush), then written at once.
  bool Write(std::string_view bytes) override;
  bool Flush() override;
  // Pushes out the rest and waits until the device has sent it (tcdrain) before closing.
  bool Close() override;
  void Abandon() override;

 private:
  int fd_ = -1;
  bool tty_ = false;
  int stallMs_ = 30000;
  std::string buffer_;
};

// The device path of the parallel port LPT`number` (1..4): $PLOTVUE_LPT<n> when set and not
// empty, else /dev/usb/lp<n-1> when it exists, else /dev/lp<n-1>. Empty for other numbers.
std::string LptDevicePath(int number);

// The device path of the serial port COM`number` (1..4): $PLOTVUE_COM<n> when set and not empty,
// else /dev/ttyS<n-1>. Empty for other numbers.
std::string ComDevicePath(int number);

// Sets the serial line settings in `tio`, in raw mode: baud rate code 1..8 (110, 150, 300, 600,
// 1200, 2400, 4800, 9600; other codes give 9600), data bits code 1 = 7 bits else 8, stop bits 2
// or else 1, parity code 2 odd, 3 even, else none; the modem lines are ignored. With `flow`
// Hardware the output waits for CTS (CRTSCTS), with XonXoff it stops at XOFF and goes on at XON
// (IXON, and IXOFF for what the plotter sends); the two-argument form sets no flow control.
void SetSerialTermios(const Settings& settings, termios& tio);
void SetSerialTermios(const Settings& settings, termios& tio, SerialFlow flow);

// Applies SetSerialTermios to the terminal `fd`. False with `*error` when the terminal refuses.
bool ApplySerialSettings(int fd, const Settings& settings, std::string* error,
                         SerialFlow flow = SerialFlow::None);

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_OUTTARGET_H_
