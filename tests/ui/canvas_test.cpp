// The replay on a QImage through the QPainter canvas, checked pixel by pixel: lines land on the
// pixels the transforms give, colour numbers give their Palette colours, window records keep
// the zoom, an empty window ends the replay, and culling and batching change no pixel.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <random>

#include "graphics/raredova.h"
#include "support/recording.h"
#include "ui/qtcanvas.h"

namespace plotvue::testing {
namespace {

constexpr QRgb kBackground = 0xFF010000;  // the default background colour value 1: red 1

QRgb Rgb32(Rgb c) { return qRgb(c.r, c.g, c.b); }

// True when a pixel within one pixel of (x, y) has the colour (curves are rounded either way).
bool Near(const QImage& image, int x, int y, QRgb colour) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (image.pixel(x + dx, y + dy) == colour) return true;
  return false;
}

struct CanvasFixture {
  CanvasFixture() {
    window.SetGraphSize(639, 479);
    window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 100, 50);
  }
  void Load(const std::vector<std::string>& records) {
    window.list().Clear();
    for (const auto& r : records) window.list().AddRecordText(r);
  }
  QImage Replay(bool cull = true, bool batch = true) {
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(kBackground);
    QtCanvasState state;
    {
      QPainter painter(&image);
      QtCanvas canvas(painter, state, &image, batch);
      window.FormPaint(canvas, nullptr, nullptr, GraphicsWindow::ReplayOptions{cull});
    }
    return image;
  }
  int Count(const QImage& image, QRgb colour) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    return n;
  }

  RecordingInteraction ui;
  Program program{ui};
  NullWindowHost host;
  GraphicsWindow window{program, host};
};

TEST(CanvasTest, LineLandsOnThePixelsOfTheTransforms) {
  CanvasFixture f;
  f.Load({"10;0;0;639;479;0;0;100;50", "8;9", "4;10;20;30.5;20", "4;40;10;40;40"});
  const QImage image = f.Replay();
  const QRgb blue = Rgb32(Palette[9]);
  // x: 10 * 6.39 -> 64, 30.5 * 6.39 -> 195; y: 479 - nint(20 * 9.58) = 287.
  for (int x = 64; x <= 195; ++x) ASSERT_EQ(image.pixel(x, 287), blue) << x;
  EXPECT_EQ(image.pixel(63, 287), kBackground);
  EXPECT_EQ(image.pixel(196, 287), kBackground);
  EXPECT_EQ(image.pixel(100, 286), kBackground);
  EXPECT_EQ(image.pixel(100, 288), kBackground);
  // The vertical line: x = nint(255.6) = 256, rows 479 - nint(383.2) ... 479 - nint(95.8).
  for (int y = 96; y <= 383; ++y) ASSERT_EQ(image.pixel(256, y), blue) << y;
  EXPECT_EQ(image.pixel(256, 95), kBackground);
  EXPECT_EQ(image.pixel(256, 384), kBackground);
  EXPECT_EQ(f.Count(image, blue), (195 - 64 + 1) + (383 - 96 + 1));
}

TEST(CanvasTest, ColourNumbersGiveTheirPaletteColours) {
  CanvasFixture f;
  std::vector<std::string> records = {"10;0;0;639;479;0;0;639;479"};
  for (int c = 1; c <= 16; ++c) {
    records.push_back("8;" + std::to_string(c));
    records.push_back("4;10;" + std::to_string(20 * c) + ";100;" + std::to_string(20 * c));
  }
  f.Load(records);
  const QImage image = f.Replay();
  for (int c = 1; c <= 16; ++c)
    EXPECT_EQ(image.pixel(50, 479 - 20 * c), Rgb32(Palette[static_cast<std::size_t>(c)])) << c;
}

TEST(CanvasTest, ColourZeroDrawsInTheBackgroundColour) {
  CanvasFixture f;
  f.program.settings.BackgroundColour = 0x00FF8040;  // blue 255, green 128, red 64
  f.Load({"10;0;0;639;479;0;0;639;479", "8;4", "4;10;100;100;100", "8;0", "4;50;100;60;100"});
  const QImage image = f.Replay();
  EXPECT_EQ(image.pixel(20, 379), Rgb32(Palette[4]));
  EXPECT_EQ(image.pixel(55, 379), qRgb(64, 128, 255));
}

TEST(CanvasTest, MonochromeModeDrawsBlackAndFillsBlack) {
  CanvasFixture f;
  f.program.settings.ColourGraphics = false;
  f.Load({"10;0;0;639;479;0;0;639;479", "8;4", "4;10;100;100;100",
          "7;200;200;300;200;300;300;200;300"});
  QImage image(640, 480, QImage::Format_RGB32);
  image.fill(Qt::white);
  QtCanvasState state;
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, state, &image);
    f.window.FormPaint(canvas);
  }
  EXPECT_EQ(image.pixel(20, 379), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(250, 229), qRgb(0, 0, 0));  // inside the filled square
  EXPECT_EQ(image.pixel(150, 150), qRgb(255, 255, 255));
}

TEST(CanvasTest, FilledShapesCirclesAndArcs) {
  CanvasFixture f;
  f.Load({"10;0;0;639;479;0;0;639;479", "8;14", "7;100;100;200;100;200;200;100;200", "8;10",
          "3;400;240;50", "8;11", "5;450;50;550;150;550;100;500;150"});
  const QImage image = f.Replay();
  EXPECT_EQ(image.pixel(150, 329), Rgb32(Palette[14]));  // inside the filled square
  EXPECT_EQ(image.pixel(250, 329), kBackground);
  // The circle: its outline on the four axes, its inside empty.
  const QRgb green = Rgb32(Palette[10]);
  EXPECT_TRUE(Near(image, 450, 239, green));
  EXPECT_TRUE(Near(image, 350, 239, green));
  EXPECT_TRUE(Near(image, 400, 189, green));
  EXPECT_TRUE(Near(image, 400, 289, green));
  EXPECT_FALSE(Near(image, 400, 239, green));
  // The arc runs counter-clockwise from (550, 100) to (500, 150): the upper right quarter.
  const QRgb cyan = Rgb32(Palette[11]);
  const int d = static_cast<int>(std::lround(50 / std::sqrt(2.0)));
  EXPECT_TRUE(Near(image, 500 + d, 479 - 100 - d, cyan));
  EXPECT_FALSE(Near(image, 500 - d, 479 - 100 - d, cyan));
  EXPECT_FALSE(Near(image, 500 + d, 479 - 100 + d, cyan));
  EXPECT_FALSE(Near(image, 500 - d, 479 - 100 + d, cyan));
}

TEST(CanvasTest, FullCircleArcIsDrawnWhole) {
  CanvasFixture f;
  f.window.list().Clear();
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 639, 479);
  f.window.SetColor(12);
  f.window.Arc(300, 200, 30, 30, 60);  // equal angles: the whole circle
  const QImage image = f.Replay();
  const QRgb red = Rgb32(Palette[12]);
  EXPECT_TRUE(Near(image, 360, 279, red));
  EXPECT_TRUE(Near(image, 240, 279, red));
  EXPECT_TRUE(Near(image, 300, 219, red));
  EXPECT_TRUE(Near(image, 300, 339, red));
}

TEST(CanvasTest, TextIsDrawnAtItsReferencePoint) {
  CanvasFixture f;
  f.Load({"10;0;0;639;479;0;0;639;479", "8;14", "9;20;10;2;0", "6;100;100;HHHH", "9;20;10;2;90",
          "6;400;100;HHHH"});
  const QImage image = f.Replay();
  const QRgb yellow = Rgb32(Palette[14]);
  // Text height 20 * 1.6 = 32 pixels; the horizontal text lies right of x = 100, about on the
  // base line y = 100 (row 379), and within its cell above.
  int horizontal = 0, vertical = 0, elsewhere = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (image.pixel(x, y) != yellow) continue;
      if (x >= 100 && x < 300 && y >= 379 - 32 && y <= 379 + 8) {
        ++horizontal;
      } else if (x >= 400 - 32 && x <= 400 + 16 && y <= 379 + 8 && y > 379 - 200) {
        ++vertical;  // direction 90: up from the point, left of it
      } else {
        ++elsewhere;
      }
    }
  }
  EXPECT_GT(horizontal, 50);
  EXPECT_GT(vertical, 50);
  EXPECT_EQ(elsewhere, 0);
}

TEST(CanvasTest, WindowRecordKeepsTheZoom) {
  CanvasFixture f;
  f.Load({"10;0;0;639;479;0;0;100;50", "8;9", "4;10;20;30.5;20"});
  f.window.SetScale(0, 0, 319, 239);  // a zoom of two
  const QImage image = f.Replay();
  const int y = f.window.ScreenY(20);
  EXPECT_EQ(image.pixel(f.window.ScreenX(10), y), Rgb32(Palette[9]));
  EXPECT_EQ(image.pixel(f.window.ScreenX(30.5L), y), Rgb32(Palette[9]));
  EXPECT_EQ(image.pixel(64, 287), kBackground);  // where the unzoomed line would be
}

TEST(CanvasTest, EmptyWindowEndsTheReplay) {
  CanvasFixture f;
  f.Load({"10;0;0;639;479;0;0;639;479", "8;9", "4;10;100;100;100", "10;0;0;639;479;5;0;5;479",
          "4;10;200;100;200"});
  const QImage image = f.Replay();
  EXPECT_EQ(image.pixel(50, 379), Rgb32(Palette[9]));
  EXPECT_EQ(image.pixel(50, 279), kBackground);
  EXPECT_TRUE(f.program.ErrorFlag);
}

TEST(CanvasTest, LineStylesAndWidths) {
  CanvasFixture f;
  f.Load({"10;0;0;639;479;0;0;639;479", "8;15", "11;3", "4;10;100;600;100", "11;0", "12;5",
          "4;10;300;600;300"});
  const QImage image = f.Replay();
  const QRgb white = Rgb32(Palette[15]);
  int dashed = 0;
  for (int x = 10; x <= 600; ++x) dashed += image.pixel(x, 379) == white;
  EXPECT_GT(dashed, 200);
  EXPECT_LT(dashed, 560);
  for (int dy = -2; dy <= 2; ++dy) EXPECT_EQ(image.pixel(300, 179 + dy), white) << dy;
  EXPECT_EQ(image.pixel(300, 179 + 4), kBackground);
}

// A scene of every kind of record, in many pens, over a world larger than the view.
std::vector<std::string> Scene(unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> pos(-200, 900);
  std::uniform_real_distribution<double> step(-60, 60);
  std::uniform_int_distribution<int> colour(1, 16), style(0, 3), width(1, 4), kind(0, 9);
  std::vector<std::string> r = {"10;0;0;639;479;0;0;639;479"};
  auto n = [](double v) { return std::to_string(v); };
  for (int k = 0; k < 3000; ++k) {
    const double x = pos(rng), y = pos(rng);
    switch (kind(rng)) {
      case 0:
        r.push_back("8;" + std::to_string(colour(rng)));
        break;
      case 1:
        r.push_back("11;" + std::to_string(style(rng)));
        break;
      case 2:
        r.push_back("12;" + std::to_string(width(rng)));
        break;
      case 3:
        r.push_back("3;" + n(x) + ";" + n(y) + ";" + n(std::fabs(step(rng))));
        break;
      case 4:
        r.push_back("5;" + n(x - 30) + ";" + n(y - 30) + ";" + n(x + 30) + ";" + n(y + 30) + ";" +
                    n(x + 30) + ";" + n(y) + ";" + n(x) + ";" + n(y + 30));
        break;
      case 5:
        r.push_back("7;" + n(x) + ";" + n(y) + ";" + n(x + step(rng)) + ";" + n(y) + ";" +
                    n(x + step(rng)) + ";" + n(y + step(rng)) + ";" + n(x) + ";" + n(y + 20));
        break;
      default:
        r.push_back("4;" + n(x) + ";" + n(y) + ";" + n(x + step(rng)) + ";" + n(y + step(rng)));
        break;
    }
  }
  return r;
}

TEST(CanvasTest, CullingAndBatchingChangeNoPixel) {
  for (unsigned seed : {1u, 2u, 3u}) {
    CanvasFixture f;
    f.Load(Scene(seed));
    for (const PixelRect& zoom : {PixelRect{0, 0, 639, 479}, PixelRect{100, 80, 300, 220},
                                  PixelRect{-400, -300, 1000, 800}}) {
      f.window.SetScale(zoom.x1, zoom.y1, zoom.x2, zoom.y2);
      const QImage reference = f.Replay(false, false);
      EXPECT_EQ(f.Replay(true, true), reference) << seed;
      EXPECT_EQ(f.Replay(true, false), reference) << seed;
      EXPECT_EQ(f.Replay(false, true), reference) << seed;
    }
  }
}

}  // namespace
}  // namespace plotvue::testing
