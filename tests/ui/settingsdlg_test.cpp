// Tests of the settings dialogs on the offscreen platform: the graphics settings, the pen
// colours, the directories, the pen table and the element list, each driven through its
// widgets (what OK stores, what "Annuler" leaves, the help topics), and the Options items of the
// main window with the settings saved and read back after a restart.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <functional>

#include "config/configio.h"
#include "ui/confdir.h"
#include "ui/confgraf.h"
#include "window_fixture.h"

namespace plotvue::testing {
namespace {

struct RecordingHelp : HelpService {
  void ShowHelpTopic(int topic) override { topics.push_back(topic); }
  std::vector<int> topics;
};

struct DialogFixture {
  DialogFixture() {
    ui.help = &help;
    program.settings.ScreenWidthPx = 639, program.settings.ScreenHeightPx = 479;
  }
  RecordingInteraction ui;
  RecordingHelp help;
  Program program{ui};
};

// Runs `act` on the dialog of type D that the next command shows modally.
template <typename D>
void OnModal(std::function<void(D*)> act) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
    if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(d);
    } else if (++*tries > 500) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no modal dialog came up";
    }
  });
  timer->start(10);
}

// --- Tconfgraf -----------------------------------------------------------------------------------

TEST(ConfgrafTest, ShowsTheSettingsAndOkStoresThem) {
  DialogFixture f;
  f.program.settings.ScreenWidthPx = 799, f.program.settings.ScreenHeightPx = 599;
  Tconfgraf d(f.program);
  EXPECT_EQ(d.windowTitle(), "Configuration Graphique");
  EXPECT_EQ(d.Edit_x->text(), "800");
  EXPECT_EQ(d.Edit_y->text(), "600");
  EXPECT_EQ(d.Edit_zoom->text(), "1.2");
  EXPECT_EQ(d.Edit_pan->text(), "0.1");
  EXPECT_EQ(d.Edit_font->text(), "Arial");
  EXPECT_TRUE(d.RadioButton_colour->isChecked());
  EXPECT_FALSE(d.CheckBox_border->isChecked());

  d.RadioButton_mono->setChecked(true);
  d.Edit_x->setText("1024"), d.Edit_y->setText("768");
  d.Edit_zoom->setText("1,5"), d.Edit_pan->setText("0,25");
  d.Edit_textwidth->setText("0,9"), d.Edit_textheight->setText("1,1");
  d.CheckBox_border->setChecked(true);
  // The font dialog gives a name of 70 characters; the field keeps 60 of them.
  d.chooseFont = [](const QString&) { return std::optional<QString>(QString(70, 'N')); };
  d.Button_font->click();
  EXPECT_EQ(d.Edit_font->text(), QString(60, 'N'));
  d.show();
  d.okButton()->click();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  const Settings& s = f.program.settings;
  EXPECT_FALSE(s.ColourGraphics);
  EXPECT_EQ(s.ScreenWidthPx, 1023);
  EXPECT_EQ(s.ScreenHeightPx, 767);
  EXPECT_EQ(s.Zoom, 1.5L);
  EXPECT_EQ(s.Panorama, 0.25L);
  EXPECT_NEAR(static_cast<double>(s.ScreenTextWidthFactor), 0.9, 1e-15);
  EXPECT_NEAR(static_cast<double>(s.TextHeightFactor), 1.1, 1e-15);
  EXPECT_EQ(s.ScreenTextFont, std::string(60, 'N'));
  EXPECT_TRUE(s.ScreendumpBorder);
  EXPECT_FALSE(f.program.ErrorFlag);
  EXPECT_TRUE(f.ui.errors.empty());
}

TEST(ConfgrafTest, ZeroZoomIsRefusedAndTheDialogStaysOpen) {
  DialogFixture f;
  Tconfgraf d(f.program);
  d.show();
  d.Edit_zoom->setText("0");
  d.CheckBox_border->setChecked(true);
  d.okButton()->click();
  EXPECT_TRUE(d.isVisible());
  ASSERT_EQ(f.ui.errors.size(), 1u);
  EXPECT_EQ(f.ui.errors[0], "Zoom : valeur non valide \"0\" (plus de 0, jusqu'à 100)");
  EXPECT_FALSE(f.program.settings.ScreendumpBorder);
  EXPECT_EQ(f.program.settings.Zoom, 1.2L);
  d.Edit_zoom->setText("2");
  d.okButton()->click();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(f.program.settings.Zoom, 2.0L);
}

TEST(ConfgrafTest, CancelStoresNothingButTheBackgroundColourAndSetsTheErrorFlag) {
  DialogFixture f;
  Tconfgraf d(f.program);
  d.Edit_zoom->setText("3");
  d.RadioButton_mono->setChecked(true);
  QColor started;
  d.chooseColour = [&started](const QColor& current) {
    started = current;
    return std::optional<QColor>(QColor(10, 20, 30));
  };
  d.Button_background->click();
  EXPECT_EQ(started, QColor(1, 0, 0));  // BackgroundColour 1 is red 1
  EXPECT_EQ(f.program.settings.BackgroundColour, 10 | 20 << 8 | 30 << 16);
  EXPECT_EQ(d.Panel_background->palette().color(QPalette::Window), QColor(10, 20, 30));
  EXPECT_TRUE(d.Panel_background->text().contains(" x "));
  // A cancelled colour dialog changes nothing.
  d.chooseColour = [](const QColor&) { return std::optional<QColor>(); };
  d.Button_background->click();
  EXPECT_EQ(f.program.settings.BackgroundColour, 10 | 20 << 8 | 30 << 16);
  d.show();
  d.cancelButton()->click();
  EXPECT_EQ(d.result(), QDialog::Rejected);
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_EQ(f.program.settings.Zoom, 1.2L);
  EXPECT_TRUE(f.program.settings.ColourGraphics);
}

TEST(ConfgrafTest, MaxAndHelp) {
  DialogFixture f;
  Tconfgraf d(f.program);
  d.show();
  d.Button_max->click();
  const QSize screen = d.screen()->geometry().size();
  EXPECT_LE(d.Edit_x->text().toInt(), screen.width());
  EXPECT_GT(d.Edit_x->text().toInt(), screen.width() - 100);
  EXPECT_LE(d.Edit_y->text().toInt(), screen.height());
  d.helpButton()->click();
  EXPECT_EQ(f.help.topics, std::vector<int>{1940});
  EXPECT_TRUE(d.isVisible());
}

// --- TConfColor ----------------------------------------------------------------------------------

TEST(ConfColorTest, OkStoresTheSixteenSlotsAndCancelNothing) {
  DialogFixture f;
  {
    TConfColor d(f.program);
    EXPECT_EQ(d.windowTitle(), "Couleur");
    EXPECT_EQ(d.Edit_colour[0]->text(), "1");
    EXPECT_EQ(d.Edit_colour[15]->text(), "16");
    d.Edit_colour[0]->setText("12");
    d.Edit_colour[6]->setText("abc");
    d.show();
    d.okButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
  }
  EXPECT_EQ(f.program.settings.ScreenPenColour[0], 12);
  EXPECT_EQ(f.program.settings.ScreenPenColour[6], 0);
  {
    TConfColor d(f.program);
    d.Edit_colour[1]->setText("40");
    d.show();
    d.okButton()->click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(f.ui.errors.size(), 1u);
    d.helpButton()->click();
    EXPECT_EQ(f.help.topics, std::vector<int>{1945});
    d.cancelButton()->click();
  }
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_EQ(f.program.settings.ScreenPenColour[1], 2);
}

// --- TConfDir ------------------------------------------------------------------------------------

TEST(ConfDirTest, OkStoresNormalisedDirectories) {
  DialogFixture f;
  TempPlot scratch("dirs");
  const QString dir = QString::fromStdString(scratch.dir.string());
  f.program.settings.ShpLoad = 'J';
  TConfDir d(f.program);
  EXPECT_EQ(d.windowTitle(), "Config Directory");
  EXPECT_EQ(d.Edit_ext->text(), "plt");
  EXPECT_EQ(d.Edit_ext->maxLength(), 3);
  EXPECT_TRUE(d.CheckBox_shp->isChecked());
  d.Edit_grafik->setText("  " + dir + "  ");
  d.Edit_temp->setText(dir + "/");
  // "...": the selection dialog starts in the field's directory when it exists.
  QString preset = "unset";
  d.chooseDirectory = [&](const QString& p) {
    preset = p;
    return std::optional<QString>(dir);
  };
  d.Button_pltdir->click();
  EXPECT_EQ(preset, "");
  EXPECT_EQ(d.EDit_plt->text(), dir);
  d.Button_grafdir->click();
  EXPECT_EQ(preset, "  " + dir + "  ");
  d.chooseDirectory = [](const QString&) { return std::optional<QString>(); };
  d.Edit_exe->setText("/x");
  d.Button_programdir->click();
  EXPECT_EQ(d.Edit_exe->text(), "/x");  // Cancel keeps the text
  EXPECT_FALSE(f.program.ErrorFlag);
  d.Edit_exe->setText("");
  d.CheckBox_shp->setChecked(false);
  d.show();
  d.okButton()->click();
  ASSERT_EQ(d.result(), QDialog::Accepted) << (f.ui.errors.empty() ? "" : f.ui.errors[0]);
  const std::string slash = scratch.dir.string() + "/";
  EXPECT_EQ(f.program.settings.InPath, slash);
  EXPECT_EQ(f.program.settings.TempDir, slash);
  EXPECT_EQ(f.program.settings.HelpImageDir, slash);
  EXPECT_EQ(f.program.settings.MakerDir, "");
  EXPECT_EQ(f.program.settings.ShpLoad, 'N');
}

TEST(ConfDirTest, MissingDirectoryIsRefusedAndCancelStoresNothing) {
  DialogFixture f;
  TConfDir d(f.program);
  d.show();
  d.Edit_grafik->setText("/nonexistent/plots");
  d.Edit_ext->setText("hpg");
  d.okButton()->click();
  EXPECT_TRUE(d.isVisible());
  ASSERT_EQ(f.ui.errors.size(), 1u);
  EXPECT_EQ(f.ui.errors[0],
            "Annuaire de dessins : le répertoire \"/nonexistent/plots/\" n'existe pas");
  EXPECT_EQ(f.program.settings.FileExtension, "plt");
  d.helpButton()->click();
  EXPECT_EQ(f.help.topics, std::vector<int>{9000});
  d.cancelButton()->click();
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_EQ(f.program.settings.InPath, "");
}

// --- TForm_confPentable --------------------------------------------------------------------------

QString Header(const TForm_confPentable& d, int column) {
  return d.StringGrid1->horizontalHeaderItem(column)->text();
}

TEST(PenTableDialogTest, ColumnsFollowTheSyntax) {
  DialogFixture f;
  f.program.settings.SyntaxCode = 4;
  TForm_confPentable d(f.program);
  d.show();
  EXPECT_EQ(d.windowTitle(), "Config PenTable");
  EXPECT_EQ(d.ComboBox1->count(), 12);
  EXPECT_EQ(d.ComboBox1->currentText(), "CNC");
  EXPECT_EQ(d.StringGrid1->rowCount(), 15);
  EXPECT_EQ(Header(d, 0), "Couleur");
  EXPECT_EQ(Header(d, 1), "Tool No.");
  EXPECT_EQ(Header(d, 2), "Pen Speed [mm/s]");
  EXPECT_EQ(d.StringGrid1->item(0, 0)->text(), "1 (rouge)");
  EXPECT_EQ(d.StringGrid1->item(8, 0)->text(), "9 ()");
  EXPECT_EQ(d.StringGrid1->item(2, 2)->text(), "500");
  EXPECT_TRUE(d.Button_help2->isVisible());
  d.helpButton()->click();
  d.Button_help2->click();

  d.ComboBox1->setCurrentText("Postscript");
  EXPECT_EQ(f.program.settings.SyntaxCode, 10);  // taken at once
  EXPECT_EQ(Header(d, 1), "Epaisseur du trait");
  EXPECT_EQ(Header(d, 2), "");
  EXPECT_EQ(d.StringGrid1->item(2, 2)->text(), "");
  EXPECT_FALSE(d.Button_help2->isVisible());
  d.helpButton()->click();
  EXPECT_EQ(f.help.topics, (std::vector<int>{5110, 5120, 5100}));
  d.ComboBox1->setCurrentText("HP-GL");
  EXPECT_EQ(Header(d, 1), "Pen No.");
  d.ComboBox1->setCurrentText("DXF");
  EXPECT_EQ(Header(d, 1), "Couleur");

  d.ComboBox1->setCurrentText("Postscript");
  d.StringGrid1->item(2, 1)->setText("7");
  d.okButton()->click();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(f.program.settings.PenNumber[3], 7);
  EXPECT_EQ(f.program.settings.PenSpeed[3], 500);
}

TEST(PenTableDialogTest, CellThatIsNoNumberGivesZeroAfterAMessage) {
  DialogFixture f;
  f.program.settings.SyntaxCode = 1;
  TForm_confPentable d(f.program);
  d.show();
  d.StringGrid1->item(0, 1)->setText("12a");
  d.StringGrid1->item(1, 2)->setText("300");
  d.okButton()->click();
  EXPECT_TRUE(d.isVisible());
  ASSERT_EQ(f.ui.errors.size(), 1u);
  EXPECT_EQ(f.ui.errors[0],
            "Nombre entier attendu : Pen No. ligne 1 \"12a\". Ces cases valent 0 ; OK les garde "
            "ainsi.");
  EXPECT_EQ(d.StringGrid1->item(0, 1)->text(), "0");
  EXPECT_EQ(f.program.settings.PenNumber[1], 1);  // nothing stored yet
  d.okButton()->click();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(f.program.settings.PenNumber[1], 0);
  EXPECT_EQ(f.program.settings.PenSpeed[2], 300);
}

TEST(PenTableDialogTest, CancelKeepsTheGridButTheChosenSyntax) {
  DialogFixture f;
  TForm_confPentable d(f.program);
  d.show();
  d.ComboBox1->setCurrentText("HP-GL/2");
  d.StringGrid1->item(0, 1)->setText("9");
  d.cancelButton()->click();
  EXPECT_TRUE(f.program.ErrorFlag);
  EXPECT_EQ(f.program.settings.SyntaxCode, 9);
  EXPECT_EQ(f.program.settings.PenNumber[1], 1);
}

// --- TForm_listgraf ------------------------------------------------------------------------------

TEST(ElementListTest, EmptyListAndOpenedDrawing) {
  WindowFixture w;
  w.main->graphicsWindow().list().Clear();
  {
    TForm_listgraf d(w.main->graphicsWindow().list());
    EXPECT_EQ(d.windowTitle(), "Element List");
    EXPECT_EQ(d.model()->rowCount(), 0);
  }
  ASSERT_TRUE(w.main->OpenNamedFile(kFlowchart));
  const DisplayList& list = w.main->graphicsWindow().list();
  TForm_listgraf d(list);
  ASSERT_EQ(d.model()->rowCount(), static_cast<int>(list.Count()));
  const QString first = d.model()->index(0, 0).data().toString();
  EXPECT_TRUE(first.startsWith("10;")) << first.toStdString();
  EXPECT_EQ(d.model()->index(5, 0).data().toString().toStdString(), list.Text(5));
}

TEST(ElementListTest, OpensAtOnceOnTenMillionRecords) {
  DisplayList list;
  constexpr int kRecords = 10'000'000;
  for (int k = 0; k < kRecords; ++k) list.AddColor(k % 17);
  TForm_listgraf d(list);
  d.show();
  QApplication::processEvents();
  EXPECT_EQ(d.model()->rowCount(), kRecords);
  // Only the rows on the screen were asked for.
  EXPECT_GT(d.model()->textsMade(), 0u);
  EXPECT_LT(d.model()->textsMade(), 2000u);
  d.ListBox1->scrollToBottom();
  QApplication::processEvents();
  EXPECT_LT(d.model()->textsMade(), 4000u);
  EXPECT_EQ(d.model()->index(kRecords - 1, 0).data().toString(),
            QString("8;%1").arg((kRecords - 1) % 17));
  d.Button_ok->click();
  EXPECT_EQ(d.result(), QDialog::Accepted);
}

// --- The Options items of the window -------------------------------------------------------------

TEST(OptionsTest, ItemsAreWiredAndColoursSurviveARestart) {
  TempPlot home("restart");
  const std::string homeDir = home.dir.string() + "/";
  {
    WindowFixture w(homeDir);
    for (QAction* a : {w.main->mi_optionsGraphics, w.main->mi_optionsColours,
                       w.main->mi_optionsDirectories, w.main->mi_optionsPenTable})
      EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    EXPECT_FALSE(w.main->List1->isVisible());
    ASSERT_TRUE(w.main->OpenNamedFile(kFlowchart));

    OnModal<Tconfgraf>([](Tconfgraf* d) {
      d->chooseColour = [](const QColor&) { return std::optional<QColor>(QColor(0, 0, 200)); };
      d->Button_background->click();
      d->Edit_zoom->setText("1,4");
      d->okButton()->click();
    });
    w.main->mi_optionsGraphics->trigger();
    EXPECT_EQ(w.program.settings.BackgroundColour, 200 << 16);
    EXPECT_EQ(w.program.settings.Zoom, 1.4L);
    w.Settle();
    EXPECT_GT(w.CountColour(qRgb(0, 0, 200)), 1000);  // the window took the colour

    OnModal<TConfColor>([](TConfColor* d) {
      d->Edit_colour[0]->setText("14");
      d->okButton()->click();
    });
    w.main->mi_optionsColours->trigger();
    EXPECT_EQ(w.program.settings.ScreenPenColour[0], 14);

    OnModal<TForm_confPentable>([](TForm_confPentable* d) {
      d->StringGrid1->item(3, 1)->setText("6");
      d->okButton()->click();
    });
    w.main->mi_optionsPenTable->trigger();
    EXPECT_EQ(w.program.settings.PenNumber[4], 6);

    OnModal<TConfDir>([](TConfDir* d) { d->cancelButton()->click(); });
    w.main->mi_optionsDirectories->trigger();
    EXPECT_TRUE(w.program.ErrorFlag);

    OnModal<TForm_listgraf>([](TForm_listgraf* d) { d->Button_ok->click(); });
    w.main->List1->trigger();

    // Options, Save writes plotvue.cfg into the settings directory.
    w.main->mi_optionsSave->trigger();
    EXPECT_FALSE(w.program.ErrorFlag);
    ASSERT_TRUE(std::filesystem::exists(homeDir + "plotvue.cfg"));
  }
  // The next run reads the settings at start-up.
  RecordingInteraction ui;
  Program next(ui);
  next.programDir = homeDir;
  ReadConfig(next, kConfigBaseName);
  EXPECT_EQ(next.settings.BackgroundColour, 200 << 16);
  EXPECT_EQ(next.settings.Zoom, 1.4L);
  EXPECT_EQ(next.settings.ScreenPenColour[0], 14);
  EXPECT_EQ(next.settings.PenNumber[4], 6);
  // The new window shows the saved background.
  Thh main(next);
  main.show();
  main.ShowLogo();
  for (int k = 0; k < 5; ++k) QApplication::processEvents();
  const QImage& image = main.tavogra()->picture();
  int blue = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) blue += image.pixel(x, y) == qRgb(0, 0, 200);
  EXPECT_GT(blue, 1000);
}

TEST(OptionsTest, LoadOfADamagedFileKeepsTheSettingsAndSaysWhy) {
  WindowFixture w;
  TempPlot bad("bad.cfg");
  bad.Write(std::string("\x89PNG\r\n\x1a\n\0\0\0", 11));
  w.program.settings.Zoom = 2.5L;
  w.ui.openAnswer = bad.path;
  w.main->mi_optionsLoad->trigger();
  ASSERT_EQ(w.ui.errors.size(), 1u);
  EXPECT_NE(w.ui.errors[0].find("fichier binaire"), std::string::npos) << w.ui.errors[0];
  EXPECT_EQ(w.program.settings.Zoom, 2.5L);
  w.ui.openAnswer = bad.dir.string();
  w.main->mi_optionsLoad->trigger();
  ASSERT_EQ(w.ui.errors.size(), 2u);
  EXPECT_NE(w.ui.errors[1].find("c'est un répertoire"), std::string::npos) << w.ui.errors[1];

  Settings other;
  other.Zoom = 1.75L;
  other.BackgroundColour = 0x00FF00;
  bad.Write(ConfigFileText(other));
  w.ui.openAnswer = bad.path;
  w.main->mi_optionsLoad->trigger();
  EXPECT_EQ(w.program.settings.Zoom, 1.75L);
  w.Settle();
  EXPECT_GT(w.CountColour(qRgb(0, 255, 0)), 1000);
}

}  // namespace
}  // namespace plotvue::testing
