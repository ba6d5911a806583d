// The path of every segment through the driver frame, inline: DrawLine with its MoveTo and
// LineTo steps and their pen lifts, and SelectPen's test for the pen already selected. Included by
// the frame itself and by the interpreter's convert sink, the two places that run it for every
// segment.
#ifndef PLOTVUE_OUTPUT_DRIVERPATH_H_
#define PLOTVUE_OUTPUT_DRIVERPATH_H_

#include <cmath>

#include "output/drivers.h"
#include "output/syntax.h"
#include "output/syntaxwriter.h"

namespace plotvue {

// Moves closer than this to the current position are not written.
inline constexpr long double kMoveTolerance = 1e-5L;

inline bool Finite(long double v) { return std::isfinite(v); }

inline void PlotDriver::PenUp() {
  if (writer_) PenUpWith(*writer_);
}

inline void PlotDriver::PenDown() {
  if (writer_) PenDownWith(*writer_);
}

inline void PlotDriver::Segment(long double x1, long double y1, long double x2, long double y2) {
  if (writer_) writer_->Segment(x1, y1, x2, y2);
}

inline void PlotDriver::Move(bool force, long double x, long double y) {
  if (writer_) MoveWith(*writer_, force, x, y);
}

inline void PlotDriver::Line(bool force, long double x, long double y) {
  if (writer_) LineWith(*writer_, force, x, y);
}

template <class W>
inline void PlotDriver::PenUpWith(W& w) {
  if (state.currentPen == 0 || !state.penDown) return;
  w.PenUp();
  state.penDown = false;
}

template <class W>
inline void PlotDriver::PenDownWith(W& w) {
  if (state.currentPen == 0 || state.penDown) return;
  w.PenDown();
  state.penDown = true;
}

template <class W>
inline void PlotDriver::SegmentWith(W& w, long double x1, long double y1, long double x2,
                                    long double y2) {
  if (!Finite(x1) || !Finite(y1) || !Finite(x2) || !Finite(y2)) return;
  const bool force = (state.syntax == static_cast<int>(Syntax::Hpgl2) ||
                      state.syntax == static_cast<int>(Syntax::Postscript)) &&
                     !state.polygonMode;
  MoveWith(w, force, x1, y1);
  LineWith(w, false, x2, y2);
}

template <class W>
inline void PlotDriver::MoveWith(W& w, bool force, long double x, long double y) {
  if (state.currentPen == 0 || !Finite(x) || !Finite(y)) return;
  if (!state.positionKnown) force = true;
  if (!force && std::fabs(x - state.curX) < kMoveTolerance &&
      std::fabs(y - state.curY) < kMoveTolerance) {
    return;
  }
  if (state.penDown && !(state.syntax == static_cast<int>(Syntax::Hpgl2) && state.peOpen)) {
    PenUpWith(w);
  }
  w.MoveTo(x, y);
  state.curX = x;
  state.curY = y;
  state.positionKnown = true;
}

template <class W>
inline void PlotDriver::LineWith(W& w, bool force, long double x, long double y) {
  if (state.currentPen == 0 || !Finite(x) || !Finite(y)) return;
  if (!force && x == state.curX && y == state.curY) return;
  // The device's pen is not where the driver's position says (after a label): go there first.
  if (!state.positionKnown) MoveWith(w, true, state.curX, state.curY);
  if (!state.penDown) PenDownWith(w);
  w.LineTo(x, y);
  state.curX = x;
  state.curY = y;
}

inline void PlotDriver::UsePen(int pen) {
  if (writer_ && PenOfCode(pen) == state.currentPen) return;
  SelectPen(pen);
}

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_DRIVERPATH_H_
