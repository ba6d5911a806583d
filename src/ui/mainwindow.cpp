#include "ui/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#include "app/startup.h"
#include "base/fileutil.h"
#include "config/configio.h"
#include "config/configload.h"
#include "config/paths.h"
#include "graphics/show.h"
#include "output/numformat.h"
#include "ui/aboutbox.h"
#include "ui/confdir.h"
#include "ui/confgraf.h"
#include "ui/convertdialogs.h"
#include "ui/demo.h"
#include "ui/infodialog.h"
#include "ui/inputdialogs.h"
#include "ui/manual.h"

namespace plotvue {
namespace {

// The client area never asks for more than this, whatever the settings say.
constexpr int kMaxClientSide = 16384;
// Help topics of the window's own dialogs.
constexpr int kLimitsHelpTopic = 9010;
constexpr int kWindowHelpTopic = 9300;
constexpr int kPrintHelpTopic = 2100;

QString FromUtf8(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString RecentMenuText(int index, const std::string& path) {
  // The "&" + index prefix stays an access key; the rest is the path as it is.
  const std::string caption = RecentCaption(index, path);
  const std::string prefix = "&" + std::to_string(index + 1) + " ";
  QString rest = FromUtf8(caption.substr(std::min(prefix.size(), caption.size())));
  rest.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return FromUtf8(prefix) + rest;
}

}  // namespace

Thh::Thh(Program& program, QWidget* parent) : QMainWindow(parent), program_(program) {
  tavogra_ = new TFtavogra(this);
  setCentralWidget(tavogra_);
  window_ = std::make_unique<GraphicsWindow>(program_, *tavogra_);
  device_ = std::make_unique<DrawDevice>(program_, *window_);
  help_ = std::make_unique<HelpViewer>(program_, *device_, DataDirs(""));
  help_->SetDefaultTopic(kWindowHelpTopic);
  program_.ui->help = help_.get();

  printing_ = std::make_unique<PrintCommands>(
      program_, *tavogra_, [this] { help_->ShowHelpTopic(kPrintHelpTopic); });
  BuildMenus();

  // The status line: where the cursor points in the drawing, the counts of the file shown, and
  // while a large file is read its progress with a Cancel button.
  positionLabel_ = new QLabel;
  positionLabel_->setMinimumWidth(220);
  countsLabel_ = new QLabel;
  progressBar_ = new QProgressBar;
  progressBar_->setMaximumWidth(240);
  progressBar_->setTextVisible(false);
  progressBar_->hide();
  cancelButton_ = new QPushButton(QStringLiteral("Annuler"));
  cancelButton_->setFocusPolicy(Qt::NoFocus);
  cancelButton_->hide();
  statusBar()->addWidget(positionLabel_);
  statusBar()->addWidget(countsLabel_, 1);
  statusBar()->addPermanentWidget(progressBar_);
  statusBar()->addPermanentWidget(cancelButton_);
  progress_ = std::make_unique<QtProgress>(progressBar_);
  progress_->SetCancel(cancelButton_, [this] { RequestStop(program_); });
  tavogra_->setMouseTracking(true);
  tavogra_->installEventFilter(this);
  setAcceptDrops(true);

  // The start-up steps of the window: the menu language, the recent files of the last run.
  RestoreWindowMemory();
  ApplyCaptions();
  std::string lastDir;
  ReadHistory(historyPath(), recent_, lastDir);
  if (!lastDir.empty() && IsDirectory(lastDir)) lastDir_ = lastDir;
  UpdateRecentMenu();

  ApplySettings();
  tavogra_->SetGraphicsWindow(window_.get());
  tavogra_->setFocus();
  UpdateCaption();
  UpdateCommandStates();
}

Thh::~Thh() {
  // The history file: the last directory and the recent files (not reported when it fails).
  WriteHistory(historyPath(), lastDir_.empty() ? program_.settings.InPath : lastDir_, recent_);
  WindowMemory memory;
  memory.language = language_;
  const QRect g = geometry();
  if (g.width() > 0 && g.height() > 0) {
    memory.hasGeometry = true;
    memory.x = g.x();
    memory.y = g.y();
    memory.width = g.width();
    memory.height = g.height();
  }
  WriteWindowMemory(program_, memory);
  if (program_.ui->help == help_.get()) program_.ui->help = nullptr;
}

std::string Thh::historyPath() const { return HistoryPath(program_); }

// --- Menus ---------------------------------------------------------------------------------------

void Thh::BuildMenus() {
  auto item = [this](QMenu* menu, const char* caption, auto slot) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  mi_file = menuBar()->addMenu(QStringLiteral("&File"));
  mi_fileOpen = item(mi_file, "&Open...", &Thh::mi_fileOpenClick);
  mi_fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  mi_FileOpenLimit = item(mi_file, "Open &Limit...", &Thh::mi_FileOpenLimitClick);
  mi_FileSaveAs = item(mi_file, "Save &As...", &Thh::mi_FileSaveAsClick);
  mi_print = item(mi_file, "&Print", &Thh::mi_printClick);
  mi_print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  mi_plot = item(mi_file, "Plo&t", &Thh::mi_plotClick);
  mi_recentSeparator = mi_file->addSeparator();
  static constexpr Qt::Key kRecentKeys[4] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4};
  for (int k = 0; k < 4; ++k) {
    mi_fileN[k] = mi_file->addAction(QString());
    mi_fileN[k]->setObjectName(QStringLiteral("mi_file%1").arg(k + 1));
    mi_fileN[k]->setShortcut(QKeySequence(Qt::SHIFT | kRecentKeys[k]));
    connect(mi_fileN[k], &QAction::triggered, this, [this, k] { mi_fileNClick(k); });
  }
  mi_file->addSeparator();
  mi_fileexit = item(mi_file, "E&xit", &Thh::mi_fileexitClick);

  mi_View = menuBar()->addMenu(QStringLiteral("&View"));
  mi_ViewInfo = item(mi_View, "&Info", &Thh::mi_ViewInfoClick);
  mi_ViewClear = item(mi_View, "&Clear", &Thh::mi_ViewClearClick);
  mi_ViewRedraw = item(mi_View, "Re&draw", &Thh::mi_ViewRedrawClick);
  mi_ViewRegen = item(mi_View, "&Regen", &Thh::mi_ViewRegenClick);
  List1 = item(mi_View, "&List", &Thh::List1Click);
  List1->setVisible(false);

  mi_convert = menuBar()->addMenu(QStringLiteral("&Convert"));
  mi_convertCurFile = item(mi_convert, "Current File", &Thh::mi_convertCurFileClick);
  mi_ConvertnewFile = item(mi_convert, "NewFile", &Thh::mi_ConvertnewFileClick);

  mi_options = menuBar()->addMenu(QStringLiteral("&Options"));
  mi_optionsConverter = item(mi_options, "Converter", &Thh::mi_optionsConverterClick);
  mi_optionsPenTable = item(mi_options, "Pen Table", &Thh::mi_optionsPenTableClick);
  mi_optionsDirectories =
      item(mi_options, "Directories", &Thh::mi_optionsDirectoriesClick);
  mi_optionsPrinter = item(mi_options, "Printer", &Thh::mi_optionsPrinterClick);
  mi_optionsGraphics = item(mi_options, "Graphics", &Thh::mi_optionsGraphicsClick);
  mi_optionsColours = item(mi_options, "Colours", &Thh::mi_optionsColoursClick);
  mi_options->addSeparator();
  mi_optionsSave = item(mi_options, "Save", &Thh::mi_optionsSaveClick);
  mi_optionsLoad = item(mi_options, "Load", &Thh::mi_optionsLoadClick);

  mi_help = menuBar()->addMenu(QStringLiteral("&Help"));
  mi_infoDemo = item(mi_help, "&Demo", &Thh::mi_infoDemoClick);
  mi_helplanguage = mi_help->addMenu(QStringLiteral("Menu &Language"));
  auto language = [this](const char* caption, int n) {
    QAction* action = mi_helplanguage->addAction(QString::fromUtf8(caption));
    connect(action, &QAction::triggered, this, [this, n] { LanguageCommand(n); });
    return action;
  };
  mi_helplanguageDeutsch = language("&Deutsch", kGerman);
  mi_helplanguageEnglish = language("&English", kEnglish);
  mi_helplanguageFrench = language("&French", kFrench);
  mi_helplanguageKorea = language("&Korea", kKorean);
  mi_help->addSeparator();
  mi_helpwww = item(mi_help, "&TAVOLIN Homepage", &Thh::mi_helpwwwClick);
  mi_helpemail = item(mi_help, "&E-Mail to TAVOLIN", &Thh::mi_helpemailClick);
  mi_help->addSeparator();
  mi_infoPlotvue = item(mi_help, "&PLOTVUE", &Thh::mi_infoPlotvueClick);

  // F1 shows the window's help topic.
  auto* helpKey = new QAction(this);
  helpKey->setShortcut(QKeySequence(Qt::Key_F1));
  connect(helpKey, &QAction::triggered, this, [this] { help_->ShowDefaultTopic(); });
  addAction(helpKey);
}

void Thh::ApplyCaptions() {
  const MenuCaptions& c = captions_;
  mi_file->setTitle(FromUtf8(c.mi_file));
  mi_fileOpen->setText(FromUtf8(c.mi_fileOpen));
  mi_FileOpenLimit->setText(FromUtf8(c.mi_FileOpenLimit));
  mi_FileSaveAs->setText(FromUtf8(c.mi_FileSaveAs));
  mi_print->setText(FromUtf8(c.mi_print));
  mi_plot->setText(FromUtf8(c.mi_plot));
  mi_fileexit->setText(FromUtf8(c.mi_fileexit));
  mi_View->setTitle(FromUtf8(c.mi_View));
  mi_ViewClear->setText(FromUtf8(c.mi_ViewClear));
  mi_ViewRedraw->setText(FromUtf8(c.mi_ViewRedraw));
  mi_ViewRegen->setText(FromUtf8(c.mi_ViewRegen));
  mi_convert->setTitle(FromUtf8(c.mi_convert));
  mi_convertCurFile->setText(FromUtf8(c.mi_convertCurFile));
  mi_ConvertnewFile->setText(FromUtf8(c.mi_ConvertnewFile));
  mi_options->setTitle(FromUtf8(c.mi_options));
  mi_optionsColours->setText(FromUtf8(c.mi_optionsColours));
  mi_help->setTitle(FromUtf8(c.mi_help));
  mi_infoDemo->setText(FromUtf8(c.mi_infoDemo));
  mi_helpwww->setText(FromUtf8(c.mi_helpwww));
  mi_helpemail->setText(FromUtf8(c.mi_helpemail));
  mi_helplanguage->setTitle(FromUtf8(c.LanguageMenuCaption()));
}

void Thh::LanguageCommand(int language) {
  if (!SelectLanguage(captions_, language)) return;
  language_ = language;
  ApplyCaptions();
  UpdateCaption();
  UpdateRecentMenu();
}

void Thh::UpdateRecentMenu() {
  for (int k = 0; k < 4; ++k) {
    const std::string& path = recent_.entries[k];
    mi_fileN[k]->setVisible(!path.empty());
    mi_fileN[k]->setText(path.empty() ? QString() : RecentMenuText(k, path));
  }
  mi_recentSeparator->setVisible(!recent_.entries[0].empty());
}

void Thh::UpdateCommandStates() {
  const bool hasFile = HasCurrentFile(program_);
  for (QAction* a : {mi_ViewInfo, mi_ViewRegen, mi_FileSaveAs}) a->setEnabled(hasFile && !busy_);
  for (QAction* a : {mi_fileOpen, mi_FileOpenLimit, mi_ViewClear, mi_ViewRedraw, mi_infoDemo,
                     mi_optionsLoad})
    a->setEnabled(!busy_);
  for (QAction* a : mi_fileN) a->setEnabled(!busy_);
  for (QAction* a : {mi_optionsGraphics, mi_optionsColours, mi_optionsDirectories,
                     mi_optionsPenTable, List1})
    a->setEnabled(!busy_);
}

void Thh::RestoreWindowMemory() {
  const WindowMemory memory = ReadWindowMemory(program_);
  language_ = IsMenuLanguage(memory.language) ? memory.language : kFrench;
  captions_ = CaptionsFor(language_);
  if (memory.hasGeometry) {
    // Only a place that is still on one of the screens.
    const QRect wanted(memory.x, memory.y, memory.width, memory.height);
    for (const QScreen* screen : QGuiApplication::screens()) {
      if (screen->availableGeometry().intersects(wanted)) {
        setGeometry(wanted);
        placeRemembered_ = true;
        return;
      }
    }
  }
  move(0, 0);
}

void Thh::ApplySettings() {
  const Settings& s = program_.settings;
  window_->SetGraphSize(s.ScreenWidthPx, s.ScreenHeightPx);
  // The client area takes the window-size settings plus one; resizing the window later neither
  // moves nor rescales the drawing.
  const QSize client(std::clamp(s.ScreenWidthPx + 1, 64, kMaxClientSide),
                     std::clamp(s.ScreenHeightPx + 1, 64, kMaxClientSide));
  tavogra_->SetClientSize(client);
  tavogra_->SetBackground(ToQColor(RgbFromColourValue(s.BackgroundColour)));
  tavogra_->updateGeometry();
  if (!placeRemembered_)
    resize(client.width(),
           client.height() + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

void Thh::UpdateCaption() {
  const QString caption = FromUtf8(MainCaption(program_));
  setWindowTitle(caption);
  QApplication::setApplicationName(caption);
  device_->DevArrowCursor();
}

// --- Status line ---------------------------------------------------------------------------------

void Thh::ShowCounts() {
  if (!HasCurrentFile(program_)) {
    countsLabel_->clear();
    return;
  }
  countsLabel_->setText(QStringLiteral("%1 éléments, %2 textes")
                            .arg(program_.ElementCount)
                            .arg(program_.TextCount));
}

void Thh::ShowPosition(QPoint client) {
  long double x = 0, y = 0;
  if (!window_->ClientToWorld(client.x(), client.y(), x, y)) {
    positionLabel_->clear();
    return;
  }
  positionLabel_->setText(QStringLiteral("x %1  y %2 mm")
                              .arg(FromUtf8(FormatShort(x)), FromUtf8(FormatShort(y))));
}

bool Thh::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tavogra_) {
    if (event->type() == QEvent::MouseMove)
      ShowPosition(static_cast<QMouseEvent*>(event)->position().toPoint());
    else if (event->type() == QEvent::Leave)
      positionLabel_->clear();
  }
  return QMainWindow::eventFilter(watched, event);
}

// --- Reading commands ----------------------------------------------------------------------------

template <typename Command>
bool Thh::Reading(Command command) {
  if (busy_) return false;
  busy_ = true;
  UpdateCommandStates();
  program_.StopRequested = false;
  program_.progress = progress_.get();
  progress_->Start();
  tavogra_->Suspend();
  GraphicsWindow::Picture before;
  window_->HoldPicture(before);
  const bool ok = command();
  if (!ok) window_->RestorePicture(before);
  // A cancelled reading ends here; closing the window ends the program after it.
  cancelled_ = program_.StopRequested && !closeAfterRun_;
  if (cancelled_) {
    statusBar()->showMessage(QStringLiteral("Lecture annulée"), 5000);
    program_.StopRequested = false;
  }
  tavogra_->Resume();
  progress_->Finish();
  program_.progress = nullptr;
  busy_ = false;
  UpdateCommandStates();
  ShowCounts();
  if (closeAfterRun_) close();
  return ok;
}

void Thh::Opened(const std::string& path) {
  // The list holds full paths: it is read again from another directory at the next start.
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec).lexically_normal();
  recent_.Add(ec ? path : full.string());
  lastDir_ = program_.file.dir;
  UpdateRecentMenu();
}

bool Thh::OpenNamedFile(const std::string& path) {
  const CurrentFile previous = program_.file;
  const bool ok = Reading([&] { return ::plotvue::OpenNamedFile(program_, *device_, path); });
  if (ok) {
    program_.settings.PlotFile = program_.file.base;
    Opened(program_.file.Path());
  } else {
    // The previous picture stays, and with it the file it shows.
    program_.file = previous;
  }
  UpdateCaption();
  UpdateCommandStates();
  return ok;
}

void Thh::ShowLogo() { ShowStartupLogo(*device_); }

void Thh::mi_fileOpenClick() {
  const CurrentFile previous = program_.file;
  const bool ok = Reading([this] { return OpenFileCommand(program_, *device_); });
  if (ok)
    Opened(program_.file.Path());
  else
    program_.file = previous;  // the previous picture stays, and with it its file
  UpdateCaption();
  UpdateCommandStates();
}

void Thh::mi_FileOpenLimitClick() {
  const CurrentFile previous = program_.file;
  auto askLimits = [this](const WorldRect& current) -> std::optional<WorldRect> {
    Tw32plotg dialog(current, [this] { help_->ShowHelpTopic(kLimitsHelpTopic); }, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Limits();
  };
  const bool ok = Reading([&] { return OpenLimitCommand(program_, *device_, askLimits); });
  if (ok)
    Opened(program_.file.Path());
  else
    program_.file = previous;
  UpdateCaption();
  UpdateCommandStates();
}

void Thh::mi_FileSaveAsClick() {
  if (busy_) return;
  const std::string target = SaveAsCommand(program_);
  if (!target.empty())
    statusBar()->showMessage(FromUtf8(program_.file.Path() + " -> " + target), 8000);
  device_->DevArrowCursor();
}

void Thh::mi_fileNClick(int index) {
  if (busy_ || index < 0 || index > 3) return;
  const std::string path = recent_.entries[index];
  if (path.empty()) return;
  if (!PathExists(path)) {
    recent_.Remove(index);
    UpdateRecentMenu();
    program_.ui->ShowMessage("File " + path + " not found !");
    return;
  }
  OpenNamedFile(path);
}

void Thh::mi_fileexitClick() { close(); }

void Thh::mi_ViewInfoClick() {
  if (!HasCurrentFile(program_)) return;
  TForm_hpvinfo info(program_, this);
  info.exec();
}

void Thh::mi_ViewClearClick() {
  if (busy_) return;
  ClearCommand(*device_);
}

void Thh::mi_ViewRedrawClick() {
  if (busy_) return;
  device_->DevRegen();
}

void Thh::mi_ViewRegenClick() {
  if (!HasCurrentFile(program_)) return;
  UpdateCaption();
  Reading([this] { return RegenCommand(program_, *device_); });
  UpdateCaption();
}

// --- Convert -------------------------------------------------------------------------------------

void Thh::mi_convertCurFileClick() { ConvertCommand(false); }

void Thh::mi_ConvertnewFileClick() { ConvertCommand(true); }

void Thh::ConvertCommand(bool newFile) {
  if (busy_) return;
  if (!newFile && !HasCurrentFile(program_)) {
    program_.ui->ShowError("Aucun fichier ouvert");
    return;
  }
  if (!driver_) {
    driver_ = MakeOutputDriver(program_, strokeFont_);
    driver_->options.beep = [] { QApplication::beep(); };
  }
  auto dialog = [this] {
    Tplotkonvert d(program_.settings, [this] { help_->ShowHelpTopic(kConverterHelpTopic); },
                   this);
    const int result = d.exec();
    if (result == kConfigurationRequest) return ConverterDialogResult::Configuration;
    return result == QDialog::Accepted ? ConverterDialogResult::Ok
                                       : ConverterDialogResult::Cancelled;
  };
  // The conversion runs with the progress bar and its Cancel button.
  auto convert = [this] {
    ConversionReport report;
    Reading([&] {
      report = ConvertCurrentFile(program_, *driver_);
      return true;
    });
    return report;
  };
  const ConversionReport report =
      newFile ? ConvertNewFileCommand(program_, *driver_, dialog, convert, OpenInEditor)
              : ConvertCurrentFileCommand(program_, *driver_, dialog, convert, OpenInEditor);
  if (!report.target.empty() || report.cancelled)
    statusBar()->showMessage(FromUtf8(ConversionStatusText(report)));
  ShowCounts();
  UpdateCaption();
}

void Thh::mi_optionsConverterClick() {
  if (busy_) return;
  if (!driver_) driver_ = MakeOutputDriver(program_, strokeFont_);
  program_.ErrorFlag = false;
  AskConverterSettings(program_, driver_->options.garmin, OpenInEditor);
  program_.ErrorFlag = false;
}

void Thh::mi_plotClick() {
  if (busy_) return;
  program_.ErrorFlag = false;
  if (!HasCurrentFile(program_)) {
    program_.ui->ShowError("Aucun fichier ouvert");
    return;
  }
  Tfhpvplot dialog(plotter_, [this] { help_->ShowHelpTopic(kPlotterHelpTopic); }, this);
  if (dialog.exec() != QDialog::Accepted) {
    program_.ErrorFlag = true;
    return;
  }
  SpoolResult result;
  QElapsedTimer timer;
  timer.start();
  Reading([&] {
    result = SpoolPlotFile(program_, plotter_);
    return true;
  });
  const std::string text = SpoolStatusText(result, timer.elapsed() / 1000.0);
  if (!text.empty()) statusBar()->showMessage(FromUtf8(text));
  device_->DevArrowCursor();
}

// --- Options -------------------------------------------------------------------------------------

void Thh::mi_optionsSaveClick() {
  program_.ErrorFlag = false;
  WriteConfig(program_);
  device_->DevArrowCursor();
}

void Thh::mi_optionsLoadClick() {
  if (busy_) return;
  program_.ErrorFlag = false;
  // A file that is not a whole settings file leaves the settings as they were and says why.
  if (!LoadConfigCommand(program_)) {
    program_.ErrorFlag = false;
    return;
  }
  SettingsChanged();
}

// --- Settings dialogs ----------------------------------------------------------------------------

void Thh::SettingsChanged() {
  // The window size, the background colour and the colour mode show at the next replay.
  ApplySettings();
  tavogra_->Invalidate();
}

void Thh::mi_optionsGraphicsClick() {
  program_.ErrorFlag = false;
  Tconfgraf dialog(program_, this);
  dialog.exec();
  // The background colour button stores at once, so the window takes it even after "Annuler".
  SettingsChanged();
}

void Thh::mi_optionsColoursClick() {
  program_.ErrorFlag = false;
  TConfColor dialog(program_, this);
  dialog.exec();
}

void Thh::mi_optionsDirectoriesClick() {
  program_.ErrorFlag = false;
  TConfDir dialog(program_, this);
  dialog.exec();
}

void Thh::mi_optionsPenTableClick() {
  program_.ErrorFlag = false;
  TForm_confPentable dialog(program_, this);
  dialog.exec();
}

void Thh::List1Click() {
  TForm_listgraf dialog(window_->list(), this);
  dialog.exec();
}

// --- Printing ------------------------------------------------------------------------------------

void Thh::mi_printClick() {
  if (busy_) return;
  printing_->Print(this);
  device_->DevArrowCursor();
}

void Thh::mi_optionsPrinterClick() { printing_->PrinterSettings(this); }

// --- Help ----------------------------------------------------------------------------------------

void Thh::mi_infoDemoClick() {
  if (busy_) return;
  RunDemo(*this, program_, *device_);
  UpdateCaption();
}

void Thh::mi_helpwwwClick() {
  const std::string manual = ManualPath();
  if (manual.empty()) {
    program_.ui->ShowError("Le manuel du programme est introuvable.");
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(FromUtf8(manual)));
}

void Thh::mi_helpemailClick() { QDesktopServices::openUrl(QUrl(FromUtf8(MailUrl()))); }

void Thh::mi_infoPlotvueClick() {
  TAboutBox about(program_, this);
  about.exec();
}

// --- Window --------------------------------------------------------------------------------------

void Thh::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (!busy_ && mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().first().isLocalFile())
    event->acceptProposedAction();
}

void Thh::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  const std::string path = urls.first().toLocalFile().toStdString();
  // The drop ends before the file is read, so the source of the drag is not held meanwhile.
  QTimer::singleShot(0, this, [this, path] { OpenNamedFile(path); });
}

void Thh::closeEvent(QCloseEvent* event) {
  // A run in progress ends first; the window closes after it.
  if (busy_) {
    closeAfterRun_ = true;
    RequestStop(program_);
    event->ignore();
    return;
  }
  demoStop_ = true;
  DeleteTemporaryFiles(program_);
  event->accept();
}

}  // namespace plotvue
