#include "output/outtarget.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <thread>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include "base/fileutil.h"

namespace plotvue {
namespace {

std::string ErrorText(int err) { return std::strerror(err); }

// write(2) of the whole block, across short writes and interruptions. 0 or the error number.
int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// The file name part of `path` (after its last "/").
std::string FileNamePart(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void OutputTarget::Fail(int err) { Fail(ErrorText(err)); }

void OutputTarget::Fail(const std::string& reason) {
  if (failed_) return;
  failed_ = true;
  reason_ = reason;
  if (onFailure_) onFailure_(reason_);
}

// --- FileTarget ------------------------------------------------------------------------------

FileTarget::~FileTarget() { Abandon(); }

bool FileTarget::Open(const std::string& target, const std::string& inputPath, std::string* error) {
  auto refuse = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  if (target.empty()) return refuse("no file name");

  std::string real = target;
  struct stat link {};
  bool exists = false;
  struct stat st {};
  if (::lstat(target.c_str(), &link) == 0) {
    if (S_ISLNK(link.st_mode)) {
      char resolved[PATH_MAX];
      if (::realpath(target.c_str(), resolved) == nullptr) {
        return refuse(target + ": " + ErrorText(errno));
      }
      real = resolved;
    }
    if (::stat(real.c_str(), &st) == 0) {
      exists = true;
      if (!S_ISREG(st.st_mode)) return refuse(target + " is not a regular file");
    }
  }
  if (exists && !inputPath.empty()) {
    struct stat in {};
    if (::stat(inputPath.c_str(), &in) == 0 && in.st_dev == st.st_dev && in.st_ino == st.st_ino) {
      return refuse(kSameFileMessage);
    }
  }

  // A unique name beside the target, so that the final rename stays within one file system.
  std::string dir = DirectoryPart(real);
  std::string stem = dir + "." + FileNamePart(real) + ".";
  std::random_device random;
  std::uniform_int_distribution<unsigned> digits(0, 0xFFFFFF);
  int fd = -1;
  std::string name;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%06x", digits(random));
    name = stem + suffix + ".tmp";
    fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return refuse(target + ": " + ErrorText(errno));
  if (exists) (void)::fchmod(fd, st.st_mode & 07777);

  fd_ = fd;
  target_ = real;
  temporary_ = name;
  buffer_.resize(kBufferSize);
  used_ = 0;
  return true;
}

bool FileTarget::WriteOut(const char* data, std::size_t size) {
  if (failed()) return false;
  if (fd_ < 0) {
    Fail(EBADF);
    return false;
  }
  int err = WriteAll(fd_, data, size);
  if (err != 0) {
    Fail(err);
    return false;
  }
  return true;
}

bool FileTarget::Write(std::string_view bytes) {
  if (failed()) return false;
  // The driver hands its staged output on in blocks nearly as large as the buffer: those go
  // to the file at once rather than through a second copy.
  if (used_ == 0 && bytes.size() >= buffer_.size() / 2) return WriteOut(bytes.data(), bytes.size());
  if (bytes.size() > buffer_.size() - used_) {
    if (used_ > 0 && !WriteOut(buffer_.data(), used_)) return false;
    used_ = 0;
    if (bytes.size() >= buffer_.size()) return WriteOut(bytes.data(), bytes.size());
  }
  std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
  return true;
}

bool FileTarget::Close() {
  bool ok = Suspend();
  if (ok && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
    ok = false;
  }
  if (!ok && !temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  return ok;
}

bool FileTarget::Suspend() {
  if (fd_ < 0) return false;
  bool ok = !failed();
  if (ok && used_ > 0) ok = WriteOut(buffer_.data(), used_);
  used_ = 0;
  if (::close(fd_) != 0 && ok) {
    Fail(errno);
    ok = false;
  }
  fd_ = -1;
  std::vector<char>().swap(buffer_);
  return ok;
}

bool FileTarget::Resume() {
  if (fd_ >= 0 || temporary_.empty() || failed()) return false;
  fd_ = ::open(temporary_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd_ < 0) {
    Fail(errno);
    return false;
  }
  buffer_.resize(kBufferSize);
  used_ = 0;
  return true;
}

void FileTarget::Abandon() {
  if (fd_ < 0 && temporary_.empty()) return;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  ::unlink(temporary_.c_str());
  temporary_.clear();
  used_ = 0;
  std::vector<char>().swap(buffer_);
}

// --- Ports ---------------------------------------------------------------------------------

int WritePort(int fd, const char* data, std::size_t size, int stallMs) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n > 0) {
      data += n;
      size -= static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
      // The device holds the line (flow control, a full buffer): wait until it takes more.
      struct pollfd pfd {fd, POLLOUT, 0};
      int ready = ::poll(&pfd, 1, stallMs);
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0) return errno;
      if (ready == 0) return kPortStalled;
      if ((pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 && (pfd.revents & POLLOUT) == 0)
        return EIO;
      continue;
    }
    return errno;
  }
  return 0;
}

int DrainPort(int fd, int stallMs) {
  if (::isatty(fd) != 1) return 0;
  using Clock = std::chrono::steady_clock;
  int last = -1;
  Clock::time_point since = Clock::now();
  for (;;) {
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0) break;  // no queue to watch: tcdrain alone
    if (queued <= 0) break;
    if (last < 0 || queued < last) {
      last = queued;
      since = Clock::now();
    } else if (Clock::now() - since >= std::chrono::milliseconds(stallMs)) {
      return kPortStalled;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  while (::tcdrain(fd) != 0) {
    if (errno != EINTR) return errno == ENOTTY ? 0 : errno;
  }
  return 0;
}

int OpenPort(const std::string& path, bool serial, const Settings& settings,
             const PortOptions& options) {
  if (path.empty()) {
    errno = ENOENT;
    return -1;
  }
  int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  auto fail = [fd](int err) {
    ::close(fd);
    errno = err;
    return -1;
  };
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (!regular) {
    // One job at a time on a device: a second one would interleave its bytes with ours.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno == EWOULDBLOCK ? EBUSY : errno);
  } else {
    (void)::ftruncate(fd, 0);  // a port redirected to a file for tests
  }
  if (serial && ::isatty(fd) == 1) {
    std::string error;
    if (!ApplySerialSettings(fd, settings, &error, options.flow)) return fail(errno ? errno : EIO);
  }
  return fd;
}

namespace {

SerialFlow FlowFromText(const char* text) {
  if (text == nullptr) return SerialFlow::Hardware;
  std::string t;
  for (const char* c = text; *c; ++c) t += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  if (t == "xonxoff" || t == "xon" || t == "xon/xoff") return SerialFlow::XonXoff;
  if (t == "none" || t == "off") return SerialFlow::None;
  return SerialFlow::Hardware;
}

}  // namespace

PortOptions PortOptionsFromEnvironment(int comNumber) {
  PortOptions options;
  if (comNumber >= 1 && comNumber <= 4) {
    std::string name = "PLOTVUE_COM" + std::to_string(comNumber) + "_FLOW";
    options.flow = FlowFromText(std::getenv(name.c_str()));
  }
  if (const char* timeout = std::getenv("PLOTVUE_PORT_TIMEOUT")) {
    char* end = nullptr;
    long seconds = std::strtol(timeout, &end, 10);
    if (end != timeout && *end == '\0' && seconds > 0 && seconds <= 24 * 3600)
      options.stallMs = static_cast<int>(seconds * 1000);
  }
  return options;
}

// --- PortTarget ------------------------------------------------------------------------------

PortTarget::~PortTarget() { Abandon(); }

bool PortTarget::Open(const std::string& path, bool serial, const Settings& settings,
                      std::string* error, const PortOptions& options) {
  if (path.empty()) {
    if (error) *error = "no such port";
    return false;
  }
  int fd = OpenPort(path, serial, settings, options);
  if (fd < 0) {
    if (error) *error = path + ": " + ErrorText(errno);
    return false;
  }
  tty_ = ::isatty(fd) == 1;
  stallMs_ = options.stallMs;
  fd_ = fd;
  buffer_.clear();
  return true;
}

bool PortTarget::Write(std::string_view bytes) {
  if (failed()) return false;
  buffer_.append(bytes);
  if (!buffer_.empty() && buffer_.back() == '\n') return Flush();
  return true;
}

bool PortTarget::Flush() {
  if (failed()) return false;
  if (buffer_.empty()) return true;
  int err = fd_ < 0 ? EBADF : WritePort(fd_, buffer_.data(), buffer_.size(), stallMs_);
  buffer_.clear();
  if (err != 0) {
    Fail(err);
    return false;
  }
  return true;
}

bool PortTarget::Close() {
  if (fd_ < 0) return false;
  bool ok = Flush();
  if (ok && tty_) {
    int err = DrainPort(fd_, stallMs_);
    if (err != 0) {
      Fail(err);
      ok = false;
    }
  }
  if (::close(fd_) != 0 && ok) {
    Fail(errno);
    ok = false;
  }
  fd_ = -1;
  return ok && !failed();
}

void PortTarget::Abandon() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  buffer_.clear();
}

// --- Port names ------------------------------------------------------------------------------

namespace {

std::string Override(const char* prefix, int number) {
  std::string name = std::string(prefix) + std::to_string(number);
  const char* value = std::getenv(name.c_str());
  return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string LptDevicePath(int number) {
  if (number < 1 || number > 4) return {};
  std::string path = Override("PLOTVUE_LPT", number);
  if (!path.empty()) return path;
  std::string usb = "/dev/usb/lp" + std::to_string(number - 1);
  if (PathExists(usb)) return usb;
  return "/dev/lp" + std::to_string(number - 1);
}

std::string ComDevicePath(int number) {
  if (number < 1 || number > 4) return {};
  std::string path = Override("PLOTVUE_COM", number);
  if (!path.empty()) return path;
  return "/dev/ttyS" + std::to_string(number - 1);
}

void SetSerialTermios(const Settings& settings, termios& tio) {
  SetSerialTermios(settings, tio, SerialFlow::None);
}

void SetSerialTermios(const Settings& settings, termios& tio, SerialFlow flow) {
  static constexpr std::array<speed_t, 8> kBaud = {B110,  B150,  B300,  B600,
                                                   B1200, B2400, B4800, B9600};
  ::cfmakeraw(&tio);
  int code = settings.BaudRateCode;
  speed_t speed = (code >= 1 && code <= 8) ? kBaud[static_cast<std::size_t>(code - 1)] : B9600;
  ::cfsetispeed(&tio, speed);
  ::cfsetospeed(&tio, speed);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD);
  tio.c_cflag |= (settings.DataBitsCode == 1) ? CS7 : CS8;
  if (settings.StopBits == 2) tio.c_cflag |= CSTOPB;
  if (settings.ParityCode == 2) tio.c_cflag |= PARENB | PARODD;
  if (settings.ParityCode == 3) tio.c_cflag |= PARENB;
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  if (flow == SerialFlow::Hardware) tio.c_cflag |= CRTSCTS;
  if (flow == SerialFlow::XonXoff) {
    tio.c_iflag |= IXON | IXOFF;
    tio.c_cc[VSTART] = 0x11;
    tio.c_cc[VSTOP] = 0x13;
  }
}

bool ApplySerialSettings(int fd, const Settings& settings, std::string* error, SerialFlow flow) {
  struct termios tio {};
  if (::tcgetattr(fd, &tio) != 0) {
    if (error) *error = ErrorText(errno);
    return false;
  }
  SetSerialTermios(settings, tio, flow);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
    if (error) *error = ErrorText(errno);
    return false;
  }
  return true;
}

}  // namespace plotvue
