// The help text reader over any bytes, for a topic chosen by the first two bytes.
#include <sstream>

#include "fuzz/fuzz_common.h"
#include "help/helptext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int topic = (data[0] << 8 | data[1]) % 10000;
  std::istringstream in(plotvue::fuzz::Bytes(data + 2, size - 2));
  plotvue::HelpTopic found = plotvue::FindHelpTopic(in, topic);
  (void)plotvue::HelpMessageText(found);
  return 0;
}
