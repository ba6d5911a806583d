// Runs the interpreter over plot text in each mode against the recording fakes.
#ifndef PLOTVUE_TESTS_INPUT_HARNESS_H_
#define PLOTVUE_TESTS_INPUT_HARNESS_H_

#include <string>
#include <vector>

#include "input/hpin.h"
#include "support/recording.h"

namespace plotvue::testing {

struct Harness {
  RecordingInteraction ui;
  Program program{ui};
  RecordingDriver driver{program};
  RecordingDevice device;

  Harness() {
    // Pen k is output pen k, so SelectPen shows the interpreter's pen.
    for (int k = 0; k < kPenTableSize; ++k) program.settings.PenNumber[k] = k;
    program.settings.PlotFile = "OUT";
  }

  std::vector<std::string> Run(RunMode mode, const std::string& plot) {
    driver.log.clear();
    device.log.clear();
    ByteSource source = ByteSource::FromString(plot);
    RunInterpreterOn(program, mode, {&driver, &device}, source);
    return mode == RunMode::Convert ? driver.log : device.log;
  }
  std::vector<std::string> Convert(const std::string& plot) { return Run(RunMode::Convert, plot); }
  std::vector<std::string> Screen(const std::string& plot) { return Run(RunMode::Screen, plot); }
  std::vector<std::string> Print(const std::string& plot) { return Run(RunMode::Print, plot); }
  const Extents& Scan(const std::string& plot) {
    Run(RunMode::Scan, plot);
    return program.extents;
  }
};

// The entries of a log that begin with `prefix`.
inline std::vector<std::string> Only(const std::vector<std::string>& log,
                                     const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& l : log)
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  return out;
}

// The convert log without the frame calls (BeginOutput, OutRotate, EndOutput).
inline std::vector<std::string> Body(const std::vector<std::string>& log) {
  std::vector<std::string> out;
  for (const auto& l : log)
    if (l.rfind("BeginOutput", 0) != 0 && l.rfind("OutRotate", 0) != 0 && l != "EndOutput")
      out.push_back(l);
  return out;
}

using Log = std::vector<std::string>;

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_INPUT_HARNESS_H_
