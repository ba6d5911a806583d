// TFtavogra: the graphics window on the screen. It replays the display list of the core's
// graphics window into a picture (a QImage of the client area) and shows that picture; keys,
// mouse and wheel go to the core's zoom and pan. A repaint with nothing changed (an expose, a
// dialog moved over the window) shows the last picture again without a replay.
//
// The replay runs from the event loop, never inside a paint event, so that it may let the
// platform handle events every 50000 records. A replay asked for while the interpreter reads a
// file waits until the run has ended.
//
// State: the picture of the last replay and the one being drawn, the canvas state kept between
// replays, and the bookkeeping of pending replays; the core window it shows is owned by the
// caller.
#ifndef PLOTVUE_UI_TAVOGRA_H_
#define PLOTVUE_UI_TAVOGRA_H_

#include <QImage>
#include <QRubberBand>
#include <QSize>
#include <QWidget>
#include <cstdint>

#include "graphics/raredova.h"
#include "ui/qtcanvas.h"

namespace plotvue {

class TFtavogra : public QWidget, public WindowHost {
  Q_OBJECT

 public:
  explicit TFtavogra(QWidget* parent = nullptr);
  // The core window to show; set once, before the widget is shown.
  void SetGraphicsWindow(GraphicsWindow* window);
  GraphicsWindow* graphicsWindow() const { return window_; }

  // The client size the window asks for: the window-size settings.
  void SetClientSize(QSize size) { clientSize_ = size; }
  QSize sizeHint() const override { return clientSize_; }

  // While suspended (the interpreter is reading a file), replays wait; Resume runs the one that
  // was asked for.
  void Suspend() { suspended_ = true; }
  void Resume();

  // Replays now if the picture is out of date (used by tests and the benchmark).
  void ReplayNow();
  // The picture of the last replay.
  const QImage& picture() const { return shown_; }
  // Number of replays run so far.
  int replayCount() const { return replays_; }
  // The background colour from the settings; a change asks for a replay.
  void SetBackground(QColor colour);

  // WindowHost.
  void Invalidate() override;
  void SetCursor(CursorShape shape) override;
  void ProcessMessages() override;
  void Sleep(int milliseconds) override;

  // The virtual key code of a Qt key: the keys of the zoom and pan table, with the main
  // keyboard's + and - taken as the numeric pad's; 0 for every other key.
  static int VirtualKey(int qtKey);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void ScheduleReplay();
  bool OutOfDate() const;
  void Replay();
  void ShowBand();

  GraphicsWindow* window_ = nullptr;
  QSize clientSize_{640, 480};
  QColor background_{Qt::black};
  QImage shown_;  // the last complete picture
  QImage work_;   // the picture being drawn
  QtCanvasState canvasState_;
  std::uint64_t shownStamp_ = ~std::uint64_t{0};  // ChangeCount of the shown picture
  bool invalid_ = true;
  bool scheduled_ = false;
  bool replaying_ = false;
  bool suspended_ = false;
  bool waitCursor_ = false;
  int replays_ = 0;
  int wheelRemainder_ = 0;
  QRubberBand* band_ = nullptr;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_TAVOGRA_H_
