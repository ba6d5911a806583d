// The per-syntax branches of the output driver operations. The frame (PlotDriver) does the steps
// all syntaxes share and calls the writer of the current syntax for what that syntax writes; a
// writer implements only the branches its syntax has, and every other operation writes nothing
// (the base methods are empty). HP-GL, HP-GL/2 and HP-GL Laser share one writer that reads
// state.syntax, because HP-GL/2 output switches to HP-GL code in mid-file.
//
// Also here: the coordinate texts of the syntaxes (H40, A100, L200, N3, S, P) and the geometry of
// an arc that OutArc computes once for every syntax.
//
// State: a writer lives from BeginOutput to EndOutput; the side-format writers it wraps (DXF,
// IGES, C source, Garmin) keep their own per-output state in it.
#ifndef PLOTVUE_OUTPUT_SYNTAXWRITER_H_
#define PLOTVUE_OUTPUT_SYNTAXWRITER_H_

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "output/drivers.h"
#include "output/numformat.h"

namespace plotvue {

// The parts (texts or string views) joined into one string. (Joining with "literal" + string
// makes GCC 12 warn wrongly about overlapping copies.)
template <typename... Parts>
std::string Cat(const Parts&... parts) {
  std::string s;
  s.reserve((std::string_view(parts).size() + ... + 0));
  (s.append(std::string_view(parts)), ...);
  return s;
}

// --- Coordinate texts (x and y in mm, rounding to nearest with ties to even) -----------------

// Millimetres to Postscript units: 300 per inch, the factors applied in this order.
inline long double PsUnits(long double v) {
  return v * 72.0L * 0.039370078740157480314L * 4.166666666666666667L;
}
// Round to nearest, ties to even, as RoundEven, on the fast path of the processor's rounding
// (the default rounding mode is to nearest, ties to even); NaN and values beyond the 64-bit
// range take RoundEven's saturating path.
//
// Within +-2^62 the sum v + 1.5 * 2^63 lies in [2^63, 2^64), where the unit in the last place of
// the 64-bit mantissa is 1: the addition itself rounds v to an integer in the current rounding
// mode, as llrint does, and the mantissa is 1.5 * 2^63 plus that integer. This spares the
// library call and its change of the x87 control word.
inline std::int64_t RoundFast(long double v) {
  static_assert(std::numeric_limits<long double>::digits == 64 && sizeof(long double) >= 10,
                "the x87 80-bit extended format");
  if (v > -4.6e18L && v < 4.6e18L) {
    const long double sum = v + 0x1.8p63L;
    std::uint64_t mantissa;
    std::memcpy(&mantissa, &sum, sizeof mantissa);
    return static_cast<std::int64_t>(mantissa - 0xC000000000000000ull);
  }
  if (v > -9.2e18L && v < 9.2e18L) return std::llrint(v);
  return RoundEven(v);
}
// Puts the decimal digits of `v` at `p` (room for 20 characters); returns their end.
inline char* PutInt(char* p, std::int64_t v) { return std::to_chars(p, p + 24, v).ptr; }
// Decimal text of RoundFast(v).
inline std::string IntText(long double v) {
  char buf[24];
  return std::string(buf, PutInt(buf, RoundFast(v)));
}
inline std::string H40(long double v) { return IntText(v * 40.0L); }
inline std::string A100(long double v) { return IntText(v * 100.0L); }
inline std::string L200(long double v) { return IntText(v * 200.0L); }
inline std::string P(long double v) { return IntText(PsUnits(v)); }
// The rounded Postscript units of a position (the number of P).
inline std::int64_t PsInt(long double v) { return RoundFast(PsUnits(v)); }

struct ArcPoint {
  long double x = 0.0L;
  long double y = 0.0L;
};

// The arc of OutArc: counter-clockwise from a1n to a2n around (cx, cy) with radius r.
struct ArcGeometry {
  long double cx = 0.0L, cy = 0.0L, r = 0.0L;
  long double a1n = 0.0L, a2n = 0.0L;  // normalised start and end angles, degrees
  ArcPoint S, E;                       // start and end points
  long double t = 0.0L;                // first whole degree at or after a1n
  long double u = 0.0L;                // last whole degree at or before a2n
  ArcPoint T, U;                       // the points at t and u degrees
  long double G = 0.0L;                // whole-degree sweep u - t, plus 360 when negative
  long double sweep = 0.0L;            // counter-clockwise sweep from a1n to a2n (360 full)
  bool full = false;                   // a full circle (a2n = a1n + 360)
  bool startWhole = false;             // a1n is a whole number
  bool endWhole = false;               // a2n is a whole number
  long double direction = 1.0L;        // negative: Aristo and CNC cut from E back to S
  // No whole-degree arc command fits: the arc holds no whole degree (G would wrap to about 360)
  // or its whole-degree part is empty (G = 0, which readers take as a full circle).
  bool NoWholeDegreeArc() const { return !full && (G == 0.0L || G > sweep); }
};

// The arc from a1 to a2 (degrees) as OutArc defines it. A full circle (a2 = a1 + 360) becomes
// a1n .. a1n + 360; a negative radius is made positive by turning the angles half round, which
// is the same arc.
ArcGeometry MakeArcGeometry(long double cx, long double cy, long double a1, long double a2,
                            long double r, long double direction);

class SyntaxWriter {
 public:
  explicit SyntaxWriter(PlotDriver& driver) : d_(driver) {}
  virtual ~SyntaxWriter() = default;
  SyntaxWriter(const SyntaxWriter&) = delete;
  SyntaxWriter& operator=(const SyntaxWriter&) = delete;

  // BeginOutput step 4: the header of the syntax.
  virtual void Header() {}
  // ResetOutputState step 4 (after the window reset, pen up and text style defaults).
  virtual void ResetExtras() {}
  // EndOutput step 3, before the output is closed.
  virtual void Trailer() {}

  // The branches of the frame operations (the frame has already done its shared steps).
  virtual void OutWindow() {}
  virtual void OutRotate(long double /*angle*/) {}
  virtual void PenUp() {}
  virtual void PenDown() {}
  virtual void MoveTo(long double /*x*/, long double /*y*/) {}
  virtual void LineTo(long double /*x*/, long double /*y*/) {}
  // DrawLine's steps (the frame's SegmentWith with this writer; see DirectSegmentWriter).
  virtual void Segment(long double x1, long double y1, long double x2, long double y2);
  virtual void SelectPen(int /*pen*/) {}
  virtual void OutVelocity(int /*speed*/) {}
  virtual void OutCircle(long double /*x*/, long double /*y*/, long double /*r*/) {}
  virtual void OutArc(const ArcGeometry& /*arc*/) {}
  // Called only when labels are written as native text.
  virtual void OutTextStyle(int /*kind*/, long double /*angle*/, long double /*height*/,
                            long double /*width*/) {}
  virtual void TextMoveTo(long double /*x*/, long double /*y*/) {}
  virtual void OutLabel(const std::string& /*text*/) {}
  virtual void BeginPolygon() {}
  virtual void EndPolygon(int /*mode*/) {}
  virtual void FillPolygon() {}

  // True when the syntax's native label leaves the device's pen at the end of the text
  // ("LB"), so that the frame writes the next move with its absolute position.
  virtual bool LabelMovesPen() const { return false; }

 protected:
  DriverState& st() { return d_.state; }
  const Settings& settings() const { return d_.settings(); }
  int Dp() const { return d_.settings().DecimalPlaces; }
  std::string S(long double v) const { return FormatShort(v, Dp()); }
  std::string N3(long double v) const { return FormatFixed(v, 3, Dp()); }
  int Dialect() const { return d_.settings().NcSyntax; }

  PlotDriver& d_;
};

// A writer whose segments run through the frame's path on its own final class W
// (PlotDriver::SegmentWith), so that its MoveTo, LineTo and pen lifts are direct calls: one
// virtual call per segment instead of four. The writers of the frequent syntaxes derive from it.
template <class W>
class DirectSegmentWriter : public SyntaxWriter {
 public:
  using SyntaxWriter::SyntaxWriter;
  void Segment(long double x1, long double y1, long double x2, long double y2) override {
    d_.SegmentWith(static_cast<W&>(*this), x1, y1, x2, y2);
  }
};

// The one choice of writer by syntax code 1..12 (codes 1, 9 and 11 share the HP-GL writer).
std::unique_ptr<SyntaxWriter> MakeSyntaxWriter(int syntaxCode, PlotDriver& driver);

// The writers, one factory each (defined beside their classes).
std::unique_ptr<SyntaxWriter> MakeHpglWriter(PlotDriver& driver);
std::unique_ptr<SyntaxWriter> MakeAristoWriter(PlotDriver& driver);
std::unique_ptr<SyntaxWriter> MakeLasercombWriter(PlotDriver& driver);
std::unique_ptr<SyntaxWriter> MakeCncWriter(PlotDriver& driver);
std::unique_ptr<SyntaxWriter> MakePascalWriter(PlotDriver& driver);
std::unique_ptr<SyntaxWriter> MakePostscriptWriter(PlotDriver& driver);
std::unique_ptr<SyntaxWriter> MakeDxfSyntaxWriter(PlotDriver& driver);
std::unique_ptr<SyntaxWriter> MakeIgesSyntaxWriter(PlotDriver& driver);
std::unique_ptr<SyntaxWriter> MakeTurboCWriter(PlotDriver& driver);
std::unique_ptr<SyntaxWriter> MakeGarminSyntaxWriter(PlotDriver& driver);

// Text helpers of the label branches, exposed for tests.
// Aristo: the apostrophe doubled, German letters (code page 437 and Latin-1) as "'u", "'a" ...
std::string AristoText(std::string_view text);
// Postscript: "(" and ")" as "{" and "}", "\" as "\\", German letters spelled out, "±" as
// "+/-", "°" as the byte 202, "²" as "2".
std::string PostscriptText(std::string_view text);
// A Pascal string constant holding exactly `text`: apostrophes doubled, control bytes as #nn.
std::string PascalString(std::string_view text);
// The Pascal program name made of PlotFile: its file name part, with characters other than
// letters, digits and "_" as "_", and "P" in front of a leading digit (or of an empty name or a
// reserved word).
std::string PascalProgramName(std::string_view plotFile);

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_SYNTAXWRITER_H_
