#include "ui/qtprinter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>
#include <cmath>
#include <cstdio>

namespace plotvue {
namespace {

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }

bool IsPdf(const QPrinter& printer) { return printer.outputFormat() == QPrinter::PdfFormat; }

}  // namespace

QtPrintSurface::QtPrintSurface(QPrinter& printer) : printer_(printer) {}

QtPrintSurface::~QtPrintSurface() { Discard(); }

std::string QtPrintSurface::Name() const {
  if (IsPdf(printer_)) return "PDF " + Utf8(QFileInfo(printer_.outputFileName()).fileName());
  return Utf8(printer_.printerName());
}

Orientation QtPrintSurface::GetOrientation() const {
  return printer_.pageLayout().orientation() == QPageLayout::Portrait ? Orientation::Portrait
                                                                      : Orientation::Landscape;
}

void QtPrintSurface::SetOrientation(Orientation orientation) {
  printer_.setPageOrientation(orientation == Orientation::Portrait ? QPageLayout::Portrait
                                                                   : QPageLayout::Landscape);
}

Canvas* QtPrintSurface::BeginDoc(std::string& error) {
  Discard();
  if (IsPdf(printer_)) {
    target_ = printer_.outputFileName();
    if (target_.isEmpty()) {
      error = "aucun fichier PDF n'est indiqué !";
      return nullptr;
    }
    const QFileInfo info(target_);
    if (info.isDir()) {
      error = Utf8(target_) + " est un répertoire !";
      target_.clear();
      return nullptr;
    }
    partial_ = info.absolutePath() + QStringLiteral("/.") + info.fileName() +
               QStringLiteral(".%1.part").arg(QCoreApplication::applicationPid());
    printer_.setOutputFileName(partial_);
  } else {
    const QString name = printer_.printerName();
    if (!printer_.isValid() || QPrinterInfo::printerInfo(name).isNull()) {
      error = "l'imprimante " + Utf8(name) + " n'est pas disponible !";
      return nullptr;
    }
  }
  const bool begun = painter_.begin(&printer_);
  if (!begun) {
    if (!target_.isEmpty()) printer_.setOutputFileName(target_);
    error = target_.isEmpty()
                ? "l'imprimante " + Utf8(printer_.printerName()) + " n'accepte pas le travail !"
                : "le fichier " + Utf8(target_) + " ne peut pas être écrit !";
    QFile::remove(partial_);
    target_.clear();
    partial_.clear();
    return nullptr;
  }
  // A fresh job starts with the printer's black pen; the page draws in vectors, no image.
  state_ = QtCanvasState{};
  canvas_ = std::make_unique<QtCanvas>(painter_, state_, nullptr, true);
  return canvas_.get();
}

int QtPrintSurface::PageWidth() const { return printer_.width(); }

int QtPrintSurface::PageHeight() const { return printer_.height(); }

bool QtPrintSurface::EndDoc(std::string& error) {
  if (!painter_.isActive()) {
    error = "aucun travail d'impression n'est en cours !";
    return false;
  }
  canvas_.reset();  // draws what it still holds
  const bool ended = painter_.end();
  if (!target_.isEmpty()) printer_.setOutputFileName(target_);
  if (target_.isEmpty()) {
    if (!ended) error = "l'imprimante " + Utf8(printer_.printerName()) + " a refusé la page !";
    return ended;
  }
  const QString target = target_;
  const QString partial = partial_;
  target_.clear();
  partial_.clear();
  if (!ended || QFileInfo(partial).size() <= 0) {
    QFile::remove(partial);
    error = "le fichier " + Utf8(target) + " ne peut pas être écrit !";
    return false;
  }
  // rename(2) replaces an older file of that name in one step.
  if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) !=
      0) {
    QFile::remove(partial);
    error = "le fichier " + Utf8(target) + " ne peut pas être écrit !";
    return false;
  }
  return true;
}

void QtPrintSurface::Discard() {
  canvas_.reset();
  if (painter_.isActive()) {
    if (!target_.isEmpty()) printer_.abort();
    painter_.end();
    if (!target_.isEmpty()) printer_.setOutputFileName(target_);
  }
  if (!partial_.isEmpty()) QFile::remove(partial_);
  target_.clear();
  partial_.clear();
}

void SetUpPdfPrinter(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setResolution(600);
  printer.setFullPage(true);
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                    QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

PrinterCaps CapsOf(QPrinter& printer) {
  PrinterCaps caps;
  const bool pdf = IsPdf(printer);
  caps.name = pdf ? "PDF " + Utf8(QFileInfo(printer.outputFileName()).fileName())
                  : Utf8(printer.printerName());
  caps.technology = pdf ? 5 : 2;
  const QPageLayout layout = printer.pageLayout();
  const QRectF paintMm = layout.paintRect(QPageLayout::Millimeter);
  caps.widthMm = static_cast<int>(std::lround(paintMm.width()));
  caps.heightMm = static_cast<int>(std::lround(paintMm.height()));
  caps.widthPx = printer.width();
  caps.heightPx = printer.height();
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  caps.offsetLeftPx = static_cast<int>(std::lround(page.left() - paper.left()));
  caps.offsetTopPx = static_cast<int>(std::lround(page.top() - paper.top()));
  caps.dpiX = printer.logicalDpiX();
  caps.dpiY = printer.logicalDpiY();
  if (!pdf) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer.printerName());
    if (!info.isNull()) {
      const QList<QPrinter::ColorMode> modes = info.supportedColorModes();
      if (modes.contains(QPrinter::Color))
        caps.colours = 16777216;
      else if (!modes.isEmpty())
        caps.colours = 2;
    }
  } else {
    caps.colours = 16777216;
  }
  return caps;
}

namespace {

// A surface with the printer it draws on: the printer is made first and goes last.
struct PrinterHolder {
  std::unique_ptr<QPrinter> printer;
};
struct OwnedSurface : PrinterHolder, QtPrintSurface {
  explicit OwnedSurface(std::unique_ptr<QPrinter> p)
      : PrinterHolder{std::move(p)}, QtPrintSurface(*PrinterHolder::printer) {}
};

}  // namespace

std::unique_ptr<PrintSurface> QtPrinterProvider::DefaultPrinter() {
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
    if (all.isEmpty()) return nullptr;
    info = all.first();
  }
  return std::make_unique<OwnedSurface>(std::make_unique<QPrinter>(info, QPrinter::HighResolution));
}

std::unique_ptr<PrintSurface> QtPrinterProvider::PdfFile(const std::string& path) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  SetUpPdfPrinter(*printer, QString::fromUtf8(path.c_str()));
  return std::make_unique<OwnedSurface>(std::move(printer));
}

}  // namespace plotvue
