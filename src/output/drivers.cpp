#include "output/drivers.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "output/driverpath.h"
#include "output/syntax.h"
#include "output/syntaxwriter.h"

namespace plotvue {
namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;

bool IsWhole(long double v) { return std::floor(v) == v; }

}  // namespace

ArcGeometry MakeArcGeometry(long double cx, long double cy, long double a1, long double a2,
                            long double r, long double direction) {
  ArcGeometry g;
  g.cx = cx;
  g.cy = cy;
  g.direction = direction;
  // A full circle arrives as a1 .. a1 + 360 (OutCircle passes 0 .. 360).
  g.full = std::fabs((a2 - a1) - 360.0L) < 1e-9L;
  if (r < 0.0L) {
    r = -r;
    if (!g.full) {
      a1 += 180.0L;
      a2 += 180.0L;
      if (a1 >= 360.0L && a2 >= 360.0L) {
        a1 -= 360.0L;
        a2 -= 360.0L;
      }
    }
  }
  g.r = r;
  g.a1n = a1 < 0.0L ? a1 + 360.0L : a1;
  g.a2n = g.full ? g.a1n + 360.0L : (a2 < 0.0L ? a2 + 360.0L : a2);

  auto at = [&](long double degrees) {
    long double rad = degrees * kPi / 180.0L;
    return ArcPoint{cx + r * std::cos(rad), cy + r * std::sin(rad)};
  };
  g.S = at(g.a1n);
  g.E = g.full ? g.S : at(g.a2n);
  g.startWhole = IsWhole(g.a1n);
  g.endWhole = IsWhole(g.a2n);
  g.t = g.startWhole ? g.a1n : std::ceil(g.a1n);
  g.u = std::floor(g.a2n);
  g.T = at(g.t);
  g.U = at(g.u);
  g.G = g.u >= g.t ? g.u - g.t : g.u - g.t + 360.0L;
  g.sweep = g.full ? 360.0L : g.a2n - g.a1n;
  if (g.sweep < 0.0L) g.sweep += 360.0L;
  return g;
}

std::string OutputExtension(int syntaxCode, const GarminOptions& garmin) {
  if (syntaxCode == static_cast<int>(Syntax::GarminGps)) return GarminExtension(garmin.FileType);
  return SyntaxOf(syntaxCode).extension;
}

PlotDriver::PlotDriver(Program& program) : program_(&program), out_(channel_, program.ErrorFlag) {}

PlotDriver::~PlotDriver() { AbandonOutput(); }

std::unique_ptr<PlotDriver> MakeOutputDriver(Program& program, const StrokeFont* font) {
  auto driver = std::make_unique<PlotDriver>(program);
  driver->options.strokeFont = font;
  return driver;
}

// --- Frame -----------------------------------------------------------------------------------

int PlotDriver::CheckSyntaxCode(int code) {
  if (code >= 1 && code <= 12) return code;
  program_->MessagesEnabled = true;
  program_->Error("Undefinierter Syntaxcode " + std::to_string(code));
  program_->ErrorFlag = true;
  return 1;
}

int PlotDriver::CheckDeviceCode(int code) {
  if (code >= 1 && code <= 3) return code;
  program_->MessagesEnabled = true;
  program_->Error("Undefinierter Ansteuercode " + std::to_string(code));
  program_->ErrorFlag = true;
  return 1;
}

bool PlotDriver::NativeText() const {
  auto no = [](char c) { return c == 'N' || c == 'n'; };
  return no(settings().UseShpFont) || no(settings().ShpLoad) || options.strokeFont == nullptr;
}

void PlotDriver::Beep() const {
  if (options.beep) options.beep();
}

Extents PlotDriver::OutputExtents() const {
  const Settings& s = settings();
  const Extents& e = program_->extents;
  Extents m;
  m.xmin = e.xmin * s.PlotScale + s.PlotOriginX;
  m.ymin = e.ymin * s.PlotScale + s.PlotOriginY;
  m.xmax = e.xmax * s.PlotScale + s.PlotOriginX;
  m.ymax = e.ymax * s.PlotScale + s.PlotOriginY;
  return m;
}

std::string PlotDriver::TargetName() const {
  return settings().PlotFile + "." + OutputExtension(state.syntax, options.garmin);
}

bool PlotDriver::OpenTarget(std::string* error) {
  if (state.device == static_cast<int>(Device::File)) {
    auto file = std::make_unique<FileTarget>();
    targetName_ = TargetName();
    if (!file->Open(targetName_, program_->file.Path(), error)) return false;
    target_ = std::move(file);
    return true;
  }
  const bool serial = state.device == static_cast<int>(Device::Serial);
  targetName_ = serial ? ComDevicePath(settings().SerialPort) : LptDevicePath(settings().LPT);
  const PortOptions options = PortOptionsFromEnvironment(serial ? settings().SerialPort : 0);
  // The probe: one line end reaches the device before the port is opened for the output.
  {
    PortTarget probe;
    if (!probe.Open(targetName_, serial, settings(), error, options)) return false;
    if (!probe.Write("\r\n") || !probe.Close()) {
      if (error) *error = targetName_ + ": " + probe.reason();
      return false;
    }
  }
  auto port = std::make_unique<PortTarget>();
  if (!port->Open(targetName_, serial, settings(), error, options)) return false;
  target_ = std::move(port);
  return true;
}

void PlotDriver::CloseTarget(bool keep) {
  if (target_) {
    if (keep && out_.Drain()) {
      if (!target_->Close()) program_->ErrorFlag = true;
    } else {
      out_.Discard();
      target_->Abandon();
    }
  }
  out_.SetStaged(false);
  writer_.reset();
  target_.reset();
  channel_.target = nullptr;
  state.outputOpen = false;
}

void PlotDriver::BeginOutput(int syntaxCode, int deviceCode) {
  AbandonOutput();  // an output that was begun but never ended is not kept
  state.syntax = CheckSyntaxCode(syntaxCode);
  state.device = CheckDeviceCode(deviceCode);
  state.curX = state.curY = 0.0L;
  state.textX = state.textY = 0.0L;
  state.textWidth = state.textHeight = 5.0L;
  state.justifyH = 0;
  state.justifyV = 2;
  state.currentPen = 100;
  state.lastVelocity = 0;
  state.pascalLines = 0;
  state.polygonMode = false;
  state.psSegments = 0;
  state.peOpen = false;
  state.positionKnown = true;
  state.outputOpen = false;
  aheadUnits = PointUnits{};

  std::string error;
  if (!OpenTarget(&error)) {
    program_->ErrorFlag = true;
    if (error == kSameFileMessage) {  // the caller's "Invalid filename" alone would not say why
      program_->MessagesEnabled = true;
      program_->Error(error);
    }
    CloseTarget(false);
    return;
  }
  channel_.target = target_.get();
  out_.SetStaged(state.device == static_cast<int>(Device::File));
  writer_ = MakeSyntaxWriter(state.syntax, *this);

  state.penDown = false;
  state.pascalProcs = 0;
  state.curX = state.curY = 0.0L;
  writer_->Header();
  if (target_->failed()) {
    Beep();
    program_->ErrorFlag = true;
    CloseTarget(false);
    return;
  }
  state.peOpen = false;
  ResetOutputState();
  state.outputOpen = true;
  // A wrong code or a failed write leaves ErrorFlag set, and the caller then stops without
  // EndOutput: nothing of this output is kept.
  if (program_->ErrorFlag) {
    CloseTarget(false);
    return;
  }
  ++outputsBegun;
  target_->SetFailureHandler([this](const std::string& reason) {
    program_->MessagesEnabled = true;
    if (state.device == static_cast<int>(Device::File)) {
      program_->Error("erreur d'écriture " + targetName_ + " : " + reason);
    } else {
      program_->Error("device not ready");
    }
  });
}

void PlotDriver::ResetOutputState() {
  OutWindow();
  PenUp();
  state.textWidth = state.textHeight = 5.0L;
  state.justifyH = 0;
  state.justifyV = 2;
  state.textX = state.textY = 0.0L;
  writer_->ResetExtras();
  OutVelocity(500);
}

void PlotDriver::EndOutput() {
  if (!state.outputOpen || !writer_) return;
  OutWindow();
  const bool cncSm = state.syntax == static_cast<int>(Syntax::Cnc) && settings().NcSyntax == 2;
  if (!cncSm) MoveTo(true, 0.0L, 0.0L);
  if (holdTrailers_ && OutputTrailerReadsExtents(state.syntax) &&
      state.device == static_cast<int>(Device::File)) {
    HoldOutput();
    return;
  }
  writer_->Trailer();
  CloseTarget(true);
}

void PlotDriver::AbandonOutput() {
  if (target_ || writer_) CloseTarget(false);
}

void PlotDriver::HoldTrailers() {
  held_.clear();  // their files remove their temporaries
  holdTrailers_ = true;
}

void PlotDriver::HoldOutput() {
  auto* file = dynamic_cast<FileTarget*>(target_.get());
  if (!file || !out_.Drain() || !file->Suspend()) {
    program_->ErrorFlag = true;
    CloseTarget(false);
    return;
  }
  target_.release();
  held_.push_back({std::unique_ptr<FileTarget>(file), std::move(writer_), state, targetName_});
  CloseTarget(false);  // nothing is open any more: resets the channel and the state
}

bool PlotDriver::EndHeldOutputs(bool keep) {
  holdTrailers_ = false;
  std::vector<HeldOutput> held = std::move(held_);
  held_.clear();
  if (!keep) return true;
  for (HeldOutput& h : held) {
    AbandonOutput();
    FileTarget& file = *h.target;
    state = h.state;
    targetName_ = h.name;
    target_ = std::move(h.target);
    writer_ = std::move(h.writer);
    if (!file.Resume()) {
      program_->ErrorFlag = true;
      CloseTarget(false);
      return false;
    }
    channel_.target = &file;
    out_.SetStaged(true);
    writer_->Trailer();
    CloseTarget(true);
    if (program_->ErrorFlag) return false;
  }
  return true;
}

void PlotDriver::OutWindow() {
  if (writer_) writer_->OutWindow();
}

void PlotDriver::OutRotate(long double angle) {
  if (!writer_ || !Finite(angle)) return;
  writer_->OutRotate(angle);
}

void PlotDriver::PascalLine(std::string_view s) {
  std::string line = "  ";
  line.append(s);
  PascalHeaderLine(line);
}

void PlotDriver::PascalHeaderLine(std::string_view s) {
  WriteLine(s);
  CountPascalLine();
}

void PlotDriver::CountPascalLine() {
  if (++state.pascalLines > 350) {
    WriteLine("end;");
    BeginPascalProcedure();
    state.pascalLines = 0;
  }
}

void PlotDriver::BeginPascalProcedure() {
  ++state.pascalProcs;
  WriteLine("");
  WriteLine("procedure TavoDrawing" + std::to_string(state.pascalProcs) + ";");
  WriteLine("(********************)");
  WriteLine("begin");
}

// --- Pen moves and lines ---------------------------------------------------------------------

void SyntaxWriter::Segment(long double x1, long double y1, long double x2, long double y2) {
  d_.SegmentWith(*this, x1, y1, x2, y2);
}

void PlotDriver::MoveTo(bool force, long double x, long double y) { Move(force, x, y); }

void PlotDriver::LineTo(bool force, long double x, long double y) { Line(force, x, y); }

void PlotDriver::DrawLine(long double x1, long double y1, long double x2, long double y2) {
  Segment(x1, y1, x2, y2);
}

void PlotDriver::SelectPen(int pen) {
  if (!writer_) return;
  pen = PenOfCode(pen);
  if (pen == state.currentPen) return;
  PenUp();
  if (pen == 0) {
    state.currentPen = 0;
    return;
  }
  writer_->SelectPen(pen);
  state.currentPen = pen;
  // Pen 16 has no entry in the pen speed table: no velocity command.
  if (pen < kPenTableSize) OutVelocity(settings().PenSpeed[static_cast<std::size_t>(pen)]);
}

void PlotDriver::OutVelocity(int speed) {
  if (!writer_ || speed == state.lastVelocity || speed == 0) return;
  writer_->OutVelocity(speed);
  state.lastVelocity = speed;
}

// --- Circles and arcs ------------------------------------------------------------------------

void PlotDriver::OutCircle(long double x, long double y, long double r) {
  if (!writer_ || state.currentPen == 0 || !Finite(x) || !Finite(y) || !Finite(r)) return;
  writer_->OutCircle(x, y, std::fabs(r));
}

void PlotDriver::OutArc(long double cx, long double cy, long double a1, long double a2,
                        long double r, long double direction) {
  if (!writer_ || state.currentPen == 0) return;
  if (!Finite(cx) || !Finite(cy) || !Finite(a1) || !Finite(a2) || !Finite(r) ||
      !Finite(direction)) {
    return;
  }
  ArcGeometry arc = MakeArcGeometry(cx, cy, a1, a2, r, direction);
  if (!Finite(arc.S.x) || !Finite(arc.S.y) || !Finite(arc.E.x) || !Finite(arc.E.y)) return;
  writer_->OutArc(arc);
}

// --- Text ------------------------------------------------------------------------------------

void PlotDriver::OutTextStyle(int kind, long double angle, long double height, long double width) {
  if (!writer_ || !Finite(angle) || !Finite(height) || !Finite(width)) return;
  state.textAngle = angle;
  state.textHeight = height;
  state.textWidth = width;
  if (NativeText()) writer_->OutTextStyle(kind, angle, height, width);
}

void PlotDriver::OutTextJustify(int h, int v) {
  state.justifyH = h;
  state.justifyV = v;
}

void PlotDriver::LabelAt(const std::string& text, long double x, long double y) {
  if (!writer_ || state.currentPen == 0 || !Finite(x) || !Finite(y)) return;
  const long double n = static_cast<long double>(text.size()) + 1.0L;
  const long double w = state.textWidth;
  const long double h = state.textHeight;
  const bool upright = std::nearbyint(state.textAngle) != 90.0L;
  long double tx = x, ty = y;
  if (state.justifyH == 1) tx += upright ? -n * w / 2.0L : h / 2.0L;
  if (state.justifyH == 2) tx += upright ? -n * w : h;
  if (state.justifyV == 1) ty += upright ? -h / 2.0L : -n * w / 2.0L;
  if (state.justifyV == 2) ty += upright ? -h : -n * w;
  TextMoveTo(tx, ty);
  // HP-GL and HP-GL Laser move to the unshifted point too. HP-GL/2 takes the text position as
  // its own (TextMoveTo), so no relative move from a stale position is written.
  if (state.syntax == static_cast<int>(Syntax::Hpgl) ||
      state.syntax == static_cast<int>(Syntax::HpglLaser)) {
    MoveTo(false, x, y);
  }
  OutLabel(text);
}

void PlotDriver::TextMoveTo(long double x, long double y) {
  if (!writer_ || state.currentPen == 0 || !Finite(x) || !Finite(y)) return;
  if (state.penDown) PenUp();
  writer_->TextMoveTo(x, y);
  state.textX = x;
  state.textY = y;
}

void PlotDriver::OutLabel(const std::string& text) {
  if (!writer_ || state.currentPen == 0 || text.empty()) return;
  if (NativeText()) {
    writer_->OutLabel(text);
    if (writer_ && writer_->LabelMovesPen()) state.positionKnown = false;
  } else {
    StrokeLabel(text);
  }
}

void PlotDriver::StrokeLabel(const std::string& text) {
  const StrokeFont& font = *options.strokeFont;
  const long double above = font.Above() < 1 ? 1.0L : static_cast<long double>(font.Above());
  const long double rad = state.textAngle * kPi / 180.0L;
  const long double ca = std::cos(rad);
  const long double sa = std::sin(rad);
  const long double unit = state.textHeight / above;
  long double x = state.textX;
  long double y = state.textY;
  // The strokes start at the text position. HP-GL and HP-GL Laser stand at the label's point
  // (LabelAt moved there); every other syntax's TextMoveTo left the device at the text position
  // or writes no position at all, so that is the driver's position from now on.
  if (state.syntax == static_cast<int>(Syntax::Hpgl) ||
      state.syntax == static_cast<int>(Syntax::HpglLaser)) {
    MoveTo(false, x, y);
  } else {
    state.curX = x;
    state.curY = y;
  }

  // The glyphs' steps through the frame's moves: a line while the pen is down, else a move.
  struct Pen {
    PlotDriver& d;
    long double unit, ca, sa, x, y;
    bool Step(long double length, long double dx, long double dy) {
      const long double s = length * unit;
      x += s * (dx * ca - dy * sa);
      y += s * (dy * ca + dx * sa);
      if (d.state.penDown) {
        d.LineTo(false, x, y);
      } else {
        d.MoveTo(false, x, y);
      }
      return true;
    }
    void PenDown() { d.PenDown(); }
    void PenUp() { d.PenUp(); }
  } pen{*this, unit, ca, sa, x, y};
  for (unsigned char c : text) {
    if (c < kStrokeFontFirstCode || c > kStrokeFontLastCode) continue;
    WalkGlyph(font.Glyph(c), pen);
  }
}

// --- Polygons --------------------------------------------------------------------------------

void PlotDriver::BeginPolygon() {
  if (!writer_) return;
  state.polygonMode = true;
  writer_->BeginPolygon();
}

void PlotDriver::EndPolygon(int mode) {
  if (!writer_) return;
  state.polygonMode = false;
  writer_->EndPolygon(mode);
  PenUp();
}

void PlotDriver::FillPolygon() {
  if (writer_) writer_->FillPolygon();
}

// --- The one choice of writer by syntax code -------------------------------------------------

std::unique_ptr<SyntaxWriter> MakeSyntaxWriter(int syntaxCode, PlotDriver& driver) {
  switch (static_cast<Syntax>(syntaxCode)) {
    case Syntax::Hpgl:
    case Syntax::Hpgl2:
    case Syntax::HpglLaser:
      return MakeHpglWriter(driver);
    case Syntax::Aristo:
      return MakeAristoWriter(driver);
    case Syntax::Lasercomb:
      return MakeLasercombWriter(driver);
    case Syntax::Cnc:
      return MakeCncWriter(driver);
    case Syntax::Dxf:
      return MakeDxfSyntaxWriter(driver);
    case Syntax::TurboPascal:
      return MakePascalWriter(driver);
    case Syntax::Iges:
      return MakeIgesSyntaxWriter(driver);
    case Syntax::TurboC:
      return MakeTurboCWriter(driver);
    case Syntax::Postscript:
      return MakePostscriptWriter(driver);
    case Syntax::GarminGps:
      return MakeGarminSyntaxWriter(driver);
  }
  return MakeHpglWriter(driver);
}

}  // namespace plotvue
