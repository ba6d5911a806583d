// Shared set-up of the output driver tests: a program with a recording user interface, the
// driver writing files into a fresh temporary folder, a fixed clock, and helpers that run one
// output (BeginOutput, some operations, EndOutput) or convert plot text through the interpreter,
// returning the bytes written.
#ifndef PLOTVUE_TESTS_OUTPUT_DRIVER_HARNESS_H_
#define PLOTVUE_TESTS_OUTPUT_DRIVER_HARNESS_H_

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "input/hpin.h"
#include "output/driverpath.h"
#include "output/drivers.h"
#include "support/recording.h"

namespace plotvue::testing {

inline constexpr char kEsc = 27;

// 6 December 2026, 9:05:07.
inline GarminClockTime FixedTime() {
  GarminClockTime t;
  t.year = 2026;
  t.month = 12;
  t.day = 6;
  t.hour = 9;
  t.minute = 5;
  t.second = 7;
  return t;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Lines joined with CR LF, each one ended.
inline std::string Lines(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

// A fresh temporary folder, removed with the object.
struct TempFolder {
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plotvue-drv-XXXXXX").string();
    path = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

// A file that cannot grow past a size limit: the write fails with EFBIG.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    old = signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit r = saved;
    r.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &r);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, old);
  }
  rlimit saved{};
  sighandler_t old;
};

// The plot files of the corpus, sorted.
inline std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(PLOTVUE_CORPUS_DIR)) {
    if (e.path().extension() == ".plt") files.push_back(e.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct DriverHarness {
  RecordingInteraction ui;
  Program program{ui};
  TempFolder folder;
  std::unique_ptr<PlotDriver> driver;
  int beeps = 0;

  DriverHarness() {
    program.settings.PlotFile = folder.path + "/OUT";
    program.settings.DeviceCode = 3;
    // Pen k is output pen k.
    for (int k = 0; k < kPenTableSize; ++k) program.settings.PenNumber[k] = k;
    driver = MakeOutputDriver(program);
    driver->options.clock = FixedTime;
    driver->options.beep = [this] { ++beeps; };
  }

  PlotDriver& d() { return *driver; }
  std::string OutputPath(int syntax) const {
    return program.settings.PlotFile + "." + OutputExtension(syntax, driver->options.garmin);
  }

  // BeginOutput(syntax, file), `body`, EndOutput; the file's bytes. ErrorFlag must stay clear.
  std::string Run(int syntax, const std::function<void(PlotDriver&)>& body = {}) {
    program.ErrorFlag = false;
    driver->BeginOutput(syntax, 3);
    EXPECT_FALSE(program.ErrorFlag) << "BeginOutput of syntax " << syntax;
    if (body) body(*driver);
    driver->EndOutput();
    EXPECT_FALSE(program.ErrorFlag) << "EndOutput of syntax " << syntax;
    return ReadFile(OutputPath(syntax));
  }

  // The plot text converted through the interpreter (scan, then convert) into `syntax`.
  std::string Convert(int syntax, const std::string& plot) {
    const std::string input = folder.path + "/IN.plt";
    WriteFile(input, plot);
    return ConvertFile(syntax, input);
  }

  std::string ConvertFile(int syntax, const std::string& input) {
    program.file = CurrentFile::FromPath(input);
    program.settings.SyntaxCode = static_cast<std::uint16_t>(syntax);
    program.ErrorFlag = false;
    RunInterpreter(program, RunMode::Scan);
    RunInterpreter(program, RunMode::Convert, {driver.get(), nullptr});
    return ReadFile(OutputPath(syntax));
  }
};

// The segments and label positions the interpreter finds in plot text (screen run), one line
// each; the colour, style and alignment records are left out.
inline std::vector<std::string> ReadBack(const std::string& plot) {
  RecordingInteraction ui;
  Program program{ui};
  RecordingDevice device;
  ByteSource source = ByteSource::FromString(plot);
  RunInterpreterOn(program, RunMode::Screen, {nullptr, &device}, source);
  std::vector<std::string> out;
  for (const auto& l : device.log) {
    if (l.rfind("DevLine", 0) == 0 || l.rfind("DevOutText", 0) == 0 ||
        l.rfind("DevCircle", 0) == 0 || l.rfind("DevArc", 0) == 0) {
      out.push_back(l);
    }
  }
  return out;
}

// The text between the first occurrence of `from` and the last occurrence of `to` (both
// excluded); the whole text when either is missing.
inline std::string Between(const std::string& s, const std::string& from, const std::string& to) {
  std::size_t a = s.find(from);
  std::size_t b = s.rfind(to);
  if (a == std::string::npos || b == std::string::npos || b < a + from.size()) return s;
  return s.substr(a + from.size(), b - a - from.size());
}

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_OUTPUT_DRIVER_HARNESS_H_
