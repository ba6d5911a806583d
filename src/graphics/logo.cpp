// The program's logo, drawn at start-up and in the about box: the letters P and V as filled
// shapes over a pen that plots a wave, inside a frame. World units are those of the start-up
// window, 36.9 x 32.
#include <cmath>
#include <numbers>

#include "graphics/raredova.h"

namespace plotvue {
namespace {

struct Quad {
  float x1, y1, x2, y2, x3, y3, x4, y4;
};

// The letter P: stem, top and middle bars, and the bowl's right side with bevelled corners.
constexpr Quad kLetterP[] = {
    {4.0f, 9.0f, 6.6f, 9.0f, 6.6f, 27.0f, 4.0f, 27.0f},
    {6.6f, 24.4f, 12.2f, 24.4f, 13.4f, 27.0f, 6.6f, 27.0f},
    {6.6f, 16.0f, 13.4f, 16.0f, 12.2f, 18.6f, 6.6f, 18.6f},
    {12.2f, 18.6f, 13.4f, 16.0f, 16.0f, 18.6f, 13.4f, 18.6f},
    {13.4f, 18.6f, 16.0f, 18.6f, 16.0f, 24.4f, 13.4f, 24.4f},
    {13.4f, 24.4f, 16.0f, 24.4f, 13.4f, 27.0f, 12.2f, 24.4f},
};

// The letter V: two arms meeting at the foot.
constexpr Quad kLetterV[] = {
    {18.0f, 27.0f, 20.8f, 27.0f, 25.0f, 12.6f, 23.6f, 9.0f},
    {29.2f, 27.0f, 32.0f, 27.0f, 24.4f, 9.0f, 23.6f, 9.0f},
};

// The pen: its tip on the end of the wave, its body slanting up to the right.
constexpr Quad kPen[] = {
    {31.4f, 5.2f, 32.4f, 7.4f, 31.6f, 7.6f, 31.4f, 5.2f},
    {31.6f, 7.6f, 32.4f, 7.4f, 35.2f, 13.6f, 34.2f, 14.0f},
};

}  // namespace

void GraphicsWindow::DrawTavolinLogo() {
  Header(0.0L, 0.0L, 36.9L, 32.0L);
  SetLineStyle(0);
  auto solid = [this](const Quad& q) { Solid(q.x1, q.y1, q.x2, q.y2, q.x3, q.y3, q.x4, q.y4); };
  SetColor(9);
  Rectangle(0.8L, 0.8L, 36.1L, 31.2L);
  SetColor(14);
  for (const Quad& q : kLetterP) solid(q);
  SetColor(11);
  for (const Quad& q : kLetterV) solid(q);
  // The plotted wave, from the left margin to the pen's tip.
  SetColor(10);
  constexpr int kSteps = 48;
  long double px = 4.0L, py = 5.2L;
  for (int k = 1; k <= kSteps; ++k) {
    const long double t = static_cast<long double>(k) / kSteps;
    const long double x = 4.0L + t * 27.4L;
    const long double y = 5.2L + 1.4L * std::sin(t * 3.0L * std::numbers::pi_v<long double>);
    line(px, py, x, y);
    px = x;
    py = y;
  }
  SetColor(12);
  for (const Quad& q : kPen) solid(q);
}

}  // namespace plotvue
