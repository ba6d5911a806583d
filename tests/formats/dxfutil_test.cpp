// Tests of the DXF writer: whole files byte for byte, the number formats, the full-circle test,
// the layer carried from one conversion to the next, entities that are left out, failed writes,
// and a drawing read back by ezdxf (Debian package python3-ezdxf).
#include "formats/dxfutil.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/ezdxf_reader.h"

namespace plotvue {
namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNan = std::numeric_limits<long double>::quiet_NaN();

// "\n" line ends as the CR LF of the written file.
std::string Crlf(std::string_view s) {
  std::string r;
  for (char c : s) {
    if (c == '\n') r += '\r';
    r += c;
  }
  return r;
}

// A channel on which every write fails; counts the attempts.
class FailingChannel : public OutputChannel {
 public:
  bool Write(std::string_view) override {
    ++writes;
    return false;
  }
  bool Flush() override { return false; }
  int writes = 0;
};

class DxfTest : public ::testing::Test {
 protected:
  // Output written since the last call.
  std::string Take() {
    std::string s = channel.text;
    channel.text.clear();
    return s;
  }

  StringChannel channel;
  bool errorFlag = false;
  TextOut out{channel, errorFlag};
  DxfCarry carry;
  Settings settings;
  DxfWriter writer{out, carry, settings};
};

TEST_F(DxfTest, WholeFileOfASmallDrawing) {
  settings.TextStyle = "romans";
  writer.DxfHeader(-3.25L, 0.0L, 1234.5678L, 12.5L);
  writer.DxfTables();
  writer.DxfBeginEntities();
  writer.DxfLine(0.0L, -0.5L, 10.0L, 20.0L);
  writer.DxfSetLayer("2");
  writer.DxfCircle(5.0L, 6.0L, 2.5L);
  writer.DxfArc(1.0L, 2.0L, 0.0L, 359.99L, 3.0L);
  writer.DxfText("Hi", 7.0L, 8.0L, DxfTextStyle{4.0L, 1.0L, 90.0L, 12.5L});
  writer.DxfEndSection();
  writer.DxfEndFile();

  std::string layers;
  for (int n = 0; n < 16; ++n) {
    layers += "  0\nLAYER\n  2\n" + std::to_string(n) + "\n 70\n0\n 62\n" + std::to_string(n + 1) +
              "\n  6\nCONTINUOUS\n";
  }
  const std::string expected = Crlf(
      "  0\nSECTION\n  2\nHEADER\n"
      "  9\n$EXTMIN\n 10\n-3.250000\n 20\n0.000000\n"
      "  9\n$EXTMAX\n 10\n1234.567800\n 20\n12.500000\n"
      "  9\n$LIMMIN\n 10\n-3.250000\n 20\n0.000000\n"
      "  9\n$LIMMAX\n 10\n1234.567800\n 20\n12.500000\n"
      "  9\n$LTSCALE\n 40\n15\n  0\nENDSEC\n"
      "  0\nSECTION\n  2\nTABLES\n"
      "  0\nTABLE\n  2\nLTYPE\n 70\n17\n"
      "  0\nLTYPE\n  2\nCONTINUOUS\n 70\n64\n  3\nAusgezogene Linie\n 72\n65\n 73\n0\n 40\n0.0\n"
      "  0\nLTYPE\n  2\nDASHDOT\n 70\n64\n  3\n--. --. --.-\n 72\n65\n 73\n4\n 40\n1.0\n"
      " 49\n0.5\n 49\n-0.25\n 49\n0.0\n 49\n-0.25\n"
      "  0\nLTYPE\n  2\nDASHED\n 70\n64\n  3\n- - - - - - \n 72\n65\n 73\n2\n 40\n0.375\n"
      " 49\n0.25\n 49\n-0.125\n"
      "  0\nENDTAB\n"
      "  0\nTABLE\n  2\nLAYER\n 70\n24\n" +
      layers +
      "  0\nENDTAB\n"
      "  0\nTABLE\n  2\nSTYLE\n 70\n1\n  0\nSTYLE\n  2\nSTANDARD\n 70\n0\n 40\n0.0\n 41\n1.0\n"
      " 50\n0.0\n 71\n0\n 42\n3.5\n  3\nROMANS\n  4\n\n0\nENDTAB\n"
      "  0\nENDSEC\n"
      "  0\nSECTION\n  2\nENTITIES\n"
      "  0\nLINE\n  8\n0\n 10\n0.000000\n 20\n-0.500000\n 11\n10.000000\n 21\n20.000000\n"
      "  0\nCIRCLE\n  8\n2\n 10\n5.000000\n 20\n6.000000\n 40\n2.500000\n"
      "  0\nARC\n  8\n2\n 10\n1.000000\n 20\n2.000000\n 40\n3.000000\n"
      " 50\n0.000000\n 51\n359.990000\n"
      "  0\nTEXT\n  8\n2\n 10\n7.000000\n 20\n8.000000\n 40\n4.000000\n  1\nHi\n"
      "  7\nSTANDARD\n 41\n1\n 50\n90\n 51\n12.5\n"
      "  0\nENDSEC\n  0\nEOF\n");
  EXPECT_EQ(Take(), expected);
  EXPECT_FALSE(errorFlag);
}

TEST(DxfFormat, RealsHaveSixDecimalsAndNoBlanks) {
  const struct {
    long double value;
    const char* text;
  } cases[] = {
      {1234.5678L, "1234.567800"},
      {-0.5L, "-0.500000"},
      {0.0L, "0.000000"},
      {12.5L, "12.500000"},
      {-3.25L, "-3.250000"},
      {-0.0000004L, "0.000000"},
      {0.0000006L, "0.000001"},
      {-0.0000006L, "-0.000001"},
      {-123456789.0L, "-123456789.000000"},
      {1e20L, "100000000000000000000.000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(DxfReal(c.value), c.text) << static_cast<double>(c.value);
}

TEST_F(DxfTest, TextValuesUseTheShortFormatWithTheDecimalsSetting) {
  writer.DxfText("A", 0, 0, DxfTextStyle{2.5L, 0.75L, -45.0L, 0.0L});
  EXPECT_NE(Take().find(" 41\r\n0.75\r\n 50\r\n-45\r\n 51\r\n0\r\n"), std::string::npos);

  settings.DecimalPlaces = 5;
  writer.DxfText("A", 0, 0, DxfTextStyle{2.5L, 1.0L, 90.0L, 12.5L});
  // The decimals setting shifts the short format but not the fixed reals.
  EXPECT_NE(Take().find(" 40\r\n2.500000\r\n  1\r\nA\r\n  7\r\nSTANDARD\r\n 41\r\n1.00\r\n"
                        " 50\r\n90.00\r\n 51\r\n12.500\r\n"),
            std::string::npos);
}

TEST(DxfFormat, FullCircleTest) {
  const struct {
    long double start, end;
    bool full;
  } cases[] = {
      {0, 360, true},
      {360, 0, true},
      {90, 90, true},
      {0, 359.99L, false},
      {0.000005L, 359.999995L, true},
      {359.999995L, 0.000005L, true},
      {90, 450, true},
      {270.5L, 630.500001L, true},
      {10, 20, false},
      {350, 20, false},
      {0, 0.00001L, false},
      {-90, 270, true},
      {0, 720, false},
      {180, 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsDxfFullCircle(c.start, c.end), c.full)
        << static_cast<double>(c.start) << " -> " << static_cast<double>(c.end);
  }
}

TEST_F(DxfTest, FullCircleArcIsWrittenAsCircleAndOtherArcsUnchanged) {
  writer.DxfArc(1, 2, 90, 450, 3);
  EXPECT_EQ(Take(), Crlf("  0\nCIRCLE\n  8\n0\n 10\n1.000000\n 20\n2.000000\n 40\n3.000000\n"));
  writer.DxfArc(1, 2, 350, 20, 3);
  EXPECT_EQ(Take(), Crlf("  0\nARC\n  8\n0\n 10\n1.000000\n 20\n2.000000\n 40\n3.000000\n"
                         " 50\n350.000000\n 51\n20.000000\n"));
}

TEST_F(DxfTest, EntitiesThatReadersRejectAreLeftOut) {
  writer.DxfCircle(1, 2, 0);
  writer.DxfCircle(1, 2, 0.0000004L);  // written as radius 0.000000
  writer.DxfArc(1, 2, 10, 20, 0);
  writer.DxfArc(1, 2, 0, 360, 0);
  writer.DxfArc(1, 2, 10, 20, -0.0000001L);
  writer.DxfLine(kNan, 0, 1, 1);
  writer.DxfLine(0, 0, 1, kInf);
  writer.DxfLine(0, 0, 1e4000L, 1);  // beyond the range of a double
  writer.DxfCircle(-kInf, 0, 1);
  writer.DxfCircle(0, 0, kNan);
  writer.DxfArc(0, kNan, 10, 20, 1);
  writer.DxfArc(0, 0, kNan, 20, 1);
  writer.DxfArc(0, 0, 10, kInf, 1);
  writer.DxfArc(0, 0, 0, 360, kInf);
  DxfTextStyle style;
  writer.DxfText("A", kNan, 0, style);
  for (long double DxfTextStyle::*field : {&DxfTextStyle::height, &DxfTextStyle::widthFactor,
                                           &DxfTextStyle::angle, &DxfTextStyle::slant}) {
    DxfTextStyle bad;
    bad.*field = kInf;
    writer.DxfText("A", 0, 0, bad);
  }
  EXPECT_EQ(Take(), "");

  // A negative radius is written as passed.
  writer.DxfCircle(0, 0, -2);
  EXPECT_EQ(Take(), Crlf("  0\nCIRCLE\n  8\n0\n 10\n0.000000\n 20\n0.000000\n 40\n-2.000000\n"));
}

TEST_F(DxfTest, HeaderWritesNonFiniteExtentsAsZero) {
  writer.DxfHeader(kNan, -kInf, 1e4000L, 2);
  std::string s = Take();
  EXPECT_EQ(s.find("nan"), std::string::npos);
  EXPECT_EQ(s.find("inf"), std::string::npos);
  EXPECT_NE(s.find("  9\r\n$EXTMIN\r\n 10\r\n0.000000\r\n 20\r\n0.000000\r\n"
                   "  9\r\n$EXTMAX\r\n 10\r\n0.000000\r\n 20\r\n2.000000\r\n"),
            std::string::npos);
}

TEST_F(DxfTest, TextKeepsItsLineAndCaretsStayLiteral) {
  writer.DxfText("x^2\r\n\tend^", 0, 0, DxfTextStyle{});
  std::string s = Take();
  EXPECT_NE(s.find("  1\r\nx^ 2   end^ \r\n"), std::string::npos) << s;
  // Bytes of the label's code page stay as they are.
  writer.DxfText("Gr\x81\xE1", 0, 0, DxfTextStyle{});
  EXPECT_NE(Take().find("  1\r\nGr\x81\xE1\r\n"), std::string::npos);
}

TEST_F(DxfTest, LayerStartsAtZeroAndPersistsAcrossConversions) {
  writer.DxfLine(0, 0, 1, 1);
  EXPECT_NE(Take().find("  8\r\n0\r\n"), std::string::npos);
  writer.DxfSetLayer("15");
  writer.DxfCircle(0, 0, 1);
  EXPECT_NE(Take().find("  8\r\n15\r\n"), std::string::npos);

  // The next conversion of the program run starts on the last layer of the previous one.
  StringChannel second;
  TextOut secondOut(second, errorFlag);
  DxfWriter next(secondOut, carry, settings);
  next.DxfLine(0, 0, 1, 1);
  EXPECT_EQ(second.text.substr(0, 20), Crlf("  0\nLINE\n  8\n15\n"));

  // A layer name is cut to 32 characters.
  next.DxfSetLayer(std::string(40, 'L'));
  EXPECT_EQ(carry.layer, std::string(32, 'L'));
}

TEST(DxfFormat, TextStyleFromTheDriver) {
  Settings settings;
  settings.TextWidthFactor = 2.0L;
  settings.TextAngle = 15.0L;
  DxfTextStyle s = MakeDxfTextStyle(90.0L, 4.0L, 3.0L, settings);
  EXPECT_EQ(s.height, 4.0L);
  EXPECT_EQ(s.widthFactor, 1.5L);
  EXPECT_EQ(s.angle, 90.0L);
  EXPECT_EQ(s.slant, 15.0L);
  EXPECT_EQ(MakeDxfTextStyle(0.0L, 0.0L, 3.0L, settings).widthFactor, 2.0L);
}

TEST(DxfFailure, FailedWritesSetTheFlagAndWritingGoesOn) {
  FailingChannel channel;
  bool errorFlag = false;
  TextOut out(channel, errorFlag);
  DxfCarry carry;
  Settings settings;
  DxfWriter writer(out, carry, settings);
  writer.DxfHeader(0, 0, 1, 1);
  EXPECT_TRUE(errorFlag);
  int before = channel.writes;
  writer.DxfEndSection();
  writer.DxfEndFile();
  EXPECT_GT(channel.writes, before);
}

// ---------------------------------------------------------------------------------------------
// Read back by ezdxf.

using testing::EzdxfEntity;
using Entity = EzdxfEntity;

std::string Hex(std::string_view s) {
  static const char* kDigits = "0123456789abcdef";
  std::string r;
  for (unsigned char c : s) {
    r += kDigits[c >> 4];
    r += kDigits[c & 15];
  }
  return r;
}

// Writes a drawing of a few hundred elements and records what a reader must find.
class EzdxfDrawing {
 public:
  EzdxfDrawing(DxfWriter& writer, DxfCarry& carry) : writer_(writer), carry_(carry) {}

  void Line(long double x1, long double y1, long double x2, long double y2) {
    writer_.DxfLine(x1, y1, x2, y2);
    expected.push_back({"LINE", carry_.layer, "-", {x1, y1, x2, y2}});
  }
  void Circle(long double x, long double y, long double r) {
    writer_.DxfCircle(x, y, r);
    expected.push_back({"CIRCLE", carry_.layer, "-", {x, y, r}});
  }
  void Arc(long double x, long double y, long double a1, long double a2, long double r) {
    writer_.DxfArc(x, y, a1, a2, r);
    expected.push_back({"ARC", carry_.layer, "-", {x, y, r, a1, a2}});
  }
  void FullCircleArc(long double x, long double y, long double a1, long double a2, long double r) {
    writer_.DxfArc(x, y, a1, a2, r);
    expected.push_back({"CIRCLE", carry_.layer, "-", {x, y, r}});
  }
  void Text(std::string_view text, std::string_view asRead, long double x, long double y,
            const DxfTextStyle& s) {
    writer_.DxfText(text, x, y, s);
    expected.push_back(
        {"TEXT", carry_.layer, Hex(asRead), {x, y, s.height, s.widthFactor, s.angle, s.slant}});
  }

  std::vector<Entity> expected;

 private:
  DxfWriter& writer_;
  DxfCarry& carry_;
};

TEST_F(DxfTest, EzdxfReadsTheDrawingBack) {
  const std::string python = testing::FindPythonWithEzdxf();
  if (python.empty()) {
    GTEST_SKIP() << "ezdxf is not installed (Debian package python3-ezdxf)";
  }

  writer.DxfHeader(-100.0L, -50.125L, 300.5L, 200.25L);
  writer.DxfTables();
  writer.DxfBeginEntities();
  EzdxfDrawing d(writer, carry);
  for (int i = 0; i < 400; ++i) {
    if (i % 25 == 0) writer.DxfSetLayer(std::to_string((i / 25) % 16));
    const long double x = i * 1.25L - 100.0L;
    const long double y = (i % 37) * 3.5L - 50.125L;
    const long double a1 = (i * 13) % 360 + 0.25L;
    switch (i % 5) {
      case 0:
        d.Line(x, y, x + 10.0L, y - i * 0.01L);
        break;
      case 1:
        d.Circle(x, y, 0.5L + i % 7);
        break;
      case 2:
        d.Arc(x, y, a1, std::fmod(a1 + 10.0L + i % 300, 360.0L), 1.0L + i % 3);
        break;
      case 3:
        d.FullCircleArc(x, y, a1, a1 + 360.0L, 2.0L);
        break;
      default:
        d.Text("P" + std::to_string(i), "P" + std::to_string(i), x, y,
               DxfTextStyle{2.5L, 0.8L, static_cast<long double>(i % 360), 0.0L});
        break;
    }
  }
  d.FullCircleArc(0, 0, 0, 360, 4);
  d.FullCircleArc(0, 0, 360, 0, 4);
  d.Arc(0, 0, 0, 359.99L, 4);
  d.Text("x^2\r\nend^", "x^ 2  end^ ", 1, 2, DxfTextStyle{3.0L, 1.0L, 90.0L, 12.5L});
  d.Text("Gr\x81n", "Gr\x81n", 1, 2, DxfTextStyle{});
  // Left out: radius 0 and numbers that are not finite.
  writer.DxfCircle(1, 1, 0);
  writer.DxfArc(1, 1, 10, 20, 0);
  writer.DxfLine(0, kNan, 1, 1);
  writer.DxfText("bad", kInf, 0, DxfTextStyle{});
  writer.DxfEndSection();
  writer.DxfEndFile();
  ASSERT_FALSE(errorFlag);
  EXPECT_EQ(channel.text.find("nan"), std::string::npos);
  EXPECT_EQ(channel.text.find("inf"), std::string::npos);

  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("plotvue-dxf-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::filesystem::path dxf = dir / "drawing.dxf";
  std::ofstream(dxf, std::ios::binary) << channel.text;

  const testing::EzdxfReading reading =
      testing::ReadWithEzdxf(python, {dxf.string()}, dir.string());
  std::filesystem::remove_all(dir);
  ASSERT_EQ(reading.status, 0) << reading.output;
  ASSERT_EQ(reading.files.size(), 1u) << reading.output;
  const testing::EzdxfFile& file = reading.files[0];
  ASSERT_EQ(file.failure, "");
  for (const std::string& error : file.errors) ADD_FAILURE() << "ezdxf audit: " << error;
  ASSERT_TRUE(file.done) << reading.output;
  const std::vector<Entity>& seen = file.entities;
  std::map<std::string, std::vector<long double>> header = file.header;
  const std::string& layers = file.layers;
  const std::string& style = file.style;

  EXPECT_EQ(header["$EXTMIN"], (std::vector<long double>{-100.0L, -50.125L}));
  EXPECT_EQ(header["$EXTMAX"], (std::vector<long double>{300.5L, 200.25L}));
  std::set<std::string> layerNames;
  for (int n = 0; n < 16; ++n) layerNames.insert(std::to_string(n));
  std::string expectedLayers;
  for (const std::string& name : layerNames)
    expectedLayers += (expectedLayers.empty() ? "" : " ") + name;
  EXPECT_EQ(layers, expectedLayers);
  EXPECT_EQ(style, "TXT8");

  std::map<std::string, int> expectedCounts, seenCounts;
  for (const Entity& e : d.expected) ++expectedCounts[e.kind];
  for (const Entity& e : seen) ++seenCounts[e.kind];
  EXPECT_EQ(seenCounts, expectedCounts);
  EXPECT_GE(expectedCounts["TEXT"], 80);
  EXPECT_GE(expectedCounts["ARC"], 80);

  ASSERT_EQ(seen.size(), d.expected.size());
  for (std::size_t k = 0; k < seen.size(); ++k) {
    const Entity& want = d.expected[k];
    const Entity& got = seen[k];
    SCOPED_TRACE("entity " + std::to_string(k) + " " + want.kind);
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.layer, want.layer);
    EXPECT_EQ(got.textHex, want.textHex);
    ASSERT_EQ(got.nums.size(), want.nums.size());
    for (std::size_t j = 0; j < want.nums.size(); ++j) {
      // Reals are written with 6 decimals; the short format of the text values keeps these.
      EXPECT_NEAR(static_cast<double>(got.nums[j]), static_cast<double>(want.nums[j]), 1e-6)
          << "value " << j;
    }
  }
}

}  // namespace
}  // namespace plotvue
