#include "graphics/displaylist.h"

#include <algorithm>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

#include "base/textnum.h"

namespace plotvue {
namespace {

// Field types of each kind's text form: r real, i integer, t text (the record's last field).
constexpr std::array<const char*, kRecordKinds> kFields = {
    "t",         // Unknown: the whole record text
    "rr",        // RecMove
    "rr",        // RecDraw
    "rrr",       // RecCircle
    "rrrr",      // RecLine
    "rrrrrrrr",  // RecArc
    "rrt",       // RecText
    "rrrrrrrr",  // RecSolid
    "i",         // RecColor
    "rrir",      // RecTextStyle
    "iiiirrrr",  // RecWindow
    "i",         // RecLineStyle
    "i",         // RecLineWidth
    "i",         // RecPause
};

constexpr std::array<int, kRecordKinds> MakeCounts() {
  std::array<int, kRecordKinds> counts{};
  for (std::size_t k = 0; k < kFields.size(); ++k) {
    int n = 0;
    while (kFields[k][n] != '\0') ++n;
    counts[k] = n;
  }
  return counts;
}
constexpr std::array<int, kRecordKinds> kCounts = MakeCounts();
constexpr bool CountsAgree() {
  for (std::size_t k = 0; k < kCounts.size(); ++k)
    if (kCounts[k] != kRecordValueCounts[k]) return false;
  return true;
}
static_assert(CountsAgree(), "field table and value counts disagree");
static_assert(kCounts[static_cast<int>(RecordKind::RecWindow)] == kMaxRecordValues);

// Powers of ten that a double holds exactly (10^22 is the last).
constexpr int kMaxExactPower = 22;
constexpr std::array<double, kMaxExactPower + 1> MakePowers() {
  std::array<double, kMaxExactPower + 1> p{};
  double v = 1.0;
  for (auto& e : p) {
    e = v;
    v *= 10.0;
  }
  return p;
}
constexpr std::array<double, kMaxExactPower + 1> kPow10 = MakePowers();

// 10^k for -22 <= k <= 22 (the negative powers rounded), at kPow10All[k + 22].
constexpr std::array<double, 2 * kMaxExactPower + 1> MakeAllPowers() {
  std::array<double, 2 * kMaxExactPower + 1> p{};
  for (int k = 0; k <= kMaxExactPower; ++k) {
    p[static_cast<std::size_t>(kMaxExactPower + k)] = kPow10[static_cast<std::size_t>(k)];
    p[static_cast<std::size_t>(kMaxExactPower - k)] = 1.0 / kPow10[static_cast<std::size_t>(k)];
  }
  return p;
}
constexpr std::array<double, 2 * kMaxExactPower + 1> kPow10All = MakeAllPowers();

double Pow10(int k) { return kPow10All[static_cast<std::size_t>(k + kMaxExactPower)]; }

// nint of 0 <= t < 2^51, ties to even: adding and taking away 1.5 * 2^52 leaves a double no
// bits below the units (the default rounding mode does the rounding), without a library call.
double NintDouble(double t) {
  constexpr double kRound = 0x1.8p52;
  return (t + kRound) - kRound;
}

// The decimal exponent of a > 0: 10^e <= a < 10^(e+1), for 1e-15 <= a < 1e22, from the binary
// exponent and one comparison each way. A value next to a power of ten may come out one off;
// the rounding below gives the same digits either way.
int DecimalExponent(double a) {
  const int e2 = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7FF) - 1023;
  int e = (e2 * 78913) >> 18;  // floor(e2 * log10(2)), one low at most
  if (e + 1 <= kMaxExactPower && a >= Pow10(e + 1)) ++e;
  if (e > -kMaxExactPower && a < Pow10(e)) --e;
  return e;
}

// The exact route: the 8-digit text, read back as the nearest double.
double RoundByText(long double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 8);
  double d = 0.0;
  std::from_chars(buf, r.ptr, d);
  return d;
}

void AppendReal(std::string& out, double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 8);
  out.append(buf, r.ptr);
}

void AppendInt(std::string& out, double v) {
  char buf[32];
  // Integer fields hold 32-bit values; anything else (only possible by a fault) is clamped.
  long long n = 0;
  if (std::isfinite(v)) n = static_cast<long long>(std::fmax(-9.0e18, std::fmin(9.0e18, v)));
  auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

}  // namespace

double RoundSignificant8(long double v) {
  if (!std::isfinite(v) || v == 0.0L) return static_cast<double>(v);
  const long double a = std::fabs(v);
  if (a < 1e-15L || a >= 1e22L) return RoundByText(v);
  // In doubles: the scaled value is within 1e-7 of the exact one, far less than the distance to
  // a half that the test below asks for.
  const auto ad = static_cast<double>(a);
  const int shift = 7 - DecimalExponent(ad);  // a * 10^shift lies in [1e7, 1e8), or next to it
  if (shift > kMaxExactPower || -shift > kMaxExactPower) return RoundByText(v);
  const double t = shift >= 0 ? ad * kPow10[static_cast<std::size_t>(shift)]
                              : ad / kPow10[static_cast<std::size_t>(-shift)];
  const double m = NintDouble(t);
  // Near a half the scaled value may lie on the wrong side of it: take the exact digits.
  if (std::fabs(std::fabs(t - m) - 0.5) < 1e-6) return RoundByText(v);
  // m and the power are exact, so one division or product gives the double nearest to the
  // decimal, as reading its text would.
  const double d = shift >= 0 ? m / kPow10[static_cast<std::size_t>(shift)]
                              : m * kPow10[static_cast<std::size_t>(-shift)];
  return v < 0.0L ? -d : d;
}

void DisplayList::Clear() {
  kinds_.clear();
  kinds_.shrink_to_fit();
  blocks_.clear();
  used_ = kBlockValues;
  texts_.clear();
  texts_.shrink_to_fit();
  checkpoints_.clear();
  checkpoints_.shrink_to_fit();
  ++version_;
  ++generation_;
}

double* DisplayList::Place(RecordKind kind, int count) {
  if (used_ + static_cast<std::size_t>(count) > kBlockValues) {
    blocks_.push_back(std::make_unique<double[]>(kBlockValues));
    used_ = 0;
  }
  if (kinds_.size() % kCheckpointStep == 0) {
    checkpoints_.emplace_back(static_cast<std::uint32_t>(blocks_.size() - 1),
                              static_cast<std::uint32_t>(used_));
  }
  kinds_.push_back(static_cast<std::uint8_t>(kind));
  double* at = blocks_.back().get() + used_;
  used_ += static_cast<std::size_t>(count);
  ++version_;
  return at;
}

std::uint32_t DisplayList::KeepText(std::string text) {
  texts_.push_back(std::move(text));
  return static_cast<std::uint32_t>(texts_.size() - 1);
}

void DisplayList::AddMove(long double x, long double y) {
  double* v = Place(RecordKind::RecMove, 2);
  v[0] = RoundSignificant8(x);
  v[1] = RoundSignificant8(y);
}

void DisplayList::AddDraw(long double x, long double y) {
  double* v = Place(RecordKind::RecDraw, 2);
  v[0] = RoundSignificant8(x);
  v[1] = RoundSignificant8(y);
}

void DisplayList::AddCircle(long double x, long double y, long double r) {
  double* v = Place(RecordKind::RecCircle, 3);
  v[0] = RoundSignificant8(x);
  v[1] = RoundSignificant8(y);
  v[2] = RoundSignificant8(r);
}

void DisplayList::AddLine(long double x1, long double y1, long double x2, long double y2) {
  double* v = Place(RecordKind::RecLine, 4);
  // A polyline's segment starts where the one before ended: its start is rounded already.
  v[0] = x1 == lastEnd_[0] ? lastEndRounded_[0] : RoundSignificant8(x1);
  v[1] = y1 == lastEnd_[1] ? lastEndRounded_[1] : RoundSignificant8(y1);
  v[2] = RoundSignificant8(x2);
  v[3] = RoundSignificant8(y2);
  lastEnd_[0] = x2;
  lastEnd_[1] = y2;
  lastEndRounded_[0] = v[2];
  lastEndRounded_[1] = v[3];
}

void DisplayList::AddArc(const std::array<long double, 8>& values) {
  double* v = Place(RecordKind::RecArc, 8);
  for (std::size_t k = 0; k < 8; ++k) v[k] = RoundSignificant8(values[k]);
}

void DisplayList::AddText(long double x, long double y, std::string text) {
  std::uint32_t index = KeepText(std::move(text));
  double* v = Place(RecordKind::RecText, 3);
  v[0] = RoundSignificant8(x);
  v[1] = RoundSignificant8(y);
  v[2] = index;
}

void DisplayList::AddSolid(const std::array<long double, 8>& corners) {
  double* v = Place(RecordKind::RecSolid, 8);
  for (std::size_t k = 0; k < 8; ++k) v[k] = RoundSignificant8(corners[k]);
}

void DisplayList::AddColor(int colour) { *Place(RecordKind::RecColor, 1) = colour; }

void DisplayList::AddTextStyle(long double height, long double width, int font,
                               long double direction) {
  double* v = Place(RecordKind::RecTextStyle, 4);
  v[0] = RoundSignificant8(height);
  v[1] = RoundSignificant8(width);
  v[2] = font;
  v[3] = RoundSignificant8(direction);
}

void DisplayList::AddWindow(int vx1, int vy1, int vx2, int vy2, long double wx1, long double wy1,
                            long double wx2, long double wy2) {
  double* v = Place(RecordKind::RecWindow, 8);
  v[0] = vx1;
  v[1] = vy1;
  v[2] = vx2;
  v[3] = vy2;
  v[4] = RoundSignificant8(wx1);
  v[5] = RoundSignificant8(wy1);
  v[6] = RoundSignificant8(wx2);
  v[7] = RoundSignificant8(wy2);
}

void DisplayList::AddLineStyle(int style) { *Place(RecordKind::RecLineStyle, 1) = style; }

void DisplayList::AddLineWidth(int width) { *Place(RecordKind::RecLineWidth, 1) = width; }

void DisplayList::AddPause(int milliseconds) { *Place(RecordKind::RecPause, 1) = milliseconds; }

void DisplayList::AddRecordText(std::string_view record) {
  std::size_t semi = record.find(';');
  std::int32_t number = TextToInt(record.substr(0, semi));
  if (number < 1 || number >= kRecordKinds) {
    std::uint32_t index = KeepText(std::string(record));
    *Place(RecordKind::Unknown, 1) = index;
    return;
  }
  const auto kind = static_cast<RecordKind>(number);
  const char* fields = kFields[static_cast<std::size_t>(number)];
  const int count = kCounts[static_cast<std::size_t>(number)];
  std::string_view rest =
      semi == std::string_view::npos ? std::string_view() : record.substr(semi + 1);
  bool more = semi != std::string_view::npos;
  double values[kMaxRecordValues] = {};
  std::string text;
  for (int k = 0; k < count; ++k) {
    if (fields[k] == 't') {
      text = more ? std::string(rest) : std::string();
      values[k] = 0.0;
      break;
    }
    std::string_view field;
    if (more) {
      std::size_t next = rest.find(';');
      field = rest.substr(0, next);
      more = next != std::string_view::npos;
      rest = more ? rest.substr(next + 1) : std::string_view();
    }
    values[k] = fields[k] == 'i' ? static_cast<double>(TextToInt(field))
                                 : static_cast<double>(TextToFloat(field));
  }
  if (kind == RecordKind::RecText) values[2] = KeepText(std::move(text));
  double* v = Place(kind, count);
  std::memcpy(v, values, sizeof(double) * static_cast<std::size_t>(count));
}

Record DisplayList::At(std::size_t i) const {
  Reader reader(*this);
  const auto& cp = checkpoints_[i / kCheckpointStep];
  reader.index_ = (i / kCheckpointStep) * kCheckpointStep;
  reader.block_ = cp.first;
  reader.offset_ = cp.second;
  Record record;
  while (reader.Next(record) && reader.index_ <= i) {
  }
  return record;
}

std::string DisplayList::Text(std::size_t i) const {
  Record r = At(i);
  if (r.kind == RecordKind::Unknown) return *r.text;
  const auto k = static_cast<std::size_t>(r.kind);
  std::string out = std::to_string(k);
  const char* fields = kFields[k];
  for (int f = 0; fields[f] != '\0'; ++f) {
    out += ';';
    switch (fields[f]) {
      case 'r':
        AppendReal(out, r.v[f]);
        break;
      case 'i':
        AppendInt(out, r.v[f]);
        break;
      default:
        out += *r.text;
        break;
    }
  }
  return out;
}

std::size_t DisplayList::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + kinds_.capacity() + blocks_.capacity() * sizeof(blocks_[0]) +
                      blocks_.size() * kBlockValues * sizeof(double) +
                      texts_.capacity() * sizeof(std::string) +
                      checkpoints_.capacity() * sizeof(checkpoints_[0]);
  for (const std::string& t : texts_) {
    if (t.capacity() > 15) bytes += t.capacity() + 1;  // beyond the small-string buffer
  }
  return bytes;
}

void DisplayList::Swap(DisplayList& other) {
  using std::swap;
  swap(kinds_, other.kinds_);
  swap(blocks_, other.blocks_);
  swap(used_, other.used_);
  swap(texts_, other.texts_);
  swap(checkpoints_, other.checkpoints_);
  swap(lastEnd_, other.lastEnd_);
  swap(lastEndRounded_, other.lastEndRounded_);
  const std::uint64_t version = std::max(version_, other.version_) + 1;
  const std::uint64_t generation = std::max(generation_, other.generation_) + 1;
  version_ = other.version_ = version;
  generation_ = other.generation_ = generation;
}

}  // namespace plotvue
