#include "ui/mainwindow.h"

#include <QCloseEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QStatusBar>
#include <algorithm>

#include "graphics/show.h"
#include "ui/infodialog.h"

namespace plotvue {
namespace {

// The client area never asks for more than this, whatever the settings say.
constexpr int kMaxClientSide = 16384;

}  // namespace

Thh::Thh(Program& program, QWidget* parent) : QMainWindow(parent), program_(program) {
  tavogra_ = new TFtavogra(this);
  setCentralWidget(tavogra_);
  window_ = std::make_unique<GraphicsWindow>(program_, *tavogra_);
  device_ = std::make_unique<DrawDevice>(program_, *window_);

  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  mi_fileOpen = file->addAction(QStringLiteral("&Open..."), this, &Thh::mi_fileOpenClick);
  mi_fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  file->addSeparator();
  mi_fileexit = file->addAction(QStringLiteral("E&xit"), this, &Thh::mi_fileexitClick);
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  mi_ViewInfo = view->addAction(QStringLiteral("&Info"), this, &Thh::mi_ViewInfoClick);
  mi_ViewClear = view->addAction(QStringLiteral("&Clear"), this, &Thh::mi_ViewClearClick);
  mi_ViewRedraw = view->addAction(QStringLiteral("Re&draw"), this, &Thh::mi_ViewRedrawClick);
  mi_ViewRegen = view->addAction(QStringLiteral("&Regen"), this, &Thh::mi_ViewRegenClick);

  // The progress of reading a large file shows in a status line that is there only meanwhile.
  progressBar_ = new QProgressBar;
  progressBar_->setMaximumWidth(240);
  progressBar_->setTextVisible(false);
  statusBar()->addPermanentWidget(progressBar_);
  statusBar()->hide();
  progress_ = std::make_unique<QtProgress>(progressBar_, statusBar());

  ApplySettings();
  tavogra_->SetGraphicsWindow(window_.get());
  tavogra_->setFocus();
  move(0, 0);
  UpdateCaption();
  UpdateCommandStates();
}

Thh::~Thh() = default;

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
  resize(client.width(), client.height() + menuBar()->sizeHint().height());
}

void Thh::UpdateCaption() {
  setWindowTitle(QString::fromStdString(MainCaption(program_)));
  device_->DevArrowCursor();
}

void Thh::UpdateCommandStates() {
  const bool hasFile = HasCurrentFile(program_);
  mi_ViewInfo->setEnabled(hasFile);
  mi_ViewRegen->setEnabled(hasFile);
}

template <typename Command>
void Thh::Reading(Command command) {
  if (busy_) return;
  busy_ = true;
  program_.progress = progress_.get();
  progress_->Start();
  tavogra_->Suspend();
  command();
  tavogra_->Resume();
  progress_->Finish();
  program_.progress = nullptr;
  busy_ = false;
  if (closeAfterRun_) close();
}

bool Thh::OpenNamedFile(const std::string& path) {
  bool ok = false;
  Reading([&] { ok = ::plotvue::OpenNamedFile(program_, *device_, path); });
  UpdateCaption();
  UpdateCommandStates();
  return ok;
}

void Thh::ShowLogo() { ShowStartupLogo(*device_); }

void Thh::mi_fileOpenClick() {
  Reading([this] { OpenFileCommand(program_, *device_); });
  UpdateCaption();
  UpdateCommandStates();
}

void Thh::mi_fileexitClick() { close(); }

void Thh::mi_ViewInfoClick() {
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
  UpdateCaption();
  Reading([this] { RegenCommand(program_, *device_); });
  UpdateCaption();
}

void Thh::closeEvent(QCloseEvent* event) {
  // A run in progress stops after the command it reads, and the command after the run; the
  // window closes then.
  if (busy_) {
    closeAfterRun_ = true;
    RequestStop(program_);
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace plotvue
