// The line-oriented machine syntaxes: Aristo (2, hundredths of a millimetre), Lasercomb (3,
// HP-GL-like commands in 1/200 mm, or plain millimetres with CNC dialect 2) and CNC (4, G-code
// in millimetres in four dialects). Each command is one line ending in CR LF.
#include <fstream>
#include <string>
#include <string_view>

#include "base/fileutil.h"
#include "output/driverpath.h"
#include "output/syntax.h"
#include "output/syntaxwriter.h"

namespace plotvue {
namespace {

constexpr char kEsc = 27;
constexpr char kDle = 16;
constexpr char kEtx = 3;

// --- Aristo ----------------------------------------------------------------------------------

class AristoWriter final : public DirectSegmentWriter<AristoWriter> {
 public:
  using DirectSegmentWriter::DirectSegmentWriter;

  void Header() override {
    d_.WriteLine("%" + settings().PlotFile);
    d_.WriteLine("");
    // The block of ARISTO.TXT in the "PLT Annuaire" directory, when there is one.
    std::ifstream block(WithTrailingSlash(settings().HelpImageDir) + "ARISTO.TXT",
                        std::ios::binary);
    if (block) {
      std::string line;
      while (std::getline(block, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        d_.WriteLine(line);
      }
      d_.WriteLine("");
    }
    d_.WriteLine("G90");
    d_.MoveTo(true, 0.0L, 0.0L);
  }

  void Trailer() override {
    d_.WriteLine("D0");
    d_.WriteLine("M02");
  }

  void OutWindow() override { d_.WriteLine("D80I0"); }
  void OutRotate(long double angle) override {
    d_.WriteLine("D49I" + RoundText(angle * 1000.0L) + "J0");
  }
  void MoveTo(long double x, long double y) override { WriteXy("G0D0", x, y); }
  void LineTo(long double x, long double y) override { WriteXy("G1D1", x, y); }
  // No line end: the next Aristo line follows on the same line.
  void SelectPen(int pen) override { d_.WriteText("D23I" + std::to_string(pen)); }

  void OutCircle(long double x, long double y, long double r) override {
    d_.MoveTo(false, x + r, y);
    d_.WriteLine("G3D1I" + A100(x) + "J" + A100(y));
  }

  void OutArc(const ArcGeometry& a) override {
    const bool back = a.direction < 0.0L;
    const ArcPoint& from = back ? a.E : a.S;
    const ArcPoint& to = back ? a.S : a.E;
    d_.MoveTo(false, from.x, from.y);
    d_.PenDown();
    d_.WriteLine((back ? "G2D1I" : "G3D1I") + A100(a.cx) + "J" + A100(a.cy) + "X" + A100(to.x) +
                 "Y" + A100(to.y));
    st().curX = to.x;
    st().curY = to.y;
  }

  void OutTextStyle(int kind, long double angle, long double height, long double width) override {
    d_.WriteLine("D45I" + RoundText(angle * 1000.0L));
    d_.WriteLine("D25I1J" + std::to_string(kind) + "K1L1");
    d_.WriteLine("D35I" + RoundText(height * 100.0L) + "J" + RoundText(width / height * 1000.0L) +
                 "W0K0");
  }

  void TextMoveTo(long double x, long double y) override { WriteXy("G0D0", x, y); }

  void OutLabel(const std::string& text) override {
    d_.WriteLine("D25L1");
    d_.WriteLine(Cat("$", AristoText(text), "$"));
  }

 private:
  // command, "X", x and "Y", y in hundredths of a millimetre; built on the stack, as it is
  // the line of every move.
  void WriteXy(std::string_view command, long double x, long double y) {
    char buf[80];
    char* const begin = d_.out().Begin(sizeof buf, buf);
    char* p = begin + command.copy(begin, command.size());
    *p++ = 'X';
    p = PutInt(p, RoundFast(x * 100.0L));
    *p++ = 'Y';
    p = PutInt(p, RoundFast(y * 100.0L));
    d_.out().EndLine(begin, p);
  }
};

// --- Lasercomb -------------------------------------------------------------------------------

class LasercombWriter final : public DirectSegmentWriter<LasercombWriter> {
 public:
  using DirectSegmentWriter::DirectSegmentWriter;

  void Header() override {
    if (Sm()) return;
    d_.WriteLine(std::string{kEsc} + ".(");
    std::string title = std::string(kProgramName) + " " + settings().PlotFile;
    if (title.size() > 65) title.resize(65);
    d_.WriteLine(std::string{kDle} + title);
  }

  void Trailer() override { d_.WriteLine(std::string{kEsc} + ".)"); }

  void PenUp() override { d_.WriteLine("PU;"); }
  void PenDown() override { d_.WriteLine("PD;"); }
  void MoveTo(long double x, long double y) override { WritePa(x, y); }
  void LineTo(long double x, long double y) override { WritePa(x, y); }
  void SelectPen(int pen) override { d_.WriteLine("SP" + std::to_string(pen) + ";"); }
  void OutVelocity(int speed) override {
    if (!Sm()) d_.WriteLine("VS" + RoundText(static_cast<long double>(speed) * 0.1L) + ";");
  }

  void OutCircle(long double x, long double y, long double r) override {
    if (Sm()) {
      d_.MoveTo(false, x, y);
      d_.PenDown();
      d_.WriteLine("CI" + S(r * 100.0L) + ";");
    } else {
      d_.MoveTo(false, x + r, y);
      d_.PenDown();
      d_.WriteLine("AA" + L200(x) + "," + L200(y) + ",360;");
    }
  }

  void OutArc(const ArcGeometry& a) override {
    // An arc that holds no whole degree has no whole-degree arc command: one straight piece.
    if (a.NoWholeDegreeArc()) {
      d_.DrawLine(a.S.x, a.S.y, a.E.x, a.E.y);
      return;
    }
    if (a.startWhole) {
      d_.MoveTo(false, a.S.x, a.S.y);
    } else {
      d_.DrawLine(a.S.x, a.S.y, a.T.x, a.T.y);
    }
    d_.PenDown();
    d_.WriteLine("AA" + Coord(a.cx) + "," + Coord(a.cy) + "," + RoundText(a.G) + ";");
    if (!a.endWhole) d_.DrawLine(a.U.x, a.U.y, a.E.x, a.E.y);
    st().curX = a.E.x;
    st().curY = a.E.y;
  }

  void TextMoveTo(long double x, long double y) override { WritePa(x, y); }

  void OutLabel(const std::string& text) override {
    if (Sm()) {
      d_.WriteLine("LB" + text + kEtx);
    } else {
      d_.Beep();  // no text command outside dialect 2
    }
  }

  bool LabelMovesPen() const override { return Sm(); }

 private:
  bool Sm() const { return Dialect() == 2; }
  std::string Coord(long double v) const { return Sm() ? S(v) : L200(v); }
  // "PA" x "," y ";" in a buffer kept from line to line, as it is the line of every move.
  void WritePa(long double x, long double y) {
    char buf[8 + 2 * kNumberRoom];
    char* const begin = d_.out().Begin(sizeof buf, buf);
    char* p = begin;
    *p++ = 'P';
    *p++ = 'A';
    if ((p = PutCoord(p, x))) {
      *p++ = ',';
      if ((p = PutCoord(p, y))) {
        *p++ = ';';
        d_.out().EndLine(begin, p);
        return;
      }
    }
    line_.assign("PA");
    AppendCoord(x);
    line_ += ',';
    AppendCoord(y);
    line_ += ';';
    d_.WriteLine(line_);
  }
  // The coordinate text at p, or nullptr when it is one of the long numbers.
  char* PutCoord(char* p, long double v) {
    return Sm() ? PutShort(p, v, Dp()) : PutInt(p, RoundFast(v * 200.0L));
  }
  void AppendCoord(long double v) {
    if (Sm()) {
      AppendShort(line_, v, Dp());
    } else {
      char buf[24];
      line_.append(buf, PutInt(buf, RoundFast(v * 200.0L)));
    }
  }
  std::string line_;
};

// --- CNC -------------------------------------------------------------------------------------

class CncWriter final : public DirectSegmentWriter<CncWriter> {
 public:
  using DirectSegmentWriter::DirectSegmentWriter;

  void Header() override {
    if (Dialect() == 2) {
      d_.WriteLine("; " + settings().PlotFile);
      d_.WriteLine("");
      return;
    }
    d_.WriteLine("%" + settings().PlotFile);
    d_.WriteLine("");
    d_.WriteLine("G90");
    d_.MoveTo(true, 0.0L, 0.0L);
  }

  void Trailer() override {
    if (Dialect() == 3) {
      d_.WriteLine("T0");
      d_.WriteLine("M30");
    } else {
      d_.WriteLine("M02");
    }
  }

  void PenUp() override { d_.WriteLine("G00 Z" + N3(settings().WerkzeugAbstand)); }
  void PenDown() override { d_.WriteLine("G01 Z" + N3(-settings().Fraestiefe)); }
  void MoveTo(long double x, long double y) override { WriteMove("G00 X", x, y); }
  void LineTo(long double x, long double y) override { WriteMove("G01 X", x, y); }

  void SelectPen(int pen) override {
    const int dialect = Dialect();
    if (dialect == 2) return;
    d_.WriteLine((dialect == 3 ? "G17 T" : "M06 T") + std::to_string(pen));
  }

  void OutVelocity(int speed) override {
    const std::string feed = std::to_string(speed);
    if (Dialect() == 3) {
      d_.WriteLine("G00 Z100.000 S+1000 F" + feed);
    } else {
      d_.WriteLine("G00 Z100.000 S1000 M03 F" + feed);
    }
  }

  void OutCircle(long double x, long double y, long double r) override {
    if (ZeroRadius(r)) return;
    if (Dialect() == 4) {
      // "circle->hole": the tool plunges at the centre.
      d_.MoveTo(false, x, y);
      d_.PenDown();
      return;
    }
    d_.MoveTo(false, x + r, y);
    d_.OutArc(x, y, 0.0L, 360.0L, r, 1.0L);
  }

  void OutArc(const ArcGeometry& a) override {
    // A circular interpolation of radius 0 is rejected by G-code readers.
    if (ZeroRadius(a.r)) return;
    const bool back = a.direction < 0.0L;
    const ArcPoint& from = back ? a.E : a.S;
    const ArcPoint& to = back ? a.S : a.E;
    d_.MoveTo(false, from.x, from.y);
    d_.PenDown();
    std::string line = (back ? "G02 " : "G03 ") + Xy(to.x, to.y);
    switch (Dialect()) {
      case 2:
        line += " MP " + Xy(a.cx, a.cy);
        break;
      case 3:
        line += " I" + N3(a.cx - from.x) + " J" + N3(a.cy - from.y);
        break;
      default:
        line += " I" + N3(a.cx) + " J" + N3(a.cy);
        break;
    }
    d_.WriteLine(line);
    st().curX = to.x;
    st().curY = to.y;
  }

  void TextMoveTo(long double x, long double y) override { MoveTo(x, y); }
  void OutLabel(const std::string&) override { d_.Beep(); }

 private:
  std::string Xy(long double x, long double y) const { return Cat("X", N3(x), " Y", N3(y)); }
  // command x " Y" y in a buffer kept from line to line, as it is the line of every move.
  void WriteMove(std::string_view command, long double x, long double y) {
    // The line of every move, built on the stack; the rare long numbers take the string path.
    char buf[16 + 2 * kNumberRoom];
    char* const begin = d_.out().Begin(sizeof buf, buf);
    char* p = begin + command.copy(begin, command.size());
    // The numbers of a segment's end may have been made ahead (PlotDriver::aheadUnits).
    const PointUnits& ahead = d_.aheadUnits;
    if (x == ahead.x && y == ahead.y) {
      p = PutFixedUnits(p, static_cast<std::uint64_t>(ahead.ux), 3, Dp());
      *p++ = ' ';
      *p++ = 'Y';
      if ((p = PutFixed(p, y, 3, Dp()))) {
        d_.out().EndLine(begin, p);
        return;
      }
      p = begin + command.size();
    }
    if ((p = PutFixed(p, x, 3, Dp()))) {
      *p++ = ' ';
      *p++ = 'Y';
      if ((p = PutFixed(p, y, 3, Dp()))) {
        d_.out().EndLine(begin, p);
        return;
      }
    }
    line_.assign(command);
    AppendFixed(line_, x, 3, Dp());
    line_ += " Y";
    AppendFixed(line_, y, 3, Dp());
    d_.WriteLine(line_);
  }
  std::string line_;
  bool ZeroRadius(long double r) const { return N3(r) == N3(0.0L); }
};

}  // namespace

std::unique_ptr<SyntaxWriter> MakeAristoWriter(PlotDriver& driver) {
  return std::make_unique<AristoWriter>(driver);
}
std::unique_ptr<SyntaxWriter> MakeLasercombWriter(PlotDriver& driver) {
  return std::make_unique<LasercombWriter>(driver);
}
std::unique_ptr<SyntaxWriter> MakeCncWriter(PlotDriver& driver) {
  return std::make_unique<CncWriter>(driver);
}

std::string AristoText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (unsigned char c : text) {
    switch (c) {
      case '\'':
        out += "''";
        break;
      case 129:
      case 252:
        out += "'u";
        break;
      case 132:
      case 228:
        out += "'a";
        break;
      case 142:
      case 196:
        out += "'A";
        break;
      case 148:
      case 246:
        out += "'o";
        break;
      case 153:
      case 214:
        out += "'O";
        break;
      case 154:
      case 220:
        out += "'U";
        break;
      case 225:
      case 223:
        out += "'s";
        break;
      default:
        out += static_cast<char>(c);
        break;
    }
  }
  return out;
}

}  // namespace plotvue
