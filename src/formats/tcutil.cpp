// tcutil: writes a drawing as C source that redraws it through the TAVOLIN graphics library.
// See tcutil.h for the file layout and the state the writer owns.
#include "formats/tcutil.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "output/numformat.h"

namespace plotvue {
namespace {

constexpr std::array<int, 8> kPenColour = {0, 12, 14, 10, 11, 9, 13, 15};

// The third header line: the text before " */" is cut to 77 characters.
constexpr std::size_t kGeneratedByLength = 77;

// Digits of the longest integer literal that every 64-bit C compiler reads as an integer.
constexpr std::size_t kMaxIntegerLiteralDigits = 18;

bool AllFinite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// A text inside a /* */ comment: a "*/" in it would end the comment early and let the rest of
// the text into the program, so it is written as "* /".
std::string CommentText(std::string_view text) {
  std::string s;
  for (std::size_t i = 0; i < text.size(); ++i) {
    s += text[i];
    if (text[i] == '*' && i + 1 < text.size() && text[i + 1] == '/') s += ' ';
  }
  return s;
}

}  // namespace

int TcColor(int pen) {
  int p = static_cast<int>(static_cast<std::uint8_t>(pen));
  if (p >= 1 && p <= 7) return kPenColour[static_cast<std::size_t>(p)];
  return p;
}

int TcTextDirection(long double angle) {
  bool vertical =
      (angle > 45 && angle < 135) || (angle > 225 && angle < 315) || (angle > -135 && angle < -45);
  return vertical ? 1 : 0;
}

std::string TcEscapeText(std::string_view text) {
  std::string s;
  s.reserve(text.size());
  char previous = '\0';
  for (char ch : text) {
    auto byte = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      s += '\\';
      s += ch;
    } else if (ch == '?' && previous == '?') {
      s += "\\?";
    } else if (byte < 0x20 || byte == 0x7F) {
      s += '\\';
      s += static_cast<char>('0' + ((byte >> 6) & 7));
      s += static_cast<char>('0' + ((byte >> 3) & 7));
      s += static_cast<char>('0' + (byte & 7));
    } else {
      s += ch;
    }
    previous = ch;
  }
  return s;
}

std::string TcNumber(long double value, int decimalPlaces) {
  std::string s = FormatShort(value, decimalPlaces);
  std::size_t digits = s.size() - (s[0] == '-' ? 1 : 0);
  if (s.find('.') == std::string::npos && digits > kMaxIntegerLiteralDigits) s += ".0";
  return s;
}

TcWriter::TcWriter(TextOut& out, const Settings& settings) : out_(&out), settings_(&settings) {}

std::string TcWriter::Num(long double value) const {
  return TcNumber(value, settings_->DecimalPlaces);
}

void TcWriter::BeginFunction() {
  ++state.functionCount;
  out_->WriteLine("");
  out_->WriteLine("void TavoDrawing" + std::to_string(state.functionCount) + "()");
  out_->WriteLine("/*****************/");
  out_->WriteLine("  {");
}

void TcWriter::CountedLine(std::string_view line) {
  out_->WriteLine(line);
  ++state.lineCount;
  if (state.lineCount > kTcMaxFunctionLines) {
    out_->WriteLine("  }");
    BeginFunction();
    state.lineCount = 0;
  }
}

void TcWriter::Statement(std::string_view statement) {
  std::string line = "  ";
  line += statement;
  CountedLine(line);
}

void TcWriter::TcBeginFile(std::string_view plotFile) {
  state = TcState{};
  std::string generatedBy = std::string("/* generiert vom ") + kProgramName;
  if (generatedBy.size() > kGeneratedByLength) generatedBy.resize(kGeneratedByLength);
  CountedLine("/* TAVOLIN Industriesoftware GmbH */");
  CountedLine("/* Programm " + CommentText(plotFile) + " */");
  CountedLine(generatedBy + " */");
  CountedLine("");
  CountedLine("#include \"TavoDef.H\"");
  CountedLine("#include \"RareDova.H\"");
  CountedLine("");
  BeginFunction();
}

void TcWriter::TcSetColor(int pen) {
  Statement("T_SetColor(" + std::to_string(TcColor(pen)) + ");");
}

void TcWriter::TcMoveTo(double x, double y) {
  if (!AllFinite({x, y})) return;
  Statement("T_MoveTo(" + Num(x) + "," + Num(y) + ");");
}

void TcWriter::TcLine(double x1, double y1, double x2, double y2) {
  if (!AllFinite({x1, y1, x2, y2})) return;
  Statement("T_Line(" + Num(x1) + "," + Num(y1) + "," + Num(x2) + "," + Num(y2) + ");");
}

void TcWriter::TcCircle(double x, double y, double r) {
  if (!AllFinite({x, y, r})) return;
  Statement("T_Circle(" + Num(x) + "," + Num(y) + "," + Num(r) + ");");
}

void TcWriter::TcArc(double cx, double cy, double a1, double a2, double r) {
  if (!AllFinite({cx, cy, a1, a2, r})) return;
  Statement("T_Arc(" + Num(cx) + "," + Num(cy) + "," + Num(a1) + "," + Num(a2) + "," + Num(r) +
            ");");
}

void TcWriter::TcSetTextStyle(int font, double angle, double height, double width) {
  if (!AllFinite({angle, height, width})) return;
  Statement("T_SetTextStyle(" + std::to_string(font) + "," +
            std::to_string(TcTextDirection(angle)) + "," + Num(height) + "," + Num(width) + ");");
}

void TcWriter::TcOutText(std::string_view text, double x, double y) {
  if (!AllFinite({x, y})) return;
  Statement("T_OutTextXY(" + Num(x) + "," + Num(y) + ",\"" + TcEscapeText(text) + "\");");
}

void TcWriter::TcEndFile(const Extents& extents) {
  for (const char* line :
       {"  }", "", "void main()", "  {", "  static char ch=0;", "  RareDova();", "  T_Init(0);",
        "  T_InitGraph();", "  T_ResetWindow();", "  T_DrawTavoGraphTestFrame(\"RareDova\");"}) {
    out_->WriteLine(line);
  }
  out_->WriteLine("  T_SetWindow(0,0,0.8,0.9," + Num(extents.xmin) + "," + Num(extents.ymin) + "," +
                  Num(extents.xmax) + "," + Num(extents.ymax) + ",TRUE,TRUE);");
  out_->WriteLine("  do");
  out_->WriteLine("    {");
  out_->WriteLine("    T_ClearViewPort();");
  for (int k = 1; k <= state.functionCount; ++k) {
    out_->WriteLine("    TavoDrawing" + std::to_string(k) + "();");
  }
  for (const char* line : {"    T_ZoomKey(&ch);", "    } while(!((ch==13) || (ch==27)));",
                           "  T_CloseGraph();", "  }"}) {
    out_->WriteLine(line);
  }
}

}  // namespace plotvue
