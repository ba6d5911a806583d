// tcutil: the C source writer behind the output syntax 8 ("Turbo C"). It writes a drawing as the
// source text of a C program that redraws it through the TAVOLIN graphics library: drawing
// functions TavoDrawing1, TavoDrawing2, ... with one library call per drawing step, and a main
// that opens the graphics screen, sets the window to the drawing's extents and redraws the
// drawing in a zoom loop until Enter or Escape is pressed.
//
// State: TcWriter owns the function and line counters of one output file (reset by TcBeginFile).
// The driver frame owns the output channel: it creates the file PlotFile.c before TcBeginFile
// and closes it after TcEndFile, so the writer only writes lines through the frame's TextOut.
#ifndef PLOTVUE_FORMATS_TCUTIL_H_
#define PLOTVUE_FORMATS_TCUTIL_H_

#include <string>
#include <string_view>

#include "base/program.h"
#include "config/settings.h"
#include "output/channel.h"

namespace plotvue {

// A drawing function holds statement lines until the line counter exceeds this; the seven file
// header lines count towards the first function.
inline constexpr int kTcMaxFunctionLines = 250;

// The colour number that T_SetColor receives for a pen: pens 1..7 give 12, 14, 10, 11, 9, 13, 15;
// every other pen number, taken modulo 256, is passed unchanged.
int TcColor(int pen);

// The direction argument of T_SetTextStyle: 1 when the angle in degrees lies strictly between
// 45 and 135, 225 and 315, or -135 and -45 (a vertical text), else 0.
int TcTextDirection(long double angle);

// The body of a C string literal that holds exactly the bytes of `text`: '"' and '\' are
// escaped, control bytes are written as three-digit octal escapes, and a '?' that follows a '?'
// is escaped so no trigraph forms. Other bytes (code page 437 letters included) stay as they are.
std::string TcEscapeText(std::string_view text);

// A number of a generated statement: FormatShort of the value with the decimals setting. A text
// without a decimal point that is too long for a 64-bit integer literal gets ".0" appended, so
// the C compiler reads it as the floating constant it is.
std::string TcNumber(long double value, int decimalPlaces);

// The counters of the file being written.
struct TcState {
  int functionCount = 0;  // drawing functions begun so far (the k of TavoDrawing<k>)
  int lineCount = 0;      // counted lines since the current drawing function was begun
};

class TcWriter {
 public:
  // `out` and `settings` must outlive the writer. Numbers follow settings.DecimalPlaces.
  TcWriter(TextOut& out, const Settings& settings);

  // Resets both counters, writes the seven counted header lines naming `plotFile` (the PlotFile
  // setting) and begins drawing function 1.
  void TcBeginFile(std::string_view plotFile);

  // One statement each, in output millimetres as passed by the driver frame (no transform here).
  // A statement with a non-finite number is not written and not counted.
  void TcSetColor(int pen);
  void TcMoveTo(double x, double y);
  void TcLine(double x1, double y1, double x2, double y2);
  void TcCircle(double x, double y, double r);
  // Angles in degrees, counter-clockwise from a1 to a2.
  void TcArc(double cx, double cy, double a1, double a2, double r);
  // `font` is written as passed; `angle` in degrees only chooses the direction 0 or 1.
  void TcSetTextStyle(int font, double angle, double height, double width);
  // The label at (x, y); the text is escaped so the source compiles whatever it holds.
  void TcOutText(std::string_view text, double x, double y);

  // Closes the last drawing function and writes main, which sets the window to `extents` (the
  // scan pass extents without the output transform) and calls every drawing function.
  void TcEndFile(const Extents& extents);

  TcState state;

 private:
  std::string Num(long double value) const;
  // Writes `line` and counts it; past kTcMaxFunctionLines closes the function and begins the next.
  void CountedLine(std::string_view line);
  // Two blanks, then the statement, as a counted line.
  void Statement(std::string_view statement);
  void BeginFunction();

  TextOut* out_;
  const Settings* settings_;
};

}  // namespace plotvue

#endif  // PLOTVUE_FORMATS_TCUTIL_H_
