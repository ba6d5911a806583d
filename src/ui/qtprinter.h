// The printer of the print sequence on Qt print support: a QPrinter for a CUPS printer or a PDF
// file, its page drawn in vectors through the QPainter canvas (lines stay lines in a PDF). A PDF
// is written under a temporary name beside the target and renamed into place once complete, so
// that a failed job never leaves a partial file under the target's name.
//
// Also what the printer information dialog shows of a QPrinter, and the printers of a batch run
// (the default printer, else a PDF of one A4 page).
//
// State: the painter and canvas of the job in progress; the QPrinter is the caller's.
#ifndef PLOTVUE_UI_QTPRINTER_H_
#define PLOTVUE_UI_QTPRINTER_H_

#include <QPainter>
#include <QPrinter>
#include <QString>
#include <memory>
#include <string>

#include "app/printing.h"
#include "ui/qtcanvas.h"

namespace plotvue {

class QtPrintSurface : public PrintSurface {
 public:
  explicit QtPrintSurface(QPrinter& printer);
  ~QtPrintSurface() override;

  std::string Name() const override;
  Orientation GetOrientation() const override;
  void SetOrientation(Orientation orientation) override;
  Canvas* BeginDoc(std::string& error) override;
  int PageWidth() const override;
  int PageHeight() const override;
  bool EndDoc(std::string& error) override;

  QPrinter& printer() { return printer_; }

 private:
  // Ends a job that was begun, removing a partial PDF.
  void Discard();

  QPrinter& printer_;
  QPainter painter_;
  QtCanvasState state_;
  std::unique_ptr<QtCanvas> canvas_;
  QString target_;   // the PDF file to write; empty for a printer
  QString partial_;  // the name it is written under until complete
};

// Makes `printer` write one A4 portrait page without margins into the PDF file `path`, at
// 600 dots per inch.
void SetUpPdfPrinter(QPrinter& printer, const QString& path);

// What the platform tells about the printer.
PrinterCaps CapsOf(QPrinter& printer);

// The printers of a batch run: the default CUPS printer (or the first one when none is the
// default), or a PDF file.
class QtPrinterProvider : public PrinterProvider {
 public:
  std::unique_ptr<PrintSurface> DefaultPrinter() override;
  std::unique_ptr<PrintSurface> PdfFile(const std::string& path) override;
};

}  // namespace plotvue

#endif  // PLOTVUE_UI_QTPRINTER_H_
