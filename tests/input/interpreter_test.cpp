// The interpreter's run sequence, plotter state, scaling, pen selection, output parts and the
// call sequences of the convert and device sinks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "input/harness.h"

namespace plotvue::testing {
namespace {

TEST(Interpreter, PenUpMovesDrawNothing) {
  Harness h;
  EXPECT_EQ(Body(h.Convert("PA10,10;PD;PA20,20;")),
            (Log{"SelectPen(1)", "DrawLine(0.25,0.25,0.5,0.5)"}));
  EXPECT_EQ(Only(h.Convert("PD10,10,20,20;"), "DrawLine"),
            (Log{"DrawLine(0,0,0.25,0.25)", "DrawLine(0.25,0.25,0.5,0.5)"}));
  EXPECT_TRUE(Only(h.Convert("PD10;"), "DrawLine").empty());
  // PU with no parameters only changes the pen state.
  EXPECT_TRUE(Only(h.Convert("PD;PU;PA40,0;"), "DrawLine").empty());
}

TEST(Interpreter, RelativeMovesAccumulate) {
  Harness h;
  EXPECT_EQ(Only(h.Convert("PA40,40;PD;PR10,0,10,0;PA0,0;"), "DrawLine"),
            (Log{"DrawLine(1,1,1.25,1)", "DrawLine(1.25,1,1.5,1)", "DrawLine(1.5,1,0,0)"}));
}

TEST(Interpreter, PenWidthSelectsPenWhenTheOptionIsOn) {
  Harness h;
  h.program.settings.PenFromWidth = true;
  struct Case {
    const char* width;
    int pen;
  } cases[] = {{"0.35", 7}, {"0", 1}, {"1", 5}, {"-0.35", 14}, {"0.025", 1}, {"0.75", 1}};
  for (const Case& c : cases) {
    Log log = Only(h.Convert(std::string("PW") + c.width + ";PD;PA40,0;"), "SelectPen");
    ASSERT_EQ(log.size(), 1u) << c.width;
    EXPECT_EQ(log[0], "SelectPen(" + std::to_string(c.pen) + ")") << c.width;
  }
  h.program.settings.PenFromWidth = false;
  EXPECT_EQ(Only(h.Convert("PW0.35;PD;PA40,0;"), "SelectPen"), (Log{"SelectPen(1)"}));
}

TEST(Interpreter, UserScalingMapsTheWindowOntoP1P2) {
  Harness h;
  EXPECT_EQ(Only(h.Convert("SC0,100,0,100;PD;PA100,100;"), "DrawLine"),
            (Log{"DrawLine(0,0,196,131)"}));
  // Relative moves use the factors only.
  EXPECT_EQ(Only(h.Convert("SC0,100,0,100;PA50,50;PD;PR10,10;"), "DrawLine"),
            (Log{"DrawLine(98,65.5,117.6,78.6)"}));
  // SC; switches scaling off again.
  EXPECT_EQ(Only(h.Convert("SC0,100,0,100;SC;PD;PA40,0;"), "DrawLine"),
            (Log{"DrawLine(0,0,1,0)"}));
  // IP moves P1 and P2; SC then maps onto them.
  EXPECT_EQ(Only(h.Convert("IP400,400,800,800;SC0,1,0,1;PD;PA1,1;"), "DrawLine"),
            (Log{"DrawLine(0,0,20,20)"}));
  // IP with P1x = P2x falls back to P1 = (0, 0), P2 = paper size (403.5, 276).
  EXPECT_EQ(Only(h.Convert("IP1000,1000,1000,2000;SC0,1,0,1;PD;PA1,1;"), "DrawLine"),
            (Log{"DrawLine(0,0,403.5,276)"}));
  // IP; restores the paper size. PS with one parameter changes nothing; with two the second
  // is the last one, and the paper becomes square; a third parameter lets the second count.
  EXPECT_EQ(Only(h.Convert("PS8000;IP;SC0,1,0,1;PD;PA1,1;"), "DrawLine"),
            (Log{"DrawLine(0,0,403.5,276)"}));
  EXPECT_EQ(Only(h.Convert("PS8000,4000;IP;SC0,1,0,1;PD;PA1,1;"), "DrawLine"),
            (Log{"DrawLine(0,0,200,200)"}));
  EXPECT_EQ(Only(h.Convert("PS8000,4000,0;IP;SC0,1,0,1;PD;PA1,1;"), "DrawLine"),
            (Log{"DrawLine(0,0,200,100)"}));
  // Two parameters give P2 with P1 at the origin.
  EXPECT_EQ(Only(h.Convert("IP400,800;SC0,1,0,1;PD;PA1,1;"), "DrawLine"),
            (Log{"DrawLine(0,0,10,20)"}));
}

TEST(Interpreter, ScalingTypeAndEqualBounds) {
  Harness h;
  // Isotropic with the x range the larger: both ranges become the y range.
  EXPECT_EQ(Only(h.Convert("SC0,200,0,100,1;PD;PA100,100;"), "DrawLine"),
            (Log{"DrawLine(0,0,196,131)"}));
  // A type other than 1 leaves the window as given.
  EXPECT_EQ(Only(h.Convert("SC0,200,0,100,0;PD;PA200,100;"), "DrawLine"),
            (Log{"DrawLine(0,0,196,131)"}));
  // Equal bounds would divide by zero: the SC changes nothing.
  EXPECT_EQ(Only(h.Convert("SC0,100,0,100;SC5,5,0,10;PD;PA100,100;"), "DrawLine"),
            (Log{"DrawLine(0,0,196,131)"}));
  EXPECT_EQ(Only(h.Convert("SC5,5,0,10;PD;PA40,0;"), "DrawLine"), (Log{"DrawLine(0,0,1,0)"}));
}

TEST(Interpreter, StateResetsEachRunButPenWidthAndFactorsCarryOver) {
  Harness h;
  h.Convert("SC0,100,0,100;SP3;PW0.7;PD;PA10,10;");
  EXPECT_NEAR(static_cast<double>(h.program.carry.scFactorX), 1.96, 1e-12);
  EXPECT_NEAR(static_cast<double>(h.program.carry.penWidth), 0.7, 1e-15);
  // Next run: pen 1, pen up, absolute, scaling off, position (0, 0).
  EXPECT_EQ(Body(h.Convert("PA40,0;PD;PA80,0;")), (Log{"SelectPen(1)", "DrawLine(1,0,2,0)"}));
}

TEST(Interpreter, ConvertRunFrameAndTransform) {
  Harness h;
  h.program.settings.PlotScale = 2;
  h.program.settings.PlotOriginX = 5;
  h.program.settings.PlotOriginY = -1;
  h.program.settings.Rotate90 = 'J';
  EXPECT_EQ(h.Convert("SP2;PD;PA40,40;CI40;"),
            (Log{"BeginOutput(10,3) OUT", "OutRotate(90)", "SelectPen(2)", "DrawLine(5,-1,7,1)",
                 "SelectPen(2)", "OutCircle(7,1,2)", "EndOutput"}));
  // The pen table maps the HP-GL pen to the output pen.
  h.program.settings.PenNumber[2] = 9;
  EXPECT_EQ(Only(h.Convert("SP2;PD;PA40,40;"), "SelectPen"), (Log{"SelectPen(9)"}));
  // Convert runs count nothing.
  EXPECT_EQ(h.program.ElementCount, 0);
}

TEST(Interpreter, OutputPartsSplitAfterMaxFileElements) {
  Harness h;
  h.program.settings.MaxFileElements = 2;
  h.program.settings.PlotFile = "PLOT";
  Log log = h.Convert("PD;PA40,0;PA80,0;PA120,0;PA160,0;PA200,0;");
  EXPECT_EQ(Only(log, "BeginOutput"), (Log{"BeginOutput(10,3) PLOT", "BeginOutput(10,3) PLO1"}));
  EXPECT_EQ(log.size(), 2u + 2u + 3u * 2u + 2u * 2u + 2u);  // two frames, five segments
  EXPECT_EQ(log[8], "EndOutput");
  EXPECT_EQ(log[9], "BeginOutput(10,3) PLO1");
  EXPECT_EQ(h.program.settings.PlotFile, "PLO1");

  // Part names go on past 9; a command's elements are never divided.
  h.program.settings.MaxFileElements = 0;
  h.program.settings.PlotFile = "PLOT";
  std::string plot = "PD;";
  for (int i = 1; i <= 12; ++i) plot += "PA" + std::to_string(i * 40) + ",0,0,0;";
  log = Only(h.Convert(plot), "BeginOutput");
  ASSERT_EQ(log.size(), 12u);
  EXPECT_EQ(log[9], "BeginOutput(10,3) PLO9");
  EXPECT_EQ(log[10], "BeginOutput(10,3) PLO10");
  EXPECT_EQ(log[11], "BeginOutput(10,3) PLO11");

  // Only files are split.
  h.program.settings.PlotFile = "PLOT";
  h.program.settings.DeviceCode = 2;
  EXPECT_EQ(Only(h.Convert(plot), "BeginOutput").size(), 1u);
}

TEST(Interpreter, FailuresOfTheOutput) {
  Harness h;
  h.driver.failBegin = true;
  h.Convert("PD;PA40,0;");
  EXPECT_TRUE(h.program.ErrorFlag);
  EXPECT_TRUE(h.program.RunFailed);
  EXPECT_EQ(h.ui.errors, (Log{"Invalid filename"}));
  h.program.ErrorFlag = false;
  h.program.settings.DeviceCode = 2;
  h.Convert("PD;PA40,0;");
  EXPECT_EQ(h.ui.errors.back(), "device not ready");

  // A write failure stops the run after that element; the trailer is still written.
  Harness w;
  w.driver.failAfterLines = 0;
  Log log = w.Convert("PD;PA40,0,80,0,120,0;PA160,0;");
  EXPECT_EQ(Only(log, "DrawLine").size(), 1u);
  EXPECT_EQ(log.back(), "EndOutput");
  EXPECT_TRUE(w.program.RunFailed);
  EXPECT_FALSE(w.program.ErrorFlag);

  // A further part that cannot be opened ends the run; it is not closed.
  Harness part;
  part.program.settings.MaxFileElements = 1;
  part.driver.failBeginFrom = 1;
  Log parts = part.Convert("PD;PA40,0,80,0;PA120,0;PA160,0;");
  EXPECT_EQ(Only(parts, "BeginOutput").size(), 2u);
  EXPECT_EQ(Only(parts, "EndOutput").size(), 1u);
  EXPECT_EQ(Only(parts, "DrawLine").size(), 2u);
  EXPECT_TRUE(part.program.RunFailed);
  EXPECT_EQ(part.ui.errors, (Log{"Invalid filename"}));

  // A run does nothing while ErrorFlag is set.
  w.program.ErrorFlag = true;
  EXPECT_TRUE(w.Convert("PD;PA40,0;").empty());
}

TEST(Interpreter, ScreenAndPrintColours) {
  Harness h;
  // Screen: TurboColor of the pen's screen colour; pen 0 has no slot and uses colour 0.
  h.program.settings.ScreenPenColour[2] = 5;  // pen 3
  EXPECT_EQ(h.Screen("SP3;PD;PA40,0;SP0;PA80,0;SP1;PA120,0;"),
            (Log{"DevWaitCursor", "DevClearViewPort", "DevWaitCursor", "DevSetColor(9)",
                 "DevLine(0,0,1,0)", "DevSetColor(0)", "DevLine(1,0,2,0)", "DevSetColor(12)",
                 "DevLine(2,0,3,0)"}));
  EXPECT_EQ(h.program.ElementCount, 3);
  // Print: TurboColor of the pen itself.
  EXPECT_EQ(Only(h.Print("SP3;PD;PA40,0;SP9;PA0,0;"), "DevSetColor"),
            (Log{"DevSetColor(10)", "DevSetColor(9)"}));
}

// The walk-through of a small drawing: scan extents, then the screen run.
TEST(Interpreter, OpenShowsOneSegment) {
  char dir[] = "/tmp/plotvue-test-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string path = std::string(dir) + "/A.PLT";
  std::ofstream(path) << "IN;SP1;PU400,400;PD800,400;";

  Harness h;
  h.program.file = CurrentFile::FromPath(path);
  RunInterpreter(h.program, RunMode::Scan);
  EXPECT_FALSE(h.program.ErrorFlag);
  EXPECT_EQ(h.program.ElementCount, 1);
  EXPECT_EQ(h.program.extents.xmin, 10.0L);
  EXPECT_EQ(h.program.extents.ymin, 10.0L);
  EXPECT_EQ(h.program.extents.xmax, 20.0L);
  EXPECT_EQ(h.program.extents.ymax, 11.0L);
  RunInterpreter(h.program, RunMode::Screen, {nullptr, &h.device});
  EXPECT_EQ(Only(h.device.log, "Dev") .size(), 5u);
  EXPECT_EQ(h.device.log[3], "DevSetColor(12)");
  EXPECT_EQ(h.device.log[4], "DevLine(10,10,20,10)");
  EXPECT_TRUE(h.ui.errors.empty());

  // The output may not replace the file being read, whatever the names (the output name is
  // relative to the current directory); the same names in another directory are fine.
  h.program.settings.SyntaxCode = 1;  // extension "plt"
  std::string lower = std::string(dir) + "/A.plt";
  ASSERT_EQ(std::rename(path.c_str(), lower.c_str()), 0);
  h.program.file = CurrentFile::FromPath(lower);
  h.program.settings.PlotFile = std::string(dir) + "/../" + (std::strrchr(dir, '/') + 1) + "/A";
  RunInterpreter(h.program, RunMode::Convert, {&h.driver, nullptr});
  EXPECT_TRUE(h.program.ErrorFlag);
  EXPECT_EQ(h.ui.errors, (Log{"filename for source and destination must be different !"}));
  h.program.ErrorFlag = false;
  h.program.settings.PlotFile = "A";  // in the current directory, not the file's
  RunInterpreter(h.program, RunMode::Convert, {&h.driver, nullptr});
  EXPECT_FALSE(h.program.ErrorFlag);
  EXPECT_EQ(h.ui.errors.size(), 1u);
  std::remove(lower.c_str());
  rmdir(dir);
}

TEST(Interpreter, MissingOrUnreadableFile) {
  Harness h;
  h.program.file = CurrentFile::FromPath("/nonexistent/dir/B.plt");
  RunInterpreter(h.program, RunMode::Scan);
  EXPECT_TRUE(h.program.ErrorFlag);
  EXPECT_EQ(h.ui.errors, (Log{"fichier /nonexistent/dir/B.plt introuvable ou accès impossible !",
                              "pas de fichier ouvert"}));
  // Other modes are silent about the file but still say that none is open.
  h.program.ErrorFlag = false;
  h.ui.errors.clear();
  RunInterpreter(h.program, RunMode::Screen, {nullptr, &h.device});
  EXPECT_EQ(h.ui.errors, (Log{"pas de fichier ouvert"}));
  // A directory is not a plot file.
  h.program.ErrorFlag = false;
  h.program.file = CurrentFile::FromPath("/tmp");
  RunInterpreter(h.program, RunMode::Scan);
  EXPECT_TRUE(h.program.ErrorFlag);
}

}  // namespace
}  // namespace plotvue::testing
