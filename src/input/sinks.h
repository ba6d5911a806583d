// Where the interpreter's drawing elements go. Every run mode has its own sink: the scan sink
// widens the extents and counts, the convert sink calls the output driver, the device sink calls
// the drawing device of the graphics window. Each sink holds the exact call sequence of its mode;
// the interpreter never tests the mode itself.
#ifndef PLOTVUE_INPUT_SINKS_H_
#define PLOTVUE_INPUT_SINKS_H_

#include <memory>
#include <string>

#include "base/program.h"
#include "graphics/drawdevice.h"
#include "output/driver.h"

namespace plotvue {

// The run modes of the interpreter, numbered as the system numbers them.
enum class RunMode : int { Scan = 0, Convert = 1, Print = 2, Screen = 3 };

struct Point {
  long double x = 0.0L;
  long double y = 0.0L;
};

// The symbol set of HP Roman-8, as SD (font definition, kind 1) selects it.
inline constexpr int kSymbolSetRoman8 = 277;

// Text values handed over with a label: direction angle in degrees, character cell in mm, and
// the symbol set the file declared for the standard font with SD (0: none declared; the bytes
// are then code page 437, the program's own).
struct LabelStyle {
  long double angle = 0.0L;
  long double width = 0.0L;
  long double height = 0.0L;
  int symbolSet = 0;
};

// A label's text as code page 437 for the screen and the printer: a text in HP Roman-8 has its
// upper half translated (characters that code page 437 lacks become their nearest plain letter
// or sign: the long dash that plotters' Roman-8 fonts use as the minus sign becomes "-"); any
// other symbol set stays as it is. Byte for byte, so the label keeps its length.
std::string DisplayLabel(const std::string& text, int symbolSet);

// What a run draws into, besides the program state: the output driver for convert runs, the
// drawing device for print and screen runs.
struct RunTargets {
  OutputDriver* driver = nullptr;
  DrawingDevice* device = nullptr;
};

class Sink {
 public:
  virtual ~Sink() = default;

  // Called after the input file has been opened. Returns false with ErrorFlag set when the
  // mode's output could not be opened.
  virtual bool Begin() = 0;
  // Called after the last command; `failed` when the input could not be read to its end, so
  // that no output is passed off as complete.
  virtual void End(bool /*failed*/) {}
  // True for runs that split their output into parts of MaxFileElements elements.
  virtual bool SplitsOutput() const { return false; }
  // Closes the current output part and opens part `partCounter`.
  virtual void StartNextPart(int /*partCounter*/) {}

  // A drawn segment in pen `pen`, positions in mm.
  virtual void Segment(int pen, const Point& from, const Point& to) = 0;
  virtual void Circle(int pen, const Point& centre, long double radius) = 0;
  // A counter-clockwise arc from angle `from` to angle `to` (degrees).
  virtual void Arc(int pen, const Point& centre, long double from, long double to,
                   long double radius) = 0;
  // A label of code page 437 bytes at `at`.
  virtual void Label(int pen, const std::string& text, const Point& at,
                     const LabelStyle& style) = 0;
  // PM with its mode; `lastTarget` is the point of the forced move of mode 0.
  virtual void PolygonMode(int /*mode*/, const Point& /*lastTarget*/) {}
  // FP.
  virtual void FillPolygon() {}
};

// Widens the extents by one point (each of the four tests on its own).
[[gnu::always_inline]] inline void ExtendExtents(Extents& e, long double x, long double y) {
  if (x > e.xmax) e.xmax = x;
  if (x < e.xmin) e.xmin = x;
  if (y > e.ymax) e.ymax = y;
  if (y < e.ymin) e.ymin = y;
}

// TurboColor: pens 1..7 become the colours 12, 14, 10, 11, 9, 13, 15; other values stay.
int TurboColor(int pen);

}  // namespace plotvue

#endif  // PLOTVUE_INPUT_SINKS_H_
