#include "base/program.h"

namespace plotvue {

std::string CurrentFile::Path() const {
  std::string p = dir;
  if (!p.empty() && p.back() != '/') p += '/';
  p += base;
  if (!ext.empty()) {  // a Linux file may have no extension at all
    p += '.';
    p += ext;
  }
  return p;
}

CurrentFile CurrentFile::FromPath(const std::string& path) {
  CurrentFile f;
  std::string::size_type slash = path.rfind('/');
  std::string name = path;
  if (slash != std::string::npos) {
    f.dir = path.substr(0, slash + 1);
    name = path.substr(slash + 1);
  }
  std::string::size_type dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) {
    f.base = name;
    f.ext.clear();
  } else {
    f.base = name.substr(0, dot);
    f.ext = name.substr(dot + 1);
  }
  return f;
}

}  // namespace plotvue
