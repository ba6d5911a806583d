#include "ui/aboutbox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "graphics/show.h"

namespace plotvue {

TAboutBox::TAboutBox(Program& program, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("A propos de ") + QString::fromLatin1(kProgramName));
  logo_ = new TFtavogra(this);
  logo_->SetClientSize(QSize(220, 190));
  logo_->setFixedSize(220, 190);
  logo_->SetBackground(Qt::black);
  window_ = std::make_unique<GraphicsWindow>(program, *logo_);
  window_->SetGraphSize(219, 189);
  device_ = std::make_unique<DrawDevice>(program, *window_);
  logo_->SetGraphicsWindow(window_.get());
  ShowStartupLogo(*device_);
  device_->DevArrowCursor();

  ProductName = new QLabel(QStringLiteral("<b style='font-size:16pt'>%1</b>")
                               .arg(QString::fromLatin1(kProgramName)));
  Version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(kProgramVersion));
  Comments = new QLabel(QString::fromUtf8(
      "Visualise, imprime, trace et convertit les fichiers de tracé HP-GL et HP-GL/2."));
  Comments->setWordWrap(true);
  auto* text = new QVBoxLayout;
  text->addWidget(ProductName);
  text->addWidget(Version);
  text->addSpacing(8);
  text->addWidget(Comments);
  text->addStretch(1);
  auto* row = new QHBoxLayout;
  row->addWidget(logo_);
  row->addLayout(text, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  setMinimumWidth(520);
}

TAboutBox::~TAboutBox() = default;

}  // namespace plotvue
