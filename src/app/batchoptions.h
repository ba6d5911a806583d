// The words of a batch command line: the file pattern and its matches, the options /A .. /Z
// that change the settings for this run, and the usage text. Stateless: each function works on
// the settings and the request it is given.
#ifndef PLOTVUE_APP_BATCHOPTIONS_H_
#define PLOTVUE_APP_BATCHOPTIONS_H_

#include <string>
#include <vector>

#include "config/settings.h"

namespace plotvue {

// What the options ask of the run besides setting values.
struct BatchRequest {
  bool convert = false;  // /C: convert the matching files
  bool print = false;    // /G: print the matching files
  bool usage = false;    // /?: show the usage text and end
  std::string PlotFile;  // /F: the output base name (HP-GL keeps it for every file)
};

// The pattern of a batch run: `first` as given, with "." + `extension` appended when the file
// name part (after the last "/") holds no "."; a dot in a directory name does not count.
std::string BatchPattern(const std::string& first, const std::string& extension);

// The plain files (symbolic links to plain files count) that match `pattern`, in the order the
// file system lists them. The shell's rules apply: "*", "?" and "[...]", no leading dots.
std::vector<std::string> MatchFiles(const std::string& pattern);

// Applies one option parameter ("/" or "-", a letter in either case, then the value) to
// `settings` and `request`. Returns false for an invalid option: a parameter that does not start
// with "/" or "-", an unlisted letter, a /C value that names no output syntax, a /V value that
// is not n=m or *=m, a value that is not a number where one is read (every option but /C, /D,
// /F, /G, /H, /I and /R), or a number outside the range the converter settings accept
// (/M 0.00001..10000, /X and /Y -10000..10000, /T and /A 0..100, /B 0.01..100, /L 1..4, /N from
// 1). Numbers are read as in the dialogs: the first "," counts as the decimal point.
bool ApplyBatchOption(const std::string& param, Settings& settings, BatchRequest& request);

// The usage text, every line ended by "\n".
std::string UsageText();

}  // namespace plotvue

#endif  // PLOTVUE_APP_BATCHOPTIONS_H_
