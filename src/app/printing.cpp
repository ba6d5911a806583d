#include "app/printing.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "base/textnum.h"
#include "graphics/show.h"
#include "input/hpin.h"

namespace plotvue {
namespace {

std::string Known(const std::optional<int>& value) {
  return value ? std::to_string(*value) : std::string("?");
}

// Number of characters of a UTF-8 text and the byte offset of character `n`.
std::size_t Utf8Length(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0u) != 0x80u) ++n;
  return n;
}

std::size_t Utf8Offset(const std::string& s, std::size_t n) {
  std::size_t chars = 0;
  for (std::size_t k = 0; k < s.size(); ++k) {
    if ((static_cast<unsigned char>(s[k]) & 0xC0u) != 0x80u) {
      if (chars == n) return k;
      ++chars;
    }
  }
  return s.size();
}

}  // namespace

PrintSaved SavedFromSettings(const Settings& s) {
  PrintSaved saved;
  saved.scaleX = s.ScreendumpScale;
  saved.scaleY = s.PrintScaleVertical;
  saved.originX = s.ScreendumpOriginX;
  saved.originY = s.ScreendumpOriginY;
  saved.border = s.ScreendumpBorder;
  return saved;
}

// --- Dialog fields
// ---------------------------------------------------------------------------------

std::string ScaleFieldText(long double scale) {
  if (!std::isfinite(scale) || std::fabs(scale) < 0.00001L) return "0";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.7Lg", scale);
  return buffer;
}

PrintFields FieldsFromSettings(const Settings& s, Orientation orientation) {
  PrintFields f;
  f.scaleX = ScaleFieldText(s.ScreendumpScale);
  f.scaleY = ScaleFieldText(s.PrintScaleVertical);
  f.originX = std::to_string(s.ScreendumpOriginX);
  f.originY = std::to_string(s.ScreendumpOriginY);
  f.border = s.ScreendumpBorder;
  f.colourItem = s.WindowsPrintMode == 2 ? 1 : 0;
  f.orientationItem = orientation == Orientation::Portrait ? 0 : 1;
  return f;
}

void TakePrintFields(const PrintFields& f, Settings& s) {
  s.ScreendumpScale = TextToFloat(f.scaleX);
  s.PrintScaleVertical = TextToFloat(f.scaleY);
  s.ScreendumpOriginX = TextToInt(f.originX);
  s.ScreendumpOriginY = TextToInt(f.originY);
  s.ScreendumpBorder = f.border;
  s.WindowsPrintMode = static_cast<std::uint16_t>(f.colourItem + 1);
}

PrintFields OpenPrintDialog(const PrintSaved& saved, Settings& s, PrintSurface& printer) {
  s.ScreendumpScale = saved.scaleX;
  s.PrintScaleVertical = saved.scaleY;
  s.ScreendumpOriginX = saved.originX;
  s.ScreendumpOriginY = saved.originY;
  s.ScreendumpBorder = saved.border;
  printer.SetOrientation(saved.orientation == 1 ? Orientation::Portrait : Orientation::Landscape);
  return FieldsFromSettings(s, printer.GetOrientation());
}

std::string PrinterNameField(const std::string& name) {
  constexpr std::size_t kWidth = 40;
  const std::size_t length = Utf8Length(name);
  if (length >= kWidth) return name.substr(0, Utf8Offset(name, kWidth));
  return std::string(kWidth - length, ' ') + name;
}

// --- Printer information
// ---------------------------------------------------------------------------

std::string TechnologyName(int code) {
  switch (code) {
    case 0:
      return "Plotter";
    case 1:
      return "Rasterbildschirm";
    case 2:
      return "Rasterdrucker";
    case 4:
      return "Zeichendrucker";
    case 5:
      return "Metafile";
    default:
      return "?";
  }
}

std::vector<std::pair<std::string, std::string>> PrinterInfoRows(const PrinterCaps& c) {
  std::vector<std::pair<std::string, std::string>> rows = {
      {"Name", c.name.empty() ? "?" : c.name},
      {"Treiberversion", Known(c.driverVersion)},
      {"Technologie", c.technology ? TechnologyName(*c.technology) : "?"},
      {"Druckbreite (mm)", Known(c.widthMm)},
      {"Druckhöhe (mm)", Known(c.heightMm)},
      {"Breite (Pixel)", Known(c.widthPx)},
      {"Höhe (Pixel)", Known(c.heightPx)},
      {"Linker Seitenoffset (Pixel)", Known(c.offsetLeftPx)},
      {"Oberer Seitenoffset (Pixel)", Known(c.offsetTopPx)},
      {"DPI (horizontal)", Known(c.dpiX)},
      {"DPI (vertikal)", Known(c.dpiY)},
      {"Pinsel", Known(c.brushes)},
      {"Stifte", Known(c.pens)},
      {"Markierer", Known(c.markers)},
      {"Farben", Known(c.colours)},
      {"Schriften", Known(c.fonts)},
  };
  for (const std::string& font : c.fontNames) rows.emplace_back("", font);
  return rows;
}

// --- Printing
// --------------------------------------------------------------------------------------

PrintPage PageOf(const Settings& s, int pageWidth, int pageHeight) {
  PrintPage page;
  page.PW = pageWidth;
  page.PH = pageHeight;
  page.ox = s.ScreendumpOriginX;
  page.oy = s.ScreendumpOriginY;
  page.sx = s.ScreendumpScale;
  page.sy = s.PrintScaleVertical;
  return page;
}

void FitWholeDrawing(GraphicsWindow& window) {
  window.RestoreLimit();
  window.ResetZoom();
  window.ReSetWindow();
  window.ClearViewPort();
}

bool PrintSequence(Program& program, GraphicsWindow& window, Canvas& screen,
                   PrintSurface& printer) {
  auto fail = [&program](const std::string& reason) {
    program.ErrorFlag = true;
    program.ui->ShowError("Erreur d'impression : " + reason);
    return false;
  };
  window.FormPaint(screen);
  window.SetPrintMirror(true);
  std::string error;
  Canvas* page = printer.BeginDoc(error);
  if (!page) {
    window.SetPrintMirror(false);
    return fail(error);
  }
  const PrintPage pg = PageOf(program.settings, printer.PageWidth(), printer.PageHeight());
  window.FormPaint(screen, page, &pg);
  window.SetPrintMirror(false);
  // A job that was begun is always ended.
  if (!printer.EndDoc(error)) return fail(error);
  return true;
}

bool PrintCurrentFile(Program& program, DrawDevice& device, Canvas& screen, PrintSurface& printer) {
  ExtentsToWindow(program, device);
  device.DevSaveLimit();
  device.DevClear();
  const WorldRect w = DrawingLimits(program.extents);
  device.DevHeader(w.x1, w.y1, w.x2, w.y2);
  RunInterpreter(program, RunMode::Print, RunTargets{nullptr, &device});
  if (program.ErrorFlag || program.RunFailed || program.StopRequested) {
    program.ErrorFlag = true;
    return false;
  }
  const bool printed = PrintSequence(program, device.window(), screen, printer);
  device.window().SetPendingAction(static_cast<char>(kVkEscape), 0);
  return printed;
}

std::string PdfPathBeside(const CurrentFile& file) {
  CurrentFile pdf = file;
  pdf.ext = "pdf";
  return pdf.Path();
}

std::function<bool(Program&)> MakeBatchPrintStep(std::shared_ptr<PrinterProvider> provider) {
  // The window of the run: built anew for each file, never shown.
  struct State {
    explicit State(Program& p) : window(p, host), device(p, window) {}
    NullWindowHost host;
    GraphicsWindow window;
    DrawDevice device;
    NullCanvas screen;
  };
  auto state = std::make_shared<std::unique_ptr<State>>();
  return [provider, state](Program& program) {
    if (!*state || &(*state)->window.program() != &program)
      *state = std::make_unique<State>(program);
    State& st = **state;
    st.window.SetGraphSize(program.settings.ScreenWidthPx, program.settings.ScreenHeightPx);
    std::unique_ptr<PrintSurface> printer = provider->DefaultPrinter();
    std::string pdf;
    if (!printer) {
      pdf = PdfPathBeside(program.file);
      printer = provider->PdfFile(pdf);
      if (!printer) return false;
    }
    if (!PrintCurrentFile(program, st.device, st.screen, *printer)) return false;
    if (!pdf.empty())
      program.ui->ShowMessage("pas d'imprimante : " + program.file.Path() + " imprimé dans " + pdf);
    return true;
  };
}

}  // namespace plotvue
