// Tests of the C source writer: the exact file layout (header, the split into drawing functions,
// main), every statement's text, the escaping of labels, and a real compile-and-run check: gcc
// builds the generated program against the stub library beside this file, and the program's
// drawing calls are compared with the drawing that was written.
#include "formats/tcutil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/tavostub.h"

namespace plotvue {
namespace {

using testing::RunCommand;

const std::vector<std::string> kHeader = {
    "/* TAVOLIN Industriesoftware GmbH */",
    "/* Programm PLOT */",
    "/* generiert vom PLOTVUE */",
    "",
    "#include \"TavoDef.H\"",
    "#include \"RareDova.H\"",
    "",
};

std::vector<std::string> FunctionStart(int k) {
  return {"", "void TavoDrawing" + std::to_string(k) + "()", "/*****************/", "  {"};
}

// The lines of main for `functions` drawing functions and the extents (0, 0)-(100, 50).
std::vector<std::string> MainLines(int functions) {
  std::vector<std::string> lines = {"  }",
                                    "",
                                    "void main()",
                                    "  {",
                                    "  static char ch=0;",
                                    "  RareDova();",
                                    "  T_Init(0);",
                                    "  T_InitGraph();",
                                    "  T_ResetWindow();",
                                    "  T_DrawTavoGraphTestFrame(\"RareDova\");",
                                    "  T_SetWindow(0,0,0.8,0.9,0,0,100,50,TRUE,TRUE);",
                                    "  do",
                                    "    {",
                                    "    T_ClearViewPort();"};
  for (int k = 1; k <= functions; ++k)
    lines.push_back("    TavoDrawing" + std::to_string(k) + "();");
  for (const char* s : {"    T_ZoomKey(&ch);", "    } while(!((ch==13) || (ch==27)));",
                        "  T_CloseGraph();", "  }"}) {
    lines.push_back(s);
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& line : lines) s += line + "\r\n";
  return s;
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
  to.insert(to.end(), lines.begin(), lines.end());
}

Extents DrawingExtents() {
  Extents e;
  e.xmin = 0;
  e.ymin = 0;
  e.xmax = 100;
  e.ymax = 50;
  return e;
}

class TcWriterTest : public ::testing::Test {
 protected:
  StringChannel channel;
  bool errorFlag = false;
  TextOut out{channel, errorFlag};
  Settings settings;
  TcWriter writer{out, settings};

  // The statement lines written since the header (everything after the first function start).
  std::string Body() const {
    std::string head = Join(kHeader) + Join(FunctionStart(1));
    return channel.text.substr(head.size());
  }
};

// The file for `lines` line statements T_Line(k,0,k,1);.
std::string LinesFile(int lines) {
  std::vector<std::string> expected = kHeader;
  Append(expected, FunctionStart(1));
  int function = 1;
  int counted = static_cast<int>(kHeader.size());
  for (int k = 0; k < lines; ++k) {
    expected.push_back("  T_Line(" + std::to_string(k) + ",0," + std::to_string(k) + ",1);");
    if (++counted > 250) {
      expected.push_back("  }");
      Append(expected, FunctionStart(++function));
      counted = 0;
    }
  }
  Append(expected, MainLines(function));
  return Join(expected);
}

TEST_F(TcWriterTest, EmptyDrawingHasOneEmptyFunctionThatMainCalls) {
  writer.TcBeginFile("PLOT");
  writer.TcEndFile(DrawingExtents());
  std::vector<std::string> expected = kHeader;
  Append(expected, FunctionStart(1));
  Append(expected, MainLines(1));
  EXPECT_EQ(channel.text, Join(expected));
  EXPECT_FALSE(errorFlag);
}

TEST_F(TcWriterTest, FunctionSplits) {
  struct Case {
    int lines;
    int functions;
    int inFirst;
    int inLast;
  };
  // The first function holds 244 statements (251 counted lines less the 7 header lines); 244
  // exactly begins an empty second function at once; later functions hold 251.
  for (Case c : {Case{300, 2, 244, 56}, Case{244, 2, 244, 0}, Case{243, 1, 243, 243},
                 Case{244 + 251, 3, 244, 0}, Case{244 + 252, 3, 244, 1}}) {
    SCOPED_TRACE(c.lines);
    StringChannel ch;
    bool flag = false;
    TextOut o(ch, flag);
    TcWriter w(o, settings);
    w.TcBeginFile("PLOT");
    for (int k = 0; k < c.lines; ++k) w.TcLine(k, 0, k, 1);
    w.TcEndFile(DrawingExtents());
    EXPECT_EQ(w.state.functionCount, c.functions);
    EXPECT_EQ(ch.text, LinesFile(c.lines));

    // Count the statements of the first and the last function in the text itself.
    std::vector<int> perFunction;
    std::istringstream in(ch.text);
    std::string line;
    while (std::getline(in, line)) {
      if (line.starts_with("void TavoDrawing")) perFunction.push_back(0);
      if (line.starts_with("  T_Line(")) ++perFunction.back();
    }
    ASSERT_EQ(static_cast<int>(perFunction.size()), c.functions);
    EXPECT_EQ(perFunction.front(), c.inFirst);
    EXPECT_EQ(perFunction.back(), c.inLast);
  }
}

TEST_F(TcWriterTest, Statements) {
  writer.TcBeginFile("PLOT");
  writer.TcLine(0, 0, 12.5, 7);
  writer.TcSetColor(3);
  writer.TcSetColor(9);
  writer.TcSetColor(1);
  writer.TcSetColor(7);
  writer.TcSetColor(0);
  writer.TcSetColor(256 + 2);  // pen numbers are taken modulo 256
  writer.TcCircle(5, -5, 2.25);
  writer.TcArc(10, 20, 0, 360, 0.5);
  writer.TcArc(1234.6, 0.1234, -90, 45.5, 999.96);
  writer.TcMoveTo(-0.000001, 3);
  writer.TcSetTextStyle(0, 90, 4, 3);
  writer.TcSetTextStyle(2, 45, 2.5, 1.75);
  writer.TcSetTextStyle(0, 180, 4, 3);
  writer.TcOutText("tower 12", 8.5, 47.5);
  EXPECT_EQ(Body(),
            "  T_Line(0,0,12.5,7);\r\n"
            "  T_SetColor(10);\r\n"
            "  T_SetColor(9);\r\n"
            "  T_SetColor(12);\r\n"
            "  T_SetColor(15);\r\n"
            "  T_SetColor(0);\r\n"
            "  T_SetColor(14);\r\n"
            "  T_Circle(5,-5,2.25);\r\n"
            "  T_Arc(10,20,0,360,0.5);\r\n"
            "  T_Arc(1235,0.123,-90,45.5,1000.0);\r\n"
            "  T_MoveTo(0,3);\r\n"
            "  T_SetTextStyle(0,1,4,3);\r\n"
            "  T_SetTextStyle(2,0,2.5,1.75);\r\n"
            "  T_SetTextStyle(0,0,4,3);\r\n"
            "  T_OutTextXY(8.5,47.5,\"tower 12\");\r\n");
}

TEST_F(TcWriterTest, DecimalsSettingShiftsEveryNumber) {
  settings.DecimalPlaces = 5;
  writer.TcBeginFile("PLOT");
  writer.TcLine(12.5, 1, 0, 0.5);
  EXPECT_EQ(Body(), "  T_Line(12.500,1.00,0,0.500);\r\n");
}

TEST(TcColor, PenTable) {
  const int expected[] = {0, 12, 14, 10, 11, 9, 13, 15, 8, 9};
  for (int pen = 0; pen < 10; ++pen) EXPECT_EQ(TcColor(pen), expected[pen]) << pen;
  EXPECT_EQ(TcColor(255), 255);
  EXPECT_EQ(TcColor(257), 12);
  EXPECT_EQ(TcColor(-1), 255);
}

TEST(TcTextDirection, VerticalOnlyStrictlyInsideTheRanges) {
  struct Case {
    long double angle;
    int direction;
  };
  for (Case c : {Case{0, 0}, Case{45, 0}, Case{45.001L, 1}, Case{90, 1}, Case{134.99L, 1},
                 Case{135, 0}, Case{180, 0}, Case{225, 0}, Case{270, 1}, Case{315, 0}, Case{-45, 0},
                 Case{-90, 1}, Case{-135, 0}, Case{-270, 0}, Case{360, 0}, Case{450, 0}}) {
    EXPECT_EQ(TcTextDirection(c.angle), c.direction) << static_cast<double>(c.angle);
  }
}

TEST(TcEscapeText, EveryLabelBecomesAValidLiteralBody) {
  struct Case {
    std::string text;
    std::string literal;
  };
  for (const Case& c : std::vector<Case>{
           {"tower 12", "tower 12"},
           {"say \"hi\"", "say \\\"hi\\\""},
           {"C:\\DIR\\", "C:\\\\DIR\\\\"},
           {"\");system(\"rm -rf /\");//", "\\\");system(\\\"rm -rf /\\\");//"},
           {"line1\r\nline2", "line1\\015\\012line2"},
           {std::string{'a', '\0', '7'}, "a\\0007"},
           {"\x7f\x1b", "\\177\\033"},
           // "\?" keeps trigraphs out of this source itself.
           {"\?\?=\?\?/\?\?'", "?\\?=?\\?/?\\?'"},
           {"\?\?\?", "?\\?\\?"},
           {"\x82t\xe9 \xf8", "\x82t\xe9 \xf8"},
           {"*/ /* //", "*/ /* //"},
           {"", ""},
       }) {
    EXPECT_EQ(TcEscapeText(c.text), c.literal);
  }
}

TEST_F(TcWriterTest, PlotFileCannotEndTheHeaderComment) {
  writer.TcBeginFile("A*/int x;/*");
  EXPECT_TRUE(channel.text.starts_with(
      "/* TAVOLIN Industriesoftware GmbH */\r\n/* Programm A* /int x;/* */\r\n"));
}

TEST_F(TcWriterTest, NonFiniteStatementsAreNotWrittenNorCounted) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  writer.TcBeginFile("PLOT");
  writer.TcLine(0, nan, 1, 1);
  writer.TcLine(0, 0, inf, 1);
  writer.TcCircle(0, 0, nan);
  writer.TcArc(0, 0, 0, inf, 1);
  writer.TcMoveTo(-inf, 0);
  writer.TcSetTextStyle(0, nan, 4, 3);
  writer.TcOutText("x", nan, 0);
  EXPECT_EQ(Body(), "");
  EXPECT_EQ(writer.state.lineCount, 7);
  writer.TcLine(1, 2, 3, 4);
  EXPECT_EQ(Body(), "  T_Line(1,2,3,4);\r\n");
}

TEST(TcNumber, HugeValuesStayValidFloatingConstants) {
  EXPECT_EQ(TcNumber(1234.6L, 3), "1235");
  EXPECT_EQ(TcNumber(123456789012345678.0L, 3), "123456789012345678");
  for (long double v : {1e19L, -1e32L, 1e32L}) {
    std::string s = TcNumber(v, 3);
    EXPECT_TRUE(s.ends_with(".0")) << s;
    EXPECT_EQ(std::strtold(s.c_str(), nullptr), v) << s;
  }
}

TEST_F(TcWriterTest, EmptyScanExtentsStayValidC) {
  writer.TcBeginFile("PLOT");
  writer.TcEndFile(Extents{});
  std::string big = TcNumber(1e32L, 3);
  EXPECT_NE(channel.text.find("  T_SetWindow(0,0,0.8,0.9," + big + "," + big + ",-" + big + ",-" +
                              big + ",TRUE,TRUE);\r\n"),
            std::string::npos);
}

TEST_F(TcWriterTest, EachFileStartsAgainWithFunctionOne) {
  writer.TcBeginFile("PLOT");
  for (int k = 0; k < 300; ++k) writer.TcLine(k, 0, k, 1);
  writer.TcEndFile(DrawingExtents());
  channel.text.clear();
  writer.TcBeginFile("PLOT");
  writer.TcEndFile(DrawingExtents());
  std::vector<std::string> expected = kHeader;
  Append(expected, FunctionStart(1));
  Append(expected, MainLines(1));
  EXPECT_EQ(channel.text, Join(expected));
}

// --- The generated program, compiled with gcc and run against the stub library. ---

// A scratch folder under the temporary directory, removed with everything in it.
struct TempDir {
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plotvue-tc-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
  std::filesystem::path path;
};

std::string Hex(const std::string& s) {
  std::string h;
  char buf[3];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02x", c);
    h += buf;
  }
  return h;
}

// One record line as the stub prints it, for numbers that the short format writes exactly.
std::string Record(char kind, std::initializer_list<double> values, const std::string& tail = "") {
  std::string s(1, kind);
  char buf[40];
  for (double v : values) {
    std::snprintf(buf, sizeof buf, " %.17g", v);
    s += buf;
  }
  return s + tail;
}

TEST(TcGeneratedProgram, CompilesAndMakesOneDrawingCallPerElement) {
  if (!testing::HaveProgram("gcc")) GTEST_SKIP() << testing::kNoGcc;
  std::filesystem::path stubs = testing::TavoStubDir();
  ASSERT_TRUE(std::filesystem::exists(stubs / "RareDova.c")) << stubs;

  TempDir temp;
  ASSERT_FALSE(temp.path.empty());
  const std::filesystem::path& dir = temp.path;

  // A drawing of several hundred elements over three drawing functions. Every number is a
  // multiple of 0.25 below 1000, which the short format writes exactly. Labels carry quotes,
  // backslashes, line ends, trigraph look-alikes, code page 437 letters and would-be code.
  Settings settings;
  StringChannel channel;
  bool errorFlag = false;
  TextOut out(channel, errorFlag);
  TcWriter writer(out, settings);
  std::vector<std::string> expected;  // drawing records, in order
  int elements = 0;
  const std::vector<std::string> labels = {"tower 12", "say \"hi\"", "C:\\PLOT\\", "\");exit(1);//",
                                           "a\r\nb",   "\?\?=\?\?/", "\x82t\xe9",  "*/",
                                           "%s%n",     "\t\x1b[0m"};
  writer.TcBeginFile("PLOT");
  for (int k = 0; k < 640; ++k) {
    double a = (k % 400) * 0.25;
    double b = ((k * 7) % 300) * 0.5 - 20;
    switch (k % 8) {
      case 0:
        writer.TcSetColor(k % 10);
        expected.push_back("K " + std::to_string(TcColor(k % 10)));
        break;
      case 1:
      case 2:
      case 3:
        writer.TcLine(a, b, b, a);
        expected.push_back(Record('L', {a, b, b, a}));
        ++elements;
        break;
      case 4:
        writer.TcCircle(a, b, 1.5);
        expected.push_back(Record('C', {a, b, 1.5}));
        ++elements;
        break;
      case 5:
        writer.TcArc(b, a, -90, 180.5, 2.25);
        expected.push_back(Record('A', {b, a, -90, 180.5, 2.25}));
        ++elements;
        break;
      case 6: {
        writer.TcSetTextStyle(0, (k % 3) * 90.0, 2.5, 1.75);
        // Built with append: GCC 12 warns wrongly (-Wrestrict) on a chain of + here.
        std::string style = "S 0 ";
        style += std::to_string(k % 3 == 1 ? 1 : 0);
        style += " 2.5 1.75";
        expected.push_back(style);
        break;
      }
      case 7: {
        writer.TcMoveTo(a, b);
        expected.push_back(Record('M', {a, b}));
        const std::string& text = labels[static_cast<std::size_t>(k / 8) % labels.size()];
        writer.TcOutText(text, a, b);
        std::string tail(" ");  // appended, not "+": GCC 12 warns wrongly (-Wrestrict)
        tail += Hex(text);
        expected.push_back(Record('T', {a, b}, tail));
        ++elements;
        break;
      }
    }
  }
  Extents extents;
  extents.xmin = -20;
  extents.ymin = -20;
  extents.xmax = 129.5;
  extents.ymax = 129.5;
  writer.TcEndFile(extents);
  ASSERT_FALSE(errorFlag);
  ASSERT_EQ(writer.state.functionCount, 3);

  {
    std::ofstream file(dir / "PLOT.c", std::ios::binary);
    file << channel.text;
  }
  std::string diagnostics;
  int status = testing::CompileWithTavoStub(dir / "PLOT.c", dir / "plot", diagnostics);
  ASSERT_EQ(status, 0) << diagnostics;
  EXPECT_EQ(diagnostics, "");

  std::string run = RunCommand("'" + (dir / "plot").string() + "'", status);
  EXPECT_EQ(status, 0);

  // Split the stub's records into the frame calls of main and the drawing records.
  std::vector<std::string> drawn;
  std::vector<std::string> frame;
  int drawingCalls = 0;
  std::istringstream in(run);
  for (std::string line; std::getline(in, line);) {
    char kind = line.empty() ? ' ' : line[0];
    if (testing::IsTavoDrawingRecord(line)) {
      drawn.push_back(line);
      if (std::string("LCAT").find(kind) != std::string::npos) ++drawingCalls;
    } else {
      frame.push_back(line);
    }
  }
  EXPECT_EQ(drawingCalls, elements);
  EXPECT_EQ(drawn, expected);
  EXPECT_EQ(frame, (std::vector<std::string>{
                       "RareDova", "Init 0", "InitGraph", "ResetWindow", "Frame RareDova",
                       "W 0 0 0.80000000000000004 0.90000000000000002 -20 -20 129.5 129.5 1 1",
                       "Clear", "Zoom", "Close"}));
}

}  // namespace
}  // namespace plotvue
