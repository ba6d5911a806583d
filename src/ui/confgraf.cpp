#include "ui/confgraf.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "graphics/canvas.h"
#include "graphics/confgraf.h"

namespace plotvue {
namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

HelpCallback HelpTopic(Program& program, int topic) {
  return [&program, topic] {
    if (program.ui->help != nullptr) program.ui->help->ShowHelpTopic(topic);
  };
}

QSize ScreenSize(const QWidget* w) {
  const QScreen* screen = w->screen();
  return screen != nullptr ? screen->geometry().size() : QSize(1280, 1024);
}

}  // namespace

std::int32_t ColourValueOf(const QColor& c) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(c.red()) |
                                   (static_cast<std::uint32_t>(c.green()) << 8) |
                                   (static_cast<std::uint32_t>(c.blue()) << 16));
}

// --- Tconfgraf ---------------------------------------------------------------------------------

Tconfgraf::Tconfgraf(Program& program, QWidget* parent)
    : InputDialog(QStringLiteral("Configuration Graphique"), HelpTopic(program, kConfgrafHelpTopic),
                  parent),
      program_(program) {
  const GraphicsFields f = GraphicsFieldsFrom(program_.settings);

  auto* mode = new QGroupBox(QStringLiteral("Couleur des graphiques"));
  auto* modeLayout = new QHBoxLayout(mode);
  RadioButton_colour = new QRadioButton(QStringLiteral("Couleur"));
  RadioButton_mono = new QRadioButton(QStringLiteral("Monochrome"));
  modeLayout->addWidget(RadioButton_colour);
  modeLayout->addWidget(RadioButton_mono);
  (f.colour ? RadioButton_colour : RadioButton_mono)->setChecked(true);

  auto* size = new QGroupBox(QStringLiteral("Grandeur de la fenêtre"));
  auto* sizeLayout = new QHBoxLayout(size);
  Edit_x = new QLineEdit(Q(f.sizeX));
  Edit_y = new QLineEdit(Q(f.sizeY));
  Button_max = new QPushButton(QStringLiteral("Max."));
  Button_max->setAutoDefault(false);
  sizeLayout->addWidget(new QLabel(QStringLiteral("x")));
  sizeLayout->addWidget(Edit_x);
  sizeLayout->addWidget(new QLabel(QStringLiteral("y")));
  sizeLayout->addWidget(Edit_y);
  sizeLayout->addWidget(Button_max);

  auto* text = new QGroupBox(QStringLiteral("Texte"));
  auto* textLayout = new QFormLayout(text);
  auto* fontRow = new QHBoxLayout;
  Edit_font = new QLineEdit(Q(f.font));
  Edit_font->setMaxLength(static_cast<int>(kScreenFontNameLength));
  Button_font = new QPushButton(QStringLiteral("Font..."));
  Button_font->setAutoDefault(false);
  fontRow->addWidget(Edit_font, 1);
  fontRow->addWidget(Button_font);
  textLayout->addRow(QStringLiteral("Font"), fontRow);
  Edit_textwidth = new QLineEdit(Q(f.textWidth));
  Edit_textheight = new QLineEdit(Q(f.textHeight));
  textLayout->addRow(QStringLiteral("Largeur/hauteur du texte"), Edit_textwidth);
  textLayout->addRow(QStringLiteral("Taille du texte"), Edit_textheight);

  auto* zoom = new QGroupBox(QStringLiteral("Zoom"));
  auto* zoomLayout = new QFormLayout(zoom);
  Edit_zoom = new QLineEdit(Q(f.zoom));
  Edit_pan = new QLineEdit(Q(f.pan));
  zoomLayout->addRow(QStringLiteral("Zoom"), Edit_zoom);
  zoomLayout->addRow(QStringLiteral("Panorama"), Edit_pan);

  auto* background = new QHBoxLayout;
  Button_background = new QPushButton(QStringLiteral("Couleur de l'arrière plan..."));
  Button_background->setAutoDefault(false);
  Panel_background = new QLabel;
  Panel_background->setAlignment(Qt::AlignCenter);
  Panel_background->setMinimumSize(140, 28);
  Panel_background->setAutoFillBackground(true);
  Panel_background->setFrameShape(QFrame::Panel);
  Panel_background->setFrameShadow(QFrame::Sunken);
  background->addWidget(Button_background);
  background->addWidget(Panel_background, 1);

  CheckBox_border = new QCheckBox(QStringLiteral("Bordure"));
  CheckBox_border->setChecked(f.border);

  auto* grid = new QGridLayout;
  grid->addWidget(mode, 0, 0);
  grid->addWidget(size, 0, 1);
  grid->addWidget(text, 1, 0);
  grid->addWidget(zoom, 1, 1);
  grid->addLayout(background, 2, 0, 1, 2);
  grid->addWidget(CheckBox_border, 3, 0);
  content()->addLayout(grid);
  PaintPanel();

  chooseFont = [this](const QString& current) -> std::optional<QString> {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, QFont(current), this);
    if (!ok) return std::nullopt;
    return font.family();
  };
  chooseColour = [this](const QColor& current) -> std::optional<QColor> {
    const QColor c = QColorDialog::getColor(current, this);
    if (!c.isValid()) return std::nullopt;
    return c;
  };
  connect(Button_max, &QPushButton::clicked, this, &Tconfgraf::Button_maxClick);
  connect(Button_font, &QPushButton::clicked, this, &Tconfgraf::Button_fontClick);
  connect(Button_background, &QPushButton::clicked, this, &Tconfgraf::Button_backgroundClick);
}

void Tconfgraf::PaintPanel() {
  const Rgb rgb = RgbFromColourValue(program_.settings.BackgroundColour);
  const QColor colour(rgb.r, rgb.g, rgb.b);
  QPalette palette = Panel_background->palette();
  palette.setColor(QPalette::Window, colour);
  // The size stays readable on a dark background as on a light one.
  palette.setColor(QPalette::WindowText, colour.lightness() < 128 ? Qt::white : Qt::black);
  Panel_background->setPalette(palette);
  const QSize screen = ScreenSize(this);
  Panel_background->setText(QStringLiteral("%1 x %2").arg(screen.width()).arg(screen.height()));
}

void Tconfgraf::Button_maxClick() {
  // The whole screen less the dialog's own frame.
  const QSize screen = ScreenSize(this);
  const int frameW = std::max(0, frameGeometry().width() - width());
  const int frameH = std::max(0, frameGeometry().height() - height());
  Edit_x->setText(QString::number(screen.width() - frameW));
  Edit_y->setText(QString::number(screen.height() - frameH));
}

void Tconfgraf::Button_fontClick() {
  if (!chooseFont) return;
  if (std::optional<QString> family = chooseFont(Edit_font->text())) Edit_font->setText(*family);
}

void Tconfgraf::Button_backgroundClick() {
  if (!chooseColour) return;
  const Rgb rgb = RgbFromColourValue(program_.settings.BackgroundColour);
  if (std::optional<QColor> c = chooseColour(QColor(rgb.r, rgb.g, rgb.b))) {
    // Taken at once: "Annuler" does not give the previous colour back.
    program_.settings.BackgroundColour = ColourValueOf(*c);
    PaintPanel();
  }
}

void Tconfgraf::accept() {
  GraphicsFields f;
  f.colour = RadioButton_colour->isChecked();
  f.sizeX = S(Edit_x->text());
  f.sizeY = S(Edit_y->text());
  f.font = S(Edit_font->text());
  f.textWidth = S(Edit_textwidth->text());
  f.textHeight = S(Edit_textheight->text());
  f.zoom = S(Edit_zoom->text());
  f.pan = S(Edit_pan->text());
  f.border = CheckBox_border->isChecked();
  if (std::optional<std::string> refused = StoreGraphicsFields(f, program_.settings)) {
    program_.ui->ShowError(*refused);
    return;
  }
  InputDialog::accept();
}

void Tconfgraf::reject() {
  program_.ErrorFlag = true;
  InputDialog::reject();
}

// --- TConfColor --------------------------------------------------------------------------------

TConfColor::TConfColor(Program& program, QWidget* parent)
    : InputDialog(QStringLiteral("Couleur"), HelpTopic(program, kConfColorHelpTopic), parent),
      program_(program) {
  const auto fields = PenColourFieldsFrom(program_.settings);
  auto* row = new QHBoxLayout;
  for (int g = 0; g < 2; ++g) {
    auto* group =
        new QGroupBox(g == 0 ? QStringLiteral("Colour 1..8") : QStringLiteral("Colour 9..16"));
    auto* form = new QFormLayout(group);
    for (int k = g * 8; k < g * 8 + 8; ++k) {
      const auto i = static_cast<std::size_t>(k);
      Edit_colour[i] = new QLineEdit(Q(fields[i]));
      Edit_colour[i]->setMaximumWidth(80);
      form->addRow(QString::fromUtf8(kPenColourLabels[i]), Edit_colour[i]);
    }
    row->addWidget(group);
  }
  content()->addLayout(row);
}

void TConfColor::accept() {
  std::array<std::string, kScreenPenSlots> fields;
  for (std::size_t k = 0; k < kScreenPenSlots; ++k) fields[k] = S(Edit_colour[k]->text());
  if (std::optional<std::string> refused = StorePenColourFields(fields, program_.settings)) {
    program_.ui->ShowError(*refused);
    return;
  }
  InputDialog::accept();
}

void TConfColor::reject() {
  program_.ErrorFlag = true;
  InputDialog::reject();
}

// --- TForm_listgraf ----------------------------------------------------------------------------

DisplayListModel::DisplayListModel(const DisplayList& list, QObject* parent)
    : QAbstractTableModel(parent),
      list_(list),
      rows_(static_cast<int>(std::min<std::size_t>(list.Count(), INT_MAX))),
      generation_(list.Generation()) {}

int DisplayListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int DisplayListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 1;
}

QVariant DisplayListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) return {};
  // A list emptied since the model was made shows nothing rather than records that are gone.
  const auto row = static_cast<std::size_t>(index.row());
  if (list_.Generation() != generation_ || row >= list_.Count()) return {};
  ++textsMade_;
  return Q(list_.Text(row));
}

TForm_listgraf::TForm_listgraf(const DisplayList& list, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Element List"));
  auto* layout = new QVBoxLayout(this);
  model_ = new DisplayListModel(list, this);
  ListBox1 = new QTableView;
  // Rows of one height and a column as wide as the view: the view then asks for the texts of the
  // rows it shows and for nothing else.
  ListBox1->horizontalHeader()->hide();
  ListBox1->horizontalHeader()->setStretchLastSection(true);
  ListBox1->verticalHeader()->hide();
  ListBox1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  ListBox1->verticalHeader()->setDefaultSectionSize(ListBox1->fontMetrics().height() + 4);
  ListBox1->setShowGrid(false);
  ListBox1->setWordWrap(false);
  ListBox1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListBox1->setModel(model_);
  ListBox1->setMinimumSize(420, 360);
  layout->addWidget(ListBox1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Button_ok = new QPushButton(QStringLiteral("OK"));
  Button_ok->setDefault(true);
  buttons->addWidget(Button_ok);
  layout->addLayout(buttons);
  connect(Button_ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace plotvue
