// Tests of text and polygons across the syntaxes: OutTextStyle, the label alignment, TextMoveTo,
// native labels with their character replacements, labels as strokes of a stroke font, where the
// next line starts after a label (read back through the interpreter), the DXF and IGES width
// factor, and the polygon operations.
#include <array>

#include "output/driver_harness.h"
#include "output/syntaxwriter.h"

namespace plotvue::testing {
namespace {

// A stroke font of a few glyphs, 4 vector units high.
class TestFont : public StrokeFont {
 public:
  TestFont() {
    // "A": pen down, up 1, right 1, pen up, down 1.
    Set('A', {1, 0x14, 0x10, 2, 0x1C, 0});
    // "B": code 8 (+2, -1) drawn, code 9 pairs (1, 0) and (0, 1) up to (0, 0), pen up.
    Set('B', {1, 8, 2, 0xFF, 9, 1, 0, 0, 1, 0, 0, 2, 0});
    // "C": code 14 skips the next vector, then one vector to the right with the pen up.
    Set('C', {14, 0x14, 0x10, 0});
    // "D": no terminating 0 byte.
    Set('D', {1, 0x10});
  }
  std::span<const std::uint8_t> Glyph(int code) const override {
    if (code < kStrokeFontFirstCode || code > kStrokeFontLastCode) return {};
    const auto& g = glyphs_[static_cast<std::size_t>(code - kStrokeFontFirstCode)];
    return {g.data(), g.size()};
  }
  int Above() const override { return 4; }

 private:
  void Set(int code, std::vector<std::uint8_t> bytes) {
    glyphs_[static_cast<std::size_t>(code - kStrokeFontFirstCode)] = std::move(bytes);
  }
  std::array<std::vector<std::uint8_t>, 98> glyphs_;
};

// --- OutTextStyle ----------------------------------------------------------------------------

TEST(DriverText, TextStyleInEverySyntax) {
  struct Case {
    int syntax;
    std::string expected;  // what OutTextStyle(0, 0, 4, 3) writes; empty: nothing at all
  };
  const std::vector<Case> cases = {
      {1, "SD1,341;SI0.19,0.40;DI128,0;"},
      {11, "SD1,341;SI0.19,0.40;DI128,0;"},
      {9, "SD1,341;SI0.19,0.40;DI128,0;"},
      {2, Lines({"D45I0", "D25I1J0K1L1", "D35I400J750W0K0"})},
      {6, "  T_SetTextStyle(0,  0,4,3);\r\n"},
      {8, "  T_SetTextStyle(0,0,4,3);\r\n"},
      {10, Lines({"s", "n", "/TXT8 findfont 47 scalefont setfont"})},
      {3, ""},
      {4, ""},
      {5, ""},
      {7, ""},
      {12, ""},
  };
  for (const Case& c : cases) {
    DriverHarness h;
    std::string plain = h.Run(c.syntax);
    std::string out = h.Run(c.syntax, [](PlotDriver& d) { d.OutTextStyle(0, 0, 4, 3); });
    if (c.expected.empty()) {
      EXPECT_EQ(out, plain) << c.syntax;
    } else {
      EXPECT_NE(out.find(c.expected), std::string::npos) << c.syntax << "\n" << out;
    }
  }
  DriverHarness h;
  std::string out = h.Run(1, [](PlotDriver& d) { d.OutTextStyle(0, 90, 4, 3); });
  EXPECT_NE(out.find("DI0,128;"), std::string::npos);
  out = h.Run(6, [](PlotDriver& d) { d.OutTextStyle(0, -90, 4, 3); });
  EXPECT_NE(out.find("T_SetTextStyle(0,-90,4,3);"), std::string::npos);
  // HP-GL/2 ends an open run first.
  out = h.Run(9, [](PlotDriver& d) {
    d.DrawLine(0, 0, 1, 0);
    d.OutTextStyle(0, 0, 4, 3);
  });
  EXPECT_NE(out.find("Oa_<;PU;SD1,341;"), std::string::npos) << out;
}

// --- Native labels ---------------------------------------------------------------------------

TEST(DriverText, NativeLabelsInEverySyntax) {
  struct Case {
    int syntax;
    std::string expected;  // what LabelAt("ABC", 10, 10) writes after the reset
  };
  const std::vector<Case> cases = {
      {1, "PA400,400;PA400,400;LBABC\x03"},
      {11, "PA400,400;PA400,400;LBABC\x03"},
      {9, "PA400,400;LBABC\x03"},
      {2, Lines({"G0D0X1000Y1000", "D25L1", "$ABC$"})},
      {3, "PA2000,2000;\r\n"},
      {4, "G00 X10.000 Y10.000\r\n"},
      {6, "  T_MoveTo(10,10);\r\n  T_OutTextXy(10,10,'ABC');\r\n"},
      {8, "  T_MoveTo(10,10);\r\n  T_OutTextXY(10,10,\"ABC\");\r\n"},
      {10, Lines({"118 118 m", "gsave", "1.96 1.4 scale", "(ABC) show", "grestore"})},
      {5, Lines({"  0", "TEXT", "  8", "0", " 10", "10.000000", " 20", "10.000000", " 40",
                 "5.000000", "  1", "ABC"})},
      {7, "3HABC;"},
      {12, "W  ABC    N1000.00000 E01000.00000"},
  };
  for (const Case& c : cases) {
    DriverHarness h;
    h.d().options.garmin.FileType = 3;
    std::string out = h.Run(c.syntax, [](PlotDriver& d) {
      d.OutTextJustify(0, 0);
      d.LabelAt("ABC", 10, 10);
    });
    EXPECT_NE(out.find(c.expected), std::string::npos) << c.syntax << "\n" << out;
    // Lasercomb and CNC have no text command: a warning beep.
    EXPECT_EQ(h.beeps, (c.syntax == 3 || c.syntax == 4) ? 1 : 0) << c.syntax;
  }
}

TEST(DriverText, LabelCharacterReplacements) {
  EXPECT_EQ(AristoText("Ma\xe1"), "Ma's");
  EXPECT_EQ(AristoText("it's"), "it''s");
  EXPECT_EQ(AristoText("\x81\xfc\x84\xe4\x8e\xc4\x94\xf6\x99\xd6\x9a\xdc\xdf"),
            "'u'u'a'a'A'A'o'o'O'O'U'U's");
  EXPECT_EQ(PostscriptText("(a)"), "{a}");
  EXPECT_EQ(PostscriptText("a\\b"), "a\\\\b");
  EXPECT_EQ(PostscriptText("\x81\x84\x8e\x94\x99\x9a\xe1\xf1\xf8\xfd"),
            "ueaeAeoeOeUess+/-\xca"
            "2");
  EXPECT_EQ(PascalString("it's"), "'it''s'");
  EXPECT_EQ(PascalString("a\rb"), "'a'#13'b'");
  EXPECT_EQ(PascalString(""), "''");

  DriverHarness h;
  std::string out = h.Run(2, [](PlotDriver& d) { d.LabelAt("Ma\xe1", 0, 0); });
  EXPECT_NE(out.find("$Ma's$\r\n"), std::string::npos);
  out = h.Run(10, [](PlotDriver& d) { d.LabelAt("(a\\)", 0, 0); });
  EXPECT_NE(out.find("({a\\\\}) show\r\n"), std::string::npos) << out;
  out = h.Run(6, [](PlotDriver& d) {
    d.OutTextJustify(0, 0);
    d.LabelAt("it's", 0, 0);
  });
  EXPECT_NE(out.find("  T_OutTextXy(0,0,'it''s');\r\n"), std::string::npos) << out;
}

TEST(DriverText, PostscriptLabelTurnedByItsAngle) {
  DriverHarness h;
  std::string out = h.Run(10, [](PlotDriver& d) {
    d.OutTextStyle(0, 90, 5, 5);
    d.LabelAt("x", 0, 0);
  });
  EXPECT_NE(out.find(Lines({"gsave", "90 r 1.96 1.4 scale", "(x) show", "-90 r", "grestore"})),
            std::string::npos)
      << out;
}

TEST(DriverText, EmptyLabelWritesOnlyTheMoves) {
  DriverHarness h;
  // (Without OutTextJustify the reset's alignment "top" shifts the text down by its height.)
  std::string out = h.Run(1, [](PlotDriver& d) { d.LabelAt("", 10, 10); });
  EXPECT_NE(out.find("PA400,200;PA400,400;IW;"), std::string::npos) << out;
  EXPECT_EQ(out.find("LB"), std::string::npos);
}

TEST(DriverText, LasercombWritesLabelsInDialect2) {
  DriverHarness h;
  h.program.settings.NcSyntax = 2;
  std::string out = h.Run(3, [](PlotDriver& d) {
    d.OutTextJustify(0, 0);
    d.LabelAt("AB", 1, 2);
  });
  EXPECT_NE(out.find(Lines({"PA1,2;", "LBAB\x03"})), std::string::npos) << out;
  EXPECT_EQ(h.beeps, 0);
}

TEST(DriverText, AlignmentShiftsTheTextPosition) {
  struct Case {
    int h, v;
    long double angle;
    std::string expected;
  };
  // "AB": n = 3; width 2, height 4.
  const std::vector<Case> cases = {
      {0, 0, 0, "T_MoveTo(10,10);"}, {1, 1, 0, "T_MoveTo(7,8);"},
      {2, 2, 0, "T_MoveTo(4,6);"},   {1, 1, 90, "T_MoveTo(12,7);"},
      {2, 2, 90, "T_MoveTo(14,4);"}, {0, 2, 89.6L, "T_MoveTo(10,4);"},
  };
  for (const Case& c : cases) {
    DriverHarness h;
    std::string out = h.Run(6, [&](PlotDriver& d) {
      d.OutTextStyle(0, c.angle, 4, 2);
      d.OutTextJustify(c.h, c.v);
      d.LabelAt("AB", 10, 10);
    });
    EXPECT_NE(out.find(c.expected), std::string::npos) << c.h << c.v << " " << c.angle << "\n"
                                                       << out;
  }
}

TEST(DriverText, PascalLabelLineIsNotCounted) {
  DriverHarness h;
  std::string out = h.Run(6, [](PlotDriver& d) {
    for (int k = 0; k < 342; ++k) d.DrawLine(0, 0, k + 1, 0);
    d.OutTextJustify(0, 0);
    d.LabelAt("X", 1, 2);  // its move is counted, the label line is not
    d.DrawLine(0, 0, 9, 9);
    d.DrawLine(0, 0, 8, 8);
  });
  EXPECT_NE(out.find(Lines({"  T_MoveTo(1,2);", "  T_OutTextXy(1,2,'X');", "  T_Line(0,0,9,9);",
                            "end;", "", "procedure TavoDrawing2;", "(********************)",
                            "begin", "  T_Line(0,0,8,8);"})),
            std::string::npos)
      << out.substr(out.size() > 800 ? out.size() - 800 : 0);
}

// --- Where the pen stands after a label ------------------------------------------------------

TEST(DriverText, LabelAndTheLineAfterItLandWhereTheInputPutsThem) {
  // A label, then a line from the label's own point, then a line from elsewhere.
  const std::string plot =
      "IN;SP1;PA0,0;PD400,0;PU800,400;LBHELLO\x03PU800,400;PD1200,400;PU;PA2000,2000;PD2400,2400;"
      "PU;PA400,1200;LBX\x03PD;PA800,1200;";
  const std::vector<std::string> expected = ReadBack(plot);
  ASSERT_EQ(expected.size(), 6u);
  for (int syntax : {1, 9, 11}) {
    DriverHarness h;
    std::string out = h.Convert(syntax, plot);
    EXPECT_EQ(ReadBack(out), expected) << syntax << "\n" << out;
  }
}

TEST(DriverText, Hpgl2TakesTheTextPositionAsItsPosition) {
  DriverHarness h;
  std::string out = h.Run(9, [](PlotDriver& d) {
    d.SelectPen(1);
    d.DrawLine(0, 0, 1, 0);
    d.OutTextJustify(0, 0);
    d.LabelAt("AB", 10, 10);
    EXPECT_EQ(d.state.curX, 10.0L);
    d.DrawLine(20, 10, 30, 10);
  });
  // No relative move from the stale position; after "LB" the next move is absolute.
  EXPECT_NE(out.find("Oa_<<;PA400,400;LBAB\x03PA800,400;PE7<<__?x_"), std::string::npos) << out;
}

// --- Labels as strokes -----------------------------------------------------------------------

TEST(DriverText, StrokeLabelsAreMovesAndLines) {
  TestFont font;
  DriverHarness h;
  h.d().options.strokeFont = &font;
  h.program.settings.UseShpFont = 'J';
  h.program.settings.ShpLoad = 'J';
  auto run = [&](int syntax, long double angle, const std::string& text) {
    return h.Run(syntax, [&](PlotDriver& d) {
      d.OutTextStyle(0, angle, 8, 8);  // 2 mm per vector unit
      d.OutTextJustify(0, 0);
      d.LabelAt(text, 10, 10);
    });
  };
  // No text command at all: the style is kept but not written.
  std::string out = run(1, 0, "A");
  EXPECT_EQ(out.find("SI"), std::string::npos);
  EXPECT_NE(out.find("PA400,400;PA400,400;PD;PA400,480;PA480,480;PU;PA480,400;IW;"),
            std::string::npos)
      << out;
  out = run(6, 90, "A");
  EXPECT_NE(
      out.find(Lines({"  T_MoveTo(10,10);", "  T_Line(10,10,8,10);", "  T_Line(8,10,8,12);"})),
      std::string::npos)
      << out;
  // Codes 8 and 9; characters without a glyph or outside 32..129 draw nothing.
  out = run(4, 0, "B\x01\xff");
  EXPECT_NE(out.find(Lines({"G00 X10.000 Y10.000", "G01 Z-0.300", "G01 X14.000 Y8.000",
                            "G01 X16.000 Y8.000", "G01 X16.000 Y10.000", "G00 Z1.000"})),
            std::string::npos)
      << out;
  // Code 14 skips the next vector; a glyph without its 0 byte ends with its bytes.
  out = run(1, 0, "CD");
  EXPECT_NE(out.find("PA400,400;PA400,400;PA480,400;PD;PA560,400;IW;"), std::string::npos) << out;
  EXPECT_EQ(h.beeps, 0);

  // Either setting 'N' (any case), or no font: native text.
  h.program.settings.UseShpFont = 'n';
  EXPECT_NE(run(1, 0, "A").find("LBA\x03"), std::string::npos);
  h.program.settings.UseShpFont = 'J';
  h.d().options.strokeFont = nullptr;
  EXPECT_NE(run(1, 0, "A").find("LBA\x03"), std::string::npos);
}

// --- DXF and IGES text width -----------------------------------------------------------------

TEST(DriverText, DxfAndIgesWidthFactorAppliesTheCorrectionFactorOnce) {
  DriverHarness h;
  h.program.settings.TextWidthFactor = 0.5L;
  // Through the interpreter: SI 0.4 x 0.8 cm, so width 4 x 0.5 = 2 mm and height 8 mm.
  std::string dxf = h.Convert(5, "IN;SP1;SI0.4,0.8;PA0,0;LBAB\x03");
  EXPECT_NE(dxf.find(Lines({"  7", "STANDARD", " 41", "0.25"})), std::string::npos) << dxf;
  std::string iges = h.Convert(7, "IN;SP1;SI0.4,0.8;PA0,0;LBAB\x03");
  // Box width n x height x width factor = 2 x 8 x 0.25.
  EXPECT_NE(iges.find("212,1,2,4.000,8.000,"), std::string::npos) << iges;
  // The same label in HP-GL: the width is 2 mm too.
  std::string hpgl = h.Convert(1, "IN;SP1;SI0.4,0.8;PA0,0;LBAB\x03");
  EXPECT_NE(hpgl.find("SI0.12,0.80;"), std::string::npos) << hpgl;
}

// --- Polygons --------------------------------------------------------------------------------

TEST(DriverPolygons, HpglPolygonMode) {
  DriverHarness h;
  std::string out = h.Run(1, [](PlotDriver& d) {
    d.SelectPen(1);
    d.DrawLine(0, 0, 1, 0);
    d.MoveTo(true, 0, 0);
    d.BeginPolygon();
    d.DrawLine(0, 0, 1, 0);
    d.DrawLine(1, 0, 1, 1);
    d.EndPolygon(2);
  });
  EXPECT_NE(out.find("PU;PA0,0;PM0;PD;PA40,0;PA40,40;PM2;PU;"), std::string::npos) << out;
}

TEST(DriverPolygons, Hpgl2PolygonInsideAnEncodedRunSwitchesToHpgl) {
  DriverHarness h;
  std::string out = h.Run(9, [](PlotDriver& d) {
    d.SelectPen(1);
    d.MoveTo(true, 0, 0);
    d.BeginPolygon();
    EXPECT_EQ(d.state.syntax, 1);
    d.DrawLine(0, 0, 1, 0);
    d.EndPolygon(2);
    d.DrawLine(2, 2, 3, 3);
  });
  EXPECT_NE(out.find("SP1;PE7<<__<;PU;PM0;PD;PA40,0;PM2;PU;PA80,80;PD;PA120,120;IW;PU;PA0,0;"),
            std::string::npos)
      << out;
  EXPECT_TRUE(out.ends_with("PA0,0;"));
}

TEST(DriverPolygons, PostscriptPolygonIsAClosedFilledPathWithACurrentPoint) {
  DriverHarness h;
  std::string out = h.Run(10, [](PlotDriver& d) {
    d.SelectPen(1);
    d.MoveTo(true, 10, 10);
    d.BeginPolygon();
    d.DrawLine(10, 10, 20, 10);
    d.DrawLine(20, 10, 20, 20);
    d.EndPolygon(2);
    d.FillPolygon();
    d.SelectPen(2);
  });
  EXPECT_NE(out.find(Lines({"118 118 m", "s", "n", "118 118 m", "236 118 l", "236 236 l",
                            "closepath", "fill", "n", "s", "n", "2 w"})),
            std::string::npos)
      << out;
}

TEST(DriverPolygons, OtherSyntaxesIgnoreThePolygonOperations) {
  for (int syntax : {2, 3, 4, 5, 6, 7, 8, 12}) {
    DriverHarness h;
    auto edges = [](PlotDriver& d) {
      d.DrawLine(0, 0, 1, 0);
      d.DrawLine(1, 0, 1, 1);
    };
    std::string out = h.Run(syntax, [&](PlotDriver& d) {
      d.BeginPolygon();
      edges(d);
      d.EndPolygon(1);
      d.FillPolygon();
      d.PenUp();
    });
    std::string plainUp = h.Run(syntax, [&](PlotDriver& d) {
      edges(d);
      d.PenUp();
    });
    EXPECT_EQ(out, plainUp) << syntax;
  }
}

}  // namespace
}  // namespace plotvue::testing
