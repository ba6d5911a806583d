#include "ui/convertdialogs.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <utility>

#include "output/syntax.h"

namespace plotvue {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QLineEdit* e) { return e->text().toStdString(); }

}  // namespace

Tplotkonvert::Tplotkonvert(Settings& settings, HelpCallback help, QWidget* parent)
    : InputDialog(QString::fromLatin1(kProgramName), std::move(help), parent),
      settings_(settings) {
  const ConverterFields f = ConverterFieldsFrom(settings);
  auto* columns = new QHBoxLayout;
  content()->addLayout(columns);

  auto* syntaxBox = new QGroupBox(QStringLiteral("Code de sortie   : "));
  auto* syntaxLayout = new QVBoxLayout(syntaxBox);
  syntaxGroup = new QButtonGroup(this);
  for (int k = 0; k < 12; ++k) {
    auto* radio = new QRadioButton(QString::fromUtf8(kSyntaxes[static_cast<std::size_t>(k)].dialogName));
    syntaxGroup->addButton(radio, k);
    syntaxLayout->addWidget(radio);
  }
  syntaxGroup->button(f.syntaxItem)->setChecked(true);
  columns->addWidget(syntaxBox);

  auto* right = new QVBoxLayout;
  columns->addLayout(right);
  auto* deviceBox = new QGroupBox(QStringLiteral("appareil de sortie "));
  auto* deviceLayout = new QGridLayout(deviceBox);
  deviceGroup = new QButtonGroup(this);
  Edit_com = new QLineEdit(Q(f.com));
  Edit_lpt = new QLineEdit(Q(f.lpt));
  Edit_file = new QLineEdit(Q(f.file));
  QLineEdit* fields[3] = {Edit_com, Edit_lpt, Edit_file};
  for (int k = 0; k < 3; ++k) {
    auto* radio = new QRadioButton(QString::fromUtf8(kDeviceNames[static_cast<std::size_t>(k)]));
    deviceGroup->addButton(radio, k);
    deviceLayout->addWidget(radio, k, 0);
    deviceLayout->addWidget(fields[k], k, 1);
  }
  deviceGroup->button(f.deviceItem)->setChecked(true);
  right->addWidget(deviceBox);

  auto* numbers = new QFormLayout;
  Edit_scale = new QLineEdit(Q(f.plotScale));
  Edit_width = new QLineEdit(Q(f.widthFactor));
  Edit_x = new QLineEdit(Q(f.originX));
  Edit_y = new QLineEdit(Q(f.originY));
  numbers->addRow(QStringLiteral("Echelle «tracer»"), Edit_scale);
  numbers->addRow(QStringLiteral("Largeur/hauteur du texte"), Edit_width);
  numbers->addRow(QStringLiteral("Décalage x"), Edit_x);
  numbers->addRow(QStringLiteral("Décalage y"), Edit_y);
  right->addLayout(numbers);
  right->addStretch(1);

  Button_config = AddButton(QStringLiteral("&Configuration"));
  connect(deviceGroup, &QButtonGroup::idClicked, this, [this] { UpdateDeviceFields(); });
  UpdateDeviceFields();

  // OK and Configuration take the fields over; Annuler leaves the settings as they are.
  disconnect(okButton(), nullptr, this, nullptr);
  connect(okButton(), &QPushButton::clicked, this, [this] {
    TakeConverterFields(Fields(), settings_);
    accept();
  });
  connect(Button_config, &QPushButton::clicked, this, [this] {
    TakeConverterFields(Fields(), settings_);
    done(kConfigurationRequest);
  });
}

ConverterFields Tplotkonvert::Fields() const {
  ConverterFields f;
  f.syntaxItem = std::max(0, syntaxGroup->checkedId());
  f.deviceItem = std::max(0, deviceGroup->checkedId());
  f.plotScale = S(Edit_scale);
  f.widthFactor = S(Edit_width);
  f.originX = S(Edit_x);
  f.originY = S(Edit_y);
  f.com = S(Edit_com);
  f.lpt = S(Edit_lpt);
  f.file = S(Edit_file);
  return f;
}

void Tplotkonvert::UpdateDeviceFields() {
  const DeviceField field = FieldOfDevice(std::max(0, deviceGroup->checkedId()));
  Edit_com->setEnabled(field == DeviceField::Com);
  Edit_lpt->setEnabled(field == DeviceField::Lpt);
  Edit_file->setEnabled(field == DeviceField::File);
}

Tfhpvplot::Tfhpvplot(PlotterChoice& choice, HelpCallback help, QWidget* parent)
    : InputDialog(QStringLiteral("HP-GL Plotter"), std::move(help), parent), choice_(choice) {
  auto* deviceBox = new QGroupBox(QStringLiteral("HP-GL Device"));
  auto* deviceLayout = new QVBoxLayout(deviceBox);
  deviceGroup = new QButtonGroup(this);
  const char* kinds[2] = {"HP-GL  Plotter", "HP-GL Laserprinter"};
  for (int k = 1; k <= 2; ++k) {
    auto* radio = new QRadioButton(QString::fromLatin1(kinds[k - 1]));
    deviceGroup->addButton(radio, k);
    deviceLayout->addWidget(radio);
  }
  content()->addWidget(deviceBox);

  auto* portBox = new QGroupBox(QStringLiteral("Interface"));
  auto* portLayout = new QGridLayout(portBox);
  portGroup = new QButtonGroup(this);
  for (int code = 1; code <= 8; ++code) {
    auto* radio = new QRadioButton(Q(PlotPortName(code)));
    portGroup->addButton(radio, code);
    portLayout->addWidget(radio, (code - 1) % 4, (code - 1) / 4);
  }
  content()->addWidget(portBox);

  QAbstractButton* kind = deviceGroup->button(choice.deviceKind);
  (kind ? kind : deviceGroup->button(2))->setChecked(true);
  QAbstractButton* port = portGroup->button(choice.portCode);
  (port ? port : portGroup->button(1))->setChecked(true);

  disconnect(okButton(), nullptr, this, nullptr);
  connect(okButton(), &QPushButton::clicked, this, [this] {
    choice_.deviceKind = deviceGroup->checkedId();
    choice_.portCode = portGroup->checkedId();
    accept();
  });
}

}  // namespace plotvue
