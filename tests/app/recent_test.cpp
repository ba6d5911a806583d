// What the main window keeps across runs: the order of the recent files, their menu captions,
// the history file's exact bytes and its damaged forms, and the window memory file.
#include "app/recent.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/services.h"

namespace plotvue {
namespace {

namespace fs = std::filesystem;

std::string MakeTempDir() {
  char dir[] = "/tmp/plotvue-recent-XXXXXX";
  return mkdtemp(dir) ? std::string(dir) + "/" : std::string("/tmp/");
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

RecentFiles Full() {
  RecentFiles r;
  r.entries = {"/d/A.plt", "/d/B.plt", "/d/C.plt", "/d/D.plt"};
  return r;
}

// --- Order ----------------------------------------------------------------------------------

TEST(RecentFiles, SameFileTwiceKeepsOneEntryAtTheTop) {
  RecentFiles r;
  r.Add("/d/A.plt");
  r.Add("/d/B.plt");
  r.Add("/d/A.plt");
  EXPECT_EQ(r.entries, (std::array<std::string, 4>{"/d/A.plt", "/d/B.plt", "", ""}));
  r.Add("/d/A.plt");
  EXPECT_EQ(r.entries, (std::array<std::string, 4>{"/d/A.plt", "/d/B.plt", "", ""}));
}

TEST(RecentFiles, FifthFileDropsTheOldest) {
  RecentFiles r = Full();
  r.Add("/d/E.plt");
  EXPECT_EQ(r.entries,
            (std::array<std::string, 4>{"/d/E.plt", "/d/A.plt", "/d/B.plt", "/d/C.plt"}));
}

TEST(RecentFiles, EqualityIgnoresLetterCase) {
  RecentFiles r = Full();
  r.Add("/D/b.PLT");
  // The new spelling replaces the old one; nothing else is lost.
  EXPECT_EQ(r.entries,
            (std::array<std::string, 4>{"/D/b.PLT", "/d/A.plt", "/d/C.plt", "/d/D.plt"}));
}

TEST(RecentFiles, ReopeningAnOlderEntryKeepsAllFour) {
  RecentFiles r = Full();
  r.Add("/d/C.plt");
  EXPECT_EQ(r.entries,
            (std::array<std::string, 4>{"/d/C.plt", "/d/A.plt", "/d/B.plt", "/d/D.plt"}));
  // Empty entries in the middle (a history file written by hand) close up.
  r.entries = {"/d/A.plt", "", "/d/B.plt", ""};
  r.Add("/d/E.plt");
  EXPECT_EQ(r.entries, (std::array<std::string, 4>{"/d/E.plt", "/d/A.plt", "/d/B.plt", ""}));
  r.Add("");
  EXPECT_EQ(r.entries[0], "/d/E.plt");
}

TEST(RecentFiles, RemoveMovesTheLaterEntriesUp) {
  RecentFiles r = Full();
  r.Remove(1);
  EXPECT_EQ(r.entries, (std::array<std::string, 4>{"/d/A.plt", "/d/C.plt", "/d/D.plt", ""}));
  r.Remove(2);
  EXPECT_EQ(r.entries, (std::array<std::string, 4>{"/d/A.plt", "/d/C.plt", "", ""}));
  for (int bad : {-1, 4, 100}) r.Remove(bad);
  EXPECT_EQ(r.entries, (std::array<std::string, 4>{"/d/A.plt", "/d/C.plt", "", ""}));
}

// --- Captions -------------------------------------------------------------------------------

TEST(RecentCaption, NumberAndPath) {
  EXPECT_EQ(RecentCaption(0, "/d/A.plt"), "&1 /d/A.plt");
  EXPECT_EQ(RecentCaption(3, "/d/A.plt"), "&4 /d/A.plt");
}

TEST(RecentCaption, LongPathIsShortenedAroundTheFileName) {
  const std::string path60 = "/home/anna/drawings/customers/2024/brackets/bracket-0042.plt";
  ASSERT_EQ(path60.size(), 60u);
  EXPECT_EQ(RecentCaption(1, path60), "&2 /.../bracket-0042.plt");
  // 50 characters are shortened, 49 are not.
  const std::string path50 = "/home/anna/drawings/customers/2024/b/bracket-1.plt";
  ASSERT_EQ(path50.size(), 50u);
  EXPECT_EQ(RecentCaption(0, path50), "&1 /.../bracket-1.plt");
  const std::string path49 = path50.substr(1);
  EXPECT_EQ(RecentCaption(0, path49), "&1 " + path49);
  // Characters, not bytes: "/x/" and 30 letters "é" are 63 bytes but 33 characters.
  std::string accented = "/x/";
  for (int k = 0; k < 30; ++k) accented += "\xC3\xA9";
  EXPECT_EQ(RecentCaption(0, accented), "&1 " + accented);
  // Nothing to leave out between the first and the last "/".
  const std::string flat = "/" + std::string(60, 'a') + ".plt";
  EXPECT_EQ(RecentCaption(0, flat), "&1 " + flat);
  const std::string noSlash = std::string(60, 'b') + ".plt";
  EXPECT_EQ(RecentCaption(0, noSlash), "&1 " + noSlash);
}

// --- History file ---------------------------------------------------------------------------

TEST(HistoryFile, WrittenAndReadBackWithExactBytes) {
  const std::string dir = MakeTempDir();
  SilentInteraction ui;
  Program program(ui);
  program.programDir = dir;
  const std::string path = HistoryPath(program);
  EXPECT_EQ(path, dir + "plotvue.cff");

  RecentFiles recent;
  recent.entries = {"/home/anna/B.plt", "/home/anna/A.PLT", "", ""};
  ASSERT_TRUE(WriteHistory(path, "/home/anna/", recent));
  EXPECT_EQ(ReadAll(path),
            "plotvue Session /home/anna/\r\n/home/anna/B.plt\r\n/home/anna/A.PLT\r\n\r\n\r\n");

  RecentFiles back;
  back.entries = {"x", "x", "x", "x"};
  std::string lastDir;
  ReadHistory(path, back, lastDir);
  EXPECT_EQ(back.entries, recent.entries);
  EXPECT_EQ(lastDir, "/home/anna/");
  fs::remove_all(dir);
}

TEST(HistoryFile, LineEndsOfLfAloneAreRead) {
  const std::string dir = MakeTempDir();
  WriteAll(dir + "h.cff", "plotvue Session /p/\n/p/1.plt\n/p/2.plt\n/p/3.plt\n/p/4.plt\n");
  RecentFiles r;
  ReadHistory(dir + "h.cff", r);
  EXPECT_EQ(r.entries,
            (std::array<std::string, 4>{"/p/1.plt", "/p/2.plt", "/p/3.plt", "/p/4.plt"}));
  fs::remove_all(dir);
}

TEST(HistoryFile, MissingTruncatedBinaryOrDirectoryGivesAnEmptyList) {
  const std::string dir = MakeTempDir();
  const std::string good = "plotvue Session /p/\r\n/p/1.plt\r\n/p/2.plt\r\n\r\n\r\n";
  const struct {
    const char* what;
    std::string bytes;
  } damaged[] = {
      {"empty", ""},
      {"cut in the last line end", good.substr(0, good.size() - 1)},
      {"cut after two lines", good.substr(0, good.find("/p/2.plt"))},
      {"cut within a path", good.substr(0, good.find("2.plt") + 1)},
      {"binary",
       "plotvue Session /p/\r\n\x01\x02" + std::string(1, '\0') + "\xff\r\n/p/1.plt\r\n\r\n\r\n"},
      {"no session line", "/p/1.plt\r\n/p/2.plt\r\n/p/3.plt\r\n/p/4.plt\r\n/p/5.plt\r\n"},
      {"oversized", good + std::string(100000, 'a') + "\r\n"},
  };
  for (const auto& d : damaged) {
    WriteAll(dir + "plotvue.cff", d.bytes);
    RecentFiles r = Full();
    std::string lastDir = "x";
    ReadHistory(dir + "plotvue.cff", r, lastDir);
    EXPECT_EQ(r.entries, RecentFiles{}.entries) << d.what;
    EXPECT_EQ(lastDir, "") << d.what;
  }
  RecentFiles r = Full();
  ReadHistory(dir + "missing.cff", r);
  EXPECT_EQ(r.entries, RecentFiles{}.entries);
  fs::create_directory(dir + "adir.cff");
  r = Full();
  ReadHistory(dir + "adir.cff", r);
  EXPECT_EQ(r.entries, RecentFiles{}.entries);
  fs::remove_all(dir);
}

TEST(HistoryFile, PathsThatCannotStandOnALineAreLeftOut) {
  const std::string dir = MakeTempDir();
  RecentFiles recent;
  recent.entries = {"/p/new\nline.plt", "/p/ok.plt", "/p/cr\r.plt", "/p/tab\t.plt"};
  ASSERT_TRUE(WriteHistory(dir + "plotvue.cff", "/p/\x1b/", recent));
  EXPECT_EQ(ReadAll(dir + "plotvue.cff"),
            "plotvue Session \r\n\r\n/p/ok.plt\r\n\r\n/p/tab\t.plt\r\n");
  RecentFiles back;
  ReadHistory(dir + "plotvue.cff", back);
  EXPECT_EQ(back.entries, (std::array<std::string, 4>{"", "/p/ok.plt", "", "/p/tab\t.plt"}));
  fs::remove_all(dir);
}

TEST(HistoryFile, WritingCreatesTheSettingsDirectoryAndReportsFailure) {
  const std::string dir = MakeTempDir();
  RecentFiles recent = Full();
  EXPECT_TRUE(WriteHistory(dir + "new/settings/plotvue.cff", "/d/", recent));
  RecentFiles back;
  ReadHistory(dir + "new/settings/plotvue.cff", back);
  EXPECT_EQ(back.entries, recent.entries);

  // A directory in the file's place: nothing is written and the directory stays.
  fs::create_directory(dir + "plotvue.cff");
  EXPECT_FALSE(WriteHistory(dir + "plotvue.cff", "/d/", recent));
  EXPECT_TRUE(fs::is_directory(dir + "plotvue.cff"));
  // Below a plain file no directory can be made.
  WriteAll(dir + "file", "x");
  EXPECT_FALSE(WriteHistory(dir + "file/plotvue.cff", "/d/", recent));
  EXPECT_EQ(ReadAll(dir + "file"), "x");
  fs::remove_all(dir);
}

// --- Window memory --------------------------------------------------------------------------

TEST(WindowMemory, RoundTripInTheSettingsDirectory) {
  const std::string dir = MakeTempDir();
  SilentInteraction ui;
  Program program(ui);
  program.programDir = dir + "settings";  // not there yet, and without its "/"
  EXPECT_EQ(WindowMemoryPath(program), dir + "settings/plotvue.ui");

  WindowMemory first = ReadWindowMemory(program);
  EXPECT_EQ(first.language, kFrench);
  EXPECT_FALSE(first.hasGeometry);

  WindowMemory m;
  m.language = kKorean;
  m.hasGeometry = true;
  m.x = -20;
  m.y = 35;
  m.width = 1024;
  m.height = 700;
  ASSERT_TRUE(WriteWindowMemory(program, m));
  EXPECT_EQ(ReadAll(dir + "settings/plotvue.ui"),
            "Language=8\r\nX=-20\r\nY=35\r\nWidth=1024\r\nHeight=700\r\n");
  WindowMemory back = ReadWindowMemory(program);
  EXPECT_EQ(back.language, kKorean);
  EXPECT_TRUE(back.hasGeometry);
  EXPECT_EQ(back.x, -20);
  EXPECT_EQ(back.y, 35);
  EXPECT_EQ(back.width, 1024);
  EXPECT_EQ(back.height, 700);

  m.language = kGerman;
  m.hasGeometry = false;
  ASSERT_TRUE(WriteWindowMemory(program, m));
  EXPECT_EQ(ReadAll(dir + "settings/plotvue.ui"), "Language=1\r\n");
  back = ReadWindowMemory(program);
  EXPECT_EQ(back.language, kGerman);
  EXPECT_FALSE(back.hasGeometry);
  fs::remove_all(dir);
}

TEST(WindowMemory, DamagedFileGivesTheDefaults) {
  const struct {
    const char* what;
    std::string text;
    int language;
    bool hasGeometry;
  } cases[] = {
      {"empty", "", kFrench, false},
      {"binary", "Language=1" + std::string(1, '\0') + "\xff\xfe", kFrench, false},
      {"no pairs", "garbage\r\nmore garbage\r\n", kFrench, false},
      {"unknown language", "Language=5\r\n", kFrench, false},
      {"language not a number", "Language=de\r\n", kFrench, false},
      {"language overflows", "Language=99999999999999999999\r\n", kFrench, false},
      {"geometry incomplete", "Language=2\r\nX=1\r\nY=2\r\nWidth=300\r\n", kEnglish, false},
      {"zero width", "X=1\r\nY=2\r\nWidth=0\r\nHeight=200\r\n", kFrench, false},
      {"huge position", "X=5000000\r\nY=2\r\nWidth=10\r\nHeight=200\r\n", kFrench, false},
      {"blank in a value", "Language=2\r\nX= 1\r\nY=2\r\nWidth=10\r\nHeight=20\r\n", kEnglish,
       false},
      {"other keys passed over", "Theme=dark\nLanguage=2\nX=1\nY=2\nWidth=10\nHeight=20", kEnglish,
       true},
  };
  for (const auto& c : cases) {
    WindowMemory m = ParseWindowMemory(c.text);
    EXPECT_EQ(m.language, c.language) << c.what;
    EXPECT_EQ(m.hasGeometry, c.hasGeometry) << c.what;
    if (!c.hasGeometry) {
      EXPECT_EQ(m.width, 0) << c.what;
    }
  }

  const std::string dir = MakeTempDir();
  SilentInteraction ui;
  Program program(ui);
  program.programDir = dir;
  fs::create_directory(dir + "plotvue.ui");
  EXPECT_EQ(ReadWindowMemory(program).language, kFrench);
  EXPECT_FALSE(WriteWindowMemory(program, WindowMemory{}));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace plotvue
