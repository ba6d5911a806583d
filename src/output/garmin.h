// The Garmin PCX5 writer behind the output syntax 12 ("Garmin GPS"). It turns a drawing into a
// text file in the PCX5 2.08 exchange format of Garmin GPS receivers: every pen-up move begins a
// track, every drawn line adds a track point, and every label becomes a waypoint. Drawing
// coordinates are taken as degrees (y latitude, x longitude); in the areal coordinate system the
// longitude is stretched by 1 / cos(latitude) from the left or right edge of the drawing. A
// point whose latitude lies beyond +-90 degrees or whose longitude lies beyond +-180 degrees is
// not written (as a track point or waypoint): PCX5 readers reject or misplace it.
//
// State: GarminOptions holds the x reference and the file type, which live for the whole program
// run (the caller's Program-level object keeps it; they are not stored in the configuration
// file). GarminWriter owns the per-output state (whether a waypoint header or a track is open,
// the last track point written); the driver frame owns the output channel and closes it, the
// writer only writes lines.
#ifndef PLOTVUE_OUTPUT_GARMIN_H_
#define PLOTVUE_OUTPUT_GARMIN_H_

#include <functional>
#include <string>
#include <string_view>

#include "config/settings.h"
#include "output/channel.h"

namespace plotvue {

// The x reference and file type of the Garmin output, chosen by the converter settings prompts
// and kept while the program runs. Both start as 1.
struct GarminOptions {
  int XReference = 1;  // areal system only: 1 "x min (left)", 2 "x max (right)"
  int FileType = 1;    // 1 "WPT" (waypoints only), 2 "TRK" (tracks only), 3 "GRM" (both)
};

// The coordinate system setting (kept in NcSyntax): 2 is the areal system, anything else the
// global one.
inline constexpr int kGarminArealSystem = 2;

// The file extension that goes with a file type: "WPT", "TRK", "GRM" (3 and any unknown type).
std::string GarminExtension(int fileType);

// A local calendar time as the stamp of track points and waypoints.
struct GarminClockTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Where the writer gets the current time from; tests pass a fixed time.
using GarminClock = std::function<GarminClockTime()>;

// The current local time.
GarminClockTime GarminLocalTime();

// Field formats. `decimalPlaces` is the DecimalPlaces setting: the minutes have
// 5 + decimalPlaces - 3 decimals (within 0..10). Minutes that round up to 60 carry into the
// degrees. REQUIRES: a finite value.
//   GarminLatitude(47.5) == "N4730.00000", GarminLatitude(-8.25) == "S0815.00000"
//   GarminLongitude(8.5) == "E00830.00000"
std::string GarminLatitude(long double y, int decimalPlaces);
std::string GarminLongitude(long double x, int decimalPlaces);
// "06-DEC-26" (October is "OKT").
std::string GarminDate(const GarminClockTime& t);
// " 9:05:07": the hour right-aligned in two characters.
std::string GarminTime(const GarminClockTime& t);

struct GarminState {
  // A waypoint header has been written since the file header or the last track header.
  bool waypointHeaderWritten = false;
  // Track point records may follow: a track header has been written since the file header and
  // no waypoint header since.
  bool trackOpen = false;
  // The last track point written since the file header, and whether there is one.
  bool havePoint = false;
  long double lastX = 0.0L;
  long double lastY = 0.0L;
};

class GarminWriter {
 public:
  // `xmin` and `xmax` are the drawing's minimum and maximum x from the scan pass, used by the
  // areal system. `out`, `settings` and `options` must outlive the writer.
  GarminWriter(TextOut& out, const Settings& settings, const GarminOptions& options,
               long double xmin, long double xmax, GarminClock clock = GarminLocalTime);

  // The file header, the same for all three file types; resets the state.
  void WriteGarminHeader();
  // A pen-up move: begins a new track at (x, y). Nothing at (0, 0) or for the file type WPT.
  // When (x, y) cannot be written, the track header waits for the track's first point.
  void GarminTrackStart(long double x, long double y);
  // A drawn line to (x, y): one track point. Nothing at (0, 0) or for the file type WPT. A line
  // drawn on after waypoints (a label in mid-track) or before any track header re-opens the
  // track with a track header and, when there is one, the last point written, so that readers,
  // which read the records under a header as one list, find the line whole in a track.
  void GarminTrackPoint(long double x, long double y);
  // A label at its text position: one waypoint named by the text. Nothing for the file type TRK.
  // The identifier is the text's first 6 characters in upper case, padded with blanks; blanks
  // and control characters within it become "_" (readers split records at blanks), and a text
  // without any other character gives "_".
  void GarminWaypoint(std::string_view text, long double x, long double y);

  GarminState state;

 private:
  // The longitude written for the drawing point (x, y); false when it is not finite (a point
  // whose numbers are not finite, or the pole in the areal system).
  bool Longitude(long double x, long double y, long double& longitude) const;
  // "LATITUDE LONGITUDE DATE TIME" of a track point or waypoint; false when not writable (no
  // finite longitude, or a position off the globe).
  bool Position(long double x, long double y, const GarminClockTime& now, std::string& text) const;
  // Writes the track point record of (x, y) and remembers the point; false when not writable.
  bool TrackPointLine(long double x, long double y);
  void TrackHeader();

  TextOut* out_;
  const Settings* settings_;
  const GarminOptions* options_;
  long double xmin_;
  long double xmax_;
  GarminClock clock_;
};

}  // namespace plotvue

#endif  // PLOTVUE_OUTPUT_GARMIN_H_
