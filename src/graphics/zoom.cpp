// Zoom and pan of the graphics window: the keys, the mouse with its rubber band, the wheel, the
// view resets and Regen. Every action changes only ZoomRect (through SetScale) and asks for a
// repaint, which replays the same display list with the new mapping.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "graphics/raredova.h"

namespace plotvue {
namespace {

// nint as a 64-bit value; false when the value is not a number or lies outside the int range.
bool NintInt(long double v, std::int64_t& out) {
  if (!std::isfinite(v)) return false;
  v = std::nearbyint(v);
  if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
  out = static_cast<std::int64_t>(v);
  return true;
}

bool FitsInt(std::int64_t v) {
  return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

}  // namespace

bool GraphicsWindow::SetScaleChecked(long double x1, long double y1, long double x2,
                                     long double y2) {
  std::int64_t a = 0, b = 0, c = 0, d = 0;
  if (!NintInt(x1, a) || !NintInt(y1, b) || !NintInt(x2, c) || !NintInt(y2, d)) return false;
  SetScale(static_cast<int>(a), static_cast<int>(b), static_cast<int>(c), static_cast<int>(d));
  return true;
}

void GraphicsWindow::processKey(int key) {
  char action = 0;
  char direction = 0;
  switch (key) {
    case kVkEscape:
    case kVkF5:
      ResetZoom();
      direction = '?';
      break;
    case kVkPageUp:
      direction = 'I';
      break;
    case kVkPageDown:
      direction = 'Q';
      break;
    case kVkLeft:
      direction = 'K';
      break;
    case kVkUp:
      direction = 'H';
      break;
    case kVkRight:
      direction = 'M';
      break;
    case kVkDown:
      direction = 'P';
      break;
    case kVkAdd:
      action = '+';
      direction = ' ';
      break;
    case kVkSubtract:
      action = '-';
      direction = ' ';
      break;
    default:
      // Keys outside the table (Shift alone, letters, ...) leave the view as it is.
      return;
  }
  zoom_.action = action;
  zoom_.direction = direction;
  ClearViewPort();
  PerformPendingAction();
}

void GraphicsWindow::PerformPendingAction() {
  const PixelRect z = view_.ZoomRect;
  const std::int64_t x1 = z.x1, y1 = z.y1, x2 = z.x2, y2 = z.y2;
  const long double fp = program_.settings.Panorama;
  const long double fz = program_.settings.Zoom;
  auto shifted = [&](std::int64_t dx, std::int64_t dy) {
    if (FitsInt(x1 + dx) && FitsInt(x2 + dx) && FitsInt(y1 + dy) && FitsInt(y2 + dy))
      SetScale(static_cast<int>(x1 + dx), static_cast<int>(y1 + dy), static_cast<int>(x2 + dx),
               static_cast<int>(y2 + dy));
  };
  std::int64_t d = 0;
  if (zoom_.action == 0) {
    switch (zoom_.direction) {
      case '?':
        ResetZoom();
        break;
      case 'K':
        if (NintInt(fp * (x2 - x1), d)) shifted(d, 0);
        break;
      case 'M':
        if (NintInt(fp * (x2 - x1), d)) shifted(-d, 0);
        break;
      case 'H':
        if (NintInt(fp * (y2 - y1), d)) shifted(0, -d);
        break;
      case 'P':
        if (NintInt(fp * (y2 - y1), d)) shifted(0, d);
        break;
      case 'I':
        if (NintInt(5.0L * fp * (y2 - y1), d)) shifted(0, -d);
        break;
      case 'Q':
        if (NintInt(5.0L * fp * (y2 - y1), d)) shifted(0, d);
        break;
      default:
        break;
    }
    return;
  }
  if (zoom_.action != '+' && zoom_.action != '-') return;
  std::int64_t ex = 0, ey = 0;
  const long double w = static_cast<long double>(x2 - x1);
  const long double h = static_cast<long double>(y2 - y1);
  // A zero zoom factor divides by zero: such a step is not taken.
  const bool ok = zoom_.action == '+' ? NintInt(w / fz, ex) && NintInt(h / fz, ey)
                                      : NintInt(w * fz, ex) && NintInt(h * fz, ey);
  if (!ok) return;
  const std::int64_t hx = ex / 2, hy = ey / 2;
  const std::int64_t cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
  if (FitsInt(cx - hx) && FitsInt(cx + hx) && FitsInt(cy - hy) && FitsInt(cy + hy))
    SetScale(static_cast<int>(cx - hx), static_cast<int>(cy - hy), static_cast<int>(cx + hx),
             static_cast<int>(cy + hy));
}

void GraphicsWindow::FormMouseDown(MouseButton button, int X, int Y) {
  if (button == MouseButton::Right) {
    ResetZoom();
    ClearViewPort();
  } else if (button == MouseButton::Left) {
    if (zoom_.doubleClickPending) {
      // Back to the drawing's saved limits, unzoomed: the window of Header again, with its
      // aspect and inset, so that the view is the one the drawing was opened with. (A unit
      // window without aspect after it would stay in force for the replay and stretch the
      // drawing to the window's shape.)
      RestoreLimit();
      ResetZoom();
      ClearViewPort();
    } else if (!zoom_.rubberBandActive) {
      if (Canvas* c = host_.ImmediateCanvas()) c->SetPenWidth(1);
      zoom_.rubberBandActive = true;
      zoom_.px = zoom_.cx = X;
      zoom_.py = zoom_.cy = Y;
    }
  }
  zoom_.doubleClickPending = false;
}

bool GraphicsWindow::FormMouseMove(int X, int Y) {
  if (!zoom_.rubberBandActive) return false;
  Canvas* c = host_.ImmediateCanvas();
  if (c) {
    c->SetPenMode(PenMode::Invert);
    DrawRectangle(zoom_.px, zoom_.py, zoom_.cx, zoom_.cy);
  }
  zoom_.cx = X;
  zoom_.cy = Y;
  if (c) {
    DrawRectangle(zoom_.px, zoom_.py, X, Y);
    c->SetPenMode(PenMode::Copy);
  }
  return true;
}

bool GraphicsWindow::ClientToZoom(long double X, long double Y, long double& zx,
                                  long double& zy) const {
  const ViewState& v = view_;
  const long double wx = v.ZoomWindow.x1 + (X - v.ViewPort.x1) / v.ScaleX;
  const long double wy = v.ZoomWindow.y1 + (v.ViewPort.y2 - Y) / v.ScaleY;
  zx = v.ViewPort.x1 + (wx - v.WorldWindow.x1) / (v.WorldWindow.x2 - v.WorldWindow.x1) *
                           (static_cast<long double>(v.ViewPort.x2) - v.ViewPort.x1);
  zy = v.ViewPort.y1 + (wy - v.WorldWindow.y1) / (v.WorldWindow.y2 - v.WorldWindow.y1) *
                           (static_cast<long double>(v.ViewPort.y2) - v.ViewPort.y1);
  return std::isfinite(zx) && std::isfinite(zy);
}

void GraphicsWindow::HoldPicture(Picture& picture) {
  picture.view = view_;
  picture.fields = fields_;
  picture.list.Clear();
  list_.Swap(picture.list);
  host_.Invalidate();
}

void GraphicsWindow::RestorePicture(Picture& picture) {
  view_ = picture.view;
  fields_ = picture.fields;
  list_.Swap(picture.list);
  picture.list.Clear();
  ++mappingChanges_;
  host_.Invalidate();
}

bool GraphicsWindow::ClientToWorld(int X, int Y, long double& wx, long double& wy) const {
  const ViewState& v = view_;
  wx = v.ZoomWindow.x1 + (X - v.ViewPort.x1) / v.ScaleX;
  wy = v.ZoomWindow.y1 + (v.ViewPort.y2 - Y) / v.ScaleY;
  return std::isfinite(wx) && std::isfinite(wy);
}

void GraphicsWindow::FormMouseUp(MouseButton, int X, int Y) {
  if (!zoom_.rubberBandActive) return;
  zoom_.cx = X;
  zoom_.cy = Y;
  zoom_.rubberBandActive = false;
  if (X == zoom_.px || Y == zoom_.py) return;
  SetWaitCursor();
  long double ax = 0, ay = 0, bx = 0, by = 0;
  // Lower left and upper right corner of the band: client rows grow downward.
  if (ClientToZoom(std::min(zoom_.px, X), std::max(zoom_.py, Y), ax, ay) &&
      ClientToZoom(std::max(zoom_.px, X), std::min(zoom_.py, Y), bx, by))
    SetScaleChecked(ax, ay, bx, by);
  ClearViewPort();
}

void GraphicsWindow::FormDblClick() { zoom_.doubleClickPending = true; }

void GraphicsWindow::WheelZoom(int steps, int X, int Y) {
  const long double f = program_.settings.Zoom;
  if (steps == 0 || !std::isfinite(f) || f <= 0.0L || f == 1.0L) return;
  long double cx = 0, cy = 0;
  if (!ClientToZoom(X, Y, cx, cy)) return;
  const long double k = std::pow(f, static_cast<long double>(-std::clamp(steps, -50, 50)));
  const PixelRect z = view_.ZoomRect;
  SetScaleChecked(cx + (z.x1 - cx) * k, cy + (z.y1 - cy) * k, cx + (z.x2 - cx) * k,
                  cy + (z.y2 - cy) * k);
  ClearViewPort();
}

void GraphicsWindow::Regen() {
  RestoreLimit();
  SetWindow(true, true, 0.0L, 0.0L, 1.0L, 1.0L, 0.0L, 0.0L, 1.0L, 1.0L);
  ResetZoom();
  const PixelRect z = view_.ZoomRect;
  SetScale(z.x1, z.y1, z.x2, z.y2);
  ClearViewPort();
}

}  // namespace plotvue
