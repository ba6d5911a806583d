// The entries of the window module: the plotvue executable loads this module (and with it Qt)
// only when it opens a window or prints, so that the other command-line forms start without
// Qt's libraries.
//
// plotvue_run_gui runs the window. plotvue_printer_provider gives a batch run (/G) its printers:
// it starts Qt on the offscreen platform (no display is needed) and hands out a provider of
// the default printer and of PDF files; the caller deletes it. The application lives until the
// process ends.
#include <QGuiApplication>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/gui.h"
#include "ui/qtprinter.h"

namespace {

QGuiApplication* printApplication = nullptr;

// stderr of a batch run holds the program's messages: Qt's own notes stay out of it.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "plotvue: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int plotvue_run_gui(int* argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + *argc);
  return plotvue::RunGui(*argc, argv, args);
}

extern "C" __attribute__((visibility("default"))) plotvue::PrinterProvider*
plotvue_printer_provider(int* argc, char** argv) {
  if (!QCoreApplication::instance()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    // Qt sees the program name only: the batch options are not Qt's.
    static int qtArgc = 1;
    static char* qtArgv[] = {*argc > 0 ? argv[0] : const_cast<char*>("plotvue"), nullptr};
    printApplication = new QGuiApplication(qtArgc, qtArgv);
    // Numbers read and written by the program keep "." as the decimal point.
    std::setlocale(LC_NUMERIC, "C");
  }
  return new plotvue::QtPrinterProvider;
}
