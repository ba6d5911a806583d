// Tests of the stroke font: reading the value forms and records of TXT.SHP, the failure paths
// with their exact messages, where the file is looked for, the walk of glyph programs into pen
// calls, and the font the program ships (it loads cleanly, covers 32..129, every glyph is a
// well-formed program within 50 bytes, and it is what the generator makes of the Hershey data).
#include "formats/shpin.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"
#include "support/recording.h"

namespace plotvue {
namespace {

using testing::Num;
using testing::RecordingInteraction;

// A font file from its lines, with CR LF line ends.
std::string FontText(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The first two lines of a font with capital height `above`.
std::string Head(int above = 4) { return "*0,4,test\r\n" + std::to_string(above) + ",1,0,0\r\n"; }

// A shape record with its byte count taken from the definition line.
std::string Shape(int number, const std::string& definition) {
  const auto n = std::count(definition.begin(), definition.end(), ',') + 1;
  return "*" + std::to_string(number) + "," + std::to_string(n) + ",name\r\n" + definition + "\r\n";
}

const std::string kLast = "*129,1,last\r\n0\r\n";

struct Loaded {
  ShpReadResult result;
  ShpFont font;
  ErrorList errorList;
  RecordingInteraction ui;
  bool errorFlag = false;
};

std::unique_ptr<Loaded> Load(const std::string& text, bool messages = true) {
  auto out = std::make_unique<Loaded>();
  Program program(out->ui);
  program.MessagesEnabled = messages;
  std::istringstream in(text);
  out->result = ReadShpFontFrom(program, out->font, out->errorList, in);
  out->errorFlag = program.ErrorFlag;
  return out;
}

// The first `n` bytes of a glyph record.
std::vector<int> Record(const ShpFont& font, int code, std::size_t n) {
  const ShpGlyph& g = *font.Glyph(code);
  return std::vector<int>(g.begin(), g.begin() + static_cast<std::ptrdiff_t>(n));
}

// The bytes of a glyph record up to and including its first 0.
std::vector<int> Bytes(const ShpFont& font, int code) {
  std::vector<int> bytes;
  for (std::uint8_t b : *font.Glyph(code)) {
    bytes.push_back(b);
    if (b == 0) break;
  }
  return bytes;
}

TEST(HexCharToDez, DigitsInBothCasesAndTheErrorList) {
  ErrorList list;
  const std::string digits = "0123456789ABCDEFabcdef";
  const int values[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                        11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
  for (std::size_t i = 0; i < digits.size(); ++i)
    EXPECT_EQ(HexCharToDez(digits[i], list), values[i]);
  EXPECT_TRUE(list.entries.empty());

  EXPECT_EQ(HexCharToDez('G', list), 0);
  EXPECT_EQ(HexCharToDez('G', list), 0);  // the same message is kept once
  EXPECT_EQ(HexCharToDez(')', list), 0);
  EXPECT_EQ(HexCharToDez('\x81', list), 0);  // code page 437 ü
  EXPECT_EQ(list.entries,
            (std::vector<std::string>{"Fehlerhafter Hex-Code \"G\" ! (Procedure HexCharToDez)",
                                      "Fehlerhafter Hex-Code \")\" ! (Procedure HexCharToDez)",
                                      "Fehlerhafter Hex-Code \"ü\" ! (Procedure HexCharToDez)"}));
}

TEST(ErrorList, KeepsElevenEntriesDistinctOnTheirFirst36Characters) {
  ErrorList list;
  const std::string stem(35, 'x');
  list.Add(stem + "a tail");
  list.Add(stem + "a other tail");  // same first 36 characters
  list.Add(stem + "b");
  EXPECT_EQ(list.entries.size(), 2u);
  // Characters, not bytes: 35 x and an "ä" against 35 x and an "ö".
  list.Add(stem + "ä1");
  list.Add(stem + "ä2");
  list.Add(stem + "ö");
  EXPECT_EQ(list.entries.size(), 4u);
  for (int i = 0; i < 20; ++i) list.Add("message " + std::to_string(i));
  ASSERT_EQ(list.entries.size(), kErrorListMax);
  EXPECT_EQ(list.entries.back(), "message 6");
}

TEST(ReadShpFont, ValueFormsOfTheDefinitionBytes) {
  struct Case {
    std::string definition;
    std::vector<int> bytes;
  };
  const Case cases[] = {
      {"2,8,(3,-2),0", {2, 8, 3, 254, 0}},
      {"014,0FE,10,0", {20, 254, 10, 0}},
      {"0fe,00c,0A,0", {254, 12, 10, 0}},
      {"9,(5,0),(0,-1),(0,0),0", {9, 5, 0, 0, 255, 0, 0, 0}},
      {"-128,300,+7,-1,0", {128, 44, 7, 255, 0}},
      {" 1 , 2 ,0", {1, 2, 0}},
      {"0123,0", {35, 0}},  // hex from the last two characters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.definition);
    auto loaded = Load(Head() + Shape(65, c.definition) + kLast);
    ASSERT_EQ(loaded->result, ShpReadResult::Loaded);
    EXPECT_EQ(Record(loaded->font, 65, c.bytes.size() + 1), [&] {
      std::vector<int> bytes = c.bytes;
      bytes.push_back(0);  // the rest of the record is 0
      return bytes;
    }());
    EXPECT_TRUE(loaded->ui.errors.empty());
    EXPECT_TRUE(loaded->errorList.entries.empty());
  }
}

TEST(ReadShpFont, HeaderRecordsAndTheEndOfReading) {
  auto loaded = Load(FontText({"*0,4,my font, with commas", "21,249,2,0", "*10,2,lf", "8,0",
                               "*33,3,excl", "1,014,0", "*129,2,uuml", "020,0",
                               "*65,2,ucA",  // after 129: not read
                               "030,0"}));
  ASSERT_EQ(loaded->result, ShpReadResult::Loaded);
  EXPECT_TRUE(loaded->font.loaded);
  EXPECT_FALSE(loaded->errorFlag);
  EXPECT_EQ(loaded->font.above, 21);
  EXPECT_EQ(loaded->font.below, 249);
  EXPECT_EQ(loaded->font.modes, 2);
  EXPECT_EQ(Bytes(loaded->font, 33), (std::vector<int>{1, 20, 0}));
  EXPECT_EQ(Bytes(loaded->font, 129), (std::vector<int>{32, 0}));
  for (int code = kShpFirstCode; code <= kShpLastCode; ++code) {
    if (code == 33 || code == 129) continue;
    EXPECT_EQ(Bytes(loaded->font, code), std::vector<int>{0}) << code;  // 10 read over, 65 not read
  }
  EXPECT_EQ(loaded->font.Glyph(31), nullptr);
  EXPECT_EQ(loaded->font.Glyph(130), nullptr);
  EXPECT_TRUE(loaded->ui.errors.empty());
}

TEST(ReadShpFont, HigherShapeNumbersEndReadingWithoutTakingARecord) {
  for (const std::string number : {"130", "200", "300", "288"}) {
    SCOPED_TRACE(number);
    auto loaded =
        Load(Head() + "*44,2,comma\r\n010,0\r\n*" + number + ",2,x\r\n030,0\r\n" + "garbage");
    ASSERT_EQ(loaded->result, ShpReadResult::Loaded);
    EXPECT_EQ(Bytes(loaded->font, 44), (std::vector<int>{0x10, 0}));
    EXPECT_EQ(Bytes(loaded->font, 32), std::vector<int>{0});
  }
}

TEST(ReadShpFont, LfLineEndsAndContinuedDefinitionLines) {
  auto loaded =
      Load("*0,4,lf only\n4,1,0,0\n*65,5,ucA\n1,024,\n2,\n\n020,0\n*66,2,ucB\n030,0\n" + kLast);
  ASSERT_EQ(loaded->result, ShpReadResult::Loaded);
  EXPECT_EQ(Bytes(loaded->font, 65), (std::vector<int>{1, 0x24, 2, 0x20, 0}));
  EXPECT_EQ(Bytes(loaded->font, 66), (std::vector<int>{0x30, 0}));
  EXPECT_TRUE(loaded->ui.errors.empty());
}

TEST(ReadShpFont, ExactlyFiftyBytesLoadAndFiftyOneEndTheProgram) {
  std::string fifty;
  for (int i = 0; i < 49; ++i) fifty += "010,";
  fifty += "0";
  auto ok = Load(Head() + "*65,50,ucA\r\n" + fifty + "\r\n" + kLast);
  ASSERT_EQ(ok->result, ShpReadResult::Loaded);
  EXPECT_EQ(Bytes(ok->font, 65).size(), 50u);

  auto tooLong = Load(Head() + "*65,51,ucA\r\n010," + fifty + "\r\n" + kLast);
  EXPECT_EQ(tooLong->result, ShpReadResult::Invalid);
  EXPECT_FALSE(tooLong->font.loaded);
  EXPECT_EQ(tooLong->ui.errors, std::vector<std::string>{"TXT.SHP: more than 50 Bytes/character"});
}

TEST(ReadShpFont, RecordsThatDoNotBeginWithAStar) {
  struct Case {
    std::string tail;
    std::string message;
  };
  const Case cases[] = {
      {"", "Invalid SHP Char  !"},  // last shape 126: the file ends where a record should begin
      {"X65,1,a\r\n0\r\n", "Invalid SHP Char X !"},
      {"\r\n*65,1,a\r\n0\r\n", "Invalid SHP Char #13 !"},  // a blank line
      {"\x81", "Invalid SHP Char ü !"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    auto loaded = Load(Head() + "*126,2,tilde\r\n010,0\r\n" + c.tail);
    EXPECT_EQ(loaded->result, ShpReadResult::Invalid);
    EXPECT_FALSE(loaded->font.loaded);
    EXPECT_EQ(loaded->ui.errors, std::vector<std::string>{c.message});
  }
}

TEST(ReadShpFont, WrongFirstLineSetsErrorFlagAndLoadingGoesOn) {
  for (const std::string first : {"*0,5,font", "*0,4", "", "\xEF\xBB\xBF*0,4,bom"}) {
    SCOPED_TRACE(first);
    auto loaded = Load(first + "\r\n4,1,0,0\r\n*65,2,ucA\r\n024,0\r\n" + kLast);
    EXPECT_EQ(loaded->result, ShpReadResult::Loaded);
    EXPECT_TRUE(loaded->errorFlag);
    EXPECT_EQ(loaded->ui.errors, std::vector<std::string>{"Invalid SHP file !"});
    EXPECT_EQ(Bytes(loaded->font, 65), (std::vector<int>{0x24, 0}));
  }
}

TEST(ReadShpFont, CapitalHeightZeroKeepsTheScaleFinite) {
  auto loaded = Load("*0,4,flat\r\n0,1,0,0\r\n" + kLast);
  EXPECT_EQ(loaded->result, ShpReadResult::Loaded);
  EXPECT_TRUE(loaded->errorFlag);
  EXPECT_EQ(loaded->font.above, 1);
  EXPECT_EQ(loaded->ui.errors, std::vector<std::string>{"Invalid SHP file !"});

  auto empty = Load("");
  EXPECT_EQ(empty->result, ShpReadResult::Invalid);
  EXPECT_EQ(empty->font.above, 1);
  EXPECT_EQ(empty->ui.errors,
            (std::vector<std::string>{"Invalid SHP file !", "Invalid SHP Char  !"}));
}

TEST(ReadShpFont, BadValuesReadAsZeroAndLoadingGoesOn) {
  auto loaded = Load(Head() + Shape(65, "1x,0G1,(,+-3,,0") + kLast);
  ASSERT_EQ(loaded->result, ShpReadResult::Loaded);
  EXPECT_FALSE(loaded->errorFlag);
  EXPECT_EQ(Record(loaded->font, 65, 6), (std::vector<int>{0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(loaded->ui.errors,
            (std::vector<std::string>{"Ungültiges Zeichen 1x !", "Ungültiges Zeichen ( !",
                                      "Ungültiges Zeichen +-3 !", "Ungültiges Zeichen  !"}));
  EXPECT_EQ(loaded->errorList.entries,
            std::vector<std::string>{"Fehlerhafter Hex-Code \"G\" ! (Procedure HexCharToDez)"});

  // Without MessagesEnabled the values and the list are the same, and no box is shown.
  auto quiet = Load(Head() + Shape(65, "1x,0G1,(,+-3,,0") + kLast, false);
  EXPECT_EQ(quiet->result, ShpReadResult::Loaded);
  EXPECT_TRUE(quiet->ui.errors.empty());
  EXPECT_EQ(quiet->errorList.entries.size(), 1u);
}

TEST(ReadShpFont, HugeValuesAndCountsAreBounded) {
  const std::string huge(100000, '7');
  auto loaded =
      Load(Head() + "*65,3,ucA\r\n" + huge + ",0" + std::string(5000, '0') + "A1,0\r\n" + kLast);
  ASSERT_EQ(loaded->result, ShpReadResult::Loaded);
  EXPECT_EQ(Record(loaded->font, 65, 3), (std::vector<int>{0, 0xA1, 0}));
  ASSERT_EQ(loaded->ui.errors.size(), 1u);
  EXPECT_EQ(loaded->ui.errors[0], "Ungültiges Zeichen " + huge.substr(0, 64) + " !");

  // A negative count reads no byte; a count beyond the 32-bit range is not a number (0).
  auto counts = Load(Head() + "*65,-5,ucA\r\n\r\n*66,99999999999,ucB\r\n\r\n" + kLast);
  EXPECT_EQ(counts->result, ShpReadResult::Loaded);
  EXPECT_EQ(counts->ui.errors, std::vector<std::string>{"Ungültiges Zeichen 99999999999 !"});
}

// A temporary directory tree, removed at the end of the test.
class ShpFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("shpin_test_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  std::string Dir(const std::string& name) {
    std::filesystem::create_directories(root_ / name);
    return (root_ / name).string() + "/";
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  std::filesystem::path root_;
};

TEST_F(ShpFileTest, MissingFontShowsTheMessageAndAsksTheProgramToEnd) {
  RecordingInteraction ui;
  Program program(ui);
  ShpFont font;
  font.above = 7;
  ErrorList list;
  EXPECT_EQ(ReadShpFont(program, font, list, {Dir("a"), Dir("b")}), ShpReadResult::NotFound);
  EXPECT_EQ(ui.errors,
            std::vector<std::string>{"fichier TXT.SHP introuvable ou accès impossible !"});
  EXPECT_FALSE(font.loaded);
  EXPECT_EQ(font.above, 1);  // reset before looking
  EXPECT_STREQ(kShpNotFoundReport, "TXT.SHP not found.");
}

TEST_F(ShpFileTest, FirstReadableFileOfTheSearchListIsLoaded) {
  const std::string a = Dir("a"), b = Dir("b"), c = Dir("c");
  std::filesystem::create_directories(a + "TXT.SHP");  // a directory is not a font
  Write(b + "TXT.SHP", Head(9) + kLast);
  Write(c + "TXT.SHP", Head(5) + kLast);
  Write(a + "txt.shp", Head(3) + kLast);  // the name is exact
  EXPECT_EQ(FindShpFont({a, b, c}), b + "TXT.SHP");
  EXPECT_EQ(FindShpFont({a}), "");

  RecordingInteraction ui;
  Program program(ui);
  ShpFont font;
  ErrorList list;
  EXPECT_EQ(ReadShpFont(program, font, list, {a, b, c}), ShpReadResult::Loaded);
  EXPECT_EQ(font.above, 9);
  EXPECT_EQ(font.path, b + "TXT.SHP");
  EXPECT_TRUE(ui.errors.empty());

  if (::geteuid() != 0) {  // root reads every file
    ::chmod((b + "TXT.SHP").c_str(), 0);
    EXPECT_EQ(FindShpFont({a, b, c}), c + "TXT.SHP");
  }
}

TEST(UseShpStrokes, BothSettingsAndALoadedFont) {
  ShpFont font;
  font.loaded = true;
  Settings s;
  struct Case {
    char use, load;
    bool loaded, strokes;
  };
  const Case cases[] = {{'J', 'J', true, true}, {'N', 'J', true, false},  {'J', 'n', true, false},
                        {'j', 'X', true, true}, {'J', 'J', false, false}, {'X', 'X', false, false}};
  for (const Case& c : cases) {
    s.UseShpFont = c.use;
    s.ShpLoad = c.load;
    font.loaded = c.loaded;
    EXPECT_EQ(UseShpStrokes(s, font), c.strokes) << c.use << c.load << c.loaded;
  }
}

// Records every pen call as one line.
class RecordingPen : public ShpPen {
 public:
  void PenDown() override { log.push_back("PenDown"); }
  void PenUp() override { log.push_back("PenUp"); }
  void MoveTo(long double x, long double y) override {
    log.push_back("MoveTo " + Num(x) + " " + Num(y));
    Widen(x, y);
  }
  void LineTo(long double x, long double y) override {
    log.push_back("LineTo " + Num(x) + " " + Num(y));
    Widen(x, y);
  }
  void Widen(long double x, long double y) {
    xmin = std::min(xmin, x), ymin = std::min(ymin, y), ymax = std::max(ymax, y);
  }

  std::vector<std::string> log;
  long double xmin = 0, ymin = 0, ymax = 0;  // of every point reached, with the start (0, 0)
};

// Capital height 4: with a text height of 8 one vector unit is 2 mm.
const std::string kSmallFont =
    "*0,4,small\r\n4,1,0,0\r\n" +
    Shape(65, "1,024,8,(2,-4),2,020,0") +          // up 2, then (2,-4), lift, right 2
    Shape(66, "1,9,(1,1),(-1,0),(0,0),2,013,0") +  // a run of two steps, lift, a half slope
    Shape(67, "14,0F4,1,14,8,(5,5),010,2,0") +     // 14 skips the vector and the code 8 step
    kLast;

TEST(StrokeShpText, DrawsAShortStringWithExactMoves) {
  auto loaded = Load(kSmallFont);
  ASSERT_EQ(loaded->result, ShpReadResult::Loaded);
  RecordingPen pen;
  ShpPoint end = StrokeShpText(loaded->font, "AB\nC\xC8Z", {10, 20}, 8, 0, false, pen);
  EXPECT_EQ(pen.log, (std::vector<std::string>{"PenDown", "LineTo 10 24", "LineTo 14 16", "PenUp",
                                               "MoveTo 18 16", "PenDown", "LineTo 20 18",
                                               "LineTo 18 18", "PenUp", "MoveTo 19 20", "PenDown",
                                               "LineTo 21 20", "PenUp"}));
  EXPECT_EQ(Num(end.x), "21");
  EXPECT_EQ(Num(end.y), "20");
}

TEST(StrokeShpText, RotationAndThePenStateAtTheStart) {
  auto loaded = Load(kSmallFont);
  RecordingPen pen;
  // At 90 degrees a step (dx, dy) becomes (-dy, dx).
  StrokeShpText(loaded->font, "A", {10, 20}, 8, 90, false, pen);
  EXPECT_EQ(pen.log, (std::vector<std::string>{"PenDown", "LineTo 6 20", "LineTo 14 24", "PenUp",
                                               "MoveTo 14 28"}));
  // A label that begins with the pen down draws its first step; height 4 makes a unit 1 mm.
  ShpFont font = loaded->font;
  font.glyphs[66 - 32] = {0x20, 0x02, 0x20, 0};  // B: right 2, lift, right 2
  pen.log.clear();
  StrokeShpText(font, "B", {0, 0}, 4, 0, true, pen);
  EXPECT_EQ(pen.log, (std::vector<std::string>{"LineTo 2 0", "PenUp", "MoveTo 4 0"}));
}

TEST(StrokeShpText, NothingIsDrawnFromAnUnloadedFontOrWithNonFiniteNumbers) {
  auto loaded = Load(kSmallFont);
  RecordingPen pen;
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  StrokeShpText(ShpFont{}, "AAA", {0, 0}, 8, 0, false, pen);
  StrokeShpText(loaded->font, "A", {inf, 0}, 8, 0, false, pen);
  StrokeShpText(loaded->font, "A", {0, 0}, nan, 0, false, pen);
  StrokeShpText(loaded->font, "A", {0, 0}, 8, inf, false, pen);
  StrokeShpText(loaded->font, "", {0, 0}, 8, 0, false, pen);
  EXPECT_TRUE(pen.log.empty());

  // A height so large that the first step overflows: the label stops before that step.
  ShpFont font = loaded->font;
  font.above = 1;
  StrokeShpText(font, "A", {0, 0}, std::numeric_limits<long double>::max(), 0, false, pen);
  EXPECT_EQ(pen.log, std::vector<std::string>{"PenDown"});
}

TEST(StrokeShpText, RecordsWithoutTheirEndStayInsideTheRecord) {
  ShpFont font;
  font.loaded = true;
  font.glyphs[65 - 32].fill(0x10);  // 50 vectors, no 0
  font.glyphs[66 - 32] = {};        // a run that never ends
  font.glyphs[66 - 32][0] = 9;
  for (int i = 1; i < kShpGlyphBytes; ++i) font.glyphs[66 - 32][i] = 1;
  font.glyphs[67 - 32] = {};
  font.glyphs[67 - 32][kShpGlyphBytes - 2] = 8;  // a displacement cut off by the record's end
  font.glyphs[67 - 32][kShpGlyphBytes - 1] = 5;
  for (int i = 0; i < kShpGlyphBytes - 2; ++i) font.glyphs[67 - 32][i] = 3;
  RecordingPen pen;
  ShpPoint end = StrokeShpText(font, "A", {0, 0}, 1, 0, false, pen);
  EXPECT_EQ(pen.log.size(), 50u);
  EXPECT_EQ(Num(end.x), "50");
  pen.log.clear();
  end = StrokeShpText(font, "B", {0, 0}, 1, 0, false, pen);
  ASSERT_EQ(pen.log.size(), 25u);  // 24 whole pairs follow the 9, then the odd byte is code 1
  EXPECT_EQ(pen.log.back(), "PenDown");
  EXPECT_EQ(Num(end.x), "24");
  pen.log.clear();
  StrokeShpText(font, "C", {0, 0}, 1, 0, false, pen);
  EXPECT_TRUE(pen.log.empty());
}

TEST(ShpStrokeFont, GivesTheDriversTheRecordsOfALoadedFont) {
  auto loaded = Load(kSmallFont);
  ShpStrokeFont view(loaded->font);
  EXPECT_EQ(view.Above(), 4);
  ASSERT_EQ(view.Glyph('A').size(), static_cast<std::size_t>(kShpGlyphBytes));
  EXPECT_EQ(view.Glyph('A')[1], 0x24);
  EXPECT_TRUE(view.Glyph(31).empty());
  EXPECT_TRUE(view.Glyph(130).empty());
  ShpFont unloaded;
  EXPECT_TRUE(ShpStrokeFont(unloaded).Glyph('A').empty());
}

// --- the shipped font ---------------------------------------------------------------------

const std::string kDataDir = std::string(PLOTVUE_DATA_DIR) + "/";

// Walks the bytes of one record as a program: only pen commands, vectors and displacements,
// ended by a 0 inside the record. Returns the number of bytes used, or 0 when malformed.
std::size_t ProgramLength(const ShpGlyph& g) {
  std::size_t i = 0;
  while (i < g.size()) {
    const std::uint8_t b = g[i++];
    if (b == 0) return i;
    if ((b >> 4) != 0 || b == 1 || b == 2) continue;
    if (b == 8) {
      i += 2;
    } else if (b == 9) {
      for (;;) {
        if (i + 2 > g.size()) return 0;
        const bool last = g[i] == 0 && g[i + 1] == 0;
        i += 2;
        if (last) break;
      }
    } else {
      return 0;
    }
  }
  return 0;
}

TEST(ShippedFont, LoadsCleanlyAndCoversEveryCodeWithWellFormedGlyphs) {
  RecordingInteraction ui;
  Program program(ui);
  ShpFont font;
  ErrorList list;
  ASSERT_EQ(ReadShpFont(program, font, list, {kDataDir}), ShpReadResult::Loaded);
  EXPECT_FALSE(program.ErrorFlag);
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_TRUE(list.entries.empty());
  EXPECT_EQ(font.above, 21);
  EXPECT_EQ(font.below, 7);

  // Each glyph drawn alone from the origin at height 21 (one vector unit per mm), angle 0.
  for (int code = kShpFirstCode; code <= kShpLastCode; ++code) {
    SCOPED_TRACE(code);
    ASSERT_NE(ProgramLength(*font.Glyph(code)), 0u);
    RecordingPen pen;
    ShpPoint end =
        StrokeShpText(font, std::string(1, static_cast<char>(code)), {0, 0}, 21, 0, false, pen);
    ASSERT_FALSE(pen.log.empty());
    const bool draws = std::find(pen.log.begin(), pen.log.end(), "PenDown") != pen.log.end();
    EXPECT_EQ(draws, code != ' ');
    // It ends with the pen up, moving to the next character's place on the baseline.
    EXPECT_EQ(pen.log.back().rfind("MoveTo ", 0), 0u);
    EXPECT_EQ(Num(end.y), "0");
    EXPECT_GT(end.x, 5);
    EXPECT_LE(end.x, 30);
    // Inside the box of the font: right of the start, descenders (g, p, the brackets, the
    // cedilla) down to 8 below the baseline, capitals exactly 21 high.
    EXPECT_GE(pen.xmin, 0);
    EXPECT_GE(pen.ymin, -8);
    EXPECT_LE(pen.ymax, 26);
    if (code >= 'A' && code <= 'Z') {
      EXPECT_EQ(Num(pen.ymax), "21");
    }
  }
}

TEST(ShippedFont, IsWhatTheGeneratorMakesOfTheHersheyData) {
  const std::string hershey = "/usr/share/hershey-fonts/futural.jhf";
  if (!testing::HaveProgram("python3") || !std::filesystem::exists(hershey)) {
    GTEST_SKIP() << "python3 or " << hershey << " (hershey-fonts-data) is not installed";
  }
  int status = 0;
  testing::RunCommand("python3 " + std::string(PLOTVUE_TESTS_DIR) +
                          "/../tools/make_shp_font.py --check " + kDataDir + "TXT.SHP 2>&1",
                      status);
  EXPECT_EQ(status, 0) << "data/TXT.SHP differs from the output of tools/make_shp_font.py";
}

}  // namespace
}  // namespace plotvue
