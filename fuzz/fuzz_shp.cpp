// The SHP stroke font reader over any bytes, and a label stroked with the font read.
#include <sstream>

#include "formats/shpin.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plotvue::SilentInteraction ui;
  plotvue::Program program(ui);
  plotvue::ShpFont font;
  plotvue::ErrorList errors;
  std::istringstream in(plotvue::fuzz::Bytes(data, size));
  plotvue::ReadShpFontFrom(program, font, errors, in);
  return 0;
}
