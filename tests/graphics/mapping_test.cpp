// The graphics window's mapping state: SetWindow, SetScale with and without aspect, Header,
// the limits and the resets, and the screen and printer transforms.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/fakes.h"

namespace plotvue::testing {
namespace {

TEST(MappingTest, SetWindowWithoutAspect) {
  WindowFixture f;
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 100, 50);
  const ViewState& v = f.window.view();
  EXPECT_EQ(v.ViewPort, (PixelRect{0, 0, 639, 479}));
  EXPECT_EQ(v.ZoomRect, (PixelRect{0, 0, 639, 479}));
  EXPECT_EQ(v.ZoomWindow, (WorldRect{0, 0, 100, 50}));
  EXPECT_NEAR(static_cast<double>(v.ScaleX), 6.39, 1e-12);
  EXPECT_NEAR(static_cast<double>(v.ScaleY), 9.58, 1e-12);
  EXPECT_EQ(f.Records(), (std::vector<std::string>{"10;0;0;639;479;0;0;100;50"}));
  EXPECT_FALSE(f.program.ErrorFlag);
  // World y grows upward: the bottom of the zoom window is the viewport's bottom row.
  EXPECT_EQ(f.window.ScreenY(0), 479);
  EXPECT_EQ(f.window.ScreenY(50), 0);
  EXPECT_EQ(f.window.ScreenX(0), 0);
  EXPECT_EQ(f.window.ScreenX(100), 639);
  EXPECT_EQ(f.window.ScreenX(10), 64);  // 63.9
  EXPECT_EQ(f.window.ScreenSizeY(1), 10);
}

TEST(MappingTest, SetWindowKeepsAspectAndInsets) {
  WindowFixture f;
  f.window.SetWindow(true, false, 0, 0, 1, 1, 0, 0, 100, 50);
  EXPECT_NEAR(static_cast<double>(f.window.view().ScaleX), 6.39, 1e-12);
  EXPECT_NEAR(static_cast<double>(f.window.view().ScaleY), 6.39 / (639 * 0.75 / 479), 1e-12);
  // A tall world window: ScaleX is lowered to ScaleY times the pixel aspect.
  f.window.SetWindow(true, true, 0, 0, 1, 1, 0, 0, 50, 100);
  const ViewState& v = f.window.view();
  EXPECT_EQ(v.ViewPort, (PixelRect{1, 1, 638, 478}));
  EXPECT_NEAR(static_cast<double>(v.ScaleY), 477.0 / 100, 1e-12);
  EXPECT_NEAR(static_cast<double>(v.ScaleX), 4.77 * 0.75 * 639 / 479, 1e-12);
  // The drawing stays anchored at the lower left of the viewport.
  EXPECT_EQ(f.window.ScreenX(0), 1);
  EXPECT_EQ(f.window.ScreenY(0), 478);
}

TEST(MappingTest, FractionsOfTheWindow) {
  WindowFixture f(1000, 800);
  f.window.SetWindow(true, true, 0.1L, 0.05L, 0.95L, 0.95L, 0, 0, 36.9L, 32);
  // vx1 = nint(100) + 1, vy1 = nint(0.05 * 800) + 1, vx2 = nint(950) - 1, vy2 = nint(760) - 1
  EXPECT_EQ(f.window.view().ViewPort, (PixelRect{101, 41, 949, 759}));
  f.window.SetWindow(false, false, 0, 0, 1, 0.95L, 0, 0, 1, 1);
  EXPECT_EQ(f.window.view().ViewPort, (PixelRect{0, 40, 1000, 800}));
}

TEST(MappingTest, EmptyWorldWindowSetsErrorFlagAndKeepsScales) {
  WindowFixture f;
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 100, 50);
  const ViewState before = f.window.view();
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 0, 50);
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_EQ(f.window.list().Count(), 2u);  // the record is appended all the same
  EXPECT_EQ(f.window.view().ScaleX, before.ScaleX);
  EXPECT_EQ(f.window.view().ZoomWindow, before.ZoomWindow);
  f.program.ErrorFlag = false;
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, NAN, 10, 50);
  EXPECT_TRUE(f.program.ErrorFlag);
}

TEST(MappingTest, SetScaleZoomsLinearlyAndIgnoresEmptyRectangles) {
  WindowFixture f;
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 639, 479);
  f.window.SetScale(100, 200, 300, 400);
  const ViewState& v = f.window.view();
  EXPECT_EQ(v.ZoomRect, (PixelRect{100, 200, 300, 400}));
  // y of the zoom rectangle counts upward from vy1: 200 is 200 units above the bottom.
  EXPECT_NEAR(static_cast<double>(v.ZoomWindow.x1), 100, 1e-12);
  EXPECT_NEAR(static_cast<double>(v.ZoomWindow.y1), 200, 1e-12);
  EXPECT_NEAR(static_cast<double>(v.ZoomWindow.x2), 300, 1e-12);
  EXPECT_NEAR(static_cast<double>(v.ZoomWindow.y2), 400, 1e-12);
  EXPECT_NEAR(static_cast<double>(v.ScaleX), 639.0 / 200, 1e-15);
  f.window.SetScale(5, 5, 5, 50);
  f.window.SetScale(5, 5, 50, 5);
  EXPECT_EQ(v.ZoomRect, (PixelRect{100, 200, 300, 400}));
  f.window.ResetZoom();
  EXPECT_EQ(v.ZoomRect, (PixelRect{0, 0, 639, 479}));
}

TEST(MappingTest, HeaderStartsADrawing) {
  WindowFixture f;
  // The first Header after start sees the unit world window: MouseAspect = W / H.
  f.window.Header(0, 0, 200, 100);
  EXPECT_NEAR(static_cast<double>(f.window.view().MouseAspect), 639.0 / 479, 1e-15);
  EXPECT_EQ(f.window.view().SavedLimit, (WorldRect{0, 0, 200, 100}));
  EXPECT_TRUE(f.window.view().KeepAspect);
  EXPECT_EQ(f.window.view().ViewPort, (PixelRect{1, 1, 638, 478}));
  // The window fields start at zero, so the solid line style is not recorded before the first
  // repaint.
  EXPECT_EQ(f.Records(), (std::vector<std::string>{"10;1;1;638;478;0;0;200;100"}));
  // The next Header takes the aspect from the window in force, the drawing's.
  f.window.Header(0, 0, 10, 10);
  EXPECT_NEAR(static_cast<double>(f.window.view().MouseAspect),
              639 * 0.75 / 479 * (640.0 / 200) / (480.0 / 100), 1e-15);
}

TEST(MappingTest, LimitsAndResets) {
  WindowFixture f;
  f.window.Header(-5, -5, 5, 5);
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 1, 1);
  f.window.RestoreLimit();
  EXPECT_EQ(f.window.view().WorldWindow, (WorldRect{-5, -5, 5, 5}));
  f.window.SetScale(10, 10, 20, 20);
  f.window.ReSetWindow();
  EXPECT_EQ(f.window.view().WorldWindow, (WorldRect{0, 0, 1, 1}));
  EXPECT_FALSE(f.window.view().KeepAspect);
  EXPECT_EQ(f.window.view().ZoomRect, (PixelRect{0, 0, 639, 479}));
  EXPECT_EQ(f.Records().back(), "10;0;0;639;479;0;0;1;1");
  f.window.SaveViewPort();
  f.window.SetWindow(false, true, 0, 0, 1, 1, 0, 0, 1, 1);
  f.window.RetrieveViewPort();
  EXPECT_EQ(f.window.view().ViewPort, (PixelRect{0, 0, 639, 479}));
  EXPECT_NEAR(static_cast<double>(f.window.EinX(0.5L)), 0.5, 1e-18);
}

TEST(MappingTest, ClearAndClearViewPortAskForARepaint) {
  WindowFixture f;
  f.window.line(0, 0, 1, 1);
  f.window.Clear();
  EXPECT_TRUE(f.window.list().Empty());
  f.window.ClearViewPort();
  EXPECT_EQ(f.host.log, (std::vector<std::string>{"Invalidate", "Cursor(wait)", "Invalidate"}));
}

TEST(MappingTest, PrinterTransforms) {
  WindowFixture f;
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 639, 479);
  PrintPage page{4800, 6800, 0, 0, 1.0L, 1.0L};
  // Scale 1 and origin 0: the window fills the page; the lower left corner lands on the page's
  // lower left corner.
  EXPECT_EQ(f.window.PrinterX(0, page), 0);
  EXPECT_EQ(f.window.PrinterY(0, page), 6800);
  EXPECT_EQ(f.window.PrinterX(639, page), 4800);
  EXPECT_EQ(f.window.PrinterY(479, page), 0);
  // The origin is converted with the width of an A4 page in both directions.
  page.ox = 21;
  page.oy = 42;
  EXPECT_EQ(f.window.PrinterX(0, page), 480);
  EXPECT_EQ(f.window.PrinterY(479, page), 960);
  page.sx = 0.5L;
  EXPECT_EQ(f.window.PrinterSizeX(639, page), 2400);
  EXPECT_EQ(f.window.PrinterSizeY(479, page), 6800);
}

TEST(MappingTest, TransformsStayInRangeForExtremeValues) {
  WindowFixture f;
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 1e-9L, 1e-9L);
  EXPECT_EQ(f.window.ScreenX(1e30L), 1 << 30);
  EXPECT_EQ(f.window.ScreenY(1e30L), 479 - (1 << 30));
  EXPECT_EQ(f.window.ScreenX(NAN), 0);
  WindowFixture empty(0, 0);
  empty.window.SetWindow(true, false, 0, 0, 1, 1, 0, 0, 10, 10);  // no pixels: scales stay
  EXPECT_EQ(empty.window.view().ScaleX, 1.0L);
}

}  // namespace
}  // namespace plotvue::testing
