#include "help/helppic.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>

#include "base/textnum.h"

namespace plotvue {
namespace {

constexpr long double kPlotUnit = 0.025L;
constexpr int kEndOfText = 3;
constexpr int kEof = std::char_traits<char>::eof();
// The longest number text kept; a longer one reads as 0.
constexpr std::size_t kMaxNumberText = 64;
constexpr long double kRadToDeg = 180.0L / std::numbers::pi_v<long double>;

long double Limit(long double v) {
  if (!std::isfinite(v)) return 0.0L;
  if (v > kMaxHelpPictureValue) return kMaxHelpPictureValue;
  if (v < -kMaxHelpPictureValue) return -kMaxHelpPictureValue;
  return v;
}

// Current points are limited to the millimetres of the largest coordinate, so that relative
// moves cannot add up beyond it.
long double LimitMm(long double v) {
  const long double most = kMaxHelpPictureValue * kPlotUnit;
  return v > most ? most : v < -most ? -most : v;
}

int PenOf(long double v) {
  if (!(v >= 0.0L)) return 0;
  if (v > 1000.0L) return 1000;
  return static_cast<int>(v);
}

int Upper(int ch) { return ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch; }
bool IsBlank(int ch) { return ch == ' ' || ch == '\r' || ch == '\n'; }

// The pen's colour: pens 1..7 are the colours 12, 14, 10, 11, 9, 13, 15; others stay.
int PenColour(int pen) {
  static constexpr int kColours[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  return pen >= 1 && pen <= 7 ? kColours[pen] : pen;
}

// The code page 437 umlaut of a vowel followed by "}" in character set 3, or 0.
int Umlaut(int ch) {
  switch (ch) {
    case 'A':
      return 142;
    case 'O':
      return 153;
    case 'U':
      return 154;
    case 'a':
      return 132;
    case 'o':
      return 148;
    case 'u':
      return 129;
    default:
      return 0;
  }
}

class PictureReader {
 public:
  PictureReader(Program& program, DrawingDevice& device, std::istream& in, HelpPictureState& s)
      : program_(program), device_(device), buf_(in.rdbuf()), s_(s) {}

  void Run() {
    s_.x = -996.0L;
    s_.y = -996.0L;
    if (buf_ == nullptr) return;
    for (;;) {
      int a = Get();
      while (IsBlank(a) || a == ';') a = Get();
      if (a == kEof) return;
      int b = Get();
      while (IsBlank(b)) b = Get();
      if (b == kEof) return;
      if (!Command(Upper(a), Upper(b))) return;
      if (program_.ErrorFlag) return;
    }
  }

 private:
  int Get() {
    if (eof_) return kEof;
    const int ch = buf_->sbumpc();
    if (ch == kEof) eof_ = true;
    return ch;
  }

  // One parameter up to "," or ";" (sep_ tells which; kEof at the end of the input). False at
  // the end of the input.
  bool Param(long double& value) {
    text_.clear();
    bool tooLong = false;
    for (;;) {
      const int ch = Get();
      if (ch == kEof) {
        sep_ = kEof;
        return false;
      }
      if (ch == ',' || ch == ';') {
        sep_ = ch;
        break;
      }
      if (IsBlank(ch) || Upper(ch) == 'P' || Upper(ch) == 'A') continue;
      if (text_.size() < kMaxNumberText)
        text_.push_back(static_cast<char>(ch));
      else
        tooLong = true;
    }
    value = text_.empty() || tooLong ? 0.0L : Limit(TextToFloat(text_));
    return true;
  }

  // Reads up to `n` parameters into `v` (those not given stay as they are), each only while the
  // list goes on; then passes over the rest of the list. Returns how many were read, -1 at the
  // end of the input.
  int Params(long double* v, int n) {
    int got = 0;
    sep_ = ',';
    while (got < n && sep_ == ',') {
      long double value = 0.0L;
      if (!Param(value)) return -1;
      if (sep_ == ';' && text_.empty() && got == 0) return 0;  // no parameters at all
      v[got++] = value;
    }
    if (sep_ == ',' && !SkipToEnd()) return -1;
    return got;
  }

  bool SkipToEnd() {
    for (;;) {
      const int ch = Get();
      if (ch == kEof) return false;
      if (ch == ';') return true;
    }
  }

  void Colour() { device_.DevSetColor(PenColour(s_.pen)); }

  void LineTo(long double x, long double y) {
    x = LimitMm(x);
    y = LimitMm(y);
    if (s_.penDown) {
      Colour();
      device_.DevLine(s_.x, s_.y, x, y);
    }
    s_.x = x;
    s_.y = y;
  }

  // False when the reading ends.
  bool Command(int a, int b) {
    const int cmd = a << 8 | b;
    switch (cmd) {
      case 'P' << 8 | 'U':
      case 'P' << 8 | 'D':
      case 'P' << 8 | 'A':
        if (cmd == ('P' << 8 | 'U')) s_.penDown = false;
        if (cmd == ('P' << 8 | 'D')) s_.penDown = true;
        return Pairs();
      case 'S' << 8 | 'P': {
        long double pen = 1.0L;
        if (Params(&pen, 1) < 0) return false;
        s_.pen = PenOf(pen);
        return true;
      }
      case 'C' << 8 | 'I': {
        long double r = 0.0L;
        const int got = Params(&r, 1);
        if (got < 0) return false;
        if (got == 0) return true;  // CI; draws nothing
        Colour();
        device_.DevCircle(s_.x, s_.y, r * kPlotUnit);
        return true;
      }
      case 'S' << 8 | 'I': {
        long double v[2] = {s_.charWidth, s_.charHeight};
        if (Params(v, 2) < 0) return false;
        s_.charWidth = v[0];
        s_.charHeight = v[1];
        return true;
      }
      case 'D' << 8 | 'I': {
        long double v[2] = {s_.run, s_.rise};
        if (Params(v, 2) < 0) return false;
        s_.run = v[0];
        s_.rise = v[1];
        return true;
      }
      case 'C' << 8 | 'S': {
        long double v = s_.charSet;
        if (Params(&v, 1) < 0) return false;
        s_.charSet = PenOf(v);
        return true;
      }
      case 'L' << 8 | 'B':
        return Label();
      case 'A' << 8 | 'A':
        return ArcAbsolute();
      case 'P' << 8 | 'E':
        return PolylineEncoded();
      default:
        return SkipToEnd();
    }
  }

  bool Pairs() {
    for (;;) {
      long double x = 0.0L;
      long double y = 0.0L;
      if (!Param(x)) return false;
      if (sep_ == ';') return true;  // no further pair (or an x without its y)
      if (!Param(y)) return false;
      LineTo(x * kPlotUnit, y * kPlotUnit);
      if (sep_ == ';') return true;
    }
  }

  bool Label() {
    std::string text;
    for (;;) {
      const int ch = Get();
      if (ch == kEof) return false;  // a label without its end is not drawn
      if (ch == kEndOfText) break;
      if (ch == '\r' || ch == '\n') continue;
      if (ch == '}' && s_.charSet == 3 && !text.empty()) {
        const int u = Umlaut(static_cast<unsigned char>(text.back()));
        if (u != 0) {
          text.back() = static_cast<char>(u);
          continue;
        }
      }
      text.push_back(static_cast<char>(ch));
      if (text.size() >= kMaxHelpLabel) {
        // Too long: the previous label is drawn, and the rest is read as commands.
        text = lastLabel_;
        break;
      }
    }
    lastLabel_ = text;
    Colour();
    device_.DevSetTextStyle(2, std::atan2(s_.rise, s_.run) * kRadToDeg, s_.charHeight * 10.0L,
                            s_.charWidth * 10.0L);
    device_.DevSetTextJustify(0, 0);
    device_.DevOutText(text, s_.x, s_.y);
    return true;
  }

  bool ArcAbsolute() {
    long double v[3] = {0.0L, 0.0L, 0.0L};
    if (Params(v, 3) < 0) return false;
    const long double cx = v[0] * kPlotUnit;
    const long double cy = v[1] * kPlotUnit;
    const long double sweep = v[2];
    if (s_.penDown) {
      const RotatedPoint end = RotatePoint(s_.x, s_.y, cx, cy, sweep / kRadToDeg);
      const long double radius = std::hypot(s_.x - cx, s_.y - cy);
      const long double start = std::atan2(s_.y - cy, s_.x - cx) * kRadToDeg;
      const long double stop = std::atan2(end.y - cy, end.x - cx) * kRadToDeg;
      // The window draws counter-clockwise: a clockwise sweep runs from its end to its start.
      long double from = sweep >= 0.0L ? start : stop;
      long double to = sweep >= 0.0L ? stop : start;
      if (from == to) to += 360.0L;
      Colour();
      device_.DevArc(cx, cy, from, to, radius);
    }
    s_.x = cx;
    s_.y = cy;
    return true;
  }

  bool PolylineEncoded() {
    s_.penDown = true;
    bool sevenBit = false;
    bool move = false;
    bool absolute = false;
    bool haveX = false;
    long double px = 0.0L;
    std::uint64_t acc = 0;
    int bits = 0;
    for (;;) {
      const int ch = Get();
      if (ch == kEof) return false;
      if (ch == ';') return true;
      if (IsBlank(ch)) continue;
      if (ch == '7') {
        sevenBit = true;
        continue;
      }
      if (ch == ':') {
        const int p = Get();
        if (p == kEof) return false;
        s_.pen = p < 1 ? 1 : p > 15 ? 15 : p;
        continue;
      }
      if (ch == '<') {
        move = true;
        continue;
      }
      if (ch == '=') {
        absolute = true;
        continue;
      }
      if (ch == '>') {
        if (Get() == kEof) return false;
        continue;
      }
      // 7-bit: 63..94 are digits, 95..126 end the number; 8-bit: 63..126 and 191..254.
      const int lastFrom = sevenBit ? 95 : 191;
      const int lastTo = sevenBit ? 126 : 254;
      const int digitTo = sevenBit ? 94 : 126;
      int digit = -1;
      const bool last = ch >= lastFrom && ch <= lastTo;
      if (last)
        digit = ch - lastFrom;
      else if (ch >= 63 && ch <= digitTo)
        digit = ch - 63;
      if (digit < 0) continue;
      // Digits beyond 60 bits only make a number larger than any coordinate: it is limited.
      if (bits <= 60 - (sevenBit ? 5 : 6))
        acc |= static_cast<std::uint64_t>(digit) << bits;
      else if (digit != 0)
        acc = std::uint64_t{1} << 60 | (acc & 1);  // the sign stays in the lowest bit
      bits += sevenBit ? 5 : 6;
      if (bits > 1000) bits = 1000;
      if (!last) continue;
      const long double units = Limit(acc % 2 == 0 ? static_cast<long double>(acc / 2)
                                                   : -static_cast<long double>((acc - 1) / 2));
      acc = 0;
      bits = 0;
      if (!haveX) {
        px = units;
        haveX = true;
        continue;
      }
      haveX = false;
      const long double dx = px * kPlotUnit;
      const long double dy = units * kPlotUnit;
      if (move) s_.penDown = false;
      if (absolute)
        LineTo(dx, dy);
      else
        LineTo(s_.x + dx, s_.y + dy);
      s_.penDown = true;
      move = false;
      absolute = false;
    }
  }

  Program& program_;
  DrawingDevice& device_;
  std::streambuf* buf_;
  HelpPictureState& s_;
  bool eof_ = false;
  int sep_ = 0;
  std::string text_;
  std::string lastLabel_;
};

}  // namespace

void ReadHelpPicture(Program& program, DrawingDevice& device, std::istream& in,
                     HelpPictureState& state) {
  PictureReader(program, device, in, state).Run();
}

bool DrawHelpPicture(Program& program, DrawDevice& device, const std::string& path,
                     HelpPictureState& state) {
  device.DevWaitCursor();
  state.x = -996.0L;
  state.y = -996.0L;
  device.DevCheckFile(path);
  if (program.ErrorFlag) {
    device.DevArrowCursor();
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  ReadHelpPicture(program, device, in, state);
  program.ErrorFlag = false;
  device.DevArrowCursor();
  return true;
}

}  // namespace plotvue
