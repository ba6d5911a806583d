// Zoom and pan: the key table with its worked examples, keys outside the table, the rubber band,
// the resets by mouse, the wheel, Regen, and factors that would overflow or divide by zero.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/fakes.h"

namespace plotvue::testing {
namespace {

// A window whose viewport and zoom rectangle are (0, 0, w, h), world units one per pixel.
struct ZoomFixture : WindowFixture {
  ZoomFixture(std::uint16_t w = 600, std::uint16_t h = 400) : WindowFixture(w, h) {
    window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, w, h);
    host.log.clear();
  }
  PixelRect Zoom() const { return window.view().ZoomRect; }
};

TEST(ZoomTest, KeyTable) {
  struct Case {
    int key;
    PixelRect expected;
  };
  const std::vector<Case> cases = {
      {kVkAdd, {50, 34, 550, 366}},     {kVkSubtract, {-60, -40, 660, 440}},
      {kVkLeft, {60, 0, 660, 400}},     {kVkRight, {-60, 0, 540, 400}},
      {kVkUp, {0, -40, 600, 360}},      {kVkDown, {0, 40, 600, 440}},
      {kVkPageUp, {0, -200, 600, 200}}, {kVkPageDown, {0, 200, 600, 600}},
      {kVkEscape, {0, 0, 600, 400}},    {kVkF5, {0, 0, 600, 400}}};
  for (const Case& c : cases) {
    ZoomFixture f;
    f.window.processKey(c.key);
    EXPECT_EQ(f.Zoom(), c.expected) << c.key;
    EXPECT_EQ(f.host.log, (std::vector<std::string>{"Cursor(wait)", "Invalidate"})) << c.key;
  }
}

TEST(ZoomTest, KeysOutsideTheTableLeaveTheViewUnchanged) {
  ZoomFixture f;
  f.window.processKey(kVkAdd);
  const PixelRect after = f.Zoom();
  f.host.log.clear();
  for (int key : {16, 17, 65, 13, 0, 1000}) f.window.processKey(key);  // Shift, Ctrl, A, ...
  EXPECT_EQ(f.Zoom(), after);
  EXPECT_TRUE(f.host.log.empty());
  EXPECT_EQ(f.window.zoomInput().action, '+');
}

TEST(ZoomTest, PendingActionAtStartAndFromPrintingDoesNothing) {
  ZoomFixture f;
  EXPECT_EQ(f.window.zoomInput().action, '0');
  f.window.PerformPendingAction();
  EXPECT_EQ(f.Zoom(), (PixelRect{0, 0, 600, 400}));
  f.window.SetPendingAction(27, 0);
  f.window.PerformPendingAction();
  EXPECT_EQ(f.Zoom(), (PixelRect{0, 0, 600, 400}));
}

TEST(ZoomTest, RepeatedZoomStopsAtAnEmptyRectangle) {
  ZoomFixture f;
  for (int k = 0; k < 60; ++k) f.window.processKey(kVkAdd);
  const PixelRect z = f.Zoom();
  EXPECT_NE(z.x1, z.x2);
  EXPECT_NE(z.y1, z.y2);
  EXPECT_LE(z.x2 - z.x1, 3);
}

TEST(ZoomTest, FactorsThatWouldOverflowOrDivideByZeroAreIgnored) {
  ZoomFixture f;
  f.program.settings.Zoom = 0;
  f.window.processKey(kVkAdd);
  EXPECT_EQ(f.Zoom(), (PixelRect{0, 0, 600, 400}));
  f.program.settings.Zoom = 1e30L;
  f.window.processKey(kVkSubtract);
  EXPECT_EQ(f.Zoom(), (PixelRect{0, 0, 600, 400}));
  f.program.settings.Panorama = 1e12L;
  f.window.processKey(kVkLeft);
  EXPECT_EQ(f.Zoom(), (PixelRect{0, 0, 600, 400}));
  f.program.settings.Panorama = NAN;
  f.window.processKey(kVkUp);
  EXPECT_EQ(f.Zoom(), (PixelRect{0, 0, 600, 400}));
}

TEST(ZoomTest, RubberBandZoomsToTheDraggedRectangle) {
  ZoomFixture f(640, 480);
  f.window.FormMouseDown(MouseButton::Left, 100, 50);
  EXPECT_TRUE(f.window.FormMouseMove(60, 100));
  f.window.FormMouseUp(MouseButton::Left, 20, 150);
  EXPECT_EQ(f.Zoom(), (PixelRect{20, 330, 100, 430}));
  EXPECT_FALSE(f.window.zoomInput().rubberBandActive);
  EXPECT_EQ(f.host.log, (std::vector<std::string>{"Cursor(wait)", "Cursor(wait)", "Invalidate"}));
}

TEST(ZoomTest, ClickWithoutMovingChangesNothing) {
  ZoomFixture f(640, 480);
  f.window.FormMouseDown(MouseButton::Left, 100, 50);
  f.window.FormMouseUp(MouseButton::Left, 100, 50);
  f.window.FormMouseDown(MouseButton::Left, 100, 50);
  f.window.FormMouseUp(MouseButton::Left, 300, 50);  // same row: no zoom either
  EXPECT_EQ(f.Zoom(), (PixelRect{0, 0, 640, 480}));
  EXPECT_TRUE(f.host.log.empty());
  EXPECT_FALSE(f.window.FormMouseMove(1, 1));
}

TEST(ZoomTest, RubberBandIsDrawnReversibly) {
  ZoomFixture f(640, 480);
  RecordingCanvas now;
  f.host.immediate = &now;
  f.window.FormMouseDown(MouseButton::Left, 10, 10);
  f.window.FormMouseMove(20, 30);
  EXPECT_EQ(now.log,
            (std::vector<std::string>{
                "PenWidth(1)", "PenMode(invert)", "MoveTo(10,10)", "LineTo(10,10)", "LineTo(10,10)",
                "LineTo(10,10)", "LineTo(10,10)", "MoveTo(10,10)", "LineTo(20,10)", "LineTo(20,30)",
                "LineTo(10,30)", "LineTo(10,10)", "PenMode(copy)"}));
}

// The double-click reset returns to exactly the view the drawing was opened with (the window of
// Header, aspect kept), not to a stretched one.
TEST(ZoomTest, RightClickAndDoubleClickReset) {
  ZoomFixture f(639, 479);
  f.window.Header(0, 0, 200, 100);
  const ViewState opened = f.window.view();
  f.window.SetScale(100, 100, 200, 200);
  f.window.FormMouseDown(MouseButton::Right, 5, 5);
  EXPECT_EQ(f.Zoom(), f.window.view().ViewPort);
  f.window.SetScale(100, 100, 200, 200);
  const std::size_t before = f.window.list().Count();
  // A double click: the first click's press and release, then the double click and the second
  // press, which resets.
  f.window.FormMouseDown(MouseButton::Left, 5, 5);
  f.window.FormMouseUp(MouseButton::Left, 5, 5);
  f.window.FormDblClick();
  f.window.FormMouseDown(MouseButton::Left, 5, 5);
  f.window.FormMouseUp(MouseButton::Left, 5, 5);
  EXPECT_FALSE(f.window.zoomInput().doubleClickPending);
  EXPECT_FALSE(f.window.zoomInput().rubberBandActive);
  ASSERT_EQ(f.window.list().Count(), before + 1);
  EXPECT_EQ(f.window.list().Text(before), "10;1;1;638;478;0;0;200;100");
  const ViewState& reset = f.window.view();
  EXPECT_EQ(reset.ViewPort, opened.ViewPort);
  EXPECT_EQ(reset.WorldWindow, opened.WorldWindow);
  EXPECT_TRUE(reset.KeepAspect);
  EXPECT_EQ(reset.ZoomRect, opened.ZoomRect);
  EXPECT_EQ(reset.ZoomWindow, opened.ZoomWindow);
  EXPECT_EQ(reset.ScaleX, opened.ScaleX);
  EXPECT_EQ(reset.ScaleY, opened.ScaleY);
}

// With the aspect kept the drawing fills only part of the viewport; the band still selects what
// it enclosed on the screen.
TEST(ZoomTest, RubberBandWithAspectKeepsTheEnclosedPart) {
  for (const WorldRect& world : {WorldRect{0, 0, 400, 200}, WorldRect{0, 0, 100, 300}}) {
    WindowFixture f(1000, 700);
    f.window.Header(world.x1, world.y1, world.x2, world.y2);
    const ViewState& v = f.window.view();
    auto worldX = [&](int X) { return v.ZoomWindow.x1 + (X - v.ViewPort.x1) / v.ScaleX; };
    auto worldY = [&](int Y) { return v.ZoomWindow.y1 + (v.ViewPort.y2 - Y) / v.ScaleY; };
    const int px = 200, py = 500, X = 420, Y = 380;
    const long double left = worldX(px), right = worldX(X), bottom = worldY(py), top = worldY(Y);
    f.window.FormMouseDown(MouseButton::Left, px, py);
    f.window.FormMouseUp(MouseButton::Left, X, Y);
    // The band's lower left corner is now the viewport's lower left corner, and its upper right
    // corner lies inside the viewport, at its right or top edge.
    EXPECT_NEAR(f.window.ScreenX(left), v.ViewPort.x1, 1);
    EXPECT_NEAR(f.window.ScreenY(bottom), v.ViewPort.y2, 1);
    const int rx = f.window.ScreenX(right), ty = f.window.ScreenY(top);
    EXPECT_LE(rx, v.ViewPort.x2 + 1);
    EXPECT_GE(ty, v.ViewPort.y1 - 1);
    EXPECT_TRUE(std::abs(rx - v.ViewPort.x2) <= 1 || std::abs(ty - v.ViewPort.y1) <= 1);
  }
}

TEST(ZoomTest, WheelZoomKeepsThePointUnderTheMouse) {
  WindowFixture f(1000, 700);
  f.window.Header(0, 0, 400, 200);
  const ViewState& v = f.window.view();
  const int X = 300, Y = 400;
  const long double wx = v.ZoomWindow.x1 + (X - v.ViewPort.x1) / v.ScaleX;
  const long double wy = v.ZoomWindow.y1 + (v.ViewPort.y2 - Y) / v.ScaleY;
  const long double scale = v.ScaleX;
  f.window.WheelZoom(1, X, Y);
  EXPECT_NEAR(static_cast<double>(v.ScaleX / scale), 1.2, 0.01);
  EXPECT_NEAR(f.window.ScreenX(wx), X, 1);
  EXPECT_NEAR(f.window.ScreenY(wy), Y, 1);
  f.window.WheelZoom(-1, X, Y);
  EXPECT_NEAR(static_cast<double>(v.ScaleX / scale), 1.0, 0.01);
  f.program.settings.Zoom = 0;
  const PixelRect z = v.ZoomRect;
  f.window.WheelZoom(1, X, Y);
  EXPECT_EQ(v.ZoomRect, z);
}

TEST(ZoomTest, RegenShowsTheWholeDrawingUnzoomed) {
  WindowFixture f;
  f.window.Header(0, 0, 200, 100);
  f.window.SetScale(100, 100, 200, 200);
  const std::size_t before = f.window.list().Count();
  f.host.log.clear();
  f.window.Regen();
  EXPECT_EQ(f.Records().size(), before + 2);
  EXPECT_EQ(f.Records()[before], "10;1;1;638;478;0;0;200;100");
  EXPECT_EQ(f.Records()[before + 1], "10;1;1;638;478;0;0;1;1");
  EXPECT_EQ(f.window.view().ZoomRect, (PixelRect{1, 1, 638, 478}));
  EXPECT_EQ(f.host.log, (std::vector<std::string>{"Cursor(wait)", "Invalidate"}));
}

}  // namespace
}  // namespace plotvue::testing
