// The settings file reader over any bytes.
#include <sstream>

#include "config/configio.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plotvue::SilentInteraction ui;
  plotvue::Program program(ui);
  program.MessagesEnabled = false;
  std::istringstream in(plotvue::fuzz::Bytes(data, size));
  plotvue::ReadConfigStream(program, in);
  return 0;
}
