// The graphics settings dialog Tconfgraf ("Configuration Graphique") and the pen colour dialog
// TConfColor ("Couleur") of the Options menu, and the element list TForm_listgraf ("Element
// List") of the View menu. What OK stores and how the fields read is decided in
// graphics/confgraf.h; a refused value shows why in an error box and the dialog stays open.
// "Annuler" (and closing the dialog) sets ErrorFlag and stores nothing, except the background
// colour, which its button stores at once.
//
// The element list shows the display list through a model that makes a record's text only when
// its row is painted, so it opens at once on a list of millions of records.
//
// State: the widgets; the settings are the Program's.
#ifndef PLOTVUE_UI_CONFGRAF_H_
#define PLOTVUE_UI_CONFGRAF_H_

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QColor>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <array>
#include <functional>
#include <optional>

#include "base/program.h"
#include "graphics/displaylist.h"
#include "ui/inputdialogs.h"

namespace plotvue {

// The settings value of a colour (red in the low byte, then green, then blue).
std::int32_t ColourValueOf(const QColor& colour);

class Tconfgraf : public InputDialog {
  Q_OBJECT

 public:
  explicit Tconfgraf(Program& program, QWidget* parent = nullptr);

  // The platform's font dialog: the chosen font's family, nothing when cancelled. Replaceable
  // (tests).
  std::function<std::optional<QString>(const QString& current)> chooseFont;
  // The platform's colour dialog, starting at `current`; nothing when cancelled.
  std::function<std::optional<QColor>(const QColor& current)> chooseColour;

  void Button_maxClick();
  void Button_fontClick();
  void Button_backgroundClick();

  QRadioButton* RadioButton_colour = nullptr;
  QRadioButton* RadioButton_mono = nullptr;
  QLineEdit* Edit_x = nullptr;
  QLineEdit* Edit_y = nullptr;
  QPushButton* Button_max = nullptr;
  QLineEdit* Edit_font = nullptr;
  QPushButton* Button_font = nullptr;
  QLineEdit* Edit_textwidth = nullptr;
  QLineEdit* Edit_textheight = nullptr;
  QLineEdit* Edit_zoom = nullptr;
  QLineEdit* Edit_pan = nullptr;
  QPushButton* Button_background = nullptr;
  QLabel* Panel_background = nullptr;
  QCheckBox* CheckBox_border = nullptr;

 public slots:
  void accept() override;
  void reject() override;

 private:
  void PaintPanel();

  Program& program_;
};

class TConfColor : public InputDialog {
  Q_OBJECT

 public:
  explicit TConfColor(Program& program, QWidget* parent = nullptr);

  std::array<QLineEdit*, kScreenPenSlots> Edit_colour{};  // slots 1..16

 public slots:
  void accept() override;
  void reject() override;

 private:
  Program& program_;
};

// The display list as a table of one column: row i is the text of record i, made when asked.
class DisplayListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit DisplayListModel(const DisplayList& list, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  // How many record texts have been made (tests: only visible rows are asked for).
  std::size_t textsMade() const { return textsMade_; }

 private:
  const DisplayList& list_;
  int rows_ = 0;
  std::uint64_t generation_ = 0;
  mutable std::size_t textsMade_ = 0;
};

class TForm_listgraf : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_listgraf(const DisplayList& list, QWidget* parent = nullptr);

  QTableView* ListBox1 = nullptr;
  QPushButton* Button_ok = nullptr;
  DisplayListModel* model() const { return model_; }

 private:
  DisplayListModel* model_ = nullptr;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_CONFGRAF_H_
