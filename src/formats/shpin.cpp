// shpin: loads the TXT.SHP stroke font and draws labels with it. See shpin.h for the file
// format, the glyph bytes and the state the caller owns.
#include "formats/shpin.h"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <optional>
#include <system_error>

#include "base/displaytext.h"
#include "base/fileutil.h"

namespace plotvue {
namespace {

constexpr char kShpHeader[] = "*0,4,";
constexpr std::size_t kShpHeaderLength = 5;

// A value keeps at most this many characters for its conversion and its message; longer values
// are read over to their end (they cannot be a number of the format anyway).
constexpr std::size_t kTokenKeep = 64;

// The first `count` UTF-8 characters of `text`.
std::string_view Utf8Prefix(std::string_view text, std::size_t count) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (chars == count) return text.substr(0, i);
      ++chars;
    }
  }
  return text;
}

// A text of code page 437 bytes for a message, in UTF-8.
std::string ShownText(std::string_view bytes) {
  std::string s;
  for (char ch : bytes) s += Cp437ToUtf8(static_cast<unsigned char>(ch));
  return s;
}

// One character of a record line for a message: a control character as "#" and its code.
std::string ShownChar(int ch) {
  if (ch < 0) return std::string();
  if (ch < 32) {
    std::string s("#");  // appended, not "+": GCC 12 warns wrongly (-Wrestrict) on that
    s += std::to_string(ch);
    return s;
  }
  return Cp437ToUtf8(static_cast<unsigned char>(ch));
}

bool IsLineEnd(int ch) { return ch == '\r' || ch == '\n'; }
bool IsBlank(int ch) { return ch == ' ' || ch == '\t'; }

// One value of the file as read: up to the next comma (consumed) or line end (left in place),
// without the blanks around it.
struct Token {
  std::string head;        // the first kTokenKeep characters
  std::string tail;        // the last three characters
  std::size_t length = 0;  // all characters
  bool atFileEnd = false;  // the file ended before the value began

  void Add(char ch) {
    ++length;
    if (head.size() < kTokenKeep) head += ch;
    tail += ch;
    if (tail.size() > 3) tail.erase(0, 1);
  }
};

// A signed decimal number ("-12", "+7", "300") within the 32-bit range, or nullopt.
std::optional<long long> DecimalValue(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') return std::nullopt;
  }
  long long value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return value;
}

// Reads the font file character by character, as the format defines, and fills the font.
class ShpReader {
 public:
  ShpReader(Program& program, ShpFont& font, ErrorList& errorList, std::istream& in)
      : program_(program), font_(font), errorList_(errorList), in_(in) {}

  ShpReadResult Read();

 private:
  int Get() {
    int ch = in_.get();
    return ch == std::char_traits<char>::eof() ? -1 : ch;
  }
  int Peek() {
    int ch = in_.peek();
    return ch == std::char_traits<char>::eof() ? -1 : ch;
  }
  // Reads over the rest of the line and its line end (CR LF, LF or CR).
  void SkipLine();
  // Reads the first line whole; true when it begins with "*0,4,".
  bool ReadHeaderLine();
  // `continued`: a line end right after a comma is read over (a definition line that ends in a
  // comma goes on on the next line).
  Token ReadToken(bool continued);
  // The value of a token: hexadecimal, decimal, or 0 with a message.
  long long Value(const Token& token);

  Program& program_;
  ShpFont& font_;
  ErrorList& errorList_;
  std::istream& in_;
  bool afterComma_ = false;  // the last value ended at a comma
};

void ShpReader::SkipLine() {
  for (;;) {
    int ch = Get();
    if (ch < 0 || ch == '\n') break;
    if (ch == '\r') {
      if (Peek() == '\n') Get();
      break;
    }
  }
  afterComma_ = false;
}

bool ShpReader::ReadHeaderLine() {
  std::string start;
  for (;;) {
    int ch = Peek();
    if (ch < 0 || IsLineEnd(ch)) break;
    Get();
    if (start.size() < kShpHeaderLength) start += static_cast<char>(ch);
  }
  SkipLine();
  return start == kShpHeader;
}

Token ShpReader::ReadToken(bool continued) {
  Token token;
  for (;;) {
    int ch = Peek();
    if (IsBlank(ch) || (continued && afterComma_ && IsLineEnd(ch))) {
      Get();
      continue;
    }
    if (ch < 0) token.atFileEnd = true;
    break;
  }
  afterComma_ = false;
  std::size_t blanks = 0;  // blanks not yet known to lie inside the value
  for (;;) {
    int ch = Peek();
    if (ch < 0 || IsLineEnd(ch)) break;
    Get();
    if (ch == ',') {
      afterComma_ = true;
      break;
    }
    if (IsBlank(ch)) {
      ++blanks;
      continue;
    }
    for (; blanks > 0; --blanks) token.Add(' ');
    token.Add(static_cast<char>(ch));
  }
  return token;
}

long long ShpReader::Value(const Token& token) {
  if (token.atFileEnd) return 0;
  // One leading "(" and one trailing ")" are not part of the number.
  const std::size_t open = (token.length > 0 && token.head.front() == '(') ? 1 : 0;
  const std::size_t close = (token.length > open && token.tail.back() == ')') ? 1 : 0;
  const std::size_t length = token.length - open - close;
  if (length > 1 && token.head[open] == '0') {
    std::string_view tail = token.tail;
    tail.remove_suffix(close);
    return HexCharToDez(tail[tail.size() - 2], errorList_) * 16 +
           HexCharToDez(tail[tail.size() - 1], errorList_);
  }
  if (token.length <= kTokenKeep) {
    if (auto value = DecimalValue(std::string_view(token.head).substr(open, length))) {
      return *value;
    }
  }
  program_.Error("Ungültiges Zeichen " + ShownText(token.head) + " !");
  return 0;
}

ShpReadResult ShpReader::Read() {
  if (!ReadHeaderLine()) {
    program_.Error("Invalid SHP file !");
    program_.ErrorFlag = true;
  }
  const Token aboveToken = ReadToken(false);
  const long long above = Value(aboveToken);
  font_.below = static_cast<std::uint8_t>(Value(ReadToken(false)) & 0xFF);
  font_.modes = static_cast<std::uint8_t>(Value(ReadToken(false)) & 0xFF);
  SkipLine();
  // A capital height of 0 would make every stroke infinite: such a font keeps the height 1.
  // (A file that ends here is reported by the record step below.)
  if ((above & 0xFF) != 0) {
    font_.above = static_cast<std::uint8_t>(above & 0xFF);
  } else if (!aboveToken.atFileEnd) {
    program_.Error("Invalid SHP file !");
    program_.ErrorFlag = true;
  }

  for (;;) {
    int ch = Get();
    if (ch != '*') {
      std::string message("Invalid SHP Char ");
      message += ShownChar(ch);
      message += " !";
      program_.Error(message);
      return ShpReadResult::Invalid;
    }
    long long shape = Value(ReadToken(false));
    long long count = Value(ReadToken(false));
    if (count > kShpGlyphBytes) {
      program_.Error("TXT.SHP: more than " + std::to_string(kShpGlyphBytes) + " Bytes/character");
      return ShpReadResult::Invalid;
    }
    SkipLine();
    // Only the numbers 32..129 name a record; any other shape is read over (a number of 256
    // or more does not wrap onto another character's record).
    const bool stored = shape >= kShpFirstCode && shape <= kShpLastCode;
    ShpGlyph record{};
    for (long long k = 0; k < count; ++k) {
      Token token = ReadToken(true);
      if (token.atFileEnd) break;
      long long value = Value(token);
      record[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value & 0xFF);
    }
    SkipLine();
    if (stored) font_.glyphs[static_cast<std::size_t>(shape - kShpFirstCode)] = record;
    if (shape >= kShpLastCode) break;
  }
  font_.loaded = true;
  return ShpReadResult::Loaded;
}

}  // namespace

void ErrorList::Add(const std::string& message) {
  std::string_view key = Utf8Prefix(message, kErrorListCompareLength);
  for (const std::string& entry : entries) {
    if (Utf8Prefix(entry, kErrorListCompareLength) == key) return;
  }
  if (entries.size() < kErrorListMax) entries.push_back(message);
}

const ShpGlyph* ShpFont::Glyph(int code) const {
  if (code < kShpFirstCode || code > kShpLastCode) return nullptr;
  return &glyphs[static_cast<std::size_t>(code - kShpFirstCode)];
}

int HexCharToDez(char c, ErrorList& errorList) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  errorList.Add("Fehlerhafter Hex-Code \"" + Cp437ToUtf8(static_cast<unsigned char>(c)) +
                "\" ! (Procedure HexCharToDez)");
  return 0;
}

std::string FindShpFont(const std::vector<std::string>& dirs) {
  for (const std::string& dir : dirs) {
    std::string path = WithTrailingSlash(dir) + kShpFileName;
    if (PathExists(path) && !IsDirectory(path) && ::access(path.c_str(), R_OK) == 0) return path;
  }
  return std::string();
}

ShpReadResult ReadShpFont(Program& program, ShpFont& font, ErrorList& errorList,
                          const std::vector<std::string>& dirs) {
  font = ShpFont{};
  std::string path = FindShpFont(dirs);
  std::ifstream in;
  if (!path.empty()) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    program.Error(std::string("fichier ") + kShpFileName + " introuvable ou accès impossible" +
                  " !");
    return ShpReadResult::NotFound;
  }
  font.path = path;
  return ReadShpFontFrom(program, font, errorList, in);
}

ShpReadResult ReadShpFontFrom(Program& program, ShpFont& font, ErrorList& errorList,
                              std::istream& in) {
  return ShpReader(program, font, errorList, in).Read();
}

std::span<const std::uint8_t> ShpStrokeFont::Glyph(int code) const {
  const ShpGlyph* glyph = font_.loaded ? font_.Glyph(code) : nullptr;
  if (glyph == nullptr) return {};
  return std::span<const std::uint8_t>(glyph->data(), glyph->size());
}

bool UseShpStrokes(const Settings& settings, const ShpFont& font) {
  auto no = [](char c) { return c == 'N' || c == 'n'; };
  return !no(settings.UseShpFont) && !no(settings.ShpLoad) && font.loaded;
}

ShpPoint StrokeShpText(const ShpFont& font, std::string_view text, ShpPoint start,
                       long double height, long double angle, bool penDown, ShpPen& pen) {
  if (!font.loaded || font.above < 1 || !std::isfinite(start.x) || !std::isfinite(start.y) ||
      !std::isfinite(height) || !std::isfinite(angle)) {
    return start;
  }
  const long double radians = angle * std::numbers::pi_v<long double> / 180.0L;
  // The glyphs' steps onto `pen`; a step whose result would not be finite ends the text.
  struct Walker {
    ShpPen& pen;
    bool down;
    long double unit, cosA, sinA;
    ShpPoint at;
    bool Step(long double length, long double dx, long double dy) {
      const long double s = length * unit;
      const long double x = at.x + s * (dx * cosA - dy * sinA);
      const long double y = at.y + s * (dy * cosA + dx * sinA);
      if (!std::isfinite(x) || !std::isfinite(y)) return false;
      at = {x, y};
      if (down) {
        pen.LineTo(x, y);
      } else {
        pen.MoveTo(x, y);
      }
      return true;
    }
    void PenDown() {
      pen.PenDown();
      down = true;
    }
    void PenUp() {
      pen.PenUp();
      down = false;
    }
  } walker{pen,
           penDown,
           height / static_cast<long double>(font.above),
           std::cos(radians),
           std::sin(radians),
           start};
  for (char ch : text) {
    const ShpGlyph* glyph = font.Glyph(static_cast<unsigned char>(ch));
    if (glyph == nullptr) continue;
    if (!WalkGlyph(std::span<const std::uint8_t>(glyph->data(), glyph->size()), walker)) break;
  }
  return walker.at;
}

}  // namespace plotvue
