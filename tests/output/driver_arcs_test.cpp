// Tests of OutCircle and OutArc across the syntaxes: the whole-degree pieces of HP-GL, short
// arcs, full circles given as arcs, the CNC dialects and the hole dialect, the direction of
// Aristo and CNC arcs, and arcs whose radius is 0 or negative.
#include <cmath>
#include <regex>

#include "output/driver_harness.h"
#include "output/syntaxwriter.h"

namespace plotvue::testing {
namespace {

// What `body` writes between the header and the trailer's window reset of an HP-GL output.
std::string HpglBody(int syntax, const std::function<void(PlotDriver&)>& body) {
  DriverHarness h;
  std::string out = h.Run(syntax, body);
  const std::string head = syntax == 9    ? "VS50;"
                           : syntax == 11 ? "DF;SD1,341;"
                                          : "DF;SD1,341;VS50;";
  return Between(out, head, "IW;");
}

TEST(DriverArcs, HpglShortArcIsOneStraightPiece) {
  std::string out = HpglBody(1, [](PlotDriver& d) { d.OutArc(0, 0, 10, 11.5L, 10, 1); });
  EXPECT_EQ(out, "PA394,69;PD;PA392,80;");
}

TEST(DriverArcs, HpglArcWithStraightPiecesToAndFromWholeDegrees) {
  std::string out = HpglBody(1, [](PlotDriver& d) { d.OutArc(0, 0, 10.5L, 100.25L, 10, 1); });
  // S (10.5 degrees) to T (11), the arc of 100 - 11 = 89 degrees, then U (100) to E (100.25).
  EXPECT_EQ(out, "PA393,73;PD;PA393,76;AA0,0,89;PU;PA-69,394;PD;PA-71,394;");
}

TEST(DriverArcs, HpglArcAcrossZeroAndNegativeStart) {
  EXPECT_EQ(HpglBody(1, [](PlotDriver& d) { d.OutArc(0, 0, 350, 20, 10, 1); }),
            "PA394,-69;PD;AA0,0,30;");
  // -90 is 270: a quarter up to 0 degrees.
  EXPECT_EQ(HpglBody(11, [](PlotDriver& d) { d.OutArc(0, 0, -90, 0, 10, 1); }),
            "PA0,-400;PD;AA0,0,90;");
}

TEST(DriverArcs, HpglArcOfAlmostAFullTurnIsNoChord) {
  // From 10 to 9 degrees counter-clockwise is 359 degrees, not a piece of 1 degree.
  EXPECT_EQ(HpglBody(1, [](PlotDriver& d) { d.OutArc(0, 0, 10, 9, 10, 1); }),
            "PA394,69;PD;AA0,0,359;");
}

TEST(DriverArcs, FullCirclesInEverySyntax) {
  struct Case {
    int syntax;
    std::string expected;  // what OutCircle(10, 20, 10) writes after SelectPen(1)
  };
  const std::vector<Case> cases = {
      {1, "SP1;PA400,800;CI400;"},
      {11, "SP1;PW0.08;PA400,800;CI400;"},
      {9, "SP1;PE7<<?x?Q`<;PU;PD;CI400;"},
      {2, "D23I1G0D0X2000Y2000\r\nG3D1I1000J2000\r\n"},
      {3, "SP1;\r\nPA4000,4000;\r\nPD;\r\nAA2000,4000,360;\r\n"},
      {4, Lines({"M06 T1", "G00 X20.000 Y20.000", "G01 Z-0.300",
                 "G03 X20.000 Y20.000 I10.000 J20.000"})},
      {5, Lines({"  0", "CIRCLE", "  8", "0", " 10", "10.000000", " 20", "20.000000", " 40",
                 "10.000000"})},
      {6, "  T_SetColor(12);\r\n  T_Circle(10,20,10);\r\n"},
      {7, "100,0.0,10.000,20.000,20.000,20.000,20.000,20.000;"},
      {8, "  T_SetColor(12);\r\n  T_Circle(10,20,10);\r\n"},
      {10, "s\r\nn\r\n1 w\r\n0 0 m\r\n236 236 m\r\n118 236 118 0 360 arc\r\n"},
  };
  for (const Case& c : cases) {
    DriverHarness h;
    std::string out = h.Run(c.syntax, [](PlotDriver& d) {
      d.SelectPen(1);
      d.OutCircle(10, 20, 10);
    });
    EXPECT_NE(out.find(c.expected), std::string::npos) << "syntax " << c.syntax << ":\n" << out;
  }
}

TEST(DriverArcs, FullCircleGivenAsArcWithNegativeStartStaysACircle) {
  // AA with sweep 0 arrives as a1 .. a1 + 360; with a1 = -90 both angles would become 270.
  EXPECT_EQ(HpglBody(1, [](PlotDriver& d) { d.OutArc(0, 0, -90, 270, 10, 1); }),
            "PA0,-400;PD;AA0,0,360;");
  DriverHarness ps;
  std::string out = ps.Run(10, [](PlotDriver& d) { d.OutArc(0, 0, -90, 270, 10, 1); });
  EXPECT_NE(out.find("0 -118 m\r\n0 0 118 270 630 arc\r\n"), std::string::npos) << out;
  DriverHarness dxf;
  out = dxf.Run(5, [](PlotDriver& d) { d.OutArc(0, 0, -90, 270, 10, 1); });
  EXPECT_NE(out.find("CIRCLE"), std::string::npos);
  EXPECT_EQ(out.find("ARC\r\n"), std::string::npos);
  // Read back through the interpreter, the HP-GL output draws the whole circle.
  DriverHarness h;
  out = h.Convert(1, "IN;SP1;PA0,-400;PD;AA0,0,0;");
  EXPECT_NE(out.find("AA0,0,360;"), std::string::npos) << out;
}

TEST(DriverArcs, ArcsWithoutAWholeDegreeAreStraightInLasercombAndHpgl2) {
  for (auto [a1, a2] :
       {std::pair{10.2L, 10.8L}, std::pair{10.5L, 11.3L}, std::pair{359.5L, 0.3L}}) {
    for (int syntax : {3, 9}) {
      DriverHarness h;
      std::string out = h.Run(syntax, [&](PlotDriver& d) { d.OutArc(0, 0, a1, a2, 10, 1); });
      EXPECT_EQ(out.find("AA"), std::string::npos) << syntax << " " << a1 << "\n" << out;
    }
  }
  DriverHarness h;
  std::string out = h.Run(3, [](PlotDriver& d) { d.OutArc(0, 0, 10.2L, 10.8L, 10, 1); });
  EXPECT_NE(out.find(Lines({"PA" + L200(10 * std::cos(10.2L * M_PI / 180)) + "," +
                                L200(10 * std::sin(10.2L * M_PI / 180)) + ";",
                            "PD;"})),
            std::string::npos)
      << out;
}

TEST(DriverArcs, LasercombAndHpgl2ArcPieces) {
  DriverHarness h;
  std::string out = h.Run(3, [](PlotDriver& d) { d.OutArc(0, 0, 10.5L, 100.25L, 10, 1); });
  EXPECT_NE(out.find(Lines({"PA1967,364;", "PD;", "PA1963,382;", "AA0,0,89;", "PU;", "PA-347,1970;",
                            "PD;", "PA-356,1968;"})),
            std::string::npos)
      << out;
  DriverHarness sm;
  sm.program.settings.NcSyntax = 2;
  out = sm.Run(3, [](PlotDriver& d) { d.OutArc(1.5L, 2, 0, 90, 10, 1); });
  EXPECT_NE(out.find(Lines({"PA11.5,2;", "PD;", "AA1.5,2,90;"})), std::string::npos) << out;

  // HP-GL/2 closes the run and writes the arc in HP-GL commands, then goes on encoded.
  out = HpglBody(9, [](PlotDriver& d) {
    d.DrawLine(0, 0, 1, 0);
    d.OutArc(0, 0, 0, 90, 10, 1);
    d.DrawLine(0, 10, 0, 0);
  });
  EXPECT_EQ(out, "PE7<<__Oa_<;PU;PD;PU;PA400,0;PD;AA0,0,90;PU;PA0,400;PE7<<___@x<;PU;");
}

TEST(DriverArcs, CncCirclesArcsAndDialects) {
  struct Case {
    int dialect;
    long double direction;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {1, 1, Lines({"G00 X15.000 Y10.000", "G01 Z-0.300", "G03 X15.000 Y10.000 I10.000 J10.000"})},
      {4, 1, Lines({"G00 X10.000 Y10.000", "G01 Z-0.300", "G00 Z1.000"})},
      {2, 1,
       Lines({"G00 X15.000 Y10.000", "G01 Z-0.300", "G03 X15.000 Y10.000 MP X10.000 Y10.000"})},
      {3, 1, Lines({"G00 X15.000 Y10.000", "G01 Z-0.300", "G03 X15.000 Y10.000 I-5.000 J0.000"})},
  };
  for (const Case& c : cases) {
    DriverHarness h;
    h.program.settings.NcSyntax = static_cast<std::uint16_t>(c.dialect);
    std::string out = h.Run(4, [](PlotDriver& d) { d.OutCircle(10, 10, 5); });
    EXPECT_NE(out.find(c.expected), std::string::npos) << c.dialect << "\n" << out;
  }
  // A quarter arc, forwards and backwards.
  DriverHarness h;
  h.program.settings.NcSyntax = 3;
  std::string out = h.Run(4, [](PlotDriver& d) {
    d.OutArc(10, 10, 0, 90, 5, 1);
    d.OutArc(10, 10, 0, 90, 5, -1);
    EXPECT_EQ(d.state.curX, 15.0L);
  });
  // The way back starts where the first arc ended: no move, the centre relative to E.
  EXPECT_NE(
      out.find(Lines({"G00 X15.000 Y10.000", "G01 Z-0.300", "G03 X10.000 Y15.000 I-5.000 J0.000",
                      "G02 X15.000 Y10.000 I0.000 J-5.000", "G00 Z1.000"})),
      std::string::npos)
      << out;
}

TEST(DriverArcs, CncWritesNoCircleOrArcOfRadiusZero) {
  for (int dialect = 1; dialect <= 4; ++dialect) {
    DriverHarness h;
    h.program.settings.NcSyntax = static_cast<std::uint16_t>(dialect);
    std::string plain = h.Run(4);
    std::string out = h.Run(4, [](PlotDriver& d) {
      d.OutCircle(5, 5, 0);
      d.OutArc(5, 5, 0, 90, 0.0004L, 1);
      d.OutCircle(5, 5, -0.0001L);
    });
    EXPECT_EQ(out, plain) << dialect;
  }
}

TEST(DriverArcs, AristoArcsBothWays) {
  DriverHarness h;
  std::string out = h.Run(2, [](PlotDriver& d) {
    d.OutArc(10, 10, 0, 90, 5, 1);
    d.OutArc(10, 10, 0, 90, 5, -1);
    d.OutCircle(0, 0, 1);
  });
  EXPECT_NE(out.find(Lines({"G0D0X1500Y1000", "G3D1I1000J1000X1000Y1500",
                            "G2D1I1000J1000X1500Y1000", "G0D0X100Y0", "G3D1I0J0"})),
            std::string::npos)
      << out;
}

TEST(DriverArcs, SourceAndCadSyntaxesGetTheNormalisedAngles) {
  struct Case {
    int syntax;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {6, "  T_Arc(1,2,270,45.5,3);\r\n"},
      {8, "  T_Arc(1,2,270,45.5,3);\r\n"},
      {5, Lines({" 50", "270.000000", " 51", "45.500000"})},
      {7, "100,0.0,1.000,2.000,1.000,-1.000,3.103,4.140;"},
  };
  for (const Case& c : cases) {
    DriverHarness h;
    std::string out = h.Run(c.syntax, [](PlotDriver& d) { d.OutArc(1, 2, -90, 45.5L, 3, 1); });
    EXPECT_NE(out.find(c.expected), std::string::npos) << c.syntax << "\n" << out;
  }
}

TEST(DriverArcs, NegativeRadiusIsTheSameCircleOrArc) {
  DriverHarness ps;
  std::string out = ps.Run(10, [](PlotDriver& d) {
    d.OutCircle(0, 0, -10);
    d.OutArc(0, 0, 0, 90, -10, 1);  // the points at 180 .. 270 degrees
  });
  EXPECT_NE(out.find("118 0 m\r\n0 0 118 0 360 arc\r\n"), std::string::npos) << out;
  EXPECT_NE(out.find("-118 0 m\r\n0 0 118 180 270 arc\r\n"), std::string::npos) << out;
  EXPECT_EQ(HpglBody(1, [](PlotDriver& d) { d.OutCircle(0, 0, -10); }), "CI400;");
}

TEST(DriverArcs, ArcGeometryOfTheWholeDegrees) {
  ArcGeometry g = MakeArcGeometry(0, 0, 10.5L, 100.25L, 10, 1);
  EXPECT_EQ(g.t, 11.0L);
  EXPECT_EQ(g.u, 100.0L);
  EXPECT_EQ(g.G, 89.0L);
  EXPECT_FALSE(g.NoWholeDegreeArc());
  g = MakeArcGeometry(0, 0, 10.2L, 10.8L, 10, 1);
  EXPECT_EQ(g.G, 359.0L);
  EXPECT_TRUE(g.NoWholeDegreeArc());
  g = MakeArcGeometry(0, 0, -30, 330, 10, 1);
  EXPECT_TRUE(g.full);
  EXPECT_EQ(g.a1n, 330.0L);
  EXPECT_EQ(g.a2n, 690.0L);
  EXPECT_EQ(g.sweep, 360.0L);
  EXPECT_EQ(g.G, 360.0L);
  EXPECT_EQ(g.S.x, g.E.x);
}

}  // namespace
}  // namespace plotvue::testing
