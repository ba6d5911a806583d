// The branches of the syntaxes whose text the side-format writers produce: DXF (5), IGES (7),
// Turbo C (8) and Garmin GPS (12). Each branch hands the frame's geometry to its writer, which
// writes through the frame's TextOut; the frame creates and closes the output.
//
// Text width: the interpreter passes the character width already multiplied by the text width
// correction factor, so the DXF and IGES width factor is width / height as passed (the factor is
// applied once, as in every other syntax); only without a height does the factor itself stand in.
#include <cfloat>
#include <cmath>
#include <limits>

#include "formats/dxfutil.h"
#include "formats/iges.h"
#include "formats/tcutil.h"
#include "output/garmin.h"
#include "output/syntaxwriter.h"

namespace plotvue {
namespace {

// The width factor handed to the DXF and IGES writers.
long double TextWidthRatio(long double height, long double width, const Settings& settings) {
  return height > 0.0L ? width / height : settings.TextWidthFactor;
}

// --- DXF -------------------------------------------------------------------------------------

class DxfSyntaxWriter final : public SyntaxWriter {
 public:
  explicit DxfSyntaxWriter(PlotDriver& d)
      : SyntaxWriter(d), dxf_(d.out(), d.options.dxf, d.settings()) {
    style_.slant = d.settings().TextAngle;
  }

  void Header() override {
    const Extents e = d_.OutputExtents();
    dxf_.DxfHeader(e.xmin, e.ymin, e.xmax, e.ymax);
    dxf_.DxfTables();
    dxf_.DxfBeginEntities();
  }
  void Trailer() override {
    dxf_.DxfEndSection();
    dxf_.DxfEndFile();
  }
  void SelectPen(int pen) override { dxf_.DxfSetLayer(std::to_string(pen - 1)); }
  void LineTo(long double x, long double y) override { dxf_.DxfLine(st().curX, st().curY, x, y); }
  void OutCircle(long double x, long double y, long double r) override { dxf_.DxfCircle(x, y, r); }
  void OutArc(const ArcGeometry& a) override { dxf_.DxfArc(a.cx, a.cy, a.a1n, a.a2n, a.r); }
  void OutTextStyle(int, long double angle, long double height, long double width) override {
    style_.height = height;
    style_.widthFactor = TextWidthRatio(height, width, settings());
    style_.angle = angle;
    style_.slant = settings().TextAngle;
  }
  void OutLabel(const std::string& text) override {
    dxf_.DxfText(text, st().textX, st().textY, style_);
  }

 private:
  DxfWriter dxf_;
  DxfTextStyle style_;
};

// --- IGES ------------------------------------------------------------------------------------

class IgesSyntaxWriter final : public SyntaxWriter {
 public:
  using SyntaxWriter::SyntaxWriter;

  void Header() override {
    TextOut& out = d_.out();
    if (!iges_.IgesBeginFile(out, settings(), settings().TempDir)) return;
    const GarminClockTime now = d_.options.clock();
    iges_.IgesGlobal(out, settings().PlotFile, 180.0L, IgesDate{now.year, now.month, now.day});
  }
  void Trailer() override { iges_.IgesEndFile(d_.out()); }
  void SelectPen(int pen) override { iges_.IgesSetPen(pen); }
  void LineTo(long double x, long double y) override {
    iges_.IgesLine(d_.out(), st().curX, st().curY, x, y);
  }
  void OutCircle(long double x, long double y, long double r) override {
    iges_.IgesArc(d_.out(), x, y, x + r, y, x + r, y);
  }
  void OutArc(const ArcGeometry& a) override {
    iges_.IgesArc(d_.out(), a.cx, a.cy, a.S.x, a.S.y, a.E.x, a.E.y);
  }
  void OutTextStyle(int, long double angle, long double height, long double width) override {
    height_ = height;
    widthFactor_ = TextWidthRatio(height, width, settings());
    angle_ = angle;
  }
  void OutLabel(const std::string& text) override {
    iges_.IgesNote(d_.out(), text, st().textX, st().textY, height_, widthFactor_, angle_);
  }

 private:
  IgesWriter iges_;
  long double height_ = 5.0L;
  long double widthFactor_ = 1.0L;
  long double angle_ = 0.0L;
};

// --- Turbo C ---------------------------------------------------------------------------------

// A long double as the double the C writer takes; values beyond the double range become
// infinite, which the writer does not write.
double D(long double v) {
  if (std::fabs(v) > static_cast<long double>(DBL_MAX)) {
    return v > 0.0L ? std::numeric_limits<double>::infinity()
                    : -std::numeric_limits<double>::infinity();
  }
  return static_cast<double>(v);
}

class TurboCWriter final : public SyntaxWriter {
 public:
  explicit TurboCWriter(PlotDriver& d) : SyntaxWriter(d), tc_(d.out(), d.settings()) {}

  void Header() override { tc_.TcBeginFile(settings().PlotFile); }
  void Trailer() override { tc_.TcEndFile(d_.program().extents); }
  void SelectPen(int pen) override { tc_.TcSetColor(pen); }
  void TextMoveTo(long double x, long double y) override { tc_.TcMoveTo(D(x), D(y)); }
  void LineTo(long double x, long double y) override {
    tc_.TcLine(D(st().curX), D(st().curY), D(x), D(y));
  }
  void OutCircle(long double x, long double y, long double r) override {
    tc_.TcCircle(D(x), D(y), D(r));
  }
  void OutArc(const ArcGeometry& a) override {
    tc_.TcArc(D(a.cx), D(a.cy), D(a.a1n), D(a.a2n), D(a.r));
  }
  void OutTextStyle(int kind, long double angle, long double height, long double width) override {
    tc_.TcSetTextStyle(kind, D(angle), D(height), D(width));
  }
  void OutLabel(const std::string& text) override {
    tc_.TcOutText(text, D(st().textX), D(st().textY));
  }

 private:
  TcWriter tc_;
};

// --- Garmin GPS ------------------------------------------------------------------------------

class GarminSyntaxWriter final : public SyntaxWriter {
 public:
  explicit GarminSyntaxWriter(PlotDriver& d)
      : SyntaxWriter(d),
        garmin_(d.out(), d.settings(), d.options.garmin, d.OutputExtents().xmin,
                d.OutputExtents().xmax, d.options.clock) {}

  void Header() override { garmin_.WriteGarminHeader(); }
  void MoveTo(long double x, long double y) override { garmin_.GarminTrackStart(x, y); }
  void LineTo(long double x, long double y) override { garmin_.GarminTrackPoint(x, y); }
  void OutLabel(const std::string& text) override {
    garmin_.GarminWaypoint(text, st().textX, st().textY);
  }

 private:
  GarminWriter garmin_;
};

}  // namespace

std::unique_ptr<SyntaxWriter> MakeDxfSyntaxWriter(PlotDriver& driver) {
  return std::make_unique<DxfSyntaxWriter>(driver);
}
std::unique_ptr<SyntaxWriter> MakeIgesSyntaxWriter(PlotDriver& driver) {
  return std::make_unique<IgesSyntaxWriter>(driver);
}
std::unique_ptr<SyntaxWriter> MakeTurboCWriter(PlotDriver& driver) {
  return std::make_unique<TurboCWriter>(driver);
}
std::unique_ptr<SyntaxWriter> MakeGarminSyntaxWriter(PlotDriver& driver) {
  return std::make_unique<GarminSyntaxWriter>(driver);
}

}  // namespace plotvue
