// The interpreter in scan mode over any bytes.
#include "fuzz/fuzz_common.h"
#include "input/bytesource.h"
#include "input/hpin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plotvue::SilentInteraction ui;
  plotvue::Program program(ui);
  program.file = plotvue::CurrentFile::FromPath(plotvue::fuzz::ScratchDir() + "input.plt");
  plotvue::ByteSource source = plotvue::ByteSource::FromString(plotvue::fuzz::Bytes(data, size));
  plotvue::RunInterpreterOn(program, plotvue::RunMode::Scan, {}, source);
  return 0;
}
