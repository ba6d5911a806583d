// The sinks of the four run modes as concrete classes, for the interpreter's runs (hpin.cpp):
// the interpreter is instantiated for each of them, so that its element calls are direct and
// inline. Each sink holds the exact call sequence of its mode.
#ifndef PLOTVUE_INPUT_RUNSINKS_H_
#define PLOTVUE_INPUT_RUNSINKS_H_

#include <string>
#include <type_traits>

#include "input/sinks.h"
#include "output/driverpath.h"
#include "output/drivers.h"
#include "output/syntax.h"

namespace plotvue {

// Scan runs: every element widens the extents and is counted.
class ScanSink final : public Sink {
 public:
  explicit ScanSink(Program& p) : p_(p) {}
  bool Begin() override { return true; }
  [[gnu::always_inline]] void Segment(int, const Point& a, const Point& b) override {
    ++p_.ElementCount;
    ExtendExtents(p_.extents, a.x, a.y);
    ExtendExtents(p_.extents, b.x, b.y);
  }
  void Circle(int, const Point& c, long double r) override { WholeCircle(c, r); }
  void Arc(int, const Point& c, long double, long double, long double r) override {
    WholeCircle(c, r);
  }
  void Label(int, const std::string& text, const Point& at, const LabelStyle& s) override {
    ++p_.TextCount;
    ExtendExtents(p_.extents, at.x, at.y);
    ExtendExtents(p_.extents, at.x + s.width * static_cast<long double>(text.size()),
                  at.y + s.height);
  }

 private:
  void WholeCircle(const Point& c, long double r) {
    ++p_.ElementCount;
    ExtendExtents(p_.extents, c.x + r, c.y + r);
    ExtendExtents(p_.extents, c.x - r, c.y - r);
  }
  Program& p_;
};

// A position in mm through the plot transform: the output driver's position.
inline long double OutputX(const Settings& s, long double x) {
  return x * s.PlotScale + s.PlotOriginX;
}
inline long double OutputY(const Settings& s, long double y) {
  return y * s.PlotScale + s.PlotOriginY;
}

// Convert runs: the output driver operations, positions through the plot transform. With
// kScan the same pass also does the work of a scan run (extents and counts), for conversions
// that read the file once. `Driver` is OutputDriver, or the program's own PlotDriver, whose
// operations are then called directly rather than through the interface (ten million calls
// and more on a large file).
template <class Driver, bool kScan>
class ConvertSink final : public Sink {
 public:
  ConvertSink(Program& p, Driver& d)
      : p_(p), d_(d), scan_(p), configuredPlotFile_(p.settings.PlotFile) {}

  bool Begin() override { return OpenOutput(); }
  void End(bool failed) override {
    // A part that failed to open is not closed.
    if (open_) {
      if (failed)
        d_.AbandonOutput();
      else
        d_.EndOutput();
    }
    open_ = false;
  }
  bool SplitsOutput() const override { return p_.settings.DeviceCode == 3; }
  void StartNextPart(int partCounter) override {
    End(false);
    std::string name = configuredPlotFile_;
    if (!name.empty()) name.pop_back();
    p_.settings.PlotFile = name + std::to_string(partCounter);
    OpenOutput();
  }

  [[gnu::always_inline]] void Segment(int pen, const Point& a, const Point& b) override {
    if constexpr (kScan) scan_.Segment(pen, a, b);
    OutputSegment(p_.settings.PenTableCode(pen), OutX(a.x), OutY(a.y), OutX(b.x), OutY(b.y));
  }
  Driver& driver() { return d_; }
  // The output half of Segment: the pen's code and the output positions (the reader thread of
  // a conversion on two threads does the rest).
  [[gnu::always_inline]] void OutputSegment(int penCode, long double x1, long double y1,
                                            long double x2, long double y2) {
    if constexpr (kOwnDriver) {
      d_.UsePen(penCode);
      d_.Segment(x1, y1, x2, y2);
    } else {
      d_.SelectPen(penCode);
      d_.DrawLine(x1, y1, x2, y2);
    }
  }
  // OutputSegment with the ends where they lie (a recorded element), read only after the pen
  // is selected: the compiler then passes them on from there, not through registers that it
  // would have to store and copy again around the pen's call.
  [[gnu::always_inline]] void OutputSegmentAt(int penCode, const long double* ends) {
    if constexpr (kOwnDriver) {
      d_.UsePen(penCode);
      d_.Segment(ends[0], ends[1], ends[2], ends[3]);
    } else {
      d_.SelectPen(penCode);
      d_.DrawLine(ends[0], ends[1], ends[2], ends[3]);
    }
  }
  void Circle(int pen, const Point& c, long double r) override {
    if constexpr (kScan) scan_.Circle(pen, c, r);
    SelectPen(pen);
    d_.OutCircle(OutX(c.x), OutY(c.y), OutLength(r));
  }
  void Arc(int pen, const Point& c, long double from, long double to, long double r) override {
    if constexpr (kScan) scan_.Arc(pen, c, from, to, r);
    SelectPen(pen);
    d_.OutArc(OutX(c.x), OutY(c.y), from, to, OutLength(r), 1.0L);
  }
  void Label(int pen, const std::string& text, const Point& at, const LabelStyle& s) override {
    if constexpr (kScan) scan_.Label(pen, text, at, s);
    SelectPen(pen);
    if (s.width != 0.0L && s.height != 0.0L) {
      d_.OutTextStyle(0, s.angle, OutLength(s.height),
                      OutLength(s.width) * p_.settings.TextWidthFactor);
    }
    d_.OutTextJustify(0, 0);
    d_.OutTextJustify(0, 0);
    d_.LabelAt(text, OutX(at.x), OutY(at.y));
  }
  void PolygonMode(int mode, const Point& lastTarget) override {
    if (mode == 0) {
      d_.MoveTo(true, OutX(lastTarget.x), OutY(lastTarget.y));
      d_.BeginPolygon();
    } else if (mode == 1 || mode == 2) {
      d_.EndPolygon(mode);
    }
  }
  void FillPolygon() override {
    if (p_.settings.SyntaxCode == static_cast<int>(Syntax::Postscript)) d_.FillPolygon();
  }

 private:
  // BeginOutput, then the rotation of the output; on failure the message of the device.
  bool OpenOutput() {
    d_.BeginOutput(p_.settings.SyntaxCode, p_.settings.DeviceCode);
    open_ = !p_.ErrorFlag;
    if (!open_) {
      p_.MessagesEnabled = true;
      p_.Error(p_.settings.DeviceCode == 3 ? "Invalid filename" : "device not ready");
      return false;
    }
    d_.OutRotate(p_.settings.Rotate90 == 'J' ? 90.0L : 0.0L);
    return true;
  }
  void SelectPen(int pen) {
    if constexpr (kOwnDriver) {
      d_.UsePen(p_.settings.PenTableCode(pen));
    } else {
      d_.SelectPen(p_.settings.PenTableCode(pen));
    }
  }
  // The program's own driver: its inline segment path.
  static constexpr bool kOwnDriver = std::is_same_v<Driver, PlotDriver>;
  long double OutX(long double x) const { return OutputX(p_.settings, x); }
  long double OutY(long double y) const { return OutputY(p_.settings, y); }
  long double OutLength(long double d) const { return d * p_.settings.PlotScale; }

  Program& p_;
  Driver& d_;
  ScanSink scan_;                   // the scan run's bookkeeping (kScan)
  std::string configuredPlotFile_;  // PlotFile at the start of the run
  bool open_ = false;               // between a successful BeginOutput and its EndOutput
};

// Print and screen runs: the drawing device, with the pen's colour set before each element.
class DeviceSink final : public Sink {
 public:
  DeviceSink(Program& p, DrawingDevice& d, bool screenColours)
      : p_(p), d_(d), screenColours_(screenColours) {}

  bool Begin() override {
    d_.DevWaitCursor();
    d_.DevClearViewPort();
    d_.DevWaitCursor();
    return true;
  }
  void Segment(int pen, const Point& a, const Point& b) override {
    d_.DevSetColor(Colour(pen));
    d_.DevLine(a.x, a.y, b.x, b.y);
    ++p_.ElementCount;
  }
  void Circle(int pen, const Point& c, long double r) override {
    d_.DevSetColor(Colour(pen));
    d_.DevCircle(c.x, c.y, r);
    ++p_.ElementCount;
  }
  void Arc(int pen, const Point& c, long double from, long double to, long double r) override {
    d_.DevSetColor(Colour(pen));
    d_.DevArc(c.x, c.y, from, to, r);
    ++p_.ElementCount;
  }
  void Label(int pen, const std::string& text, const Point& at, const LabelStyle& s) override {
    ++p_.TextCount;
    d_.DevSetColor(Colour(pen));
    d_.DevSetTextStyle(2, s.angle, s.height, s.width * p_.settings.ScreenTextWidthFactor);
    d_.DevSetTextJustify(0, 0);
    d_.DevOutText(DisplayLabel(text, s.symbolSet), at.x, at.y);
  }

 private:
  // Screen runs colour a pen through its configured screen colour (pen 0 has no slot and uses
  // colour 0); print runs colour it directly.
  int Colour(int pen) const {
    if (!screenColours_) return TurboColor(pen);
    int slot = pen % 16;
    if (slot == 0) return TurboColor(0);
    return TurboColor(p_.settings.ScreenPenColour[static_cast<std::size_t>(slot - 1)]);
  }
  Program& p_;
  DrawingDevice& d_;
  bool screenColours_;
};

}  // namespace plotvue

#endif  // PLOTVUE_INPUT_RUNSINKS_H_
