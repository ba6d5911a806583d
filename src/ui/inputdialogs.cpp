#include "ui/inputdialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

#include "base/textnum.h"
#include "output/numformat.h"

namespace plotvue {
namespace {

QString ShortText(long double v) { return QString::fromStdString(FormatShort(v)); }

long double ValueOf(const QLineEdit* edit) { return TextToFloat(edit->text().toStdString()); }

}  // namespace

// --- The frame -----------------------------------------------------------------------------------

InputDialog::InputDialog(const QString& caption, HelpCallback help, QWidget* parent)
    : QDialog(parent), helpCallback_(std::move(help)) {
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  content_ = new QVBoxLayout;
  layout->addLayout(content_);
  buttons_ = new QHBoxLayout;
  buttons_->addStretch(1);
  ok_ = new QPushButton(QStringLiteral("OK"));
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Annuler"));
  help_ = new QPushButton(QStringLiteral("&Aide"));
  help_->setAutoDefault(false);
  buttons_->addWidget(ok_);
  buttons_->addWidget(cancel_);
  buttons_->addWidget(help_);
  layout->addLayout(buttons_);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  // The help topic shows over the dialog, which stays open for the answer.
  connect(help_, &QPushButton::clicked, this, [this] {
    if (helpCallback_) helpCallback_();
  });
  help_->setEnabled(static_cast<bool>(helpCallback_));
}

QPushButton* InputDialog::AddButton(const QString& text) {
  auto* button = new QPushButton(text);
  button->setAutoDefault(false);
  buttons_->insertWidget(buttons_->indexOf(cancel_), button);
  return button;
}

// --- Text ----------------------------------------------------------------------------------------

TextInputDialog::TextInputDialog(const QString& caption, const QString& initial, int maxLength,
                                 HelpCallback help, QWidget* parent)
    : InputDialog(caption, std::move(help), parent) {
  auto* label = new QLabel(caption);
  label->setWordWrap(true);
  edit_ = new QLineEdit;
  if (maxLength > 0) edit_->setMaxLength(maxLength);
  edit_->setText(initial);
  edit_->selectAll();
  edit_->setMinimumWidth(320);
  label->setBuddy(edit_);
  content()->addWidget(label);
  content()->addWidget(edit_);
}

// --- Choice --------------------------------------------------------------------------------------

ChoiceDialog::ChoiceDialog(const QString& caption, const QStringList& options, int preselected,
                           HelpCallback help, QWidget* parent)
    : InputDialog(caption, std::move(help), parent) {
  if (preselected < 1 || preselected > options.size()) preselected = 1;
  if (options.size() > kMaxRadioOptions) {
    auto* label = new QLabel(caption);
    list_ = new QListWidget;
    list_->addItems(options);
    list_->setMinimumHeight(std::min<int>(static_cast<int>(options.size()), 14) *
                                list_->fontMetrics().height() +
                            8);
    label->setBuddy(list_);
    content()->addWidget(label);
    content()->addWidget(list_);
    // A double click chooses and closes, as Return does.
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  } else {
    auto* group = new QGroupBox(caption);
    auto* column = new QVBoxLayout(group);
    radios_ = new QButtonGroup(this);
    for (int k = 0; k < options.size(); ++k) {
      auto* radio = new QRadioButton(options[k]);
      radios_->addButton(radio, k + 1);
      column->addWidget(radio);
    }
    content()->addWidget(group);
  }
  setChoice(preselected);
}

int ChoiceDialog::choice() const {
  if (list_) return list_->currentRow() + 1;
  return radios_->checkedId() > 0 ? radios_->checkedId() : 1;
}

void ChoiceDialog::setChoice(int option) {
  if (list_) {
    list_->setCurrentRow(option - 1);
    list_->setFocus();
  } else if (QAbstractButton* radio = radios_->button(option)) {
    radio->setChecked(true);
    radio->setFocus();
  }
}

// --- Yes/No --------------------------------------------------------------------------------------

YesNoDialog::YesNoDialog(const QString& question, bool defaultYes, HelpCallback help,
                         QWidget* parent)
    : InputDialog(QStringLiteral("Question"), std::move(help), parent) {
  auto* label = new QLabel(question);
  label->setWordWrap(true);
  label->setMinimumWidth(320);
  content()->addWidget(label);
  okButton()->setText(QStringLiteral("&Oui"));
  no_ = AddButton(QStringLiteral("&Non"));
  connect(no_, &QPushButton::clicked, this, [this] { done(kNo); });
  if (!defaultYes) {
    okButton()->setDefault(false);
    no_->setDefault(true);
    no_->setFocus();
  }
}

// --- List ----------------------------------------------------------------------------------------

ListDialog::ListDialog(const QString& caption, const QStringList& lines, HelpCallback help,
                       QWidget* parent)
    : InputDialog(caption, std::move(help), parent) {
  list_ = new QListWidget;
  list_->addItems(lines);
  list_->setMinimumSize(420, 240);
  content()->addWidget(list_);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int ListDialog::choice() const { return list_->currentRow() + 1; }

// --- Limits --------------------------------------------------------------------------------------

Tw32plotg::Tw32plotg(const WorldRect& limits, HelpCallback help, QWidget* parent)
    : InputDialog(QStringLiteral("Limites du dessin"), std::move(help), parent) {
  auto corner = [this](const QString& title, const QString& xLabel, QLineEdit*& x,
                       long double xValue, const QString& yLabel, QLineEdit*& y,
                       long double yValue) {
    auto* group = new QGroupBox(title);
    auto* form = new QFormLayout(group);
    x = new QLineEdit(ShortText(xValue));
    y = new QLineEdit(ShortText(yValue));
    form->addRow(xLabel, x);
    form->addRow(yLabel, y);
    content()->addWidget(group);
  };
  corner(QStringLiteral("Coin gauche en bas"), QStringLiteral("x min"), Edit1, limits.x1,
         QStringLiteral("y min"), Edit2, limits.y1);
  corner(QStringLiteral("Coin droit en haut"), QStringLiteral("x max"), Edit3, limits.x2,
         QStringLiteral("y max"), Edit4, limits.y2);
  Edit1->setFocus();
  Edit1->selectAll();
}

WorldRect Tw32plotg::Limits() const {
  return WorldRect{ValueOf(Edit1), ValueOf(Edit2), ValueOf(Edit3), ValueOf(Edit4)};
}

}  // namespace plotvue
