// dxfutil: the DXF writer (see dxfutil.h). Every operation writes its group code / value pairs
// through the frame's TextOut at once; the only state is the layer name in the caller's DxfCarry.
#include "formats/dxfutil.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <string>

#include "output/numformat.h"

namespace plotvue {
namespace {

// Angles this close to 0, 360 or start + 360 count as a full turn.
constexpr long double kFullCircleTolerance = 0.00001L;

// Number of numbered layers in the layer table; layer n has the colour n + 1.
constexpr int kDxfLayerCount = 16;

// A text value on one line: characters below code 32 become blanks so that a value can never
// end its line early and shift the pairs that follow.
std::string OneLine(std::string_view s) {
  std::string r(s);
  for (char& c : r) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  }
  return r;
}

// A label as the value of a TEXT entity: on one line, with each "^" written as "^ ", the DXF
// notation of a literal caret (otherwise the caret and the next character are read as one
// control character, and a caret at the end makes the value invalid).
std::string TextValue(std::string_view s) {
  std::string r;
  r.reserve(s.size());
  for (char c : s) {
    if (static_cast<unsigned char>(c) < 32) {
      r += ' ';
    } else if (c == '^') {
      r += "^ ";
    } else {
      r += c;
    }
  }
  return r;
}

bool NearlyEqual(long double a, long double b) { return std::fabs(a - b) < kFullCircleTolerance; }

}  // namespace

std::string DxfReal(long double x) {
  std::string s = FormatFixed(x, kDxfDecimals);
  // A small negative value rounds to "-0.000000": drop the sign.
  if (!s.empty() && s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos) {
    s.erase(0, 1);
  }
  return s;
}

bool IsDxfNumber(long double x) { return std::isfinite(x) && std::fabs(x) <= DBL_MAX; }

bool IsDxfFullCircle(long double start, long double end) {
  if (start == end) return true;
  if (NearlyEqual(start, 0.0L) && NearlyEqual(end, 360.0L)) return true;
  if (NearlyEqual(start, 360.0L) && NearlyEqual(end, 0.0L)) return true;
  return NearlyEqual(end, start + 360.0L);
}

DxfTextStyle MakeDxfTextStyle(long double angle, long double height, long double width,
                              const Settings& settings) {
  DxfTextStyle style;
  style.height = height;
  style.widthFactor =
      height > 0.0L ? width / height * settings.TextWidthFactor : settings.TextWidthFactor;
  style.angle = angle;
  style.slant = settings.TextAngle;
  return style;
}

void DxfWriter::Pair(int code, std::string_view value) {
  std::string line = std::to_string(code);
  if (line.size() < 3) line.insert(0, 3 - line.size(), ' ');
  out_->WriteLine(line);
  out_->WriteLine(value);
}

void DxfWriter::EntityStart(std::string_view kind) {
  Pair(0, kind);
  Pair(8, carry_->layer);
}

void DxfWriter::DxfHeader(long double xmin, long double ymin, long double xmax, long double ymax) {
  auto real = [](long double v) { return DxfReal(IsDxfNumber(v) ? v : 0.0L); };
  Pair(0, "SECTION");
  Pair(2, "HEADER");
  Pair(9, "$EXTMIN");
  Pair(10, real(xmin));
  Pair(20, real(ymin));
  Pair(9, "$EXTMAX");
  Pair(10, real(xmax));
  Pair(20, real(ymax));
  Pair(9, "$LIMMIN");
  Pair(10, real(xmin));
  Pair(20, real(ymin));
  Pair(9, "$LIMMAX");
  Pair(10, real(xmax));
  Pair(20, real(ymax));
  Pair(9, "$LTSCALE");
  Pair(40, "15");
  Pair(0, "ENDSEC");
}

void DxfWriter::DxfTables() {
  Pair(0, "SECTION");
  Pair(2, "TABLES");

  // Line types: name, description, then the pattern (element count, total length, elements).
  Pair(0, "TABLE");
  Pair(2, "LTYPE");
  Pair(70, "17");
  Pair(0, "LTYPE");
  Pair(2, "CONTINUOUS");
  Pair(70, "64");
  Pair(3, "Ausgezogene Linie");
  Pair(72, "65");
  Pair(73, "0");
  Pair(40, "0.0");
  Pair(0, "LTYPE");
  Pair(2, "DASHDOT");
  Pair(70, "64");
  Pair(3, "--. --. --.-");
  Pair(72, "65");
  Pair(73, "4");
  Pair(40, "1.0");
  Pair(49, "0.5");
  Pair(49, "-0.25");
  Pair(49, "0.0");
  Pair(49, "-0.25");
  Pair(0, "LTYPE");
  Pair(2, "DASHED");
  Pair(70, "64");
  Pair(3, "- - - - - - ");
  Pair(72, "65");
  Pair(73, "2");
  Pair(40, "0.375");
  Pair(49, "0.25");
  Pair(49, "-0.125");
  Pair(0, "ENDTAB");

  // Layers "0".."15": pen p of the drawing lands on layer p - 1 with the colour p.
  Pair(0, "TABLE");
  Pair(2, "LAYER");
  Pair(70, "24");
  for (int n = 0; n < kDxfLayerCount; ++n) {
    Pair(0, "LAYER");
    Pair(2, std::to_string(n));
    Pair(70, "0");
    Pair(62, std::to_string(n + 1));
    Pair(6, "CONTINUOUS");
  }
  Pair(0, "ENDTAB");

  // The one text style; its font file is the TextStyle setting in upper case.
  std::string font = OneLine(settings_->TextStyle);
  for (char& c : font) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  Pair(0, "TABLE");
  Pair(2, "STYLE");
  Pair(70, "1");
  Pair(0, "STYLE");
  Pair(2, "STANDARD");
  Pair(70, "0");
  Pair(40, "0.0");
  Pair(41, "1.0");
  Pair(50, "0.0");
  Pair(71, "0");
  Pair(42, "3.5");
  Pair(3, font);
  Pair(4, "");
  // This one group code is written without the blanks in front.
  out_->WriteLine("0");
  out_->WriteLine("ENDTAB");

  Pair(0, "ENDSEC");
}

void DxfWriter::DxfBeginEntities() {
  Pair(0, "SECTION");
  Pair(2, "ENTITIES");
}

void DxfWriter::DxfSetLayer(std::string_view name) {
  carry_->layer = OneLine(name.substr(0, kDxfLayerNameMax));
}

void DxfWriter::DxfLine(long double x1, long double y1, long double x2, long double y2) {
  if (!IsDxfNumber(x1) || !IsDxfNumber(y1) || !IsDxfNumber(x2) || !IsDxfNumber(y2)) return;
  EntityStart("LINE");
  Pair(10, DxfReal(x1));
  Pair(20, DxfReal(y1));
  Pair(11, DxfReal(x2));
  Pair(21, DxfReal(y2));
}

void DxfWriter::DxfCircle(long double x, long double y, long double r) {
  if (!IsDxfNumber(x) || !IsDxfNumber(y) || !IsDxfNumber(r)) return;
  std::string radius = DxfReal(r);
  if (radius == DxfReal(0.0L)) return;
  EntityStart("CIRCLE");
  Pair(10, DxfReal(x));
  Pair(20, DxfReal(y));
  Pair(40, radius);
}

void DxfWriter::DxfArc(long double x, long double y, long double start, long double end,
                       long double r) {
  if (!IsDxfNumber(start) || !IsDxfNumber(end)) return;
  if (IsDxfFullCircle(start, end)) {
    DxfCircle(x, y, r);
    return;
  }
  if (!IsDxfNumber(x) || !IsDxfNumber(y) || !IsDxfNumber(r)) return;
  std::string radius = DxfReal(r);
  if (radius == DxfReal(0.0L)) return;
  EntityStart("ARC");
  Pair(10, DxfReal(x));
  Pair(20, DxfReal(y));
  Pair(40, radius);
  // The arc angles are geometry and keep the 6 decimals of the coordinates.
  Pair(50, DxfReal(start));
  Pair(51, DxfReal(end));
}

void DxfWriter::DxfText(std::string_view text, long double x, long double y,
                        const DxfTextStyle& style) {
  if (!IsDxfNumber(x) || !IsDxfNumber(y) || !IsDxfNumber(style.height) ||
      !IsDxfNumber(style.widthFactor) || !IsDxfNumber(style.angle) || !IsDxfNumber(style.slant)) {
    return;
  }
  const int decimalPlaces = settings_->DecimalPlaces;
  EntityStart("TEXT");
  Pair(10, DxfReal(x));
  Pair(20, DxfReal(y));
  Pair(40, DxfReal(style.height));
  Pair(1, TextValue(text));
  Pair(7, "STANDARD");
  Pair(41, FormatShort(style.widthFactor, decimalPlaces));
  Pair(50, FormatShort(style.angle, decimalPlaces));
  Pair(51, FormatShort(style.slant, decimalPlaces));
}

void DxfWriter::DxfEndSection() { Pair(0, "ENDSEC"); }

void DxfWriter::DxfEndFile() { Pair(0, "EOF"); }

}  // namespace plotvue
