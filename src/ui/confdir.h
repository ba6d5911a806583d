// The directories dialog TConfDir ("Config Directory") and the pen table dialog
// TForm_confPentable ("Config PenTable") of the Options menu. What OK stores, the directory
// normalisation, the pen table's headers and help topics are decided in config/confdir.h.
// A refused value shows why in an error box and the dialog stays open; "Annuler" (and closing
// the dialog) sets ErrorFlag and stores nothing, except the syntax chosen in the pen table's
// list, which is taken at once.
//
// State: the widgets; the settings are the Program's.
#ifndef PLOTVUE_UI_CONFDIR_H_
#define PLOTVUE_UI_CONFDIR_H_

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <functional>
#include <optional>

#include "base/program.h"
#include "ui/inputdialogs.h"

namespace plotvue {

class TConfDir : public InputDialog {
  Q_OBJECT

 public:
  explicit TConfDir(Program& program, QWidget* parent = nullptr);

  // The directory selection dialog, starting in `preset` (empty: anywhere); nothing when
  // cancelled. Replaceable (tests).
  std::function<std::optional<QString>(const QString& preset)> chooseDirectory;

  // A "..." button: the chosen directory replaces the field's text; Cancel keeps it.
  void ChooseInto(QLineEdit* edit);

  QLineEdit* Edit_ext = nullptr;
  QLineEdit* Edit_grafik = nullptr;
  QLineEdit* Edit_temp = nullptr;
  QLineEdit* EDit_plt = nullptr;
  QLineEdit* Edit_exe = nullptr;
  QPushButton* Button_grafdir = nullptr;
  QPushButton* Button_tempdir = nullptr;
  QPushButton* Button_pltdir = nullptr;
  QPushButton* Button_programdir = nullptr;
  QCheckBox* CheckBox_shp = nullptr;

 public slots:
  void accept() override;
  void reject() override;

 private:
  Program& program_;
};

class TForm_confPentable : public InputDialog {
  Q_OBJECT

 public:
  explicit TForm_confPentable(Program& program, QWidget* parent = nullptr);

  // Fills the grid for the syntax in the list (headers, numbers, speeds, the second "&Aide").
  void FillGrid();
  // The syntax chosen in the list, 1..12.
  int SelectedSyntax() const { return ComboBox1->currentIndex() + 1; }

  QComboBox* ComboBox1 = nullptr;
  QTableWidget* StringGrid1 = nullptr;
  QPushButton* Button_help2 = nullptr;

 public slots:
  void accept() override;
  void reject() override;

 private:
  void ComboBox1Change(int index);
  QString Cell(int row, int column) const;

  Program& program_;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_CONFDIR_H_
