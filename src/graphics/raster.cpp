#include "graphics/raster.h"

#include <algorithm>

namespace plotvue {
namespace {

using Wide = __int128;

Wide CeilDiv(Wide a, Wide b) {  // b > 0
  return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// One line along its major axis: step k = 0..am moves the major coordinate by sm, and the minor
// coordinate is n1 + sn * floor((2 k an + am) / (2 am)), the Bresenham choice (halves move on).
struct Walk {
  std::int64_t m1, n1;  // start, major and minor coordinate
  std::int64_t am, an;  // extents along the axes, am >= an, am > 0
  int sm, sn;           // directions, +1 or -1
  std::int64_t majorSize, minorSize;
  std::ptrdiff_t majorStep, minorStep;  // pointer steps of one pixel along each axis
};

void Run(const PixelBuffer& b, const Walk& w, bool xMajor, std::uint32_t pixel) {
  // Steps whose major coordinate lies inside the buffer.
  Wide lo, hi;
  if (w.sm > 0) {
    lo = std::max<Wide>(0, -w.m1);
    hi = std::min<Wide>(w.am, w.majorSize - 1 - w.m1);
  } else {
    lo = std::max<Wide>(0, w.m1 - (w.majorSize - 1));
    hi = std::min<Wide>(w.am, w.m1);
  }
  // Steps whose minor offset f(k) lies in [nlo, nhi].
  const Wide nlo = w.sn > 0 ? -w.n1 : w.n1 - (w.minorSize - 1);
  const Wide nhi = w.sn > 0 ? w.minorSize - 1 - w.n1 : w.n1;
  const Wide am2 = 2 * static_cast<Wide>(w.am);
  const Wide an2 = 2 * static_cast<Wide>(w.an);
  if (w.an == 0) {
    if (nlo > 0 || nhi < 0) return;
  } else {
    lo = std::max(lo, CeilDiv(am2 * nlo - w.am, an2));
    hi = std::min(hi, CeilDiv(am2 * (nhi + 1) - w.am, an2) - 1);
  }
  if (lo > hi) return;
  const Wide num = an2 * lo + w.am;
  const auto f = static_cast<std::int64_t>(num / am2);
  auto rem = static_cast<std::int64_t>(num % am2);
  const std::int64_t major = w.m1 + w.sm * static_cast<std::int64_t>(lo);
  const std::int64_t minor = w.n1 + w.sn * f;
  const std::int64_t x = xMajor ? major : minor;
  const std::int64_t y = xMajor ? minor : major;
  std::uint32_t* p = b.bits + y * b.stride + x;
  const auto a2 = static_cast<std::int64_t>(am2);
  const auto n2 = static_cast<std::int64_t>(an2);
  for (auto k = static_cast<std::int64_t>(hi - lo); k >= 0; --k) {
    *p = pixel;
    p += w.majorStep;
    rem += n2;
    if (rem >= a2) {
      rem -= a2;
      p += w.minorStep;
    }
  }
}

}  // namespace

void DrawThinLine(const PixelBuffer& b, int x1, int y1, int x2, int y2, std::uint32_t pixel) {
  if (!b.bits || b.width <= 0 || b.height <= 0) return;
  if (std::max(x1, x2) < 0 || std::min(x1, x2) >= b.width || std::max(y1, y2) < 0 ||
      std::min(y1, y2) >= b.height)
    return;
  const std::int64_t dx = static_cast<std::int64_t>(x2) - x1;
  const std::int64_t dy = static_cast<std::int64_t>(y2) - y1;
  const std::int64_t ax = dx < 0 ? -dx : dx;
  const std::int64_t ay = dy < 0 ? -dy : dy;
  if (ax == 0 && ay == 0) {
    b.bits[static_cast<std::ptrdiff_t>(y1) * b.stride + x1] = pixel;
    return;
  }
  const int sx = dx < 0 ? -1 : 1;
  const int sy = dy < 0 ? -1 : 1;
  if (std::min(x1, x2) >= 0 && std::max(x1, x2) < b.width && std::min(y1, y2) >= 0 &&
      std::max(y1, y2) < b.height) {
    // Wholly inside, the common case: the same walk without any clipping.
    const bool xMajor = ax >= ay;
    const std::int64_t am = xMajor ? ax : ay, an = xMajor ? ay : ax;
    const std::ptrdiff_t majorStep = xMajor ? sx : sy * b.stride;
    const std::ptrdiff_t minorStep = xMajor ? sy * b.stride : sx;
    std::uint32_t* p = b.bits + static_cast<std::ptrdiff_t>(y1) * b.stride + x1;
    const std::int64_t a2 = 2 * am, n2 = 2 * an;
    std::int64_t rem = am;  // 2 k an + am for k = 0, as the remainder modulo 2 am
    for (std::int64_t k = am; k >= 0; --k) {
      *p = pixel;
      p += majorStep;
      rem += n2;
      if (rem >= a2) {
        rem -= a2;
        p += minorStep;
      }
    }
    return;
  }
  if (ax >= ay) {
    Run(b, Walk{x1, y1, ax, ay, sx, sy, b.width, b.height, sx, sy * b.stride}, true, pixel);
  } else {
    Run(b, Walk{y1, x1, ay, ax, sy, sx, b.height, b.width, sy * b.stride, sx}, false, pixel);
  }
}

}  // namespace plotvue
