// The appending operations: their filters, the short-arc rule, AutoCAD colours, line style
// names and the logo.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/fakes.h"

namespace plotvue::testing {
namespace {

using Records = std::vector<std::string>;

TEST(PrimitivesTest, ColourFilter) {
  WindowFixture f;
  f.window.SetColor(5);
  f.window.SetColor(5);
  f.window.SetColor(17);  // above the highest colour number
  f.window.SetColor(16);
  f.window.SetColor(-1);  // appended; the replay changes no canvas for it
  f.window.SetColor(0);
  EXPECT_EQ(f.Records(), (Records{"8;5", "8;16", "8;-1", "8;0"}));
  EXPECT_EQ(f.window.GetColor(), 0);
  // After Clear the first colour is recorded even when it was the last one recorded, and so is
  // the first line style.
  f.window.Clear();
  f.window.SetColor(0);
  f.window.SetColor(0);
  f.window.SetLineStyle(0);
  EXPECT_EQ(f.Records(), (Records{"8;0", "11;0"}));
  // The window fields start at zero: colour 0 is current at start.
  WindowFixture fresh;
  fresh.window.SetColor(0);
  EXPECT_TRUE(fresh.window.list().Empty());
  fresh.window.SetColorAcad(1);  // red: colour 12
  EXPECT_EQ(fresh.Records(), (Records{"8;12"}));
}

TEST(PrimitivesTest, LineStyleAndWidthFiltersAfterARepaint) {
  WindowFixture f;
  f.window.SetLineStyle(0);  // current at start: nothing
  f.window.SetLineWidth(1);  // width 0 at start: recorded
  f.window.SetLineWidth(1);
  EXPECT_EQ(f.Records(), (Records{"12;1"}));
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  f.window.SetLineStyle(0);  // the replay set the current style to 99
  f.window.SetLineWidth(1);  // and the width to 1
  f.window.SetLineStyle(0);
  EXPECT_EQ(f.Records(), (Records{"12;1", "11;0"}));
  f.window.SetLineStyleName("DASHDOT");
  f.window.SetLineStyleName("dotted");  // case-sensitive: style 0
  EXPECT_EQ(f.Records(), (Records{"12;1", "11;0", "11;2", "11;0"}));
}

TEST(PrimitivesTest, LineStyleNames) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"DOTTED", 1},      {"PUNKT", 1},  {"CENTER", 2}, {"DASHDOT", 2},
      {"STRICHPUNKT", 2}, {"DASHED", 3}, {"HIDDEN", 3}, {"VERDECKT", 3},
      {"dotted", 0},      {"", 0},       {"SOLID", 0}};
  for (const auto& [name, style] : cases) EXPECT_EQ(LineStyleOfName(name), style) << name;
}

TEST(PrimitivesTest, GetColorTurbo) {
  const std::vector<std::pair<int, int>> cases = {{0, 0},   {1, 12}, {2, 14},  {3, 10}, {4, 11},
                                                  {5, 9},   {6, 13}, {7, 15},  {8, 1},  {15, 8},
                                                  {16, 12}, {31, 9}, {255, 9}, {17, 14}};
  for (const auto& [n, colour] : cases)
    EXPECT_EQ(GetColorTurbo(static_cast<std::uint8_t>(n)), colour) << n;
}

TEST(PrimitivesTest, QuarterArc) {
  WindowFixture f;
  f.window.Arc(0, 0, 0, 90, 10);
  DisplayList::Reader reader(f.window.list());
  Record r;
  ASSERT_TRUE(reader.Next(r));
  ASSERT_EQ(r.kind, RecordKind::RecArc);
  const double expected[8] = {-10, -10, 10, 10, 10, 0, 0, 10};
  for (int k = 0; k < 8; ++k) {
    if (k == 6) continue;
    EXPECT_EQ(r.v[k], expected[k]) << k;
  }
  // 10 cos 90 degrees is a tiny value, not zero.
  EXPECT_NE(r.v[6], 0.0);
  EXPECT_LT(std::fabs(r.v[6]), 1e-15);
}

// The sweep is the counter-clockwise way from a1 to a2 reduced into (0, 360]: below 4 degrees a
// chord, a full circle (equal angles or 360 apart) stays an arc whose ends meet.
TEST(PrimitivesTest, ShortArcsBecomeChordsAndFullCirclesStayWhole) {
  struct Case {
    long double a1, a2;
    RecordKind kind;
  };
  const std::vector<Case> cases = {
      {0, 3, RecordKind::RecLine},     {0, 3.9L, RecordKind::RecLine},
      {0, 4, RecordKind::RecArc},      {10, 370, RecordKind::RecArc},
      {45, 45, RecordKind::RecArc},    {0, 357, RecordKind::RecArc},
      {359, 1, RecordKind::RecLine},   {1, 359, RecordKind::RecArc},
      {-2, 1, RecordKind::RecLine},    {90, 450, RecordKind::RecArc},
      {720, 722, RecordKind::RecLine}, {180, 176.5L, RecordKind::RecArc}};
  for (const Case& c : cases) {
    WindowFixture f;
    f.window.Arc(5, 5, c.a1, c.a2, 2);
    EXPECT_EQ(f.window.list().At(0).kind, c.kind) << c.a1 << " " << c.a2;
  }
  // A full circle: start and end point are the same, which the canvas draws as a whole ellipse.
  WindowFixture f;
  f.window.Arc(0, 0, 30, 390, 10);
  const Record r = f.window.list().At(0);
  EXPECT_EQ(r.v[4], r.v[6]);
  EXPECT_EQ(r.v[5], r.v[7]);
  // The chord joins the arc's end points.
  WindowFixture g;
  g.window.Arc(0, 0, 0, 2, 10);
  EXPECT_EQ(g.Records(), (Records{"4;10;0;9.9939083;0.34899497"}));
}

TEST(PrimitivesTest, OtherRecords) {
  WindowFixture f;
  f.window.circle(1, 2, 3);
  f.window.line(10, 20, 30.5L, 40);
  f.window.OutTextXY("ab", 1, 2);
  f.window.Solid(0, 0, 1, 0, 1, 1, 0, 1);
  f.window.Rectangle(0, 0, 2, 1);
  f.window.SetTextStyle(2, 90, 3.5L, 2.8L);
  f.window.SleepMs(500);
  EXPECT_EQ(f.Records(),
            (Records{"3;1;2;3", "4;10;20;30.5;40", "6;1;2;ab", "7;0;0;1;0;1;1;0;1", "4;0;0;2;0",
                     "4;2;0;2;1", "4;2;1;0;1", "4;0;1;0;0", "9;3.5;2.8;2;90", "13;500"}));
}

TEST(PrimitivesTest, GetDirection) {
  const std::vector<std::pair<long double, bool>> cases = {
      {0, false},  {45, false},  {46, true},  {90, true},    {135, false}, {180, false},
      {270, true}, {315, false}, {-90, true}, {-135, false}, {-45, false}, {-200, false}};
  for (const auto& [a, steep] : cases) EXPECT_EQ(GraphicsWindow::GetDirection(a), steep) << a;
}

TEST(PrimitivesTest, ImmediateDrawingGoesToTheWindowOnly) {
  WindowFixture f;
  RecordingCanvas now;
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 639, 479);
  f.window.MoveTo(0, 0);
  f.window.LineTo(10, 10);  // no surface for drawing at once: nothing happens
  f.host.immediate = &now;
  f.window.MoveTo(0, 0);
  f.window.LineTo(10, 10);
  f.window.DrawRectangle(1, 2, 3, 4);
  EXPECT_EQ(now.log, (Records{"MoveTo(0,479)", "LineTo(10,469)", "MoveTo(1,2)", "LineTo(3,2)",
                              "LineTo(3,4)", "LineTo(1,4)", "LineTo(1,2)"}));
  EXPECT_EQ(f.window.list().Count(), 1u);  // only the window record
}

TEST(PrimitivesTest, LogoBeginsWithItsHeaderAndUsesFilledShapes) {
  WindowFixture f;
  f.window.DrawTavolinLogo();
  const Records records = f.Records();
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front(), "10;1;1;638;478;0;0;36.9;32");
  int solids = 0;
  for (const auto& r : records) solids += r.rfind("7;", 0) == 0;
  EXPECT_GE(solids, 8);
}

}  // namespace
}  // namespace plotvue::testing
