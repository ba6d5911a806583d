// Labels, terminators, character sets, sizes, directions and character plots.
#include <gtest/gtest.h>

#include "input/harness.h"

namespace plotvue::testing {
namespace {

TEST(Labels, LabelIsHandedOverWholeAndMovesThePen) {
  Harness h;
  EXPECT_EQ(h.Screen("LBHello\x03PD;PR40,0;"),
            (Log{"DevWaitCursor", "DevClearViewPort", "DevWaitCursor", "DevSetColor(12)",
                 "DevSetTextStyle(2,0,2.5,2)", "DevSetTextJustify(0,0)", "DevOutText(Hello,0,0)",
                 "DevSetColor(12)", "DevLine(12.5,0,13.5,0)"}));
  EXPECT_EQ(h.program.TextCount, 1);
  // Convert: pen, style (width through the text width factor), justification twice, label.
  h.program.settings.TextWidthFactor = 0.5;
  EXPECT_EQ(Body(h.Convert("PA40,80;LBHi\x03")),
            (Log{"SelectPen(1)", "OutTextStyle(0,0,2.5,1.25)", "OutTextJustify(0,0)",
                 "OutTextJustify(0,0)", "LabelAt(Hi,1,2)"}));
  // A zero size writes no text style.
  EXPECT_EQ(Only(h.Convert("SI;LBHi\x03"), "OutTextStyle"), Log{});
}

TEST(Labels, TerminatorsAndLabelCharacters) {
  Harness h;
  auto text = [&h](const std::string& plot) { return Only(h.Screen(plot), "DevOutText"); };
  EXPECT_EQ(text("DT*;LBA;B*"), (Log{"DevOutText(A;B,0,0)"}));
  EXPECT_EQ(text("LBa\r\nb\tc\x03"), (Log{"DevOutText(a  b c,0,0)"}));
  // DT with NUL, ENQ or ESC restores ETX.
  EXPECT_EQ(text("DT\x1b;LBab\x03"), (Log{"DevOutText(ab,0,0)"}));
  // Character set 3: "}" turns the character before it into its umlaut (code page 437).
  EXPECT_EQ(text("CS3;LBFu}AO}\x03"), (Log{"DevOutText(F\x81"
                                           "A\x99,0,0)"}));
  EXPECT_EQ(text("CS3;LB}a\x03"), (Log{"DevOutText(}a,0,0)"}));
  EXPECT_EQ(text("CS1;LBFu}\x03"), (Log{"DevOutText(Fu},0,0)"}));
  EXPECT_EQ(text("CS3;SS;LBFu}\x03"), (Log{"DevOutText(Fu},0,0)"}));
  // End of file inside a label: the text read so far is the label.
  EXPECT_EQ(text("LBabc"), (Log{"DevOutText(abc,0,0)"}));
}

// A file that declares HP Roman-8 for its labels (SD kind 1, 277) shows them translated: the
// long dash 0xF6 that such files write for the minus sign is a "-" on the screen, not the code
// page 437 sign at that byte; letters keep their meaning. Conversions get the bytes as written.
TEST(Labels, Roman8LabelsShowWhatTheyMean) {
  Harness h;
  auto text = [&h](const std::string& plot) { return Only(h.Screen(plot), "DevOutText"); };
  EXPECT_EQ(text("LB\xf6"
                 "20\x03"),
            (Log{"DevOutText(\xf6"
                 "20,0,0)"}));
  EXPECT_EQ(text("SD1,277,2,1,3,8.000,4,18.000,5,0;LB\xf6"
                 "20 \xcc\xb3\x03"),
            (Log{"DevOutText(-20 \x84\xf8,0,0)"}));
  // Another symbol set, or SD; back to the default, keeps the bytes.
  EXPECT_EQ(text("SD1,14;LB\xf6\x03"), (Log{"DevOutText(\xf6,0,0)"}));
  EXPECT_EQ(text("SD1,277;SD;LB\xf6\x03"), (Log{"DevOutText(\xf6,0,0)"}));
  EXPECT_EQ(Only(h.Convert("SD1,277;LB\xf6"
                           "1\x03"),
                 "LabelAt"),
            (Log{"LabelAt(\xf6"
                 "1,0,0)"}));
  // SD lifts the pen like any command that draws nothing.
  EXPECT_EQ(Only(h.Screen("PD;SD1,277;PA40,0;"), "DevLine"), Log{});
  // The same on the second thread of a large file's screen run.
  h.program.ReaderThreadFrom = 0;
  EXPECT_EQ(text("SD1,277;LB\xf6"
                 "5\x03"),
            (Log{"DevOutText(-5,0,0)"}));
}

TEST(Labels, TooLongTextIsCutWithAMessage) {
  Harness h;
  h.Scan("LB" + std::string(300, 'x') + "\x03");
  EXPECT_EQ(h.ui.errors, (Log{"Textstring too long !"}));
  EXPECT_EQ(h.program.TextCount, 1);
  Log out = Only(h.Screen("LB" + std::string(300, 'x') + "\x03"), "DevOutText");
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0], "DevOutText(" + std::string(255, 'x') + ",0,0)");
  // 253 characters and the terminator pass.
  h.ui.errors.clear();
  h.Scan("LB" + std::string(253, 'y') + "\x03");
  EXPECT_TRUE(h.ui.errors.empty());
}

TEST(Labels, CharacterSizes) {
  Harness h;
  auto style = [&h](const std::string& plot) {
    return Only(h.Screen(plot + "LBA\x03"), "DevSetTextStyle");
  };
  // Screen width is the width times the screen text width factor 0.8.
  EXPECT_EQ(style("SI0.2,0.3;"), (Log{"DevSetTextStyle(2,0,3,1.6)"}));
  EXPECT_EQ(style("SI0.01,0.3;"), (Log{"DevSetTextStyle(2,0,3,2.4)"}));
  EXPECT_EQ(style("SI4,0.3;"), (Log{"DevSetTextStyle(2,0,3,2.4)"}));
  EXPECT_EQ(style("SR1,2;"), (Log{"DevSetTextStyle(2,0,2.62,1.568)"}));
  EXPECT_EQ(style("SR;"), (Log{"DevSetTextStyle(2,0,2,2)"}));
}

TEST(Labels, DirectionAndCharacterPlot) {
  Harness h;
  auto run = [&h](const std::string& plot) {
    Log log = h.Screen(plot);
    Log out = Only(log, "DevSetTextStyle");
    for (const auto& l : Only(log, "DevLine")) out.push_back(l);
    return out;
  };
  EXPECT_EQ(run("DI0,1;LBAB\x03PD;PR0,40;"),
            (Log{"DevSetTextStyle(2,90,2.5,2)", "DevLine(0,5,0,6)"}));
  EXPECT_EQ(run("DI-1,0;LBAB\x03PD;PR0,40;"),
            (Log{"DevSetTextStyle(2,180,2.5,2)", "DevLine(-5,0,-5,1)"}));
  EXPECT_EQ(run("DI0,-1;LBA\x03"), (Log{"DevSetTextStyle(2,-90,2.5,2)"}));
  // Run and rise are a direction: DI128,0 advances like DI1,0, DI3,4 along (0.6, 0.8).
  EXPECT_EQ(run("DI128,0;LBAB\x03PD;PR0,0;"),
            (Log{"DevSetTextStyle(2,0,2.5,2)", "DevLine(5,0,5,0)"}));
  EXPECT_EQ(run("DI3,4;LBAB\x03PD;PR0,0;"),
            (Log{"DevSetTextStyle(2,53.13010235,2.5,2)", "DevLine(3,4,3,4)"}));
  // DI; restores the horizontal direction.
  EXPECT_EQ(run("DI0,1;DI;LBAB\x03PD;PR0,0;"),
            (Log{"DevSetTextStyle(2,0,2.5,2)", "DevLine(5,0,5,0)"}));
  // CP moves along the axes by character cells, 1.3 lines high.
  EXPECT_EQ(run("CP2,1;PD;PR0,0;"), (Log{"DevLine(5,3.25,5,3.25)"}));
  EXPECT_EQ(run("DI0,1;LBAB\x03"
                "CP-2,0;PD;PR0,0;"),
            (Log{"DevSetTextStyle(2,90,2.5,2)", "DevLine(-5,5,-5,5)"}));
}

}  // namespace
}  // namespace plotvue::testing
