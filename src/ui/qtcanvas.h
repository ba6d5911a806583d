// The canvas of the replay on a QPainter: the window's picture (a QImage) and, later, the
// printer page. One-pixel solid lines in copy mode go straight into the image's pixels (the
// thin-line raster of the core), which is what makes a million lines fast; every other line
// goes through QPainter, in runs of one pen drawn with one call. Neither changes a pixel
// compared with drawing each line on its own.
//
// State: the pen, brush, text colour and current position live in a QtCanvasState that the
// owner keeps from one replay to the next, as a window canvas keeps them; the canvas object
// itself lives for one replay.
#ifndef PLOTVUE_UI_QTCANVAS_H_
#define PLOTVUE_UI_QTCANVAS_H_

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <vector>

#include "graphics/canvas.h"
#include "graphics/raster.h"

namespace plotvue {

// The drawing state of a canvas, kept between replays. Starts as a fresh platform canvas: black
// pen one pixel wide, white solid brush, black text.
struct QtCanvasState {
  QColor pen = Qt::black;
  int penWidth = 1;
  PenStyle penStyle = PenStyle::Solid;
  PenMode penMode = PenMode::Copy;
  QColor brush = Qt::white;
  BrushStyle brushStyle = BrushStyle::Solid;
  QColor text = Qt::black;
  QPoint position;
};

inline QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

class QtCanvas : public Canvas {
 public:
  // `image`, when given, is the device of `painter`; its pixels take the thin lines directly.
  // `batch` draws runs of QPainter lines of one pen in one call.
  QtCanvas(QPainter& painter, QtCanvasState& state, QImage* image, bool batch = true);
  ~QtCanvas() override;

  void SetPenColour(Rgb colour) override;
  void SetPenWidth(int width) override;
  void SetPenStyle(PenStyle style) override;
  void SetPenMode(PenMode mode) override;
  void SetBrushColour(Rgb colour) override;
  void SetBrushStyle(BrushStyle style) override;
  void SetTextColour(Rgb colour) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) override;
  void Polygon(const PixelPoint* points, int count) override;
  void TextOut(int x, int y, const TextFont& font, const std::string& utf8) override;
  int Width() const override;
  int Height() const override;

  // Draws the lines collected so far.
  void Flush();

 private:
  // Applies the state's pen and brush to the painter (after a change of state).
  void ApplyPen();
  bool FastLines() const;
  QFont MakeFont(const TextFont& font, qreal& ascent);

  QPainter& painter_;
  QtCanvasState& state_;
  PixelBuffer pixels_;
  std::uint32_t pixel_ = 0;  // the pen colour as a pixel of the image
  bool batch_;
  bool penDirty_ = true;
  std::vector<QLine> pending_;
  // The last font made, for runs of texts of one style.
  bool haveFont_ = false;
  TextFont lastWanted_;
  QFont lastFont_;
  qreal lastAscent_ = 0;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_QTCANVAS_H_
