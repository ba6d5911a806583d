// The graphics window's mapping state, transforms and appending operations.
#include "graphics/raredova.h"

#include <cmath>
#include <numbers>

namespace plotvue {
namespace {

constexpr long double kPixelLimit = 1073741824.0L;  // 2^30: transforms stay well inside int
constexpr long double kDegree = std::numbers::pi_v<long double> / 180.0L;

// nint with the result held inside +-kPixelLimit; not-a-number gives 0.
int ClampPixel(long double v) {
  if (std::isnan(v)) return 0;
  v = std::nearbyint(v);
  if (v > kPixelLimit) return static_cast<int>(kPixelLimit);
  if (v < -kPixelLimit) return -static_cast<int>(kPixelLimit);
  return static_cast<int>(v);
}

bool Finite(long double a, long double b, long double c, long double d) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

}  // namespace

int GetColorTurbo(std::uint8_t n) {
  int c = n;
  if (c > 15) c = (c % 16) + 1;
  static constexpr int kFirst[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  return c <= 7 ? kFirst[c] : c - 7;
}

std::uint16_t LineStyleOfName(const std::string& name) {
  if (name == "DOTTED" || name == "PUNKT") return 1;
  if (name == "CENTER" || name == "DASHDOT" || name == "STRICHPUNKT") return 2;
  if (name == "DASHED" || name == "HIDDEN" || name == "VERDECKT") return 3;
  return 0;
}

PenStyle PenStyleOf(int style) {
  switch (style) {
    case 1:
      return PenStyle::Dotted;
    case 2:
      return PenStyle::DashDot;
    case 3:
      return PenStyle::Dashed;
    default:
      return PenStyle::Solid;
  }
}

GraphicsWindow::GraphicsWindow(Program& program, WindowHost& host)
    : program_(program), host_(host) {}

// --- Mapping -----------------------------------------------------------------------------------

void GraphicsWindow::SetGraphSize(std::uint16_t maxX, std::uint16_t maxY) {
  view_.GraphMaxX = maxX;
  view_.GraphMaxY = maxY;
  ++mappingChanges_;
}

void GraphicsWindow::SetWindow(bool keepAspect, bool inset, long double left, long double bottom,
                               long double right, long double top, long double wx1, long double wy1,
                               long double wx2, long double wy2) {
  const long double W = view_.GraphMaxX;
  const long double H = view_.GraphMaxY;
  PixelRect vp{ClampPixel(left * W), ClampPixel((1.0L - top) * H), ClampPixel(right * W),
               ClampPixel((1.0L - bottom) * H)};
  if (inset) {
    ++vp.x1;
    ++vp.y1;
    --vp.x2;
    --vp.y2;
  }
  view_.ViewPort = vp;
  list_.AddWindow(vp.x1, vp.y1, vp.x2, vp.y2, wx1, wy1, wx2, wy2);
  view_.WorldWindow = WorldRect{wx1, wy1, wx2, wy2};
  view_.KeepAspect = keepAspect;
  ++mappingChanges_;
  // An empty world window (and one that is not a number) cannot be mapped.
  if (wx2 == wx1 || wy2 == wy1 || !Finite(wx1, wy1, wx2, wy2)) {
    program_.ErrorFlag = true;
    return;
  }
  SetScale(vp.x1, vp.y1, vp.x2, vp.y2);
}

void GraphicsWindow::SetScale(int x1, int y1, int x2, int y2) {
  if (x1 == x2 || y1 == y2) return;
  const PixelRect& vp = view_.ViewPort;
  const WorldRect& w = view_.WorldWindow;
  // A viewport without width or height would give infinite scales: nothing changes.
  if (vp.x2 == vp.x1 || vp.y2 == vp.y1) return;
  const long double vw = static_cast<long double>(vp.x2) - vp.x1;
  const long double vh = static_cast<long double>(vp.y2) - vp.y1;
  WorldRect z;
  z.x1 = w.x1 + (x1 - vp.x1) / vw * (w.x2 - w.x1);
  z.x2 = w.x1 + (x2 - vp.x1) / vw * (w.x2 - w.x1);
  z.y1 = w.y1 + (y1 - vp.y1) / vh * (w.y2 - w.y1);
  z.y2 = w.y1 + (y2 - vp.y1) / vh * (w.y2 - w.y1);
  long double sx = vw / (z.x2 - z.x1);
  long double sy = vh / (z.y2 - z.y1);
  if (view_.KeepAspect && view_.GraphMaxX != 0 && view_.GraphMaxY != 0) {
    const long double W = view_.GraphMaxX;
    const long double H = view_.GraphMaxY;
    long double t = sy * 0.75L * W / H;
    if (sx >= t) {
      sx = t;
    } else {
      sy = sx / (W * 0.75L / H);
    }
  }
  // A world window too small or too large for the arithmetic: nothing changes.
  if (!Finite(z.x1, z.x2, z.y1, z.y2) || !std::isfinite(sx) || !std::isfinite(sy) || sx == 0.0L ||
      sy == 0.0L)
    return;
  view_.ZoomRect = PixelRect{x1, y1, x2, y2};
  view_.ZoomWindow = z;
  view_.ScaleX = sx;
  view_.ScaleY = sy;
  ++mappingChanges_;
}

void GraphicsWindow::Header(long double wx1, long double wy1, long double wx2, long double wy2) {
  const long double W = view_.GraphMaxX;
  const long double H = view_.GraphMaxY;
  const WorldRect& before = view_.WorldWindow;
  long double aspect =
      (W * 0.75L / H) * (640.0L / (before.x2 - before.x1)) / (480.0L / (before.y2 - before.y1));
  if (std::isfinite(aspect)) view_.MouseAspect = aspect;
  SetWindow(true, true, 0.0L, 0.0L, 1.0L, 1.0L, wx1, wy1, wx2, wy2);
  SetLineStyle(0);
  SaveLimit();
}

void GraphicsWindow::SaveLimit() { view_.SavedLimit = view_.WorldWindow; }

void GraphicsWindow::RestoreLimit() {
  const WorldRect s = view_.SavedLimit;
  SetWindow(true, true, 0.0L, 0.0L, 1.0L, 1.0L, s.x1, s.y1, s.x2, s.y2);
}

void GraphicsWindow::ReSetWindow() {
  SetWindow(false, false, 0.0L, 0.0L, 1.0L, 1.0L, 0.0L, 0.0L, 1.0L, 1.0L);
  ResetZoom();
}

void GraphicsWindow::ResetZoom() {
  const PixelRect vp = view_.ViewPort;
  SetScale(vp.x1, vp.y1, vp.x2, vp.y2);
}

void GraphicsWindow::SaveViewPort() { view_.SavedViewPort = view_.ViewPort; }

void GraphicsWindow::RetrieveViewPort() {
  view_.ViewPort = view_.SavedViewPort;
  ++mappingChanges_;
}

void GraphicsWindow::Clear() {
  list_.Clear();
  // A new list records its first colour and line style even when they equal the last ones
  // recorded: its replay must not depend on where the previous replay (perhaps cut short, or
  // on another canvas) left the canvas.
  fields_.currentColour = -1;
  fields_.currentLineStyle = 99;
  host_.Invalidate();
}

void GraphicsWindow::ClearViewPort() {
  host_.SetCursor(CursorShape::Wait);
  host_.Invalidate();
}

long double GraphicsWindow::EinX(long double f) const {
  return f * (view_.WorldWindow.x2 - view_.WorldWindow.x1);
}

long double GraphicsWindow::EinY(long double f) const {
  return f * (view_.WorldWindow.y2 - view_.WorldWindow.y1);
}

void GraphicsWindow::SetWaitCursor() { host_.SetCursor(CursorShape::Wait); }

void GraphicsWindow::SetOldCursor() { host_.SetCursor(CursorShape::Arrow); }

// --- Transforms ----------------------------------------------------------------------------------

int GraphicsWindow::ScreenX(long double x) const {
  return ClampPixel(view_.ViewPort.x1 +
                    static_cast<long double>(ClampPixel((x - view_.ZoomWindow.x1) * view_.ScaleX)));
}

int GraphicsWindow::ScreenY(long double y) const {
  return ClampPixel(view_.ViewPort.y2 -
                    static_cast<long double>(ClampPixel((y - view_.ZoomWindow.y1) * view_.ScaleY)));
}

int GraphicsWindow::ScreenSizeX(long double d) const { return ClampPixel(d * view_.ScaleX); }

int GraphicsWindow::ScreenSizeY(long double d) const { return ClampPixel(d * view_.ScaleY); }

int GraphicsWindow::PrinterX(long double x, const PrintPage& page) const {
  const long double pw = page.PW;
  return ClampPixel(static_cast<long double>(ClampPixel(pw * page.ox / 210.0L)) +
                    ClampPixel(pw * ((x - view_.ZoomWindow.x1) * view_.ScaleX + view_.ViewPort.x1) *
                               page.sx / view_.GraphMaxX));
}

int GraphicsWindow::PrinterY(long double y, const PrintPage& page) const {
  const long double pw = page.PW;
  const long double ph = page.PH;
  return ClampPixel(static_cast<long double>(ClampPixel(pw * page.oy / 210.0L)) +
                    ClampPixel(ph * (view_.ViewPort.y2 - (y - view_.ZoomWindow.y1) * view_.ScaleY) *
                               page.sy / view_.GraphMaxY));
}

int GraphicsWindow::PrinterSizeX(long double d, const PrintPage& page) const {
  return ClampPixel(page.PW * d * view_.ScaleX * page.sx / view_.GraphMaxX);
}

int GraphicsWindow::PrinterSizeY(long double d, const PrintPage& page) const {
  return ClampPixel(page.PH * d * view_.ScaleY * page.sy / view_.GraphMaxY);
}

// --- Drawing operations --------------------------------------------------------------------------

void GraphicsWindow::circle(long double x, long double y, long double radius) {
  list_.AddCircle(x, y, radius);
}

void GraphicsWindow::line(long double x1, long double y1, long double x2, long double y2) {
  list_.AddLine(x1, y1, x2, y2);
}

void GraphicsWindow::Arc(long double cx, long double cy, long double a1, long double a2,
                         long double radius) {
  // The counter-clockwise sweep from a1 to a2, in (0, 360]: equal angles are a full circle.
  long double sweep = std::fmod(a2 - a1, 360.0L);
  if (sweep <= 0.0L) sweep += 360.0L;
  const long double sx = cx + radius * std::cos(a1 * kDegree);
  const long double sy = cy + radius * std::sin(a1 * kDegree);
  // A full circle ends where it starts, exactly, so that it is drawn whole.
  const bool full = sweep == 360.0L;
  const long double ex = full ? sx : cx + radius * std::cos(a2 * kDegree);
  const long double ey = full ? sy : cy + radius * std::sin(a2 * kDegree);
  if (sweep < 4.0L) {
    list_.AddLine(sx, sy, ex, ey);
    return;
  }
  list_.AddArc({cx - radius, cy - radius, cx + radius, cy + radius, sx, sy, ex, ey});
}

void GraphicsWindow::OutTextXY(const std::string& text, long double x, long double y) {
  list_.AddText(x, y, text);
}

void GraphicsWindow::Solid(long double x1, long double y1, long double x2, long double y2,
                           long double x3, long double y3, long double x4, long double y4) {
  list_.AddSolid({x1, y1, x2, y2, x3, y3, x4, y4});
}

void GraphicsWindow::Rectangle(long double x1, long double y1, long double x2, long double y2) {
  list_.AddLine(x1, y1, x2, y1);
  list_.AddLine(x2, y1, x2, y2);
  list_.AddLine(x2, y2, x1, y2);
  list_.AddLine(x1, y2, x1, y1);
}

void GraphicsWindow::SetColor(int colour) {
  if (colour > kHighestColour || colour == fields_.currentColour) return;
  list_.AddColor(colour);
  fields_.currentColour = colour;
}

void GraphicsWindow::SetTextStyle(int font, long double direction, long double height,
                                  long double width) {
  list_.AddTextStyle(height, width, font, direction);
}

void GraphicsWindow::SetLineStyle(std::uint16_t style) {
  if (style == fields_.currentLineStyle) return;
  list_.AddLineStyle(style);
  fields_.currentLineStyle = style;
}

void GraphicsWindow::SetLineWidth(std::uint16_t width) {
  if (width == fields_.currentLineWidth) return;
  list_.AddLineWidth(width);
  fields_.currentLineWidth = width;
}

void GraphicsWindow::SleepMs(int milliseconds) { list_.AddPause(milliseconds); }

void GraphicsWindow::MoveTo(long double x, long double y) {
  if (Canvas* c = host_.ImmediateCanvas()) c->MoveTo(ScreenX(x), ScreenY(y));
}

void GraphicsWindow::LineTo(long double x, long double y) {
  if (Canvas* c = host_.ImmediateCanvas()) c->LineTo(ScreenX(x), ScreenY(y));
}

bool GraphicsWindow::GetDirection(long double a) {
  return (a > 45.0L && a < 135.0L) || (a > 225.0L && a < 315.0L) || (a > -135.0L && a < -45.0L);
}

void GraphicsWindow::DrawRectangle(int x1, int y1, int x2, int y2) {
  Canvas* c = host_.ImmediateCanvas();
  if (!c) return;
  c->MoveTo(x1, y1);
  c->LineTo(x2, y1);
  c->LineTo(x2, y2);
  c->LineTo(x1, y2);
  c->LineTo(x1, y1);
}

}  // namespace plotvue
