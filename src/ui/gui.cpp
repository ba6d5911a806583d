#include "ui/gui.h"

#include <QApplication>
#include <clocale>
#include <iostream>

#include "app/batch.h"
#include "app/startup.h"
#include "base/program.h"
#include "ui/mainwindow.h"
#include "ui/qtservices.h"

namespace plotvue {

int RunGui(int& argc, char** argv, const std::vector<std::string>& args) {
  QApplication app(argc, argv);
  // Qt takes the user's locale; numbers read and written by the program keep "." as the
  // decimal point.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QString::fromLatin1(kProgramName));
  QtInteraction ui;
  Program program(ui);
  LoadStartupSettings(program);
  // The stroke font, when the settings ask for it: the window's conversions write labels as the
  // batch run does. A missing font has been reported; the window goes on without it.
  StrokeFontState strokeFont;
  Thh main(program);
  ui.SetParent(&main);
  // The directories of the settings, with a message for each one that is not usable.
  CheckStartupDirectories(program);
  LoadStartupStrokeFont(program, strokeFont, argc > 0 ? argv[0] : "", std::cerr);
  main.SetStrokeFont(strokeFont.Font());
  if (args.empty()) main.ShowLogo();
  main.show();
  if (args.size() == 1) {
    SetCurrentFileFromArgument(program, args[0]);
    // The window shows before a large file is read, with the progress of the reading.
    QCoreApplication::processEvents();
    // A file that cannot be read ends the program, and so does closing the window while it is
    // read: the event loop would not start again for a window that is already closed.
    // A reading cancelled with the Cancel button leaves the window open, with the logo.
    const bool shown = main.OpenNamedFile(program.file.Path());
    if (program.StopRequested) return 0;
    if (!shown && !main.readingCancelled()) return 0;
    if (!shown) main.ShowLogo();
  }
  return app.exec();
}

}  // namespace plotvue
