// Fakes for the graphics window tests: a canvas and a window host that write every call as one
// line of text, and a fixture that holds a program, a window and its drawing device.
#ifndef PLOTVUE_TESTS_GRAPHICS_FAKES_H_
#define PLOTVUE_TESTS_GRAPHICS_FAKES_H_

#include <functional>
#include <string>
#include <vector>

#include "graphics/device.h"
#include "graphics/raredova.h"
#include "support/recording.h"

namespace plotvue::testing {

inline std::string RgbText(Rgb c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

class RecordingCanvas : public Canvas {
 public:
  RecordingCanvas(int width = 0, int height = 0) : width_(width), height_(height) {}

  void SetPenColour(Rgb c) override { log.push_back("Pen(" + RgbText(c) + ")"); }
  void SetPenWidth(int w) override { log.push_back("PenWidth(" + std::to_string(w) + ")"); }
  void SetPenStyle(PenStyle s) override {
    log.push_back("PenStyle(" + std::to_string(static_cast<int>(s)) + ")");
  }
  void SetPenMode(PenMode m) override {
    log.push_back(m == PenMode::Copy ? "PenMode(copy)" : "PenMode(invert)");
  }
  void SetBrushColour(Rgb c) override { log.push_back("Brush(" + RgbText(c) + ")"); }
  void SetBrushStyle(BrushStyle s) override {
    log.push_back(s == BrushStyle::Clear ? "BrushStyle(clear)" : "BrushStyle(solid)");
  }
  void SetTextColour(Rgb c) override { log.push_back("TextColour(" + RgbText(c) + ")"); }
  void MoveTo(int x, int y) override { log.push_back("MoveTo(" + P(x, y) + ")"); }
  void LineTo(int x, int y) override { log.push_back("LineTo(" + P(x, y) + ")"); }
  void Line(int x1, int y1, int x2, int y2) override {
    log.push_back("Line(" + P(x1, y1) + "," + P(x2, y2) + ")");
  }
  void Ellipse(int x1, int y1, int x2, int y2) override {
    log.push_back("Ellipse(" + P(x1, y1) + "," + P(x2, y2) + ")");
  }
  void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) override {
    log.push_back("Arc(" + P(x1, y1) + "," + P(x2, y2) + "," + P(sx, sy) + "," + P(ex, ey) + ")");
  }
  void Polygon(const PixelPoint* p, int n) override {
    std::string s = "Polygon(";
    for (int k = 0; k < n; ++k) s += (k ? "," : "") + P(p[k].x, p[k].y);
    log.push_back(s + ")");
  }
  void TextOut(int x, int y, const TextFont& f, const std::string& text) override {
    log.push_back("TextOut(" + P(x, y) + ",h" + std::to_string(f.height) + ",w" +
                  std::to_string(f.width) + ",e" + std::to_string(f.escapement) + ",wt" +
                  std::to_string(f.weight) + (f.italic ? ",i" : "") + (f.underline ? ",u" : "") +
                  (f.strikeOut ? ",s" : "") + "," + f.face + "," + text + ")");
  }
  int Width() const override { return width_; }
  int Height() const override { return height_; }

  // The entries that begin with `prefix`.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& l : log)
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }

  std::vector<std::string> log;

 private:
  static std::string P(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
  int width_;
  int height_;
};

class RecordingHost : public WindowHost {
 public:
  void Invalidate() override { log.push_back("Invalidate"); }
  void SetCursor(CursorShape s) override {
    log.push_back(s == CursorShape::Wait    ? "Cursor(wait)"
                  : s == CursorShape::Arrow ? "Cursor(arrow)"
                                            : "Cursor(default)");
    cursor = s;
  }
  void ProcessMessages() override {
    ++messagePoints;
    if (onMessages) onMessages();
  }
  void Sleep(int ms) override { log.push_back("Sleep(" + std::to_string(ms) + ")"); }
  Canvas* ImmediateCanvas() override { return immediate; }

  std::vector<std::string> log;
  CursorShape cursor = CursorShape::Default;
  int messagePoints = 0;
  std::function<void()> onMessages;
  Canvas* immediate = nullptr;
};

// A program with a graphics window of `maxX` x `maxY` (GraphMaxX, GraphMaxY) and its device.
struct WindowFixture {
  explicit WindowFixture(std::uint16_t maxX = 639, std::uint16_t maxY = 479) {
    window.SetGraphSize(maxX, maxY);
  }

  // The display list's records as text.
  std::vector<std::string> Records() const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < window.list().Count(); ++i) out.push_back(window.list().Text(i));
    return out;
  }
  // Replaces the list with records given as text.
  void Load(const std::vector<std::string>& records) {
    window.list().Clear();
    for (const auto& r : records) window.list().AddRecordText(r);
  }

  RecordingInteraction ui;
  Program program{ui};
  RecordingHost host;
  GraphicsWindow window{program, host};
  DrawDevice device{program, window};
};

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_GRAPHICS_FAKES_H_
