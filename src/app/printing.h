// Printing: the print settings, what the print dialog (TForm_printconf), the printer settings
// dialog (Tconfprin) and the printer information dialog (TForm_printerinfo) show and store, and
// the print sequence that replays the graphics window's display list onto a printer page with
// PrintMirror set. Also the command-line print step of a batch run (/G).
//
// The current print settings are fields of the settings: ScreendumpScale (scale x),
// PrintScaleVertical (scale y), ScreendumpOriginX and ScreendumpOriginY (origin, mm),
// ScreendumpBorder (the border frame) and WindowsPrintMode (1 monochrome, 2 colour). The values
// the print dialog starts from (PrintSaved) are the caller's, taken from the settings at
// start-up. The printer itself comes through a PrintSurface: the window layer implements it with
// Qt print support (a CUPS printer or a PDF file), tests with a recording canvas.
//
// State: none of its own; the saved values and the printer belong to the caller.
#ifndef PLOTVUE_APP_PRINTING_H_
#define PLOTVUE_APP_PRINTING_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/program.h"
#include "graphics/canvas.h"
#include "graphics/device.h"
#include "graphics/raredova.h"

namespace plotvue {

enum class Orientation { Portrait = 0, Landscape = 1 };

// The values the print dialog copies into the current settings every time it opens.
struct PrintSaved {
  long double scaleX = 1.0L;
  long double scaleY = 1.0L;
  int originX = 0;
  int originY = 0;
  bool border = false;
  // 1 portrait, any other value landscape.
  int orientation = 2;
};

// The saved values of a program start: the print settings read from the settings file, with the
// built-in landscape orientation.
PrintSaved SavedFromSettings(const Settings& s);

// The printer as the print sequence and the dialogs see it.
class PrintSurface {
 public:
  virtual ~PrintSurface() = default;
  // The printer's name as the print dialog shows it.
  virtual std::string Name() const = 0;
  virtual Orientation GetOrientation() const = 0;
  virtual void SetOrientation(Orientation orientation) = 0;
  // Starts a print job of one page: the page's canvas, or null with the reason in `error`.
  virtual Canvas* BeginDoc(std::string& error) = 0;
  // The page in printer pixels at the orientation in force; valid after BeginDoc.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  // Ends the job and sends the page; false, with the reason in `error`, when the page could not
  // be delivered (nothing is then left behind as printed).
  virtual bool EndDoc(std::string& error) = 0;
};

// A canvas that draws nothing: the window of a print run without a window.
class NullCanvas : public Canvas {
 public:
  void SetPenColour(Rgb) override {}
  void SetPenWidth(int) override {}
  void SetPenStyle(PenStyle) override {}
  void SetPenMode(PenMode) override {}
  void SetBrushColour(Rgb) override {}
  void SetBrushStyle(BrushStyle) override {}
  void SetTextColour(Rgb) override {}
  void MoveTo(int, int) override {}
  void LineTo(int, int) override {}
  void Ellipse(int, int, int, int) override {}
  void Arc(int, int, int, int, int, int, int, int) override {}
  void Polygon(const PixelPoint*, int) override {}
  void TextOut(int, int, const TextFont&, const std::string&) override {}
};

// --- Dialog fields
// ---------------------------------------------------------------------------------

// The fields of the print dialog and of the printer settings dialog as texts and items.
struct PrintFields {
  std::string scaleX;
  std::string scaleY;
  std::string originX;
  std::string originY;
  bool border = false;
  int colourItem = 0;       // print colour mode - 1
  int orientationItem = 1;  // 0 portrait, 1 landscape (print dialog only)
};

// A scale as its field shows it: "0" below a magnitude of 0.00001, else up to 7 significant
// digits with "." as the decimal point.
std::string ScaleFieldText(long double scale);

// The fields from the current print settings and the printer's orientation.
PrintFields FieldsFromSettings(const Settings& s, Orientation orientation);

// Takes the fields into the current print settings: scales through TextToFloat (the first ","
// counts as the decimal point, no number gives 0), origins through TextToInt, the border, the
// print colour mode (item + 1). The orientation is the caller's (print dialog only).
void TakePrintFields(const PrintFields& fields, Settings& s);

// Opening the print dialog: the saved values become the current ones and the printer takes the
// saved orientation. Returns the fields to show.
PrintFields OpenPrintDialog(const PrintSaved& saved, Settings& s, PrintSurface& printer);

// The printer's name in the print dialog's 40-character field: right-aligned when shorter, cut
// when longer (counted in characters, not bytes).
std::string PrinterNameField(const std::string& name);

// --- Printer information
// ---------------------------------------------------------------------------

// What the platform tells about a printer; an empty value is shown as "?".
struct PrinterCaps {
  std::string name;
  std::optional<int> driverVersion;
  std::optional<int> technology;  // 0 plotter .. 5 metafile
  std::optional<int> widthMm, heightMm;
  std::optional<int> widthPx, heightPx;
  std::optional<int> offsetLeftPx, offsetTopPx;
  std::optional<int> dpiX, dpiY;
  std::optional<int> brushes, pens, markers, colours, fonts;
  std::vector<std::string> fontNames;
};

// The technology name of a technology code: 0 "Plotter", 1 "Rasterbildschirm", 2
// "Rasterdrucker", 3 "?", 4 "Zeichendrucker", 5 "Metafile"; "?" for any other.
std::string TechnologyName(int code);

// The rows of the printer information grid: label and value, then one row per printer font
// with an empty label.
std::vector<std::pair<std::string, std::string>> PrinterInfoRows(const PrinterCaps& caps);

// --- Printing
// --------------------------------------------------------------------------------------

// The page of the printer transforms: PW and PH with the print origin and scales of `s`.
PrintPage PageOf(const Settings& s, int pageWidth, int pageHeight);

// "ajuster": the whole drawing (RestoreLimit, ResetZoom, ReSetWindow, ClearViewPort).
void FitWholeDrawing(GraphicsWindow& window);

// The print sequence: the list on `screen` alone, then with PrintMirror set on the screen and on
// one page of `printer`, which is then sent. A job that cannot start or whose page cannot be
// delivered sets ErrorFlag and shows "Erreur d'impression : " and the reason. Returns true when
// the page was sent.
bool PrintSequence(Program& program, GraphicsWindow& window, Canvas& screen, PrintSurface& printer);

// Command-line printing of the current file after its scan: the drawing is built with a print
// run of the interpreter into `device`'s window, printed with the current settings, and the
// pending key action becomes 27. Returns true when it was printed.
bool PrintCurrentFile(Program& program, DrawDevice& device, Canvas& screen, PrintSurface& printer);

// Where a batch run prints.
class PrinterProvider {
 public:
  virtual ~PrinterProvider() = default;
  // The default printer, or null when the machine has none.
  virtual std::unique_ptr<PrintSurface> DefaultPrinter() = 0;
  // A PDF file of one A4 page at `path`.
  virtual std::unique_ptr<PrintSurface> PdfFile(const std::string& path) = 0;
};

// The PDF file of a plot file on a machine without printers: "<base name>.pdf" beside it.
std::string PdfPathBeside(const CurrentFile& file);

// The /G step of a batch run: each file on the default printer; with no printer, into the PDF
// beside the plot file, with a message naming it. Keeps its own graphics window (never shown)
// for the whole run.
std::function<bool(Program&)> MakeBatchPrintStep(std::shared_ptr<PrinterProvider> provider);

}  // namespace plotvue

#endif  // PLOTVUE_APP_PRINTING_H_
