// Tests of the IGES writer: exact records of small drawings, the 80-column layout with its
// sequence numbers and Terminate counts, the cutting of parameter and Hollerith texts, the
// scratch file, and a read-back of a larger drawing by OpenCASCADE's Draw (package occt-draw).
#include "formats/iges.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <numbers>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/iges_layout.h"
#include "support/occt_draw.h"
#include "support/process.h"

namespace plotvue {
namespace {

namespace fs = std::filesystem;

// A scratch directory of one test, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/iges-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  bool Empty() const { return fs::is_empty(path_); }

 private:
  std::string path_;
};

class FailingChannel : public OutputChannel {
 public:
  bool Write(std::string_view) override { return false; }
  bool Flush() override { return false; }
};

const IgesDate kDate{2026, 12, 6};

struct Written {
  std::string text;
  bool error = false;
};

// One whole IGES output as the driver frame makes it.
Written Convert(const std::function<void(IgesWriter&, TextOut&)>& draw,
                const std::string& plotFile = "PLOT", const Settings& settings = Settings{}) {
  TempDir temp;
  StringChannel channel;
  Written w;
  TextOut out(channel, w.error);
  IgesWriter writer;
  writer.IgesBeginFile(out, settings, temp.path());
  writer.IgesGlobal(out, plotFile, 180, kDate);
  draw(writer, out);
  writer.IgesEndFile(out);
  w.text = channel.text;
  return w;
}

// The record layout checks shared with the corpus conversions.
std::vector<std::string> Section(const std::string& text, char letter) {
  return testing::IgesSection(text, letter);
}
int Field(const std::string& record, std::size_t column, std::size_t width) {
  return testing::IgesField(record, column, width);
}
std::vector<std::string> LayoutProblems(const std::string& text) {
  return testing::IgesLayoutProblems(text);
}

const std::vector<std::string> kNoProblems;

// Columns 1..64 of each Parameter Data record.
std::vector<std::string> PData(const std::string& text) {
  std::vector<std::string> data;
  for (const auto& r : Section(text, 'P')) data.push_back(r.substr(0, 64));
  return data;
}

std::string Pad64(const std::string& s) { return s + std::string(64 - s.size(), ' '); }

TEST(IgesWriter, OneLineDrawingGivesExactRecords) {
  Written w = Convert([](IgesWriter& iges, TextOut& out) { iges.IgesLine(out, 0, 0, 10, 5); });
  EXPECT_FALSE(w.error);
  EXPECT_EQ(w.text,
            "IGES-Datei generiert von PLOTVUE                                        S0000001\r\n"
            "Uebersetzer von TAVOLIN GMBH, Uebersetzerversion 3.1                    S0000002\r\n"
            "Generated from an HP-GL plot file                                       S0000003\r\n"
            ",,4HFILE,4HPLOT,12HPLOTVUE V8.3,11HPLOTVUE 8.3,                         G0000001\r\n"
            "16,38,6,99,15,                                                          G0000002\r\n"
            "4HPLOT,1.0,2,2HMM,32767,3.2767D1,                                       G0000003\r\n"
            "13H261206.081107,1.0D-8,180,                                            G0000004\r\n"
            "7HPLOTVUE,30HTAVOLIN Industriesoftware GmbH,4,0;                        G0000005\r\n"
            "     110       1       1       1       0                        00000000D0000001\r\n"
            "     110               0       1                                        D0000002\r\n"
            "110,0.000,0.000,0.0,10.000,5.000,0.0;                                  1P0000001\r\n"
            "S0000003G0000005D0000002P0000001                                        T0000001\r\n");
  EXPECT_EQ(LayoutProblems(w.text), kNoProblems);
}

TEST(IgesWriter, EmptyDrawingHasNoDirectoryOrParameterRecords) {
  Written w = Convert([](IgesWriter&, TextOut&) {});
  EXPECT_EQ(LayoutProblems(w.text), kNoProblems);
  EXPECT_EQ(Section(w.text, 'T').at(0).substr(0, 32), "S0000003G0000005D0000000P0000000");
}

TEST(IgesWriter, DateFieldCarriesTwoDigitYear) {
  struct Case {
    IgesDate date;
    std::string record;
  };
  for (const Case& c : {Case{{2026, 12, 6}, "13H261206.081107,1.0D-8,180,"},
                        Case{{2009, 3, 4}, "13H090304.081107,1.0D-8,180,"},
                        Case{{2000, 1, 31}, "13H000131.081107,1.0D-8,180,"}}) {
    TempDir temp;
    StringChannel channel;
    bool error = false;
    TextOut out(channel, error);
    IgesWriter iges;
    iges.IgesBeginFile(out, Settings{}, temp.path());
    iges.IgesGlobal(out, "PLOT", 180, c.date);
    EXPECT_EQ(Section(channel.text, 'G').at(3).substr(0, 72),
              c.record + std::string(72 - c.record.size(), ' '));
  }
}

TEST(IgesWriter, EntitiesChainTheirPointers) {
  Written w = Convert([](IgesWriter& iges, TextOut& out) {
    iges.IgesLine(out, 1, 2, 3, 4);
    iges.IgesArc(out, 0, 0, 5, 0, 0, 5);
    iges.IgesNote(out, "ABC", 1, 2, 2.5, 1, 0);
  });
  EXPECT_EQ(LayoutProblems(w.text), kNoProblems);
  const std::vector<std::string> d = Section(w.text, 'D');
  ASSERT_EQ(d.size(), 6u);
  EXPECT_EQ(d[0].substr(0, 72),
            "     110       1       1       1       0                        00000000");
  EXPECT_EQ(d[2].substr(0, 72),
            "     100       2       1       1       0               0        00000000");
  EXPECT_EQ(d[3].substr(0, 72),
            "     100               0       1                                        ");
  EXPECT_EQ(d[4].substr(0, 72),
            "     212       3       1       1       0               0        00000000");
  EXPECT_EQ(d[5].substr(0, 72),
            "     212               0       2                                        ");
  const std::vector<std::string> p = Section(w.text, 'P');
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[1], Pad64("100,0.0,0.000,0.000,5.000,0.000,0.000,5.000;") + "       3P0000002");
  EXPECT_EQ(p[2],
            Pad64("212,1,3,7.500,2.500,1,,0.000000,0,0,1.000,2.000,0.0,") + "       5P0000003");
  EXPECT_EQ(p[3], Pad64("3HABC;") + "       5P0000004");
  EXPECT_EQ(Section(w.text, 'T').at(0).substr(0, 32), "S0000003G0000005D0000006P0000004");
}

TEST(IgesWriter, NoteValuesFollowTheTextStyle) {
  Written w = Convert(
      [](IgesWriter& iges, TextOut& out) { iges.IgesNote(out, "Hello", -1.5, 20, 4, 0.5, 90); });
  EXPECT_EQ(PData(w.text).at(0), Pad64("212,1,5,10.000,4.000,1,,1.570796,0,0,-1.500,20.000,0.0,"));
  EXPECT_EQ(PData(w.text).at(1), Pad64("5HHello;"));
}

TEST(IgesWriter, PenTableGivesColourNumbers) {
  const int expected[16] = {0, 2, 5, 3, 7, 4, 6, 0, 8, 10, 11, 12, 13, 14, 15, 1};
  std::vector<std::pair<int, int>> cases;
  for (int pen = 0; pen < 16; ++pen) cases.emplace_back(pen, expected[pen]);
  // Pens outside the table give no colour rather than a read past it.
  cases.emplace_back(16, 0);
  cases.emplace_back(-1, 0);
  cases.emplace_back(255, 0);
  for (auto [pen, colour] : cases) {
    Written w = Convert([pen](IgesWriter& iges, TextOut& out) {
      iges.IgesSetPen(pen);
      iges.IgesLine(out, 0, 0, 1, 1);
    });
    const std::vector<std::string> d = Section(w.text, 'D');
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(Field(d[0], 33, 8), colour) << "pen " << pen;  // level
    EXPECT_EQ(Field(d[1], 17, 8), colour) << "pen " << pen;  // colour
  }
}

TEST(IgesWriter, ParameterTextIsCutAtCommas) {
  struct Case {
    std::string text;
    std::vector<std::size_t> lengths;
  };
  std::string hundred;  // "0000000000,1111111111,..." : commas at 10, 21, 32, 43, 54, 65, ...
  for (int k = 0; hundred.size() < 100; ++k)
    hundred += std::string(10, static_cast<char>('0' + k)) + ",";
  hundred.resize(100);
  std::string commaAt63 =
      std::string(40, 'a') + "," + std::string(21, 'b') + "," + std::string(10, 'c');
  std::string commaAt64 =
      std::string(40, 'a') + "," + std::string(22, 'b') + "," + std::string(10, 'c');
  const std::vector<Case> cases = {
      {std::string(64, 'x'), {64}},
      {std::string(65, 'x'), {64, 1}},
      {std::string(130, 'x'), {64, 64, 2}},
      {hundred, {55, 45}},
      // The 63rd character may end a piece; a comma in column 64 is too far.
      {commaAt63, {63, 10}},
      {commaAt64, {41, 33}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> pieces = IgesCutParameters(c.text);
    std::vector<std::size_t> lengths;
    std::string joined;
    for (const auto& piece : pieces) {
      lengths.push_back(piece.size());
      joined += piece;
    }
    EXPECT_EQ(lengths, c.lengths) << c.text;
    EXPECT_EQ(joined, c.text);
  }
}

TEST(IgesWriter, HollerithTextIsCutEvery64CharactersAndStartsARecord) {
  std::string text;
  while (text.size() < 150) text += "ab,c ";
  text.resize(150);
  Written w =
      Convert([&](IgesWriter& iges, TextOut& out) { iges.IgesNote(out, text, 0, 0, 2, 1, 0); });
  EXPECT_EQ(LayoutProblems(w.text), kNoProblems);
  const std::vector<std::string> p = PData(w.text);
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0], Pad64("212,1,150,300.000,2.000,1,,0.000000,0,0,0.000,0.000,0.0,"));
  const std::string hollerith = "150H" + text + ";";
  EXPECT_EQ(p[1], hollerith.substr(0, 64));
  EXPECT_EQ(p[2], hollerith.substr(64, 64));
  EXPECT_EQ(p[3], Pad64(hollerith.substr(128)));

  // 60 characters fill the record exactly: 60H, the text and the semicolon.
  Written exact = Convert([](IgesWriter& iges, TextOut& out) {
    iges.IgesNote(out, std::string(60, ','), 0, 0, 2, 1, 0);
  });
  ASSERT_EQ(PData(exact.text).size(), 2u);
  EXPECT_EQ(PData(exact.text)[1], "60H" + std::string(60, ',') + ";");
}

TEST(IgesWriter, NoteTextKeepsItsCharactersButNoLineEnds) {
  Written w = Convert([](IgesWriter& iges, TextOut& out) {
    iges.IgesNote(out, "A\r\nB\t\x82", 0, 0, 2, 1, 0);
    iges.IgesNote(out, "", 0, 0, 2, 1, 0);  // nothing to show: not written
  });
  EXPECT_EQ(LayoutProblems(w.text), kNoProblems);
  EXPECT_EQ(Section(w.text, 'D').size(), 2u);
  EXPECT_EQ(PData(w.text).at(1), Pad64("6HA  B \x82;"));
}

TEST(IgesWriter, EntitiesWithUnwritableNumbersAreLeftOut) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double inf = std::numeric_limits<long double>::infinity();
  std::vector<std::function<void(IgesWriter&, TextOut&)>> bad = {
      [&](IgesWriter& i, TextOut& o) { i.IgesLine(o, nan, 0, 1, 1); },
      [&](IgesWriter& i, TextOut& o) { i.IgesLine(o, 0, 0, 1, -inf); },
      [&](IgesWriter& i, TextOut& o) { i.IgesArc(o, 0, 0, inf, 0, 1, 0); },
      [&](IgesWriter& i, TextOut& o) { i.IgesNote(o, "x", 0, 0, inf, 1, 0); },
      [&](IgesWriter& i, TextOut& o) { i.IgesNote(o, "x", 0, 0, 2, 1, nan); },
      [&](IgesWriter& i, TextOut& o) { i.IgesNote(o, "x", 0, nan, 2, 1, 0); },
      // A number too long for one record would be split between two.
      [&](IgesWriter& i, TextOut& o) { i.IgesLine(o, 1e70L, 0, 1, 1); },
      [&](IgesWriter& i, TextOut& o) { i.IgesArc(o, 0, 0, 1, 0, 0, -1e65L); },
  };
  for (std::size_t k = 0; k < bad.size(); ++k) {
    Written w = Convert(bad[k]);
    EXPECT_FALSE(w.error) << k;
    EXPECT_TRUE(Section(w.text, 'D').empty()) << k;
    EXPECT_EQ(w.text.find("nan"), std::string::npos) << k;
    EXPECT_EQ(w.text.find("inf"), std::string::npos) << k;
    EXPECT_EQ(LayoutProblems(w.text), kNoProblems) << k;
  }
  // A large number that still fits stays whole in one record.
  Written big =
      Convert([](IgesWriter& i, TextOut& o) { i.IgesLine(o, 1e50L, -1e50L, 1e50L, 1e50L); });
  EXPECT_EQ(LayoutProblems(big.text), kNoProblems);
  const std::vector<std::string> p = PData(big.text);
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].find("110,1000"), 0u);
  for (std::size_t k = 0; k + 1 < p.size(); ++k) {
    std::string data = p[k].substr(0, p[k].find_last_not_of(' ') + 1);
    EXPECT_EQ(data.back(), ',') << p[k];
  }
}

TEST(IgesWriter, LinesWithoutLengthAsWrittenAreLeftOut) {
  struct Case {
    long double x1, y1, x2, y2;
    bool written;
  };
  for (const Case& c : {Case{1, 2, 1, 2, false}, Case{1, 2, 1.0004L, 2.0004L, false},
                        Case{0.0001L, 0, -0.0001L, 0, false},  // "0.000" and "-0.000"
                        Case{0, -0.0002L, 0, 0.0003L, false}, Case{1, 2, 1.0006L, 2, true},
                        Case{1, 2, 1, 1.999L, true}}) {
    Written w = Convert([&](IgesWriter& iges, TextOut& out) {
      iges.IgesLine(out, c.x1, c.y1, c.x2, c.y2);
      iges.IgesLine(out, 0, 0, 10, 5);
    });
    EXPECT_EQ(LayoutProblems(w.text), kNoProblems);
    EXPECT_EQ(Section(w.text, 'D').size(), c.written ? 4u : 2u) << static_cast<double>(c.x2);
    EXPECT_EQ(PData(w.text).back(), Pad64("110,0.000,0.000,0.0,10.000,5.000,0.0;"));
  }
  // The decimals setting decides what is one point.
  Settings settings;
  settings.DecimalPlaces = 5;
  Written fine =
      Convert([](IgesWriter& i, TextOut& o) { i.IgesLine(o, 1, 2, 1.0004L, 2); }, "PLOT", settings);
  EXPECT_EQ(PData(fine.text).at(0), Pad64("110,1.00000,2.00000,0.0,1.00040,2.00000,0.0;"));
}

TEST(IgesWriter, DecimalPlacesSettingShiftsTheDecimals) {
  Settings settings;
  settings.DecimalPlaces = 5;
  Written w =
      Convert([](IgesWriter& i, TextOut& o) { i.IgesLine(o, 0, 0, 12.5, -3); }, "PLOT", settings);
  EXPECT_EQ(PData(w.text).at(0), Pad64("110,0.00000,0.00000,0.0,12.50000,-3.00000,0.0;"));
}

TEST(IgesWriter, LongPlotFileIsSpreadOverGlobalRecords) {
  const std::string name = "/home/user/drawings/" + std::string(90, 'n') + "/plot";
  Written w = Convert([](IgesWriter& i, TextOut& o) { i.IgesLine(o, 0, 0, 1, 1); }, name);
  EXPECT_EQ(LayoutProblems(w.text), kNoProblems);
  EXPECT_GT(Section(w.text, 'G').size(), 5u);
  // Records end after a whole parameter, except inside the long name, which as a string may
  // continue in the next record.
  std::string global;
  for (const auto& r : Section(w.text, 'G')) {
    std::string data = r.substr(0, 72);
    global += data.substr(0, data.find_last_not_of(' ') + 1);
  }
  const std::string hollerith = std::to_string(name.size()) + "H" + name + ",";
  EXPECT_EQ(global, ",,4HFILE," + hollerith + "12HPLOTVUE V8.3,11HPLOTVUE 8.3," + "16,38,6,99,15," +
                        hollerith + "1.0,2,2HMM,32767,3.2767D1," + "13H261206.081107,1.0D-8,180," +
                        "7HPLOTVUE,30HTAVOLIN Industriesoftware GmbH,4,0;");
}

TEST(IgesWriter, SequenceNumbersNeverOutgrowSevenDigits) {
  TempDir temp;
  StringChannel channel;
  bool error = false;
  TextOut out(channel, error);
  IgesWriter iges;
  iges.IgesBeginFile(out, Settings{}, temp.path());
  iges.IgesGlobal(out, "PLOT", 180, kDate);
  iges.state.D = 9999997;
  iges.IgesLine(out, 0, 0, 1, 1);
  EXPECT_FALSE(error);
  EXPECT_EQ(Section(channel.text, 'D').back().substr(72), "D9999999");
  iges.IgesLine(out, 0, 0, 1, 1);
  EXPECT_TRUE(error);
  EXPECT_TRUE(iges.state.sequenceExhausted);
  EXPECT_EQ(iges.state.D, 9999999);
  EXPECT_EQ(iges.state.P, 1);
}

TEST(IgesWriter, ScratchFileNeverOutlivesTheWriter) {
  TempDir temp;
  StringChannel channel;
  bool error = false;
  TextOut out(channel, error);
  {
    IgesWriter iges;
    ASSERT_TRUE(iges.IgesBeginFile(out, Settings{}, temp.path()));
    iges.IgesGlobal(out, "PLOT", 180, kDate);
    for (int k = 0; k < 1000; ++k) iges.IgesLine(out, k, 0, k, 1);
    // The records are kept through the open handle only.
    EXPECT_TRUE(temp.Empty());
    // Conversion abandoned after an error: the writer goes without IgesEndFile.
  }
  EXPECT_TRUE(temp.Empty());
  EXPECT_FALSE(error);

  // Two conversions one after the other with the same writer start afresh.
  IgesWriter iges;
  for (int run = 0; run < 2; ++run) {
    StringChannel second;
    TextOut out2(second, error);
    ASSERT_TRUE(iges.IgesBeginFile(out2, Settings{}, temp.path()));
    iges.IgesGlobal(out2, "PLOT", 180, kDate);
    iges.IgesLine(out2, 0, 0, 10, 5);
    iges.IgesEndFile(out2);
    EXPECT_EQ(Section(second.text, 'P').size(), 1u);
    EXPECT_EQ(LayoutProblems(second.text), kNoProblems);
  }
  EXPECT_TRUE(temp.Empty());
}

TEST(IgesWriter, MissingTemporaryDirectoryIsAnError) {
  TempDir temp;
  const std::string missing = temp.path() + "/no/such/dir";
  StringChannel channel;
  bool error = false;
  TextOut out(channel, error);
  IgesWriter iges;
  EXPECT_FALSE(iges.IgesBeginFile(out, Settings{}, missing));
  EXPECT_TRUE(error);
  // The frame stops here; calls that still come must not crash.
  iges.IgesGlobal(out, "PLOT", 180, kDate);
  iges.IgesLine(out, 0, 0, 1, 1);
  iges.IgesEndFile(out);
  EXPECT_EQ(Section(channel.text, 'T').size(), 1u);

  // Without a directory of its own the writer uses TMPDIR.
  const char* old = std::getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", missing.c_str(), 1);
  bool error2 = false;
  TextOut out2(channel, error2);
  IgesWriter other;
  EXPECT_FALSE(other.IgesBeginFile(out2, Settings{}));
  EXPECT_TRUE(error2);
  setenv("TMPDIR", temp.path().c_str(), 1);
  error2 = false;
  EXPECT_TRUE(other.IgesBeginFile(out2, Settings{}));
  EXPECT_FALSE(error2);
  EXPECT_TRUE(temp.Empty());
  if (old) {
    setenv("TMPDIR", saved.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
}

TEST(IgesWriter, FailedWritesSetTheErrorFlagAndWritingGoesOn) {
  TempDir temp;
  FailingChannel channel;
  bool error = false;
  TextOut out(channel, error);
  IgesWriter iges;
  ASSERT_TRUE(iges.IgesBeginFile(out, Settings{}, temp.path()));
  iges.IgesGlobal(out, "PLOT", 180, kDate);
  EXPECT_TRUE(error);
  iges.IgesLine(out, 0, 0, 1, 1);
  iges.IgesNote(out, "AB", 0, 0, 2, 1, 0);
  iges.IgesEndFile(out);
  EXPECT_EQ(iges.state.D, 4);
  EXPECT_EQ(iges.state.P, 3);
  EXPECT_EQ(iges.state.T, 1);
}

// ---- Read-back by OpenCASCADE's Draw -------------------------------------------------------

// What the drawing holds, in entity order.
struct Expected {
  struct Edge {
    long double length, cx, cy;  // curve length and centre of gravity
  };
  std::vector<Edge> edges;  // lines and arcs
  struct Note {
    int rank;  // entity number in the file, from 1
    std::string text;
    long double x, y;
  };
  std::vector<Note> notes;
  int lines = 0, arcs = 0;
  int entities = 0;
};

void AddLine(IgesWriter& iges, TextOut& out, Expected& e, long double x1, long double y1,
             long double x2, long double y2) {
  iges.IgesLine(out, x1, y1, x2, y2);
  e.edges.push_back({std::hypot(x2 - x1, y2 - y1), (x1 + x2) / 2, (y1 + y2) / 2});
  ++e.lines;
  ++e.entities;
}

// An arc of radius r about (cx, cy) from angle a1 counter-clockwise by sweep (degrees).
void AddArc(IgesWriter& iges, TextOut& out, Expected& e, long double cx, long double cy,
            long double r, long double a1, long double sweep) {
  const long double d = std::numbers::pi_v<long double> / 180;
  long double s = a1 * d, t = (a1 + sweep) * d;
  if (sweep >= 360) {
    iges.IgesArc(out, cx, cy, cx + r, cy, cx + r, cy);
    e.edges.push_back({2 * std::numbers::pi_v<long double> * r, cx, cy});
  } else {
    iges.IgesArc(out, cx, cy, cx + r * std::cos(s), cy + r * std::sin(s), cx + r * std::cos(t),
                 cy + r * std::sin(t));
    long double a = sweep * d;
    e.edges.push_back({r * a, cx + r * (std::sin(t) - std::sin(s)) / a,
                       cy + r * (std::cos(s) - std::cos(t)) / a});
  }
  ++e.arcs;
  ++e.entities;
}

void AddNote(IgesWriter& iges, TextOut& out, Expected& e, const std::string& text, long double x,
             long double y, long double angle) {
  iges.IgesNote(out, text, x, y, 2.5, 0.8, angle);
  ++e.entities;
  e.notes.push_back({e.entities, text, x, y});
}

// Writes `iges` to a file and reads it with Draw: the entity types of the model, its check
// list, the length and centre of every transferred edge, and the text of the given notes.
testing::DrawResult ReadWithDraw(const std::string& iges, const std::vector<int>& noteRanks) {
  TempDir temp;
  const std::string file = temp.path() + "/drawing.igs";
  std::ofstream(file, std::ios::binary) << iges;
  std::ostringstream script;
  script << "pload XSDRAW\n"
            "pload MODELING\n"
            "igesread {"
         << file
         << "} a *\n"
            "puts \"TYPES\"\n"
            "puts [count iges-types]\n"
            "puts \"CHECK\"\n"
            "puts [data c]\n"
            "foreach e [explode a e] {\n"
            "  set p [lprops $e]\n"
            "  regexp {Mass :\\s+(\\S+)} $p -> len\n"
            "  regexp {X =\\s+(\\S+)} $p -> cx\n"
            "  regexp {Y =\\s+(\\S+)} $p -> cy\n"
            "  puts \"EDGE $len $cx $cy\"\n"
            "}\n"
            "foreach k {";
  for (int rank : noteRanks) script << rank << " ";
  script << "} {\n"
            "  set d [entity $k 5]\n"
            "  regexp {Start Point :\\s+\\(([^,]+),([^,]+),} $d -> x y\n"
            "  regexp {Text : \"([^\\n]*)\"} $d -> t\n"
            "  puts \"NOTE $k $x $y |$t|\"\n"
            "}\n";
  return testing::RunDrawScript(temp.path(), script.str());
}

void CheckWithDraw(const std::string& iges, const Expected& e) {
  ASSERT_EQ(LayoutProblems(iges), kNoProblems);
  std::vector<int> ranks;
  for (const auto& n : e.notes) ranks.push_back(n.rank);
  testing::DrawResult r = ReadWithDraw(iges, ranks);
  if (!r.skip.empty()) GTEST_SKIP() << r.skip;
  const std::string& out = r.output;
  SCOPED_TRACE(out.substr(0, 3000));

  std::smatch m;
  ASSERT_TRUE(std::regex_search(out, m, std::regex("Total number of loaded entities (\\d+)")));
  EXPECT_EQ(std::stoi(m[1]), e.entities);
  std::map<int, int> types;
  std::regex typeLine("\\n\\s+(\\d+)\\t(\\d+) 0");
  std::string typesPart = out.substr(out.find("TYPES"), out.find("CHECK") - out.find("TYPES"));
  for (auto it = std::sregex_iterator(typesPart.begin(), typesPart.end(), typeLine);
       it != std::sregex_iterator(); ++it) {
    types[std::stoi((*it)[2])] = std::stoi((*it)[1]);
  }
  EXPECT_EQ(types[110], e.lines);
  EXPECT_EQ(types[100], e.arcs);
  EXPECT_EQ(types[212], static_cast<int>(e.notes.size()));
  // Warnings are fine (the blank line weight), failures are not.
  EXPECT_EQ(out.find("\tF:"), std::string::npos);

  // Every line and arc is transferred into an edge of the same length and centre.
  std::vector<Expected::Edge> edges;
  std::regex edgeLine("EDGE (\\S+) (\\S+) (\\S+)");
  for (auto it = std::sregex_iterator(out.begin(), out.end(), edgeLine);
       it != std::sregex_iterator(); ++it) {
    edges.push_back({std::stold((*it)[1]), std::stold((*it)[2]), std::stold((*it)[3])});
  }
  ASSERT_EQ(edges.size(), e.edges.size());
  auto near = [](long double got, long double want) {
    return std::fabs(got - want) <= 0.002L + 2e-5L * std::fabs(want);
  };
  for (std::size_t k = 0; k < edges.size(); ++k) {
    EXPECT_TRUE(near(edges[k].length, e.edges[k].length))
        << "edge " << k << " length " << static_cast<double>(edges[k].length) << " want "
        << static_cast<double>(e.edges[k].length);
    EXPECT_TRUE(near(edges[k].cx, e.edges[k].cx) && near(edges[k].cy, e.edges[k].cy))
        << "edge " << k << " centre " << static_cast<double>(edges[k].cx) << ","
        << static_cast<double>(edges[k].cy) << " want " << static_cast<double>(e.edges[k].cx) << ","
        << static_cast<double>(e.edges[k].cy);
  }

  // Every note comes back with its text and start point.
  std::size_t found = 0;
  for (const auto& n : e.notes) {
    std::regex noteLine("NOTE " + std::to_string(n.rank) + " (\\S+) (\\S+) \\|(.*)\\|\\n");
    ASSERT_TRUE(std::regex_search(out, m, noteLine)) << "note " << n.rank;
    EXPECT_EQ(m[3].str(), n.text);
    EXPECT_TRUE(near(std::stold(m[1]), n.x) && near(std::stold(m[2]), n.y)) << n.text;
    ++found;
  }
  EXPECT_EQ(found, e.notes.size());
}

TEST(IgesReadBack, DrawReadsEveryEntity) {
  Expected e;
  Written w = Convert([&](IgesWriter& iges, TextOut& out) {
    for (int k = 0; k < 150; ++k) {
      iges.IgesSetPen(k % 16);
      AddLine(iges, out, e, k * 1.25L, -20 + k % 7, k * 1.25L + 3 + k % 5, 40.5L - k % 11);
    }
    for (int k = 0; k < 100; ++k) {
      iges.IgesSetPen(k % 16);
      long double sweep = k % 10 == 0 ? 360 : 15 + (k * 37) % 330;
      AddArc(iges, out, e, -50 + k, 100 - k * 0.5L, 1 + k % 9, (k * 53) % 360, sweep);
    }
    const std::string texts[] = {
        "ABC",
        "Start",
        "a,b,c",
        "x = 12.5, y = -3",
        "A long label, with commas, that runs over more than sixty-four characters in all",
        std::string(63, 'W'),
        std::string(200, ',')};
    for (int k = 0; k < 50; ++k) {
      AddNote(iges, out, e, texts[k % 7], k * 3.5L, -k * 2.0L, (k * 45) % 360);
    }
  });
  ASSERT_FALSE(w.error);
  CheckWithDraw(w.text, e);
}

// The segments of a plot file that uses only absolute PU/PD moves (IN, SP, VS, FS passed over).
std::vector<std::array<long double, 4>> SimpleSegments(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  std::vector<std::array<long double, 4>> segments;
  long double x = 0, y = 0;
  std::stringstream commands(all.str());
  std::string command;
  while (std::getline(commands, command, ';')) {
    while (!command.empty() && std::isspace(static_cast<unsigned char>(command.front())))
      command.erase(0, 1);
    if (command.size() < 2) continue;
    std::string name = command.substr(0, 2);
    if (name != "PU" && name != "PD") continue;
    std::stringstream numbers(command.substr(2));
    std::string a, b;
    while (std::getline(numbers, a, ',') && std::getline(numbers, b, ',')) {
      long double nx = std::stold(a) * 0.025L, ny = std::stold(b) * 0.025L;
      if (name == "PD" && (nx != x || ny != y)) segments.push_back({x, y, nx, ny});
      x = nx;
      y = ny;
    }
  }
  return segments;
}

TEST(IgesReadBack, DrawReadsACorpusDrawing) {
  const std::string path = std::string(PLOTVUE_CORPUS_DIR) + "/inkscape-hpgl-gears-options.plt";
  if (!fs::exists(path)) GTEST_SKIP() << "corpus file missing: " << path;
  std::vector<std::array<long double, 4>> segments = SimpleSegments(path);
  ASSERT_GT(segments.size(), 500u);
  Expected e;
  Written w = Convert([&](IgesWriter& iges, TextOut& out) {
    iges.IgesSetPen(2);
    for (const auto& s : segments) AddLine(iges, out, e, s[0], s[1], s[2], s[3]);
  });
  ASSERT_FALSE(w.error);
  CheckWithDraw(w.text, e);
}

}  // namespace
}  // namespace plotvue
