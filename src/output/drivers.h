// The output driver frame: turns the geometry that the interpreter produces in convert runs into
// the text of one of the twelve output syntaxes, on a file or a port. The frame holds the driver
// state, opens and closes the one output channel, writes through WriteText and WriteLine, and
// does the steps that all syntaxes share (pen state, current position, encoded-run and path
// bookkeeping, arc geometry, label alignment, stroke text) in their defined order. What each
// syntax writes lives in its writer (one class per syntax; HP-GL, HP-GL/2 and HP-GL Laser share
// one, because HP-GL/2 output switches to HP-GL code in mid-file); the DXF, IGES, C source and
// Garmin branches call their side-format writers.
//
// State: PlotDriver is made once per program run (MakeOutputDriver) and kept: DriverState is
// reset by every BeginOutput as the frame defines; DriverOptions (the DXF layer, the Garmin
// options, the stroke font, the date format) live as long as the driver. The output target and
// the syntax writer exist from BeginOutput to EndOutput.
#ifndef PLOTVUE_OUTPUT_DRIVERS_H_
#define PLOTVUE_OUTPUT_DRIVERS_H_

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/program.h"
#include "formats/dxfutil.h"
#include "output/channel.h"
#include "output/driver.h"
#include "output/garmin.h"
#include "output/outtarget.h"
#include "output/strokefont.h"

namespace plotvue {

class SyntaxWriter;

// An output point in the integer units of the output's syntax, made ahead by the reader thread
// of a conversion on two threads (Postscript: the rounded units of P; CNC: FixedUnits of its
// x number with three decimals; Pascal: ShortUnits of its x number and, plus 2, the
// ShortDecimalsOf its y number; the rest of the y numbers is left to the writer, which shares the
// work evenly). The writer uses them for the
// point (x, y) instead of computing them itself. BeginOutput clears them.
struct PointUnits {
  long double x = std::numeric_limits<long double>::quiet_NaN();
  long double y = std::numeric_limits<long double>::quiet_NaN();
  std::int64_t ux = 0;
  std::int64_t uy = 0;
};

// The driver state of the open output (reset by BeginOutput unless stated).
struct DriverState {
  int syntax = 1;           // current syntax code 1..12 (HP-GL/2 may switch to 1)
  int device = 3;           // current device code: 1 serial, 2 parallel, 3 file
  bool penDown = false;     // the pen is down
  int currentPen = 0;       // selected pen; 0 = no pen (nothing is drawn); 100 after reset
  long double curX = 0.0L;  // current position, mm (MoveTo, LineTo)
  long double curY = 0.0L;
  long double textX = 0.0L;  // position of the last text move, mm
  long double textY = 0.0L;
  int lastVelocity = 0;           // last pen speed written; 0 after reset
  bool peOpen = false;            // HP-GL/2: a Polyline Encoded run is open
  bool polygonMode = false;       // between BeginPolygon and EndPolygon
  int pascalLines = 0;            // lines counted into the current Pascal procedure
  int pascalProcs = 0;            // Pascal drawing procedures begun
  int psSegments = 0;             // Postscript path segments since the last stroke
  long double textWidth = 5.0L;   // character width, mm
  long double textHeight = 5.0L;  // character height, mm
  long double textAngle = 0.0L;   // text direction, degrees (not reset)
  int justifyH = 0;               // 0 left, 1 centre, 2 right
  int justifyV = 2;               // 0 base, 1 middle, 2 top
  bool outputOpen = false;        // between a successful BeginOutput and EndOutput
  // False after a native label in the HP-GL family: "LB" leaves the plotter's pen at the end of
  // the text, so the next move is written with its absolute position.
  bool positionKnown = true;
};

// The driver's values that live for the whole program run.
struct DriverOptions {
  // The date format of the Postscript header: 1 day.month.year, 2 month/day/year,
  // 3 year/month/day, 4 day/month/year, other values year/month/day.
  int DateFormat = 3;
  GarminOptions garmin;  // Garmin x reference and file type (chosen by the settings prompts)
  DxfCarry dxf;          // the DXF layer name, kept from one conversion to the next
  GarminClock clock = GarminLocalTime;     // the current time of headers and Garmin records
  std::function<void()> beep;              // the system's warning beep (empty: silent)
  const StrokeFont* strokeFont = nullptr;  // the loaded stroke font, or none
};

class PlotDriver final : public OutputDriver {
 public:
  explicit PlotDriver(Program& program);
  ~PlotDriver() override;
  PlotDriver(const PlotDriver&) = delete;
  PlotDriver& operator=(const PlotDriver&) = delete;

  // --- Operations of the interpreter (OutputDriver) -------------------------------------------

  // Validates both codes, opens the output (file PlotFile + "." + extension, the LPT port of
  // the LPT setting, or the COM port of SerialPort), writes the header, resets the drawing
  // state. Failure: ErrorFlag set and nothing left open.
  void BeginOutput(int syntaxCode, int deviceCode) override;
  // Writes the trailer and closes the output; a file is renamed into place only when every
  // write succeeded (else ErrorFlag is set and the previous file stays).
  void EndOutput() override;
  void AbandonOutput() override;
  // Holds the trailers of the Pascal and C source outputs on files (OutputTrailerReadsExtents);
  // any outputs still held from before are dropped.
  void HoldTrailers() override;
  std::size_t HeldOutputs() const override { return held_.size(); }
  bool EndHeldOutputs(bool keep) override;
  void OutRotate(long double angle) override;
  void SelectPen(int pen) override;
  void MoveTo(bool force, long double x, long double y) override;
  void DrawLine(long double x1, long double y1, long double x2, long double y2) override;
  void OutCircle(long double x, long double y, long double r) override;
  void OutArc(long double cx, long double cy, long double a1, long double a2, long double r,
              long double direction) override;
  void OutTextStyle(int kind, long double angle, long double height, long double width) override;
  void OutTextJustify(int h, int v) override;
  void LabelAt(const std::string& text, long double x, long double y) override;
  void BeginPolygon() override;
  void EndPolygon(int mode) override;
  void FillPolygon() override;

  // --- The path of every segment, inline (defined in output/driverpath.h) ----------------------
  // A conversion runs DrawLine and SelectPen for every segment of the drawing. Their inline
  // forms let the interpreter's convert sink keep the coordinates in registers up to the
  // writer's call (a long double passed through memory costs more than the rest of the step).

  // DrawLine: MoveTo (forced in HP-GL/2 and Postscript outside polygons), then LineTo.
  [[gnu::always_inline]] inline void Segment(long double x1, long double y1, long double x2,
                                             long double y2);
  // MoveTo and LineTo.
  [[gnu::always_inline]] inline void Move(bool force, long double x, long double y);
  [[gnu::always_inline]] inline void Line(bool force, long double x, long double y);
  // SelectPen, the pen that is already selected decided inline.
  [[gnu::always_inline]] inline void UsePen(int pen);
  // The same steps with the writer `w` of the current syntax: SyntaxWriter (virtual calls), or
  // the writer's own final class when a writer runs its segments through SegmentWith (one
  // virtual call per segment instead of four).
  template <class W>
  [[gnu::always_inline]] inline void SegmentWith(W& w, long double x1, long double y1,
                                                 long double x2, long double y2);
  template <class W>
  [[gnu::always_inline]] inline void MoveWith(W& w, bool force, long double x, long double y);
  template <class W>
  [[gnu::always_inline]] inline void LineWith(W& w, bool force, long double x, long double y);
  template <class W>
  [[gnu::always_inline]] inline void PenUpWith(W& w);
  template <class W>
  [[gnu::always_inline]] inline void PenDownWith(W& w);
  // The pen of a pen code: a byte; beyond 15 taken modulo 16, with 0 as 16.
  static constexpr int PenOfCode(int code) {
    int pen = code & 0xFF;
    if (pen > 15) {
      pen %= 16;
      if (pen == 0) pen = 16;
    }
    return pen;
  }

  // --- Frame operations the syntax writers use ------------------------------------------------

  inline void PenUp();
  inline void PenDown();
  void LineTo(bool force, long double x, long double y);
  void OutVelocity(int speed);
  void OutWindow();
  void TextMoveTo(long double x, long double y);
  void OutLabel(const std::string& text);
  // Writes s without a line end and flushes the channel; sets ErrorFlag when that fails.
  void WriteText(std::string_view s) { out_.WriteText(s); }
  // Writes s and CR LF; sets ErrorFlag when that fails.
  void WriteLine(std::string_view s) { out_.WriteLine(s); }
  // WriteLine of a text that already ends in CR LF.
  void WriteEndedLine(std::string_view line) { out_.WriteEndedLine(line); }
  // Two blanks and s as one counted line of the current Pascal procedure.
  void PascalLine(std::string_view s);
  // s as one counted line without indentation.
  void PascalHeaderLine(std::string_view s);
  // Counts a line just written into the current Pascal procedure, and begins the next procedure
  // after its 351st line.
  void CountPascalLine();
  // Begins the next Pascal drawing procedure (four lines that are not counted).
  void BeginPascalProcedure();
  // The return of a code within 1..12 (1..3); otherwise the message "Undefinierter
  // Syntaxcode <code>" ("Undefinierter Ansteuercode <code>"), ErrorFlag, and 1.
  int CheckSyntaxCode(int code);
  int CheckDeviceCode(int code);
  // True when labels are written as the syntax's text commands: either stroke-font setting
  // holds 'N' (either case), or no stroke font is loaded.
  bool NativeText() const;
  // The system's warning beep.
  void Beep() const;

  Program& program() { return *program_; }
  const Settings& settings() const { return program_->settings; }
  TextOut& out() { return out_; }
  // The plot transform of the drawing's extents (scan pass) into output millimetres.
  Extents OutputExtents() const;

  DriverState state;
  DriverOptions options;
  // Outputs begun successfully since the driver was made (the parts of a split conversion count
  // one each).
  std::size_t outputsBegun = 0;
  // The units of the next segment's end point, when the reader made them ahead.
  PointUnits aheadUnits;

 private:
  // Forwards the writes of TextOut to the current target; fails when no target is open.
  class Channel : public OutputChannel {
   public:
    bool Write(std::string_view bytes) override { return target && target->Write(bytes); }
    bool Flush() override { return target && target->Flush(); }
    OutputTarget* target = nullptr;
  };

  // An output put aside until its trailer can be written: its file, its writer and the driver
  // state at its end.
  struct HeldOutput {
    std::unique_ptr<FileTarget> target;
    std::unique_ptr<SyntaxWriter> writer;
    DriverState state;
    std::string name;
  };

  bool OpenTarget(std::string* error);
  // EndOutput of an output whose trailer waits: all written so far reaches its temporary file,
  // which is closed and kept aside with the writer.
  void HoldOutput();
  // Ends the output: the target is closed (kept) or abandoned, the writer dropped.
  void CloseTarget(bool keep);
  void ResetOutputState();
  void StrokeLabel(const std::string& text);
  std::string TargetName() const;

  Program* program_;
  Channel channel_;
  TextOut out_;
  std::unique_ptr<OutputTarget> target_;
  std::unique_ptr<SyntaxWriter> writer_;
  // The output's name in messages (a file path or a port's device path).
  std::string targetName_;
  bool holdTrailers_ = false;
  std::vector<HeldOutput> held_;  // in the order the outputs were begun
};

// The driver kept for the whole program run. `font` is the loaded stroke font, or null.
std::unique_ptr<PlotDriver> MakeOutputDriver(Program& program, const StrokeFont* font = nullptr);

// The file extension of a syntax on the file device: the syntax table's, or for Garmin GPS that
// of the file type.
std::string OutputExtension(int syntaxCode, const GarminOptions& garmin);

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_DRIVERS_H_
