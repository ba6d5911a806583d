#include "ui/infodialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "input/fileinfo.h"

namespace plotvue {

TForm_hpvinfo::TForm_hpvinfo(const Program& program, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Info"));
  auto* form = new QFormLayout;
  for (const auto& [label, value] : InfoFields(GetFileInfo(program))) {
    auto* field = new QLineEdit(QString::fromStdString(value));
    field->setReadOnly(true);
    field->setObjectName(QString::fromStdString(label));
    field->setMinimumWidth(360);
    form->addRow(new QLabel(QString::fromStdString(label)), field);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

QLineEdit* TForm_hpvinfo::Field(const QString& label) const { return findChild<QLineEdit*>(label); }

}  // namespace plotvue
