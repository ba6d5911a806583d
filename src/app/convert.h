// The window's Convert and Plot commands without their widgets: what the converter dialog shows
// and what its OK stores, the conversion of the current file (the same runs and so the same
// bytes as a batch conversion of that file with the same settings) with the status line that
// reports it, Convert new file's choice of the file and the restoring of the previous name, and
// the spooling of the plot command.
//
// State: none of its own; the program state, the output driver and the plotter choice are the
// caller's (the main window keeps them for the program run).
#ifndef PLOTVUE_APP_CONVERT_H_
#define PLOTVUE_APP_CONVERT_H_

#include <cstdint>
#include <functional>
#include <string>

#include "base/program.h"
#include "config/convsettings.h"
#include "output/drivers.h"
#include "output/spool.h"

namespace plotvue {

// The request code of the converter dialog's "&Configuration" button: the settings prompts are
// to run before the conversion.
inline constexpr int kConfigurationRequest = 300;

// Help topics of the converter dialog and of the plotter dialog.
inline constexpr int kConverterHelpTopic = 9100;
inline constexpr int kPlotterHelpTopic = 9020;

// The converter dialog's fields: the selected syntax and device (0-based items) and the texts of
// the edit fields.
struct ConverterFields {
  int syntaxItem = 0;
  int deviceItem = 0;
  std::string plotScale;
  std::string widthFactor;
  std::string originX;
  std::string originY;
  std::string com;
  std::string lpt;
  std::string file;
};

// The fields as the dialog opens: the items of SyntaxCode and DeviceCode (a code out of range
// selects the first item), FormatShort of the four numbers, the port numbers in decimal,
// PlotFile.
ConverterFields ConverterFieldsFrom(const Settings& settings);

// What OK and "&Configuration" store: the codes of the items, the numbers as TextToFloat reads
// them (a comma is the decimal point, what is not a number gives 0), the port numbers as
// TextToInt reads them, PlotFile as typed. Nothing is checked here (the conversion refuses what
// it cannot use).
void TakeConverterFields(const ConverterFields& fields, Settings& settings);

// Which edit field the selected device enables: COM for the serial port (item 0), LPT for the
// parallel port (1), the file name for the file (2).
enum class DeviceField { Com, Lpt, File };
DeviceField FieldOfDevice(int deviceItem);

// What a conversion did, for the status line.
struct ConversionReport {
  bool ok = false;
  bool cancelled = false;
  std::string target;         // the output file ("PLOT.dxf") or the port's device path
  std::int64_t elements = 0;  // drawing elements of the file
  std::size_t parts = 0;      // output files (or port jobs) written
  double seconds = 0.0;
};

// Converts the current file with `driver` and the settings as they are: a scan run, then the
// convert run, as the batch conversion does for one file. A file that cannot be read, or not to
// its end, is not converted. A conversion that fails or is stopped (program.StopRequested)
// keeps no output under the target name. PlotFile is the same afterwards as before (a split
// conversion numbers its parts in it); the extents and counts are those of the scan. ErrorFlag
// is set when the conversion did not succeed.
ConversionReport ConvertCurrentFile(Program& program, PlotDriver& driver);

// The status line of a conversion: "PLOT.dxf OK  (1234 éléments, 1 fichier, 0.4 s)"; for a
// port its device path; after a failure "PLOT.dxf : échec de la conversion", after a stop
// "conversion annulée".
std::string ConversionStatusText(const ConversionReport& report);

// The converter dialog's outcome, as the convert commands see it.
enum class ConverterDialogResult { Ok, Cancelled, Configuration };
// Shows the converter dialog (it stores the settings on OK and Configuration).
using ConverterDialog = std::function<ConverterDialogResult()>;

// Convert, Current File: the dialog; for Configuration the settings prompts (with the driver's
// Garmin options); unless ErrorFlag is then set, the conversion. Cancel sets ErrorFlag and
// converts nothing. `convert` runs the conversion (the window wraps ConvertCurrentFile into its
// progress display); the report of a command that did not convert has ok false.
ConversionReport ConvertCurrentFileCommand(
    Program& program, PlotDriver& driver, const ConverterDialog& dialog,
    const std::function<ConversionReport()>& convert, const EditorLauncher& editor);

// Convert, NewFile: the open dialog (the filter of the current extension) chooses the file to
// convert, whose base name becomes the current name and PlotFile; then as Convert current file.
// Afterwards, and at once when the open dialog is cancelled, the previous current file and
// PlotFile come back.
ConversionReport ConvertNewFileCommand(Program& program, PlotDriver& driver,
                                       const ConverterDialog& dialog,
                                       const std::function<ConversionReport()>& convert,
                                       const EditorLauncher& editor);

// The status line of a plot job: "COM1 (/dev/ttyS0) OK  (12345 octets, 0.3 s)", or empty when
// it failed (its message has been shown).
std::string SpoolStatusText(const SpoolResult& result, double seconds);

}  // namespace plotvue

#endif  // PLOTVUE_APP_CONVERT_H_
