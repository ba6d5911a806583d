// iges: the IGES writer of output syntax 7 (see iges.h for the state it owns).
#include "formats/iges.h"

#include <unistd.h>

#include <array>
#include <cmath>
#include <ctime>
#include <initializer_list>
#include <numbers>

#include "config/paths.h"
#include "output/numformat.h"

namespace plotvue {
namespace {

// IGES colour number of each pen 0..15.
constexpr std::array<int, 16> kPenColour = {0, 2, 5, 3, 7, 4, 6, 0, 8, 10, 11, 12, 13, 14, 15, 1};

// Columns 1..72 of a record hold its data; the Parameter Data pieces use columns 1..64.
constexpr std::size_t kRecordData = 72;
constexpr std::size_t kPieceLength = 64;
// Largest sequence number that fits in columns 74..80.
constexpr int kMaxSequence = 9999999;
// Longest number text that can never be split between two Parameter Data records: with its
// delimiter it fits within the 63 characters the comma search looks at.
constexpr std::size_t kMaxNumberText = 62;

constexpr const char* kStartRecord2 = "Uebersetzer von TAVOLIN GMBH, Uebersetzerversion 3.1";
constexpr const char* kStartRecord3 = "Generated from an HP-GL plot file";
constexpr const char* kPreprocessorVersion = "PLOTVUE 8.3";
constexpr const char* kAuthor = "PLOTVUE";
constexpr const char* kOrganisation = "TAVOLIN Industriesoftware GmbH";
// The time of day written after the date in Global field 18.
constexpr const char* kGlobalTime = "081107";

std::string TwoDigits(int value) {
  value %= 100;
  if (value < 0) value += 100;
  std::string s(2, '0');
  s[0] = static_cast<char>('0' + value / 10);
  s[1] = static_cast<char>('0' + value % 10);
  return s;
}

// A Directory Entry field: right-aligned in 8 columns; a longer value keeps its first 8.
std::string DeField(std::string_view value) {
  if (value.size() >= 8) return std::string(value.substr(0, 8));
  return std::string(8 - value.size(), ' ') + std::string(value);
}

std::string DeFields(std::initializer_list<std::string> values) {
  std::string s;
  for (const auto& v : values) s += DeField(v);
  return s;
}

bool AllFinite(std::initializer_list<long double> values) {
  for (long double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// True when two numbers as written denote the same value ("-0.000" is "0.000").
bool SameNumber(const std::string& a, const std::string& b) {
  auto unsignedZero = [](const std::string& s) {
    const bool negativeZero =
        s.size() > 1 && s[0] == '-' && s.find_first_not_of("0.", 1) == std::string::npos;
    return negativeZero ? s.substr(1) : s;
  };
  return unsignedZero(a) == unsignedZero(b);
}

// The records of one Global record text. A text that fits into columns 1..72 is one record. A
// longer one (a long PlotFile) is packed parameter by parameter into several records, so that
// no record runs past column 72; a parameter longer than a record (only a Hollerith string can
// be) begins a record and continues in the next ones, as IGES allows for strings.
std::vector<std::string> PackGlobal(const std::vector<std::string>& fields) {
  std::string joined;
  for (const auto& f : fields) joined += f;
  if (joined.size() <= kRecordData) return {joined};
  std::vector<std::string> records;
  std::string current;
  for (const auto& field : fields) {
    if (current.size() + field.size() <= kRecordData) {
      current += field;
      continue;
    }
    if (!current.empty()) records.push_back(current);
    current.clear();
    std::string_view rest = field;
    while (rest.size() > kRecordData) {
      records.emplace_back(rest.substr(0, kRecordData));
      rest.remove_prefix(kRecordData);
    }
    current = std::string(rest);
  }
  if (!current.empty()) records.push_back(current);
  return records;
}

}  // namespace

IgesDate IgesToday() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return IgesDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string IgesRecord(std::string_view data, std::string_view right, char section, int number) {
  std::size_t used = data.size() + right.size() + 8;
  std::string record(data);
  if (used < 80) record.append(80 - used, ' ');
  record += right;
  char tail[16];
  std::snprintf(tail, sizeof tail, "%c%07d", section, number);
  record += tail;
  return record;
}

std::vector<std::string> IgesCutParameters(std::string_view text) {
  std::vector<std::string> pieces;
  while (text.size() > kPieceLength) {
    std::size_t comma = text.substr(0, kPieceLength - 1).rfind(',');
    std::size_t length = comma == std::string_view::npos ? kPieceLength : comma + 1;
    pieces.emplace_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  pieces.emplace_back(text);
  return pieces;
}

std::vector<std::string> IgesCutHollerith(std::string_view text) {
  std::vector<std::string> pieces;
  while (text.size() > kPieceLength) {
    pieces.emplace_back(text.substr(0, kPieceLength));
    text.remove_prefix(kPieceLength);
  }
  pieces.emplace_back(text);
  return pieces;
}

std::string IgesHollerith(std::string_view text) {
  return std::to_string(text.size()) + "H" + std::string(text);
}

bool IgesScratchFile::Create(const std::string& dir) {
  Close();
  std::string path = dir;
  if (path.empty() || path.back() != '/') path += '/';
  path += "plotvue-iges-XXXXXX";
  int fd = mkstemp(path.data());
  if (fd < 0) return false;
  // Unlinked at once: the open handle keeps the data, and no path can leave the file behind.
  unlink(path.c_str());
  file_ = fdopen(fd, "w+b");
  if (file_ == nullptr) {
    close(fd);
    return false;
  }
  return true;
}

bool IgesScratchFile::AppendRecord(std::string_view record) {
  if (file_ == nullptr) return false;
  if (std::fwrite(record.data(), 1, record.size(), file_) != record.size()) return false;
  return std::fputc('\n', file_) != EOF;
}

bool IgesScratchFile::CopyRecords(TextOut& out) {
  if (file_ == nullptr) return false;
  if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) return false;
  std::string record;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file_)) > 0) {
    for (std::size_t k = 0; k < got; ++k) {
      if (buffer[k] == '\n') {
        out.WriteLine(record);
        record.clear();
      } else {
        record += buffer[k];
      }
    }
  }
  bool ok = std::ferror(file_) == 0;
  // Every record ends in a line feed; anything after the last one is a torn write.
  if (!record.empty()) ok = false;
  return ok;
}

void IgesScratchFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool IgesWriter::IgesBeginFile(TextOut& out, const Settings& settings, const std::string& tempDir) {
  state = IgesState{};
  decimalPlaces_ = settings.DecimalPlaces;
  if (!scratch_.Create(tempDir.empty() ? TempDirectory() : tempDir)) {
    out.errorFlag() = true;
    return false;
  }
  return true;
}

void IgesWriter::IgesGlobal(TextOut& out, std::string_view fileName, long double maxCoordinate,
                            const IgesDate& date) {
  state = IgesState{};
  auto start = [&](std::string_view text) { out.WriteLine(IgesRecord(text, "", 'S', ++state.S)); };
  std::string first = std::string("IGES-Datei generiert von ") + kProgramName;
  start(std::string_view(first).substr(0, 50));
  start(kStartRecord2);
  start(kStartRecord3);

  const std::string file = IgesHollerith(fileName) + ",";
  const std::string stamp =
      TwoDigits(date.year) + TwoDigits(date.month) + TwoDigits(date.day) + "." + kGlobalTime;
  const std::vector<std::vector<std::string>> global = {
      {",", ",", IgesHollerith("FILE") + ",", file,
       IgesHollerith(std::string(kProgramName) + " V" + kProgramVersion) + ",",
       IgesHollerith(kPreprocessorVersion) + ","},
      {"16,", "38,", "6,", "99,", "15,"},
      {file, "1.0,", "2,", IgesHollerith("MM") + ",", "32767,", "3.2767D1,"},
      {IgesHollerith(stamp) + ",", "1.0D-8,", FormatShort(maxCoordinate, decimalPlaces_) + ","},
      {IgesHollerith(kAuthor) + ",", IgesHollerith(kOrganisation) + ",", "4,", "0;"},
  };
  for (const auto& fields : global) {
    for (const auto& record : PackGlobal(fields)) {
      out.WriteLine(IgesRecord(record, "", 'G', ++state.G));
    }
  }
}

void IgesWriter::IgesSetPen(int pen) {
  state.colourNumber = pen >= 0 && pen < static_cast<int>(kPenColour.size())
                           ? kPenColour[static_cast<std::size_t>(pen)]
                           : 0;
}

std::string IgesWriter::Real(long double value) const {
  return FormatFixed(value, 3, decimalPlaces_);
}

void IgesWriter::IgesLine(TextOut& out, long double x1, long double y1, long double x2,
                          long double y2) {
  if (!AllFinite({x1, y1, x2, y2})) return;
  const std::string sx = Real(x1), sy = Real(y1), ex = Real(x2), ey = Real(y2);
  // A line whose ends are written as one point has no direction: readers reject it.
  if (SameNumber(sx, ex) && SameNumber(sy, ey)) return;
  std::string params = "110," + sx + "," + sy + ",0.0," + ex + "," + ey + ",0.0;";
  WriteEntity(out, 110, false, params, {});
}

void IgesWriter::IgesArc(TextOut& out, long double cx, long double cy, long double x1,
                         long double y1, long double x2, long double y2) {
  if (!AllFinite({cx, cy, x1, y1, x2, y2})) return;
  std::string params = "100,0.0," + Real(cx) + "," + Real(cy) + "," + Real(x1) + "," + Real(y1) +
                       "," + Real(x2) + "," + Real(y2) + ";";
  WriteEntity(out, 100, true, params, {});
}

void IgesWriter::IgesNote(TextOut& out, std::string_view text, long double x, long double y,
                          long double textHeight, long double widthFactor, long double textAngle) {
  if (text.empty()) return;
  const long double n = static_cast<long double>(text.size());
  const long double boxWidth = n * textHeight * widthFactor;
  const long double radians = textAngle * std::numbers::pi_v<long double> / 180.0L;
  if (!AllFinite({x, y, textHeight, boxWidth, radians})) return;
  std::string params = "212,1," + std::to_string(text.size()) + "," + Real(boxWidth) + "," +
                       Real(textHeight) + ",1,," + FormatFixed(radians, 6, decimalPlaces_) +
                       ",0,0," + Real(x) + "," + Real(y) + ",0.0,";
  // A line end inside the text would break the record layout; control characters become
  // blanks, as the plot file reader delivers them.
  std::string shown(text);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  }
  WriteEntity(out, 212, true, params, IgesHollerith(shown) + ";");
}

void IgesWriter::WriteEntity(TextOut& out, int entityType, bool transformZero,
                             const std::string& params, const std::string& hollerith) {
  // A number split between two records would be read as two numbers: such an entity (only
  // absurdly large coordinates make one) is not written.
  std::size_t start = 0;
  for (std::size_t k = 0; k <= params.size(); ++k) {
    if (k == params.size() || params[k] == ',' || params[k] == ';') {
      if (k - start > kMaxNumberText) return;
      start = k + 1;
    }
  }
  std::vector<std::string> pieces = IgesCutParameters(params);
  if (!hollerith.empty()) {
    for (auto& piece : IgesCutHollerith(hollerith)) pieces.push_back(std::move(piece));
  }
  if (state.D > kMaxSequence - 2 || state.P > kMaxSequence - static_cast<int>(pieces.size())) {
    state.sequenceExhausted = true;
    out.errorFlag() = true;
    return;
  }

  state.pLineCount = 0;
  state.dePointer += 2;
  const std::string dePointer = std::to_string(state.dePointer);
  for (const auto& piece : pieces) {
    if (!scratch_.AppendRecord(IgesRecord(piece, dePointer, 'P', ++state.P))) {
      out.errorFlag() = true;
    }
    ++state.pLineCount;
  }
  const std::string type = std::to_string(entityType);
  const std::string colour = std::to_string(state.colourNumber);
  out.WriteLine(IgesRecord(
      DeFields({type, std::to_string(state.pPointer), "1", std::to_string(state.lineFontPattern),
                colour, "", transformZero ? "0" : "", ""}),
      "00000000", 'D', ++state.D));
  out.WriteLine(
      IgesRecord(DeFields({type, "", colour, std::to_string(state.pLineCount), "", "", "", ""}), "",
                 'D', ++state.D));
  state.pPointer += state.pLineCount;
}

void IgesWriter::IgesEndFile(TextOut& out) {
  if (!scratch_.CopyRecords(out)) out.errorFlag() = true;
  scratch_.Close();
  char counts[64];
  std::snprintf(counts, sizeof counts, "S%07dG%07dD%07dP%07d", state.S, state.G, state.D, state.P);
  out.WriteLine(IgesRecord(counts, "", 'T', ++state.T));
}

}  // namespace plotvue
