// The replay of the display list (FormPaint): every record becomes calls on the window canvas
// and, while printing, on the printer canvas. Records that lie wholly outside the window are
// skipped; the margin taken around the window is wide enough that skipping changes no pixel.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "graphics/raredova.h"

namespace plotvue {
namespace {

constexpr std::size_t kMessageInterval = 50000;
// Lines are clipped to this square of pixels (around the viewport corner) before their ends are
// taken to integers; a line that stays inside is drawn exactly as given.
constexpr long double kLineSafe = 16777216.0L;  // 2^24
// Pixels around the window within which a record still counts as visible, beyond its pen width.
constexpr int kCullMargin = 4;
// Circles larger than this (in pixels) are drawn as a polyline of short chords, since the
// surface's own ellipse needs its box in integers.
constexpr long double kEllipseSafe = 8388608.0L;  // 2^23
constexpr long double kDegree = std::numbers::pi_v<long double> / 180.0L;

// nint of |v| < 2^62, ties to even. With the 64-bit mantissa of the x87 extended format, adding
// and taking away 1.5 * 2^63 leaves no bits below the units, so the sum is rounded to an integer
// in the default rounding mode: the result of std::nearbyint without its library call. The
// integral value goes through double, whose conversion to int needs no change of the x87
// control word. Other long double formats take std::nearbyint.
int Nint(long double v) {
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    constexpr long double kRound = 0x1.8p63L;
    return static_cast<int>(static_cast<double>((v + kRound) - kRound));
  } else {
    return static_cast<int>(std::nearbyint(v));
  }
}

bool AllFinite(const double* v, int n) {
  for (int k = 0; k < n; ++k)
    if (!std::isfinite(v[k])) return false;
  return true;
}

// Liang-Barsky clipping of the segment (x1, y1)-(x2, y2) to the square |x|, |y| <= limit.
// Returns false when nothing is left.
bool ClipToSquare(long double& x1, long double& y1, long double& x2, long double& y2,
                  long double limit) {
  long double t0 = 0.0L, t1 = 1.0L;
  const long double dx = x2 - x1, dy = y2 - y1;
  const long double p[4] = {-dx, dx, -dy, dy};
  const long double q[4] = {x1 + limit, limit - x1, y1 + limit, limit - y1};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0L) {
      if (q[k] < 0.0L) return false;
      continue;
    }
    long double t = q[k] / p[k];
    if (p[k] < 0.0L) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  const long double ox = x1, oy = y1;
  if (t1 < 1.0L) {
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
  }
  if (t0 > 0.0L) {
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
  }
  return true;
}

}  // namespace

struct GraphicsWindow::ReplayState {
  // Replay state of the texts.
  int textColour = 1;
  long double textHeight = 3.5L;
  long double textWidth = 3.5L;
  long double textDirection = 0.0L;
  // The screen transform, taken from the mapping state after every change.
  int vx1 = 0;
  int vy2 = 0;
  long double zx1 = 0.0L;
  long double zy1 = 0.0L;
  long double sx = 1.0L;
  long double sy = 1.0L;
  // Culling: a record whose world box lies outside [cx1, cx2] x [cy1, cy2] is not drawn.
  bool cullEnabled = false;
  bool cullOn = false;
  double cx1 = 0.0, cx2 = 0.0, cy1 = 0.0, cy2 = 0.0;
  long double marginWorld = 0.0L;  // the pixel margin in world units
  int penWidth = 1;
  // The current position a skipped line would have left, in world units.
  bool pendingMove = false;
  double pmx = 0.0, pmy = 0.0;
  bool printing = false;
  Canvas* printer = nullptr;
  const PrintPage* page = nullptr;
};

void GraphicsWindow::UpdateCulling(ReplayState& rs, const Canvas& window, bool enabled) const {
  rs.vx1 = view_.ViewPort.x1;
  rs.vy2 = view_.ViewPort.y2;
  rs.zx1 = view_.ZoomWindow.x1;
  rs.zy1 = view_.ZoomWindow.y1;
  rs.sx = view_.ScaleX;
  rs.sy = view_.ScaleY;
  rs.cullOn = false;
  const int w = window.Width();
  const int h = window.Height();
  if (!enabled || w <= 0 || h <= 0 || rs.sx == 0.0L || rs.sy == 0.0L) return;
  const long double m = std::clamp(rs.penWidth, 1, 1 << 20) + kCullMargin;
  long double x1 = rs.zx1 + (-m - rs.vx1 - 1.0L) / rs.sx;
  long double x2 = rs.zx1 + (w - 1.0L + m - rs.vx1 + 1.0L) / rs.sx;
  long double y1 = rs.zy1 + (rs.vy2 - h - m - 1.0L) / rs.sy;
  long double y2 = rs.zy1 + (rs.vy2 + m + 1.0L) / rs.sy;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  rs.marginWorld = m / std::min(std::fabs(rs.sx), std::fabs(rs.sy));
  if (!std::isfinite(x1) || !std::isfinite(x2) || !std::isfinite(y1) || !std::isfinite(y2) ||
      !std::isfinite(rs.marginWorld))
    return;
  // Widened by a hair so that the rounding to double cannot pull a bound inward.
  rs.cx1 = static_cast<double>(x1 - std::fabs(x1) * 1e-12L - 1e-300L);
  rs.cx2 = static_cast<double>(x2 + std::fabs(x2) * 1e-12L + 1e-300L);
  rs.cy1 = static_cast<double>(y1 - std::fabs(y1) * 1e-12L - 1e-300L);
  rs.cy2 = static_cast<double>(y2 + std::fabs(y2) * 1e-12L + 1e-300L);
  rs.cullOn = true;
}

void GraphicsWindow::DrawLineRecord(ReplayState& rs, Canvas& window, double x1, double y1,
                                    double x2, double y2) {
  if (rs.printing) {
    if (!AllFinite(std::array<double, 4>{x1, y1, x2, y2}.data(), 4)) return;
    const PrintPage& pg = *rs.page;
    rs.printer->Line(PrinterX(x1, pg), PrinterY(y1, pg), PrinterX(x2, pg), PrinterY(y2, pg));
  }
  if (rs.cullOn && ((x1 < rs.cx1 && x2 < rs.cx1) || (x1 > rs.cx2 && x2 > rs.cx2) ||
                    (y1 < rs.cy1 && y2 < rs.cy1) || (y1 > rs.cy2 && y2 > rs.cy2))) {
    rs.pendingMove = true;
    rs.pmx = x2;
    rs.pmy = y2;
    return;
  }
  rs.pendingMove = false;
  long double a1 = (x1 - rs.zx1) * rs.sx;
  long double b1 = (y1 - rs.zy1) * rs.sy;
  long double a2 = (x2 - rs.zx1) * rs.sx;
  long double b2 = (y2 - rs.zy1) * rs.sy;
  if (!(std::fabs(a1) < kLineSafe && std::fabs(b1) < kLineSafe && std::fabs(a2) < kLineSafe &&
        std::fabs(b2) < kLineSafe)) {
    // A line with a value that is not a number draws nothing and moves nowhere.
    if (!std::isfinite(a1) || !std::isfinite(b1) || !std::isfinite(a2) || !std::isfinite(b2))
      return;
    if (!ClipToSquare(a1, b1, a2, b2, kLineSafe)) {
      rs.pendingMove = true;
      rs.pmx = x2;
      rs.pmy = y2;
      return;
    }
  }
  window.Line(rs.vx1 + Nint(a1), rs.vy2 - Nint(b1), rs.vx1 + Nint(a2), rs.vy2 - Nint(b2));
}

void GraphicsWindow::DrawEllipseRecord(Canvas& canvas, const double* box, const double* ends) {
  // The box in pixels, before any rounding.
  const long double bx1 = (box[0] - view_.ZoomWindow.x1) * view_.ScaleX;
  const long double bx2 = (box[2] - view_.ZoomWindow.x1) * view_.ScaleX;
  const long double by1 = (box[1] - view_.ZoomWindow.y1) * view_.ScaleY;
  const long double by2 = (box[3] - view_.ZoomWindow.y1) * view_.ScaleY;
  const long double big =
      std::max({std::fabs(bx1), std::fabs(bx2), std::fabs(by1), std::fabs(by2)});
  if (big < kEllipseSafe) {
    if (ends) {
      canvas.Arc(ScreenX(box[0]), ScreenY(box[1]), ScreenX(box[2]), ScreenY(box[3]),
                 ScreenX(ends[0]), ScreenY(ends[1]), ScreenX(ends[2]), ScreenY(ends[3]));
    } else {
      canvas.Ellipse(ScreenX(box[0]), ScreenY(box[1]), ScreenX(box[2]), ScreenY(box[3]));
    }
    return;
  }
  // Far too large for the surface: chords short enough to stay within a quarter pixel of the
  // curve, over the part that the arc covers (all of it for an ellipse).
  const long double cx = (box[0] + box[2]) / 2.0L, cy = (box[1] + box[3]) / 2.0L;
  const long double rx = std::fabs(box[2] - box[0]) / 2.0L;
  const long double ry = std::fabs(box[3] - box[1]) / 2.0L;
  const long double rpx = std::max(std::fabs(rx * view_.ScaleX), std::fabs(ry * view_.ScaleY));
  if (!std::isfinite(rpx) || rpx > 1e13L || rx == 0.0L || ry == 0.0L) return;
  long double from = 0.0L, sweep = 360.0L;
  if (ends) {
    from = std::atan2((ends[1] - cy) / ry, (ends[0] - cx) / rx) / kDegree;
    long double to = std::atan2((ends[3] - cy) / ry, (ends[2] - cx) / rx) / kDegree;
    sweep = std::fmod(to - from, 360.0L);
    if (sweep <= 0.0L) sweep += 360.0L;
  }
  const long double step = 2.0L * std::sqrt(0.25L / rpx) / kDegree;
  const long double n = std::ceil(sweep / step);
  long double px = cx + rx * std::cos(from * kDegree), py = cy + ry * std::sin(from * kDegree);
  for (long double k = 1.0L; k <= n; k += 1.0L) {
    const long double a = (from + sweep * k / n) * kDegree;
    const long double qx = cx + rx * std::cos(a), qy = cy + ry * std::sin(a);
    long double a1 = (px - view_.ZoomWindow.x1) * view_.ScaleX;
    long double b1 = (py - view_.ZoomWindow.y1) * view_.ScaleY;
    long double a2 = (qx - view_.ZoomWindow.x1) * view_.ScaleX;
    long double b2 = (qy - view_.ZoomWindow.y1) * view_.ScaleY;
    if (ClipToSquare(a1, b1, a2, b2, kLineSafe)) {
      canvas.Line(view_.ViewPort.x1 + Nint(a1), view_.ViewPort.y2 - Nint(b1),
                  view_.ViewPort.x1 + Nint(a2), view_.ViewPort.y2 - Nint(b2));
    }
    px = qx;
    py = qy;
  }
}

void GraphicsWindow::ReplayColour(int c, Canvas& window, Canvas* printer) {
  const Settings& s = program_.settings;
  const Rgb background = RgbFromColourValue(s.BackgroundColour);
  if (c >= 1 && c <= kHighestColour) {
    const Rgb p = Palette[static_cast<std::size_t>(c)];
    if (s.ColourGraphics) {
      window.SetPenColour(p);
      window.SetBrushColour(p);
      window.SetTextColour(p);
    } else {
      window.SetPenColour(kBlack);
      window.SetBrushColour(background);
      window.SetTextColour(kBlack);
    }
    if (printer) {
      if (s.WindowsPrintMode == 2) {
        printer->SetPenColour(p);
        printer->SetBrushColour(p);
        printer->SetTextColour(p);
      } else {
        printer->SetPenColour(kBlack);
        printer->SetBrushColour(background);
        printer->SetTextColour(kBlack);
      }
    }
  } else if (c == 0) {
    for (Canvas* canvas : {&window, printer}) {
      if (!canvas) continue;
      canvas->SetPenColour(background);
      canvas->SetBrushColour(background);
      canvas->SetTextColour(background);
    }
  }
}

void GraphicsWindow::ReplayText(const Record& r, ReplayState& rs, Canvas& textCanvas, bool printing,
                                const PrintPage* page) {
  const Settings& s = program_.settings;
  const long double x = r.v[0], y = r.v[1];
  const long double h = rs.textHeight;
  if (rs.cullOn && !printing) {
    // Glyphs reach at most a few cells from the reference point.
    const long double reach = 3.0L * (static_cast<long double>(r.text->size()) + 2.0L) *
                                  std::max(std::fabs(rs.textHeight), std::fabs(rs.textWidth)) +
                              rs.marginWorld;
    if (x + reach < rs.cx1 || x - reach > rs.cx2 || y + reach < rs.cy1 || y - reach > rs.cy2)
      return;
  }
  TextFont font;
  font.face = s.ScreenTextFont;
  if (rs.textColour == 0) {
    textCanvas.SetTextColour(RgbFromColourValue(s.BackgroundColour));
  } else if (!s.ColourGraphics || (printing && s.WindowsPrintMode == 1)) {
    textCanvas.SetTextColour(kBlack);
  } else if (rs.textColour >= 1 && rs.textColour <= 15) {
    textCanvas.SetTextColour(Palette[static_cast<std::size_t>(rs.textColour)]);
  }
  if (FontStyle >= 1 && FontStyle <= 15) {
    font.weight = (FontStyle & 1) ? 700 : 100;
    font.italic = (FontStyle & 2) != 0;
    font.underline = (FontStyle & 4) != 0;
    font.strikeOut = (FontStyle & 8) != 0;
  } else {
    font.weight = 100;
  }
  font.height = printing ? PrinterSizeY(h, *page) : ScreenSizeY(h);
  font.width = printing ? PrinterSizeX(rs.textWidth, *page) : ScreenSizeX(rs.textWidth);
  const long double esc = rs.textDirection * 10.0L;
  font.escapement =
      std::isfinite(esc) ? static_cast<int>(std::clamp(std::nearbyint(esc), -1e9L, 1e9L)) : 0;
  long double rx = x, ry = y + 0.75L * h;
  if (rs.textDirection != 0.0L) {
    const long double d = rs.textDirection * kDegree;
    rx = x - std::sin(d) * 0.7L * h;
    ry = y + std::cos(d) * 0.75L * h;
  }
  if (printing) {
    textCanvas.TextOut(PrinterX(rx, *page), PrinterY(ry, *page), font, *r.text);
  } else {
    textCanvas.TextOut(ScreenX(rx), ScreenY(ry), font, *r.text);
  }
}

void GraphicsWindow::ReplayWindowRecord(const double* v, ReplayState&) {
  view_.ViewPort = PixelRect{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                             static_cast<int>(v[3])};
  view_.WorldWindow = WorldRect{v[4], v[5], v[6], v[7]};
  ++mappingChanges_;
}

void GraphicsWindow::FormPaint(Canvas& window, Canvas* printer, const PrintPage* page) {
  FormPaint(window, printer, page, ReplayOptions{});
}

void GraphicsWindow::FormPaint(Canvas& window, Canvas* printer, const PrintPage* page,
                               const ReplayOptions& options) {
  host_.SetCursor(CursorShape::Wait);
  ReplayState rs;
  rs.printing = view_.PrintMirror && printer != nullptr && page != nullptr;
  rs.printer = rs.printing ? printer : nullptr;
  rs.page = page;
  Canvas& textCanvas = rs.printing ? *printer : window;
  fields_.currentLineStyle = 99;
  fields_.currentLineWidth = 1;
  textCanvas.SetPenWidth(1);
  // Culling is for the window alone: while printing, every record goes to the page.
  const bool cull = options.cull && !rs.printing;
  UpdateCulling(rs, window, cull);

  const Settings& s = program_.settings;
  if (rs.printing && s.ScreendumpBorder) {
    if (s.ColourGraphics) printer->SetPenColour(Palette[11]);
    const WorldRect w = view_.WorldWindow;
    printer->MoveTo(PrinterX(w.x1, *page), PrinterY(w.y1, *page));
    printer->LineTo(PrinterX(w.x1, *page), PrinterY(w.y2, *page));
    printer->LineTo(PrinterX(w.x2, *page), PrinterY(w.y2, *page));
    printer->LineTo(PrinterX(w.x2, *page), PrinterY(w.y1, *page));
    printer->LineTo(PrinterX(w.x1, *page), PrinterY(w.y1, *page));
  }

  const std::uint64_t generation = list_.Generation();
  DisplayList::Reader reader(list_);
  Record r;
  auto flushMove = [&] {
    if (rs.pendingMove) {
      window.MoveTo(ScreenX(rs.pmx), ScreenY(rs.pmy));
      rs.pendingMove = false;
    }
  };
  for (std::size_t i = 0;; ++i) {
    if (i % kMessageInterval == 0) {
      flushMove();
      host_.ProcessMessages();
      // A new list (Clear) made while the messages were handled ends this replay; the repaint
      // that Clear asked for replays the new one.
      if (list_.Generation() != generation) break;
      UpdateCulling(rs, window, cull);
    }
    if (!reader.Next(r)) break;
    switch (r.kind) {
      case RecordKind::RecMove:
        if (!AllFinite(r.v, 2)) break;
        rs.pendingMove = false;
        if (rs.printing) rs.printer->MoveTo(PrinterX(r.v[0], *page), PrinterY(r.v[1], *page));
        window.MoveTo(ScreenX(r.v[0]), ScreenY(r.v[1]));
        break;
      case RecordKind::RecDraw:
        if (!AllFinite(r.v, 2)) break;
        flushMove();
        if (rs.printing) rs.printer->LineTo(PrinterX(r.v[0], *page), PrinterY(r.v[1], *page));
        window.LineTo(ScreenX(r.v[0]), ScreenY(r.v[1]));
        break;
      case RecordKind::RecLine:
        // Values that are not finite fail the range test in DrawLineRecord.
        DrawLineRecord(rs, window, r.v[0], r.v[1], r.v[2], r.v[3]);
        break;
      case RecordKind::RecCircle: {
        if (!AllFinite(r.v, 3)) break;
        const double x = r.v[0], y = r.v[1], rad = r.v[2];
        const double box[4] = {x - rad, y - rad, x + rad, y + rad};
        window.SetBrushStyle(BrushStyle::Clear);
        if (rs.printing) {
          rs.printer->SetBrushStyle(BrushStyle::Clear);
          rs.printer->Ellipse(PrinterX(box[0], *page), PrinterY(box[1], *page),
                              PrinterX(box[2], *page), PrinterY(box[3], *page));
        }
        if (rs.cullOn) {
          const double ar = std::fabs(rad);
          if (x + ar < rs.cx1 || x - ar > rs.cx2 || y + ar < rs.cy1 || y - ar > rs.cy2) break;
          // The visible area lies inside the circle, clear of its outline.
          const long double inner = ar - rs.marginWorld;
          auto inside = [&](double px, double py) {
            return std::hypot(static_cast<long double>(px) - x, static_cast<long double>(py) - y) <
                   inner;
          };
          if (inner > 0.0L && inside(rs.cx1, rs.cy1) && inside(rs.cx1, rs.cy2) &&
              inside(rs.cx2, rs.cy1) && inside(rs.cx2, rs.cy2))
            break;
        }
        DrawEllipseRecord(window, box, nullptr);
        break;
      }
      case RecordKind::RecArc: {
        if (!AllFinite(r.v, 8)) break;
        if (rs.printing) {
          const PrintPage& pg = *page;
          rs.printer->Arc(PrinterX(r.v[0], pg), PrinterY(r.v[1], pg), PrinterX(r.v[2], pg),
                          PrinterY(r.v[3], pg), PrinterX(r.v[4], pg), PrinterY(r.v[5], pg),
                          PrinterX(r.v[6], pg), PrinterY(r.v[7], pg));
        }
        if (rs.cullOn) {
          const double bx1 = std::min(r.v[0], r.v[2]), bx2 = std::max(r.v[0], r.v[2]);
          const double by1 = std::min(r.v[1], r.v[3]), by2 = std::max(r.v[1], r.v[3]);
          if (bx2 < rs.cx1 || bx1 > rs.cx2 || by2 < rs.cy1 || by1 > rs.cy2) break;
          const long double cx = (bx1 + bx2) / 2.0L, cy = (by1 + by2) / 2.0L;
          const long double inner = std::min(bx2 - bx1, by2 - by1) / 2.0L - rs.marginWorld;
          auto inside = [&](double px, double py) { return std::hypot(px - cx, py - cy) < inner; };
          if (inner > 0.0L && inside(rs.cx1, rs.cy1) && inside(rs.cx1, rs.cy2) &&
              inside(rs.cx2, rs.cy1) && inside(rs.cx2, rs.cy2))
            break;
        }
        DrawEllipseRecord(window, r.v, r.v + 4);
        break;
      }
      case RecordKind::RecText:
        if (!AllFinite(r.v, 2)) break;
        ReplayText(r, rs, textCanvas, rs.printing, page);
        break;
      case RecordKind::RecSolid: {
        if (!AllFinite(r.v, 8)) break;
        const bool mono = !s.ColourGraphics;
        window.SetBrushStyle(BrushStyle::Solid);
        if (mono) window.SetBrushColour(kBlack);
        if (rs.printing) {
          rs.printer->SetBrushStyle(BrushStyle::Solid);
          if (mono) rs.printer->SetBrushColour(kBlack);
          PixelPoint pp[4];
          for (int k = 0; k < 4; ++k)
            pp[k] = PixelPoint{PrinterX(r.v[2 * k], *page), PrinterY(r.v[2 * k + 1], *page)};
          rs.printer->Polygon(pp, 4);
        }
        if (rs.cullOn) {
          const double* v = r.v;
          const double bx1 = std::min({v[0], v[2], v[4], v[6]});
          const double bx2 = std::max({v[0], v[2], v[4], v[6]});
          const double by1 = std::min({v[1], v[3], v[5], v[7]});
          const double by2 = std::max({v[1], v[3], v[5], v[7]});
          if (bx2 < rs.cx1 || bx1 > rs.cx2 || by2 < rs.cy1 || by1 > rs.cy2) break;
        }
        PixelPoint pp[4];
        for (int k = 0; k < 4; ++k)
          pp[k] = PixelPoint{ScreenX(r.v[2 * k]), ScreenY(r.v[2 * k + 1])};
        window.Polygon(pp, 4);
        break;
      }
      case RecordKind::RecColor: {
        const int c = static_cast<int>(r.v[0]);
        rs.textColour = c;
        ReplayColour(c, window, rs.printer);
        break;
      }
      case RecordKind::RecTextStyle:
        rs.textHeight = r.v[0] * 1.6L * s.TextHeightFactor;
        rs.textWidth = r.v[1] * 1.1L * s.ScreenTextWidthFactor;
        rs.textDirection = r.v[3];
        break;
      case RecordKind::RecWindow: {
        flushMove();
        ReplayWindowRecord(r.v, rs);
        const WorldRect& w = view_.WorldWindow;
        if (w.x2 == w.x1 || w.y2 == w.y1 || !AllFinite(r.v + 4, 4)) {
          program_.ErrorFlag = true;
          host_.SetCursor(CursorShape::Default);
          return;
        }
        const PixelRect z = view_.ZoomRect;
        SetScale(z.x1, z.y1, z.x2, z.y2);
        UpdateCulling(rs, window, cull);
        break;
      }
      case RecordKind::RecLineStyle: {
        const PenStyle style = PenStyleOf(static_cast<int>(r.v[0]));
        window.SetPenStyle(style);
        window.SetPenMode(PenMode::Copy);
        if (rs.printing) {
          rs.printer->SetPenStyle(style);
          rs.printer->SetPenMode(PenMode::Copy);
        }
        break;
      }
      case RecordKind::RecLineWidth: {
        const int w = static_cast<int>(r.v[0]);
        window.SetPenWidth(w);
        if (rs.printing)
          rs.printer->SetPenWidth(static_cast<int>(std::clamp(4LL * w, -(1LL << 30), 1LL << 30)));
        rs.penWidth = w;
        UpdateCulling(rs, window, cull);
        break;
      }
      case RecordKind::RecPause:
        if (!rs.printing && r.v[0] > 0.0) host_.Sleep(static_cast<int>(r.v[0]));
        break;
      case RecordKind::Unknown:
        break;
    }
  }
  host_.SetCursor(CursorShape::Default);
}

}  // namespace plotvue
