// Polyline Encoded data: 7-bit and 8-bit numbers, the flags, pens, scaling and bad characters.
#include <gtest/gtest.h>

#include "input/harness.h"

namespace plotvue::testing {
namespace {

TEST(PolylineEncoded, EightBitIsTheDefault) {
  Harness h;
  // 40 units = raw 80 = 16 + 1 * 64: "O" continues, 191 + 1 ends; 191 alone is 0.
  EXPECT_EQ(Only(h.Convert("PEO\xc0\xbf;"), "DrawLine"), (Log{"DrawLine(0,0,1,0)"}));
  // "?" (63) does not end an 8-bit number; "?" followed by 191 is 0.
  EXPECT_EQ(Only(h.Convert("PE?\xbf\xbf;"), "DrawLine"), (Log{"DrawLine(0,0,0,0)"}));
}

TEST(PolylineEncoded, SevenBitDigitsAndSigns) {
  Harness h;
  // "_" is 0, "a" raw 2 = +0.025 mm, "`" raw 1 = -0 = 0, "b" raw 3 = -0.025 mm.
  EXPECT_EQ(Only(h.Convert("PE7<=__a`b_;"), "DrawLine"),
            (Log{"DrawLine(0,0,0.025,0)", "DrawLine(0.025,0,0,0)"}));
  // 40 units in seven bits: "O" (63 + 16) then "a" (95 + 2).
  EXPECT_EQ(Only(h.Convert("PE7<__Oa_;"), "DrawLine"), (Log{"DrawLine(0,0,1,0)"}));
}

TEST(PolylineEncoded, FlagsMovesAndPenState) {
  Harness h;
  // "<=" moves absolutely without drawing; the following relative pairs draw.
  EXPECT_EQ(Only(h.Convert("PA400,400;PE7<=Oa_Oa_;"), "DrawLine"),
            (Log{"DrawLine(1,0,2,0)"}));
  // Without "<" the first pair is drawn from the current position.
  EXPECT_EQ(Only(h.Convert("PA40,40;PE7a_;"), "DrawLine"), (Log{"DrawLine(1,1,1.025,1)"}));
  // After PE the pen stays down: a following PA draws.
  EXPECT_EQ(Only(h.Convert("PE7<a_;PA40,0;"), "DrawLine"), (Log{"DrawLine(0.025,0,1,0)"}));
  // ">" drops the character after it; line ends inside the data are skipped.
  EXPECT_EQ(Only(h.Convert("PE>\x05" "7\r\n<__\r\nO\na_;"), "DrawLine"),
            (Log{"DrawLine(0,0,1,0)"}));
  // The data updates the target that PM uses.
  EXPECT_EQ(Only(h.Convert("PE7<Oa_;PM0;"), "MoveTo"), (Log{"MoveTo(1,1,0)"}));
}

TEST(PolylineEncoded, PenSelection) {
  Harness h;
  // The pen number is encoded like a coordinate: 8-bit 191 + 4 is 2, 7-bit "a" is 1.
  EXPECT_EQ(Only(h.Convert("PE:\xc3O\xc0\xbf;"), "SelectPen"), (Log{"SelectPen(2)"}));
  EXPECT_EQ(Only(h.Convert("SP5;PE7:a<__a_;"), "SelectPen"), (Log{"SelectPen(1)"}));
  // Out of range: clamped to 1..15.
  EXPECT_EQ(Only(h.Convert("PE7:Oa<__a_;"), "SelectPen"), (Log{"SelectPen(15)"}));
  EXPECT_EQ(Only(h.Convert("PE7:_<__a_;"), "SelectPen"), (Log{"SelectPen(1)"}));
}

TEST(PolylineEncoded, ScalingConvertsThroughUserUnits) {
  Harness h;
  EXPECT_EQ(Only(h.Convert("IP400,400,800,800;SC0,100,0,100;PE7<=__Oa_;"), "DrawLine"),
            (Log{"DrawLine(10,10,14,10)"}));
}

TEST(PolylineEncoded, BadCharactersAreReportedOnlyInScanRuns) {
  Harness h;
  h.Scan("PE7<a_ a_;");
  EXPECT_EQ(h.ui.errors, (Log{"Invalid character \" \" in PE-Section (Byte 6)"}));
  EXPECT_EQ(h.program.ElementCount, 1);
  h.ui.errors.clear();
  h.Scan("PE7O!_a;");
  EXPECT_EQ(h.ui.errors, (Log{"Invalid character \"!\" in PE x,y  7-bit (Byte 4)  O!"}));
  h.ui.errors.clear();
  EXPECT_EQ(Only(h.Screen("PE7<a_ a_;"), "DevLine"), (Log{"DevLine(0.025,0,0.05,0)"}));
  EXPECT_TRUE(h.ui.errors.empty());
  // Eight-bit numbers ignore bad characters without a message.
  h.Scan("PE O!\xc0\xbf;");
  EXPECT_EQ(h.ui.errors.size(), 1u);  // the blank between numbers only
}

TEST(PolylineEncoded, EndOfFileInsideDataDropsThePair) {
  Harness h;
  EXPECT_TRUE(Only(h.Convert("PE7Oa"), "DrawLine").empty());
  EXPECT_TRUE(Only(h.Convert("PE7O"), "DrawLine").empty());
  // A runaway number never ends; the run still ends cleanly at the end of the file.
  EXPECT_TRUE(Only(h.Convert("PE" + std::string(100000, '~')), "DrawLine").empty());
  EXPECT_TRUE(Only(h.Convert("PE7" + std::string(100000, '^')), "DrawLine").empty());
}

}  // namespace
}  // namespace plotvue::testing
