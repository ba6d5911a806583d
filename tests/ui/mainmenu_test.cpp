// The main window's menus and the dialogs they open: captions of every language, the recent
// files and their history across a restart, Open with a file that cannot be read, Open Limit,
// Save As, Cancel of a long reading, drag and drop, the status line, the input dialogs, the
// about box, the help key and the demonstration.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "app/captions.h"
#include "app/recent.h"
#include "graphics/show.h"
#include "ui/aboutbox.h"
#include "ui/demo.h"
#include "ui/inputdialogs.h"
#include "ui/qtservices.h"
#include "ui/window_fixture.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `act` on the next modal dialog once it is shown.
void OnNextDialog(const std::function<void(QWidget*)>& act) {
  QTimer::singleShot(0, [act] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) {
      OnNextDialog(act);
      return;
    }
    act(dialog);
  });
}

void ExpectCaptions(const Thh& w, int language) {
  const MenuCaptions c = CaptionsFor(language);
  EXPECT_EQ(w.mi_file->title(), Q(c.mi_file)) << language;
  EXPECT_EQ(w.mi_fileOpen->text(), Q(c.mi_fileOpen)) << language;
  EXPECT_EQ(w.mi_FileOpenLimit->text(), Q(c.mi_FileOpenLimit)) << language;
  EXPECT_EQ(w.mi_FileSaveAs->text(), Q(c.mi_FileSaveAs)) << language;
  EXPECT_EQ(w.mi_print->text(), Q(c.mi_print)) << language;
  EXPECT_EQ(w.mi_plot->text(), Q(c.mi_plot)) << language;
  EXPECT_EQ(w.mi_fileexit->text(), Q(c.mi_fileexit)) << language;
  EXPECT_EQ(w.mi_View->title(), Q(c.mi_View)) << language;
  EXPECT_EQ(w.mi_ViewClear->text(), Q(c.mi_ViewClear)) << language;
  EXPECT_EQ(w.mi_ViewRedraw->text(), Q(c.mi_ViewRedraw)) << language;
  EXPECT_EQ(w.mi_ViewRegen->text(), Q(c.mi_ViewRegen)) << language;
  EXPECT_EQ(w.mi_convert->title(), Q(c.mi_convert)) << language;
  EXPECT_EQ(w.mi_convertCurFile->text(), Q(c.mi_convertCurFile)) << language;
  EXPECT_EQ(w.mi_ConvertnewFile->text(), Q(c.mi_ConvertnewFile)) << language;
  EXPECT_EQ(w.mi_options->title(), Q(c.mi_options)) << language;
  EXPECT_EQ(w.mi_optionsColours->text(), Q(c.mi_optionsColours)) << language;
  EXPECT_EQ(w.mi_help->title(), Q(c.mi_help)) << language;
  EXPECT_EQ(w.mi_infoDemo->text(), Q(c.mi_infoDemo)) << language;
  EXPECT_EQ(w.mi_helpwww->text(), Q(c.mi_helpwww)) << language;
  EXPECT_EQ(w.mi_helpemail->text(), Q(c.mi_helpemail)) << language;
  EXPECT_EQ(w.mi_helplanguage->title(), Q(c.LanguageMenuCaption())) << language;
  // The items that keep their own captions in every language.
  EXPECT_EQ(w.mi_optionsPenTable->text(), "Pen Table");
  EXPECT_EQ(w.mi_optionsConverter->text(), "Converter");
  EXPECT_EQ(w.mi_ViewInfo->text(), "&Info");
  EXPECT_EQ(w.mi_helplanguageDeutsch->text(), "&Deutsch");
  EXPECT_EQ(w.mi_helplanguageKorea->text(), "&Korea");
  EXPECT_EQ(w.mi_infoPlotvue->text(), "&PLOTVUE");
  EXPECT_FALSE(w.List1->isVisible());
}

TEST(MainMenu, EveryLanguageCommandSetsItsCaptions) {
  WindowFixture f;
  ExpectCaptions(*f.main, kFrench);
  f.main->mi_helplanguageDeutsch->trigger();
  ExpectCaptions(*f.main, kGerman);
  // The German file menu as its users know it.
  EXPECT_EQ(f.main->mi_file->title(), "&Datei");
  EXPECT_EQ(f.main->mi_fileOpen->text(), "Ö&ffnen...");
  EXPECT_EQ(f.main->mi_FileOpenLimit->text(), "Öffnen &Limit");
  EXPECT_EQ(f.main->mi_FileSaveAs->text(), "Speichern &Unter...");
  EXPECT_EQ(f.main->mi_print->text(), "&Drucken...");
  EXPECT_EQ(f.main->mi_plot->text(), "&Plotten");
  EXPECT_EQ(f.main->mi_fileexit->text(), "&Beenden");
  EXPECT_EQ(f.main->mi_helplanguage->title(), "Menü &Sprache");
  f.main->mi_helplanguageEnglish->trigger();
  ExpectCaptions(*f.main, kEnglish);
  EXPECT_EQ(f.main->mi_ViewClear->text(), "&Delete");
  f.main->mi_helplanguageKorea->trigger();
  ExpectCaptions(*f.main, kKorean);
  EXPECT_EQ(f.main->mi_file->title(), QString::fromUtf8("파일(&F)"));
  f.main->mi_helplanguageFrench->trigger();
  ExpectCaptions(*f.main, kFrench);
  EXPECT_EQ(f.main->language(), kFrench);
  // Shortcuts of the form.
  EXPECT_EQ(f.main->mi_print->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
  EXPECT_EQ(f.main->mi_fileN[2]->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
}

struct PlotFiles {
  explicit PlotFiles(int count) : folder("recent") {
    for (int k = 0; k < count; ++k) {
      const std::string path = (folder.dir / ("f" + std::to_string(k) + ".plt")).string();
      std::ofstream(path) << "IN;SP1;PU0,0;PD" << 400 * (k + 1) << ",400;";
      paths.push_back(path);
    }
  }
  TempPlot folder;
  std::vector<std::string> paths;
};

TEST(MainMenu, RecentFilesNewestFirstOnceEachAtMostFour) {
  PlotFiles files(5);
  WindowFixture f;
  EXPECT_FALSE(f.main->mi_recentSeparator->isVisible());
  EXPECT_FALSE(f.main->mi_fileN[0]->isVisible());
  for (const std::string& p : files.paths) ASSERT_TRUE(f.main->OpenNamedFile(p));
  // The fifth file dropped the oldest.
  const RecentFiles& r = f.main->recentFiles();
  EXPECT_EQ(r.entries[0], files.paths[4]);
  EXPECT_EQ(r.entries[3], files.paths[1]);
  // Opening one again moves it to the top, once.
  ASSERT_TRUE(f.main->OpenNamedFile(files.paths[2]));
  EXPECT_EQ(r.entries[0], files.paths[2]);
  EXPECT_EQ(r.entries[1], files.paths[4]);
  EXPECT_EQ(r.entries[2], files.paths[3]);
  EXPECT_EQ(r.entries[3], files.paths[1]);
  for (int k = 0; k < 4; ++k) {
    EXPECT_TRUE(f.main->mi_fileN[k]->isVisible());
    EXPECT_EQ(f.main->mi_fileN[k]->text(), Q(RecentCaption(k, r.entries[k])));
  }
  EXPECT_TRUE(f.main->mi_recentSeparator->isVisible());

  // A recent file that is gone: removed from the list with the message; the others move up.
  const std::string gone = r.entries[1];
  fs::remove(gone);
  f.main->mi_fileN[1]->trigger();
  EXPECT_EQ(f.ui.messages, (std::vector<std::string>{"File " + gone + " not found !"}));
  EXPECT_EQ(r.entries[1], files.paths[3]);
  EXPECT_EQ(r.entries[3], "");
  EXPECT_FALSE(f.main->mi_fileN[3]->isVisible());
  // A recent file reopens from its item.
  f.main->mi_fileN[2]->trigger();
  EXPECT_EQ(f.program.file.Path(), files.paths[1]);
  EXPECT_EQ(r.entries[0], files.paths[1]);
}

TEST(MainMenu, LongRecentPathIsShortenedAndItsAmpersandsShown) {
  TempPlot folder("a&b-folder-with-a-rather-long-name-for-the-menu");
  const std::string path = (folder.dir / "drawing.plt").string();
  std::ofstream(path) << "IN;SP1;PU0,0;PD400,400;";
  ASSERT_GE(path.size(), 50u);
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(path));
  // "/" then "..." then the file name; an "&" of the path is not an access key.
  EXPECT_EQ(f.main->mi_fileN[0]->text(), "&1 /.../drawing.plt");
}

TEST(MainMenu, HistoryAndLanguageSurviveARestart) {
  PlotFiles files(2);
  TempPlot home("restart-home");
  const std::string homeDir = home.dir.string() + "/";
  {
    WindowFixture f(homeDir);
    ASSERT_TRUE(f.main->OpenNamedFile(files.paths[0]));
    ASSERT_TRUE(f.main->OpenNamedFile(files.paths[1]));
    f.main->mi_helplanguageEnglish->trigger();
  }
  // The history file: the session line and the four entries, CR LF.
  const std::string history = ReadAll(homeDir + "plotvue.cff");
  EXPECT_EQ(history, "plotvue Session " + files.folder.dir.string() + "/\r\n" + files.paths[1] +
                         "\r\n" + files.paths[0] + "\r\n\r\n\r\n");
  WindowFixture again(homeDir);
  EXPECT_EQ(again.main->recentFiles().entries[0], files.paths[1]);
  EXPECT_EQ(again.main->recentFiles().entries[1], files.paths[0]);
  EXPECT_TRUE(again.main->mi_fileN[1]->isVisible());
  EXPECT_EQ(again.main->language(), kEnglish);
  ExpectCaptions(*again.main, kEnglish);
  // The first item reopens the file after the restart.
  again.main->mi_fileN[0]->trigger();
  EXPECT_EQ(again.program.file.Path(), files.paths[1]);
  EXPECT_GT(again.window().list().Count(), 2u);
}

TEST(MainMenu, OpenOfAFileThatCannotBeReadKeepsThePicture) {
  TempPlot folder("unreadable");
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  const std::size_t records = f.window().list().Count();
  const QString caption = f.main->windowTitle();
  const ViewState view = f.window().view();
  fs::create_directory(folder.dir / "dir.plt");
  for (const std::string& bad : {(folder.dir / "missing.plt").string(),
                                 (folder.dir / "dir.plt").string()}) {
    f.ui.errors.clear();
    f.ui.openAnswer = bad;
    f.main->mi_fileOpen->trigger();
    EXPECT_FALSE(f.ui.errors.empty()) << bad;
    EXPECT_EQ(f.window().list().Count(), records) << bad;
    EXPECT_EQ(f.window().view().WorldWindow, view.WorldWindow) << bad;
    EXPECT_EQ(f.main->windowTitle(), caption) << bad;
    EXPECT_EQ(f.program.file.Path(), kFlowchart) << bad;
  }
  EXPECT_EQ(f.main->recentFiles().entries[1], "");
}

TEST(MainMenu, OpenLimitTakesTheFourValuesOfTheDialog) {
  WindowFixture f;
  f.ui.openAnswer = kFlowchart;
  OnNextDialog([](QWidget* w) {
    auto* dialog = qobject_cast<Tw32plotg*>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Limites du dessin");
    dialog->Edit1->setText("120,5");  // a comma counts as the decimal point
    dialog->Edit2->setText("-10");
    dialog->Edit3->setText("20");  // x max below x min goes through as entered
    dialog->Edit4->setText("abc");  // no number: 0
    dialog->okButton()->click();
  });
  f.main->mi_FileOpenLimit->trigger();
  EXPECT_EQ(f.window().view().WorldWindow, (WorldRect{120.5L, -10.0L, 20.0L, 0.0L}));
  EXPECT_EQ(f.program.file.Path(), kFlowchart);
  EXPECT_EQ(f.main->recentFiles().entries[0], kFlowchart);

  // "Annuler" reads nothing.
  const std::size_t records = f.window().list().Count();
  OnNextDialog([](QWidget* w) { qobject_cast<Tw32plotg*>(w)->cancelButton()->click(); });
  f.main->mi_FileOpenLimit->trigger();
  EXPECT_EQ(f.window().list().Count(), records);
}

TEST(MainMenu, SaveAsCopiesTheFileAndNeedsOne) {
  TempPlot folder("saveas");
  WindowFixture f;
  EXPECT_FALSE(f.main->mi_FileSaveAs->isEnabled());
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  EXPECT_TRUE(f.main->mi_FileSaveAs->isEnabled());
  f.ui.saveAnswer = (folder.dir / "copy.plt").string();
  f.main->mi_FileSaveAs->trigger();
  EXPECT_EQ(ReadAll(*f.ui.saveAnswer), ReadAll(kFlowchart));
  EXPECT_EQ(f.program.file.Path(), kFlowchart);
}

std::string LargeDrawing(int lines) {
  std::string text = "IN;SP1;";
  for (int k = 0; k < lines; ++k)
    text += "PU" + std::to_string(k % 1000) + ",0;PD" + std::to_string(k % 1000) + ",4000;";
  return text;
}

TEST(MainMenu, CancelOfALongReadingKeepsTheDrawingShownBefore) {
  TempPlot large("cancel.plt");
  large.Write(LargeDrawing(400000));  // about 9 MB
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  f.Settle();
  const std::size_t records = f.window().list().Count();
  const ViewState view = f.window().view();
  // The first events handled during the reading press Cancel.
  QTimer::singleShot(0, f.main.get(), [&f] { f.main->cancelButton()->click(); });
  EXPECT_FALSE(f.main->OpenNamedFile(large.path));
  EXPECT_TRUE(f.main->readingCancelled());
  EXPECT_EQ(f.window().list().Count(), records);
  EXPECT_EQ(f.window().view().WorldWindow, view.WorldWindow);
  EXPECT_EQ(f.program.file.Path(), kFlowchart);
  EXPECT_EQ(f.main->windowTitle(), "PLOTVUE  -  dia-plt-flowchart.plt");
  EXPECT_FALSE(f.main->busy());
  EXPECT_FALSE(f.program.StopRequested);
  // The window goes on: the next reading runs to its end.
  ASSERT_TRUE(f.main->OpenNamedFile(large.path));
  EXPECT_EQ(f.program.ElementCount, 400000);
}

TEST(MainMenu, DroppedFileIsOpened) {
  WindowFixture f;
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(Q(kFlowchart))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(f.main.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(f.main.get(), &drop);
  f.Settle();
  EXPECT_EQ(f.program.file.Path(), kFlowchart);
  EXPECT_EQ(f.main->windowTitle(), "PLOTVUE  -  dia-plt-flowchart.plt");
  EXPECT_EQ(f.main->recentFiles().entries[0], kFlowchart);
}

TEST(MainMenu, StatusLineShowsThePointUnderTheCursorAndTheCounts) {
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  EXPECT_EQ(f.main->countsLabel()->text(), QStringLiteral("%1 éléments, %2 textes")
                                               .arg(f.program.ElementCount)
                                               .arg(f.program.TextCount));
  const GraphicsWindow& w = f.window();
  const WorldRect world = w.view().WorldWindow;
  // The middle of the drawing.
  const long double mx = (world.x1 + world.x2) / 2, my = (world.y1 + world.y2) / 2;
  QTest::mouseMove(f.widget(), QPoint(w.ScreenX(mx), w.ScreenY(my)));
  const QString text = f.main->positionLabel()->text();
  ASSERT_TRUE(text.startsWith("x ")) << text.toStdString();
  const QStringList parts = text.split(' ', Qt::SkipEmptyParts);  // x X y Y mm
  ASSERT_EQ(parts.size(), 5);
  EXPECT_NEAR(parts[1].toDouble(), static_cast<double>(mx), 1.0);
  EXPECT_NEAR(parts[3].toDouble(), static_cast<double>(my), 1.0);
  EXPECT_EQ(parts[4], "mm");
}

TEST(InputDialogs, ChoiceUsesRadioButtonsUpToSevenOptionsAndAListAbove) {
  int helped = 0;
  const QStringList seven = {"1", "2", "3", "4", "5", "6", "7"};
  ChoiceDialog radios("Plot-Syntax", seven, 9, [&] { ++helped; });
  EXPECT_FALSE(radios.usesList());
  EXPECT_EQ(radios.choice(), 1);  // a preselection out of range gives the first
  radios.setChoice(4);
  EXPECT_EQ(radios.choice(), 4);
  EXPECT_EQ(radios.helpButton()->text(), "&Aide");
  EXPECT_EQ(radios.cancelButton()->text(), "Annuler");
  radios.helpButton()->click();
  EXPECT_EQ(helped, 1);
  ChoiceDialog list("Baud Rate", seven + QStringList{"8"}, 8, {});
  EXPECT_TRUE(list.usesList());
  EXPECT_EQ(list.choice(), 8);
  EXPECT_FALSE(list.helpButton()->isEnabled());  // no topic, no help
}

TEST(InputDialogs, ServicesGiveTheAnswersAndNulloptOnCancel) {
  QtInteraction ui;
  OnNextDialog([](QWidget* w) {
    auto* d = qobject_cast<ChoiceDialog*>(w);
    d->setChoice(2);
    d->okButton()->click();
  });
  EXPECT_EQ(ui.PromptChoice("appareil de sortie", {"serial Port", "parallel Port", "File"}, 3, 5140),
            2);
  OnNextDialog([](QWidget* w) { qobject_cast<InputDialog*>(w)->cancelButton()->click(); });
  EXPECT_EQ(ui.PromptChoice("x", {"a", "b"}, 1, 0), std::nullopt);

  OnNextDialog([](QWidget* w) { qobject_cast<YesNoDialog*>(w)->noButton()->click(); });
  EXPECT_EQ(ui.PromptYesNo("Tourner ?", true, 5240), false);
  OnNextDialog([](QWidget* w) { qobject_cast<YesNoDialog*>(w)->okButton()->click(); });
  EXPECT_EQ(ui.PromptYesNo("Tourner ?", false, 5240), true);
  OnNextDialog([](QWidget* w) { qobject_cast<YesNoDialog*>(w)->cancelButton()->click(); });
  EXPECT_EQ(ui.PromptYesNo("Tourner ?", false, 5240), std::nullopt);

  // The text field keeps to its length.
  OnNextDialog([](QWidget* w) {
    auto* d = qobject_cast<TextInputDialog*>(w);
    QTest::keyClicks(d->edit(), "abcdefghij");
    d->okButton()->click();
  });
  EXPECT_EQ(ui.PromptText("Annuaire provisoire", "", 6, kNoHelp), "abcdef");

  OnNextDialog([](QWidget* w) {
    auto* d = qobject_cast<ListDialog*>(w);
    d->list()->setCurrentRow(1);
    d->okButton()->click();
  });
  EXPECT_EQ(ui.ShowList("Liste", {"one", "two", "three"}, 0), 2);
}

// The help buttons reach the help service with their topic; the F1 key shows the window's.
TEST(InputDialogs, HelpButtonsShowTheirTopic) {
  struct Topics : HelpService {
    void ShowHelpTopic(int topic) override { shown.push_back(topic); }
    std::vector<int> shown;
  } topics;
  QtInteraction ui;
  ui.help = &topics;
  OnNextDialog([](QWidget* w) {
    auto* d = qobject_cast<InputDialog*>(w);
    d->helpButton()->click();
    d->helpButton()->click();  // the dialog stays open for the answer
    d->okButton()->click();
  });
  EXPECT_EQ(ui.PromptText("Echelle", "1", 30, 5220), "1");
  EXPECT_EQ(topics.shown, (std::vector<int>{5220, 5220}));

  WindowFixture f;
  QTest::keyClick(f.main.get(), Qt::Key_F1);
  ASSERT_EQ(f.ui.helpTexts.size(), 1u);
  EXPECT_EQ(f.ui.helpTexts[0].substr(0, f.ui.helpTexts[0].find('|')), "TEXTE D'AIDE No.9300");
}

TEST(AboutBox, ShowsTheLogoNameAndVersion) {
  RecordingInteraction ui;
  Program program(ui);
  TAboutBox about(program);
  EXPECT_EQ(about.Version->text(), "Version 8.3");
  EXPECT_TRUE(about.ProductName->text().contains("PLOTVUE"));
  EXPECT_FALSE(about.Comments->text().isEmpty());
  EXPECT_GT(about.logo()->graphicsWindow()->list().Count(), 10u);
}

TEST(Demo, ShowsTheSamplesAndHelpPicturesThenGivesBackTheDrawing) {
  const std::vector<DemoItem> items = DemoItems({std::string(PLOTVUE_DATA_DIR) + "/"});
  ASSERT_GE(items.size(), 3u);
  EXPECT_FALSE(items.front().helpPicture);
  EXPECT_TRUE(items.back().helpPicture);
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));
  const std::size_t records = f.window().list().Count();
  const int shown = RunDemo(*f.main, f.program, f.main->device(), 1);
  EXPECT_GE(shown, 3);
  EXPECT_EQ(f.window().list().Count(), records);
  EXPECT_EQ(f.program.file.Path(), kFlowchart);
  EXPECT_TRUE(f.ui.errors.empty());
  // A key ends it at once.
  QTimer::singleShot(0, [&f] { QTest::keyClick(f.widget(), Qt::Key_Space); });
  EXPECT_LE(RunDemo(*f.main, f.program, f.main->device(), 60000), 1);
}

}  // namespace
}  // namespace plotvue::testing
