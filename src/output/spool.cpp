#include "output/spool.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "output/numformat.h"

namespace plotvue {
namespace {

bool IsSerialCode(int portCode) { return portCode >= 5 && portCode <= 8; }

// The message of a write to the port that failed with `err`.
std::string WriteFailureText(int err, const std::string& port, int stallMs) {
  if (err == kPortStalled)
    return port + " : le périphérique ne répond pas (" +
           FormatShort(static_cast<long double>(stallMs) / 1000.0L) + " s) !";
  if (err == ENOSPC || err == EFBIG) return "disquette pleine";
  if (err == EINVAL) return "code numérique non valide";
  return "erreur d'accès au fichier";
}

}  // namespace

std::string PlotPortName(int portCode) {
  if (portCode >= 1 && portCode <= 4) return "LPT" + std::to_string(portCode);
  if (IsSerialCode(portCode)) return "COM" + std::to_string(portCode - 4);
  return {};
}

std::string PlotPortPath(int portCode) {
  if (portCode >= 1 && portCode <= 4) return LptDevicePath(portCode);
  if (IsSerialCode(portCode)) return ComDevicePath(portCode - 4);
  return {};
}

SpoolResult SpoolPlotFile(Program& program, const PlotterChoice& choice) {
  const int com = IsSerialCode(choice.portCode) ? choice.portCode - 4 : 0;
  return SpoolPlotFile(program, choice, PortOptionsFromEnvironment(com));
}

SpoolResult SpoolPlotFile(Program& program, const PlotterChoice& choice,
                          const PortOptions& options) {
  SpoolResult result;
  result.port = PlotPortName(choice.portCode);
  result.device = PlotPortPath(choice.portCode);
  auto fail = [&](const std::string& message) {
    program.MessagesEnabled = true;
    program.Error(message);
    program.ErrorFlag = true;
    return result;
  };
  const std::string portMessage =
      "fichier " + (result.port.empty() ? std::to_string(choice.portCode) : result.port) +
      " introuvable ou accès impossible !";
  if (result.device.empty()) return fail(portMessage);

  // The plot file first: a printer gets nothing, not even its frame, for a file that is not there.
  const std::string path = program.file.Path();
  int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return fail("fichier " + path + " introuvable ou accès impossible !");
  struct InputCloser {
    int fd;
    ~InputCloser() { ::close(fd); }
  } closeInput{in};
  const std::uint64_t total = [&] {
    off_t end = ::lseek(in, 0, SEEK_END);
    ::lseek(in, 0, SEEK_SET);
    return end > 0 ? static_cast<std::uint64_t>(end) : std::uint64_t{0};
  }();

  // One descriptor for the whole job: a terminal closed between the frame and the file could
  // drop its modem lines, and another program could slip in between.
  const bool serial = IsSerialCode(choice.portCode);
  int port = OpenPort(result.device, serial, program.settings, options);
  if (port < 0) return fail(portMessage);

  const bool laser = choice.deviceKind == 2;
  int err = 0;
  std::string failure;
  if (laser) err = WritePort(port, kLaserBegin, sizeof kLaserBegin - 1, options.stallMs);
  if (err != 0) failure = WriteFailureText(err, result.port, options.stallMs);

  std::vector<char> block(kSpoolBlockSize);
  bool stopped = false;
  while (failure.empty()) {
    if (program.StopRequested) {
      stopped = true;
      break;
    }
    ssize_t n = ::read(in, block.data(), block.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      failure = "erreur de lecture";
      break;
    }
    if (n == 0) break;
    err = WritePort(port, block.data(), static_cast<std::size_t>(n), options.stallMs);
    if (err != 0) {
      failure = WriteFailureText(err, result.port, options.stallMs);
      break;
    }
    result.fileBytes += static_cast<std::uint64_t>(n);
    if (program.progress) program.progress->Progress(result.fileBytes, total);
  }

  // The laser printer leaves HP-GL/2 mode also after a stop or a failed read, so that it does
  // not take what comes next for plotter commands; not after a failed write to the port.
  const bool portWorks = failure.empty() || failure == "erreur de lecture";
  if (laser && portWorks) {
    err = WritePort(port, kLaserEnd, sizeof kLaserEnd - 1, options.stallMs);
    if (err != 0 && failure.empty()) failure = WriteFailureText(err, result.port, options.stallMs);
  }
  if (failure.empty()) {
    err = DrainPort(port, options.stallMs);
    if (err != 0) failure = WriteFailureText(err, result.port, options.stallMs);
  }
  if (::close(port) != 0 && failure.empty())
    failure = errno == ENOSPC ? "disquette pleine" : "erreur de fermeture du fichier";
  if (!failure.empty()) return fail(failure);
  if (stopped) {
    program.ErrorFlag = true;
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace plotvue
