// The drawing device: the one object through which the rest of the program draws (the
// interpreter's screen and print runs, the main window's commands, start-up and the about box).
// It passes each call on to the graphics window and adds the services callers need around
// drawing: a message box, a file check, cursor changes and a point rotation.
//
// State: none of its own; every operation works on the one graphics window, which owns the
// display list.
#ifndef PLOTVUE_GRAPHICS_DEVICE_H_
#define PLOTVUE_GRAPHICS_DEVICE_H_

#include <string>

#include "base/program.h"
#include "graphics/drawdevice.h"
#include "graphics/raredova.h"

namespace plotvue {

struct RotatedPoint {
  long double x = 0.0L;
  long double y = 0.0L;
};

// (px, py) turned about (cx, cy) by `angle` radians, counter-clockwise.
RotatedPoint RotatePoint(long double px, long double py, long double cx, long double cy,
                         long double angle);

class DrawDevice : public DrawingDevice {
 public:
  DrawDevice(Program& program, GraphicsWindow& window) : program_(program), window_(window) {}

  void DevClear() { window_.Clear(); }
  void DevSetWindow(bool keepAspect, bool inset, long double left, long double bottom,
                    long double right, long double top, long double wx1, long double wy1,
                    long double wx2, long double wy2) {
    window_.SetWindow(keepAspect, inset, left, bottom, right, top, wx1, wy1, wx2, wy2);
  }
  void DevSaveLimit() { window_.SaveLimit(); }
  void DevRestoreLimit() { window_.RestoreLimit(); }
  void DevCircle(long double x, long double y, long double radius) override {
    window_.circle(x, y, radius);
  }
  void DevLine(long double x1, long double y1, long double x2, long double y2) override {
    window_.line(x1, y1, x2, y2);
  }
  void DevArc(long double cx, long double cy, long double startAngle, long double endAngle,
              long double radius) override {
    window_.Arc(cx, cy, startAngle, endAngle, radius);
  }
  // Converts the code page 437 text for display (a text of 255 bytes or more becomes empty),
  // then records it.
  void DevOutText(const std::string& text, long double x, long double y) override;
  void DevSetColor(int colour) override { window_.SetColor(colour); }
  // A modal message box with the text.
  void DevMessage(const std::string& text) { program_.ui->ShowMessage(text); }
  void DevHeader(long double wx1, long double wy1, long double wx2, long double wy2) {
    window_.Header(wx1, wy1, wx2, wy2);
  }
  void DevClearViewPort() override { window_.ClearViewPort(); }
  // Changes nothing: callers pass 0, 0 right after DevSetTextStyle.
  void DevSetTextJustify(int, int) override {}
  void DevSetTextStyle(int font, long double direction, long double height,
                       long double width) override {
    window_.SetTextStyle(font, direction, height, width);
  }
  void DevResetZoom() { window_.ResetZoom(); }
  void DevRegen() { window_.Regen(); }
  void DevDrawLogo() { window_.DrawTavolinLogo(); }
  // Checks that the file can be opened for reading. If not, shows its name without blanks
  // followed by " pas trouver !" and sets ErrorFlag.
  void DevCheckFile(const std::string& name);
  void DevWaitCursor() override { window_.SetWaitCursor(); }
  void DevArrowCursor() { window_.SetOldCursor(); }

  GraphicsWindow& window() { return window_; }

 private:
  Program& program_;
  GraphicsWindow& window_;
};

}  // namespace plotvue

#endif  // PLOTVUE_GRAPHICS_DEVICE_H_
