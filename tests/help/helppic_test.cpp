// The help-picture reader: each command of the reduced dialect as the device sees it, the label
// rules (character set 3 umlauts, the 256-character rule), arcs, PE, and hostile pictures.
#include "help/helppic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "graphics/fakes.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

Log Draw(const std::string& picture, HelpPictureState* state = nullptr) {
  RecordingInteraction ui;
  Program program(ui);
  RecordingDevice device;
  HelpPictureState fresh;
  std::istringstream in(picture);
  ReadHelpPicture(program, device, in, state ? *state : fresh);
  return device.log;
}

// A device that checks every value it is given and counts the calls.
class FiniteDevice : public DrawingDevice {
 public:
  void DevWaitCursor() override {}
  void DevClearViewPort() override {}
  void DevSetColor(int) override {}
  void DevLine(long double x1, long double y1, long double x2, long double y2) override {
    Check({x1, y1, x2, y2});
  }
  void DevCircle(long double x, long double y, long double r) override { Check({x, y, r}); }
  void DevArc(long double cx, long double cy, long double a1, long double a2,
              long double r) override {
    Check({cx, cy, a1, a2, r});
  }
  void DevSetTextStyle(int, long double d, long double h, long double w) override {
    Check({d, h, w});
  }
  void DevSetTextJustify(int, int) override {}
  void DevOutText(const std::string& text, long double x, long double y) override {
    EXPECT_LT(text.size(), kMaxHelpLabel);
    Check({x, y});
  }
  void Check(std::initializer_list<long double> values) {
    ++calls;
    for (long double v : values) EXPECT_TRUE(std::isfinite(v));
  }
  int calls = 0;
};

void DrawHostile(const std::string& picture) {
  RecordingInteraction ui;
  Program program(ui);
  FiniteDevice device;
  HelpPictureState state;
  std::istringstream in(picture);
  ReadHelpPicture(program, device, in, state);
  // The state stays usable for the next picture.
  EXPECT_TRUE(std::isfinite(state.x) && std::isfinite(state.y));
  EXPECT_TRUE(std::isfinite(state.charWidth) && std::isfinite(state.charHeight));
}

TEST(HelpPicture, PenMovesAndLines) {
  EXPECT_EQ(Draw("PU0,0;PD10,10,20,20;"), (Log{"DevSetColor(12)", "DevLine(0,0,0.25,0.25)",
                                               "DevSetColor(12)", "DevLine(0.25,0.25,0.5,0.5)"}));
  // SP; is pen 1; pens 1..7 have their colours, others are colour numbers.
  EXPECT_EQ(Draw("SP3;SP;PU0,0;PD40,0;"), (Log{"DevSetColor(12)", "DevLine(0,0,1,0)"}));
  EXPECT_EQ(Draw("SP2;PU0,0;PD40,0;SP7;PD80,0;SP9;PD120,0;"),
            (Log{"DevSetColor(14)", "DevLine(0,0,1,0)", "DevSetColor(15)", "DevLine(1,0,2,0)",
                 "DevSetColor(9)", "DevLine(2,0,3,0)"}));
  // The current point starts at (-996, -996) mm; PA keeps the pen as it is; blanks, line ends
  // and the letters P and A are passed over; a decimal point is read; an empty coordinate is 0.
  EXPECT_EQ(Draw("PD40,40;\r\n pa 80 , 4P ; PU ; PA ,;PD;PA40,;"),
            (Log{"DevSetColor(12)", "DevLine(-996,-996,1,1)", "DevSetColor(12)",
                 "DevLine(1,1,2,0.1)", "DevSetColor(12)", "DevLine(0,0,1,0)"}));
  // Other commands are passed over up to their ";", ";" where a command begins too.
  EXPECT_EQ(Draw(";;IN;RO90;IP0,0,10,10;LT;VS5;PU0,0;DF;PD0,40;"),
            (Log{"DevSetColor(12)", "DevLine(0,0,0,1)"}));
}

TEST(HelpPicture, CirclesAndArcs) {
  EXPECT_EQ(Draw("PU400,400;CI40;CI;"), (Log{"DevSetColor(12)", "DevCircle(10,10,1)"}));
  // From (10, 0) about (0, 0) over 90 degrees, then the current point is the centre.
  EXPECT_EQ(Draw("PU400,0;PD;AA0,0,90;PD40,0;"),
            (Log{"DevSetColor(12)", "DevArc(0,0,0,90,10)", "DevSetColor(12)", "DevLine(0,0,1,0)"}));
  // A clockwise sweep is drawn counter-clockwise from its end; a zero sweep is a full circle.
  EXPECT_EQ(Draw("PU400,0;PD;AA0,0,-90;"), (Log{"DevSetColor(12)", "DevArc(0,0,-90,0,10)"}));
  EXPECT_EQ(Draw("PU400,0;PD;AA0,0,0;"), (Log{"DevSetColor(12)", "DevArc(0,0,0,360,10)"}));
  // With the pen up nothing is drawn, and the centre becomes the current point all the same.
  EXPECT_EQ(Draw("PU400,0;AA40,0,90;PD40,40;"), (Log{"DevSetColor(12)", "DevLine(1,0,1,1)"}));
}

TEST(HelpPicture, Labels) {
  // Size in cm, direction, and the text at the current point; CR and LF are dropped.
  EXPECT_EQ(Draw("PU40,80;SI0.2,0.3;DI0,1;LBLe\r\n plan\x03"),
            (Log{"DevSetColor(12)", "DevSetTextStyle(2,90,3,2)", "DevSetTextJustify(0,0)",
                 "DevOutText(Le plan,1,2)"}));
  // Start values: 5 x 5 cm, direction 1, 0.
  EXPECT_EQ(Draw("LBa\x03")[1], "DevSetTextStyle(2,0,50,50)");
  // SI; and DI; without parameters change nothing.
  EXPECT_EQ(Draw("SI0.1,0.2;SI;DI-1,0;DI;LBa\x03")[1], "DevSetTextStyle(2,180,2,1)");
  // Character set 3: "}" after a vowel makes it the code page 437 umlaut.
  EXPECT_EQ(Draw("CS3;LBMu}nchen A}O}U}a}o} x} }\x03").back(),
            "DevOutText(M\x81nchen \x8e\x99\x9a\x84\x94 x} },-996,-996)");
  EXPECT_EQ(Draw("CS1;LBMu}nchen\x03").back(), "DevOutText(Mu}nchen,-996,-996)");
  // The character set is kept from one picture to the next, with the pen and the sizes.
  HelpPictureState state;
  Draw("CS3;SP2;SI0.1,0.1;PU40,40;", &state);
  EXPECT_EQ(Draw("LBu}\x03", &state),
            (Log{"DevSetColor(14)", "DevSetTextStyle(2,0,1,1)", "DevSetTextJustify(0,0)",
                 "DevOutText(\x81,-996,-996)"}));
}

TEST(HelpPicture, LabelsOf256CharactersDrawThePreviousLabel) {
  const std::string tooLong = std::string(256, 'x') + "PU0,0;PD40,0;\x03";
  Log log = Draw("LBavant\x03LB" + tooLong);
  ASSERT_EQ(log.size(), 10u);
  EXPECT_EQ(log[7], "DevOutText(avant,-996,-996)");
  // The rest of the label, "PU0,0;PD40,0;", is read as commands (the end character then
  // begins a command that the end of the file cuts short).
  EXPECT_EQ(log[9], "DevLine(0,0,1,0)");
  // Without a previous label, an empty text; 255 characters are a label of their own.
  EXPECT_EQ(Draw("LB" + tooLong)[3], "DevOutText(,-996,-996)");
  EXPECT_EQ(Draw("LB" + std::string(255, 'y') + "\x03").back(),
            "DevOutText(" + std::string(255, 'y') + ",-996,-996)");
}

TEST(HelpPicture, PolylineEncoded) {
  // 8-bit: "<" a move, "=" absolute: (40, 40) units is "O" 0xC0 each; then the relative point
  // (+4, -2) units is 0xC7 0xC4.
  EXPECT_EQ(Draw("PE<=O\xc0O\xc0\xc7\xc4;PD0,0;"),
            (Log{"DevSetColor(12)", "DevLine(1,1,1.1,0.95)", "DevSetColor(12)",
                 "DevLine(1.1,0.95,0,0)"}));
  // 7-bit: 40 is "O" "a"; ":" takes the pen from the next character's code (2: colour 14),
  // ">" skips one character, blanks are passed over.
  EXPECT_EQ(Draw("PU0,0;PE7 :\x02>x Oa_ ;"), (Log{"DevSetColor(14)", "DevLine(0,0,1,0)"}));
  // PE puts the pen down; a pen code above 15 is pen 15.
  EXPECT_EQ(Draw("PU0,0;PE:\xff\xc8\xbf;"), (Log{"DevSetColor(15)", "DevLine(0,0,-0.1,0)"}));
}

TEST(HelpPicture, EndsOfFileInTheMiddleOfACommand) {
  EXPECT_EQ(Draw("PU0,0;PD40,40"), Log{});
  EXPECT_EQ(Draw("PU0,0;PD40,40,80"), (Log{"DevSetColor(12)", "DevLine(0,0,1,1)"}));
  EXPECT_EQ(Draw("LBno end"), Log{});
  EXPECT_EQ(Draw("PU0,0;PD;AA0,0"), Log{});
  EXPECT_EQ(Draw("PU0,0;PE<=O\xc0"), Log{});
  EXPECT_EQ(Draw("P"), Log{});
  EXPECT_EQ(Draw("SP"), Log{});
}

TEST(HelpPicture, HostileNumbersStayFinite) {
  const std::string digits(5000, '9');
  DrawHostile("PD1e4000,1e4000,-1e4000,1e4000;CI1e4000;SI1e4000,1e4000;LBx\x03");
  DrawHostile("PD" + digits + "," + digits + ";CI" + digits + ";");
  DrawHostile("PDnan,inf;PD1e99999,-1e99999;SInan,inf;DI1e4000,1e4000;LBx\x03");
  DrawHostile("PU1e4000,1e4000;PD;AA-1e4000,1e4000,1e4000;AA0,0,1e4000;");
  DrawHostile("SP1e4000;PD1,1;SP-5;PD2,2;CS1e4000;LBa\x03");
  // Very long PE numbers, and many relative moves in one direction.
  DrawHostile("PE" + std::string(3000, '~') + "\xfe" + std::string(3000, '~') + "\xfe;");
  std::string far = "PE";
  for (int i = 0; i < 2000; ++i) far += std::string(10, '~') + "\xfe\xbf";
  DrawHostile(far + ";PD0,0;");
  // Labels that never end, without a previous label.
  DrawHostile("LB" + std::string(100000, 'z'));
}

TEST(HelpPicture, RandomBytesNeverCrashOrHang) {
  std::mt19937 random(1234);
  const std::string alphabet = "PUDASICBEL;,.-0123456789\x03:<=>7 \r\n}";
  for (int round = 0; round < 300; ++round) {
    std::string bytes(static_cast<std::size_t>(random() % 400), '\0');
    for (char& c : bytes)
      c = round % 2 ? static_cast<char>(random() % 256)
                    : alphabet[static_cast<std::size_t>(random() % alphabet.size())];
    DrawHostile(bytes);
  }
}

TEST(DrawHelpPicture, FilesCursorsAndTheErrorFlag) {
  WindowFixture f;
  const fs::path dir =
      fs::temp_directory_path() / ("plotvue_helppic_" + std::to_string(::getpid()));
  fs::create_directories(dir / "sub.plt");
  std::ofstream(dir / "a.plt", std::ios::binary) << "SP1;PU0,0;PD40,0;PD80";
  HelpPictureState state;
  // A file that ends in the middle of a command: what came before is drawn, the flag cleared.
  f.program.ErrorFlag = false;
  EXPECT_TRUE(DrawHelpPicture(f.program, f.device, (dir / "a.plt").string(), state));
  EXPECT_EQ(f.Records(), (std::vector<std::string>{"8;12", "4;0;0;1;0"}));
  EXPECT_FALSE(f.program.ErrorFlag);
  EXPECT_EQ(f.host.log, (std::vector<std::string>{"Cursor(wait)", "Cursor(arrow)"}));
  // A missing file and a directory are reported, the flag stays set, the cursor is the arrow.
  for (const char* name : {"absent.plt", "sub.plt"}) {
    f.program.ErrorFlag = false;
    f.host.log.clear();
    EXPECT_FALSE(DrawHelpPicture(f.program, f.device, (dir / name).string(), state));
    EXPECT_TRUE(f.program.ErrorFlag);
    EXPECT_EQ(f.ui.messages.back(), (dir / name).string() + " pas trouver !");
    EXPECT_EQ(f.host.log, (std::vector<std::string>{"Cursor(wait)", "Cursor(arrow)"}));
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace plotvue::testing
