// The Garmin PCX5 writer: header, tracks, track points and waypoints. See garmin.h for the state
// it owns.
#include "output/garmin.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>

#include "output/numformat.h"

namespace plotvue {
namespace {

constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                 "JUL", "AUG", "SEP", "OKT", "NOV", "DEC"};

constexpr int kMinuteDecimals = 5;
constexpr std::size_t kIdentifierLength = 6;
constexpr std::size_t kDescriptionLength = 40;

// Below this |cos(latitude)| the areal longitude has no meaning (the pole).
constexpr long double kMinCosLatitude = 1e-12L;

constexpr const char* kTrackHeader = "H  LATITUDE    LONGITUDE    DATE      TIME     ALT    ;track";
constexpr const char* kWaypointHeader =
    "H  IDNT   LATITUDE    LONGITUDE    DATE      TIME     ALT   DESCRIPTION"
    "                              PROXIMITY     SYMBOL ;waypts";

std::string PadCut(std::string s, std::size_t length) {
  s.resize(length, ' ');
  return s;
}

// Hemisphere letter, whole degrees zero-filled to `degreeDigits`, then the minutes with at least
// two digits before the point. Minutes that round up to 60 carry into the degrees.
std::string DegreesMinutes(long double v, char positive, char negative, int degreeDigits,
                           int decimalPlaces) {
  char hemisphere = v >= 0 ? positive : negative;
  long double a = std::fabs(v);
  long double degrees = std::floor(a);
  std::string minutes = FormatFixed((a - degrees) * 60.0L, kMinuteDecimals, decimalPlaces);
  if (minutes.starts_with("60")) {
    degrees += 1.0L;
    minutes = FormatFixed(0.0L, kMinuteDecimals, decimalPlaces);
  }
  std::size_t point = std::min(minutes.find('.'), minutes.size());
  if (point < 2) minutes.insert(0, 2 - point, '0');

  // Whole degrees of any finite size: no integer conversion, the text comes from the value.
  char buf[5000];
  int len = std::snprintf(buf, sizeof buf, "%0*.0Lf", degreeDigits, degrees);
  std::string text(1, hemisphere);
  if (len > 0) text.append(buf, static_cast<std::size_t>(std::min<int>(len, sizeof buf - 1)));
  return text + minutes;
}

// True when the field written for `v` lies within +-limit degrees. A value just beyond the limit
// that the field rounds to the limit itself counts as within.
bool WithinDegrees(long double v, long double limit, int degreeDigits, int decimalPlaces) {
  const long double a = std::fabs(v);
  if (a <= limit) return true;
  return DegreesMinutes(a, 'N', 'S', degreeDigits, decimalPlaces) ==
         DegreesMinutes(limit, 'N', 'S', degreeDigits, decimalPlaces);
}

}  // namespace

std::string GarminExtension(int fileType) {
  switch (fileType) {
    case 1:
      return "WPT";
    case 2:
      return "TRK";
    default:
      return "GRM";
  }
}

GarminClockTime GarminLocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  GarminClockTime t;
  if (localtime_r(&now, &tm) == nullptr) return t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}

std::string GarminLatitude(long double y, int decimalPlaces) {
  return DegreesMinutes(y, 'N', 'S', 2, decimalPlaces);
}

std::string GarminLongitude(long double x, int decimalPlaces) {
  return DegreesMinutes(x, 'E', 'W', 3, decimalPlaces);
}

std::string GarminDate(const GarminClockTime& t) {
  int month = ((t.month - 1) % 12 + 12) % 12;
  int year = (t.year % 100 + 100) % 100;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d-%s-%02d", t.day, kMonths[static_cast<std::size_t>(month)],
                year);
  return buf;
}

std::string GarminTime(const GarminClockTime& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%2d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

GarminWriter::GarminWriter(TextOut& out, const Settings& settings, const GarminOptions& options,
                           long double xmin, long double xmax, GarminClock clock)
    : out_(&out),
      settings_(&settings),
      options_(&options),
      xmin_(xmin),
      xmax_(xmax),
      clock_(std::move(clock)) {}

bool GarminWriter::Longitude(long double x, long double y, long double& longitude) const {
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  longitude = x;
  if (settings_->NcSyntax == kGarminArealSystem) {
    long double c = std::cos(y * std::numbers::pi_v<long double> / 180.0L);
    if (!(std::fabs(c) > kMinCosLatitude)) return false;
    longitude = options_->XReference == 2 ? xmax_ - (xmax_ - x) / c : (x - xmin_) / c + xmin_;
  }
  return std::isfinite(longitude);
}

bool GarminWriter::Position(long double x, long double y, const GarminClockTime& now,
                            std::string& text) const {
  long double longitude = 0.0L;
  if (!Longitude(x, y, longitude)) return false;
  int dp = settings_->DecimalPlaces;
  // A position off the globe is left out: readers reject the whole file for one such waypoint,
  // or wrap it round to another place.
  if (!WithinDegrees(y, 90.0L, 2, dp) || !WithinDegrees(longitude, 180.0L, 3, dp)) return false;
  text = GarminLatitude(y, dp) + " " + GarminLongitude(longitude, dp) + " " + GarminDate(now) +
         " " + GarminTime(now);
  return true;
}

bool GarminWriter::TrackPointLine(long double x, long double y) {
  std::string position;
  if (!Position(x, y, clock_(), position)) return false;
  out_->WriteLine("T  " + position + " -9999");
  state.havePoint = true;
  state.lastX = x;
  state.lastY = y;
  return true;
}

void GarminWriter::TrackHeader() {
  state.waypointHeaderWritten = false;
  state.trackOpen = true;
  out_->WriteLine(" ");
  out_->WriteLine(kTrackHeader);
}

void GarminWriter::WriteGarminHeader() {
  state = GarminState{};
  for (const char* line :
       {" ", "H  SOFTWARE NAME & VERSION", "I  PCX5 2.08", " ",
        "H  R DATUM                IDX DA            DF            DX            DY            DZ",
        "M  G WGS 84               121 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00 "
        "+0.000000e+00",
        " ", "H  COORDINATE SYSTEM", "U  LAT LON DM"}) {
    out_->WriteLine(line);
  }
}

void GarminWriter::GarminTrackStart(long double x, long double y) {
  if ((x == 0 && y == 0) || options_->FileType == 1) return;
  state.havePoint = false;  // a new line begins here, not at the last point
  std::string position;
  if (!Position(x, y, clock_(), position)) {
    // No point to begin the track with: the next point written opens it.
    state.trackOpen = false;
    return;
  }
  TrackHeader();
  TrackPointLine(x, y);
}

void GarminWriter::GarminTrackPoint(long double x, long double y) {
  if ((x == 0 && y == 0) || options_->FileType == 1) return;
  std::string position;
  if (!state.trackOpen && Position(x, y, clock_(), position)) {
    TrackHeader();
    if (state.havePoint) TrackPointLine(state.lastX, state.lastY);
  }
  TrackPointLine(x, y);
}

void GarminWriter::GarminWaypoint(std::string_view text, long double x, long double y) {
  if (options_->FileType == 2) return;
  GarminClockTime now = clock_();
  std::string position;
  if (!Position(x, y, now, position)) return;
  if (!state.waypointHeaderWritten) {
    out_->WriteLine("");
    out_->WriteLine(kWaypointHeader);
    state.waypointHeaderWritten = true;
    state.trackOpen = false;
  }
  // The identifier is one word of the record (readers split a record at blanks): letters in
  // upper case, control bytes (a label's CR LF, say) and blanks within it as "_", at least one
  // character, then blanks up to its width.
  std::string identifier;
  for (char ch : text.substr(0, std::min(text.size(), kIdentifierLength))) {
    auto byte = static_cast<unsigned char>(ch);
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (byte <= 0x20 || byte == 0x7F) ch = ' ';
    identifier += ch;
  }
  identifier.erase(identifier.find_last_not_of(' ') + 1);
  if (identifier.empty()) identifier = " ";
  std::replace(identifier.begin(), identifier.end(), ' ', '_');
  identifier = PadCut(identifier, kIdentifierLength);
  char clock[32];
  std::snprintf(clock, sizeof clock, "%2d:%02d", now.hour, now.minute);
  std::string description = PadCut(GarminDate(now) + " " + clock, kDescriptionLength);
  out_->WriteLine("W  " + identifier + " " + position + " -9999 " + description +
                  " 0.00000e+00        0");
}

}  // namespace plotvue
