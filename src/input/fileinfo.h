// The values of the Info dialog: the current file's name, size and date with the extents and
// counts of the last interpreter run.
#ifndef PLOTVUE_INPUT_FILEINFO_H_
#define PLOTVUE_INPUT_FILEINFO_H_

#include <string>
#include <utility>
#include <vector>

#include "base/program.h"

namespace plotvue {

struct FileInfo {
  std::string fileName;  // full path
  std::string fileSize;  // "<bytes> Bytes"
  std::string date;      // file date " - " file time
  std::string minXY;     // "xmin / ymin"
  std::string maxXY;     // "xmax / ymax"
  std::string elements;
  std::string texts;
};

// Fills the Info values from the program's current file and last run. Numbers use FormatShort
// with the DecimalPlaces setting; a file of size 0 shows " 0 / 0" and "0".
FileInfo GetFileInfo(const Program& program);

// The fields as (label, value) pairs in the dialog's order.
std::vector<std::pair<std::string, std::string>> InfoFields(const FileInfo& info);

}  // namespace plotvue

#endif  // PLOTVUE_INPUT_FILEINFO_H_
