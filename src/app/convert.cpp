#include "app/convert.h"

#include <chrono>
#include <cstdio>

#include "base/textnum.h"
#include "graphics/show.h"
#include "input/hpin.h"
#include "output/numformat.h"
#include "output/syntax.h"

namespace plotvue {
namespace {

int ItemOf(int code, int count) { return code >= 1 && code <= count ? code - 1 : 0; }

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

}  // namespace

ConverterFields ConverterFieldsFrom(const Settings& s) {
  ConverterFields f;
  f.syntaxItem = ItemOf(s.SyntaxCode, 12);
  f.deviceItem = ItemOf(s.DeviceCode, 3);
  f.plotScale = FormatShort(s.PlotScale, s.DecimalPlaces);
  f.widthFactor = FormatShort(s.TextWidthFactor, s.DecimalPlaces);
  f.originX = FormatShort(s.PlotOriginX, s.DecimalPlaces);
  f.originY = FormatShort(s.PlotOriginY, s.DecimalPlaces);
  f.com = std::to_string(s.SerialPort);
  f.lpt = std::to_string(s.LPT);
  f.file = s.PlotFile;
  return f;
}

void TakeConverterFields(const ConverterFields& f, Settings& s) {
  s.DeviceCode = static_cast<std::uint16_t>(f.deviceItem + 1);
  s.SyntaxCode = static_cast<std::uint16_t>(f.syntaxItem + 1);
  s.PlotScale = TextToFloat(f.plotScale);
  s.TextWidthFactor = TextToFloat(f.widthFactor);
  s.PlotOriginX = TextToFloat(f.originX);
  s.PlotOriginY = TextToFloat(f.originY);
  s.SerialPort = static_cast<std::uint16_t>(TextToInt(f.com));
  s.LPT = static_cast<std::uint16_t>(TextToInt(f.lpt));
  s.PlotFile = f.file;
}

DeviceField FieldOfDevice(int deviceItem) {
  if (deviceItem == 0) return DeviceField::Com;
  if (deviceItem == 1) return DeviceField::Lpt;
  return DeviceField::File;
}

ConversionReport ConvertCurrentFile(Program& p, PlotDriver& driver) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  ConversionReport report;
  const Settings& s = p.settings;
  const std::string plotFile = s.PlotFile;
  report.target = s.DeviceCode == static_cast<int>(Device::File)
                      ? plotFile + "." + OutputExtension(s.SyntaxCode, driver.options.garmin)
                  : s.DeviceCode == static_cast<int>(Device::Serial) ? ComDevicePath(s.SerialPort)
                                                                     : LptDevicePath(s.LPT);
  auto finish = [&] {
    p.settings.PlotFile = plotFile;
    report.cancelled = p.StopRequested;
    report.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!report.ok) p.ErrorFlag = true;
    return report;
  };

  // As the batch conversion of one file: the scan for the extents and counts, then the
  // conversion; a file that cannot be read to its end is not converted.
  p.ErrorFlag = false;
  p.MessagesEnabled = true;
  RunInterpreter(p, RunMode::Scan);
  if (p.ErrorFlag || p.RunFailed || p.StopRequested) return finish();
  const Extents extents = p.extents;
  report.elements = p.ElementCount;
  const std::int64_t texts = p.TextCount;

  const std::size_t begun = driver.outputsBegun;
  RunTargets targets;
  targets.driver = &driver;
  RunInterpreter(p, RunMode::Convert, targets);
  report.parts = driver.outputsBegun - begun;
  report.ok = !p.ErrorFlag && !p.RunFailed && !p.StopRequested;
  p.extents = extents;
  p.ElementCount = report.elements;
  p.TextCount = texts;
  return finish();
}

std::string ConversionStatusText(const ConversionReport& r) {
  if (r.cancelled) return "conversion annulée";
  if (!r.ok) return r.target + " : échec de la conversion";
  return r.target + " OK  (" + std::to_string(r.elements) + " éléments, " +
         std::to_string(r.parts) + (r.parts == 1 ? " fichier, " : " fichiers, ") +
         Seconds(r.seconds) + ")";
}

ConversionReport ConvertCurrentFileCommand(Program& p, PlotDriver& driver,
                                           const ConverterDialog& dialog,
                                           const std::function<ConversionReport()>& convert,
                                           const EditorLauncher& editor) {
  p.ErrorFlag = false;
  const ConverterDialogResult result = dialog();
  if (result == ConverterDialogResult::Cancelled) {
    p.ErrorFlag = true;
    return {};
  }
  if (result == ConverterDialogResult::Configuration)
    AskConverterSettings(p, driver.options.garmin, editor);
  if (p.ErrorFlag) return {};
  return convert();
}

ConversionReport ConvertNewFileCommand(Program& p, PlotDriver& driver,
                                       const ConverterDialog& dialog,
                                       const std::function<ConversionReport()>& convert,
                                       const EditorLauncher& editor) {
  const CurrentFile previous = p.file;
  const std::string previousPlotFile = p.settings.PlotFile;
  const Extents extents = p.extents;
  const std::int64_t elements = p.ElementCount;
  const std::int64_t texts = p.TextCount;
  auto restore = [&] {
    p.file = previous;
    p.extents = extents;  // the results of the file shown, not of the one converted
    p.ElementCount = elements;
    p.TextCount = texts;
    // The previous name, as the commands that opened it had set it.
    p.settings.PlotFile = previous.base.empty() ? previousPlotFile : previous.base;
  };
  p.ErrorFlag = false;
  const std::string ext = p.file.ext.empty() ? p.settings.FileExtension : p.file.ext;
  std::optional<std::string> chosen = p.ui->OpenFileDialog(OpenFilter(ext), p.file.dir);
  if (!chosen || chosen->empty()) {
    p.ErrorFlag = true;
    restore();
    return {};
  }
  p.file = CurrentFile::FromPath(*chosen);
  p.settings.PlotFile = p.file.base;
  ConversionReport report = ConvertCurrentFileCommand(p, driver, dialog, convert, editor);
  restore();
  return report;
}

std::string SpoolStatusText(const SpoolResult& r, double seconds) {
  if (!r.ok) return {};
  return r.port + " (" + r.device + ") OK  (" + std::to_string(r.fileBytes) + " octets, " +
         Seconds(seconds) + ")";
}

}  // namespace plotvue
