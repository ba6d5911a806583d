#include "ui/confdir.h"

#include <QBoxLayout>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>

#include "config/confdir.h"
#include "output/syntax.h"

namespace plotvue {
namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

void ShowTopic(Program& program, int topic) {
  if (program.ui->help != nullptr) program.ui->help->ShowHelpTopic(topic);
}

}  // namespace

// --- TConfDir ----------------------------------------------------------------------------------

TConfDir::TConfDir(Program& program, QWidget* parent)
    : InputDialog(
          QStringLiteral("Config Directory"), [&program] { ShowTopic(program, kConfDirHelpTopic); },
          parent),
      program_(program) {
  const DirectoryFields f = DirectoryFieldsFrom(program_.settings);
  auto* form = new QFormLayout;
  Edit_ext = new QLineEdit(Q(f.ext));
  Edit_ext->setMaxLength(3);
  Edit_ext->setMaximumWidth(60);
  form->addRow(QStringLiteral("Nom du fichier"), Edit_ext);
  auto dirRow = [this, form](const QString& label, const std::string& text, QLineEdit*& edit,
                             QPushButton*& button) {
    auto* row = new QHBoxLayout;
    edit = new QLineEdit(Q(text));
    edit->setMinimumWidth(320);
    button = new QPushButton(QStringLiteral("..."));
    button->setAutoDefault(false);
    button->setMaximumWidth(40);
    row->addWidget(edit, 1);
    row->addWidget(button);
    form->addRow(label, row);
    QLineEdit* target = edit;
    connect(button, &QPushButton::clicked, this, [this, target] { ChooseInto(target); });
  };
  dirRow(QStringLiteral("Annuaire de dessins"), f.grafik, Edit_grafik, Button_grafdir);
  dirRow(QStringLiteral("Annuaire temporaire ou disque virtuel"), f.temp, Edit_temp,
         Button_tempdir);
  dirRow(QStringLiteral("Annuaire d'Aide-Image (plt, dem, hlp)"), f.plt, EDit_plt, Button_pltdir);
  dirRow(QStringLiteral("Annuaire TAVOLIN"), f.exe, Edit_exe, Button_programdir);
  CheckBox_shp = new QCheckBox(QStringLiteral("Charger TXT.SHP ?"));
  CheckBox_shp->setChecked(f.shp);
  form->addRow(QString(), CheckBox_shp);
  content()->addLayout(form);

  chooseDirectory = [this](const QString& preset) -> std::optional<QString> {
    const QString dir = QFileDialog::getExistingDirectory(this, windowTitle(), preset);
    if (dir.isEmpty()) return std::nullopt;
    return dir;
  };
}

void TConfDir::ChooseInto(QLineEdit* edit) {
  if (!chooseDirectory) return;
  const QString preset = Q(DirectoryPreset(S(edit->text())));
  // Cancel keeps the field and is no failure of the dialog.
  if (std::optional<QString> dir = chooseDirectory(preset)) edit->setText(*dir);
}

void TConfDir::accept() {
  DirectoryFields f;
  f.ext = S(Edit_ext->text());
  f.grafik = S(Edit_grafik->text());
  f.temp = S(Edit_temp->text());
  f.plt = S(EDit_plt->text());
  f.exe = S(Edit_exe->text());
  f.shp = CheckBox_shp->isChecked();
  if (std::optional<std::string> refused = StoreDirectoryFields(f, program_.settings)) {
    program_.ui->ShowError(*refused);
    return;
  }
  InputDialog::accept();
}

void TConfDir::reject() {
  program_.ErrorFlag = true;
  InputDialog::reject();
}

// --- TForm_confPentable ------------------------------------------------------------------------

TForm_confPentable::TForm_confPentable(Program& program, QWidget* parent)
    : InputDialog(
          QStringLiteral("Config PenTable"),
          [&program] { ShowTopic(program, PenTableHelpTopic(program.settings.SyntaxCode)); },
          parent),
      program_(program) {
  ComboBox1 = new QComboBox;
  for (const SyntaxInfo& syntax : kSyntaxes) ComboBox1->addItem(QString::fromUtf8(syntax.listName));
  const int code = program_.settings.SyntaxCode;
  ComboBox1->setCurrentIndex(code >= 1 && code <= 12 ? code - 1 : 0);
  StringGrid1 = new QTableWidget(kPenTableRows, 3);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  // All 15 rows in view.
  const int rowHeight = StringGrid1->fontMetrics().height() + 8;
  StringGrid1->verticalHeader()->setDefaultSectionSize(rowHeight);
  StringGrid1->setMinimumSize(
      460, rowHeight * (kPenTableRows + 1) + StringGrid1->horizontalHeader()->sizeHint().height());
  content()->addWidget(ComboBox1);
  content()->addWidget(StringGrid1);
  Button_help2 = AddButton(QStringLiteral("&Aide"));
  // The second "&Aide" stands after the first one.
  for (auto* row : layout()->findChildren<QBoxLayout*>()) {
    if (row->indexOf(helpButton()) < 0) continue;
    row->removeWidget(Button_help2);
    row->insertWidget(row->indexOf(helpButton()) + 1, Button_help2);
  }
  connect(Button_help2, &QPushButton::clicked, this,
          [this] { ShowTopic(program_, kPenTableSpeedHelpTopic); });
  FillGrid();
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm_confPentable::ComboBox1Change);
}

void TForm_confPentable::FillGrid() {
  const int syntax = SelectedSyntax();
  const bool speeds = PenTableHasSpeed(syntax);
  StringGrid1->setHorizontalHeaderLabels(
      {QString::fromUtf8(kPenTableColourHeader), Q(PenTableNumberHeader(syntax)),
       speeds ? QString::fromUtf8(kPenTableSpeedHeader) : QString()});
  const PenTableCells cells = PenTableCellsFrom(program_.settings, syntax);
  for (int row = 0; row < kPenTableRows; ++row) {
    auto* label = new QTableWidgetItem(Q(PenTableRowLabel(row + 1)));
    label->setFlags(label->flags() & ~Qt::ItemIsEditable);
    StringGrid1->setItem(row, 0, label);
    StringGrid1->setItem(row, 1,
                         new QTableWidgetItem(Q(cells.number[static_cast<std::size_t>(row)])));
    auto* speed = new QTableWidgetItem(Q(cells.speed[static_cast<std::size_t>(row)]));
    if (!speeds) speed->setFlags(speed->flags() & ~Qt::ItemIsEditable);
    StringGrid1->setItem(row, 2, speed);
  }
  Button_help2->setVisible(speeds);
}

void TForm_confPentable::ComboBox1Change(int index) {
  // The chosen syntax is taken at once, whether the dialog ends with OK or not.
  if (index >= 0 && index < 12)
    program_.settings.SyntaxCode = static_cast<std::uint16_t>(index + 1);
  FillGrid();
}

QString TForm_confPentable::Cell(int row, int column) const {
  const QTableWidgetItem* item = StringGrid1->item(row, column);
  return item != nullptr ? item->text() : QString();
}

void TForm_confPentable::accept() {
  const int syntax = SelectedSyntax();
  const bool speeds = PenTableHasSpeed(syntax);
  PenTableCells cells;
  QString refused;
  for (int row = 0; row < kPenTableRows; ++row) {
    for (int column = 1; column <= (speeds ? 2 : 1); ++column) {
      const std::string text = S(Cell(row, column));
      if (!PenTableCellValid(text)) {
        // A cell that holds no whole number counts as 0: the user sees which ones first.
        if (!refused.isEmpty()) refused += QStringLiteral(", ");
        refused += QStringLiteral("%1 ligne %2 \"%3\"")
                       .arg(StringGrid1->horizontalHeaderItem(column)->text())
                       .arg(row + 1)
                       .arg(Q(text));
        StringGrid1->item(row, column)->setText(QStringLiteral("0"));
      }
      (column == 1 ? cells.number : cells.speed)[static_cast<std::size_t>(row)] = text;
    }
  }
  if (!refused.isEmpty()) {
    program_.ui->ShowError("Nombre entier attendu : " + S(refused) +
                           ". Ces cases valent 0 ; OK les garde ainsi.");
    return;
  }
  StorePenTableCells(cells, syntax, program_.settings);
  InputDialog::accept();
}

void TForm_confPentable::reject() {
  program_.ErrorFlag = true;
  InputDialog::reject();
}

}  // namespace plotvue
