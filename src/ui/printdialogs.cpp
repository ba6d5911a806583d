#include "ui/printdialogs.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qtcanvas.h"
#include "ui/tavogra.h"

namespace plotvue {
namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

// A radio group of two items in a titled box.
QButtonGroup* TwoRadios(QWidget* owner, QBoxLayout* into, const QString& title, const QString& a,
                        const QString& b) {
  auto* box = new QGroupBox(title);
  auto* layout = new QVBoxLayout(box);
  auto* group = new QButtonGroup(owner);
  int id = 0;
  for (const QString& text : {a, b}) {
    auto* radio = new QRadioButton(text);
    layout->addWidget(radio);
    group->addButton(radio, id++);
  }
  into->addWidget(box);
  return group;
}

void Check(QButtonGroup* group, int id) {
  if (QAbstractButton* b = group->button(id)) b->setChecked(true);
}

// The fields the print dialog and the printer settings dialog share: scales, origins, border
// and colour mode.
template <class Dialog>
void ShowSharedFields(Dialog& d, const PrintFields& f) {
  d.Edit_scaleX->setText(Q(f.scaleX));
  d.Edit_scaleY->setText(Q(f.scaleY));
  d.Edit_originX->setText(Q(f.originX));
  d.Edit_originY->setText(Q(f.originY));
  d.CheckBox_border->setChecked(f.border);
  Check(d.RadioGroup_colour, f.colourItem);
}

template <class Dialog>
PrintFields SharedFields(const Dialog& d) {
  PrintFields f;
  f.scaleX = S(d.Edit_scaleX->text());
  f.scaleY = S(d.Edit_scaleY->text());
  f.originX = S(d.Edit_originX->text());
  f.originY = S(d.Edit_originY->text());
  f.border = d.CheckBox_border->isChecked();
  f.colourItem = d.RadioGroup_colour->checkedId() == 1 ? 1 : 0;
  return f;
}

}  // namespace

// --- TForm_printconf
// -------------------------------------------------------------------------------

TForm_printconf::TForm_printconf(Program& program, const PrintSaved& saved, PrintSurface& printer,
                                 std::function<bool()> choosePrinter,
                                 std::function<void()> showInfo, std::function<void()> fit,
                                 std::function<void()> print, HelpCallback help, QWidget* parent)
    : InputDialog(QStringLiteral("Impression"), std::move(help), parent),
      program_(program),
      printer_(printer),
      choosePrinter_(std::move(choosePrinter)),
      fit_(std::move(fit)),
      print_(std::move(print)) {
  auto* grid = new QGridLayout;
  auto edit = [&](int row, int column, const QString& label) {
    grid->addWidget(new QLabel(label), row, column * 2);
    auto* e = new QLineEdit;
    e->setMaximumWidth(110);
    grid->addWidget(e, row, column * 2 + 1);
    return e;
  };
  Edit_scaleX = edit(0, 0, QStringLiteral("échelle x"));
  Edit_scaleY = edit(1, 0, QStringLiteral("échelle y"));
  Edit_originX = edit(0, 1, QStringLiteral("Point zero x"));
  Edit_originY = edit(1, 1, QStringLiteral("Point zero y"));
  content()->addLayout(grid);

  auto* checks = new QHBoxLayout;
  CheckBox_border = new QCheckBox(QStringLiteral("Bordure"));
  CheckBox_fit = new QCheckBox(QStringLiteral("ajuster"));
  checks->addWidget(CheckBox_border);
  checks->addWidget(CheckBox_fit);
  checks->addStretch(1);
  content()->addLayout(checks);

  auto* radios = new QHBoxLayout;
  RadioGroup_colour =
      TwoRadios(this, radios, QStringLiteral("ombrage"), QStringLiteral("Monochrome"),
                QStringLiteral("Couleur / nuance de gris"));
  RadioGroup_orientation = TwoRadios(this, radios, QStringLiteral("Orientation"),
                                     QStringLiteral("Portrait"), QStringLiteral("Paysage"));
  content()->addLayout(radios);

  auto* printerRow = new QHBoxLayout;
  Button_printer = new QPushButton(QStringLiteral("Imprimante..."));
  Button_printer->setAutoDefault(false);
  Button_info = new QPushButton(QStringLiteral("&Info..."));
  Button_info->setAutoDefault(false);
  Label_printer = new QLabel;
  Label_printer->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  Label_printer->setFrameShape(QFrame::Panel);
  Label_printer->setFrameShadow(QFrame::Sunken);
  printerRow->addWidget(Button_printer);
  printerRow->addWidget(Label_printer, 1);
  printerRow->addWidget(Button_info);
  content()->addLayout(printerRow);

  // Opening: the saved values become the current ones, the printer takes the saved orientation.
  const PrintFields f = OpenPrintDialog(saved, program_.settings, printer_);
  ShowSharedFields(*this, f);
  CheckBox_fit->setChecked(false);
  Check(RadioGroup_orientation, f.orientationItem);
  ShowPrinter();

  connect(Button_printer, &QPushButton::clicked, this, [this] {
    if (choosePrinter_ && choosePrinter_()) ShowPrinter();
  });
  connect(Button_info, &QPushButton::clicked, this, [showInfo] {
    if (showInfo) showInfo();
  });
}

void TForm_printconf::ShowPrinter() {
  Label_printer->setText(Q(PrinterNameField(printer_.Name())));
  Check(RadioGroup_orientation, printer_.GetOrientation() == Orientation::Portrait ? 0 : 1);
}

PrintFields TForm_printconf::Fields() const {
  PrintFields f = SharedFields(*this);
  f.orientationItem = RadioGroup_orientation->checkedId() == 1 ? 1 : 0;
  return f;
}

void TForm_printconf::accept() {
  program_.ErrorFlag = false;
  const PrintFields f = Fields();
  TakePrintFields(f, program_.settings);
  printer_.SetOrientation(f.orientationItem == 1 ? Orientation::Landscape : Orientation::Portrait);
  if (CheckBox_fit->isChecked() && fit_) fit_();
  if (print_) print_();
  QDialog::accept();
}

void TForm_printconf::reject() {
  program_.ErrorFlag = true;
  QDialog::reject();
}

// --- Tconfprin
// -------------------------------------------------------------------------------------

Tconfprin::Tconfprin(Program& program, HelpCallback help, QWidget* parent)
    : InputDialog(QStringLiteral("Configuration Impression"), std::move(help), parent),
      program_(program) {
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Echelle x")), 0, 0);
  Edit_scaleX = new QLineEdit;
  grid->addWidget(Edit_scaleX, 0, 1);
  Button_copy = new QPushButton(QStringLiteral("<"));
  Button_copy->setAutoDefault(false);
  Button_copy->setMaximumWidth(30);
  grid->addWidget(Button_copy, 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Echelle y")), 0, 3);
  Edit_scaleY = new QLineEdit;
  grid->addWidget(Edit_scaleY, 0, 4);
  content()->addLayout(grid);

  auto* origin = new QGroupBox(QStringLiteral("Origine"));
  auto* originLayout = new QHBoxLayout(origin);
  originLayout->addWidget(new QLabel(QStringLiteral("x")));
  Edit_originX = new QLineEdit;
  originLayout->addWidget(Edit_originX);
  originLayout->addWidget(new QLabel(QStringLiteral("y")));
  Edit_originY = new QLineEdit;
  originLayout->addWidget(Edit_originY);
  content()->addWidget(origin);

  auto* row = new QHBoxLayout;
  CheckBox_border = new QCheckBox(QStringLiteral("Contour"));
  row->addWidget(CheckBox_border);
  RadioGroup_colour = TwoRadios(this, row, QStringLiteral("Ombrage"), QStringLiteral("Monochrome"),
                                QStringLiteral("Couleur / Niveau de gris"));
  content()->addLayout(row);

  ShowSharedFields(*this, FieldsFromSettings(program_.settings, Orientation::Portrait));
  connect(Button_copy, &QPushButton::clicked, this,
          [this] { Edit_scaleY->setText(Edit_scaleX->text()); });
}

PrintFields Tconfprin::Fields() const { return SharedFields(*this); }

void Tconfprin::accept() {
  TakePrintFields(Fields(), program_.settings);
  QDialog::accept();
}

void Tconfprin::reject() {
  program_.ErrorFlag = true;
  QDialog::reject();
}

// --- TForm_printerinfo
// -----------------------------------------------------------------------------

TForm_printerinfo::TForm_printerinfo(const PrinterCaps& caps, QWidget* parent) : QDialog(parent) {
  setWindowTitle(Q(caps.name));
  auto* layout = new QVBoxLayout(this);
  const auto rows = PrinterInfoRows(caps);
  StringGrid = new QTableWidget(static_cast<int>(rows.size()), 2);
  StringGrid->horizontalHeader()->hide();
  StringGrid->verticalHeader()->hide();
  StringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    StringGrid->setItem(r, 0, new QTableWidgetItem(Q(rows[static_cast<std::size_t>(r)].first)));
    StringGrid->setItem(r, 1, new QTableWidgetItem(Q(rows[static_cast<std::size_t>(r)].second)));
  }
  StringGrid->resizeColumnsToContents();
  StringGrid->horizontalHeader()->setStretchLastSection(true);
  StringGrid->setMinimumSize(420, 440);
  layout->addWidget(StringGrid);
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  layout->addLayout(buttons);
}

// --- PrintCommands
// ---------------------------------------------------------------------------------

PrintCommands::PrintCommands(Program& program, TFtavogra& window, HelpCallback help)
    : program_(program), window_(window), help_(std::move(help)) {
  // The saved values of this run: the print settings of the settings file.
  saved_ = SavedFromSettings(program_.settings);
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull() && !QPrinterInfo::availablePrinters().isEmpty())
    info = QPrinterInfo::availablePrinters().first();
  if (info.isNull()) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    SetUpPdfPrinter(*printer_, QString());
  } else {
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  }
  surface_ = std::make_unique<QtPrintSurface>(*printer_);
  choosePrinter = [](QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  };
}

PrintCommands::~PrintCommands() = default;

void PrintCommands::PreparePdfTarget() {
  if (printer_->outputFormat() != QPrinter::PdfFormat) return;
  // A file the user chose stays; the one chosen here follows the current plot file.
  const QString current = printer_->outputFileName();
  if (!current.isEmpty() && current != autoTarget_) return;
  autoTarget_ = Q(PdfPathBeside(program_.file));
  printer_->setOutputFileName(autoTarget_);
}

bool PrintCommands::PrintNow() {
  GraphicsWindow* window = window_.graphicsWindow();
  if (!window) return false;
  PreparePdfTarget();
  // The window's replay goes to a picture of its own; the widget shows a fresh one afterwards.
  const QSize size = window_.size().isEmpty() ? QSize(1, 1) : window_.size();
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(Qt::black);
  QtCanvasState state;
  bool printed = false;
  {
    QPainter painter(&picture);
    QtCanvas screen(painter, state, &picture);
    printed = PrintSequence(program_, *window, screen, *surface_);
  }
  window_.Invalidate();
  return printed;
}

bool PrintCommands::Print(QWidget* parent, const std::function<void(TForm_printconf&)>& hook) {
  program_.ErrorFlag = false;
  PreparePdfTarget();
  bool printed = false;
  GraphicsWindow* window = window_.graphicsWindow();
  TForm_printconf dialog(
      program_, saved_, *surface_,
      [this, parent] { return choosePrinter && choosePrinter(*printer_, parent); },
      [this, parent] {
        TForm_printerinfo info(CapsOf(*printer_), parent);
        info.exec();
      },
      [window] {
        if (window) FitWholeDrawing(*window);
      },
      [this, &printed] { printed = PrintNow(); }, help_, parent);
  // A test's hook answers the dialog itself (accept or reject) instead of the user.
  if (hook)
    hook(dialog);
  else
    dialog.exec();
  return printed;
}

void PrintCommands::PrinterSettings(QWidget* parent, const std::function<void(Tconfprin&)>& hook) {
  program_.ErrorFlag = false;
  Tconfprin dialog(program_, help_, parent);
  if (hook) {
    hook(dialog);
    return;
  }
  dialog.exec();
}

}  // namespace plotvue
