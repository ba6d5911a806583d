// Tests of what the settings dialogs store: the graphics settings and pen colours, the
// directories with their normalisation, the pen table per syntax, and Options, Load refusing a
// file that is no whole settings file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "config/confdir.h"
#include "config/configio.h"
#include "config/configload.h"
#include "graphics/confgraf.h"

namespace plotvue {
namespace {

namespace fs = std::filesystem;

class Ui : public UserInteraction {
 public:
  void ShowError(const std::string& t) override { errors.push_back(t); }
  void ShowMessage(const std::string& t) override { messages.push_back(t); }
  Answer AskYesNoCancel(const std::string&) override { return Answer::Yes; }
  std::optional<std::string> PromptText(const std::string&, const std::string& initial, int,
                                        int) override {
    return initial;
  }
  std::optional<std::string> OpenFileDialog(const std::string&, const std::string&) override {
    return chosen;
  }
  std::vector<std::string> errors, messages;
  std::optional<std::string> chosen;
};

struct Scratch {
  Scratch() {
    // Not temp_directory_path(): other tests of this binary point TMPDIR elsewhere.
    dir = fs::path("/tmp") /
          ("plotvue-sd-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    fs::create_directories(dir);
  }
  ~Scratch() {
    std::error_code ec;
    fs::permissions(dir / "ro", fs::perms::owner_all, ec);
    fs::remove_all(dir, ec);
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }
  static inline int serial = 0;
  fs::path dir;
};

// --- Graphics settings -------------------------------------------------------------------------

// Settings as start-up leaves them: the window size is set.
Settings Sized() {
  Settings s;
  s.ScreenWidthPx = 639, s.ScreenHeightPx = 479;
  return s;
}

TEST(GraphicsFieldsTest, WindowSizeIsStoredLessOneAndShownPlusOne) {
  Settings s;
  GraphicsFields f = GraphicsFieldsFrom(s);
  f.sizeX = "800", f.sizeY = "600";
  ASSERT_EQ(StoreGraphicsFields(f, s), std::nullopt);
  EXPECT_EQ(s.ScreenWidthPx, 799);
  EXPECT_EQ(s.ScreenHeightPx, 599);
  const GraphicsFields again = GraphicsFieldsFrom(s);
  EXPECT_EQ(again.sizeX, "800");
  EXPECT_EQ(again.sizeY, "600");
}

TEST(GraphicsFieldsTest, FieldsReadBackWhatTheyShowAndTakeTheComma) {
  Settings s = Sized();
  s.Zoom = 1.25L, s.Panorama = 0.15L, s.ScreenTextWidthFactor = 0.8L, s.TextHeightFactor = 1.3L;
  GraphicsFields f = GraphicsFieldsFrom(s);
  EXPECT_EQ(f.zoom, "1.25");
  EXPECT_EQ(f.pan, "0.15");
  Settings t = s;
  ASSERT_EQ(StoreGraphicsFields(f, t), std::nullopt);
  EXPECT_NEAR(static_cast<double>(t.ScreenTextWidthFactor), 0.8, 1e-15);
  f.zoom = "1,5", f.pan = "0,2", f.textHeight = "2,5";
  f.colour = false, f.border = true;
  ASSERT_EQ(StoreGraphicsFields(f, t), std::nullopt);
  EXPECT_EQ(t.Zoom, 1.5L);
  EXPECT_NEAR(static_cast<double>(t.Panorama), 0.2, 1e-15);
  EXPECT_EQ(t.TextHeightFactor, 2.5L);
  EXPECT_FALSE(t.ColourGraphics);
  EXPECT_TRUE(t.ScreendumpBorder);
}

TEST(GraphicsFieldsTest, FontNameIsCutToSixtyCharacters) {
  Settings s = Sized();
  GraphicsFields f = GraphicsFieldsFrom(s);
  f.font = std::string(70, 'F');
  ASSERT_EQ(StoreGraphicsFields(f, s), std::nullopt);
  EXPECT_EQ(s.ScreenTextFont, std::string(60, 'F'));
  // Characters, not bytes: an accented name is not cut inside a letter.
  f.font = std::string(59, 'a') + "éé";
  ASSERT_EQ(StoreGraphicsFields(f, s), std::nullopt);
  EXPECT_EQ(s.ScreenTextFont, std::string(59, 'a') + "é");
  EXPECT_EQ(FirstCharacters("abc", 5), "abc");
}

TEST(GraphicsFieldsTest, RefusedValueStoresNothing) {
  const Settings before = Sized();
  struct Case {
    const char* what;
    void (*change)(GraphicsFields&);
    const char* field;
  };
  const Case cases[] = {
      {"zoom 0", [](GraphicsFields& f) { f.zoom = "0"; }, "Zoom"},
      {"zoom text", [](GraphicsFields& f) { f.zoom = "abc"; }, "Zoom"},
      {"zoom negative", [](GraphicsFields& f) { f.zoom = "-2"; }, "Zoom"},
      {"pan negative", [](GraphicsFields& f) { f.pan = "-0,1"; }, "Panorama"},
      {"empty size", [](GraphicsFields& f) { f.sizeX = ""; }, "Grandeur de la fenêtre x"},
      {"size 1", [](GraphicsFields& f) { f.sizeY = "1"; }, "Grandeur de la fenêtre y"},
      {"huge size", [](GraphicsFields& f) { f.sizeX = "70000"; }, "Grandeur de la fenêtre x"},
      {"size 800.5", [](GraphicsFields& f) { f.sizeX = "800.5"; }, "Grandeur de la fenêtre x"},
      {"text width 0", [](GraphicsFields& f) { f.textWidth = "0"; }, "Largeur/hauteur du texte"},
      {"text height 1e400", [](GraphicsFields& f) { f.textHeight = "1e400"; }, "Taille du texte"},
  };
  for (const Case& c : cases) {
    Settings s = before;
    GraphicsFields f = GraphicsFieldsFrom(s);
    ASSERT_EQ(f.sizeX, "640");
    f.colour = false, f.font = "Courier", f.border = true;
    c.change(f);
    const std::optional<std::string> refused = StoreGraphicsFields(f, s);
    ASSERT_TRUE(refused.has_value()) << c.what;
    EXPECT_EQ(refused->rfind(std::string(c.field) + " : valeur non valide", 0), 0u) << *refused;
    EXPECT_TRUE(s.ColourGraphics) << c.what;
    EXPECT_EQ(s.ScreenTextFont, "Arial") << c.what;
    EXPECT_FALSE(s.ScreendumpBorder) << c.what;
    EXPECT_EQ(s.Zoom, before.Zoom) << c.what;
  }
}

TEST(PenColourFieldsTest, SixteenSlotsStoredAsIntegers) {
  Settings s;
  auto fields = PenColourFieldsFrom(s);
  EXPECT_EQ(fields[0], "1");
  EXPECT_EQ(fields[15], "16");
  EXPECT_STREQ(kPenColourLabels[0], "Couleur 1 (rouge)");
  EXPECT_STREQ(kPenColourLabels[7], "Couleur 8 (sombre bleu)");
  EXPECT_STREQ(kPenColourLabels[15], "Couleur 16 (noir)");
  fields[0] = "12", fields[1] = "x", fields[15] = " 3";
  ASSERT_EQ(StorePenColourFields(fields, s), std::nullopt);
  EXPECT_EQ(s.ScreenPenColour[0], 12);
  EXPECT_EQ(s.ScreenPenColour[1], 0);  // not an integer
  EXPECT_EQ(s.ScreenPenColour[15], 3);
  fields[4] = "17";
  const Settings kept = s;
  const auto refused = StorePenColourFields(fields, s);
  ASSERT_TRUE(refused);
  EXPECT_EQ(*refused, "Couleur 5 (bleu) : valeur non valide \"17\" (de 0 à 16)");
  EXPECT_EQ(s.ScreenPenColour, kept.ScreenPenColour);
}

// --- Directories -------------------------------------------------------------------------------

TEST(DirectoryTest, Normalisation) {
  EXPECT_EQ(NormalizeDirectory("/data/plots"), "/data/plots/");
  EXPECT_EQ(NormalizeDirectory("  /data/plots  "), "/data/plots/");
  EXPECT_EQ(NormalizeDirectory("/data/plots/"), "/data/plots/");
  EXPECT_EQ(NormalizeDirectory("C:"), "C:");
  EXPECT_EQ(NormalizeDirectory(""), "");
  EXPECT_EQ(NormalizeDirectory("    "), "");
  EXPECT_EQ(NormalizeDirectory("/home/josé"), "/home/josé/");
  // Only name characters get the "/": the ASCII ranges "!" to ")", digits, ";" to "Z", "_" to z.
  for (const char* yes : {"a!", "a)", "a0", "a9", "a;", "aZ", "a_", "az", "a@"})
    EXPECT_EQ(NormalizeDirectory(yes), std::string(yes) + "/") << yes;
  for (const char* no : {"a*", "a.", "a-", "a[", "a^", "a{", "a~", "a:"})
    EXPECT_EQ(NormalizeDirectory(no), no) << no;
}

TEST(DirectoryTest, OkStoresNormalisedDirectoriesAndTheFontSwitch) {
  Scratch scratch;
  const std::string d = scratch.dir.string();
  Settings s;
  DirectoryFields f = DirectoryFieldsFrom(s);
  EXPECT_FALSE(f.shp);  // ShpLoad 'N'
  f.ext = "hpgl", f.grafik = d, f.temp = " " + d + "/ ", f.plt = "", f.exe = d, f.shp = true;
  ASSERT_EQ(StoreDirectoryFields(f, s), std::nullopt);
  EXPECT_EQ(s.FileExtension, "hpg");
  EXPECT_EQ(s.InPath, d + "/");
  EXPECT_EQ(s.TempDir, d + "/");
  EXPECT_EQ(s.HelpImageDir, "");
  EXPECT_EQ(s.MakerDir, d + "/");
  EXPECT_EQ(s.ShpLoad, 'J');
  f = DirectoryFieldsFrom(s);
  EXPECT_TRUE(f.shp);
  f.shp = false;
  ASSERT_EQ(StoreDirectoryFields(f, s), std::nullopt);
  EXPECT_EQ(s.ShpLoad, 'N');
}

TEST(DirectoryTest, MissingOrUnwritableDirectoryIsRefusedAndNothingStored) {
  Scratch scratch;
  const std::string d = scratch.dir.string();
  fs::create_directories(scratch.dir / "ro");
  ::chmod(scratch.Path("ro").c_str(), 0555);
  const bool rootCanWrite = ::access(scratch.Path("ro").c_str(), W_OK) == 0;
  Settings s;
  s.InPath = "/old/";
  DirectoryFields f = DirectoryFieldsFrom(s);
  f.grafik = d + "/none";
  f.shp = true;
  auto refused = StoreDirectoryFields(f, s);
  ASSERT_TRUE(refused);
  EXPECT_EQ(*refused, "Annuaire de dessins : le répertoire \"" + d + "/none/\" n'existe pas");
  EXPECT_EQ(s.InPath, "/old/");
  EXPECT_EQ(s.ShpLoad, 'N');

  f.grafik = scratch.Write("file", "x");  // a file is no directory
  EXPECT_TRUE(StoreDirectoryFields(f, s));
  f.grafik = d;
  f.temp = scratch.Path("ro");
  if (!rootCanWrite) {
    refused = StoreDirectoryFields(f, s);
    ASSERT_TRUE(refused);
    EXPECT_EQ(*refused,
              "Annuaire temporaire ou disque virtuel : impossible d'écrire dans le "
              "répertoire \"" +
                  scratch.Path("ro") + "/\"");
  }
  // A directory read only is still good for drawings.
  f.temp = "";
  f.grafik = scratch.Path("ro");
  EXPECT_EQ(StoreDirectoryFields(f, s), std::nullopt);
  f.ext = "*";
  EXPECT_TRUE(StoreDirectoryFields(f, s));
  EXPECT_EQ(DirectoryPreset(d), d);
  EXPECT_EQ(DirectoryPreset(d + "/none"), "");
  EXPECT_EQ(DirectoryPreset(""), "");
}

// --- Pen table ---------------------------------------------------------------------------------

TEST(PenTableTest, HeadersRowsAndHelpPerSyntax) {
  EXPECT_EQ(PenTableRowLabel(1), "1 (rouge)");
  EXPECT_EQ(PenTableRowLabel(8), "8 (brun)");
  EXPECT_EQ(PenTableRowLabel(9), "9 ()");
  EXPECT_EQ(PenTableRowLabel(15), "15 ()");
  const char* headers[13] = {
      nullptr,   "Pen No.", "Pen No.", "Tool No.", "Tool No.",           "Couleur",
      "Couleur", "Couleur", "Couleur", "Couleur",  "Epaisseur du trait", "Epaisseur du trait",
      "Couleur"};
  for (int syntax = 1; syntax <= 12; ++syntax) {
    EXPECT_EQ(PenTableNumberHeader(syntax), headers[syntax]) << syntax;
    EXPECT_EQ(PenTableHasSpeed(syntax), syntax <= 4 || syntax == 9) << syntax;
    EXPECT_EQ(PenTableHelpTopic(syntax), syntax == 10 || syntax == 11 ? 5100 : 5110) << syntax;
  }
}

TEST(PenTableTest, CellsAndStore) {
  EXPECT_EQ(PenTableCellValue("12"), 12);
  EXPECT_EQ(PenTableCellValue(" 7 "), 7);
  EXPECT_EQ(PenTableCellValue("-3"), -3);
  EXPECT_EQ(PenTableCellValue("12a"), 0);
  EXPECT_EQ(PenTableCellValue("1.5"), 0);
  EXPECT_EQ(PenTableCellValue(""), 0);
  EXPECT_EQ(PenTableCellValue("99999999999"), 0);
  EXPECT_FALSE(PenTableCellValid("12a"));
  EXPECT_TRUE(PenTableCellValid("+4"));

  Settings s;
  PenTableCells cells = PenTableCellsFrom(s, 1);
  EXPECT_EQ(cells.number[0], "1");
  EXPECT_EQ(cells.speed[0], "500");
  cells.number[0] = "12a", cells.number[14] = "4", cells.speed[2] = "250";
  StorePenTableCells(cells, 1, s);
  EXPECT_EQ(s.SyntaxCode, 1);
  EXPECT_EQ(s.PenNumber[1], 0);
  EXPECT_EQ(s.PenNumber[15], 4);
  EXPECT_EQ(s.PenSpeed[3], 250);
  EXPECT_EQ(s.PenNumber[0], 0);  // index 0 is not in the grid
  // Postscript: no speed column; OK keeps the speeds.
  cells = PenTableCellsFrom(s, 10);
  EXPECT_EQ(cells.speed[2], "");
  cells.number[2] = "9";
  StorePenTableCells(cells, 10, s);
  EXPECT_EQ(s.SyntaxCode, 10);
  EXPECT_EQ(s.PenNumber[3], 9);
  EXPECT_EQ(s.PenSpeed[3], 250);
}

// --- Options, Load -----------------------------------------------------------------------------

// The text up to and including line `lines`.
std::string FirstLines(const std::string& text, int lines) {
  std::size_t at = 0;
  for (int k = 0; k < lines; ++k) at = text.find('\n', at) + 1;
  return text.substr(0, at);
}

TEST(ConfigLoadTest, WholeFilesAndOlderVersionsAreTaken) {
  const std::string full = ConfigFileText(Settings{});
  EXPECT_EQ(ConfigFileProblem(full), "");
  EXPECT_EQ(ConfigFileProblem(FirstLines(full, 156)), "");  // ends after "Style de texte"
  EXPECT_EQ(ConfigFileProblem(FirstLines(full, 162)), "");  // ends after "PLT Annuaire"
  EXPECT_EQ(ConfigFileProblem(FirstLines(full, 244)), "");  // ends after the 2nd reserved entry
  EXPECT_EQ(ConfigFileProblem(FirstLines(full, 200)),
            "le fichier est incomplet (200 lignes sur 254)");
  EXPECT_EQ(ConfigFileProblem(full.substr(0, full.size() - 3)),
            "le fichier est incomplet (254 lignes sur 254)");
  EXPECT_EQ(ConfigFileProblem(""), "le fichier est incomplet (0 lignes sur 254)");
  EXPECT_EQ(ConfigFileProblem(std::string("PLOTVUE\0\1\2", 10) + full),
            "ce n'est pas un fichier de configuration (fichier binaire)");
  EXPECT_EQ(ConfigFileProblem(std::string(2u << 20, 'a')),
            "le fichier est trop grand pour un fichier de configuration");
}

TEST(ConfigLoadTest, DamagedFileKeepsTheSettingsAndSaysWhy) {
  Scratch scratch;
  Ui ui;
  Program p(ui);
  p.programDir = scratch.dir.string() + "/";
  p.settings.Zoom = 3, p.settings.ScreenTextFont = "Courier";
  Settings other;
  other.Zoom = 2, other.ScreenTextFont = "Serif";
  const std::string full = ConfigFileText(other);
  fs::create_directories(scratch.dir / "dir.cfg");
  const std::string cases[][2] = {
      {scratch.Write("short.cfg", FirstLines(full, 100)), "le fichier est incomplet"},
      {scratch.Write("bin.cfg", std::string("\x7f"
                                            "ELF\2\1\1\0",
                                            8) +
                                    full),
       "ce n'est pas un fichier de configuration (fichier binaire)"},
      {scratch.Path("dir.cfg"), "c'est un répertoire"},
      {scratch.Path("none.cfg"), "le fichier ne peut pas être lu"},
  };
  for (const auto& c : cases) {
    ui.errors.clear();
    p.ErrorFlag = false;
    ui.chosen = c[0];
    EXPECT_FALSE(LoadConfigCommand(p)) << c[0];
    EXPECT_TRUE(p.ErrorFlag);
    ASSERT_EQ(ui.errors.size(), 1u) << c[0];
    EXPECT_NE(ui.errors[0].find("\"" + c[0] + "\" : " + c[1]), std::string::npos) << ui.errors[0];
    EXPECT_NE(ui.errors[0].find("les réglages n'ont pas changé"), std::string::npos);
    EXPECT_EQ(p.settings.Zoom, 3);
    EXPECT_EQ(p.settings.ScreenTextFont, "Courier");
  }
  ui.chosen.reset();
  p.ErrorFlag = false;
  EXPECT_FALSE(LoadConfigCommand(p));  // cancelled
  EXPECT_TRUE(p.ErrorFlag);

  ui.errors.clear();
  p.ErrorFlag = false;
  ui.chosen = scratch.Write("good.cfg", full);
  EXPECT_TRUE(LoadConfigCommand(p));
  EXPECT_EQ(p.settings.Zoom, 2);
  EXPECT_EQ(p.settings.ScreenTextFont, "Serif");
  // The directory settings are checked as after every complete read: blank ones become the
  // program directory.
  EXPECT_EQ(p.settings.TempDir, p.programDir);
}

}  // namespace
}  // namespace plotvue
