// The interpreter in convert mode over any bytes, into every syntax: the first byte chooses the
// syntax, the second the scale and the elements per output part; the output goes to a scratch
// folder.
#include "fuzz/fuzz_common.h"
#include "input/bytesource.h"
#include "input/hpin.h"
#include "output/drivers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  plotvue::SilentInteraction ui;
  plotvue::Program program(ui);
  plotvue::Settings& s = program.settings;
  s.SyntaxCode = static_cast<std::uint16_t>(1 + data[0] % 12);
  s.DeviceCode = 3;
  s.PlotScale = 0.5L + (data[1] & 7);
  s.MaxFileElements = 10 + (data[1] >> 3) * 50;
  s.TempDir = plotvue::fuzz::ScratchDir();
  s.PlotFile = plotvue::fuzz::ScratchDir() + "out";
  program.file = plotvue::CurrentFile::FromPath(plotvue::fuzz::ScratchDir() + "input.plt");
  std::unique_ptr<plotvue::PlotDriver> driver = plotvue::MakeOutputDriver(program);
  plotvue::ByteSource source =
      plotvue::ByteSource::FromString(plotvue::fuzz::Bytes(data + 2, size - 2));
  plotvue::RunInterpreterOn(program, plotvue::RunMode::Convert, {driver.get(), nullptr}, source);
  return 0;
}
