// Postscript (10): a page description in units of 1/300 inch (the header scales by 0.24 to
// points). Moves and lines build a path that is stroked at pen changes, at the start of a
// polygon, at the end of the file and after every 240 segments; polygons are closed paths that
// may be filled; labels are shown in the font named by the TextStyle setting.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "output/driverpath.h"
#include "output/syntax.h"
#include "output/syntaxwriter.h"

namespace plotvue {
namespace {

constexpr char kCtrlD = 4;
// Path segments after which the next move or line strokes and begins a new path.
constexpr int kMaxPathSegments = 240;

std::string TwoDigits(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

// The date of the header in the date format of the options.
std::string HeaderDate(const GarminClockTime& t, int format) {
  const std::string d = TwoDigits(t.day);
  const std::string m = TwoDigits(t.month);
  char year[16];
  std::snprintf(year, sizeof year, "%04d", t.year);
  switch (format) {
    case 1:
      return d + "." + m + "." + year;
    case 2:
      return m + "/" + d + "/" + year;
    case 4:
      return d + "/" + m + "/" + year;
    default:
      return std::string(year) + "/" + m + "/" + d;
  }
}

class PostscriptWriter final : public DirectSegmentWriter<PostscriptWriter> {
 public:
  using DirectSegmentWriter::DirectSegmentWriter;

  void Header() override {
    const GarminClockTime now = d_.options.clock();
    d_.WriteLine(std::string{kCtrlD} + "%!PostScript-Adobe-1.0");
    d_.WriteLine("% ");
    d_.WriteLine("% Dateiname: " + settings().PlotFile + ".PS");
    d_.WriteLine(std::string("% generiert von ") + kProgramName + " Version " + kProgramVersion);
    d_.WriteLine("% Datum: " + HeaderDate(now, d_.options.DateFormat) +
                 "  Zeit: " + std::to_string(now.hour) + ":" + TwoDigits(now.minute));
    d_.WriteLine("% ");
    for (const char* line :
         {"/m {moveto} def", "/l {lineto} def", "/s {stroke} def", "/n {newpath} def",
          "/r {rotate} def", "/w {setlinewidth} def", "2 setlinejoin"}) {
      d_.WriteLine(line);
    }
    if (settings().Rotate90 == 'N') {
      d_.WriteLine("20 20 translate");
    } else {
      d_.WriteLine("420 20 translate");
      d_.WriteLine("90 rotate");
    }
    d_.WriteLine(S(0.24L) + " " + S(0.24L) + " scale");
    d_.WriteLine("n");
    d_.WriteLine("0 0 m");
  }

  void Trailer() override {
    d_.WriteLine("s");
    d_.WriteLine("showpage");
    d_.WriteLine("");
    d_.WriteLine("%%EOF");
    d_.WriteText(std::string{kCtrlD});
  }

  void MoveTo(long double x, long double y) override {
    if (st().psSegments > kMaxPathSegments) NewPath();
    WritePoint(x, y, 'm');
  }

  void LineTo(long double x, long double y) override {
    if (st().psSegments > kMaxPathSegments) d_.MoveTo(true, st().curX, st().curY);
    WritePoint(x, y, 'l');
    ++st().psSegments;
  }

  void SelectPen(int pen) override {
    NewPath();
    d_.WriteLine(std::to_string(pen) + " w");
    d_.WriteLine(Xy(st().curX, st().curY) + " m");
  }

  void OutCircle(long double x, long double y, long double r) override {
    d_.OutArc(x, y, 0.0L, 360.0L, r, 1.0L);
  }

  void OutArc(const ArcGeometry& a) override {
    d_.WriteLine(Xy(a.S.x, a.S.y) + " m");
    d_.WriteLine(Xy(a.cx, a.cy) + " " + P(a.r) + " " + S(a.a1n) + " " + S(a.a2n) + " arc");
  }

  void OutTextStyle(int, long double, long double height, long double) override {
    d_.WriteLine("s");
    d_.WriteLine("n");
    d_.WriteLine("/" + settings().TextStyle + " findfont " + P(height) + " scalefont setfont");
  }

  void TextMoveTo(long double x, long double y) override { d_.WriteLine(Xy(x, y) + " m"); }

  void OutLabel(const std::string& text) override {
    const long double angle = st().textAngle;
    d_.WriteLine("gsave");
    if (angle != 0.0L) d_.WriteText(S(angle) + " r ");
    d_.WriteLine(S(st().textWidth * 1.4L / st().textHeight * 1.4L) + " " + S(1.4L) + " scale");
    d_.WriteLine(Cat("(", PostscriptText(text), ") show"));
    if (angle != 0.0L) d_.WriteLine(S(-angle) + " r");
    d_.WriteLine("grestore");
  }

  void BeginPolygon() override {
    NewPath();
    // The polygon's path starts at the current point, where the forced move before it went.
    d_.WriteLine(Xy(st().curX, st().curY) + " m");
  }

  void EndPolygon(int) override { d_.WriteLine("closepath"); }

  void FillPolygon() override {
    d_.WriteLine("fill");
    d_.WriteLine("n");
  }

 private:
  static std::string Xy(long double x, long double y) { return Cat(P(x), " ", P(y)); }

  // The last point WritePoint wrote and its text (two numbers of at most 20 characters).
  long double lastX_ = std::numeric_limits<long double>::quiet_NaN();
  long double lastY_ = std::numeric_limits<long double>::quiet_NaN();
  char lastText_[48] = {};
  std::size_t lastLength_ = 0;

  // The line "x y m" or "x y l", built in place: the most frequent lines. A path's move goes
  // to the end of the line before it, so the text of the last point is kept and reused; the
  // units of a segment's end point may have been made ahead (PlotDriver::aheadUnits). Points
  // are compared as numbers: equal numbers have the same text (0 and -0 both give "0"), and a
  // comparison of their bytes would wait for the stores of the arguments just passed.
  void WritePoint(long double x, long double y, char op) {
    char buf[64];
    char* const begin = d_.out().Begin(sizeof buf, buf);
    char* p;
    if (x == lastX_ && y == lastY_) {
      std::memcpy(begin, lastText_, sizeof lastText_);
      p = begin + lastLength_;
    } else {
      const PointUnits& ahead = d_.aheadUnits;
      const bool made = x == ahead.x && y == ahead.y;
      p = PutInt(begin, made ? ahead.ux : PsInt(x));
      *p++ = ' ';
      p = PutInt(p, made ? ahead.uy : PsInt(y));
      std::memcpy(&lastX_, &x, 10);
      std::memcpy(&lastY_, &y, 10);
      lastLength_ = static_cast<std::size_t>(p - begin);
      std::memcpy(lastText_, begin, sizeof lastText_);
    }
    *p++ = ' ';
    *p++ = op;
    d_.out().EndLine(begin, p);
  }

  void NewPath() {
    d_.WriteLine("s");
    d_.WriteLine("n");
    st().psSegments = 0;
  }
};

}  // namespace

std::unique_ptr<SyntaxWriter> MakePostscriptWriter(PlotDriver& driver) {
  return std::make_unique<PostscriptWriter>(driver);
}

std::string PostscriptText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (unsigned char c : text) {
    switch (c) {
      case '(':
        out += '{';
        break;
      case ')':
        out += '}';
        break;
      case '\\':
        out += "\\\\";
        break;
      case 129:
        out += "ue";
        break;
      case 132:
        out += "ae";
        break;
      case 142:
        out += "Ae";
        break;
      case 148:
        out += "oe";
        break;
      case 153:
        out += "Oe";
        break;
      case 154:
        out += "Ue";
        break;
      case 225:
        out += "ss";
        break;
      case 241:
        out += "+/-";
        break;
      case 248:
        out += static_cast<char>(202);
        break;
      case 253:
        out += '2';
        break;
      default:
        out += static_cast<char>(c);
        break;
    }
  }
  return out;
}

}  // namespace plotvue
