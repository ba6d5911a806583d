#include "graphics/device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "base/displaytext.h"

namespace plotvue {

RotatedPoint RotatePoint(long double px, long double py, long double cx, long double cy,
                         long double angle) {
  const long double dx = px - cx;
  const long double dy = py - cy;
  const long double c = std::cos(angle);
  const long double s = std::sin(angle);
  return RotatedPoint{cx + dx * c - dy * s, cy + dy * c + dx * s};
}

void DrawDevice::DevOutText(const std::string& text, long double x, long double y) {
  window_.OutTextXY(DisplayText(text), x, y);
}

void DrawDevice::DevCheckFile(const std::string& name) {
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  // A directory opens for reading but holds no drawing.
  if (fd >= 0 && ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode)) {
    ::close(fd);
    return;
  }
  if (fd >= 0) ::close(fd);
  std::string shown = name;
  shown.erase(std::remove(shown.begin(), shown.end(), ' '), shown.end());
  DevMessage(shown + " " + "pas trouver" + " !");
  program_.ErrorFlag = true;
}

}  // namespace plotvue
