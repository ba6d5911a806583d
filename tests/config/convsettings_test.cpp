// The converter settings prompts: the order of the prompts with their help topics for each
// syntax and device, what each answer stores, the refusal and repetition of numbers that cannot
// be taken, the same-file check, and Cancel at every step.
#include "config/convsettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "output/numformat.h"
#include "support/scripted.h"

namespace plotvue {
namespace {

using testing::ScriptedInteraction;

struct Prompts : ::testing::Test {
  Prompts() { program.file = CurrentFile::FromPath("/data/PLAN.plt"); }
  void Ask() { AskConverterSettings(program, garmin, editor); }
  ScriptedInteraction ui;
  Program program{ui};
  GarminOptions garmin;
  std::vector<std::string> edited;
  EditorLauncher editor = [this](const std::string& path) {
    edited.push_back(path);
    return true;
  };
};

TEST_F(Prompts, CncOnAFileAsksEveryPromptInOrder) {
  ui.choices = {4, 3, 2};  // CNC, File, NC - Code "SM - Code"
  ui.texts = {"out", "2000", "2.5", "10", "-5", "0,5", "2", "0.8"};
  ui.yesNos = {true};  // pen width to pen number
  Ask();
  ASSERT_FALSE(program.ErrorFlag);
  const std::vector<std::string> expected = {
      "choice Plot-Syntax [5130] 12 @10",
      "choice appareil de sortie [5140] 3 @3",
      "text Nom de fichier (sans Extention .cnc)  [5200] PLOT <30>",
      "text Nombre max. d'éléments de dessin dans 1 fichier [5210] 500000 <12>",
      "yesno Convert Pen Width to Pen Number ? (Pen=20*PW) [5215] N",
      "text Echelle «tracer» [5220] 1 <30>",
      "text Coin gauche en bas du dessin X [mm] [5230] 0 <30>",
      "text Coin gauche en bas du dessin Y [mm] [5230] 0 <30>",
      "text Profondeur de coupe [mm]  [5260] 0.3 <30>",
      "text Distance d'outil à la surface de la pièce [mm]  [5270] 1 <30>",
      "choice NC - Code [5350] 4 @1",
      "text Coefficient de correction de la largeur du texte  (0.1..10)   [5290] 1 <30>",
  };
  EXPECT_EQ(ui.log, expected);
  const Settings& s = program.settings;
  EXPECT_EQ(s.SyntaxCode, 4);
  EXPECT_EQ(s.DeviceCode, 3);
  EXPECT_EQ(s.PlotFile, "OUT");
  EXPECT_EQ(s.MaxFileElements, 2000);
  EXPECT_TRUE(s.PenFromWidth);
  EXPECT_EQ(s.PlotScale, 2.5L);
  EXPECT_EQ(s.PlotOriginX, 10.0L);
  EXPECT_EQ(s.PlotOriginY, -5.0L);
  EXPECT_EQ(s.Fraestiefe, 0.5L);
  EXPECT_EQ(s.WerkzeugAbstand, 2.0L);
  EXPECT_EQ(s.NcSyntax, 2);
  EXPECT_EQ(s.TextWidthFactor, 0.8L);
  EXPECT_EQ(s.UseShpFont, 'J');  // forced for CNC, not asked
  EXPECT_EQ(s.Rotate90, 'N');
  EXPECT_TRUE(ui.errors.empty());
}

TEST_F(Prompts, SerialAndParallelPortsAskTheirLineSettings) {
  ui.choices = {1, 1, 3, 4, 1, 2, 3};  // HP-GL, serial, COM3, 600 Baud, 7 bits, 2 stop, even
  ui.yesNos = {true};                  // rotate
  Ask();
  ASSERT_FALSE(program.ErrorFlag);
  const Settings& s = program.settings;
  EXPECT_EQ(s.SerialPort, 3);
  EXPECT_EQ(s.BaudRateCode, 4);
  EXPECT_EQ(s.DataBitsCode, 1);
  EXPECT_EQ(s.StopBits, 2);
  EXPECT_EQ(s.ParityCode, 3);
  EXPECT_EQ(s.Rotate90, 'J');
  EXPECT_EQ(ui.log[2], "choice Serial Port [5140] 4 @1");
  EXPECT_EQ(ui.log[3], "choice Baud Rate [5150] 8 @8");
  EXPECT_EQ(ui.log[4], "choice Data Bits [5160] 2 @2");
  EXPECT_EQ(ui.log[5], "choice Stop Bits [5170] 2 @1");
  EXPECT_EQ(ui.log[6], "choice Parity [5180] 3 @1");
  EXPECT_EQ(ui.log[10], "yesno Tourner le tracion en 90 degrée ? [5240] N");
  // ShpLoad 'N': no stroke font question for HP-GL.
  EXPECT_EQ(ui.log[11].rfind("text Coefficient", 0), 0u);

  ui.log.clear();
  ui.choices = {2, 2, 3};  // Aristo, parallel, LPT3
  ui.yesNos = {false};
  Ask();
  EXPECT_EQ(program.settings.LPT, 3);
  EXPECT_EQ(ui.log[2], "choice parallel Port [5190] 3 @1");
  EXPECT_EQ(ui.log.back(), "question Réviser le file d'initialisation ?");
}

TEST_F(Prompts, NumbersThatCannotBeTakenAreRefusedAndAskedAgain) {
  program.settings.SyntaxCode = 5;
  program.settings.DeviceCode = 2;
  ui.texts = {"0", "abc", "1e99999", "20000", "2,5"};
  AskNumber(program, "Echelle «tracer»", program.settings.PlotScale, 0.00001L, 10000.0L, 5220);
  EXPECT_EQ(program.settings.PlotScale, 2.5L);
  const std::string range =
      "Donnée valide: " + FormatShort(0.00001L) + " .. " + FormatShort(10000.0L) + " !";
  const std::vector<std::string> expected = {range, "Présentation non valide \"abc\" !",
                                             "Présentation non valide \"1e99999\" !", range};
  EXPECT_EQ(ui.errors, expected);
  EXPECT_EQ(ui.beeps, 4);
  EXPECT_EQ(ui.log.size(), 5u);

  // An answer equal to the preset keeps the exact value, which the short format would round.
  long double value = 1.23456789L;
  ui.texts = {FormatShort(value)};
  EXPECT_TRUE(AskNumber(program, "x", value, 0.0L, 10.0L, 0));
  EXPECT_EQ(value, 1.23456789L);
  // A typed zero is a number; Cancel keeps the old value.
  ui.texts = {"-0,0", std::nullopt};
  EXPECT_TRUE(AskNumber(program, "x", value, -1.0L, 1.0L, 0));
  EXPECT_EQ(value, 0.0L);
  value = 3.0L;
  EXPECT_FALSE(AskNumber(program, "x", value, -1.0L, 1.0L, 0));
  EXPECT_EQ(value, 3.0L);

  ui.errors.clear();
  std::int32_t count = 500000;
  ui.texts = {"5", "12x", "99999999999", "10"};
  EXPECT_TRUE(AskInteger(program, "n", count, 10, 1000000000, 5210));
  EXPECT_EQ(count, 10);
  const std::vector<std::string> intErrors = {"Donnée valide: 10 .. 1000000000 !",
                                              "Présentation non valide \"12x\" !",
                                              "Présentation non valide \"99999999999\" !"};
  EXPECT_EQ(ui.errors, intErrors);
}

TEST_F(Prompts, FileNamesWithADotAreAskedAgainAndTheSourceIsNeverTheTarget) {
  ui.choices = {5, 3};
  ui.texts = {"plan.dxf", "plan"};
  Ask();
  EXPECT_FALSE(program.ErrorFlag);
  EXPECT_EQ(program.settings.PlotFile, "PLAN");  // .dxf is not the plot files' extension
  EXPECT_EQ(ui.log[2], "text Nom de fichier (sans Extention .dxf)  [5200] PLOT <30>");
  EXPECT_EQ(ui.log[3], "text Nom de fichier (sans Extention .dxf)  [5200] plan.dxf <30>");
  EXPECT_EQ(ui.log.back(), "text Coefficient de correction de la largeur du texte  (0.1..10)   [5290] 1 <30>");
  EXPECT_EQ(ui.log[ui.log.size() - 2], "text Entrer font de texte [5280] TXT8 <28>");

  // HP-GL writes "plt", the plot files' extension: the current file's own name is refused.
  ui.log.clear();
  ui.choices = {1, 3};
  ui.texts = {"plan"};
  Ask();
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_EQ(program.settings.PlotFile, "XXXXXXXX");
  ASSERT_EQ(ui.errors.size(), 1u);
  EXPECT_EQ(ui.errors[0],
            "Le fichier source et le fichier de destination ne doivent pas être identiques !");
  EXPECT_EQ(ui.log.size(), 3u);  // nothing asked after it

  // With ErrorFlag already set nothing is asked.
  ui.log.clear();
  Ask();
  EXPECT_TRUE(ui.log.empty());
}

TEST_F(Prompts, CancelAtAnyStepSetsTheFlagAndEndsTheSequence) {
  // The CNC walk on a file has 12 prompts: cancel each in turn.
  for (int step = 0; step < 12; ++step) {
    program.ErrorFlag = false;
    program.settings = Settings{};
    ui.log.clear();
    ui.choices = {4, 3};
    ui.texts = {"OUT"};
    ui.cancelAt = step;
    Ask();
    EXPECT_TRUE(program.ErrorFlag) << "step " << step;
    EXPECT_EQ(ui.log.size(), static_cast<std::size_t>(step + 1)) << "step " << step;
  }
  // Cancel of the first prompt leaves every setting as it was.
  EXPECT_EQ(program.settings.SyntaxCode, 4);
  ui.cancelAt = 0;
  program.settings = Settings{};
  program.ErrorFlag = false;
  Ask();
  EXPECT_EQ(program.settings.SyntaxCode, Settings{}.SyntaxCode);
}

TEST_F(Prompts, SyntaxOptionsStoreTheirAnswers) {
  // Postscript: "andere Schriften" is preselected and leads to a typed font name.
  ui.choices = {10, 3, 35};
  ui.texts = {"OUT", "500000", "1", "0", "0", "MyFont-Bold"};
  ui.yesNos = {false, false};
  Ask();
  ASSERT_FALSE(program.ErrorFlag);
  EXPECT_EQ(program.settings.TextStyle, "MyFont-Bold");
  EXPECT_EQ(ui.lastOptions.size(), 35u);
  EXPECT_EQ(ui.lastOptions.back(), "andere Schriften");
  EXPECT_NE(std::find(ui.log.begin(), ui.log.end(),
                      "choice Utiliser jeu de charactères Postscript [5280] 35 @35"),
            ui.log.end());
  // A listed font stores its name.
  ui.choices = {10, 3, 5};
  ui.texts = {};
  ui.yesNos = {};
  Ask();
  EXPECT_EQ(program.settings.TextStyle, "Helvetica");
  EXPECT_EQ(program.settings.UseShpFont, 'N');

  // Garmin: the areal system asks for the x reference; the file type gives the extension.
  ui.log.clear();
  ui.choices = {12, 3, 2, 2, 2};
  Ask();
  ASSERT_FALSE(program.ErrorFlag);
  EXPECT_EQ(program.settings.NcSyntax, 2);
  EXPECT_EQ(garmin.XReference, 2);
  EXPECT_EQ(garmin.FileType, 2);
  EXPECT_EQ(ui.log[2], "text Nom de fichier (sans Extention .WPT)  [5200] OUT <30>");
  const std::vector<std::string> tail = {"choice Select [5500] 2 @1",
                                         "choice X Reference [5500] 2 @1",
                                         "choice File Type [5500] 3 @1"};
  EXPECT_TRUE(std::search(ui.log.begin(), ui.log.end(), tail.begin(), tail.end()) != ui.log.end());
  // The global system skips the x reference.
  ui.log.clear();
  ui.choices = {12, 3, 1, 3};
  Ask();
  EXPECT_EQ(garmin.FileType, 3);
  EXPECT_EQ(std::count_if(ui.log.begin(), ui.log.end(),
                          [](const std::string& l) { return l.find("X Reference") != std::string::npos; }),
            0);

  // Lasercomb forces CNC dialect 1 and the stroke font.
  ui.choices = {3, 3};
  Ask();
  EXPECT_EQ(program.settings.NcSyntax, 1);
  EXPECT_EQ(program.settings.UseShpFont, 'J');
  // With the stroke font loaded, HP-GL asks whether to use it.
  program.settings.ShpLoad = 'J';
  ui.log.clear();
  ui.choices = {1, 3};
  ui.yesNos = {false, true};
  Ask();
  EXPECT_EQ(program.settings.UseShpFont, 'J');
  EXPECT_NE(std::find(ui.log.begin(), ui.log.end(),
                      "yesno Utiliser le font de texte externe TXT.SHP ? [5250] J"),
            ui.log.end());
}

TEST_F(Prompts, AristoOffersToEditItsInitialisationFile) {
  program.settings.HelpImageDir = "/opt/plotvue";
  ui.choices = {2, 2, 1};
  ui.yesNos = {false};
  ui.answer = Answer::Yes;
  Ask();
  EXPECT_FALSE(program.ErrorFlag);
  ASSERT_EQ(edited.size(), 1u);
  EXPECT_EQ(edited[0], "/opt/plotvue/ARISTO.TXT");

  ui.choices = {2, 2, 1};
  ui.yesNos = {false};
  ui.answer = Answer::Cancel;
  Ask();
  EXPECT_TRUE(program.ErrorFlag);
  EXPECT_EQ(edited.size(), 1u);

  // A current syntax of 0 preselects HP-GL.
  program.ErrorFlag = false;
  program.settings.SyntaxCode = 0;
  ui.log.clear();
  ui.acceptDefaults = false;
  Ask();
  EXPECT_EQ(ui.log[0], "choice Plot-Syntax [5130] 12 @0");
  EXPECT_TRUE(program.ErrorFlag);
}

}  // namespace
}  // namespace plotvue
