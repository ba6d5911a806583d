// Turbo Pascal (6): the source of a program that redraws the drawing through the RAREDOVA
// graphics unit. The drawing calls go into procedures TavoDrawing1, TavoDrawing2, ... of bounded
// size (the frame's PascalLine counts them); the main program sets the window to the drawing's
// extents and calls every procedure in a zoom loop.
#include <cctype>
#include <cstring>
#include <limits>
#include <string>

#include "input/sinks.h"
#include "output/driverpath.h"
#include "output/syntax.h"
#include "output/syntaxwriter.h"

namespace plotvue {
namespace {

class PascalWriter final : public DirectSegmentWriter<PascalWriter> {
 public:
  using DirectSegmentWriter::DirectSegmentWriter;

  void Header() override {
    std::string first = std::string("(* Programm generiert vom ") + kProgramName;
    if (first.size() > 51) first.resize(51);
    d_.PascalHeaderLine(first + " *)");
    d_.PascalHeaderLine("(* TAVOLIN Industriesoftware GmbH  *)");
    d_.PascalHeaderLine("");
    d_.PascalHeaderLine("Program " + PascalProgramName(settings().PlotFile) + ";");
    d_.PascalHeaderLine("");
    d_.PascalHeaderLine("uses RAREDOVA;");
    d_.PascalHeaderLine("");
    d_.BeginPascalProcedure();
  }

  void Trailer() override {
    for (const char* line :
         {"end;", "", "var", "  ch : char;", "begin", "  T_Init(0);", "  T_InitGraph;",
          "  T_ResetWindow;", "  T_DrawTavoGraphTestFrame('TavoGraph');"}) {
      d_.WriteLine(line);
    }
    const Extents e = d_.OutputExtents();
    d_.WriteLine("  T_SetWindow(0,0,0.8,0.9," + Num(e.xmin) + "," + Num(e.ymin) + "," +
                 Num(e.xmax) + "," + Num(e.ymax) + ",true,true);");
    d_.WriteLine("  repeat");
    d_.WriteLine("    T_ClearViewPort;");
    for (int i = 1; i <= st().pascalProcs; ++i) {
      d_.WriteLine("    TavoDrawing" + std::to_string(i) + ";");
    }
    d_.WriteLine("    T_ZoomKey(ch);");
    d_.WriteLine("  until(ch=#13)or(ch=#27);");
    d_.WriteLine("  T_CloseGraph;");
    d_.WriteLine("end.");
  }

  void LineTo(long double x, long double y) override {
    // PascalLine's two blanks are part of the text here: the most frequent line is built once,
    // in a buffer kept from line to line. A line of a polyline starts where the line before it
    // ended, so the text of that end point is kept and reused.
    char buf[16 + 4 * kNumberRoom];
    char* const begin = d_.out().Begin(sizeof buf, buf);
    char* p = begin;
    std::memcpy(p, "  T_Line(", 9);
    p += 9;
    if (st().curX == endX_ && st().curY == endY_) {
      CopyEndText(p, endText_, endLength_);
      p += endLength_;
    } else {
      p = PutShort(p, st().curX, Dp());
      if (p) *p++ = ',';
      if (p) p = PutShort(p, st().curY, Dp());
    }
    char* const end = p;
    if (p) *p++ = ',';
    // The numbers of a segment's end may have been made ahead (PlotDriver::aheadUnits). Points
    // are compared as numbers: equal numbers have the same text (0 and -0 both give "0").
    const PointUnits& ahead = d_.aheadUnits;
    if (p && x == ahead.x && y == ahead.y) {
      p = PutShortUnits(p, static_cast<std::uint64_t>(ahead.ux));
      *p++ = ',';
      p = PutShortWithDecimals(p, y, static_cast<int>(ahead.uy) - 2);
    } else {
      if (p) p = PutShort(p, x, Dp());
      if (p) *p++ = ',';
      if (p) p = PutShort(p, y, Dp());
    }
    if (p) {
      endX_ = x;
      endY_ = y;
      endLength_ = static_cast<std::size_t>(p - (end + 1));
      CopyEndText(endText_, end + 1, endLength_);
      *p++ = ')';
      *p++ = ';';
      d_.out().EndLine(begin, p);
      d_.CountPascalLine();
      return;
    }
    line_.assign("  T_Line(");
    AppendNum(line_, st().curX);
    line_ += ',';
    AppendNum(line_, st().curY);
    line_ += ',';
    AppendNum(line_, x);
    line_ += ',';
    AppendNum(line_, y);
    line_ += ");";
    d_.PascalHeaderLine(line_);
  }

  void SelectPen(int pen) override {
    d_.PascalLine("T_SetColor(" + std::to_string(TurboColor(pen)) + ");");
  }

  void OutCircle(long double x, long double y, long double r) override {
    d_.PascalLine("T_Circle(" + Num(x) + "," + Num(y) + "," + Num(r) + ");");
  }

  void OutArc(const ArcGeometry& a) override {
    d_.PascalLine("T_Arc(" + Num(a.cx) + "," + Num(a.cy) + "," + Num(a.a1n) + "," + Num(a.a2n) +
                  "," + Num(a.r) + ");");
  }

  void OutTextStyle(int kind, long double angle, long double height, long double width) override {
    std::string direction = FormatFixed(angle, 0, Dp());
    if (direction.size() < 3) direction.insert(0, 3 - direction.size(), ' ');
    d_.PascalLine("T_SetTextStyle(" + std::to_string(kind) + "," + direction + "," + Num(height) +
                  "," + Num(width) + ");");
  }

  void TextMoveTo(long double x, long double y) override {
    d_.PascalLine("T_MoveTo(" + Num(x) + "," + Num(y) + ");");
  }

  // Written directly: the label line is not counted towards the procedure split.
  void OutLabel(const std::string& text) override {
    d_.WriteLine("  T_OutTextXy(" + Num(st().textX) + "," + Num(st().textY) + "," +
                 PascalString(text) + ");");
  }

 private:
  // The short format; an integer text too long for an integer constant gets ".0", so the
  // compiler reads it as the real number it is (as in the C source).
  std::string Num(long double v) const {
    std::string s = S(v);
    const std::size_t digits = s.size() - (s[0] == '-' ? 1 : 0);
    if (digits > kMaxIntegerDigits && s.find('.') == std::string::npos) s += ".0";
    return s;
  }
  // Num(v) appended to `out`.
  void AppendNum(std::string& out, long double v) const {
    const std::size_t start = out.size();
    AppendShort(out, v, Dp());
    const std::size_t digits = out.size() - start - (out[start] == '-' ? 1 : 0);
    if (digits > kMaxIntegerDigits && out.find('.', start) == std::string::npos) out += ".0";
  }
  // Copies the text of an end point, which is nearly always short: a fixed block of 32 bytes
  // then (both places have room for it), no library call.
  static void CopyEndText(char* to, const char* from, std::size_t n) {
    if (n <= kShortEnd) {
      std::memcpy(to, from, kShortEnd);
    } else {
      std::memcpy(to, from, n);
    }
  }
  static constexpr std::size_t kShortEnd = 32;
  static_assert(kShortEnd <= 2 * kNumberRoom + 1, "the end text's room");

  // Digits of the longest integer constant: 9223372036854775807 has 19.
  static constexpr std::size_t kMaxIntegerDigits = 18;
  // The text of the line being built.

  // The end point of the last T_Line written in place and its text "x,y".
  long double endX_ = std::numeric_limits<long double>::quiet_NaN();
  long double endY_ = std::numeric_limits<long double>::quiet_NaN();
  char endText_[2 * kNumberRoom + 1] = {};
  std::size_t endLength_ = 0;
  std::string line_;
};

bool IsReservedWord(const std::string& upper) {
  static constexpr const char* kReserved[] = {"ABSOLUTE",
                                              "AND",
                                              "ARRAY",
                                              "ASM",
                                              "BEGIN",
                                              "CASE",
                                              "CONST",
                                              "CONSTRUCTOR",
                                              "DESTRUCTOR",
                                              "DIV",
                                              "DO",
                                              "DOWNTO",
                                              "ELSE",
                                              "END",
                                              "EXTERNAL",
                                              "FILE",
                                              "FOR",
                                              "FORWARD",
                                              "FUNCTION",
                                              "GOTO",
                                              "IF",
                                              "IMPLEMENTATION",
                                              "IN",
                                              "INHERITED",
                                              "INLINE",
                                              "INTERFACE",
                                              "INTERRUPT",
                                              "LABEL",
                                              "MOD",
                                              "NIL",
                                              "NOT",
                                              "OBJECT",
                                              "OF",
                                              "OR",
                                              "PACKED",
                                              "PROCEDURE",
                                              "PROGRAM",
                                              "RECORD",
                                              "REPEAT",
                                              "SET",
                                              "SHL",
                                              "SHR",
                                              "STRING",
                                              "THEN",
                                              "TO",
                                              "TYPE",
                                              "UNIT",
                                              "UNTIL",
                                              "USES",
                                              "VAR",
                                              "VIRTUAL",
                                              "WHILE",
                                              "WITH",
                                              "XOR",
                                              "RAREDOVA",
                                              "CH",
                                              "OPERATOR",
                                              "CLASS",
                                              "EXCEPT",
                                              "EXPORTS",
                                              "FINALIZATION",
                                              "FINALLY",
                                              "INITIALIZATION",
                                              "IS",
                                              "LIBRARY",
                                              "ON",
                                              "OUT",
                                              "PROPERTY",
                                              "RAISE",
                                              "RESOURCESTRING",
                                              "THREADVAR",
                                              "TRY",
                                              "AS",
                                              "DISPINTERFACE",
                                              "SELF",
                                              "SPECIALIZE",
                                              "GENERIC"};
  for (const char* word : kReserved) {
    if (upper == word) return true;
  }
  return upper.rfind("TAVODRAWING", 0) == 0;
}

}  // namespace

std::unique_ptr<SyntaxWriter> MakePascalWriter(PlotDriver& driver) {
  return std::make_unique<PascalWriter>(driver);
}

std::string PascalString(std::string_view text) {
  std::string out;
  bool quoted = false;
  for (unsigned char c : text) {
    if (c < 32 || c == 127) {
      if (quoted) out += '\'';
      quoted = false;
      out += '#' + std::to_string(c);
      continue;
    }
    if (!quoted) out += '\'';
    quoted = true;
    if (c == '\'') out += '\'';
    out += static_cast<char>(c);
  }
  if (quoted) out += '\'';
  if (out.empty()) out = "''";
  return out;
}

std::string PascalProgramName(std::string_view plotFile) {
  std::size_t slash = plotFile.rfind('/');
  std::string_view base = slash == std::string_view::npos ? plotFile : plotFile.substr(slash + 1);
  std::string name;
  std::string upper;
  for (unsigned char c : base) {
    const bool ok = (c < 128 && std::isalnum(c)) || c == '_';
    name += ok ? static_cast<char>(c) : '_';
    upper += ok ? static_cast<char>(std::toupper(c)) : '_';
  }
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])) || IsReservedWord(upper)) {
    name.insert(0, 1, 'P');
  }
  return name;
}

}  // namespace plotvue
