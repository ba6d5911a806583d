// The replay of the display list onto a recording canvas: where records land, the window record
// rules, colours and texts, printing, message points, and culling that leaves the picture as it
// is.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "graphics/fakes.h"

namespace plotvue::testing {
namespace {

using Log = std::vector<std::string>;

// A window of 640 x 480 pixels showing the world (0, 0)-(100, 50) without aspect.
struct ReplayFixture : WindowFixture {
  ReplayFixture() {
    window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 100, 50);
    host.log.clear();
  }
  std::string LineAt(long double x1, long double y1, long double x2, long double y2) const {
    return "Line(" + std::to_string(window.ScreenX(x1)) + "," + std::to_string(window.ScreenY(y1)) +
           "," + std::to_string(window.ScreenX(x2)) + "," + std::to_string(window.ScreenY(y2)) +
           ")";
  }
};

TEST(ReplayTest, EmptyListDrawsNothing) {
  ReplayFixture f;
  f.window.list().Clear();
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  EXPECT_EQ(canvas.log, (Log{"PenWidth(1)"}));
  EXPECT_EQ(f.host.log, (Log{"Cursor(wait)", "Cursor(default)"}));
}

TEST(ReplayTest, LineLandsWhereTheTransformsSay) {
  ReplayFixture f;
  f.Load({"10;0;0;639;479;0;0;100;50", "4;10;20;30.5;40"});
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  // 10 * 6.39 = 63.9 -> 64; 479 - nint(20 * 9.58) = 287; 30.5 * 6.39 = 194.895 -> 195; 479 - 383.
  EXPECT_EQ(canvas.Only("Line"), (Log{"Line(64,287,195,96)"}));
}

// The replay takes line ends to pixels by its own quick rounding: it must agree with ScreenX and
// ScreenY, ties to even included.
TEST(ReplayTest, LineEndsRoundLikeTheTransforms) {
  WindowFixture f;
  f.window.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 639, 479);  // one pixel per unit
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> any(-50, 700);
  std::vector<std::pair<double, double>> points;
  for (int k = -20; k < 700; ++k) points.emplace_back(k + 0.5, 700 - k - 0.5);
  for (int k = 0; k < 2000; ++k) points.emplace_back(any(rng), any(rng));
  f.window.list().Clear();
  for (std::size_t k = 0; k + 1 < points.size(); ++k)
    f.window.line(points[k].first, points[k].second, points[k + 1].first, points[k + 1].second);
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  const Log lines = canvas.Only("Line");
  ASSERT_EQ(lines.size(), points.size() - 1);
  for (std::size_t k = 0; k + 1 < points.size(); ++k) {
    const auto [x1, y1] = points[k];
    const auto [x2, y2] = points[k + 1];
    ASSERT_EQ(lines[k], "Line(" + std::to_string(f.window.ScreenX(x1)) + "," +
                            std::to_string(f.window.ScreenY(y1)) + "," +
                            std::to_string(f.window.ScreenX(x2)) + "," +
                            std::to_string(f.window.ScreenY(y2)) + ")")
        << k;
  }
  EXPECT_EQ(f.window.ScreenX(0.5), 0);  // ties go to the even neighbour
  EXPECT_EQ(f.window.ScreenX(1.5), 2);
}

TEST(ReplayTest, WindowRecordKeepsTheUsersZoom) {
  ReplayFixture f;
  f.Load({"10;0;0;639;479;0;0;100;50", "4;10;20;30.5;40"});
  f.window.SetScale(100, 100, 300, 300);
  const ViewState zoomed = f.window.view();
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  EXPECT_EQ(f.window.view().ZoomRect, (PixelRect{100, 100, 300, 300}));
  EXPECT_EQ(f.window.view().ScaleX, zoomed.ScaleX);
  EXPECT_EQ(canvas.Only("Line"), (Log{f.LineAt(10, 20, 30.5L, 40)}));
  // A record with another viewport and world window maps the same zoom rectangle onto them.
  f.Load({"10;0;0;639;479;0;0;200;100", "4;10;20;30.5;40"});
  RecordingCanvas second;
  f.window.FormPaint(second);
  EXPECT_EQ(f.window.view().ZoomWindow.x2, 300.0L / 639 * 200);
  EXPECT_EQ(second.Only("Line"), (Log{f.LineAt(10, 20, 30.5L, 40)}));
}

TEST(ReplayTest, EmptyWindowEndsTheReplay) {
  ReplayFixture f;
  f.Load({"4;1;1;2;2", "10;0;0;639;479;0;0;0;50", "4;10;20;30.5;40", "8;3"});
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  EXPECT_EQ(canvas.Only("Line").size(), 1u);
  EXPECT_TRUE(canvas.Only("Pen(").empty());
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_EQ(f.host.log.back(), "Cursor(default)");
}

TEST(ReplayTest, UnknownKindsAreSkipped) {
  ReplayFixture f;
  f.Load({"abc;1;2", "14;1;2;3;4", "0;1", "-4;1;2;3;4", "4;10;20;30.5;40"});
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  EXPECT_EQ(canvas.log, (Log{"PenWidth(1)", "Line(64,287,195,96)"}));
}

TEST(ReplayTest, ColourRecordsInColourAndMonochromeMode) {
  ReplayFixture f;
  f.program.settings.BackgroundColour = 0x102030;  // blue 0x10, green 0x20, red 0x30
  f.Load({"8;4", "8;0", "8;17", "8;-2", "8;16"});
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  EXPECT_EQ(canvas.log, (Log{"PenWidth(1)", "Pen(255,0,0)", "Brush(255,0,0)", "TextColour(255,0,0)",
                             "Pen(48,32,16)", "Brush(48,32,16)", "TextColour(48,32,16)",
                             "Pen(0,0,0)", "Brush(0,0,0)", "TextColour(0,0,0)"}));
  f.program.settings.ColourGraphics = false;
  RecordingCanvas mono;
  f.window.FormPaint(mono);
  EXPECT_EQ(mono.log[1], "Pen(0,0,0)");
  EXPECT_EQ(mono.log[2], "Brush(48,32,16)");
  EXPECT_EQ(mono.log[3], "TextColour(0,0,0)");
}

TEST(ReplayTest, TextReferencePointFontAndColour) {
  ReplayFixture f;
  f.Load({"8;4", "9;2.5;2;2;90", "6;10;20;ab", "9;2.5;2;2;0", "6;10;20;cd"});
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  // Height 2.5 * 1.6 = 4 mm; width 2 * 1.1 * 0.8 = 1.76 mm.
  const long double h = 4.0L;
  const std::string size = ",h" + std::to_string(f.window.ScreenSizeY(h)) + ",w" +
                           std::to_string(f.window.ScreenSizeX(1.76L));
  const Log texts = canvas.Only("TextOut");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "TextOut(" + std::to_string(f.window.ScreenX(10 - 0.7L * h)) + "," +
                          std::to_string(f.window.ScreenY(20)) + size + ",e900,wt100,Arial,ab)");
  EXPECT_EQ(texts[1], "TextOut(" + std::to_string(f.window.ScreenX(10)) + "," +
                          std::to_string(f.window.ScreenY(20 + 0.75L * h)) + size +
                          ",e0,wt100,Arial,cd)");
  // Each text sets the colour of its colour number again.
  EXPECT_EQ(canvas.Only("TextColour"),
            (Log{"TextColour(255,0,0)", "TextColour(255,0,0)", "TextColour(255,0,0)"}));
}

TEST(ReplayTest, TextColourRules) {
  struct Case {
    std::string colour;
    bool colourMode;
    Log expected;  // the colour calls up to the text
  };
  const std::vector<Case> cases = {
      // Colour 0: the background colour (1 is a red of 1).
      {"8;0", true, {"TextColour(1,0,0)", "TextColour(1,0,0)"}},
      {"8;9", true, {"TextColour(0,0,255)", "TextColour(0,0,255)"}},
      {"8;9", false, {"TextColour(0,0,0)", "TextColour(0,0,0)"}},
      // 16 is black for pen and brush, but a text keeps the colour it has.
      {"8;16", true, {"TextColour(0,0,0)"}},
      // Outside 0..16: no canvas changes, and the text keeps its colour.
      {"8;20", true, {}}};
  for (const Case& c : cases) {
    ReplayFixture f;
    f.program.settings.ColourGraphics = c.colourMode;
    f.Load({c.colour, "6;1;1;x"});
    RecordingCanvas canvas;
    f.window.FormPaint(canvas);
    EXPECT_EQ(canvas.Only("TextColour"), c.expected) << c.colour;
    EXPECT_EQ(canvas.Only("TextOut").size(), 1u);
  }
}

TEST(ReplayTest, FontStyleBits) {
  ReplayFixture f;
  f.window.FontStyle = 1 | 4;
  f.program.settings.ScreenTextFont = "Serif";
  f.Load({"6;1;1;x"});
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  EXPECT_NE(canvas.Only("TextOut")[0].find(",wt700,u,Serif,x)"), std::string::npos);
}

TEST(ReplayTest, SolidCircleArcAndStyles) {
  ReplayFixture f;
  f.program.settings.ColourGraphics = false;
  f.Load({"8;4", "7;0;0;10;0;10;10;0;10", "3;50;25;5", "5;-10;-10;10;10;10;0;0;10", "11;3", "11;7",
          "12;2", "13;500"});
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  const auto X = [&](long double x) { return std::to_string(f.window.ScreenX(x)); };
  const auto Y = [&](long double y) { return std::to_string(f.window.ScreenY(y)); };
  EXPECT_EQ(
      canvas.log,
      (Log{"PenWidth(1)", "Pen(0,0,0)", "Brush(1,0,0)", "TextColour(0,0,0)", "BrushStyle(solid)",
           "Brush(0,0,0)",
           "Polygon(" + X(0) + "," + Y(0) + "," + X(10) + "," + Y(0) + "," + X(10) + "," + Y(10) +
               "," + X(0) + "," + Y(10) + ")",
           "BrushStyle(clear)", "Ellipse(" + X(45) + "," + Y(20) + "," + X(55) + "," + Y(30) + ")",
           "Arc(" + X(-10) + "," + Y(-10) + "," + X(10) + "," + Y(10) + "," + X(10) + "," + Y(0) +
               "," + X(0) + "," + Y(10) + ")",
           "PenStyle(3)", "PenMode(copy)", "PenStyle(0)", "PenMode(copy)", "PenWidth(2)"}));
  EXPECT_EQ(f.host.log, (Log{"Cursor(wait)", "Sleep(500)", "Cursor(default)"}));
}

TEST(ReplayTest, PrintingMirrorsOntoThePrinter) {
  ReplayFixture f;
  f.program.settings.ScreendumpBorder = true;
  f.program.settings.WindowsPrintMode = 2;
  f.Load({"8;4", "4;0;0;100;50", "12;2", "6;1;1;t", "13;500"});
  PrintPage page{639, 479, 0, 0, 1, 1};  // one printer pixel per window pixel
  RecordingCanvas window, printer;
  // Without PrintMirror the printer gets nothing, the border included.
  f.window.FormPaint(window, &printer, &page);
  EXPECT_TRUE(printer.log.empty());
  f.window.SetPrintMirror(true);
  window.log.clear();
  f.host.log.clear();
  f.window.FormPaint(window, &printer, &page);
  EXPECT_EQ(printer.log,
            (Log{"PenWidth(1)", "Pen(0,255,255)", "MoveTo(0,479)", "LineTo(0,0)", "LineTo(639,0)",
                 "LineTo(639,479)", "LineTo(0,479)", "Pen(255,0,0)", "Brush(255,0,0)",
                 "TextColour(255,0,0)", "Line(0,479,639,0)", "PenWidth(8)", "TextColour(255,0,0)",
                 "TextOut(6,444,h34,w22,e0,wt100,Arial,t)"}));
  // The window gets the drawing but not the text, and nothing waits.
  EXPECT_TRUE(window.Only("TextOut").empty());
  EXPECT_EQ(window.Only("Line"), (Log{"Line(0,479,639,0)"}));
  EXPECT_EQ(f.host.log, (Log{"Cursor(wait)", "Cursor(default)"}));
}

TEST(ReplayTest, MovesAndDrawsKeepTheCurrentPositionAcrossCulledLines) {
  ReplayFixture f;
  f.Load({"1;0;0", "2;10;10", "4;-900;-900;-800;-800", "2;10;10"});
  RecordingCanvas canvas(640, 480);
  f.window.FormPaint(canvas);
  EXPECT_EQ(canvas.log, (Log{"PenWidth(1)", "MoveTo(0,479)", "LineTo(64,383)",
                             "MoveTo(" + std::to_string(f.window.ScreenX(-800)) + "," +
                                 std::to_string(f.window.ScreenY(-800)) + ")",
                             "LineTo(64,383)"}));
}

TEST(ReplayTest, MessagesEveryFiftyThousandRecordsAndANewListEndsTheReplay) {
  ReplayFixture f;
  f.window.list().Clear();
  for (int k = 0; k < 120001; ++k) f.window.line(1, 1, 2, 2);
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  EXPECT_EQ(f.host.messagePoints, 3);  // before records 0, 50000 and 100000
  EXPECT_EQ(canvas.Only("Line").size(), 120001u);
  // A zoom made at a message point applies to the rest of the replay.
  f.host.messagePoints = 0;
  f.host.onMessages = [&] {
    if (f.host.messagePoints == 2) f.window.SetScale(0, 0, 319, 239);
  };
  RecordingCanvas zoomed;
  f.window.FormPaint(zoomed);
  EXPECT_EQ(zoomed.log[50000], "Line(6,469,13,460)");
  EXPECT_EQ(zoomed.log[50001], "Line(13,460,26,441)");
  // Clear at a message point ends it.
  f.host.messagePoints = 0;
  f.host.onMessages = [&] {
    if (f.host.messagePoints == 2) f.window.Clear();
  };
  RecordingCanvas cleared;
  f.window.FormPaint(cleared);
  EXPECT_EQ(cleared.Only("Line").size(), 50000u);
}

// A pixel of the canvas that a line could touch, with the pen width taken generously.
bool Touches(int x1, int y1, int x2, int y2, int w, int h, int pen) {
  const int m = pen + 1;
  return !((x1 < -m && x2 < -m) || (x1 >= w + m && x2 >= w + m) || (y1 < -m && y2 < -m) ||
           (y1 >= h + m && y2 >= h + m));
}

TEST(ReplayTest, CullingLeavesOutOnlyWhatCannotShow) {
  ReplayFixture f;
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> coord(-300, 400);
  std::uniform_real_distribution<double> step(-40, 40);
  std::vector<std::string> records = {"10;0;0;639;479;0;0;100;50", "12;3"};
  for (int k = 0; k < 4000; ++k) {
    const double x = coord(rng), y = coord(rng);
    records.push_back("4;" + std::to_string(x) + ";" + std::to_string(y) + ";" +
                      std::to_string(x + step(rng)) + ";" + std::to_string(y + step(rng)));
    if (k % 10 == 0)
      records.push_back("3;" + std::to_string(x) + ";" + std::to_string(y) + ";" +
                        std::to_string(std::fabs(step(rng))));
  }
  f.Load(records);
  f.window.SetScale(50, 60, 400, 300);  // zoomed in, so most of the drawing lies outside
  RecordingCanvas all, culled(640, 480);
  f.window.FormPaint(all, nullptr, nullptr, GraphicsWindow::ReplayOptions{false});
  f.window.FormPaint(culled);
  std::multiset<std::string> kept(culled.log.begin(), culled.log.end());
  int skipped = 0;
  for (const std::string& entry : all.log) {
    auto it = kept.find(entry);
    if (it != kept.end()) {
      kept.erase(it);
      continue;
    }
    ++skipped;
    int x1, y1, x2, y2;
    if (std::sscanf(entry.c_str(), "Line(%d,%d,%d,%d)", &x1, &y1, &x2, &y2) == 4 ||
        std::sscanf(entry.c_str(), "Ellipse(%d,%d,%d,%d)", &x1, &y1, &x2, &y2) == 4) {
      EXPECT_FALSE(Touches(x1, y1, x2, y2, 640, 480, 3)) << entry;
    } else {
      ADD_FAILURE() << "skipped " << entry;
    }
  }
  EXPECT_GT(skipped, 2000);
  EXPECT_TRUE(kept.empty());
}

TEST(ReplayTest, ValuesThatAreNotNumbersDrawNothing) {
  ReplayFixture f;
  f.window.list().Clear();
  f.window.line(NAN, 1, 2, 3);
  f.window.line(1, 1, INFINITY, 3);
  f.window.circle(NAN, 1, 2);
  f.window.Solid(0, 0, 1, NAN, 1, 1, 0, 1);
  f.window.OutTextXY("t", NAN, 1);
  f.window.Arc(0, 0, NAN, 90, 10);
  f.window.line(1, 1, 2, 2);
  for (int size : {0, 640}) {
    RecordingCanvas canvas(size, size);
    f.window.FormPaint(canvas);
    EXPECT_EQ(canvas.Only("Line"), (Log{"Line(6,469,13,460)"}));
    EXPECT_TRUE(canvas.Only("Ellipse").empty());
    EXPECT_TRUE(canvas.Only("Polygon").empty());
    EXPECT_TRUE(canvas.Only("TextOut").empty());
    EXPECT_TRUE(canvas.Only("Arc").empty());
  }
}

TEST(ReplayTest, CirclesAroundTheWholeViewAreSkipped) {
  ReplayFixture f;
  f.Load({"3;50;25;1000", "3;50;25;20", "3;150;25;60"});
  RecordingCanvas canvas(640, 480);
  f.window.FormPaint(canvas);
  EXPECT_EQ(canvas.Only("Ellipse").size(), 2u);
}

TEST(ReplayTest, HugeCoordinatesAreClippedOnTheSameLine) {
  ReplayFixture f;
  f.Load({"4;-1e12;25;1e12;25", "4;50;-1e15;50;1e15", "3;0;-1e9;1e9"});
  RecordingCanvas canvas;
  f.window.FormPaint(canvas);
  const Log lines = canvas.Only("Line");
  ASSERT_GE(lines.size(), 2u);
  int x1, y1, x2, y2;
  ASSERT_EQ(std::sscanf(lines[0].c_str(), "Line(%d,%d,%d,%d)", &x1, &y1, &x2, &y2), 4);
  EXPECT_EQ(y1, f.window.ScreenY(25));
  EXPECT_EQ(y2, f.window.ScreenY(25));
  EXPECT_LT(x1, -1000000);
  EXPECT_GT(x2, 1000000);
  ASSERT_EQ(std::sscanf(lines[1].c_str(), "Line(%d,%d,%d,%d)", &x1, &y1, &x2, &y2), 4);
  EXPECT_EQ(x1, f.window.ScreenX(50));
  EXPECT_EQ(x2, f.window.ScreenX(50));
  // The circle of a thousand kilometres is drawn as chords; near the view they follow it.
  EXPECT_TRUE(canvas.Only("Ellipse").empty());
  EXPECT_GT(lines.size(), 100u);
}

}  // namespace
}  // namespace plotvue::testing
