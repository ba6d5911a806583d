// The drawing operations through which the interpreter's screen and print runs draw. The
// graphics window's drawing device implements them by appending records to the display list.
// Positions and lengths are millimetres of the drawing, angles degrees counter-clockwise.
#ifndef PLOTVUE_GRAPHICS_DRAWDEVICE_H_
#define PLOTVUE_GRAPHICS_DRAWDEVICE_H_

#include <string>

namespace plotvue {

class DrawingDevice {
 public:
  virtual ~DrawingDevice() = default;

  virtual void DevWaitCursor() = 0;
  virtual void DevClearViewPort() = 0;
  virtual void DevSetColor(int colour) = 0;
  virtual void DevLine(long double x1, long double y1, long double x2, long double y2) = 0;
  virtual void DevCircle(long double x, long double y, long double radius) = 0;
  virtual void DevArc(long double cx, long double cy, long double startAngle,
                      long double endAngle, long double radius) = 0;
  virtual void DevSetTextStyle(int font, long double direction, long double height,
                               long double width) = 0;
  virtual void DevSetTextJustify(int horizontal, int vertical) = 0;
  // `text` holds the label's bytes as read from the plot file (code page 437); the device
  // converts it for display.
  virtual void DevOutText(const std::string& text, long double x, long double y) = 0;
};

}  // namespace plotvue

#endif  // PLOTVUE_GRAPHICS_DRAWDEVICE_H_
