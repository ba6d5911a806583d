// TForm_hpvinfo: the Info dialog. It shows, read-only, the current file's name, size and date
// with the extents and counts of the last interpreter run, as the values were when the dialog
// was made.
//
// State: its widgets only.
#ifndef PLOTVUE_UI_INFODIALOG_H_
#define PLOTVUE_UI_INFODIALOG_H_

#include <QDialog>
#include <QLineEdit>
#include <QString>

#include "base/program.h"

namespace plotvue {

class TForm_hpvinfo : public QDialog {
  Q_OBJECT

 public:
  TForm_hpvinfo(const Program& program, QWidget* parent = nullptr);
  // The field shown beside `label` ("File name", "File size", ...); nullptr when there is none.
  QLineEdit* Field(const QString& label) const;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_INFODIALOG_H_
