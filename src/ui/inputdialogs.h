// The small input dialogs that the program's commands ask through the user services: a text, a
// choice (radio buttons, or a list above seven options), a yes/no question, a list to look at,
// and the limits dialog Tw32plotg of Open Limit. Each has its "&Aide" button, which shows the
// dialog's help topic and leaves the dialog open.
//
// State: the widgets, and the help callback handed in by the caller.
#ifndef PLOTVUE_UI_INPUTDIALOGS_H_
#define PLOTVUE_UI_INPUTDIALOGS_H_

#include <QButtonGroup>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "graphics/raredova.h"

class QBoxLayout;

namespace plotvue {

// Shows a help topic for a dialog's "&Aide" button; empty when there is none to show.
using HelpCallback = std::function<void()>;

// The frame of every input dialog: its content above a row of buttons ending in "&Aide".
class InputDialog : public QDialog {
  Q_OBJECT

 public:
  InputDialog(const QString& caption, HelpCallback help, QWidget* parent);

  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* helpButton() const { return help_; }

 protected:
  // Where the subclasses put their widgets.
  QBoxLayout* content() const { return content_; }
  // Adds a button before "Annuler" (the yes/no dialog's "&Non").
  QPushButton* AddButton(const QString& text);

 private:
  QBoxLayout* content_ = nullptr;
  QBoxLayout* buttons_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* help_ = nullptr;
  HelpCallback helpCallback_;
};

// A one-line text, at most `maxLength` characters (0: any length), shown with `initial`.
class TextInputDialog : public InputDialog {
  Q_OBJECT

 public:
  TextInputDialog(const QString& caption, const QString& initial, int maxLength, HelpCallback help,
                  QWidget* parent = nullptr);
  QLineEdit* edit() const { return edit_; }
  QString text() const { return edit_->text(); }

 private:
  QLineEdit* edit_ = nullptr;
};

// One of `options`, numbered from 1: radio buttons up to seven options, a list above that.
class ChoiceDialog : public InputDialog {
  Q_OBJECT

 public:
  static constexpr int kMaxRadioOptions = 7;

  ChoiceDialog(const QString& caption, const QStringList& options, int preselected,
               HelpCallback help, QWidget* parent = nullptr);
  // The chosen option, from 1.
  int choice() const;
  void setChoice(int option);
  bool usesList() const { return list_ != nullptr; }
  QListWidget* list() const { return list_; }
  QButtonGroup* radios() const { return radios_; }

 private:
  QListWidget* list_ = nullptr;
  QButtonGroup* radios_ = nullptr;
};

// A question answered "&Oui" (accepted) or "&Non" (done with kNo); "Annuler" rejects.
class YesNoDialog : public InputDialog {
  Q_OBJECT

 public:
  static constexpr int kNo = 2;

  YesNoDialog(const QString& question, bool defaultYes, HelpCallback help,
              QWidget* parent = nullptr);
  QPushButton* noButton() const { return no_; }

 private:
  QPushButton* no_ = nullptr;
};

// Lines to look at; the one selected when OK is pressed is the choice (from 1; 0 for none).
class ListDialog : public InputDialog {
  Q_OBJECT

 public:
  ListDialog(const QString& caption, const QStringList& lines, HelpCallback help,
             QWidget* parent = nullptr);
  int choice() const;
  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_ = nullptr;
};

// Tw32plotg: the limits of the drawing for Open Limit, "x min" and "y min" of the lower left
// corner, "x max" and "y max" of the upper right corner, shown in the short number format.
class Tw32plotg : public InputDialog {
  Q_OBJECT

 public:
  Tw32plotg(const WorldRect& limits, HelpCallback help, QWidget* parent = nullptr);
  // The four values as entered, read as numbers (a comma counts as the decimal point; a text
  // that is not a number gives 0).
  WorldRect Limits() const;

  QLineEdit* Edit1 = nullptr;  // x min
  QLineEdit* Edit2 = nullptr;  // y min
  QLineEdit* Edit3 = nullptr;  // x max
  QLineEdit* Edit4 = nullptr;  // y max
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_INPUTDIALOGS_H_
