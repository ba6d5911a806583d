#include "graphics/show.h"

#include <fstream>

#include "base/fileutil.h"
#include "input/hpin.h"

namespace plotvue {

WorldRect DrawingLimits(const Extents& e) {
  if (e.Empty()) return WorldRect{0.0L, 0.0L, 1.0L, 1.0L};
  return WorldRect{e.xmin, e.ymin, e.xmax, e.ymax};
}

void ExtentsToWindow(Program& program, DrawDevice& device) {
  const WorldRect w = DrawingLimits(program.extents);
  device.DevSetWindow(true, true, 0.0L, 0.0L, 1.0L, 0.95L, w.x1, w.y1, w.x2, w.y2);
}

bool ShowCurrentFile(Program& program, DrawDevice& device, bool waitCursors) {
  RunInterpreter(program, RunMode::Scan);
  const bool scanFailed = program.ErrorFlag;
  if (program.StopRequested) return false;
  if (waitCursors) device.DevWaitCursor();
  ExtentsToWindow(program, device);
  device.DevSaveLimit();
  if (scanFailed || program.ErrorFlag) {
    program.ErrorFlag = true;
    return false;
  }
  device.DevClear();
  const WorldRect w = DrawingLimits(program.extents);
  device.DevHeader(w.x1, w.y1, w.x2, w.y2);
  if (waitCursors) device.DevWaitCursor();
  RunInterpreter(program, RunMode::Screen, RunTargets{nullptr, &device});
  return !program.ErrorFlag && !program.StopRequested;
}

bool OpenNamedFile(Program& program, DrawDevice& device, const std::string& path) {
  program.ErrorFlag = false;
  program.file = CurrentFile::FromPath(path);
  program.MessagesEnabled = true;
  RunInterpreter(program, RunMode::Scan);
  if (program.ErrorFlag || program.StopRequested) return false;
  ExtentsToWindow(program, device);
  device.DevSaveLimit();
  device.DevClear();
  const WorldRect w = DrawingLimits(program.extents);
  device.DevHeader(w.x1, w.y1, w.x2, w.y2);
  RunInterpreter(program, RunMode::Screen, RunTargets{nullptr, &device});
  return !program.ErrorFlag && !program.StopRequested;
}

bool OpenFileCommand(Program& program, DrawDevice& device) {
  program.ErrorFlag = false;
  device.DevWaitCursor();
  std::string dir = program.file.dir.empty() ? program.settings.InPath : program.file.dir;
  std::optional<std::string> chosen = program.ui->OpenFileDialog(OpenFilter(program.file.ext), dir);
  if (!chosen) {
    program.ErrorFlag = true;
    device.DevArrowCursor();
    return false;
  }
  program.file = CurrentFile::FromPath(*chosen);
  const bool shown = ShowCurrentFile(program, device, true);
  if (shown) program.settings.InPath = program.file.dir;
  program.settings.PlotFile = program.file.base;
  return shown;
}

bool OpenLimitCommand(Program& program, DrawDevice& device, const LimitsPrompt& askLimits) {
  program.ErrorFlag = false;
  device.DevWaitCursor();
  const std::string dir = program.file.dir.empty() ? program.settings.InPath : program.file.dir;
  std::optional<std::string> chosen = program.ui->OpenFileDialog(OpenFilter(program.file.ext), dir);
  if (!chosen) {
    program.ErrorFlag = true;
    device.DevArrowCursor();
    return false;
  }
  device.DevRestoreLimit();
  std::optional<WorldRect> limits = askLimits(device.window().view().WorldWindow);
  if (!limits) {
    program.ErrorFlag = true;
    device.DevArrowCursor();
    return false;
  }
  // The file chosen is read under its own name, whatever its extension.
  program.file = CurrentFile::FromPath(*chosen);
  const WorldRect w = *limits;
  device.DevSetWindow(true, true, 0.0L, 0.0L, 1.0L, 0.95L, w.x1, w.y1, w.x2, w.y2);
  device.DevClear();
  program.settings.PlotFile = program.file.base;
  device.DevHeader(w.x1, w.y1, w.x2, w.y2);
  program.ErrorFlag = false;
  RunInterpreter(program, RunMode::Screen, RunTargets{nullptr, &device});
  device.DevClearViewPort();
  if (program.ErrorFlag || program.RunFailed || program.StopRequested) return false;
  program.settings.InPath = program.file.dir;
  return true;
}

std::string SaveAsCommand(Program& program) {
  program.ErrorFlag = false;
  const std::string source = program.file.Path();
  if (!HasCurrentFile(program) || !std::ifstream(source, std::ios::binary) ||
      IsDirectory(source)) {
    program.ui->ShowMessage("Aucun fichier ouvert");
    return {};
  }
  std::optional<std::string> target =
      program.ui->SaveFileDialog(OpenFilter(program.file.ext), source);
  if (!target) {
    program.ErrorFlag = true;
    return {};
  }
  std::string why;
  if (!CopyFileAtomically(source, *target, &why)) {
    program.ErrorFlag = true;
    program.ui->ShowError("Impossible d'écrire " + *target + " (" + why + ") !");
    return {};
  }
  return *target;
}

bool RegenCommand(Program& program, DrawDevice& device) {
  program.ErrorFlag = false;
  device.DevWaitCursor();
  return ShowCurrentFile(program, device, true);
}

void ClearCommand(DrawDevice& device) {
  device.DevClear();
  device.DevResetZoom();
}

void ShowStartupLogo(DrawDevice& device) {
  device.DevWaitCursor();
  device.DevSetWindow(true, true, 0.1L, 0.05L, 0.95L, 0.95L, 0.0L, 0.0L, 36.9L, 32.0L);
  device.DevDrawLogo();
}

std::string MainCaption(const Program& program) {
  const CurrentFile& f = program.file;
  std::string caption = kProgramName;
  if (f.base.empty()) return caption;
  caption += "  -  ";
  caption += f.base;
  // A file without extension shows its name alone, as it is on the disk.
  if (f.base.find('.') == std::string::npos && !f.ext.empty()) caption += "." + f.ext;
  return caption;
}

std::string OpenFilter(const std::string& extension) {
  const std::string own = extension.empty() ? std::string("*") : "*." + extension;
  return own + ";;Plot files (*.plt *.hpgl *.hpg *.hgl *.pl2 *.hp *.prn);;All files (*)";
}

bool HasCurrentFile(const Program& program) { return !program.file.base.empty(); }

void RequestStop(Program& program) {
  program.StopRequested = true;
  program.ErrorFlag = true;
}

}  // namespace plotvue
