#include "input/fileinfo.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "output/numformat.h"

namespace plotvue {

FileInfo GetFileInfo(const Program& program) {
  FileInfo info;
  info.fileName = program.file.Path();
  long long size = 0;
  struct stat st {};
  if (::stat(info.fileName.c_str(), &st) == 0) {
    size = static_cast<long long>(st.st_size);
    std::tm tm {};
    time_t t = st.st_mtime;
    if (::localtime_r(&t, &tm)) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%02d.%02d.%04d - %02d:%02d:%02d", tm.tm_mday,
                    tm.tm_mon + 1, tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
      info.date = buf;
    }
  }
  info.fileSize = std::to_string(size) + " Bytes";
  if (size != 0) {
    const int dp = program.settings.DecimalPlaces;
    const Extents& e = program.extents;
    info.minXY = FormatShort(e.xmin, dp) + " / " + FormatShort(e.ymin, dp);
    info.maxXY = FormatShort(e.xmax, dp) + " / " + FormatShort(e.ymax, dp);
    info.elements = std::to_string(program.ElementCount);
    info.texts = std::to_string(program.TextCount);
  } else {
    // Move-assigned from strings: GCC 12 warns wrongly (-Wrestrict) on assigning literals here.
    const std::string zeroPair(" 0 / 0");
    const std::string zero("0");
    info.minXY = zeroPair;
    info.maxXY = zeroPair;
    info.elements = zero;
    info.texts = zero;
  }
  return info;
}

std::vector<std::pair<std::string, std::string>> InfoFields(const FileInfo& info) {
  return {{"File name", info.fileName},   {"File size", info.fileSize},
          {"Date", info.date},            {"x/y min.", info.minXY},
          {"x/y max.", info.maxXY},       {"Drawing elements", info.elements},
          {"Text", info.texts}};
}

}  // namespace plotvue
