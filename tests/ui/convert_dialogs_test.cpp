// The converter and plotter dialogs offscreen (fields, enabled edit fields, OK, Cancel,
// Configuration), and Convert and Plot from the window's menu: the file written equals the batch
// conversion's, a plot reaches a port redirected to a file, Cancel writes nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/batch.h"
#include "ui/convertdialogs.h"
#include "window_fixture.h"

namespace plotvue::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs `act` on the modal dialog that the next exec() shows.
void OnNextDialog(std::function<void(QDialog*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* w = QApplication::activeModalWidget();
    if (auto* d = qobject_cast<QDialog*>(w)) act(d);
  });
}

TEST(Tplotkonvert, ShowsTheSettingsAndStoresThemOnOkAndConfiguration) {
  Settings s;
  s.SyntaxCode = 5;
  s.DeviceCode = 3;
  s.PlotScale = 2.5L;
  Tplotkonvert d(s, {});
  EXPECT_TRUE(d.syntaxGroup->button(4)->isChecked());
  EXPECT_EQ(d.Edit_scale->text(), QStringLiteral("2.5"));
  EXPECT_EQ(d.Edit_file->text(), QStringLiteral("PLOT"));
  EXPECT_TRUE(d.Edit_file->isEnabled());
  EXPECT_FALSE(d.Edit_com->isEnabled());
  EXPECT_FALSE(d.Edit_lpt->isEnabled());
  d.deviceGroup->button(0)->click();
  EXPECT_TRUE(d.Edit_com->isEnabled());
  EXPECT_FALSE(d.Edit_file->isEnabled());

  // Cancel stores nothing.
  d.Edit_scale->setText(QStringLiteral("7"));
  OnNextDialog([](QDialog* dlg) { static_cast<Tplotkonvert*>(dlg)->cancelButton()->click(); });
  EXPECT_EQ(d.exec(), QDialog::Rejected);
  EXPECT_EQ(s.PlotScale, 2.5L);
  EXPECT_EQ(s.DeviceCode, 3);

  // OK stores the fields as read (a comma is the decimal point).
  d.Edit_scale->setText(QStringLiteral("0,5"));
  d.syntaxGroup->button(3)->setChecked(true);
  OnNextDialog([](QDialog* dlg) { static_cast<Tplotkonvert*>(dlg)->okButton()->click(); });
  EXPECT_EQ(d.exec(), QDialog::Accepted);
  EXPECT_EQ(s.PlotScale, 0.5L);
  EXPECT_EQ(s.SyntaxCode, 4);
  EXPECT_EQ(s.DeviceCode, 1);

  Tplotkonvert again(s, {});
  again.Edit_file->setText(QStringLiteral("other"));
  OnNextDialog([](QDialog* dlg) { static_cast<Tplotkonvert*>(dlg)->Button_config->click(); });
  EXPECT_EQ(again.exec(), kConfigurationRequest);
  EXPECT_EQ(s.PlotFile, "other");
}

TEST(Tfhpvplot, PreselectsAndStoresTheChoice) {
  PlotterChoice choice;
  Tfhpvplot d(choice, {});
  EXPECT_TRUE(d.deviceGroup->button(2)->isChecked());
  EXPECT_TRUE(d.portGroup->button(1)->isChecked());
  d.portGroup->button(7)->setChecked(true);  // COM3
  d.deviceGroup->button(1)->setChecked(true);
  OnNextDialog([](QDialog* dlg) { static_cast<Tfhpvplot*>(dlg)->cancelButton()->click(); });
  EXPECT_EQ(d.exec(), QDialog::Rejected);
  EXPECT_EQ(choice.portCode, 1);
  OnNextDialog([](QDialog* dlg) { static_cast<Tfhpvplot*>(dlg)->okButton()->click(); });
  EXPECT_EQ(d.exec(), QDialog::Accepted);
  EXPECT_EQ(choice.portCode, 7);
  EXPECT_EQ(choice.deviceKind, 1);
}

TEST(WindowConvert, ConvertsTheCurrentFileAsTheBatchDoesAndPlotsIt) {
  TempPlot out("convert");
  const fs::path old = fs::current_path();
  fs::current_path(out.dir);
  WindowFixture f;
  ASSERT_TRUE(f.main->OpenNamedFile(kFlowchart));

  // DXF from the menu: the dialog's OK, then the conversion.
  f.program.settings.SyntaxCode = 5;
  f.program.settings.DeviceCode = 3;
  OnNextDialog([](QDialog* dlg) { static_cast<Tplotkonvert*>(dlg)->okButton()->click(); });
  f.main->mi_convertCurFile->trigger();
  const std::string name = f.program.file.base + ".dxf";
  ASSERT_TRUE(fs::exists(name));
  const std::string window = ReadAll(name);
  EXPECT_TRUE(f.main->statusBar()->currentMessage().startsWith(QString::fromStdString(name + " OK")));

  // The batch conversion of the same file and settings.
  fs::rename(name, "window.dxf");
  {
    RecordingInteraction ui;
    Program batch(ui);
    batch.settings = f.program.settings;
    BatchRequest request;
    request.convert = true;
    BatchContext context;
    context.makeDriver = DefaultDriverFactory();
    EXPECT_EQ(RunBatchFiles(batch, {kFlowchart}, request, context), 0);
  }
  EXPECT_TRUE(ReadAll(name) == window);

  // Cancel in the dialog writes nothing.
  fs::remove(name);
  OnNextDialog([](QDialog* dlg) { static_cast<Tplotkonvert*>(dlg)->cancelButton()->click(); });
  f.main->mi_convertCurFile->trigger();
  EXPECT_FALSE(fs::exists(name));

  // Plot to LPT2 redirected to a file: the plot file's bytes for a pen plotter.
  const std::string port = (out.dir / "lpt2").string();
  std::ofstream(port) << "";
  ::setenv("PLOTVUE_LPT2", port.c_str(), 1);
  OnNextDialog([](QDialog* dlg) {
    auto* d = static_cast<Tfhpvplot*>(dlg);
    d->deviceGroup->button(1)->setChecked(true);
    d->portGroup->button(2)->setChecked(true);
    d->okButton()->click();
  });
  f.main->mi_plot->trigger();
  ::unsetenv("PLOTVUE_LPT2");
  EXPECT_TRUE(ReadAll(port) == ReadAll(kFlowchart));
  EXPECT_TRUE(f.main->statusBar()->currentMessage().startsWith(QStringLiteral("LPT2 (")));
  EXPECT_TRUE(f.ui.errors.empty());
  fs::current_path(old);
}

}  // namespace
}  // namespace plotvue::testing
