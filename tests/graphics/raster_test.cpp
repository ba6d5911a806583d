// Thin lines into a pixel buffer: the pixels of a line, and clipping that keeps exactly the
// pixels the whole line has inside the buffer.
#include "graphics/raster.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

namespace plotvue {
namespace {

struct Image {
  Image(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0) {}
  PixelBuffer Buffer() { return PixelBuffer{pixels.data(), width, width, height}; }
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  int Count() const {
    int n = 0;
    for (auto p : pixels) n += p != 0;
    return n;
  }
  int width, height;
  std::vector<std::uint32_t> pixels;
};

// The same walk without any clipping arithmetic: every step, tested against the buffer.
void ReferenceLine(Image& img, int x1, int y1, int x2, int y2, std::uint32_t pixel) {
  const long dx = x2 - x1, dy = y2 - y1;
  const long ax = std::labs(dx), ay = std::labs(dy);
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xMajor = ax >= ay;
  const long am = xMajor ? ax : ay, an = xMajor ? ay : ax;
  for (long k = 0; k <= am; ++k) {
    const long f = am == 0 ? 0 : (2 * k * an + am) / (2 * am);
    const long x = xMajor ? x1 + sx * k : x1 + sx * f;
    const long y = xMajor ? y1 + sy * f : y1 + sy * k;
    if (x >= 0 && x < img.width && y >= 0 && y < img.height)
      img.pixels[static_cast<std::size_t>(y) * img.width + x] = pixel;
  }
}

TEST(RasterTest, PixelsOfSimpleLines) {
  Image img(10, 10);
  DrawThinLine(img.Buffer(), 2, 3, 7, 3, 1);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(img.At(x, 3), (x >= 2 && x <= 7) ? 1u : 0u) << x;
  EXPECT_EQ(img.Count(), 6);
  Image diag(10, 10);
  DrawThinLine(diag.Buffer(), 9, 9, 0, 0, 2);
  for (int k = 0; k < 10; ++k) EXPECT_EQ(diag.At(k, k), 2u);
  EXPECT_EQ(diag.Count(), 10);
  Image steep(10, 10);
  DrawThinLine(steep.Buffer(), 1, 0, 3, 9, 3);  // one pixel per row, both ends included
  EXPECT_EQ(steep.Count(), 10);
  EXPECT_EQ(steep.At(1, 0), 3u);
  EXPECT_EQ(steep.At(3, 9), 3u);
  Image dot(4, 4);
  DrawThinLine(dot.Buffer(), 2, 1, 2, 1, 4);
  EXPECT_EQ(dot.At(2, 1), 4u);
  EXPECT_EQ(dot.Count(), 1);
}

TEST(RasterTest, ClippingKeepsExactlyThePixelsInside) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> coord(-400, 700);
  for (int k = 0; k < 5000; ++k) {
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    Image fast(300, 200), slow(300, 200);
    DrawThinLine(fast.Buffer(), x1, y1, x2, y2, 7);
    ReferenceLine(slow, x1, y1, x2, y2, 7);
    ASSERT_EQ(fast.pixels, slow.pixels) << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

TEST(RasterTest, ExtremeCoordinates) {
  Image img(50, 40);
  DrawThinLine(img.Buffer(), INT_MIN, 20, INT_MAX, 20, 1);
  for (int x = 0; x < 50; ++x) EXPECT_EQ(img.At(x, 20), 1u);
  EXPECT_EQ(img.Count(), 50);
  Image far(50, 40);
  DrawThinLine(far.Buffer(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, 1);
  DrawThinLine(far.Buffer(), INT_MAX, INT_MIN, INT_MIN, INT_MAX, 1);
  EXPECT_GT(far.Count(), 0);
  DrawThinLine(PixelBuffer{}, 0, 0, 10, 10, 1);  // no buffer: nothing
}

}  // namespace
}  // namespace plotvue
