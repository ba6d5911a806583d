// The help files the program ships in data/help/: every topic the program asks for is there and
// reads as intended, and every picture named draws inside the help window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <set>

#include "help/helppic.h"
#include "help/helptext.h"
#include "support/process.h"
#include "support/recording.h"

namespace plotvue::testing {
namespace {

const std::string kHelpDir = std::string(PLOTVUE_DATA_DIR) + "/help/";

// The topic numbers of the program's dialogs, prompts and windows.
constexpr int kTopics[] = {1940, 2100, 5100, 5110, 5120, 5130, 5140, 5150, 5160, 5170, 5180, 5190,
                           5200, 5210, 5215, 5220, 5230, 5240, 5250, 5260, 5270, 5280, 5290, 5350,
                           5500, 9000, 9010, 9020, 9100, 9200, 9210, 9220, 9230, 9240, 9300};

HelpTopic Shipped(int topic) { return LookUpHelpTopic(kHelpDir + HelpFileName(topic), topic); }

// Every line the picture draws, and whether each element lies in (0, 0)-(160, 120) mm.
class BoundsDevice : public DrawingDevice {
 public:
  void DevWaitCursor() override {}
  void DevClearViewPort() override {}
  void DevSetColor(int) override {}
  void DevLine(long double x1, long double y1, long double x2, long double y2) override {
    ++lines;
    Inside(x1, y1);
    Inside(x2, y2);
  }
  void DevCircle(long double x, long double y, long double r) override {
    Inside(x - r, y - r);
    Inside(x + r, y + r);
  }
  // An arc: its ends and points every 5 degrees between them.
  void DevArc(long double cx, long double cy, long double a1, long double a2,
              long double r) override {
    for (long double a = a1; a < a2 + 5; a += 5) {
      const long double rad = std::min(a, a2) * std::numbers::pi_v<long double> / 180;
      Inside(cx + r * std::cos(rad), cy + r * std::sin(rad));
    }
  }
  void DevSetTextStyle(int, long double, long double height, long double) override {
    textHeight = height;
  }
  void DevSetTextJustify(int, int) override {}
  void DevOutText(const std::string& text, long double x, long double y) override {
    Inside(x, y);
    Inside(x, y + textHeight);
    EXPECT_LE(textHeight, 8) << text;
    EXPECT_FALSE(text.empty());
  }
  void Inside(long double x, long double y) {
    if (!(x >= 0 && x <= 160 && y >= 0 && y <= 120)) ++outside;
  }
  int lines = 0;
  int outside = 0;
  long double textHeight = 0;
};

TEST(ShippedHelp, EveryTopicIsThereWithItsOwnText) {
  for (int topic : kTopics) {
    SCOPED_TRACE(topic);
    const HelpTopic t = Shipped(topic);
    ASSERT_TRUE(t.found) << t.lines[0];
    EXPECT_GE(t.lines[0].size(), 20u);
    for (const std::string& line : t.lines) {
      EXPECT_LE(line.size(), 72u);
      EXPECT_EQ(line.find('\r'), std::string::npos);
      // Code page 437 text: no UTF-8 lead byte of an accented letter.
      EXPECT_EQ(line.find('\xc3'), std::string::npos) << line;
    }
    // Each topic stops where its group of five ends: no text of the next topic shows.
    for (int other : kTopics) {
      if (other == topic) continue;
      const std::string first = Shipped(other).lines[0];
      for (const std::string& line : t.lines) EXPECT_NE(line, first) << other;
    }
  }
  // A text with accents arrives converted.
  EXPECT_NE(HelpMessageText(Shipped(5230)).find("décalage"), std::string::npos);
}

TEST(ShippedHelp, TheGeometricSettingsHavePicturesThatDrawInTheHelpWindow) {
  std::set<std::string> pictures;
  for (int topic : kTopics) {
    const HelpTopic t = Shipped(topic);
    if (!t.picture.empty() && t.picture != "NULL") pictures.insert(t.picture);
  }
  for (int topic : {5220, 5230, 5240, 5260, 5270}) {
    const std::string name = Shipped(topic).picture;
    EXPECT_TRUE(!name.empty() && name != "NULL") << topic;
  }
  EXPECT_EQ(pictures.size(), 5u);
  for (const std::string& name : pictures) {
    SCOPED_TRACE(name);
    std::ifstream in(kHelpDir + name + ".plt", std::ios::binary);
    ASSERT_TRUE(in.is_open());
    RecordingInteraction ui;
    Program program(ui);
    BoundsDevice device;
    HelpPictureState state;
    ReadHelpPicture(program, device, in, state);
    EXPECT_GE(device.lines, 10);
    EXPECT_EQ(device.outside, 0);
  }
}

TEST(ShippedHelp, FoundThroughTheDataDirectories) {
  const std::vector<std::string> dirs = {"/nonexistent/", std::string(PLOTVUE_DATA_DIR) + "/"};
  EXPECT_EQ(HelpDir("/nonexistent", dirs, "plotvue.hlp"), kHelpDir);
  EXPECT_EQ(HelpDir("/nonexistent", dirs, "tavolin.hlp"), kHelpDir);
}

TEST(ShippedHelp, IsWhatTheGeneratorMakesOfItsSources) {
  if (!HaveProgram("python3")) GTEST_SKIP() << "python3 is not installed";
  int status = 0;
  const std::string out = RunCommand(
      "python3 " + std::string(PLOTVUE_TESTS_DIR) + "/../tools/make_help.py --check 2>&1", status);
  EXPECT_EQ(status, 0) << "data/help differs from the output of tools/make_help.py: " << out;
}

}  // namespace
}  // namespace plotvue::testing
