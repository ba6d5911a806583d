// Circles, arcs, rectangles, ticks and the polygon commands.
#include <gtest/gtest.h>

#include "input/harness.h"

namespace plotvue::testing {
namespace {

TEST(Geometry, CircleAroundTheCurrentPosition) {
  Harness h;
  EXPECT_EQ(Body(h.Convert("PA400,400;CI100;PD;PR40,0;")),
            (Log{"SelectPen(1)", "OutCircle(10,10,2.5)", "SelectPen(1)",
                 "DrawLine(10,10,11,10)"}));
  // The pen state does not matter; the radius takes the x factor.
  EXPECT_EQ(Only(h.Convert("SC0,100,0,200;PU;CI10;"), "OutCircle"),
            (Log{"OutCircle(0,0,19.6)"}));
}

TEST(Geometry, ArcsAbsoluteAndRelative) {
  Harness h;
  EXPECT_EQ(Only(h.Convert("PA10,0;PD;AA0,0,90;PR40,0;"), "Out"),
            (Log{"OutRotate(0)", "OutArc(0,0,0,90,0.25,1)"}));
  EXPECT_EQ(Only(h.Convert("PA10,0;PD;AA0,0,90;PR40,0;"), "DrawLine"),
            (Log{"DrawLine(0,0.25,1,0.25)"}));
  // A negative sweep runs from the end angle to the start angle.
  EXPECT_EQ(Only(h.Convert("PA10,0;PD;AA0,0,-90;PR0,0;"), "Out"),
            (Log{"OutRotate(0)", "OutArc(0,0,-90,0,0.25,1)"}));
  EXPECT_EQ(Only(h.Convert("PA10,0;PD;AA0,0,-90;PR0,0;"), "DrawLine"),
            (Log{"DrawLine(0,-0.25,0,-0.25)"}));
  // A sweep of 0 is a full circle.
  EXPECT_EQ(Only(h.Convert("PA10,0;PD;AA0,0,0;"), "OutArc"), (Log{"OutArc(0,0,0,360,0.25,1)"}));
  // Angles lie in [-90, 270) and are not normalised further: from the left, a quarter turn
  // ends at -90.
  EXPECT_EQ(Only(h.Convert("PA-10,0;PD;AA0,0,90;"), "OutArc"),
            (Log{"OutArc(0,0,180,-90,0.25,1)"}));
  // Pen up: no arc, no move.
  EXPECT_EQ(Body(h.Convert("PA10,0;PU;AA0,0,90;PD;PR0,0;")),
            (Log{"SelectPen(1)", "DrawLine(0.25,0,0.25,0)"}));
  // AR: the centre is relative, scaled by the factors only (no P1 offset).
  EXPECT_EQ(Only(h.Convert("IP400,400,800,800;SC0,100,0,100;PA10,0;PD;AR-10,0,90;"), "OutArc"),
            (Log{"OutArc(10,10,0,90,1,1)"}));
  // A chord parameter is passed over.
  EXPECT_EQ(Only(h.Convert("PA10,0;PD;AA0,0,90,5;"), "OutArc"),
            (Log{"OutArc(0,0,0,90,0.25,1)"}));
}

TEST(Geometry, RectanglesAreFourSidesAndReturnToTheStart) {
  Harness h;
  EXPECT_EQ(Only(h.Convert("PA40,40;EA80,120;PD;PR40,0;"), "DrawLine"),
            (Log{"DrawLine(1,1,2,1)", "DrawLine(2,1,2,3)", "DrawLine(2,3,1,3)",
                 "DrawLine(1,3,1,1)", "DrawLine(1,1,2,1)"}));
  h.Scan("PA40,40;RA80,120;");
  EXPECT_EQ(h.program.ElementCount, 4);
  // Cut off by the end of the file: nothing.
  EXPECT_TRUE(Only(h.Convert("EA80"), "DrawLine").empty());
}

TEST(Geometry, TicksFromTheCurrentPoint) {
  Harness h;
  // XT: L = 196 * 0.005 = 0.98 along y, L/2 up and L down; YT: L = 131 * 0.005 along x.
  EXPECT_EQ(Only(h.Convert("PA40,40;XT;YT;PD;PR0,0;"), "DrawLine"),
            (Log{"DrawLine(1,1,1,1.49)", "DrawLine(1,1,1,0.02)", "DrawLine(1,1,1.3275,1)",
                 "DrawLine(1,1,0.345,1)", "DrawLine(1,1,1,1)"}));
}

TEST(Geometry, PolygonCommandsInConvertRuns) {
  Harness h;
  h.program.settings.SyntaxCode = 1;
  EXPECT_EQ(Body(h.Convert("PM0;PA40,40;PM0;PA80,80;PM1;PM;PM2;PM5;FP;EP;")),
            (Log{"MoveTo(1,0,0)", "BeginPolygon", "MoveTo(1,1,1)", "BeginPolygon",
                 "EndPolygon(1)", "EndPolygon(1)", "EndPolygon(2)"}));
  h.program.settings.SyntaxCode = 10;
  EXPECT_EQ(Only(h.Convert("PM0;PM2;FP;"), "FillPolygon"), (Log{"FillPolygon"}));
  // Other modes only read the parameter.
  EXPECT_EQ(Only(h.Screen("PM0;PA40,0;PD;PA80,0;PM2;"), "Dev").size(), 5u);
}

}  // namespace
}  // namespace plotvue::testing
