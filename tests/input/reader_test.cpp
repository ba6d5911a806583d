// The token reader: parameters, separators, pending commands, skipping and escape sequences,
// observed through the segments and pens the interpreter hands to the output driver.
#include <gtest/gtest.h>

#include "input/harness.h"

namespace plotvue::testing {
namespace {

TEST(Reader, CoordinatePairsAndSeparators) {
  Harness h;
  // "PA 10 , 20": the comma after a blank is an empty number, so 20 starts the next pair.
  EXPECT_EQ(Only(h.Convert("PD;PA 10 , 20 ;"), "DrawLine"),
            (Log{"DrawLine(0,0,0.25,0)", "DrawLine(0.25,0,0.5,0)"}));
  EXPECT_EQ(Only(h.Convert("PD;PA40,80;"), "DrawLine"), (Log{"DrawLine(0,0,1,2)"}));
  // Blank-separated pairs and leading blanks.
  EXPECT_EQ(Only(h.Convert("PD;PA  40 80;"), "DrawLine"), (Log{"DrawLine(0,0,1,2)"}));
  // "#" ends a parameter list like ";".
  EXPECT_EQ(Only(h.Convert("PD#PA40,0#PA80,0#"), "DrawLine"),
            (Log{"DrawLine(0,0,1,0)", "DrawLine(1,0,2,0)"}));
  // Line ends inside numbers are skipped.
  EXPECT_EQ(Only(h.Convert("PD;PA4\r\n0,8\n0;"), "DrawLine"), (Log{"DrawLine(0,0,1,2)"}));
}

TEST(Reader, CommandFollowingLastParameterBecomesPending) {
  Harness h;
  const Log expected{"DrawLine(0,0,0.25,0.5)", "DrawLine(0.25,0.5,0.5,0.5)"};
  EXPECT_EQ(Only(h.Convert("PD;PA10,20PA20,20;"), "DrawLine"), expected);
  EXPECT_EQ(Only(h.Convert("pd;pa10,20pa20,20;"), "DrawLine"), expected);
  EXPECT_EQ(Only(h.Convert("Pd;pA10,20Pa20,20;"), "DrawLine"), expected);
}

TEST(Reader, NumberTexts) {
  Harness h;
  // A letter ends a parameter, so exponents cannot be written inside HP-GL parameters: "1e2"
  // is the number 1 followed by the command "E2".
  EXPECT_TRUE(Only(h.Convert("PD;PA1e2,0;"), "DrawLine").empty());
  struct Case {
    const char* number;
    const char* mm;
  } cases[] = {{"--1", "0"}, {".5", "0.0125"}, {"-0.5", "-0.0125"}, {"+40", "1"},
               {"40.", "1"}, {"1.2.3", "0"}, {"99999999999999999999", "2.5e+18"}};
  for (const Case& c : cases) {
    Log log = Only(h.Convert(std::string("PD;PA") + c.number + ",0;"), "DrawLine");
    ASSERT_EQ(log.size(), 1u) << c.number;
    EXPECT_EQ(log[0], std::string("DrawLine(0,0,") + c.mm + ",0)") << c.number;
  }
}

TEST(Reader, SelectPenParameter) {
  Harness h;
  struct Case {
    const char* text;
    int pen;
  } cases[] = {{"SP;", 1}, {"SP,", 1},  {"SP2;", 2},   {"SP 2;", 2}, {"SP300;", 15},
               {"SP0;", 0}, {"SP20;", 15}, {"SP-1;", 15}, {"SPx;", 1}};
  for (const Case& c : cases) {
    Log log = Only(h.Convert(std::string("SP5;") + c.text + "PD;PA40,0;"), "SelectPen");
    ASSERT_EQ(log.size(), 1u) << c.text;
    EXPECT_EQ(log[0], "SelectPen(" + std::to_string(c.pen) + ")") << c.text;
  }
}

TEST(Reader, CommaEndsANumberInsideHpglParameters) {
  Harness h;
  // CI1,5: the comma ends the radius; the chord angle is passed over.
  EXPECT_EQ(Only(h.Convert("CI40,5;"), "OutCircle"), (Log{"OutCircle(0,0,1)"}));
}

TEST(Reader, TextBeforeTheFirstCommandIsSkipped) {
  Harness h;
  EXPECT_EQ(Only(h.Convert("\r\n;; 123 ,.\x01\xff" "PD;PA40,0;"), "DrawLine"),
            (Log{"DrawLine(0,0,1,0)"}));
}

TEST(Reader, EscapeSequenceSwallowsUpToTheNextSemicolon) {
  Harness h;
  // ESC . ( followed by SP5; discards "(SP5;", so pen 2 stays selected.
  EXPECT_EQ(Only(h.Convert("SP2;\x1b.(SP5;PD;PA40,0;"), "SelectPen"), (Log{"SelectPen(2)"}));
  // A PCL reset followed by HP-GL: everything up to the first ";" goes.
  EXPECT_EQ(Only(h.Convert("\x1b" "E\x1b%0BIN;SP3;PD;PA40,0;"), "SelectPen"),
            (Log{"SelectPen(3)"}));
}

TEST(Reader, UnknownCommandsLiftThePenUnlessTheSecondCharacterIsADigit) {
  Harness h;
  EXPECT_TRUE(Only(h.Convert("PD;ZZ;PA40,0;"), "DrawLine").empty());
  EXPECT_EQ(Only(h.Convert("PD;Z1;PA40,0;"), "DrawLine").size(), 1u);
  // A skipped command's letters end the skipping: "LT" inside "WGLT" is read as a command.
  EXPECT_EQ(Only(h.Convert("PD;EP;LT;FT1,2;PA40,0;"), "DrawLine").size(), 1u);
}

TEST(Reader, FinalByteOfTheFileIsRead) {
  Harness h;
  // No terminator at the end: the last digit still belongs to the number.
  EXPECT_EQ(Only(h.Convert("PD;PA40,80"), "DrawLine").size(), 0u);  // y cut off by the end
  EXPECT_EQ(Only(h.Convert("SP3"), "SelectPen").size(), 0u);
  EXPECT_EQ(Only(h.Convert("SP7;PD;PA40,8;"), "SelectPen"), (Log{"SelectPen(7)"}));
}

}  // namespace
}  // namespace plotvue::testing
