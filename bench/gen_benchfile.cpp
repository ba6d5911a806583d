// gen_benchfile: writes a large, deterministic HP-GL / HP-GL/2 plot file for timing the reader.
//
//   gen_benchfile OUT.plt [SIZE_MB]      SIZE_MB defaults to 100; 1 MB = 1,000,000 bytes
//
// The file carries what CAD plot files carry: long absolute coordinate lists drawn with the pen
// down (most of the bytes), relative runs, decimal coordinates, Polyline Encoded blocks in
// seven-bit and eight-bit form, labels with changing size and direction, circles, arcs and
// rectangles, in many pens over the whole sheet. All coordinates stay within 0..40000 plotter
// units; IP and SC at the start map user units one to one onto plotter units. A fixed-seed
// generator and integer arithmetic throughout make the output byte-identical on every run and
// every machine.
//
// State: one BenchFileGenerator owns the random state, the pen position and the output writer;
// the writer owns the output buffer and the open file.
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace plotvue {
namespace {

constexpr int kSheetMax = 40000;            // coordinates stay within 0..kSheetMax
constexpr double kBytesPerMb = 1000000.0;
constexpr double kMaxSizeMb = 1000000.0;    // 1 TB: a guard against typing errors, not a limit of use
constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::uint64_t kSeed = 0x9E3779B97F4A7C15ull;

// xorshift64*: small, fast and defined here in full, so the file never depends on the library.
class XorShift {
 public:
  explicit XorShift(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }

  // Uniform in 0..n-1 (n > 0); the tiny modulo bias does not matter here.
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>((Next() >> 32) % n); }

  // Uniform in lo..hi inclusive.
  int Range(int lo, int hi) { return lo + static_cast<int>(Below(static_cast<std::uint32_t>(hi - lo + 1))); }

 private:
  std::uint64_t state_;
};

// Buffered byte writer; write errors are remembered and reported once at the end.
class PlotWriter {
 public:
  explicit PlotWriter(std::FILE* file) : file_(file), buffer_(kBufferSize) {}

  void Put(char c) {
    if (pos_ == buffer_.size()) Flush();
    buffer_[pos_++] = c;
  }

  void Put(std::string_view text) {
    if (buffer_.size() - pos_ < text.size()) Flush();
    if (text.size() > buffer_.size()) {
      Write(text.data(), text.size());
      return;
    }
    std::memcpy(buffer_.data() + pos_, text.data(), text.size());
    pos_ += text.size();
  }

  void PutInt(long value) {
    if (buffer_.size() - pos_ < 24) Flush();
    char* begin = buffer_.data() + pos_;
    auto result = std::to_chars(begin, begin + 24, value);
    pos_ += static_cast<std::size_t>(result.ptr - begin);
  }

  // "x,y" with no terminator.
  void PutPair(int x, int y) {
    PutInt(x);
    Put(',');
    PutInt(y);
  }

  // A command's terminator and a line end after it.
  void EndCommand() { Put(";\n"); }

  void Flush() {
    Write(buffer_.data(), pos_);
    pos_ = 0;
  }

  std::uint64_t BytesWritten() const { return written_ + pos_; }
  bool Failed() const { return failed_; }

 private:
  void Write(const char* data, std::size_t size) {
    if (size == 0) return;
    if (!failed_ && std::fwrite(data, 1, size, file_) != size) failed_ = true;
    written_ += size;
  }

  std::FILE* file_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::uint64_t written_ = 0;
  bool failed_ = false;
};

// Label texts, combined with numbers to give varied lengths.
constexpr std::array<std::string_view, 16> kWords = {
    "Section A-A", "Detail B",     "Scale 1:50",   "Drawing no.", "Flange",       "Bore",
    "Shaft",       "Cover plate",  "Rev.",         "Sheet",       "Weld seam",    "Thread M",
    "Bearing",     "Housing",      "Axis",         "Part"};

// SI parameters (width, height in centimetres) as written in the file.
constexpr std::array<std::string_view, 6> kSizes = {"0.19,0.27", "0.25,0.35", "0.3,0.45",
                                                    "0.4,0.6",   "0.6,0.9",   "1.2,1.5"};

// DI parameters (run, rise): horizontal, vertical, upside down, downwards and slanted.
constexpr std::array<std::string_view, 6> kDirections = {"1,0", "0,1", "-1,0", "0,-1", "0.707,0.707", "1,-0.5"};

// Fraction texts of decimal coordinates.
constexpr std::array<std::string_view, 4> kFractions = {".5", ".25", ".75", ".125"};

class BenchFileGenerator {
 public:
  explicit BenchFileGenerator(PlotWriter& out) : out_(out), rng_(kSeed) {}

  void Run(std::uint64_t target_bytes) {
    WriteHeader();
    while (out_.BytesWritten() < target_bytes && !out_.Failed()) WriteBlock();
    out_.Put("PU;\nSP0;\n");
    out_.Flush();
  }

 private:
  void WriteHeader() {
    out_.Put("IN;\nIP0,0,40000,40000;\nSC0,40000,0,40000;\nSP1;\nSI0.25,0.35;\nDI1,0;\n");
  }

  void WriteBlock() {
    if (rng_.Below(4) == 0) SelectPen();
    std::uint32_t kind = rng_.Below(100);
    if (kind < 55) {
      WriteAbsoluteList();
    } else if (kind < 62) {
      WriteRelativeRun();
    } else if (kind < 67) {
      WriteDecimalList();
    } else if (kind < 73) {
      WritePolylineEncoded(true);
    } else if (kind < 79) {
      WritePolylineEncoded(false);
    } else if (kind < 87) {
      WriteLabel();
    } else if (kind < 91) {
      WriteCircles();
    } else if (kind < 96) {
      WriteArc();
    } else {
      WriteRectangle();
    }
  }

  // Mostly the eight usual pens, sometimes one of the higher ones.
  void SelectPen() {
    out_.Put("SP");
    out_.PutInt(rng_.Below(8) == 0 ? rng_.Range(9, 15) : rng_.Range(1, 8));
    out_.EndCommand();
  }

  // A random start anywhere on the sheet.
  void Jump(int margin) {
    x_ = rng_.Range(margin, kSheetMax - margin);
    y_ = rng_.Range(margin, kSheetMax - margin);
  }

  // One coordinate moved by a random step, reflected back into the sheet.
  int Walk(int value, int max_step) {
    int step = rng_.Range(-max_step, max_step);
    int moved = value + step;
    if (moved < 0 || moved > kSheetMax) moved = value - step;
    return moved;
  }

  void Step(int max_step) {
    x_ = Walk(x_, max_step);
    y_ = Walk(y_, max_step);
  }

  // PUx,y;PDx,y,x,y,...; or PU;PAx,y;PD;PAx,y,...;PU; as CAD systems write them.
  void WriteAbsoluteList() {
    Jump(0);
    int pairs = rng_.Range(4, 300);
    int max_step = rng_.Below(3) == 0 ? 2000 : 300;
    bool pa_style = rng_.Below(2) == 0;
    out_.Put(pa_style ? "PU;\nPA" : "PU");
    out_.PutPair(x_, y_);
    out_.EndCommand();
    out_.Put(pa_style ? "PD;\nPA" : "PD");
    for (int i = 0; i < pairs; ++i) {
      Step(max_step);
      if (i > 0) out_.Put(',');
      out_.PutPair(x_, y_);
    }
    out_.EndCommand();
    if (pa_style) out_.Put("PU;\n");
  }

  // A relative run: PR;PD dx,dy,...;PA; the position is tracked so that it stays on the sheet.
  void WriteRelativeRun() {
    Jump(0);
    out_.Put("PU");
    out_.PutPair(x_, y_);
    out_.EndCommand();
    out_.Put("PR;\nPD");
    int pairs = rng_.Range(4, 250);
    for (int i = 0; i < pairs; ++i) {
      int old_x = x_;
      int old_y = y_;
      Step(250);
      if (i > 0) out_.Put(',');
      out_.PutPair(x_ - old_x, y_ - old_y);
    }
    out_.EndCommand();
    out_.Put("PU;\nPA;\n");
  }

  void PutDecimal(int value) {
    if (value < kSheetMax && rng_.Below(2) == 0) {
      out_.PutInt(value);
      out_.Put(kFractions[rng_.Below(kFractions.size())]);
    } else {
      out_.PutInt(value);
    }
  }

  // Absolute coordinates with decimal fractions, as some converters write them.
  void WriteDecimalList() {
    Jump(0);
    out_.Put("PU");
    PutDecimal(x_);
    out_.Put(',');
    PutDecimal(y_);
    out_.EndCommand();
    out_.Put("PD");
    int pairs = rng_.Range(4, 150);
    for (int i = 0; i < pairs; ++i) {
      Step(300);
      if (i > 0) out_.Put(',');
      PutDecimal(x_);
      out_.Put(',');
      PutDecimal(y_);
    }
    out_.EndCommand();
  }

  // One Polyline Encoded number: v = 2|d|, plus 1 when d is negative, written least significant
  // digit first. Seven-bit: base 32, digits 63..94 continue and 95..126 end the number.
  // Eight-bit: base 64, digits 63..126 continue and 191..254 end it.
  void PutEncoded(int value, bool seven_bit) {
    std::uint32_t v = value < 0 ? 2u * static_cast<std::uint32_t>(-value) + 1u : 2u * static_cast<std::uint32_t>(value);
    const std::uint32_t base = seven_bit ? 32u : 64u;
    const std::uint32_t end_offset = seven_bit ? 95u : 191u;
    while (v >= base) {
      out_.Put(static_cast<char>(63u + v % base));
      v /= base;
    }
    out_.Put(static_cast<char>(static_cast<unsigned char>(end_offset + v)));
  }

  // PE[7]<=x y then relative pairs, some of them pen-up moves (<).
  void WritePolylineEncoded(bool seven_bit) {
    Jump(0);
    out_.Put(seven_bit ? "PE7<=" : "PE<=");
    PutEncoded(x_, seven_bit);
    PutEncoded(y_, seven_bit);
    int pairs = rng_.Range(20, 600);
    for (int i = 0; i < pairs; ++i) {
      int old_x = x_;
      int old_y = y_;
      if (rng_.Below(40) == 0) {
        out_.Put('<');
        Step(1500);
      } else {
        Step(200);
      }
      PutEncoded(x_ - old_x, seven_bit);
      PutEncoded(y_ - old_y, seven_bit);
    }
    out_.EndCommand();
  }

  // PUx,y; then sometimes SI and DI; then LBtext ETX.
  void WriteLabel() {
    Jump(8000);
    out_.Put("PU");
    out_.PutPair(x_, y_);
    out_.EndCommand();
    if (rng_.Below(3) == 0) {
      out_.Put("SI");
      out_.Put(kSizes[rng_.Below(kSizes.size())]);
      out_.EndCommand();
    }
    if (rng_.Below(3) == 0) {
      out_.Put("DI");
      out_.Put(kDirections[rng_.Below(kDirections.size())]);
      out_.EndCommand();
    }
    out_.Put("LB");
    out_.Put(kWords[rng_.Below(kWords.size())]);
    out_.Put(' ');
    out_.PutInt(rng_.Range(1, 9999));
    out_.Put("\x03\n");
  }

  // A few circles around one centre, some with a chord angle.
  void WriteCircles() {
    int radius = rng_.Range(50, 3000);
    Jump(radius + 600);
    out_.Put("PU");
    out_.PutPair(x_, y_);
    out_.EndCommand();
    int count = rng_.Range(1, 3);
    for (int i = 0; i < count; ++i) {
      out_.Put("CI");
      out_.PutInt(radius + 300 * i);
      if (rng_.Below(4) == 0) out_.Put(",5");
      out_.EndCommand();
    }
  }

  // An arc with the pen down: AA with an absolute centre or AR with a relative one. The start
  // point lies on an axis through the centre, so the whole circle stays on the sheet.
  void WriteArc() {
    int radius = rng_.Range(100, 4000);
    int cx = rng_.Range(radius, kSheetMax - radius);
    int cy = rng_.Range(radius, kSheetMax - radius);
    int dx = 0;
    int dy = 0;
    switch (rng_.Below(4)) {
      case 0: dx = radius; break;
      case 1: dx = -radius; break;
      case 2: dy = radius; break;
      default: dy = -radius; break;
    }
    out_.Put("PU");
    out_.PutPair(cx + dx, cy + dy);
    out_.EndCommand();
    out_.Put("PD;\n");
    int sweep = rng_.Range(10, 350);
    if (rng_.Below(3) == 0) sweep = -sweep;
    if (rng_.Below(2) == 0) {
      out_.Put("AA");
      out_.PutPair(cx, cy);
    } else {
      out_.Put("AR");
      out_.PutPair(-dx, -dy);
    }
    out_.Put(',');
    out_.PutInt(sweep);
    if (rng_.Below(4) == 0) out_.Put(",5");
    out_.EndCommand();
    out_.Put("PU;\n");
  }

  // PUx,y;EAx2,y2; the opposite corner lies on the sheet too.
  void WriteRectangle() {
    Jump(0);
    out_.Put("PU");
    out_.PutPair(x_, y_);
    out_.EndCommand();
    int x2 = Walk(x_, 5000);
    int y2 = Walk(y_, 5000);
    out_.Put("EA");
    out_.PutPair(x2, y2);
    out_.EndCommand();
  }

  PlotWriter& out_;
  XorShift rng_;
  int x_ = 0;
  int y_ = 0;
};

// SIZE_MB: a positive finite decimal number of megabytes, at most kMaxSizeMb.
bool ParseSize(const char* text, std::uint64_t& target_bytes) {
  char* end = nullptr;
  double mb = std::strtod(text, &end);
  if (end == text || *end != '\0' || !std::isfinite(mb) || mb <= 0.0 || mb > kMaxSizeMb) return false;
  target_bytes = static_cast<std::uint64_t>(mb * kBytesPerMb);
  return target_bytes > 0;
}

int Main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: gen_benchfile OUT.plt [SIZE_MB]   (default 100; 1 MB = 1000000 bytes)\n");
    return 2;
  }
  std::uint64_t target_bytes = 100000000;
  if (argc == 3 && !ParseSize(argv[2], target_bytes)) {
    std::fprintf(stderr, "gen_benchfile: invalid size \"%s\" (a number of megabytes above 0)\n", argv[2]);
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "gen_benchfile: cannot create %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  auto start = std::chrono::steady_clock::now();
  PlotWriter out(file);
  BenchFileGenerator generator(out);
  generator.Run(target_bytes);
  bool failed = out.Failed();
  if (std::fclose(file) != 0) failed = true;
  if (failed) {
    std::fprintf(stderr, "gen_benchfile: error writing %s\n", argv[1]);
    std::remove(argv[1]);
    return 1;
  }
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  double bytes = static_cast<double>(out.BytesWritten());
  std::printf("%s: %llu bytes in %.3f s (%.0f MB/s)\n", argv[1],
              static_cast<unsigned long long>(out.BytesWritten()), seconds.count(),
              seconds.count() > 0 ? bytes / kBytesPerMb / seconds.count() : 0.0);
  return 0;
}

}  // namespace
}  // namespace plotvue

int main(int argc, char** argv) { return plotvue::Main(argc, argv); }
