// The HP-GL family: HP-GL (1), HP-GL/2 (9) and HP-GL Laser (11). Commands are written without
// line ends (HP-GL Laser's mode switches excepted), in plotter units of 0.025 mm; HP-GL/2 writes
// its moves and lines as relative Polyline Encoded numbers in seven-bit form. The writer reads
// state.syntax on every call: HP-GL/2 output runs single commands as HP-GL (the reset's move,
// the arcs) and switches to HP-GL for good when a polygon begins inside an encoded run.
#include <cmath>
#include <cstdint>

#include "output/driverpath.h"
#include "output/syntax.h"
#include "output/syntaxwriter.h"

namespace plotvue {
namespace {

constexpr char kEsc = 27;
constexpr char kEtx = 3;

class HpglWriter final : public DirectSegmentWriter<HpglWriter> {
 public:
  using DirectSegmentWriter::DirectSegmentWriter;

  void Header() override {
    if (Is(Syntax::HpglLaser)) {
      d_.WriteText(std::string{kEsc} + "E" + kEsc + "%0B");
      d_.WriteLine("IN;SD1,341;");
    } else {
      d_.WriteText(std::string{kEsc} + ".(;IN;");
    }
  }

  void ResetExtras() override {
    if (Is(Syntax::Hpgl2)) {
      st().syntax = static_cast<int>(Syntax::Hpgl);
      d_.MoveTo(true, 0.0L, 0.0L);
      st().syntax = static_cast<int>(Syntax::Hpgl2);
    } else {
      d_.WriteText("DF;SD1,341;");
    }
  }

  void Trailer() override {
    if (st().peOpen) EndEncodedRun();
    if (Is(Syntax::HpglLaser)) {
      d_.WriteLine(std::string{kEsc} + "%0A");
      d_.WriteLine(std::string{kEsc} + "E");
    }
  }

  void OutWindow() override {
    CloseRunForCommand();
    d_.WriteText("IW;");
  }

  void OutRotate(long double angle) override {
    CloseRunForCommand();
    d_.WriteText("RO" + IntText(angle) + ";");
  }

  void PenUp() override {
    if (Is(Syntax::Hpgl2) && st().peOpen) {
      d_.WriteText("<");
    } else {
      d_.WriteText("PU;");
    }
  }

  void PenDown() override {
    if (!(Is(Syntax::Hpgl2) && st().peOpen)) d_.WriteText("PD;");
  }

  void MoveTo(long double x, long double y) override {
    if (!Is(Syntax::Hpgl2)) {
      WritePa(x, y);
      return;
    }
    if (!st().positionKnown) {
      // The plotter's pen stands where a label ended: restart from the absolute point.
      if (st().peOpen) EndEncodedRun();
      WritePa(x, y);
      st().curX = x;
      st().curY = y;
    }
    if (!st().peOpen) BeginEncodedRun();
    WritePair("<", x - st().curX, y - st().curY);
  }

  void LineTo(long double x, long double y) override {
    if (!Is(Syntax::Hpgl2)) {
      WritePa(x, y);
      return;
    }
    if (!st().peOpen) {
      BeginEncodedRun();
      // "PE7<" makes the next pair a pen-up move: a zero move takes it, so the segment that
      // follows is drawn.
      WritePair("", 0.0L, 0.0L);
    }
    WritePair("", x - st().curX, y - st().curY);
  }

  void SelectPen(int pen) override {
    CloseRunForCommand();
    const std::string n = std::to_string(pen);
    d_.WriteText("SP" + n + ";");
    if (Is(Syntax::HpglLaser)) {
      d_.WriteText("PW" + S(static_cast<long double>(pen) * 0.08L) + ";");
    }
  }

  void OutVelocity(int speed) override {
    if (Is(Syntax::HpglLaser)) return;
    CloseRunForCommand();
    d_.WriteText("VS" + IntText(static_cast<long double>(speed) * 0.1L) + ";");
  }

  void OutCircle(long double x, long double y, long double r) override {
    d_.MoveTo(false, x, y);
    if (Is(Syntax::Hpgl2) && st().peOpen) {
      EndEncodedRun();
      if (!st().penDown) d_.PenDown();
    }
    d_.WriteText("CI" + IntText(r * 40.0L) + ";");
  }

  void OutArc(const ArcGeometry& a) override {
    if (Is(Syntax::Hpgl2)) {
      if (a.NoWholeDegreeArc()) {
        d_.DrawLine(a.S.x, a.S.y, a.E.x, a.E.y);
        return;
      }
      if (st().peOpen) {
        EndEncodedRun();
        d_.PenDown();
      }
      st().syntax = static_cast<int>(Syntax::Hpgl);
      ArcBody(a);
      if (a.endWhole) {
        d_.MoveTo(false, a.E.x, a.E.y);
      } else {
        d_.DrawLine(a.U.x, a.U.y, a.E.x, a.E.y);
      }
      st().syntax = static_cast<int>(Syntax::Hpgl2);
      return;
    }
    // HP-GL and HP-GL Laser: arcs of less than two degrees are written as one straight piece.
    if (a.sweep < 2.0L) {
      d_.DrawLine(a.S.x, a.S.y, a.E.x, a.E.y);
      return;
    }
    ArcBody(a);
    if (!a.endWhole) d_.DrawLine(a.U.x, a.U.y, a.E.x, a.E.y);
    st().curX = a.E.x;
    st().curY = a.E.y;
  }

  void OutTextStyle(int, long double angle, long double height, long double width) override {
    CloseRunForCommand();
    d_.WriteText("SD1,341;");
    d_.WriteText("SI" + FormatFixed(width * 0.0625L, 2, Dp()) + "," +
                 FormatFixed(height * 0.1L, 2, Dp()) + ";");
    const long double rad = angle * 3.14159265358979323846264338327950288L / 180.0L;
    d_.WriteText("DI" + IntText(128.0L * std::cos(rad)) + "," + IntText(128.0L * std::sin(rad)) +
                 ";");
  }

  void TextMoveTo(long double x, long double y) override {
    if (Is(Syntax::Hpgl2)) {
      if (st().peOpen) {
        EndEncodedRun();
        if (st().penDown) d_.PenUp();
      }
      WritePa(x, y);
      // The plotter's pen now stands at the text position: it is the driver's position too.
      st().curX = x;
      st().curY = y;
      st().positionKnown = true;
      return;
    }
    WritePa(x, y);
  }

  void OutLabel(const std::string& text) override {
    CloseRunForCommand();
    std::string command = "LB";
    command += text;
    command += kEtx;
    d_.WriteText(command);
  }

  void BeginPolygon() override {
    if (Is(Syntax::Hpgl2) && st().peOpen) {
      EndEncodedRun();
      st().syntax = static_cast<int>(Syntax::Hpgl);
    }
    d_.PenUp();
    d_.WriteText("PM0;");
  }

  void EndPolygon(int mode) override {
    CloseRunForCommand();
    d_.WriteText("PM" + std::to_string(mode) + ";");
  }

  bool LabelMovesPen() const override { return true; }

 private:
  bool Is(Syntax s) const { return d_.state.syntax == static_cast<int>(s); }

  // "PA" x "," y ";" in plotter units written at p (room for 64 bytes); returns its end. The
  // most frequent command, built in place.
  static char* PutPa(char* p, long double x, long double y) {
    *p++ = 'P';
    *p++ = 'A';
    p = PutInt(p, RoundFast(x * 40.0L));
    *p++ = ',';
    p = PutInt(p, RoundFast(y * 40.0L));
    *p++ = ';';
    return p;
  }
  void WritePa(long double x, long double y) {
    char buf[64];
    char* const begin = d_.out().Begin(sizeof buf, buf);
    d_.out().End(begin, PutPa(begin, x, y));
  }

  // HP-GL/2: a command that is not encoded closes the open run first.
  void CloseRunForCommand() {
    if (Is(Syntax::Hpgl2) && st().peOpen) EndEncodedRun();
  }

  // Steps 2 to 4 of the HP-GL arc: to the first whole degree, then the whole-degree arc.
  void ArcBody(const ArcGeometry& a) {
    if (a.startWhole) {
      d_.MoveTo(false, a.S.x, a.S.y);
    } else {
      d_.DrawLine(a.S.x, a.S.y, a.T.x, a.T.y);
    }
    d_.PenDown();
    d_.WriteText("AA" + H40(a.cx) + "," + H40(a.cy) + "," + IntText(a.G) + ";");
  }

  void BeginEncodedRun() {
    if (!Is(Syntax::Hpgl2)) return;
    d_.PenUp();
    d_.WriteText("PE7<");
    st().peOpen = true;
    d_.PenDown();
  }

  void EndEncodedRun() {
    if (!Is(Syntax::Hpgl2)) return;
    d_.WriteText("<;");
    st().peOpen = false;
    d_.PenUp();
  }

  // `prefix` and the encoded pair, built in place: the command of every encoded move.
  void WritePair(std::string_view prefix, long double dx, long double dy) {
    // A number has at most 13 base-32 digits.
    char buf[48];
    char* const begin = d_.out().Begin(sizeof buf, buf);
    char* p = begin + prefix.copy(begin, prefix.size());
    p = EncodePENumber(dx, p);
    p = EncodePENumber(dy, p);
    d_.out().End(begin, p);
  }

  // The seven-bit base-32 number of a difference in mm: magnitude in plotter units times two,
  // plus one when negative; low-order digits first (63 + digit), the last one 95 + digit.
  // Written at p (room for 13 digits); returns their end.
  static char* EncodePENumber(long double d, char* p) {
    std::uint64_t v = static_cast<std::uint64_t>(RoundFast(std::fabs(d * 40.0L)));
    std::uint64_t n = v * 2 + (d < 0.0L ? 1 : 0);
    while (n > 31) {
      *p++ = static_cast<char>(63 + n % 32);
      n /= 32;
    }
    *p++ = static_cast<char>(95 + n);
    return p;
  }
};

}  // namespace

std::unique_ptr<SyntaxWriter> MakeHpglWriter(PlotDriver& driver) {
  return std::make_unique<HpglWriter>(driver);
}

}  // namespace plotvue
