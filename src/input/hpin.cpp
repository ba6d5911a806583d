#include "input/hpin.h"

#include <sys/stat.h>

#include <cmath>
#include <exception>
#include <limits>
#include <numbers>
#include <string>
#include <thread>

#include "base/displaytext.h"
#include "base/textnum.h"
#include "input/elementqueue.h"
#include "input/runsinks.h"
#include "output/syntax.h"

namespace plotvue {
namespace {

constexpr long double kPlotUnit = 0.025L;  // mm per plotter unit
constexpr long double kPeUnit = 0.0125L;   // mm per raw PE step (half a plotter unit, sign bit)
constexpr int kEsc = 27;
constexpr int kEtx = 3;
// Longest number text kept; a longer one (a runaway digit string) converts to 0. Keeps memory
// constant whatever the file holds.
constexpr std::size_t kMaxNumberText = 8192;
// The text of a label, terminator included, is cut when it reaches this length.
constexpr std::size_t kMaxLabelText = 255;
// Reader messages shown by one run; the rest are counted and reported in one box at the end, so
// that a binary file does not bring one box per byte.
constexpr int kMaxReaderMessages = 3;
// PE digits beyond this shift would overflow the extended range; they add nothing.
constexpr int kMaxPeShift = 16000;

constexpr int Code(int a, int b) { return (a << 8) | b; }

constexpr int Upper(int c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }
constexpr bool IsLetter(int c) { return c >= 'A' && c <= 'Z'; }

// The angle of a vector in degrees: +-90 for a vertical one, else the arctangent plus 180 when
// dx < 0. The result lies in [-90, 270).
long double VectorAngle(long double dx, long double dy) {
  if (dx == 0.0L) return dy >= 0.0L ? 90.0L : -90.0L;
  long double a = std::atan(dy / dx) * 180.0L / std::numbers::pi_v<long double>;
  if (dx < 0.0L) a += 180.0L;
  return a;
}

// Cosine and sine of an angle in degrees, exact at multiples of 90 degrees, so that a quarter
// turn ends exactly on the axis and its end angle is not decided by rounding noise.
void CosSinDegrees(long double degrees, long double& c, long double& s) {
  if (!std::isfinite(degrees)) {
    c = s = std::numeric_limits<long double>::quiet_NaN();
    return;
  }
  long double r = std::fmod(degrees, 360.0L);  // exact
  if (r < 0.0L) r += 360.0L;
  if (r == 0.0L || r == 360.0L) {
    c = 1.0L, s = 0.0L;
  } else if (r == 90.0L) {
    c = 0.0L, s = 1.0L;
  } else if (r == 180.0L) {
    c = -1.0L, s = 0.0L;
  } else if (r == 270.0L) {
    c = 0.0L, s = -1.0L;
  } else {
    long double a = r * std::numbers::pi_v<long double> / 180.0L;
    c = std::cos(a);
    s = std::sin(a);
  }
}

// The interpreter over a sink of type SinkT: a concrete final sink class, so that the element
// calls of the coordinate loops are direct calls the compiler can inline (the positions stay in
// registers instead of going through memory for every segment), or Sink for any sink.
template <class SinkT>
class Interpreter {
 public:
  Interpreter(Program& p, SinkT& sink, ByteSource& src)
      : Interpreter(p, sink, src, p.ErrorFlag, p.MessagesEnabled) {}
  // An interpreter with its own stop flag and message state instead of the program's (the
  // reader thread of a conversion on two threads).
  Interpreter(Program& p, SinkT& sink, ByteSource& src, bool& errorFlag,
              const bool& messagesEnabled)
      : p_(p), sink_(sink), src_(src), errorFlag_(errorFlag), messagesEnabled_(messagesEnabled) {
    text_.reserve(256);
  }

  // The command loop: until the file is at its end or the stop flag (ErrorFlag) is set.
  void CommandLoop();

  // True when the reader met the end of the file (as opposed to a failure of the sink).
  bool reachedEnd() const { return reachedEnd_; }

 private:
  // --- Token reader -------------------------------------------------------------------------

  // One character, CR and LF skipped. At the end of the file: ErrorFlag, false, `c` unchanged.
  bool GetChar(int& c) {
    for (;;) {
      int b = src_.Next();
      if (b < 0) return AtEndOfFile();
      ++ByteCount;
      if (b == 13 || b == 10) continue;
      c = b;
      return true;
    }
  }
  // One raw character, not counted; 0 at the end of the file (which the next read reports).
  int RawChar() {
    int b = src_.Next();
    return b < 0 ? 0 : b;
  }
  bool AtEndOfFile() {
    errorFlag_ = true;
    reachedEnd_ = true;
    return false;
  }

  bool GetCommand(int& a, int& b);
  bool IsParamEnd(int ch);
  // A coordinate: in place in the buffer when it can, else character by character. The slow
  // path returns its value rather than writing through a pointer, so that the caller's value
  // never has its address taken and stays in a register.
  struct CoordResult {
    long double value;
    bool ok;
  };
  bool GetCoord(long double& value) {
    if (GetCoordInBuffer(value)) return true;
    CoordResult r = GetCoordByChar();
    if (r.ok) value = r.value;
    return r.ok;
  }
  inline bool GetCoordInBuffer(long double& value);
  [[gnu::noinline]] CoordResult GetCoordByChar();
  long double GetParam(bool* present = nullptr);
  int GetIntParam();
  void SkipParams();
  long double ConvertText() const;

  // --- Coordinates --------------------------------------------------------------------------

  long double AbsX(long double x) const {
    return ScalingOn ? (x - scXmin) * p_.carry.scFactorX + P1.x : x * kPlotUnit;
  }
  long double AbsY(long double y) const {
    return ScalingOn ? (y - scYmin) * p_.carry.scFactorY + P1.y : y * kPlotUnit;
  }
  long double RelX(long double x) const {
    return ScalingOn ? x * p_.carry.scFactorX : x * kPlotUnit;
  }
  long double RelY(long double y) const {
    return ScalingOn ? y * p_.carry.scFactorY : y * kPlotUnit;
  }
  void SetLastTarget(Point t) {
    LastTarget = t;
    hasLastTarget_ = true;
  }
  // LastTarget, or CurrentPos before any coordinate pair, label, CP or rectangle has set it.
  Point LastTargetOrCurrent() const { return hasLastTarget_ ? LastTarget : CurrentPos; }

  void EmitSegment(const Point& from, const Point& to) {
    ++ElementCounter;
    sink_.Segment(CurrentPen, from, to);
  }

  // --- Commands -----------------------------------------------------------------------------

  void Dispatch(int a, int b);
  void CoordinateList();
  void SelectPenCommand();
  void PenWidth();
  void PaperSize();
  void ScalingPoints();
  void UserScaling();
  void Circle();
  void ArcCommand(bool relative);
  void Rectangle();
  void Tick(bool xTick);
  void PolygonModeCommand();
  void PolylineEncoded();
  // One PE number starting with the character `first` (already read): the raw sum of its
  // digits and whether it is odd (negative). False at the end of the file.
  // The slow path returns its result by value, so the caller's sum stays in a register.
  struct PeResult {
    long double sum;
    bool odd;
    bool ok;
  };
  bool DecodePeNumber(int first, bool sevenBit, long double& sum, bool& odd) {
    if (DecodePeInBuffer(first, sevenBit, sum, odd)) return true;
    PeResult r = DecodePeByChar(first, sevenBit);
    sum = r.sum;
    odd = r.odd;
    return r.ok;
  }
  inline bool DecodePeInBuffer(int first, bool sevenBit, long double& sum, bool& odd);
  [[gnu::noinline]] PeResult DecodePeByChar(int first, bool sevenBit);
  long double PeAbsX(long double v) const {
    return ScalingOn ? (v / kPlotUnit - scXmin) * p_.carry.scFactorX + P1.x : v;
  }
  long double PeAbsY(long double v) const {
    return ScalingOn ? (v / kPlotUnit - scYmin) * p_.carry.scFactorY + P1.y : v;
  }
  long double PeRelX(long double v) const {
    return ScalingOn ? v / kPlotUnit * p_.carry.scFactorX : v;
  }
  long double PeRelY(long double v) const {
    return ScalingOn ? v / kPlotUnit * p_.carry.scFactorY : v;
  }
  void Label();
  void DefineTerminator();
  void AbsoluteSize();
  void RelativeSize();
  void Direction();
  void CharacterPlot();
  void FontDefinition();

  // Every message of the reader goes through here: an error box when messages are enabled, the
  // first kMaxReaderMessages of a run only; the others are counted for SkippedMessages.
  void Error(const std::string& text) {
    if (!messagesEnabled_) return;
    if (shownMessages_ < kMaxReaderMessages) {
      ++shownMessages_;
      p_.ui->ShowError(text);
    } else {
      ++skippedMessages_;
    }
  }
  // The one box for the messages that were not shown, at the end of the command loop.
  void SkippedMessages();

  Program& p_;
  SinkT& sink_;
  ByteSource& src_;
  bool& errorFlag_;              // the stop flag: ErrorFlag, or the reader thread's own
  const bool& messagesEnabled_;  // MessagesEnabled, or the reader thread's own

  // Reader state.
  std::int64_t ByteCount = 0;
  bool hasPending_ = false;
  int pendingA_ = 0;
  int pendingB_ = 0;
  bool EndOfParams = false;
  bool reachedEnd_ = false;
  int shownMessages_ = 0;
  std::int64_t skippedMessages_ = 0;
  std::string text_;  // number text of the parameter being read

  // Plotter state, reset for every run.
  Point CurrentPos;
  Point LastTarget;
  bool hasLastTarget_ = false;
  int CurrentPen = 1;
  bool PenDownFlag = false;
  bool RelativeFlag = false;
  bool ScalingOn = false;
  Point P1{0.0L, 0.0L};
  Point P2{196.0L, 131.0L};
  Point paper{403.5L, 276.0L};
  long double scXmin = 0.0L, scXmax = 196.0L, scYmin = 0.0L, scYmax = 131.0L;
  long double scType = 0.0L;

  // Text state.
  long double charWidth = 2.5L;
  long double charHeight = 2.5L;
  long double dirRun = 1.0L;
  long double dirRise = 0.0L;
  long double charSet = 1.0L;
  int symbolSet = 0;  // of the standard font, from SD; 0 when none was declared
  int terminator = kEtx;

 public:
  std::int64_t ElementCounter = 0;
  int PartCounter = 0;
};

// --- Token reader ---------------------------------------------------------------------------

template <class SinkT>
bool Interpreter<SinkT>::GetCommand(int& a, int& b) {
  for (;;) {
    int c = src_.Next();
    if (c < 0) return AtEndOfFile();
    ++ByteCount;
    c = Upper(c);
    if (IsLetter(c) || c == kEsc) {
      a = c;
      break;
    }
  }
  b = Upper(RawChar());
  return true;
}

template <class SinkT>
bool Interpreter<SinkT>::IsParamEnd(int ch) {
  if (ch == ';' || ch == '#') {
    EndOfParams = true;
    hasPending_ = false;
    return true;
  }
  int u = Upper(ch);
  if (IsLetter(u)) {
    // A command written right after the last parameter (PA10,10PD20,20).
    EndOfParams = true;
    pendingA_ = u;
    pendingB_ = Upper(RawChar());
    hasPending_ = true;
    return true;
  }
  return false;
}

template <class SinkT>
long double Interpreter<SinkT>::ConvertText() const {
  // The text without its last character (the separator).
  if (text_.size() <= 1 || text_.size() > kMaxNumberText) return 0.0L;
  return TextToFloat(std::string_view(text_.data(), text_.size() - 1));
}

// Scans a coordinate in place when it lies wholly in the buffer: optional blanks, then sign,
// digits and point, then a separator, with no line end. Returns false, consuming nothing, when
// the text has any other shape; the character-by-character reader then takes it.
template <class SinkT>
inline bool Interpreter<SinkT>::GetCoordInBuffer(long double& value) {
  const char* start = src_.cursor();
  const char* end = src_.limit();
  const char* q = start;
  while (*q == ' ') ++q;  // the sentinel at `end` stops every scan here
  const char* num = q;
  // One pass: sign and digits into a 64-bit integer (the common case), anything else of the
  // number's shape (a point, a further sign) makes it a general number.
  bool negative = false;
  if (*q == '-' || *q == '+') negative = *q++ == '-';
  const char* digits = q;
  std::uint64_t v = 0;
  while (static_cast<unsigned>(*q - '0') < 10u) {
    v = v * 10 + static_cast<unsigned>(*q - '0');
    ++q;
  }
  bool integer = q > digits && q - digits <= 18;
  while (static_cast<unsigned>(*q - '0') < 10u || *q == '.' || *q == '-' || *q == '+') {
    integer = false;
    ++q;
  }
  if (q >= end) return false;
  const int sep = static_cast<unsigned char>(*q);
  const int upper = Upper(sep);
  const bool letter = IsLetter(upper);
  if (letter) {
    if (q + 1 >= end) return false;
  } else if (sep != ',' && sep != ' ' && sep != ';' && sep != '#') {
    return false;
  }
  const std::size_t len = static_cast<std::size_t>(q - num);
  if (integer) {
    // At most 18 digits: the signed conversion is exact and a single instruction.
    const long double lv = static_cast<long double>(static_cast<std::int64_t>(v));
    value = negative ? -lv : lv;
  } else if (len == 0) {
    value = 0.0L;
  } else if (len + 1 > kMaxNumberText) {
    return false;
  } else {
    value = TextToFloat(std::string_view(num, len));
  }
  ByteCount += (q - start) + 1;
  if (letter) {
    // A command written right after the last parameter becomes the pending command.
    EndOfParams = true;
    pendingA_ = upper;
    pendingB_ = Upper(static_cast<unsigned char>(q[1]));
    hasPending_ = true;
    src_.Advance(q + 2);
  } else {
    if (sep == ';' || sep == '#') {
      EndOfParams = true;
      hasPending_ = false;
    }
    src_.Advance(q + 1);
  }
  return true;
}

template <class SinkT>
typename Interpreter<SinkT>::CoordResult Interpreter<SinkT>::GetCoordByChar() {
  text_.clear();
  int ch = 0;
  for (;;) {
    if (!GetChar(ch)) return {0.0L, false};
    if (text_.empty() && ch == ' ') continue;  // leading blanks are skipped
    if (text_.size() <= kMaxNumberText) text_.push_back(static_cast<char>(ch));
    if (ch == ',' || ch == ' ' || IsParamEnd(ch)) break;
  }
  return {ConvertText(), true};
}

template <class SinkT>
long double Interpreter<SinkT>::GetParam(bool* present) {
  text_.clear();
  int ch = 0;
  for (;;) {
    if (!GetChar(ch)) {
      // At the end of the file everything delivered so far is the number.
      if (present) *present = !text_.empty();
      if (text_.empty() || text_.size() > kMaxNumberText) return 0.0L;
      return TextToFloat(text_);
    }
    if (ch != ' ' && text_.size() <= kMaxNumberText) text_.push_back(static_cast<char>(ch));
    if (ch == ',' || IsParamEnd(ch)) break;
  }
  if (present) *present = text_.size() > 1;
  return ConvertText();
}

template <class SinkT>
int Interpreter<SinkT>::GetIntParam() {
  text_.clear();
  int ch = 0;
  for (;;) {
    if (!GetChar(ch)) return 1;
    if (text_.size() <= kMaxNumberText) text_.push_back(static_cast<char>(ch));
    if (ch == ',' || IsParamEnd(ch)) break;
  }
  if (text_.size() <= 1 || text_.size() > kMaxNumberText) return 1;
  std::int32_t v = TextToInt(std::string_view(text_.data(), text_.size() - 1));
  return static_cast<int>(static_cast<std::uint32_t>(v) & 0xFFu);
}

template <class SinkT>
void Interpreter<SinkT>::SkipParams() {
  int ch = 0;
  while (GetChar(ch) && !IsParamEnd(ch)) {
  }
}

// --- Command loop ---------------------------------------------------------------------------

template <class SinkT>
void Interpreter<SinkT>::CommandLoop() {
  const bool splits = sink_.SplitsOutput();
  while (!errorFlag_ && !src_.AtEnd()) {
    if (splits && ElementCounter > p_.settings.MaxFileElements) {
      ++PartCounter;
      sink_.StartNextPart(PartCounter);
      ElementCounter = 0;
      if (errorFlag_) break;
    }
    EndOfParams = false;
    int a, b;
    if (hasPending_) {
      a = pendingA_;
      b = pendingB_;
      hasPending_ = false;
    } else if (!GetCommand(a, b)) {
      break;
    }
    Dispatch(a, b);
  }
  SkippedMessages();
}

template <class SinkT>
void Interpreter<SinkT>::SkippedMessages() {
  if (skippedMessages_ == 0 || !messagesEnabled_) return;
  p_.ui->ShowError(skippedMessages_ == 1
                       ? std::string("1 autre message non affiché")
                       : std::to_string(skippedMessages_) + " autres messages non affichés");
  skippedMessages_ = 0;
}

template <class SinkT>
void Interpreter<SinkT>::Dispatch(int a, int b) {
  switch (Code(a, b)) {
    case Code('P', 'U'):
      PenDownFlag = false;
      CoordinateList();
      break;
    case Code('P', 'D'):
      PenDownFlag = true;
      CoordinateList();
      break;
    case Code('S', 'P'):
      SelectPenCommand();
      break;
    case Code('P', 'W'):
      PenWidth();
      break;
    case Code('P', 'A'):
      RelativeFlag = false;
      CoordinateList();
      break;
    case Code('P', 'R'):
      RelativeFlag = true;
      CoordinateList();
      break;
    case Code('C', 'I'):
      Circle();
      break;
    case Code('S', 'I'):
      AbsoluteSize();
      break;
    case Code('S', 'R'):
      RelativeSize();
      break;
    case Code('D', 'I'):
      Direction();
      break;
    case Code('L', 'B'):
      Label();
      break;
    case Code('C', 'S'): {
      long double set = charSet;
      if (GetCoord(set)) charSet = set;
      break;
    }
    case Code('S', 'S'):
      charSet = 1.0L;
      break;
    case Code('C', 'A'):
      SkipParams();
      break;
    case Code('C', 'P'):
      CharacterPlot();
      break;
    case Code('D', 'T'):
      DefineTerminator();
      break;
    case Code('A', 'A'):
      ArcCommand(false);
      break;
    case Code('A', 'R'):
      ArcCommand(true);
      break;
    case Code('P', 'E'):
      PolylineEncoded();
      break;
    case Code('P', 'M'):
      PolygonModeCommand();
      break;
    case Code('G', 'M'):
    case Code('F', 'S'):
    case Code('A', 'S'):
      // Their parameters are passed over by the next command search.
      break;
    case Code('R', 'A'):
    case Code('E', 'A'):
      Rectangle();
      break;
    case Code('F', 'P'):
      sink_.FillPolygon();
      SkipParams();
      break;
    case Code('E', 'P'):
    case Code('F', 'T'):
    case Code('P', 'T'):
    case Code('N', 'R'):
    case Code('R', 'O'):
    case Code('I', 'N'):
    case Code('I', 'W'):
    case Code('D', 'F'):
    case Code('V', 'S'):
    case Code('L', 'T'):
    case Code('B', 'P'):
    case Code('P', 'G'):
    case Code('A', 'F'):
    case Code('C', 'T'):
      SkipParams();
      break;
    case Code('P', 'S'):
      PaperSize();
      break;
    case Code('I', 'P'):
      ScalingPoints();
      break;
    case Code('S', 'C'):
      UserScaling();
      break;
    case Code('S', 'D'):
      FontDefinition();
      break;
    case Code('X', 'T'):
      Tick(true);
      break;
    case Code('Y', 'T'):
      Tick(false);
      break;
    default:
      if (a == kEsc) {
        // A device-control sequence: everything up to the next ";" is discarded.
        int ch = 0;
        while (GetChar(ch) && ch != ';') {
        }
      } else if (b > '9') {
        PenDownFlag = false;
        SkipParams();
      } else {
        SkipParams();
      }
      break;
  }
}

// --- Pen moves ------------------------------------------------------------------------------

template <class SinkT>
void Interpreter<SinkT>::CoordinateList() {
  for (;;) {
    long double x = 0.0L, y = 0.0L;
    if (!GetCoord(x) || EndOfParams) return;  // a lone x before the terminator is dropped
    if (!GetCoord(y)) return;
    Point target = RelativeFlag ? Point{RelX(x) + CurrentPos.x, RelY(y) + CurrentPos.y}
                                : Point{AbsX(x), AbsY(y)};
    SetLastTarget(target);
    if (PenDownFlag) {
      EmitSegment(CurrentPos, target);
      if (errorFlag_) return;
    }
    CurrentPos = target;
    if (EndOfParams) return;
  }
}

template <class SinkT>
void Interpreter<SinkT>::SelectPenCommand() {
  int pen = GetIntParam();
  CurrentPen = pen > 15 ? 15 : pen;
}

template <class SinkT>
void Interpreter<SinkT>::PenWidth() {
  long double width = GetParam();
  p_.carry.penWidth = width;
  if (!p_.settings.PenFromWidth) return;
  // pen = round(width * 20) mod 15 as an unsigned byte, clamped to 1..14. The remainder keeps
  // the sign of the dividend, so a negative width gives a byte above 14.
  long double r = std::nearbyint(width * 20.0L);
  long double m = std::isfinite(r) ? std::fmod(r, 15.0L) : 0.0L;
  int byte = static_cast<int>(static_cast<unsigned>(static_cast<int>(m)) & 0xFFu);
  CurrentPen = byte < 1 ? 1 : (byte > 14 ? 14 : byte);
}

// --- Scaling --------------------------------------------------------------------------------

template <class SinkT>
void Interpreter<SinkT>::PaperSize() {
  EndOfParams = false;
  long double a = GetParam();
  if (EndOfParams) return;
  paper.x = a * kPlotUnit;
  long double b = GetParam();
  paper.y = EndOfParams ? paper.x : b * kPlotUnit;
}

template <class SinkT>
void Interpreter<SinkT>::ScalingPoints() {
  EndOfParams = false;
  long double a = GetParam();
  if (EndOfParams || errorFlag_) {
    P1 = {0.0L, 0.0L};
    P2 = paper;
    return;
  }
  long double b = GetParam();
  long double c = GetParam();
  if (EndOfParams || errorFlag_) {
    P1 = {0.0L, 0.0L};
    P2 = {a * kPlotUnit, b * kPlotUnit};
    return;
  }
  P1 = {a * kPlotUnit, b * kPlotUnit};
  P2.x = c * kPlotUnit;
  long double d = GetParam();
  P2.y = d * kPlotUnit;
  if (P1.x == P2.x || P1.y == P2.y) {
    P1 = {0.0L, 0.0L};
    P2 = paper;
  }
}

template <class SinkT>
void Interpreter<SinkT>::UserScaling() {
  EndOfParams = false;
  long double xmin = GetParam();
  if (EndOfParams) {
    ScalingOn = false;
    return;
  }
  long double xmax = GetParam();
  long double ymin = GetParam();
  long double ymax = GetParam();
  // A window with equal bounds would divide by zero: such an SC leaves the scaling as it was
  // (window, factors and on/off state).
  if (errorFlag_ || xmax == xmin || ymax == ymin) return;
  scXmin = xmin;
  scXmax = xmax;
  scYmin = ymin;
  scYmax = ymax;
  ScalingOn = true;
  if (!EndOfParams) {
    // A fifth parameter: the scaling type, 1 for isotropic.
    long double type = scType;
    if (!GetCoord(type)) return;
    scType = type;
    if (std::fabs(type - 1.0L) < 1e-5L) {
      if (std::fabs(scXmax - scXmin) >= std::fabs(scYmax - scYmin)) {
        scXmin = scYmin;
        scXmax = scYmax;
      } else {
        scYmin = scXmin;
        scYmax = scXmax;
      }
    }
  }
  p_.carry.scFactorX = (P2.x - P1.x) / (scXmax - scXmin);
  p_.carry.scFactorY = (P2.y - P1.y) / (scYmax - scYmin);
}

// --- Circles, arcs, rectangles, ticks, polygons ---------------------------------------------

template <class SinkT>
void Interpreter<SinkT>::Circle() {
  long double r = 0.0L;
  if (!GetCoord(r)) return;
  ++ElementCounter;
  sink_.Circle(CurrentPen, CurrentPos, RelX(r));
}

template <class SinkT>
void Interpreter<SinkT>::ArcCommand(bool relative) {
  long double x = 0.0L, y = 0.0L;
  if (!GetCoord(x) || !GetCoord(y)) return;
  long double sweep = GetParam();
  if (errorFlag_ || !PenDownFlag) return;
  Point centre =
      relative ? Point{RelX(x) + CurrentPos.x, RelY(y) + CurrentPos.y} : Point{AbsX(x), AbsY(y)};
  ++ElementCounter;
  long double dx = CurrentPos.x - centre.x;
  long double dy = CurrentPos.y - centre.y;
  long double cosA = 0.0L, sinA = 0.0L;
  CosSinDegrees(sweep, cosA, sinA);
  Point end{centre.x + dx * cosA - dy * sinA, centre.y + dy * cosA + dx * sinA};
  long double radius = std::hypot(dx, dy);
  long double s = VectorAngle(dx, dy);
  long double e = VectorAngle(end.x - centre.x, end.y - centre.y);
  long double from = sweep >= 0.0L ? s : e;
  long double to = sweep >= 0.0L ? e : s;
  if (from == to) to = from + 360.0L;  // a sweep of 0 is a full circle
  sink_.Arc(CurrentPen, centre, from, to, radius);
  CurrentPos = end;
}

template <class SinkT>
void Interpreter<SinkT>::Rectangle() {
  long double x = GetParam();
  long double y = GetParam();
  if (errorFlag_) return;
  Point c0 = CurrentPos;
  Point c1{AbsX(x), AbsY(y)};
  EmitSegment({c0.x, c0.y}, {c1.x, c0.y});
  EmitSegment({c1.x, c0.y}, {c1.x, c1.y});
  EmitSegment({c1.x, c1.y}, {c0.x, c1.y});
  EmitSegment({c0.x, c1.y}, {c0.x, c0.y});
  CurrentPos = c0;
  SetLastTarget(c0);
}

template <class SinkT>
void Interpreter<SinkT>::Tick(bool xTick) {
  // From the current point L/2 in the positive direction and L in the negative direction.
  long double len = xTick ? std::fabs(P2.x - P1.x) * 0.005L : std::fabs(P2.y - P1.y) * 0.005L;
  Point p = CurrentPos;
  Point plus = xTick ? Point{p.x, p.y + len / 2.0L} : Point{p.x + len / 2.0L, p.y};
  Point minus = xTick ? Point{p.x, p.y - len} : Point{p.x - len, p.y};
  EmitSegment(p, plus);
  EmitSegment(p, minus);
  SetLastTarget(minus);
}

template <class SinkT>
void Interpreter<SinkT>::PolygonModeCommand() {
  int mode = GetIntParam();
  sink_.PolygonMode(mode, LastTargetOrCurrent());
}

// --- Polyline Encoded -----------------------------------------------------------------------

// Decodes a number whose remaining digits lie in the buffer, all valid and without line ends,
// and short enough for 64 bits. Returns false, consuming nothing, otherwise.
template <class SinkT>
inline bool Interpreter<SinkT>::DecodePeInBuffer(int first, bool sevenBit, long double& sum,
                                                 bool& odd) {
  const unsigned char* start = reinterpret_cast<const unsigned char*>(src_.cursor());
  const unsigned char* q = start;
  const unsigned char* end = reinterpret_cast<const unsigned char*>(src_.limit());
  const int bits = sevenBit ? 5 : 6;
  const int continueHigh = sevenBit ? 94 : 126;
  const int endLow = sevenBit ? 95 : 191;
  const int endHigh = sevenBit ? 126 : 254;
  std::uint64_t low = 0;
  int shift = 0;
  int c = first;
  for (;;) {
    if (c >= 63 && c <= continueHigh) {
      low |= static_cast<std::uint64_t>(c - 63) << shift;
    } else if (c >= endLow && c <= endHigh) {
      low |= static_cast<std::uint64_t>(c - endLow) << shift;
      break;
    } else {
      return false;
    }
    shift += bits;
    if (shift > 58 || q >= end) return false;
    c = *q++;
  }
  ByteCount += q - start;
  src_.Advance(reinterpret_cast<const char*>(q));
  odd = (low & 1u) != 0;
  sum = static_cast<long double>(static_cast<std::int64_t>(low));  // below 2^59
  return true;
}

template <class SinkT>
typename Interpreter<SinkT>::PeResult Interpreter<SinkT>::DecodePeByChar(int first, bool sevenBit) {
  long double sum = 0.0L;
  bool odd = false;
  int shift = 0;
  int c = first;
  std::uint64_t low = 0;  // the digits while they fit in 64 bits; the rest go to `sum`
  char read[64];          // the characters of this number, for the 7-bit message
  std::size_t readCount = 0;
  for (;;) {
    if (readCount < sizeof read) read[readCount++] = static_cast<char>(c);
    bool ended = false;
    int digit = -1;
    if (sevenBit) {
      if (c >= 63 && c <= 94) {
        digit = c - 63;
      } else if (c >= 95 && c <= 126) {
        digit = c - 95;
        ended = true;
      } else if (messagesEnabled_) {
        std::string msg = "Invalid character \"" + Cp437ToUtf8(static_cast<unsigned char>(c)) +
                          "\" in PE x,y  7-bit (Byte " + std::to_string(ByteCount) + ")  ";
        for (std::size_t k = 0; k < readCount; ++k)
          msg += Cp437ToUtf8(static_cast<unsigned char>(read[k]));
        Error(msg);
      }
    } else {
      if (c >= 63 && c <= 126) {
        digit = c - 63;
      } else if (c >= 191 && c <= 254) {
        digit = c - 191;
        ended = true;
      }
    }
    if (digit >= 0) {
      if (shift == 0) odd = (digit & 1) != 0;
      if (shift <= 58) {
        low += static_cast<std::uint64_t>(digit) << shift;
      } else if (shift < kMaxPeShift) {
        sum += std::ldexp(static_cast<long double>(digit), shift);
      }
    }
    shift += sevenBit ? 5 : 6;
    if (ended) {
      sum += static_cast<long double>(low);
      return {sum, odd, true};
    }
    if (errorFlag_ || !GetChar(c)) return {sum, odd, false};
  }
}

template <class SinkT>
void Interpreter<SinkT>::PolylineEncoded() {
  PenDownFlag = true;
  bool sevenBit = false;
  bool absoluteNext = false;
  int c = 0;
  for (;;) {
    if (!GetChar(c) || c == ';') return;
    switch (c) {
      case '7':
        sevenBit = true;
        break;
      case ':': {
        // The pen number, encoded like a coordinate.
        int first = 0;
        long double sum;
        bool odd;
        if (!GetChar(first) || !DecodePeNumber(first, sevenBit, sum, odd)) return;
        long double pen = odd ? -(sum - 1.0L) / 2.0L : sum / 2.0L;
        CurrentPen = pen < 1.0L ? 1 : (pen > 15.0L ? 15 : static_cast<int>(pen));
        break;
      }
      case '<':
        PenDownFlag = false;
        break;
      case '=':
        absoluteNext = true;
        break;
      case '>': {
        int ignored = 0;
        if (!GetChar(ignored)) return;
        break;
      }
      default: {
        if (c >= 63 && c <= 254) {
          long double sx, sy;
          bool ox, oy;
          int yFirst = 0;
          if (!DecodePeNumber(c, sevenBit, sx, ox) || !GetChar(yFirst) ||
              !DecodePeNumber(yFirst, sevenBit, sy, oy)) {
            return;  // a pair cut off by the end of the file is not used
          }
          long double vx = ox ? (1.0L - sx) * kPeUnit : sx * kPeUnit;
          long double vy = oy ? (1.0L - sy) * kPeUnit : sy * kPeUnit;
          Point target = absoluteNext ? Point{PeAbsX(vx), PeAbsY(vy)}
                                      : Point{PeRelX(vx) + CurrentPos.x, PeRelY(vy) + CurrentPos.y};
          SetLastTarget(target);
          if (PenDownFlag) {
            EmitSegment(CurrentPos, target);
            if (errorFlag_) return;
          }
          CurrentPos = target;
          PenDownFlag = true;
          absoluteNext = false;
        } else if (messagesEnabled_) {
          Error("Invalid character \"" + Cp437ToUtf8(static_cast<unsigned char>(c)) +
                "\" in PE-Section (Byte " + std::to_string(ByteCount) + ")");
        }
        break;
      }
    }
  }
}

// --- Labels and character sizing ------------------------------------------------------------

template <class SinkT>
void Interpreter<SinkT>::Label() {
  std::string text;
  bool byTerminator = false;
  for (;;) {
    int b = src_.Next();
    if (b < 0) {
      AtEndOfFile();
      break;
    }
    ++ByteCount;
    int ch = b;
    if (ch <= 32 && ch != terminator) ch = ' ';
    if (ch == terminator) {
      text += static_cast<char>(ch);
      byTerminator = true;
    } else if (charSet == 3.0L && ch == '}') {
      // The umlaut of the character before (code page 437); a leading "}" stays itself.
      if (text.empty()) {
        text += '}';
      } else {
        char& last = text.back();
        switch (last) {
          case 'A':
            last = static_cast<char>(142);
            break;
          case 'O':
            last = static_cast<char>(153);
            break;
          case 'U':
            last = static_cast<char>(154);
            break;
          case 'a':
            last = static_cast<char>(132);
            break;
          case 'o':
            last = static_cast<char>(148);
            break;
          case 'u':
            last = static_cast<char>(129);
            break;
          default:
            break;
        }
      }
    } else {
      text += static_cast<char>(ch);
    }
    if (text.size() >= kMaxLabelText) {
      // Emitted with the characters read so far; the rest is read as commands.
      Error("Textstring too long !");
      break;
    }
    if (byTerminator) break;
  }
  if (byTerminator) {
    EndOfParams = true;
    text.pop_back();
  }
  ++ElementCounter;
  Point at = CurrentPos;
  LabelStyle style{VectorAngle(dirRun, dirRise), charWidth, charHeight, symbolSet};
  sink_.Label(CurrentPen, text, at, style);
  // The advance follows the direction of DI; DI's run and rise are a direction, not a length
  // (DI128,0 is horizontal), so they are taken as a unit vector.
  long double advance = charWidth * static_cast<long double>(text.size());
  long double length = std::hypot(dirRun, dirRise);
  long double ux = 0.0L, uy = 0.0L;
  if (length > 0.0L && std::isfinite(length)) {
    ux = dirRun / length;
    uy = dirRise / length;
  }
  Point target{at.x + advance * ux, at.y + advance * uy};
  SetLastTarget(target);
  CurrentPos = target;
}

// SD (standard font definition): kind and value pairs; kind 1 is the symbol set of the labels.
// SD; returns to the default (none declared). Like every command that draws nothing it lifts the
// pen.
template <class SinkT>
void Interpreter<SinkT>::FontDefinition() {
  PenDownFlag = false;
  EndOfParams = false;
  long double kind = GetParam();
  if (EndOfParams || errorFlag_) {
    symbolSet = 0;
    return;
  }
  while (!errorFlag_) {
    long double value = GetParam();
    if (kind == 1.0L) symbolSet = value >= 0.0L && value <= 32767.0L ? static_cast<int>(value) : 0;
    if (EndOfParams || errorFlag_) return;
    kind = GetParam();
    if (EndOfParams) return;
  }
}

template <class SinkT>
void Interpreter<SinkT>::DefineTerminator() {
  int t = src_.Next();
  if (t < 0 || t == 0 || t == 5 || t == kEsc) t = kEtx;
  terminator = t;
}

template <class SinkT>
void Interpreter<SinkT>::AbsoluteSize() {
  long double w = GetParam();
  long double h = GetParam();
  if (w < 0.1L * h || w > 10.0L * h) w = h;
  charWidth = w * 10.0L;
  charHeight = h * 10.0L;
}

template <class SinkT>
void Interpreter<SinkT>::RelativeSize() {
  long double w = GetParam();
  long double h;
  if (errorFlag_) {
    w = 0.75L;
    h = 1.5L;
  } else {
    h = GetParam();
  }
  charWidth = std::fabs(P2.x - P1.x) * w * 0.01L;
  if (charWidth == 0.0L) charWidth = 2.5L;
  charHeight = std::fabs(P2.y - P1.y) * h * 0.01L;
  if (charHeight == 0.0L) charHeight = 2.0L;
  if (charWidth < 0.1L * charHeight || charWidth > 10.0L * charHeight) charWidth = charHeight;
}

template <class SinkT>
void Interpreter<SinkT>::Direction() {
  bool present = false;
  long double run = GetParam(&present);
  if (!present && EndOfParams) {
    // DI; restores the horizontal direction.
    dirRun = 1.0L;
    dirRise = 0.0L;
    return;
  }
  dirRun = run;
  dirRise = GetParam();
}

template <class SinkT>
void Interpreter<SinkT>::CharacterPlot() {
  long double c = GetParam();
  if (errorFlag_) return;
  long double l = GetParam();
  Point from = LastTargetOrCurrent();
  Point target{from.x + c * charWidth, from.y + l * charHeight * 1.3L};
  SetLastTarget(target);
  CurrentPos = target;
}

// The end of a run: the trailer is written whatever ended the run, unless the input could not be
// read to its end or the user stopped the run (a cancelled conversion keeps no output under its
// name); a failure while writing it counts too. `failed` when the output failed on the way.
template <class SinkT>
void EndRun(Program& p, SinkT& sink, ByteSource& source, bool failed) {
  p.ErrorFlag = false;
  sink.End(source.failed() || p.StopRequested);
  failed = failed || p.ErrorFlag || source.failed() || p.StopRequested;
  if (source.failed()) {
    p.MessagesEnabled = true;
    p.Error("Erreur de lecture du fichier " + p.file.Path() + " !");
  }

  if (p.extents.xmin == p.extents.xmax) p.extents.xmax = p.extents.xmin + 1.0L;
  if (p.extents.ymin == p.extents.ymax) p.extents.ymax = p.extents.ymin + 1.0L;
  p.MessagesEnabled = true;
  p.ErrorFlag = false;
  p.RunFailed = failed;
}

// Steps of a run after the input is open: the sink's output, the command loop, the end.
template <class SinkT>
void Run(Program& p, SinkT& sink, ByteSource& source) {
  source.SetProgress(p.progress);
  if (!sink.Begin()) {
    p.RunFailed = true;
    return;  // ErrorFlag stays set for the caller
  }
  Interpreter<SinkT> interpreter(p, sink, source);
  interpreter.CommandLoop();
  EndRun(p, sink, source, p.ErrorFlag && !interpreter.reachedEnd());
}

// The reader's progress, passed on to the program's progress display on this thread.
void ForwardProgress(Program& p, ElementQueue& queue) {
  std::uint64_t done = 0, total = 0;
  if (p.progress != nullptr && queue.TakeProgress(done, total)) p.progress->Progress(done, total);
}

// The steps of Run with the reading and interpreting on a second thread, which records the
// elements (and with kScan does the scan's work); this thread replays them into `sink`
// (elementqueue.h): a convert sink without the scan's work (kConvert), or a drawing device's
// sink. The sink sees the calls of Run in the same order; when the output fails, the elements
// read ahead are dropped.
template <bool kScan, bool kConvert, class SinkT>
void RunOnTwoThreads(Program& p, SinkT& sink, ByteSource& source) {
  if (!sink.Begin()) {
    p.RunFailed = true;
    return;
  }
  ElementQueue queue;
  QueuedProgress progress(queue);
  source.SetProgress(&progress);
  const bool splits = sink.SplitsOutput();
  bool readerStop = false;
  const bool readerMessages = false;
  bool reachedEnd = false;
  std::exception_ptr readerFailure;
  std::thread reader([&] {
    RecordingSink<kScan, kConvert> recorder(p, queue, readerStop, splits);
    try {
      Interpreter<RecordingSink<kScan, kConvert>> interpreter(p, recorder, source, readerStop,
                                                              readerMessages);
      interpreter.CommandLoop();
      reachedEnd = interpreter.reachedEnd();
    } catch (...) {
      readerFailure = std::current_exception();
    }
    recorder.Finish();
  });
  bool outputFailed = false;
  try {
    while (ElementBlock* block = queue.TakeFilled()) {
      const bool ok = ReplayBlock<kConvert>(*block, sink, p.ErrorFlag);
      queue.Recycle(block);
      ForwardProgress(p, queue);
      if (!ok) {
        outputFailed = true;
        queue.Stop();
        break;
      }
    }
  } catch (...) {
    queue.Stop();
    reader.join();
    throw;
  }
  reader.join();
  source.SetProgress(p.progress);
  ForwardProgress(p, queue);
  if (readerFailure) std::rethrow_exception(readerFailure);
  EndRun(p, sink, source, outputFailed || (readerStop && !reachedEnd));
}

// True when a run reads and interprets on a second thread: a large file, a second processor,
// and no reader messages to show (convert, print and screen runs show none, so the reader
// thread needs nothing of the program's message state).
bool ReadsOnSecondThread(const Program& p, const ByteSource& source) {
  static const bool kSecondProcessor = std::thread::hardware_concurrency() != 1;
  return !p.MessagesEnabled && source.size() >= p.ReaderThreadFrom &&
         (kSecondProcessor || p.ReaderThreadFrom == 0);
}

// A convert run into `driver`, also a scan run with kScan. The program's own driver gets a sink
// that calls it directly, and for a large file the reading on a second thread; any other driver
// (test recorders) the general sink.
template <bool kScan>
void RunConvert(Program& p, OutputDriver& driver, ByteSource& source) {
  if (auto* own = dynamic_cast<PlotDriver*>(&driver)) {
    if (ReadsOnSecondThread(p, source)) {
      ConvertSink<PlotDriver, false> sink(p, *own);
      RunOnTwoThreads<kScan, true>(p, sink, source);
    } else {
      ConvertSink<PlotDriver, kScan> sink(p, *own);
      Run(p, sink, source);
    }
  } else {
    ConvertSink<OutputDriver, kScan> sink(p, driver);
    Run<Sink>(p, sink, source);
  }
}

// The one choice of sink by run mode. A run whose target is missing fails at once.
void RunWithSinkOf(Program& p, RunMode mode, const RunTargets& targets, ByteSource& source) {
  switch (mode) {
    case RunMode::Scan: {
      ScanSink sink(p);
      Run(p, sink, source);
      return;
    }
    case RunMode::Convert:
      if (!targets.driver) break;
      RunConvert<false>(p, *targets.driver, source);
      return;
    case RunMode::Print:
    case RunMode::Screen:
      if (!targets.device) break;
      {
        DeviceSink sink(p, *targets.device, mode == RunMode::Screen);
        if (ReadsOnSecondThread(p, source)) {
          RunOnTwoThreads<false, false>(p, sink, source);
        } else {
          Run(p, sink, source);
        }
      }
      return;
  }
  p.ErrorFlag = true;
  p.RunFailed = true;
}

// The reset of a run's program state: messages only in scan runs, counts always, extents in
// scan runs.
void ResetRun(Program& p, RunMode mode) {
  p.MessagesEnabled = (mode == RunMode::Scan);
  p.ElementCount = 0;
  p.TextCount = 0;
  if (mode == RunMode::Scan) p.extents = Extents{};
}

// The end of a conversion in one pass whose outputs wait for their trailers. A conversion that
// stopped part way (its output failed) has not seen the whole drawing: a scan run over the file
// finds the extents that the trailers of the outputs already ended hold, as after a scan run
// and a convert run. The conversion's outcome stays.
void EndHeldOutputs(Program& p, OutputDriver& driver) {
  const bool runFailed = p.RunFailed;
  bool keep = true;
  if (runFailed) {
    ResetRun(p, RunMode::Scan);
    p.MessagesEnabled = false;
    ByteSource source = ByteSource::FromString({});
    if (ByteSource::Open(p.file.Path(), &source)) {
      ScanSink sink(p);
      Run(p, sink, source);
      keep = !p.RunFailed;
    } else {
      keep = false;
    }
  }
  p.ErrorFlag = false;
  const bool ended = driver.EndHeldOutputs(keep);
  p.ErrorFlag = false;
  p.MessagesEnabled = true;
  p.RunFailed = runFailed || !ended;
}

}  // namespace

void RunInterpreterOn(Program& p, RunMode mode, const RunTargets& targets, ByteSource& source) {
  p.RunFailed = false;
  if (p.StopRequested) p.ErrorFlag = true;
  if (p.ErrorFlag) return;
  ResetRun(p, mode);
  RunWithSinkOf(p, mode, targets, source);
}

namespace {

// True when the output file of a file conversion would be the plot file being read: the same
// file, whatever names lead to it (the output name is relative to the current directory).
bool OutputIsInput(const Program& p) {
  const std::string out = p.settings.PlotFile + "." + SyntaxOf(p.settings.SyntaxCode).extension;
  struct stat in {
  }, o{};
  if (::stat(p.file.Path().c_str(), &in) != 0 || ::stat(out.c_str(), &o) != 0) return false;
  return in.st_dev == o.st_dev && in.st_ino == o.st_ino;
}

// A conversion into a file refuses to write over the plot file it reads: the message, ErrorFlag
// and true.
bool RefusesOutputOverInput(Program& p) {
  if (p.settings.DeviceCode != 3 || !OutputIsInput(p)) return false;
  p.MessagesEnabled = true;
  p.Error("filename for source and destination must be different !");
  p.ErrorFlag = true;
  return true;
}

// Opens the current plot file into `source`. False, with the messages and ErrorFlag, when it
// cannot be read.
bool OpenPlotFile(Program& p, ByteSource& source) {
  const std::string path = p.file.Path();
  if (ByteSource::Open(path, &source)) return true;
  p.Error("fichier " + path + " introuvable ou accès impossible !");
  p.ErrorFlag = true;
  p.MessagesEnabled = true;
  p.Error("pas de fichier ouvert");
  return false;
}

}  // namespace

void RunInterpreter(Program& p, RunMode mode, const RunTargets& targets) {
  p.RunFailed = false;
  if (p.StopRequested) p.ErrorFlag = true;
  if (mode == RunMode::Convert && RefusesOutputOverInput(p)) return;
  if (p.ErrorFlag) return;
  ResetRun(p, mode);
  ByteSource source = ByteSource::FromString({});
  if (!OpenPlotFile(p, source)) return;
  RunWithSinkOf(p, mode, targets, source);
}

ScanConvertResult RunScanAndConvert(Program& p, OutputDriver& driver) {
  // The scan run's part: the input must open.
  p.RunFailed = false;
  if (p.StopRequested) p.ErrorFlag = true;
  if (p.ErrorFlag) return ScanConvertResult::Unreadable;
  ResetRun(p, RunMode::Scan);
  ByteSource source = ByteSource::FromString({});
  if (!OpenPlotFile(p, source)) return ScanConvertResult::Unreadable;
  // The convert run's part: its checks and its message state, the scan's extents and counts.
  if (RefusesOutputOverInput(p)) return ScanConvertResult::Converted;
  p.MessagesEnabled = false;
  driver.HoldTrailers();
  RunConvert<true>(p, driver, source);
  if (source.failed()) {
    driver.EndHeldOutputs(false);
    return ScanConvertResult::ReadFailed;
  }
  if (driver.HeldOutputs() > 0) EndHeldOutputs(p, driver);
  return ScanConvertResult::Converted;
}

}  // namespace plotvue
