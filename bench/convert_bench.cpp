// convert_bench: converts one plot file into one output syntax the way a batch conversion into
// a file does (one pass that scans and converts, or for the outputs that hold the extents a scan
// pass and then the convert pass), with the built-in settings, for timing the drivers on the
// large bench file.
//
//   convert_bench IN.plt SYNTAX OUTBASE      SYNTAX 1..12; writes OUTBASE.<extension>
//
// The built-in MaxFileElements (500000) splits a long conversion into numbered parts, as a
// batch conversion with the default settings does.
//
// Exit status 0, or 1 when the conversion failed (the reason on stderr).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "input/hpin.h"
#include "output/drivers.h"
#include "output/syntax.h"

namespace {

// Messages of the run go to stderr.
class StderrInteraction : public plotvue::SilentInteraction {
 public:
  void ShowError(const std::string& text) override {
    std::fprintf(stderr, "Erreur : %s\n", text.c_str());
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: convert_bench IN.plt SYNTAX OUTBASE\n");
    return 1;
  }
  const int syntax = std::atoi(argv[2]);
  if (syntax < 1 || syntax > 12) {
    std::fprintf(stderr, "convert_bench: SYNTAX must be 1..12\n");
    return 1;
  }
  StderrInteraction ui;
  plotvue::Program program(ui);
  program.file = plotvue::CurrentFile::FromPath(argv[1]);
  program.settings.SyntaxCode = static_cast<std::uint16_t>(syntax);
  program.settings.DeviceCode = 3;
  program.settings.PlotFile = argv[3];
  auto driver = plotvue::MakeOutputDriver(program);
  driver->options.garmin.FileType = 3;

  if (!plotvue::OutputReadsExtents(syntax)) {
    if (plotvue::RunScanAndConvert(program, *driver) != plotvue::ScanConvertResult::Converted)
      return 1;
  } else {
    plotvue::RunInterpreter(program, plotvue::RunMode::Scan);
    if (program.ErrorFlag || program.RunFailed) return 1;
    plotvue::RunInterpreter(program, plotvue::RunMode::Convert, {driver.get(), nullptr});
  }
  return (program.ErrorFlag || program.RunFailed) ? 1 : 0;
}
