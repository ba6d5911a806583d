#include "ui/qtcanvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace plotvue {
namespace {

// Pens wider than this are drawn this wide: wider ones cover any window many times over.
constexpr int kMaxPenWidth = 4096;
// Texts higher than this (in pixels) are not drawn: a glyph larger than any window.
constexpr int kMaxTextHeight = 100000;

Qt::PenStyle ToQtStyle(PenStyle style) {
  switch (style) {
    case PenStyle::Dotted:
      return Qt::DotLine;
    case PenStyle::DashDot:
      return Qt::DashDotLine;
    case PenStyle::Dashed:
      return Qt::DashLine;
    case PenStyle::Solid:
      break;
  }
  return Qt::SolidLine;
}

// The angle (degrees, counter-clockwise on the screen) of the point of the ellipse whose ray
// from the centre passes through (px, py), as the parameter angle QPainterPath uses.
qreal RayToParameter(qreal cx, qreal cy, qreal rx, qreal ry, qreal px, qreal py) {
  const qreal theta = std::atan2(-(py - cy), px - cx);
  return std::atan2(rx * std::sin(theta), ry * std::cos(theta)) * 180.0 / M_PI;
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, QtCanvasState& state, QImage* image, bool batch)
    : painter_(painter), state_(state), batch_(batch) {
  if (image && !image->isNull() &&
      (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32 ||
       image->format() == QImage::Format_ARGB32_Premultiplied)) {
    // constBits: the painter works on this very buffer, so it must not be copied (detached).
    pixels_.bits = reinterpret_cast<std::uint32_t*>(const_cast<uchar*>(image->constBits()));
    pixels_.stride = image->bytesPerLine() / 4;
    pixels_.width = image->width();
    pixels_.height = image->height();
  }
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setBackgroundMode(Qt::TransparentMode);
  pixel_ = state_.pen.rgb();
}

QtCanvas::~QtCanvas() { Flush(); }

bool QtCanvas::FastLines() const {
  return pixels_.bits && state_.penWidth <= 1 && state_.penStyle == PenStyle::Solid &&
         state_.penMode == PenMode::Copy;
}

void QtCanvas::Flush() {
  if (pending_.empty()) return;
  if (penDirty_) ApplyPen();
  painter_.drawLines(pending_.data(), static_cast<int>(pending_.size()));
  pending_.clear();
}

void QtCanvas::ApplyPen() {
  QPen pen(state_.pen);
  const int w = std::clamp(state_.penWidth, 1, kMaxPenWidth);
  pen.setWidth(w <= 1 ? 0 : w);
  pen.setStyle(ToQtStyle(state_.penStyle));
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter_.setPen(pen);
  painter_.setCompositionMode(state_.penMode == PenMode::Invert
                                  ? QPainter::RasterOp_NotDestination
                                  : QPainter::CompositionMode_SourceOver);
  painter_.setBrush(state_.brushStyle == BrushStyle::Solid ? QBrush(state_.brush)
                                                           : QBrush(Qt::NoBrush));
  penDirty_ = false;
}

void QtCanvas::SetPenColour(Rgb colour) {
  const QColor c = ToQColor(colour);
  if (c == state_.pen) return;
  Flush();
  state_.pen = c;
  pixel_ = c.rgb();
  penDirty_ = true;
}

void QtCanvas::SetPenWidth(int width) {
  if (width == state_.penWidth) return;
  Flush();
  state_.penWidth = width;
  penDirty_ = true;
}

void QtCanvas::SetPenStyle(PenStyle style) {
  if (style == state_.penStyle) return;
  Flush();
  state_.penStyle = style;
  penDirty_ = true;
}

void QtCanvas::SetPenMode(PenMode mode) {
  if (mode == state_.penMode) return;
  Flush();
  state_.penMode = mode;
  penDirty_ = true;
}

void QtCanvas::SetBrushColour(Rgb colour) {
  const QColor c = ToQColor(colour);
  if (c == state_.brush) return;
  Flush();
  state_.brush = c;
  penDirty_ = true;
}

void QtCanvas::SetBrushStyle(BrushStyle style) {
  if (style == state_.brushStyle) return;
  Flush();
  state_.brushStyle = style;
  penDirty_ = true;
}

void QtCanvas::SetTextColour(Rgb colour) { state_.text = ToQColor(colour); }

void QtCanvas::MoveTo(int x, int y) { state_.position = QPoint(x, y); }

void QtCanvas::LineTo(int x, int y) { Line(state_.position.x(), state_.position.y(), x, y); }

void QtCanvas::Line(int x1, int y1, int x2, int y2) {
  state_.position = QPoint(x2, y2);
  if (FastLines()) {
    DrawThinLine(pixels_, x1, y1, x2, y2, pixel_);
    return;
  }
  if (batch_) {
    pending_.emplace_back(x1, y1, x2, y2);
    return;
  }
  if (penDirty_) ApplyPen();
  painter_.drawLine(x1, y1, x2, y2);
}

void QtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Flush();
  if (penDirty_) ApplyPen();
  painter_.drawEllipse(QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized());
}

void QtCanvas::Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) {
  Flush();
  if (penDirty_) ApplyPen();
  const QRectF box = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
  const qreal cx = box.center().x(), cy = box.center().y();
  const qreal rx = box.width() / 2, ry = box.height() / 2;
  qreal span = 360.0;
  qreal start = 0.0;
  if (sx != ex || sy != ey) {
    start = RayToParameter(cx, cy, rx, ry, sx, sy);
    const qreal end = RayToParameter(cx, cy, rx, ry, ex, ey);
    span = std::fmod(end - start + 720.0, 360.0);
    if (span <= 0.0) span = 360.0;  // both rays alike: the whole ellipse
  }
  QPainterPath path;
  path.arcMoveTo(box, start);
  path.arcTo(box, start, span);
  painter_.setBrush(Qt::NoBrush);
  painter_.drawPath(path);
  penDirty_ = true;  // the brush goes back with the next pen
}

void QtCanvas::Polygon(const PixelPoint* points, int count) {
  Flush();
  if (penDirty_) ApplyPen();
  QPolygon polygon(count);
  for (int k = 0; k < count; ++k) polygon.setPoint(k, points[k].x, points[k].y);
  painter_.drawPolygon(polygon, Qt::OddEvenFill);
}

QFont QtCanvas::MakeFont(const TextFont& wanted, qreal& ascent) {
  if (haveFont_ && wanted.face == lastWanted_.face && wanted.height == lastWanted_.height &&
      wanted.width == lastWanted_.width && wanted.weight == lastWanted_.weight &&
      wanted.italic == lastWanted_.italic && wanted.underline == lastWanted_.underline &&
      wanted.strikeOut == lastWanted_.strikeOut) {
    ascent = lastAscent_;
    return lastFont_;
  }
  QFont font(QString::fromStdString(wanted.face));
  font.setStyleStrategy(QFont::PreferOutline);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(wanted.weight, 1, 1000)));
  font.setItalic(wanted.italic);
  font.setUnderline(wanted.underline);
  font.setStrikeOut(wanted.strikeOut);
  // The height is the character cell (ascent and descent), as the font of the plot's text
  // size; Qt's pixel size is the smaller em square.
  const int cell = std::abs(wanted.height);
  font.setPixelSize(1000);
  QFontMetricsF reference(font);
  const qreal emPerCell = 1000.0 / std::max<qreal>(1.0, reference.ascent() + reference.descent());
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell * emPerCell))));
  if (wanted.width != 0) {
    const qreal average = QFontMetricsF(font).averageCharWidth();
    if (average > 0) {
      const long stretch = std::lround(100.0 * std::abs(wanted.width) / average);
      font.setStretch(static_cast<int>(std::clamp(stretch, 1L, 4000L)));
    }
  }
  ascent = QFontMetricsF(font).ascent();
  haveFont_ = true;
  lastWanted_ = wanted;
  lastFont_ = font;
  lastAscent_ = ascent;
  return font;
}

void QtCanvas::TextOut(int x, int y, const TextFont& wanted, const std::string& utf8) {
  const int cell = std::abs(wanted.height);
  if (cell == 0 || cell > kMaxTextHeight || utf8.empty()) return;
  Flush();
  qreal ascent = 0;
  const QFont font = MakeFont(wanted, ascent);
  painter_.save();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_.setFont(font);
  painter_.setPen(state_.text);
  painter_.translate(x, y);
  if (wanted.escapement != 0) painter_.rotate(-wanted.escapement / 10.0);
  painter_.drawText(QPointF(0, ascent),
                    QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  painter_.restore();
}

int QtCanvas::Width() const {
  if (pixels_.bits) return pixels_.width;
  return painter_.device() ? painter_.device()->width() : 0;
}

int QtCanvas::Height() const {
  if (pixels_.bits) return pixels_.height;
  return painter_.device() ? painter_.device()->height() : 0;
}

}  // namespace plotvue
