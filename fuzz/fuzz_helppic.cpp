// The help-picture reader over any bytes, drawing into a device that checks every number it is
// given.
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "fuzz/fuzz_common.h"
#include "graphics/drawdevice.h"
#include "help/helppic.h"

namespace {

void Finite(long double v) {
  if (!std::isfinite(v)) std::abort();
}

class CheckingDevice : public plotvue::DrawingDevice {
 public:
  void DevWaitCursor() override {}
  void DevClearViewPort() override {}
  void DevSetColor(int) override {}
  void DevLine(long double x1, long double y1, long double x2, long double y2) override {
    Finite(x1), Finite(y1), Finite(x2), Finite(y2);
  }
  void DevCircle(long double x, long double y, long double r) override {
    Finite(x), Finite(y), Finite(r);
  }
  void DevArc(long double cx, long double cy, long double a1, long double a2,
              long double r) override {
    Finite(cx), Finite(cy), Finite(a1), Finite(a2), Finite(r);
  }
  void DevSetTextStyle(int, long double direction, long double height,
                       long double width) override {
    Finite(direction), Finite(height), Finite(width);
  }
  void DevSetTextJustify(int, int) override {}
  void DevOutText(const std::string&, long double x, long double y) override {
    Finite(x), Finite(y);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plotvue::SilentInteraction ui;
  plotvue::Program program(ui);
  CheckingDevice device;
  plotvue::HelpPictureState state;
  std::istringstream in(plotvue::fuzz::Bytes(data, size));
  plotvue::ReadHelpPicture(program, device, in, state);
  return 0;
}
