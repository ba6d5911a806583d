// Thh: the program's main window. Its client area is the graphics window (TFtavogra); its menu
// runs the commands that read and show plot files (File: Open, Exit; View: Info, Clear, Redraw,
// Regen). The commands themselves are the core's (graphics/show.h); this class adds the widgets,
// the caption, the progress bar while a file is read, and keeps a second command from starting
// while one runs.
//
// State: the widgets, and the core graphics window and drawing device, which live as long as
// the main window. The program state is the caller's.
#ifndef PLOTVUE_UI_MAINWINDOW_H_
#define PLOTVUE_UI_MAINWINDOW_H_

#include <QAction>
#include <QMainWindow>
#include <QProgressBar>
#include <memory>
#include <string>

#include "base/program.h"
#include "graphics/device.h"
#include "graphics/raredova.h"
#include "ui/qtservices.h"
#include "ui/tavogra.h"

namespace plotvue {

class Thh : public QMainWindow {
  Q_OBJECT

 public:
  explicit Thh(Program& program, QWidget* parent = nullptr);
  ~Thh() override;

  // Shows a file named on the command line (or a recent file). Returns false when it could not
  // be read.
  bool OpenNamedFile(const std::string& path);
  // Shows the program's logo (start-up without a file).
  void ShowLogo();
  // Caption and application title from the current file.
  void UpdateCaption();
  // Enables the commands that need a current file (Info, Regen) only when there is one; called
  // at construction and after every command that may change the current file.
  void UpdateCommandStates();

  TFtavogra* tavogra() const { return tavogra_; }
  GraphicsWindow& graphicsWindow() { return *window_; }
  DrawDevice& device() { return *device_; }
  bool busy() const { return busy_; }

  // Menu commands.
  void mi_fileOpenClick();
  void mi_fileexitClick();
  void mi_ViewInfoClick();
  void mi_ViewClearClick();
  void mi_ViewRedrawClick();
  void mi_ViewRegenClick();

  QAction* mi_fileOpen = nullptr;
  QAction* mi_fileexit = nullptr;
  QAction* mi_ViewInfo = nullptr;
  QAction* mi_ViewClear = nullptr;
  QAction* mi_ViewRedraw = nullptr;
  QAction* mi_ViewRegen = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Runs a command that reads the plot file: no second one meanwhile, replays wait until it
  // has ended, and the progress bar follows the reading.
  template <typename Command>
  void Reading(Command command);
  void ApplySettings();

  Program& program_;
  TFtavogra* tavogra_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  std::unique_ptr<GraphicsWindow> window_;
  std::unique_ptr<DrawDevice> device_;
  std::unique_ptr<QtProgress> progress_;
  bool busy_ = false;
  bool closeAfterRun_ = false;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_MAINWINDOW_H_
