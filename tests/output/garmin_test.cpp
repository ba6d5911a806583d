// Tests of the Garmin PCX5 writer: the exact header, track and waypoint records, the latitude,
// longitude, date and time fields, the three file types, the areal coordinate system, and a
// check with a real PCX5 reader: gpsbabel reads a written file, and the waypoints, tracks and
// track points it finds are compared with what was written. Debian 12's gpsbabel has no PCX5
// reader; tests/output/fetch_gpsbabel.sh fetches the Debian 11 one into a scratch folder.
#include "output/garmin.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/gpsbabel.h"
#include "support/process.h"

namespace plotvue {
namespace {

using testing::RunCommand;

const char* const kHeader =
    " \r\n"
    "H  SOFTWARE NAME & VERSION\r\n"
    "I  PCX5 2.08\r\n"
    " \r\n"
    "H  R DATUM                IDX DA            DF            DX            DY            DZ\r\n"
    "M  G WGS 84               121 +0.000000e+00 +0.000000e+00 +0.000000e+00 +0.000000e+00 "
    "+0.000000e+00\r\n"
    " \r\n"
    "H  COORDINATE SYSTEM\r\n"
    "U  LAT LON DM\r\n";

const char* const kTrackHeader =
    " \r\nH  LATITUDE    LONGITUDE    DATE      TIME     ALT    ;track\r\n";

const char* const kWaypointHeader =
    "\r\nH  IDNT   LATITUDE    LONGITUDE    DATE      TIME     ALT   DESCRIPTION"
    "                              PROXIMITY     SYMBOL ;waypts\r\n";

// 6 December 2026, 9:05:07.
GarminClockTime FixedTime() {
  GarminClockTime t;
  t.year = 2026;
  t.month = 12;
  t.day = 6;
  t.hour = 9;
  t.minute = 5;
  t.second = 7;
  return t;
}

std::string Point(const std::string& position) {
  return "T  " + position + " 06-DEC-26  9:05:07 -9999\r\n";
}

std::string Waypoint(const std::string& identifier, const std::string& position) {
  return "W  " + identifier + " " + position +
         " 06-DEC-26  9:05:07 -9999 06-DEC-26  9:05                          "
         "0.00000e+00        0\r\n";
}

class GarminWriterTest : public ::testing::Test {
 protected:
  StringChannel channel;
  bool errorFlag = false;
  TextOut out{channel, errorFlag};
  Settings settings;
  GarminOptions options;

  GarminWriter Writer(long double xmin = 0, long double xmax = 0) {
    return GarminWriter(out, settings, options, xmin, xmax, FixedTime);
  }
  // What was written after the file header.
  std::string Body() const {
    EXPECT_TRUE(channel.text.starts_with(kHeader));
    return channel.text.substr(std::string(kHeader).size());
  }
};

TEST_F(GarminWriterTest, Tower12Waypoint) {
  options.FileType = 3;
  GarminWriter w = Writer();
  w.WriteGarminHeader();
  w.GarminWaypoint("tower 12", 8.5, 47.5);
  EXPECT_EQ(channel.text, std::string(kHeader) + kWaypointHeader +
                              "W  TOWER  N4730.00000 E00830.00000 06-DEC-26  9:05:07 -9999 "
                              "06-DEC-26  9:05                          0.00000e+00        0\r\n");
  EXPECT_FALSE(errorFlag);
}

TEST_F(GarminWriterTest, TracksAndWaypointsInEveryFileType) {
  struct Case {
    int fileType;
    std::string body;
  };
  const std::string track =
      kTrackHeader + Point("N4730.00000 E00830.00000") + Point("S0815.00000 W01230.00000");
  const std::string waypoint = kWaypointHeader + Waypoint("A     ", "N0000.00000 E00000.00000");
  for (const Case& c : {Case{1, waypoint}, Case{2, track}, Case{3, track + waypoint}}) {
    SCOPED_TRACE(c.fileType);
    channel.text.clear();
    options.FileType = c.fileType;
    GarminWriter w = Writer();
    w.WriteGarminHeader();
    w.GarminTrackStart(0, 0);  // the (0, 0) start of every conversion writes nothing
    w.GarminTrackStart(8.5, 47.5);
    w.GarminTrackPoint(-12.5, -8.25);
    w.GarminTrackPoint(0, 0);     // neither does the final move back to (0, 0)
    w.GarminWaypoint("a", 0, 0);  // a waypoint at (0, 0) is written
    EXPECT_EQ(Body(), c.body);
  }
}

TEST_F(GarminWriterTest, EachTrackHeaderAsksForANewWaypointHeader) {
  options.FileType = 3;
  GarminWriter w = Writer();
  w.WriteGarminHeader();
  w.GarminWaypoint("one", 1, 1);
  w.GarminWaypoint("two", 2, 2);
  w.GarminTrackStart(3, 3);
  w.GarminWaypoint("three", 4, 4);
  EXPECT_EQ(Body(), kWaypointHeader + Waypoint("ONE   ", "N0100.00000 E00100.00000") +
                        Waypoint("TWO   ", "N0200.00000 E00200.00000") + kTrackHeader +
                        Point("N0300.00000 E00300.00000") + kWaypointHeader +
                        Waypoint("THREE ", "N0400.00000 E00400.00000"));

  // The next conversion of the program run writes the waypoint header again.
  channel.text.clear();
  w.WriteGarminHeader();
  EXPECT_FALSE(w.state.waypointHeaderWritten);
  w.GarminWaypoint("four", 5, 5);
  EXPECT_EQ(Body(), kWaypointHeader + Waypoint("FOUR  ", "N0500.00000 E00500.00000"));
}

TEST_F(GarminWriterTest, LineDrawnOnAfterALabelReopensItsTrack) {
  options.FileType = 3;
  GarminWriter w = Writer();
  w.WriteGarminHeader();
  w.GarminTrackPoint(1, 1);  // a line from the origin, before any track header
  w.GarminTrackPoint(2, 2);
  w.GarminWaypoint("mid", 5, 5);  // a label in mid-track
  w.GarminTrackPoint(3, 3);       // the line goes on from (2, 2)
  w.GarminWaypoint("end", 6, 6);
  w.GarminTrackStart(7, 7);  // a pen-up move: a new line, not joined to (3, 3)
  w.GarminWaypoint("x", 8, 8);
  w.GarminTrackPoint(9, 9);
  EXPECT_EQ(Body(), kTrackHeader + Point("N0100.00000 E00100.00000") +
                        Point("N0200.00000 E00200.00000") + kWaypointHeader +
                        Waypoint("MID   ", "N0500.00000 E00500.00000") + kTrackHeader +
                        Point("N0200.00000 E00200.00000") + Point("N0300.00000 E00300.00000") +
                        kWaypointHeader + Waypoint("END   ", "N0600.00000 E00600.00000") +
                        kTrackHeader + Point("N0700.00000 E00700.00000") + kWaypointHeader +
                        Waypoint("X     ", "N0800.00000 E00800.00000") + kTrackHeader +
                        Point("N0700.00000 E00700.00000") + Point("N0900.00000 E00900.00000"));

  // A track that begins off the globe has no point to join and no header until its first
  // point that can be written.
  channel.text.clear();
  w.WriteGarminHeader();
  w.GarminTrackPoint(1, 1);
  w.GarminTrackStart(10, 400);
  w.GarminWaypoint("y", 1, 1);
  w.GarminTrackPoint(10, 500);
  w.GarminTrackPoint(10, 10);
  w.GarminTrackPoint(11, 11);
  EXPECT_EQ(Body(), kTrackHeader + Point("N0100.00000 E00100.00000") + kWaypointHeader +
                        Waypoint("Y     ", "N0100.00000 E00100.00000") + kTrackHeader +
                        Point("N1000.00000 E01000.00000") + Point("N1100.00000 E01100.00000"));
}

TEST_F(GarminWriterTest, Identifiers) {
  struct Case {
    std::string text;
    std::string identifier;
  };
  for (const Case& c : std::vector<Case>{{"tower 12", "TOWER "},
                                         {"Gipfelkreuz", "GIPFEL"},
                                         {"x", "X     "},
                                         // Readers split a record at blanks: none within
                                         // the identifier, and never an empty one.
                                         {"", "_     "},
                                         {"   ", "_     "},
                                         {"READ FILE", "READ_F"},
                                         {" x", "_X    "},
                                         {"a b  c", "A_B__C"},
                                         {"ab\r\ncd", "AB__CD"},
                                         {"\x81"
                                          "ber",
                                          "\x81"
                                          "BER  "},
                                         {"a1-b_2", "A1-B_2"}}) {
    channel.text.clear();
    GarminWriter w = Writer();
    w.WriteGarminHeader();
    w.GarminWaypoint(c.text, 8.5, 47.5);
    EXPECT_EQ(Body(), kWaypointHeader + Waypoint(c.identifier, "N4730.00000 E00830.00000"))
        << c.text;
  }
}

TEST(GarminFields, LatitudeAndLongitude) {
  struct Case {
    long double value;
    int decimalPlaces;
    const char* latitude;
    const char* longitude;
  };
  for (const Case& c : {
           Case{47.5L, 3, "N4730.00000", "E04730.00000"},
           Case{-8.25L, 3, "S0815.00000", "W00815.00000"},
           Case{8.5L, 3, "N0830.00000", "E00830.00000"},
           Case{0, 3, "N0000.00000", "E00000.00000"},
           Case{-0.5L, 3, "S0030.00000", "W00030.00000"},
           Case{179.75L, 3, "N17945.00000", "E17945.00000"},
           Case{12.3456789L, 3, "N1220.74073", "E01220.74073"},
           // Minutes that round up to 60 carry into the degrees.
           Case{47.99999999L, 3, "N4800.00000", "E04800.00000"},
           Case{-179.99999999L, 3, "S18000.00000", "W18000.00000"},
           Case{9.99999999L, 3, "N1000.00000", "E01000.00000"},
           Case{9.9999999L, 3, "N0959.99999", "E00959.99999"},
           // The decimals setting shifts the minute decimals (5 + setting - 3, within 0..10).
           Case{47.5L, 5, "N4730.0000000", "E04730.0000000"},
           Case{47.5L, 1, "N4730.000", "E04730.000"},
           Case{47.5L, -2, "N4730", "E04730"},
           Case{47.995L, -2, "N4800", "E04800"},
           Case{47.5L, 9, "N4730.0000000000", "E04730.0000000000"},
       }) {
    SCOPED_TRACE(static_cast<double>(c.value));
    EXPECT_EQ(GarminLatitude(c.value, c.decimalPlaces), c.latitude);
    EXPECT_EQ(GarminLongitude(c.value, c.decimalPlaces), c.longitude);
  }
}

TEST(GarminFields, DateAndTime) {
  const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                "JUL", "AUG", "SEP", "OKT", "NOV", "DEC"};
  GarminClockTime t = FixedTime();
  for (int m = 1; m <= 12; ++m) {
    t.month = m;
    EXPECT_EQ(GarminDate(t), std::string("06-") + months[m - 1] + "-26");
  }
  t.year = 2005;
  t.day = 31;
  t.month = 10;
  EXPECT_EQ(GarminDate(t), "31-OKT-05");
  EXPECT_EQ(GarminTime(FixedTime()), " 9:05:07");
  t.hour = 23;
  t.minute = 59;
  t.second = 0;
  EXPECT_EQ(GarminTime(t), "23:59:00");
}

TEST(GarminFields, Extensions) {
  EXPECT_EQ(GarminExtension(1), "WPT");
  EXPECT_EQ(GarminExtension(2), "TRK");
  EXPECT_EQ(GarminExtension(3), "GRM");
  EXPECT_EQ(GarminOptions{}.XReference, 1);
  EXPECT_EQ(GarminOptions{}.FileType, 1);
}

TEST_F(GarminWriterTest, ArealSystemStretchesTheLongitude) {
  settings.NcSyntax = kGarminArealSystem;
  options.FileType = 3;
  struct Case {
    int xReference;
    long double x;
    long double y;
    std::string position;
  };
  // cos 60 degrees = 0.5: the distance to the reference edge doubles.
  for (const Case& c :
       {Case{1, 8.25L, 60, "N6000.00000 E00830.00000"},
        Case{1, 8.25L, -60, "S6000.00000 E00830.00000"},
        Case{2, 9.75L, 60, "N6000.00000 E00930.00000"}, Case{1, 8, 89, "N8900.00000 E00800.00000"},
        Case{2, 10, 45, "N4500.00000 E01000.00000"}}) {
    channel.text.clear();
    options.XReference = c.xReference;
    GarminWriter w = Writer(8, 10);
    w.WriteGarminHeader();
    w.GarminTrackStart(c.x, c.y);
    w.GarminWaypoint("p", c.x, c.y);
    EXPECT_EQ(Body(),
              kTrackHeader + Point(c.position) + kWaypointHeader + Waypoint("P     ", c.position));
  }
  // The global system keeps x as it is.
  settings.NcSyntax = 1;
  channel.text.clear();
  GarminWriter w = Writer(8, 10);
  w.WriteGarminHeader();
  w.GarminTrackStart(8.25, 60);
  EXPECT_EQ(Body(), kTrackHeader + Point("N6000.00000 E00815.00000"));
}

TEST_F(GarminWriterTest, PointsWithoutAFiniteLongitudeAreNotWritten) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  options.FileType = 3;
  GarminWriter w = Writer(8, 10);
  w.WriteGarminHeader();
  w.GarminTrackStart(nan, 1);
  w.GarminTrackPoint(1, inf);
  w.GarminWaypoint("bad", -inf, 0);
  settings.NcSyntax = kGarminArealSystem;
  w.GarminTrackPoint(9, 90);  // the pole: no longitude in the areal system
  w.GarminWaypoint("pole", 9, -90);
  w.GarminTrackPoint(9, 0);
  EXPECT_EQ(Body(), kTrackHeader + Point("N0000.00000 E00900.00000"));
}

TEST_F(GarminWriterTest, PositionsOffTheGlobeAreNotWritten) {
  options.FileType = 3;
  GarminWriter w = Writer(0, 400);
  w.WriteGarminHeader();
  w.GarminTrackStart(10, -367.075L);  // a drawing in millimetres: no header without a point
  w.GarminTrackPoint(180, 90);        // the edges themselves are written
  w.GarminTrackPoint(-180, -90);
  w.GarminTrackPoint(180.00000001L, 10);  // written as the edge: E18000.00000
  w.GarminTrackPoint(180.000001L, 10);
  w.GarminTrackPoint(10, 90.000001L);
  w.GarminTrackPoint(360, 10);
  w.GarminWaypoint("far", 10, -367.075L);  // no waypoint header for a waypoint left out
  w.GarminWaypoint("pole", 0, -90);
  EXPECT_EQ(Body(), kTrackHeader + Point("N9000.00000 E18000.00000") +
                        Point("S9000.00000 W18000.00000") + Point("N1000.00000 E18000.00000") +
                        kWaypointHeader + Waypoint("POLE  ", "S9000.00000 E00000.00000"));

  // With fewer minute decimals the edge takes in more: 90.0004 degrees is written as N9000.0.
  channel.text.clear();
  settings.DecimalPlaces = -1;
  w.WriteGarminHeader();
  w.GarminTrackStart(1, 90.0004L);
  w.GarminTrackPoint(1, 90.001L);
  EXPECT_EQ(Body(), std::string(kTrackHeader) + "T  N9000.0 E00100.0 06-DEC-26  9:05:07 -9999\r\n");

  // In the areal system the stretched longitude counts.
  channel.text.clear();
  settings.DecimalPlaces = 3;
  settings.NcSyntax = kGarminArealSystem;
  w.WriteGarminHeader();
  w.GarminTrackStart(100, 60);  // 0 + 100 / cos 60 = 200: off the globe
  w.GarminTrackPoint(80, 60);   // 160
  EXPECT_EQ(Body(), kTrackHeader + Point("N6000.00000 E16000.00000"));
}

// --- A real PCX5 reader ---

using testing::FindGpsbabel;
using testing::GeoPoint;
using testing::ParseGpx;
using Reading = testing::GpsReading;

// Degrees and minutes back to degrees, from the record fields themselves.
double FieldDegrees(const std::string& field) {
  double minutes = 0;
  double v = testing::FieldDegrees(field, &minutes);
  if (!(minutes < 60)) ADD_FAILURE() << "minutes of 60 or more in " << field;
  return v;
}

TEST(GarminWithGpsbabel, ReadsTheWaypointsTracksAndPointsWritten) {
  std::string gpsbabel = FindGpsbabel();
  if (gpsbabel.empty()) {
    GTEST_SKIP() << testing::kNoGpsbabel;
  }

  // A drawing of several hundred elements: 24 tracks of 4 to 27 points and 72 labels, in all
  // four quadrants, with minutes that need every decimal and some that round up to 60.
  Settings settings;
  GarminOptions options;
  options.FileType = 3;
  StringChannel channel;
  bool errorFlag = false;
  TextOut out(channel, errorFlag);
  GarminWriter writer(out, settings, options, -180, 180);
  writer.WriteGarminHeader();
  Reading written;
  int label = 0;
  for (int t = 0; t < 24; ++t) {
    written.tracks.emplace_back();
    int points = 4 + t;
    for (int k = 0; k < points; ++k) {
      double lat = (t % 2 ? -1 : 1) * (0.1234567 * k + t * 3.17 + 0.5);
      double lon = (t % 3 ? 1 : -1) * (1.7654321 * k + t * 5.3);
      if (k == 2) lon = (t % 3 ? 1 : -1) * (t + 0.99999999);  // minutes carry into degrees
      if (k == 0) {
        writer.GarminTrackStart(lon, lat);
      } else {
        writer.GarminTrackPoint(lon, lat);
      }
      written.tracks.back().push_back({lat, lon});
    }
    for (int k = 0; k < (t % 4 == 0 ? 6 : 2); ++k, ++label) {
      double lat = -60 + label * 2.0123;
      double lon = 170 - label * 4.4321;
      std::string name = "wp" + std::to_string(label);
      writer.GarminWaypoint(name, lon, lat);
      for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      written.waypoints.push_back({name, {lat, lon}});
    }
  }
  ASSERT_FALSE(errorFlag);
  ASSERT_EQ(label, 72);

  // Check every record's layout and fields here: the reader is lenient.
  static const std::regex kTrackLine(
      R"re(T  ([NS]\d{4}\.\d{5}) ([EW]\d{5}\.\d{5}) \d\d-[A-Z]{3}-\d\d [ \d]\d:\d\d:\d\d -9999)re");
  static const std::regex kWaypointLine(
      R"re(W  (.{6}) ([NS]\d{4}\.\d{5}) ([EW]\d{5}\.\d{5}) \d\d-[A-Z]{3}-\d\d [ \d]\d:\d\d:\d\d )re"
      R"re(-9999 .{40} 0\.00000e\+00        0)re");
  std::vector<GeoPoint> fieldPoints;
  std::vector<GeoPoint> fieldWaypoints;
  std::istringstream lines(channel.text);
  for (std::string line; std::getline(lines, line);) {
    ASSERT_TRUE(line.ends_with("\r")) << line;
    line.pop_back();
    std::smatch m;
    if (line.starts_with("T  ")) {
      ASSERT_TRUE(std::regex_match(line, m, kTrackLine)) << line;
      fieldPoints.push_back({FieldDegrees(m[1]), FieldDegrees(m[2])});
    } else if (line.starts_with("W  ")) {
      ASSERT_TRUE(std::regex_match(line, m, kWaypointLine)) << line;
      fieldWaypoints.push_back({FieldDegrees(m[2]), FieldDegrees(m[3])});
    }
    EXPECT_EQ(line.find("nan"), std::string::npos);
    EXPECT_EQ(line.find("inf"), std::string::npos);
  }
  std::size_t p = 0;
  for (const auto& track : written.tracks) {
    for (const GeoPoint& g : track) {
      ASSERT_LT(p, fieldPoints.size());
      EXPECT_NEAR(fieldPoints[p].lat, g.lat, 1e-6);
      EXPECT_NEAR(fieldPoints[p].lon, g.lon, 1e-6);
      ++p;
    }
  }
  EXPECT_EQ(p, fieldPoints.size());
  ASSERT_EQ(fieldWaypoints.size(), written.waypoints.size());

  // gpsbabel reads the file.
  std::filesystem::path file = std::filesystem::temp_directory_path() /
                               ("plotvue-garmin-" + std::to_string(getpid()) + ".GRM");
  {
    std::ofstream f(file, std::ios::binary);
    f << channel.text;
  }
  int status = 0;
  std::string gpx =
      RunCommand("'" + gpsbabel + "' -i pcx -f '" + file.string() + "' -o gpx -F - 2>&1", status);
  std::filesystem::remove(file);
  ASSERT_EQ(status, 0) << gpx;
  Reading read = ParseGpx(gpx);

  ASSERT_EQ(read.waypoints.size(), written.waypoints.size());
  for (std::size_t k = 0; k < read.waypoints.size(); ++k) {
    EXPECT_EQ(read.waypoints[k].first, written.waypoints[k].first);
    EXPECT_NEAR(read.waypoints[k].second.lat, written.waypoints[k].second.lat, 1e-6) << k;
    EXPECT_NEAR(read.waypoints[k].second.lon, written.waypoints[k].second.lon, 1e-6) << k;
  }
  ASSERT_EQ(read.tracks.size(), written.tracks.size());
  for (std::size_t t = 0; t < read.tracks.size(); ++t) {
    ASSERT_EQ(read.tracks[t].size(), written.tracks[t].size()) << "track " << t;
    for (std::size_t k = 0; k < read.tracks[t].size(); ++k) {
      EXPECT_NEAR(read.tracks[t][k].lat, written.tracks[t][k].lat, 1e-6) << t << "/" << k;
      EXPECT_NEAR(read.tracks[t][k].lon, written.tracks[t][k].lon, 1e-6) << t << "/" << k;
    }
  }
}

}  // namespace
}  // namespace plotvue
