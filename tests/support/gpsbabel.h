// gpsbabel as the independent reader of our Garmin PCX5 files, and the reading of what it makes
// of them (GPX), and of the latitude and longitude fields of our records themselves (gpsbabel is
// lenient: it reads garbage as 0). Debian 12's gpsbabel has no PCX5 reader;
// tests/output/fetch_gpsbabel.sh fetches the Debian 11 one into a scratch folder. Header-only;
// no state.
#ifndef PLOTVUE_TESTS_SUPPORT_GPSBABEL_H_
#define PLOTVUE_TESTS_SUPPORT_GPSBABEL_H_

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace plotvue::testing {

// The text a test skips with when FindGpsbabel finds none.
inline constexpr const char* kNoGpsbabel =
    "gpsbabel with the PCX5 reader not found: run tests/output/fetch_gpsbabel.sh "
    "(Debian 11 package gpsbabel) or set PLOTVUE_GPSBABEL";

// The gpsbabel to use: $PLOTVUE_GPSBABEL, else the one fetch_gpsbabel.sh left in its default
// scratch folder; empty when there is none.
inline std::string FindGpsbabel() {
  if (const char* env = std::getenv("PLOTVUE_GPSBABEL"); env != nullptr && *env != '\0') {
    return env;
  }
  std::filesystem::path scratch = std::filesystem::temp_directory_path() / "plotvue-gpsbabel";
  if (std::filesystem::exists(scratch / "gpsbabel")) return (scratch / "gpsbabel").string();
  return "";
}

struct GeoPoint {
  double lat = 0;
  double lon = 0;
};

struct GpsReading {
  std::vector<std::pair<std::string, GeoPoint>> waypoints;  // name and position
  std::vector<std::vector<GeoPoint>> tracks;
};

// The text of an XML character data with its five named entities resolved.
inline std::string XmlText(const std::string& s) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
  std::string r;
  for (std::size_t k = 0; k < s.size();) {
    bool replaced = false;
    for (const auto& [name, ch] : kEntities) {
      if (s.compare(k, std::char_traits<char>::length(name), name) == 0) {
        r += ch;
        k += std::char_traits<char>::length(name);
        replaced = true;
        break;
      }
    }
    if (!replaced) r += s[k++];
  }
  return r;
}

// The waypoints and tracks of gpsbabel's GPX output (one element per line, as it writes it);
// names with their XML entities resolved.
inline GpsReading ParseGpx(const std::string& gpx) {
  GpsReading r;
  static const std::regex kPoint(R"re(<(wpt|trkpt) lat="([-0-9.]+)" lon="([-0-9.]+)")re");
  static const std::regex kName(R"re(<name>(.*)</name>)re");
  std::istringstream in(gpx);
  bool inWaypoint = false;
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (line.find("<trk>") != std::string::npos) r.tracks.emplace_back();
    if (std::regex_search(line, m, kPoint)) {
      GeoPoint p{std::stod(m[2]), std::stod(m[3])};
      if (m[1] == "wpt") {
        r.waypoints.push_back({"", p});
        inWaypoint = true;
      } else if (!r.tracks.empty()) {
        r.tracks.back().push_back(p);
      }
    } else if (inWaypoint && std::regex_search(line, m, kName)) {
      r.waypoints.back().first = XmlText(m[1]);
    }
    if (line.find("</wpt>") != std::string::npos) inWaypoint = false;
  }
  return r;
}

// A latitude or longitude field of a record ("N4730.00000", "W00815.00000", "N40012.50000") in
// degrees: the hemisphere letter, whole degrees, then the minutes, two digits before the point.
// `minutes` receives the minutes (a field is wrong when they are 60 or more).
inline double FieldDegrees(const std::string& field, double* minutes = nullptr) {
  if (field.size() < 3) return 0;
  std::size_t point = field.find('.');
  if (point == std::string::npos) point = field.size();
  const std::size_t minuteStart = point >= 3 ? point - 2 : 1;
  const double degrees = minuteStart > 1 ? std::stod(field.substr(1, minuteStart - 1)) : 0.0;
  const double m = std::stod(field.substr(minuteStart));
  if (minutes != nullptr) *minutes = m;
  const double v = degrees + m / 60.0;
  return field[0] == 'S' || field[0] == 'W' ? -v : v;
}

}  // namespace plotvue::testing

#endif  // PLOTVUE_TESTS_SUPPORT_GPSBABEL_H_
