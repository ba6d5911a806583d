// dxfutil: the DXF writer, back end of the output syntax "DXF". It writes a drawing as an ASCII
// DXF file: a HEADER section with the drawing extents, a TABLES section with three line types,
// sixteen numbered layers "0".."15" and the text style STANDARD, an ENTITIES section with LINE,
// CIRCLE, ARC and TEXT entities in the order of the calls, and the end of the file.
//
// The file is a sequence of line pairs: a group code right-aligned in 3 characters, then its value.
// Coordinates, radii, arc angles and the text height are written in fixed point with 6 decimals;
// the text width factor and the two text angles in the short format of the drivers (FormatShort).
//
// State: the writer keeps no geometry, every call writes its lines at once. It writes through the
// driver frame's TextOut (the frame creates the output file before DxfHeader and closes it after
// DxfEndFile). The current layer name lives in a DxfCarry that the caller keeps for the whole
// program run, because a conversion starts on the layer the previous one ended on.
#ifndef PLOTVUE_FORMATS_DXFUTIL_H_
#define PLOTVUE_FORMATS_DXFUTIL_H_

#include <string>
#include <string_view>

#include "config/settings.h"
#include "output/channel.h"

namespace plotvue {

// Number of decimals of coordinates, radii and text heights.
inline constexpr int kDxfDecimals = 6;
// Longest layer name; a longer name is cut.
inline constexpr std::size_t kDxfLayerNameMax = 32;

// Values of the DXF writer that survive from one conversion to the next: keep one for the whole
// program run (in the Program object) and hand it to every DxfWriter.
struct DxfCarry {
  std::string layer = "0";  // current layer name, written with every entity
};

// The text values of a TEXT entity, taken from the driver's current text style.
struct DxfTextStyle {
  long double height = 5.0L;       // text height, output mm
  long double widthFactor = 1.0L;  // character width / height
  long double angle = 0.0L;        // text direction, degrees counter-clockwise from +x
  long double slant = 0.0L;        // oblique angle, degrees
};

// The text values the driver's OutTextStyle hands to the DXF writer: height as given; width
// factor width / height x the TextWidthFactor setting when height > 0, else that setting itself;
// direction angle as given; slant from the TextAngle setting.
DxfTextStyle MakeDxfTextStyle(long double angle, long double height, long double width,
                              const Settings& settings);

// One DXF conversion. Call order: DxfHeader, DxfTables, DxfBeginEntities, any number of
// DxfSetLayer and entity calls, DxfEndSection, DxfEndFile.
//
// An entity with a number that is not finite (or too large for a double) is not written, nor a
// CIRCLE or ARC whose radius is written as 0.000000: DXF readers reject both. A failed write sets
// the TextOut's error flag and the writer goes on.
//
// REQUIRES: out, carry and settings outlive the writer.
class DxfWriter {
 public:
  DxfWriter(TextOut& out, DxfCarry& carry, const Settings& settings)
      : out_(&out), carry_(&carry), settings_(&settings) {}

  // HEADER section: $EXTMIN, $EXTMAX, $LIMMIN, $LIMMAX from the extents in output mm, $LTSCALE 15.
  // A non-finite extent is written as 0.
  void DxfHeader(long double xmin, long double ymin, long double xmax, long double ymax);
  // TABLES section: line types CONTINUOUS, DASHDOT, DASHED; layers "0".."15" with the colours
  // 1..16; the text style STANDARD with the TextStyle setting in upper case as its font file.
  void DxfTables();
  // Opens the ENTITIES section.
  void DxfBeginEntities();
  // Makes `name` (cut to 32 characters) the layer of the following entities; writes nothing.
  // The driver passes the decimal text of pen - 1.
  void DxfSetLayer(std::string_view name);

  // LINE from (x1, y1) to (x2, y2), output mm.
  void DxfLine(long double x1, long double y1, long double x2, long double y2);
  // CIRCLE with centre (x, y) and radius r, output mm. A negative radius is written as passed.
  void DxfCircle(long double x, long double y, long double r);
  // ARC counter-clockwise from `start` to `end` (degrees, written unchanged) with centre (x, y)
  // and radius r. A full circle is written as a CIRCLE: start equal to end, start near 0 and end
  // near 360 or the other way round, or end near start + 360 ("near": within 0.00001).
  void DxfArc(long double x, long double y, long double start, long double end, long double r);
  // TEXT at (x, y) with the given style values. The text keeps its bytes, except that a "^" is
  // written "^ " (a lone caret starts a control-character code in DXF) and characters below
  // code 32 become blanks (they would break the line structure of the file).
  void DxfText(std::string_view text, long double x, long double y, const DxfTextStyle& style);

  // Closes the ENTITIES section.
  void DxfEndSection();
  // Writes the end-of-file marker; the frame closes the file afterwards.
  void DxfEndFile();

 private:
  // One group code line (the code right-aligned in 3 characters) and its value line.
  void Pair(int code, std::string_view value);
  void EntityStart(std::string_view kind);

  TextOut* out_;
  DxfCarry* carry_;
  const Settings* settings_;
};

// The fixed-point text of a DXF real: 6 decimals, no blanks, no "-0.000000".
std::string DxfReal(long double x);

// True for a value that a DXF reader can hold: finite and within the range of a double.
bool IsDxfNumber(long double x);

// True when DxfArc writes the arc from `start` to `end` (degrees) as a full circle.
bool IsDxfFullCircle(long double start, long double end);

}  // namespace plotvue

#endif  // PLOTVUE_FORMATS_DXFUTIL_H_
