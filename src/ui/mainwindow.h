// Thh: the program's main window. Its client area is the graphics window (TFtavogra); its menu
// runs the program's commands: File (Open, Open Limit, Save As, Print, Plot, the four recent
// files, Exit), View (Info, Clear, Redraw, Regen, the hidden List), Convert, Options and Help
// (Demo, the menu language, the manual and e-mail links, the about box). The commands themselves
// are the core's (graphics/show.h and the modules they call); this class adds the widgets, the
// menu captions of the chosen language, the caption, the recent files and their history file,
// the status line (cursor position in drawing millimetres, counts, progress with Cancel), drag
// and drop, and keeps a second command from starting while one reads a file.
//
// State: the widgets, the core graphics window and drawing device, the menu captions, the recent
// files and the last directory, which live as long as the main window. The program state is the
// caller's.
#ifndef PLOTVUE_UI_MAINWINDOW_H_
#define PLOTVUE_UI_MAINWINDOW_H_

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <array>
#include <memory>
#include <string>

#include "app/captions.h"
#include "app/convert.h"
#include "app/recent.h"
#include "base/program.h"
#include "graphics/device.h"
#include "graphics/raredova.h"
#include "help/helpviewer.h"
#include "ui/printdialogs.h"
#include "ui/qtservices.h"
#include "ui/tavogra.h"

namespace plotvue {

class Thh : public QMainWindow {
  Q_OBJECT

 public:
  explicit Thh(Program& program, QWidget* parent = nullptr);
  // Writes the history file and what the window keeps across runs (language, geometry).
  ~Thh() override;

  // Shows a file named on the command line, dropped on the window or given by the desktop.
  // Returns false when it could not be read (the window keeps its previous picture).
  bool OpenNamedFile(const std::string& path);
  // The stroke font loaded at start-up for the labels of conversions (null: none); it must
  // outlive the window.
  void SetStrokeFont(const StrokeFont* font) { strokeFont_ = font; }
  // Shows the program's logo (start-up without a file).
  void ShowLogo();
  // Caption and application title from the current file.
  void UpdateCaption();
  // Enables the commands that need a plot file once one is open.
  void UpdateCommandStates();
  // The recent-file items from the list: captions, visibility, the separator before them.
  void UpdateRecentMenu();

  TFtavogra* tavogra() const { return tavogra_; }
  GraphicsWindow& graphicsWindow() { return *window_; }
  DrawDevice& device() { return *device_; }
  bool busy() const { return busy_; }
  // True when the last reading command was cancelled with the Cancel button.
  bool readingCancelled() const { return cancelled_; }
  RecentFiles& recentFiles() { return recent_; }
  const MenuCaptions& captions() const { return captions_; }
  int language() const { return language_; }
  QLabel* positionLabel() const { return positionLabel_; }
  QLabel* countsLabel() const { return countsLabel_; }
  QPushButton* cancelButton() const { return cancelButton_; }
  // Where the history file goes and is read from.
  std::string historyPath() const;
  // The printer and the saved print values of File, Print and Options, Printer.
  PrintCommands& printing() { return *printing_; }

  // Menu commands.
  void mi_fileOpenClick();
  void mi_FileOpenLimitClick();
  void mi_FileSaveAsClick();
  void mi_fileNClick(int index);  // recent file 0..3
  void mi_fileexitClick();
  void mi_ViewInfoClick();
  void mi_ViewClearClick();
  void mi_ViewRedrawClick();
  void mi_ViewRegenClick();
  void mi_convertCurFileClick();
  void mi_ConvertnewFileClick();
  void mi_optionsConverterClick();
  void mi_plotClick();
  void mi_printClick();
  void mi_optionsPrinterClick();
  void mi_optionsSaveClick();
  void mi_optionsLoadClick();
  void mi_optionsGraphicsClick();
  void mi_optionsColoursClick();
  void mi_optionsDirectoriesClick();
  void mi_optionsPenTableClick();
  void List1Click();
  void mi_infoDemoClick();
  void mi_helpwwwClick();
  void mi_helpemailClick();
  void mi_infoPlotvueClick();
  // Help, Menu Language: the captions of language n (1, 2, 3 or 8) on every menu item.
  void LanguageCommand(int language);

  // The menus and their items, named after the commands.
  QMenu* mi_file = nullptr;
  QMenu* mi_View = nullptr;
  QMenu* mi_convert = nullptr;
  QMenu* mi_options = nullptr;
  QMenu* mi_help = nullptr;
  QMenu* mi_helplanguage = nullptr;
  QAction* mi_fileOpen = nullptr;
  QAction* mi_FileOpenLimit = nullptr;
  QAction* mi_FileSaveAs = nullptr;
  QAction* mi_print = nullptr;
  QAction* mi_plot = nullptr;
  QAction* mi_recentSeparator = nullptr;
  std::array<QAction*, 4> mi_fileN{};  // mi_file1 .. mi_file4
  QAction* mi_fileexit = nullptr;
  QAction* mi_ViewInfo = nullptr;
  QAction* mi_ViewClear = nullptr;
  QAction* mi_ViewRedraw = nullptr;
  QAction* mi_ViewRegen = nullptr;
  QAction* List1 = nullptr;
  QAction* mi_convertCurFile = nullptr;
  QAction* mi_ConvertnewFile = nullptr;
  QAction* mi_optionsConverter = nullptr;
  QAction* mi_optionsPenTable = nullptr;
  QAction* mi_optionsDirectories = nullptr;
  QAction* mi_optionsPrinter = nullptr;
  QAction* mi_optionsGraphics = nullptr;
  QAction* mi_optionsColours = nullptr;
  QAction* mi_optionsSave = nullptr;
  QAction* mi_optionsLoad = nullptr;
  QAction* mi_infoDemo = nullptr;
  QAction* mi_helplanguageDeutsch = nullptr;
  QAction* mi_helplanguageEnglish = nullptr;
  QAction* mi_helplanguageFrench = nullptr;
  QAction* mi_helplanguageKorea = nullptr;
  QAction* mi_helpwww = nullptr;
  QAction* mi_helpemail = nullptr;
  QAction* mi_infoPlotvue = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  // Copies the current captions into the menu items (the language submenu's caption too).
  void ApplyCaptions();
  // Runs a command that reads the plot file: no second one meanwhile, replays wait until it
  // has ended, and the progress bar with its Cancel button follows the reading. The picture
  // shown before is given back when the command fails or is cancelled. Returns the command's
  // result.
  template <typename Command>
  bool Reading(Command command);
  void ApplySettings();
  // After a settings dialog or Options, Load: the window takes the settings it shows.
  void SettingsChanged();
  // After a file was shown: it goes to the top of the recent files.
  void Opened(const std::string& path);
  void ShowCounts();
  void ShowPosition(QPoint client);
  // The window's geometry and menu language of the last run.
  void RestoreWindowMemory();

  Program& program_;
  TFtavogra* tavogra_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QLabel* positionLabel_ = nullptr;
  QLabel* countsLabel_ = nullptr;
  std::unique_ptr<GraphicsWindow> window_;
  std::unique_ptr<DrawDevice> device_;
  std::unique_ptr<QtProgress> progress_;
  std::unique_ptr<HelpViewer> help_;
  std::unique_ptr<PrintCommands> printing_;
  MenuCaptions captions_;
  int language_ = kFrench;
  RecentFiles recent_;
  std::string lastDir_;
  bool busy_ = false;
  bool closeAfterRun_ = false;
  bool cancelled_ = false;
  bool placeRemembered_ = false;  // the window took its place of the last run
  bool demoRunning_ = false;
  bool demoStop_ = false;
  // Convert, Current File (or NewFile): the converter dialog, the prompts, the conversion.
  void ConvertCommand(bool newFile);
  // Convert and Plot: the output driver of the program run (made at the first conversion) and
  // the plotter dialog's choice.
  std::unique_ptr<PlotDriver> driver_;
  const StrokeFont* strokeFont_ = nullptr;
  PlotterChoice plotter_;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_MAINWINDOW_H_
