// Help texts: finding a topic in its group of five, the two fallback messages, the caption and
// message of the help box, where the help files are found, and what the help viewer shows.
#include "help/helptext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "graphics/fakes.h"
#include "help/helpviewer.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::array<std::string, 5>;

HelpTopic Find(const std::string& file, int topic) {
  std::istringstream in(file);
  return FindHelpTopic(in, topic);
}

// A scratch directory, removed at the end.
struct ScratchDir {
  ScratchDir() {
    dir = fs::temp_directory_path() /
          ("plotvue_help_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::create_directories(dir);
  }
  ~ScratchDir() { fs::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories((dir / name).parent_path());
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  }
  std::string Path() const { return dir.string() + "/"; }
  fs::path dir;
  static inline int counter = 0;
};

TEST(FindHelpTopic, AMultipleOfFiveEndsTheGroup) {
  const std::string file = "0010:pic1\r\nDix\r\n0011\r\nOnze\r\n0015\r\nQuinze\r\n";
  const HelpTopic t = Find(file, 10);
  EXPECT_TRUE(t.found);
  EXPECT_EQ(t.lines, (Lines{"Dix", "Onze", "", "", ""}));
  EXPECT_EQ(t.picture, "pic1");
  // 11 shows its own text only; 15 begins a group of its own.
  EXPECT_EQ(Find(file, 11).lines, (Lines{"Onze", "", "", "", ""}));
  EXPECT_EQ(Find(file, 11).picture, "NULL");
  EXPECT_EQ(Find(file, 15).lines, (Lines{"Quinze", "", "", "", ""}));
}

TEST(FindHelpTopic, ContinuationLinesAndTheNumbersOfTheGroup) {
  const std::string file =
      "0020:a\nVingt\nsuite de vingt\n0022\nVingt-deux\n0023\nVingt-trois\n0025\nX\n"
      "0030\nTrente\n0033\nTrente-trois\nencore\n";
  EXPECT_EQ(Find(file, 20).lines,
            (Lines{"Vingt", "suite de vingt", "Vingt-deux", "Vingt-trois", ""}));
  EXPECT_EQ(Find(file, 22).lines, (Lines{"Vingt-deux", "Vingt-trois", "", "", ""}));
  // 0033 is read at line 2 of topic 30, where only 31 would count; the continuation line after
  // it is line 3.
  EXPECT_EQ(Find(file, 30).lines, (Lines{"Trente", "", "encore", "", ""}));
  // Five lines at most: the sixth is not read.
  EXPECT_EQ(Find("0040\nl1\nl2\nl3\nl4\nl5\nl6\n", 40).lines,
            (Lines{"l1", "l2", "l3", "l4", "l5"}));
}

TEST(FindHelpTopic, KeyLinesAndTextLines) {
  // The line after a key line is its text even when it begins with digits; a key line names its
  // picture after the first ":", without blanks around it; "0060:" names no picture.
  const std::string file = "0050\n0051 mm de large\n0055: grand:plan \nTexte\n0060:\nSoixante\n";
  EXPECT_EQ(Find(file, 50).lines[0], "0051 mm de large");
  EXPECT_EQ(Find(file, 50).picture, "NULL");
  EXPECT_FALSE(Find(file, 51).found);
  EXPECT_EQ(Find(file, 55).picture, "grand:plan");
  EXPECT_EQ(Find(file, 60).picture, "");
  // A key line may have fewer than 4 characters, with leading blanks.
  EXPECT_EQ(Find("  7\nSept\n", 7).lines[0], "Sept");
  // A key line at the end of the file has an empty text.
  EXPECT_TRUE(Find("0070", 70).found);
}

TEST(FindHelpTopic, MissingTopicsGiveTheMessage) {
  const HelpTopic t = Find("0010\nDix\nsuite\n", 12);
  EXPECT_FALSE(t.found);
  EXPECT_EQ(t.lines, (Lines{"Texte d'aide No 12: Aucune Aide est disponible.", "", "", "", ""}));
  EXPECT_EQ(t.picture, "");
  // Continuation lines carry no number that can be asked for.
  EXPECT_FALSE(Find("suite\n", -1).found);
  EXPECT_FALSE(Find("", 0).found);
}

TEST(FindHelpTopic, LongAndBinaryLines) {
  // Lines keep 255 bytes; the rest of a longer line is dropped, and it still ends at its LF.
  const std::string file =
      "0010\n" + std::string(300, 'x') + "\n0011\n\x01\x02\xff\n" + std::string(255, 'y') + "\r\n";
  const HelpTopic t = Find(file, 10);
  EXPECT_EQ(t.lines[0], std::string(255, 'x'));
  EXPECT_EQ(t.lines[1], "\x01\x02\xff");
  EXPECT_EQ(t.lines[2], std::string(255, 'y'));
  EXPECT_EQ(t.lines[3], "");
  EXPECT_EQ(Find(std::string("0010\nD\0x\n", 9), 10).lines[0], std::string("D\0x", 3));
}

TEST(LookUpHelpTopic, MissingFilesAndDirectories) {
  ScratchDir d;
  EXPECT_EQ(LookUpHelpTopic(d.Path() + "plotvue.hlp", 5100).lines[0],
            "Fichier " + d.Path() + "plotvue.hlp pas trouvers !");
  fs::create_directories(d.dir / "tavolin.hlp");
  const HelpTopic t = LookUpHelpTopic(d.Path() + "tavolin.hlp", 1940);
  EXPECT_FALSE(t.found);
  EXPECT_EQ(t.lines[0], "Fichier " + d.Path() + "tavolin.hlp pas trouvers !");
  EXPECT_EQ(t.picture, "");
  const std::string path = d.Write("x.hlp", "1940\nGraphique\n");
  EXPECT_EQ(LookUpHelpTopic(path, 1940).lines[0], "Graphique");
}

TEST(HelpBox, FileNameCaptionAndText) {
  EXPECT_EQ(HelpFileName(3999), "tavolin.hlp");
  EXPECT_EQ(HelpFileName(0), "tavolin.hlp");
  EXPECT_EQ(HelpFileName(4000), "plotvue.hlp");
  EXPECT_EQ(HelpCaption(1940), "TEXTE D'AIDE No.1940");
  HelpTopic t;
  t.lines = {"caf\x82", "d\x82j\x85", "", "", "90\xf8"};
  EXPECT_EQ(HelpMessageText(t), "café déjà   90° ");
  // Five full lines are shown whole, longer than one display text may be.
  t.lines = {std::string(255, 'a'), std::string(255, 'b'), "c", "d", "e"};
  EXPECT_EQ(HelpMessageText(t).size(), 255u * 2 + 3 + 5);
}

TEST(HelpDir, ConfiguredDirectoryThenTheShippedOnes) {
  ScratchDir configured, data1, data2;
  data2.Write("help/plotvue.hlp", "5100\nx\n");
  const std::vector<std::string> dirs = {data1.Path(), data2.Path()};
  EXPECT_EQ(HelpDir(configured.Path(), dirs, "plotvue.hlp"), data2.Path() + "help/");
  // Without a trailing "/" in the setting too.
  configured.Write("plotvue.hlp", "5100\ny\n");
  EXPECT_EQ(HelpDir(configured.dir.string(), dirs, "plotvue.hlp"), configured.Path());
  // Nowhere: the configured directory, so that the message names it.
  EXPECT_EQ(HelpDir(configured.dir.string(), dirs, "tavolin.hlp"), configured.Path());
}

// A help viewer over a window fixture whose help directory is a scratch directory.
struct ViewerFixture : WindowFixture {
  ViewerFixture() {
    program.settings.HelpImageDir = dir.Path();
    dir.Write("plotvue.hlp",
              "5220:pic\r\nEchelle\r\n5230\r\nOrigine\r\n5240:absent\r\nTourner\r\n"
              "9300\r\nFen\x88tre\r\n");
    dir.Write("pic.plt", "SP2;PU0,0;PD400,0;");
    // The list holds a drawing before the help is asked for.
    window.line(1, 2, 3, 4);
  }
  ScratchDir dir;
  HelpViewer viewer{program, device, {}};
};

TEST(HelpViewer, TextAndPicture) {
  ViewerFixture f;
  f.viewer.ShowHelpTopic(5220);
  EXPECT_EQ(f.ui.helpTexts, (std::vector<std::string>{"TEXTE D'AIDE No.5220|Echelle     "}));
  // DevClear, DevHeader(0, 0, 160, 120), then the picture: one line in pen 2's colour.
  EXPECT_EQ(f.Records(),
            (std::vector<std::string>{"10;1;1;638;478;0;0;160;120", "11;0", "8;14", "4;0;0;10;0"}));
  EXPECT_EQ(f.host.cursor, CursorShape::Arrow);
}

TEST(HelpViewer, ModesAndTheDefaultTopic) {
  ViewerFixture f;
  f.viewer.ShowHelpTopic(5220, HelpMode::PictureOnly);
  EXPECT_TRUE(f.ui.helpTexts.empty());
  EXPECT_EQ(f.Records().size(), 4u);
  f.window.list().Clear();
  f.viewer.ShowHelpTopic(5220, HelpMode::TextOnly);
  EXPECT_EQ(f.ui.helpTexts.size(), 1u);
  EXPECT_TRUE(f.window.list().Empty());
  // Topic 0 is the default topic: 0 at start, then the one set.
  f.viewer.ShowHelpTopic(0);
  EXPECT_EQ(f.ui.helpTexts.back(),
            "TEXTE D'AIDE No.0|Fichier " + f.dir.Path() + "tavolin.hlp pas trouvers !     ");
  f.viewer.SetDefaultTopic(9300);
  f.viewer.ShowDefaultTopic();
  EXPECT_EQ(f.ui.helpTexts.back(), "TEXTE D'AIDE No.9300|Fenêtre     ");
  f.viewer.ShowHelpTopic(0);
  EXPECT_EQ(f.ui.helpTexts.back(), "TEXTE D'AIDE No.9300|Fenêtre     ");
  // Through the service of the dialogs' "&Aide" buttons.
  HelpService& service = f.viewer;
  service.ShowHelpTopic(5230);
  EXPECT_EQ(f.ui.helpTexts.back(), "TEXTE D'AIDE No.5230|Origine     ");
}

TEST(HelpViewer, TopicsWithoutPictureKeepTheDrawing) {
  ViewerFixture f;
  f.viewer.ShowHelpTopic(5230);
  f.viewer.ShowHelpTopic(5225);
  EXPECT_EQ(f.Records(), (std::vector<std::string>{"4;1;2;3;4"}));
  EXPECT_EQ(f.ui.helpTexts.back(),
            "TEXTE D'AIDE No.5225|Texte d'aide No 5225: Aucune Aide est disponible.     ");
}

TEST(HelpViewer, TheCallersErrorFlagIsKept) {
  ViewerFixture f;
  // A missing picture is reported, and the command that asked for help goes on.
  f.viewer.ShowHelpTopic(5240);
  EXPECT_EQ(f.ui.messages, (std::vector<std::string>{f.dir.Path() + "absent.plt pas trouver !"}));
  EXPECT_FALSE(f.program.ErrorFlag);
  EXPECT_EQ(f.host.cursor, CursorShape::Arrow);
  // A flag set before stays set although the picture reader clears it.
  f.program.ErrorFlag = true;
  f.viewer.ShowHelpTopic(5220);
  EXPECT_TRUE(f.program.ErrorFlag);
}

}  // namespace
}  // namespace plotvue::testing
