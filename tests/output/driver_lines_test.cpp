// Tests of pen moves and lines across the syntaxes: DrawLine, MoveTo and LineTo with their
// tolerances, PenUp and PenDown, SelectPen with pen numbers 0, 16 and above, OutVelocity, the
// HP-GL/2 Polyline Encoded output, the Postscript path restarts, the complete CNC example and
// elements with coordinates that are not finite.
#include <cmath>
#include <filesystem>
#include <limits>

#include "output/driver_harness.h"
#include "output/syntaxwriter.h"

namespace plotvue::testing {
namespace {

TEST(DriverLines, OneSegmentInEverySyntax) {
  struct Case {
    int syntax;
    std::string expected;  // what SelectPen(1) and DrawLine((10,10),(20,10)) write
  };
  const std::vector<Case> cases = {
      {1, "SP1;PA400,400;PD;PA800,400;"},
      {2, "D23I1G0D0X1000Y1000\r\nG1D1X2000Y1000\r\n"},
      {3, "SP1;\r\nPA2000,2000;\r\nPD;\r\nPA4000,2000;\r\n"},
      {4, "M06 T1\r\nG00 X10.000 Y10.000\r\nG01 Z-0.300\r\nG01 X20.000 Y10.000\r\n"},
      {5, Lines({"  0", "LINE", "  8", "0", " 10", "10.000000", " 20", "10.000000", " 11",
                 "20.000000", " 21", "10.000000"})},
      {6, "  T_SetColor(12);\r\n  T_Line(10,10,20,10);\r\n"},
      {7, "110,10.000,10.000,0.0,20.000,10.000,0.0;"},
      {8, "  T_SetColor(12);\r\n  T_Line(10,10,20,10);\r\n"},
      {9, "SP1;PE7<<?x?x?x_"},
      {10, "s\r\nn\r\n1 w\r\n0 0 m\r\n118 118 m\r\n236 118 l\r\n"},
      {11, "SP1;PW0.08;PA400,400;PD;PA800,400;"},
      {12,
       "T  N1000.00000 E01000.00000 06-DEC-26  9:05:07 -9999\r\n"
       "T  N1000.00000 E02000.00000 06-DEC-26  9:05:07 -9999\r\n"},
  };
  for (const Case& c : cases) {
    DriverHarness h;
    h.d().options.garmin.FileType = 2;
    std::string out = h.Run(c.syntax, [](PlotDriver& d) {
      d.SelectPen(1);
      d.DrawLine(10, 10, 20, 10);
    });
    EXPECT_NE(out.find(c.expected), std::string::npos) << "syntax " << c.syntax << ":\n" << out;
  }
}

TEST(DriverLines, PenUpBeforeTheMoveWhenThePenWasDown) {
  DriverHarness h;
  std::string out = h.Run(1, [](PlotDriver& d) {
    d.SelectPen(1);
    d.DrawLine(0, 0, 5, 0);
    d.DrawLine(10, 10, 20, 10);
  });
  EXPECT_NE(out.find("PA200,0;PU;PA400,400;PD;PA800,400;"), std::string::npos) << out;

  DriverHarness cnc;
  cnc.program.settings.WerkzeugAbstand = 2.0L;
  cnc.program.settings.Fraestiefe = 1.0L;
  out = cnc.Run(4, [](PlotDriver& d) {
    d.SelectPen(1);
    d.DrawLine(0, 0, 5, 0);
    d.DrawLine(10, 10, 20, 10);
  });
  EXPECT_NE(
      out.find(Lines({"G00 Z2.000", "G00 X10.000 Y10.000", "G01 Z-1.000", "G01 X20.000 Y10.000"})),
      std::string::npos)
      << out;
}

TEST(DriverLines, CompleteCncExample) {
  DriverHarness h;
  h.program.settings.PlotFile = "PLOT";
  h.program.settings.NcSyntax = 1;
  h.program.settings.Fraestiefe = 0.3L;
  h.program.settings.WerkzeugAbstand = 1.0L;
  auto old = std::filesystem::current_path();
  std::filesystem::current_path(h.folder.path);
  std::string out = h.Convert(4, "IN;SP1;PU400,400;PD800,400;");
  std::filesystem::current_path(old);
  EXPECT_EQ(out, Lines({"%PLOT", "", "G90", "G00 X0.000 Y0.000", "G00 Z100.000 S1000 M03 F500",
                        "M06 T1", "G00 X10.000 Y10.000", "G01 Z-0.300", "G01 X20.000 Y10.000",
                        "G00 Z1.000", "G00 X0.000 Y0.000", "M02"}));
  EXPECT_FALSE(h.program.RunFailed);
}

TEST(DriverLines, MoveToleranceAndExactLineTest) {
  DriverHarness h;
  std::string base = h.Run(1, [](PlotDriver& d) { d.DrawLine(10, 10, 20, 10); });
  std::string same = h.Run(1, [](PlotDriver& d) {
    d.DrawLine(10, 10, 20, 10);
    d.MoveTo(false, 20.000009L, 10.000009L);  // within 1e-5: nothing
  });
  EXPECT_EQ(same, base);
  std::string tiny = h.Run(1, [](PlotDriver& d) {
    d.DrawLine(10, 10, 20, 10);
    d.LineTo(false, 20.000000001L, 10);  // no tolerance for lines
    d.LineTo(false, 20.000000001L, 10);  // exactly the current point: nothing
  });
  EXPECT_NE(tiny.find("PA800,400;PA800,400;IW;"), std::string::npos) << tiny;
  std::string forced = h.Run(1, [](PlotDriver& d) {
    d.DrawLine(10, 10, 20, 10);
    d.MoveTo(true, 20, 10);
  });
  EXPECT_NE(forced.find("PA800,400;PU;PA800,400;IW;"), std::string::npos) << forced;
}

TEST(DriverLines, PenZeroSuppressesDrawingAndKeepsThePosition) {
  for (int syntax : {1, 4, 6, 9, 10}) {
    DriverHarness h;
    std::string withPenZero = h.Run(syntax, [](PlotDriver& d) {
      d.DrawLine(1, 1, 2, 2);
      d.SelectPen(0);
      d.DrawLine(5, 5, 6, 6);
      d.OutCircle(5, 5, 1);
      d.OutArc(5, 5, 0, 90, 1, 1);
      d.LabelAt("A", 5, 5);
      EXPECT_EQ(d.state.curX, 2.0L);
      EXPECT_EQ(d.state.curY, 2.0L);
      EXPECT_EQ(d.state.currentPen, 0);
    });
    std::string without = h.Run(syntax, [](PlotDriver& d) {
      d.DrawLine(1, 1, 2, 2);
      d.SelectPen(0);
    });
    EXPECT_EQ(withPenZero, without) << syntax;
  }
}

TEST(DriverLines, SelectPenNumbersAndSpeeds) {
  DriverHarness h;
  h.program.settings.PenSpeed[1] = 300;
  h.program.settings.PenSpeed[2] = 500;
  std::string out = h.Run(1, [](PlotDriver& d) {
    d.SelectPen(17);  // pen 1
    d.DrawLine(0, 0, 1, 0);
    d.SelectPen(1);   // the current pen: nothing, not even "PU;"
    d.SelectPen(32);  // pen 16: no entry in the speed table, no velocity
    d.SelectPen(2);
    d.SelectPen(2);
  });
  EXPECT_NE(out.find("VS50;SP1;VS30;PD;PA40,0;PU;SP16;SP2;VS50;IW;"), std::string::npos) << out;

  DriverHarness cnc;
  cnc.program.settings.PenSpeed[2] = 300;
  out = cnc.Run(4, [](PlotDriver& d) {
    d.SelectPen(1);
    d.SelectPen(2);
    d.SelectPen(1);
  });
  EXPECT_NE(
      out.find(Lines({"G00 Z100.000 S1000 M03 F500", "M06 T1", "M06 T2",
                      "G00 Z100.000 S1000 M03 F300", "M06 T1", "G00 Z100.000 S1000 M03 F500"})),
      std::string::npos)
      << out;
  // The other dialects.
  DriverHarness deckel;
  deckel.program.settings.NcSyntax = 3;
  deckel.program.settings.PenSpeed[2] = 300;
  out = deckel.Run(4, [](PlotDriver& d) { d.SelectPen(2); });
  EXPECT_NE(out.find(Lines({"G17 T2", "G00 Z100.000 S+1000 F300"})), std::string::npos) << out;
  DriverHarness sm;
  sm.program.settings.NcSyntax = 2;
  out = sm.Run(4, [](PlotDriver& d) { d.SelectPen(2); });
  EXPECT_EQ(out.find("T2"), std::string::npos) << out;
}

TEST(DriverLines, PolylineEncodedNumbers) {
  DriverHarness h;
  // Right after the reset: the run opens, "<" and two zero differences move the pen up, then
  // the pair of 1 mm (40 units) and 0 follows.
  std::string out = h.Run(9, [](PlotDriver& d) { d.DrawLine(0, 0, 1, 0); });
  EXPECT_NE(out.find("VS50;PE7<<__Oa_"), std::string::npos) << out;
  // A negative difference that rounds to 0 units keeps its sign bit.
  out = h.Run(9, [](PlotDriver& d) { d.DrawLine(0, 0, -0.001L, 0); });
  EXPECT_NE(out.find("PE7<<__`_"), std::string::npos) << out;
  // Big numbers take several digits, low-order first; -12.5 mm is 500 units, 1001.
  out = h.Run(9, [](PlotDriver& d) { d.DrawLine(0, 0, -12.5L, 1000.0L); });
  EXPECT_NE(out.find("PE7<<__H~?CMa"), std::string::npos) << out;
  // The run stays open across moves and lines and closes before a pen change.
  out = h.Run(9, [](PlotDriver& d) {
    d.DrawLine(0, 0, 1, 0);
    d.DrawLine(1, 0, 1, 1);
    d.SelectPen(2);
  });
  // (SelectPen lifts the pen first: "<" inside the run, then the run ends with "<;".)
  EXPECT_NE(out.find("PE7<<__Oa_<___Oa<<;SP2;"), std::string::npos) << out;
}

TEST(DriverLines, LineThatOpensTheEncodedRunIsDrawn) {
  DriverHarness h;
  std::string out = h.Run(9, [](PlotDriver& d) {
    d.SelectPen(1);
    d.LineTo(false, 1, 0);
  });
  // "PE7<" makes the next pair a move: a zero move takes it, and the line is drawn.
  EXPECT_NE(out.find("SP1;PD;PU;PE7<__Oa_"), std::string::npos) << out;
  std::vector<std::string> back = ReadBack(out);
  EXPECT_EQ(back, std::vector<std::string>{"DevLine(0,0,1,0)"});
}

TEST(DriverLines, PostscriptStrokesAfter240Segments) {
  DriverHarness h;
  std::string out = h.Run(10, [](PlotDriver& d) {
    d.SelectPen(1);
    d.MoveTo(false, 0, 0);
    for (int k = 1; k <= 300; ++k) d.LineTo(false, k, 0);
  });
  std::string body = Between(out, "1 w\r\n0 0 m\r\n", "0 0 m\r\ns\r\nshowpage");
  std::vector<std::string> lines;
  for (std::size_t a = 0, b; (b = body.find("\r\n", a)) != std::string::npos; a = b + 2) {
    lines.push_back(body.substr(a, b - a));
  }
  ASSERT_EQ(lines.size(), 300u + 3u);
  EXPECT_EQ(lines[240], P(241) + " 0 l");
  EXPECT_EQ(lines[241], "s");
  EXPECT_EQ(lines[242], "n");
  EXPECT_EQ(lines[243], P(241) + " 0 m");
  EXPECT_EQ(lines[244], P(242) + " 0 l");
}

TEST(DriverLines, LasercombAndAristoPenCommands) {
  DriverHarness h;
  std::string out = h.Run(3, [](PlotDriver& d) {
    d.SelectPen(2);
    d.DrawLine(1, 1, 2, 2);
    d.DrawLine(3, 3, 4, 4);
  });
  EXPECT_NE(out.find(Lines({"SP2;", "PA200,200;", "PD;", "PA400,400;", "PU;", "PA600,600;", "PD;",
                            "PA800,800;"})),
            std::string::npos)
      << out;
  DriverHarness sm;
  sm.program.settings.NcSyntax = 2;
  out = sm.Run(3, [](PlotDriver& d) { d.DrawLine(1.25L, 1, 2, 2); });
  EXPECT_EQ(out, Lines({"PA1.25,1;", "PD;", "PA2,2;", "PU;", "PA0,0;", "\x1b.)"}));
}

TEST(DriverLines, ElementsWithNumbersThatAreNotFiniteAreNotWritten) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double inf = std::numeric_limits<long double>::infinity();
  for (int syntax = 1; syntax <= 12; ++syntax) {
    DriverHarness h;
    h.d().options.garmin.FileType = 3;
    std::string plain = h.Run(syntax, [](PlotDriver& d) { d.SelectPen(1); });
    std::string out = h.Run(syntax, [&](PlotDriver& d) {
      d.SelectPen(1);
      d.DrawLine(nan, 0, 1, 1);
      d.DrawLine(0, 0, inf, 1);
      d.MoveTo(true, nan, nan);
      d.LineTo(true, 1, -inf);
      d.OutCircle(1, 1, inf);
      d.OutCircle(nan, 1, 1);
      d.OutArc(0, 0, nan, 90, 1, 1);
      d.OutArc(0, 0, 0, 90, inf, 1);
      d.OutTextStyle(0, nan, 1, 1);
      d.LabelAt("X", inf, 0);
      d.OutRotate(nan);
    });
    EXPECT_EQ(out, plain) << syntax;
  }
}

}  // namespace
}  // namespace plotvue::testing
