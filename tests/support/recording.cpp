#include "support/recording.h"

#include <cstdio>

namespace plotvue::testing {

std::string Num(long double v) {
  if (v > -1e-9L && v < 1e-9L) v = 0.0L;  // rounding noise of sin and cos
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.10Lg", v);
  std::string s(buf);
  if (s == "-0") s = "0";
  return s;
}

void RecordingDriver::BeginOutput(int syntaxCode, int deviceCode) {
  log.push_back("BeginOutput(" + std::to_string(syntaxCode) + "," + std::to_string(deviceCode) +
                ") " + program_.settings.PlotFile);
  if (failBegin || (failBeginFrom >= 0 && begins_ >= failBeginFrom)) program_.ErrorFlag = true;
  ++begins_;
}

void RecordingDriver::OutRotate(long double angle) { log.push_back("OutRotate(" + Num(angle) + ")"); }

void RecordingDriver::SelectPen(int pen) { log.push_back("SelectPen(" + std::to_string(pen) + ")"); }

void RecordingDriver::MoveTo(bool force, long double x, long double y) {
  log.push_back("MoveTo(" + std::string(force ? "1" : "0") + "," + Num(x) + "," + Num(y) + ")");
}

void RecordingDriver::DrawLine(long double x1, long double y1, long double x2, long double y2) {
  log.push_back("DrawLine(" + Num(x1) + "," + Num(y1) + "," + Num(x2) + "," + Num(y2) + ")");
  if (failAfterLines >= 0 && lines_++ >= failAfterLines) program_.ErrorFlag = true;
}

void RecordingDriver::OutCircle(long double x, long double y, long double r) {
  log.push_back("OutCircle(" + Num(x) + "," + Num(y) + "," + Num(r) + ")");
}

void RecordingDriver::OutArc(long double cx, long double cy, long double a1, long double a2,
                             long double r, long double direction) {
  log.push_back("OutArc(" + Num(cx) + "," + Num(cy) + "," + Num(a1) + "," + Num(a2) + "," +
                Num(r) + "," + Num(direction) + ")");
}

void RecordingDriver::OutTextStyle(int kind, long double angle, long double height,
                                   long double width) {
  log.push_back("OutTextStyle(" + std::to_string(kind) + "," + Num(angle) + "," + Num(height) +
                "," + Num(width) + ")");
}

void RecordingDriver::OutTextJustify(int h, int v) {
  log.push_back("OutTextJustify(" + std::to_string(h) + "," + std::to_string(v) + ")");
}

void RecordingDriver::LabelAt(const std::string& text, long double x, long double y) {
  log.push_back("LabelAt(" + text + "," + Num(x) + "," + Num(y) + ")");
}

void RecordingDriver::EndPolygon(int mode) {
  log.push_back("EndPolygon(" + std::to_string(mode) + ")");
}

void RecordingDevice::DevSetColor(int colour) {
  log.push_back("DevSetColor(" + std::to_string(colour) + ")");
}

void RecordingDevice::DevLine(long double x1, long double y1, long double x2, long double y2) {
  log.push_back("DevLine(" + Num(x1) + "," + Num(y1) + "," + Num(x2) + "," + Num(y2) + ")");
}

void RecordingDevice::DevCircle(long double x, long double y, long double radius) {
  log.push_back("DevCircle(" + Num(x) + "," + Num(y) + "," + Num(radius) + ")");
}

void RecordingDevice::DevArc(long double cx, long double cy, long double a1, long double a2,
                             long double radius) {
  log.push_back("DevArc(" + Num(cx) + "," + Num(cy) + "," + Num(a1) + "," + Num(a2) + "," +
                Num(radius) + ")");
}

void RecordingDevice::DevSetTextStyle(int font, long double direction, long double height,
                                      long double width) {
  log.push_back("DevSetTextStyle(" + std::to_string(font) + "," + Num(direction) + "," +
                Num(height) + "," + Num(width) + ")");
}

void RecordingDevice::DevSetTextJustify(int h, int v) {
  log.push_back("DevSetTextJustify(" + std::to_string(h) + "," + std::to_string(v) + ")");
}

void RecordingDevice::DevOutText(const std::string& text, long double x, long double y) {
  log.push_back("DevOutText(" + text + "," + Num(x) + "," + Num(y) + ")");
}

}  // namespace plotvue::testing
