// The converter dialog Tplotkonvert (output syntax, device with its COM, LPT or file field,
// plot scale, text width factor and origin; "&Configuration" asks for the settings prompts) and
// the plotter dialog Tfhpvplot (pen plotter or laser printer, one of the ports LPT1..4 and
// COM1..4). What they show and what OK stores is app/convert.h's; these classes add the widgets.
//
// State: the widgets; the settings and the plotter choice stay the caller's until OK.
#ifndef PLOTVUE_UI_CONVERTDIALOGS_H_
#define PLOTVUE_UI_CONVERTDIALOGS_H_

#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "app/convert.h"
#include "config/settings.h"
#include "ui/inputdialogs.h"

namespace plotvue {

class Tplotkonvert : public InputDialog {
  Q_OBJECT

 public:
  // exec() returns QDialog::Accepted for OK, kConfigurationRequest for "&Configuration" (both
  // store the fields into `settings`), QDialog::Rejected for "Annuler" (nothing stored).
  Tplotkonvert(Settings& settings, HelpCallback help, QWidget* parent = nullptr);

  ConverterFields Fields() const;
  // Enables the edit field of the selected device only.
  void UpdateDeviceFields();

  QButtonGroup* syntaxGroup = nullptr;  // items 0..11
  QButtonGroup* deviceGroup = nullptr;  // items 0..2
  QLineEdit* Edit_com = nullptr;
  QLineEdit* Edit_lpt = nullptr;
  QLineEdit* Edit_file = nullptr;
  QLineEdit* Edit_scale = nullptr;
  QLineEdit* Edit_width = nullptr;
  QLineEdit* Edit_x = nullptr;
  QLineEdit* Edit_y = nullptr;
  QPushButton* Button_config = nullptr;

 private:
  Settings& settings_;
};

class Tfhpvplot : public InputDialog {
  Q_OBJECT

 public:
  // OK stores the device kind and the port code into `choice`.
  Tfhpvplot(PlotterChoice& choice, HelpCallback help, QWidget* parent = nullptr);

  QButtonGroup* deviceGroup = nullptr;  // ids 1, 2
  QButtonGroup* portGroup = nullptr;    // ids 1..8

 private:
  PlotterChoice& choice_;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_CONVERTDIALOGS_H_
