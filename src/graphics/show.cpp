#include "graphics/show.h"

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
  return !program.ErrorFlag;
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
  return !program.ErrorFlag;
}

void OpenFileCommand(Program& program, DrawDevice& device) {
  program.ErrorFlag = false;
  device.DevWaitCursor();
  std::string dir = program.file.dir.empty() ? program.settings.InPath : program.file.dir;
  std::optional<std::string> chosen = program.ui->OpenFileDialog(OpenFilter(program.file.ext), dir);
  if (!chosen) {
    program.ErrorFlag = true;
    device.DevArrowCursor();
    return;
  }
  program.file = CurrentFile::FromPath(*chosen);
  if (ShowCurrentFile(program, device, true)) program.settings.InPath = program.file.dir;
  program.settings.PlotFile = program.file.base;
}

void RegenCommand(Program& program, DrawDevice& device) {
  program.ErrorFlag = false;
  device.DevWaitCursor();
  ShowCurrentFile(program, device, true);
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
