// The print dialogs: the print dialog TForm_printconf ("Impression") of File, Print, the printer
// settings dialog Tconfprin ("Configuration Impression") of Options, Printer, and the printer
// information grid TForm_printerinfo. What their fields mean and store is app/printing's; these
// classes only show the fields and hand them over.
//
// PrintCommands holds what printing keeps while the window lives: the current printer (a
// QPrinter; the PDF file beside the plot file when the machine has no printer) and the saved
// values the print dialog starts from.
//
// State: the widgets; PrintCommands owns the printer and the saved values.
#ifndef PLOTVUE_UI_PRINTDIALOGS_H_
#define PLOTVUE_UI_PRINTDIALOGS_H_

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <functional>
#include <memory>

#include "app/printing.h"
#include "base/program.h"
#include "ui/inputdialogs.h"
#include "ui/qtprinter.h"

namespace plotvue {

class TFtavogra;

// TForm_printconf. OK takes the fields into the current settings and the printer's orientation,
// fits the view when "ajuster" is ticked and runs `print`; "Annuler" sets ErrorFlag.
class TForm_printconf : public InputDialog {
  Q_OBJECT

 public:
  // `choosePrinter` runs the platform's printer dialog (true when confirmed); `showInfo` opens
  // the printer information; `fit` fits the view; `print` runs the print sequence.
  TForm_printconf(Program& program, const PrintSaved& saved, PrintSurface& printer,
                  std::function<bool()> choosePrinter, std::function<void()> showInfo,
                  std::function<void()> fit, std::function<void()> print, HelpCallback help,
                  QWidget* parent = nullptr);

  void accept() override;  // Button_okClick
  void reject() override;  // "Annuler"

  // The fields as they stand.
  PrintFields Fields() const;
  // Shows the current printer's name and orientation again (after the printer dialog).
  void ShowPrinter();

  QLineEdit* Edit_scaleX = nullptr;
  QLineEdit* Edit_scaleY = nullptr;
  QLineEdit* Edit_originX = nullptr;
  QLineEdit* Edit_originY = nullptr;
  QCheckBox* CheckBox_border = nullptr;
  QCheckBox* CheckBox_fit = nullptr;               // "ajuster"
  QButtonGroup* RadioGroup_colour = nullptr;       // "ombrage"
  QButtonGroup* RadioGroup_orientation = nullptr;  // "Portrait", "Paysage"
  QPushButton* Button_printer = nullptr;
  QPushButton* Button_info = nullptr;
  QLabel* Label_printer = nullptr;

 private:
  Program& program_;
  PrintSurface& printer_;
  std::function<bool()> choosePrinter_;
  std::function<void()> fit_;
  std::function<void()> print_;
};

// Tconfprin: the current print settings without orientation.
class Tconfprin : public InputDialog {
  Q_OBJECT

 public:
  Tconfprin(Program& program, HelpCallback help, QWidget* parent = nullptr);

  void accept() override;
  void reject() override;
  PrintFields Fields() const;

  QLineEdit* Edit_scaleX = nullptr;
  QLineEdit* Edit_scaleY = nullptr;
  QPushButton* Button_copy = nullptr;  // "<": scale x into scale y
  QLineEdit* Edit_originX = nullptr;
  QLineEdit* Edit_originY = nullptr;
  QCheckBox* CheckBox_border = nullptr;       // "Contour"
  QButtonGroup* RadioGroup_colour = nullptr;  // "Ombrage"

 private:
  Program& program_;
};

// TForm_printerinfo: the two-column grid of the printer's capabilities.
class TForm_printerinfo : public QDialog {
  Q_OBJECT

 public:
  TForm_printerinfo(const PrinterCaps& caps, QWidget* parent = nullptr);
  QTableWidget* StringGrid = nullptr;
};

// What File, Print and Options, Printer need across their calls.
class PrintCommands {
 public:
  PrintCommands(Program& program, TFtavogra& window, HelpCallback help);
  ~PrintCommands();

  // File, Print: the print dialog, then on OK the print sequence. Returns true when a page was
  // sent. `dialogHook`, for tests, answers the dialog (accept or reject) instead of the user.
  bool Print(QWidget* parent, const std::function<void(TForm_printconf&)>& dialogHook = {});
  // Options, Printer.
  void PrinterSettings(QWidget* parent, const std::function<void(Tconfprin&)>& dialogHook = {});
  // The print sequence with the current settings on the current printer.
  bool PrintNow();

  QPrinter& printer() { return *printer_; }
  PrintSaved& saved() { return saved_; }
  // Tests choose the printer dialog's answer (true: confirmed, the printer is as it stands).
  std::function<bool(QPrinter&, QWidget*)> choosePrinter;

 private:
  // Printing into a PDF that the user has not named: the PDF beside the current plot file.
  void PreparePdfTarget();

  Program& program_;
  TFtavogra& window_;
  HelpCallback help_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QtPrintSurface> surface_;
  PrintSaved saved_;
  QString autoTarget_;  // the PDF file last chosen here, not by the user
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_PRINTDIALOGS_H_
