// Reads DXF files with ezdxf (Debian package python3-ezdxf), the independent DXF reader of the
// DXF tests: one Python run reads any number of files and reports, for each, the extents of its
// header, its layer names, the font of the STANDARD text style, every model-space entity with its
// layer, text and numbers, the errors of ezdxf's audit, and a failure to load. Header-only; no
// state.
#ifndef PLOTVUE_TESTS_SUPPORT_EZDXF_READER_H_
#define PLOTVUE_TESTS_SUPPORT_EZDXF_READER_H_

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace plotvue::testing {

// The Python interpreter that imports ezdxf, the distribution's first; empty when none does.
inline std::string FindPythonWithEzdxf() {
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    std::string command = std::string(python) + " -c \"import ezdxf\" >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) return python;
  }
  return "";
}

inline constexpr const char* kEzdxfReaderScript = R"PY(
import sys
import ezdxf

for index, path in enumerate(sys.argv[1:]):
    print("FILE", index)
    try:
        doc = ezdxf.readfile(path)
    except Exception as exc:
        print("FAILED", type(exc).__name__, str(exc).replace("\n", " "))
        continue
    for name in ("$EXTMIN", "$EXTMAX"):
        v = doc.header[name]
        print("HEADER", name, repr(float(v[0])), repr(float(v[1])))
    # ezdxf adds its own layer "Defpoints" when it loads a file.
    print("LAYERS", " ".join(sorted(l.dxf.name for l in doc.layers if l.dxf.name != "Defpoints")))
    print("STYLE", doc.styles.get("STANDARD").dxf.font)
    for e in doc.modelspace():
        t = e.dxftype()
        d = e.dxf
        if t == "LINE":
            nums = [d.start[0], d.start[1], d.end[0], d.end[1]]
        elif t == "CIRCLE":
            nums = [d.center[0], d.center[1], d.radius]
        elif t == "ARC":
            nums = [d.center[0], d.center[1], d.radius, d.start_angle, d.end_angle]
        elif t == "TEXT":
            nums = [d.insert[0], d.insert[1], d.height, d.width, d.rotation, d.oblique]
        else:
            nums = []
        text = d.text.encode("cp1252", "surrogateescape").hex() if t == "TEXT" else "-"
        print("ENTITY", t, d.layer, text, " ".join(repr(float(n)) for n in nums))
    auditor = doc.audit()
    for e in auditor.errors:
        print("ERROR", e.code, str(e.message).replace("\n", " "))
    print("DONE")
)PY";

struct EzdxfEntity {
  std::string kind;
  std::string layer;
  std::string textHex = "-";  // TEXT: the text's bytes in hex
  std::vector<long double> nums;
};

// What ezdxf found in one file.
struct EzdxfFile {
  std::string failure;  // set when the file did not load
  std::map<std::string, std::vector<long double>> header;
  std::string layers;  // sorted names, blank-separated
  std::string style;
  std::vector<EzdxfEntity> entities;
  std::vector<std::string> errors;  // audit errors
  bool done = false;                // the audit ran to its end
  std::map<std::string, int> Counts() const {
    std::map<std::string, int> counts;
    for (const auto& e : entities) ++counts[e.kind];
    return counts;
  }
};

struct EzdxfReading {
  std::vector<EzdxfFile> files;  // in the order of the paths
  std::string output;            // everything the run printed
  int status = 0;
};

// Reads the files in one run of `python` with the reader script (written into `scratchDir`).
inline EzdxfReading ReadWithEzdxf(const std::string& python, const std::vector<std::string>& paths,
                                  const std::string& scratchDir) {
  EzdxfReading reading;
  const std::string script = scratchDir + "/ezdxf_read.py";
  std::ofstream(script, std::ios::binary) << kEzdxfReaderScript;
  std::string command = python + " '" + script + "'";
  for (const auto& p : paths) command += " '" + p + "'";
  reading.output = RunCommand(command + " 2>&1", reading.status);

  std::istringstream lines(reading.output);
  EzdxfFile* file = nullptr;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string tag;
    words >> tag;
    if (tag == "FILE") {
      reading.files.emplace_back();
      file = &reading.files.back();
      continue;
    }
    if (file == nullptr) continue;
    if (tag == "ENTITY") {
      EzdxfEntity e;
      words >> e.kind >> e.layer >> e.textHex;
      for (std::string n; words >> n;) e.nums.push_back(std::strtold(n.c_str(), nullptr));
      file->entities.push_back(e);
    } else if (tag == "HEADER") {
      std::string name, x, y;
      words >> name >> x >> y;
      file->header[name] = {std::strtold(x.c_str(), nullptr), std::strtold(y.c_str(), nullptr)};
    } else if (tag == "LAYERS") {
      std::getline(words >> std::ws, file->layers);
    } else if (tag == "STYLE") {
      words >> file->style;
    } else if (tag == "ERROR") {
      file->errors.push_back(line);
    } else if (tag == "FAILED") {
      file->failure = line;
    } else if (tag == "DONE") {
      file->done = true;
    }
  }
  return reading;
}

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_SUPPORT_EZDXF_READER_H_
