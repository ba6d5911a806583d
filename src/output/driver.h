// The output driver operations that the interpreter calls in convert runs. Coordinates and
// lengths are millimetres of the output drawing (already through the plot transform), angles
// degrees counter-clockwise.
#ifndef PLOTVUE_OUTPUT_DRIVER_H_
#define PLOTVUE_OUTPUT_DRIVER_H_

#include <cstddef>
#include <string>

namespace plotvue {

class OutputDriver {
 public:
  virtual ~OutputDriver() = default;

  // Opens the output named by the PlotFile setting and writes the header; sets ErrorFlag on
  // failure.
  virtual void BeginOutput(int syntaxCode, int deviceCode) = 0;
  // Writes the trailer and closes the output.
  virtual void EndOutput() = 0;
  // Ends a conversion that failed (for example the input could not be read to its end) instead
  // of EndOutput: the output is closed without its trailer and a file is not kept, so no partial
  // file appears under the target name. Nothing happens when no output is open.
  virtual void AbandonOutput() {}

  // A conversion that finds the drawing's extents in the same pass (RunScanAndConvert) cannot
  // write a trailer that holds them before the pass ends. Between HoldTrailers and
  // EndHeldOutputs, EndOutput of such an output writes all but its trailer and puts the output
  // aside, not yet under its name. EndHeldOutputs(true) then writes their trailers, now with the
  // extents of the whole drawing, and puts them in place in the order they were begun; it stops
  // at the first that fails (ErrorFlag set, false returned) and drops the rest.
  // EndHeldOutputs(false) drops them all. Drivers that never hold an output ignore both.
  virtual void HoldTrailers() {}
  virtual std::size_t HeldOutputs() const { return 0; }
  virtual bool EndHeldOutputs(bool /*keep*/) { return true; }
  virtual void OutRotate(long double angle) = 0;
  virtual void SelectPen(int pen) = 0;
  virtual void MoveTo(bool force, long double x, long double y) = 0;
  virtual void DrawLine(long double x1, long double y1, long double x2, long double y2) = 0;
  virtual void OutCircle(long double x, long double y, long double r) = 0;
  virtual void OutArc(long double cx, long double cy, long double a1, long double a2, long double r,
                      long double direction) = 0;
  virtual void OutTextStyle(int kind, long double angle, long double height, long double width) = 0;
  virtual void OutTextJustify(int h, int v) = 0;
  // `text` holds the label's bytes as read from the plot file (code page 437).
  virtual void LabelAt(const std::string& text, long double x, long double y) = 0;
  virtual void BeginPolygon() = 0;
  virtual void EndPolygon(int mode) = 0;
  virtual void FillPolygon() = 0;
};

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_DRIVER_H_
