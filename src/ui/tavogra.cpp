#include "ui/tavogra.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QWheelEvent>
#include <algorithm>
#include <utility>

namespace plotvue {
namespace {

MouseButton ToButton(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return MouseButton::Right;
    case Qt::LeftButton:
      return MouseButton::Left;
    default:
      return MouseButton::Middle;
  }
}

}  // namespace

TFtavogra::TFtavogra(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  band_ = new QRubberBand(QRubberBand::Rectangle, this);
  band_->hide();
}

void TFtavogra::SetGraphicsWindow(GraphicsWindow* window) {
  window_ = window;
  Invalidate();
}

void TFtavogra::SetBackground(QColor colour) {
  if (colour == background_) return;
  background_ = colour;
  Invalidate();
}

void TFtavogra::Resume() {
  suspended_ = false;
  ScheduleReplay();
}

int TFtavogra::VirtualKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Escape:
      return kVkEscape;
    case Qt::Key_F5:
      return kVkF5;
    case Qt::Key_PageUp:
      return kVkPageUp;
    case Qt::Key_PageDown:
      return kVkPageDown;
    case Qt::Key_Left:
      return kVkLeft;
    case Qt::Key_Up:
      return kVkUp;
    case Qt::Key_Right:
      return kVkRight;
    case Qt::Key_Down:
      return kVkDown;
    case Qt::Key_Plus:
      return kVkAdd;
    case Qt::Key_Minus:
      return kVkSubtract;
    default:
      return 0;
  }
}

// --- Replays -------------------------------------------------------------------------------------

void TFtavogra::Invalidate() {
  invalid_ = true;
  ScheduleReplay();
}

void TFtavogra::ScheduleReplay() {
  update();
  if (scheduled_) return;
  scheduled_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        scheduled_ = false;
        ReplayNow();
      },
      Qt::QueuedConnection);
}

bool TFtavogra::OutOfDate() const {
  return invalid_ || !window_ || shownStamp_ != window_->ChangeCount() || shown_.size() != size();
}

void TFtavogra::ReplayNow() {
  // A replay asked for while one runs (a key at a message point) is run when it ends.
  if (!window_ || suspended_ || replaying_) return;
  if (!OutOfDate()) return;
  replaying_ = true;
  do {
    Replay();
  } while (invalid_ && !suspended_);
  replaying_ = false;
  update();
}

void TFtavogra::Replay() {
  invalid_ = false;
  const QSize s = size().isEmpty() ? QSize(1, 1) : size();
  if (work_.size() != s) work_ = QImage(s, QImage::Format_RGB32);
  work_.fill(background_);
  {
    QPainter painter(&work_);
    QtCanvas canvas(painter, canvasState_, &work_);
    window_->FormPaint(canvas);
  }
  std::swap(shown_, work_);
  shownStamp_ = window_->ChangeCount();
  ++replays_;
}

void TFtavogra::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!shown_.isNull()) painter.drawImage(0, 0, shown_);
  // Any part the picture does not cover yet shows the window colour.
  if (shown_.width() < width())
    painter.fillRect(shown_.width(), 0, width() - shown_.width(), height(), background_);
  if (shown_.height() < height())
    painter.fillRect(0, shown_.height(), width(), height() - shown_.height(), background_);
  if (!replaying_ && OutOfDate()) ScheduleReplay();
}

void TFtavogra::resizeEvent(QResizeEvent*) { ScheduleReplay(); }

// --- Platform services ---------------------------------------------------------------------------

void TFtavogra::SetCursor(CursorShape shape) {
  if (shape == CursorShape::Wait) {
    if (!waitCursor_) QApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
  } else if (waitCursor_) {
    QApplication::restoreOverrideCursor();
    waitCursor_ = false;
  }
}

void TFtavogra::ProcessMessages() { QCoreApplication::processEvents(); }

void TFtavogra::Sleep(int milliseconds) {
  QThread::msleep(static_cast<unsigned long>(std::clamp(milliseconds, 0, 60000)));
}

// --- Keys and mouse ------------------------------------------------------------------------------

void TFtavogra::keyPressEvent(QKeyEvent* event) {
  const int key = VirtualKey(event->key());
  if (key == 0 || !window_) {
    QWidget::keyPressEvent(event);
    return;
  }
  window_->processKey(key);
}

void TFtavogra::ShowBand() {
  const ZoomInput& z = window_->zoomInput();
  if (!z.rubberBandActive) {
    band_->hide();
    return;
  }
  band_->setGeometry(QRect(QPoint(z.px, z.py), QPoint(z.cx, z.cy)).normalized());
  band_->show();
}

void TFtavogra::mousePressEvent(QMouseEvent* event) {
  if (!window_) return;
  const QPoint p = event->position().toPoint();
  window_->FormMouseDown(ToButton(event->button()), p.x(), p.y());
  ShowBand();
}

void TFtavogra::mouseMoveEvent(QMouseEvent* event) {
  if (!window_) return;
  const QPoint p = event->position().toPoint();
  if (window_->FormMouseMove(p.x(), p.y())) ShowBand();
}

void TFtavogra::mouseReleaseEvent(QMouseEvent* event) {
  if (!window_) return;
  const QPoint p = event->position().toPoint();
  window_->FormMouseUp(ToButton(event->button()), p.x(), p.y());
  band_->hide();
}

void TFtavogra::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!window_) return;
  // The double click comes before the second press, which then does the reset.
  window_->FormDblClick();
  mousePressEvent(event);
}

void TFtavogra::wheelEvent(QWheelEvent* event) {
  if (!window_) return;
  wheelRemainder_ += event->angleDelta().y();
  const int steps = wheelRemainder_ / 120;
  wheelRemainder_ %= 120;
  if (steps == 0) return;
  const QPoint p = event->position().toPoint();
  window_->WheelZoom(steps, p.x(), p.y());
}

}  // namespace plotvue
