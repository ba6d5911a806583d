#include "app/recent.h"

#include <charconv>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#include "base/fileutil.h"
#include "config/paths.h"

namespace plotvue {
namespace {

// Both files are a few lines; anything much larger is not one of them.
constexpr std::size_t kMaxFileBytes = 64 * 1024;
constexpr int kGeometryLimit = 1000000;
// Longer than any path the system takes (PATH_MAX).
constexpr std::size_t kMaxLineBytes = 4096;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k)
    if (LowerAscii(a[k]) != LowerAscii(b[k])) return false;
  return true;
}

std::size_t CodePoints(const std::string& text) {
  std::size_t n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// The whole file at `path`, or nothing when it is not a plain readable file of at most
// kMaxFileBytes.
bool ReadSmallFile(const std::string& path, std::string& bytes) {
  if (path.empty() || !PathExists(path) || IsDirectory(path)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string data(kMaxFileBytes + 1, '\0');
  in.read(data.data(), static_cast<std::streamsize>(data.size()));
  if (in.bad()) return false;
  const auto got = static_cast<std::size_t>(in.gcount());
  if (got > kMaxFileBytes) return false;
  data.resize(got);
  bytes = std::move(data);
  return true;
}

// Splits `text` into its lines, each ended by LF (a CR before the LF is dropped); `complete`
// tells whether the text ends with a line end.
std::vector<std::string> SplitLines(const std::string& text, bool& complete) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      complete = false;
      return lines;
    }
    std::size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
    lines.push_back(text.substr(start, stop - start));
    start = end + 1;
  }
  complete = true;
  return lines;
}

// True when a line holds a control character: the file is then not one that was written here.
bool HasControlCharacter(const std::string& line) {
  for (unsigned char c : line)
    if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
  return false;
}

// True when `text` can be written as one line that ReadHistory accepts again.
bool Storable(const std::string& text) {
  return text.size() <= kMaxLineBytes && !HasControlCharacter(text);
}

bool ParseInt(std::string_view text, int& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

bool WriteInSettingsDir(const std::string& path, const std::string& bytes) {
  const std::string dir = DirectoryPart(path);
  // The settings directory comes into being with its first file.
  if (!dir.empty() && !IsDirectory(dir) && EnsureDir(dir).empty()) return false;
  return WriteFileAtomically(path, bytes, nullptr);
}

}  // namespace

// --- Recent files ----------------------------------------------------------------------------

void RecentFiles::Add(const std::string& path) {
  if (path.empty()) return;
  std::array<std::string, kRecentFileCount> next;
  std::size_t n = 0;
  next[n++] = path;
  for (const std::string& entry : entries) {
    if (n == next.size()) break;
    if (entry.empty() || EqualIgnoringCase(entry, path)) continue;
    next[n++] = entry;
  }
  entries = std::move(next);
}

void RecentFiles::Remove(int index) {
  if (index < 0 || index >= kRecentFileCount) return;
  for (int k = index; k + 1 < kRecentFileCount; ++k)
    entries[static_cast<std::size_t>(k)] = std::move(entries[static_cast<std::size_t>(k) + 1]);
  entries.back().clear();
}

std::string RecentCaption(int index, const std::string& path) {
  std::string shown = path;
  if (CodePoints(path) >= kRecentCaptionShortenFrom) {
    const std::size_t first = path.find('/');
    const std::size_t last = path.rfind('/');
    if (first != std::string::npos && first != last)
      shown = path.substr(0, first + 1) + "..." + path.substr(last);
  }
  return "&" + std::to_string(index + 1) + " " + shown;
}

// --- History file ----------------------------------------------------------------------------

std::string HistoryPath(const Program& program) {
  return WithTrailingSlash(program.programDir) + kHistoryFileName;
}

void ReadHistory(const std::string& path, RecentFiles& recent) {
  std::string lastDir;
  ReadHistory(path, recent, lastDir);
}

void ReadHistory(const std::string& path, RecentFiles& recent, std::string& lastDir) {
  recent = RecentFiles{};
  lastDir.clear();
  std::string bytes;
  if (!ReadSmallFile(path, bytes)) return;
  bool complete = false;
  std::vector<std::string> lines = SplitLines(bytes, complete);
  // A file cut short, even within its last line, is not trusted at all.
  const std::size_t needed = 1 + kRecentFileCount;
  if (lines.size() < needed || (lines.size() == needed && !complete)) return;
  for (std::size_t k = 0; k < needed; ++k)
    if (HasControlCharacter(lines[k])) return;
  const std::string prefix = kHistorySessionPrefix;
  if (lines[0].compare(0, prefix.size(), prefix) != 0) return;
  lastDir = lines[0].substr(prefix.size());
  for (std::size_t k = 0; k < recent.entries.size(); ++k) recent.entries[k] = lines[k + 1];
}

std::string HistoryText(const std::string& lastDir, const RecentFiles& recent) {
  std::string text = kHistorySessionPrefix;
  if (Storable(lastDir)) text += lastDir;
  text += "\r\n";
  for (const std::string& entry : recent.entries) {
    if (Storable(entry)) text += entry;
    text += "\r\n";
  }
  return text;
}

bool WriteHistory(const std::string& path, const std::string& lastDir, const RecentFiles& recent) {
  return WriteInSettingsDir(path, HistoryText(lastDir, recent));
}

// --- Window memory ---------------------------------------------------------------------------

std::string WindowMemoryPath(const Program& program) {
  return WithTrailingSlash(program.programDir) + kWindowMemoryFileName;
}

std::string WindowMemoryText(const WindowMemory& memory) {
  std::ostringstream out;
  out << "Language=" << memory.language << "\r\n";
  if (memory.hasGeometry) {
    out << "X=" << memory.x << "\r\n"
        << "Y=" << memory.y << "\r\n"
        << "Width=" << memory.width << "\r\n"
        << "Height=" << memory.height << "\r\n";
  }
  return out.str();
}

WindowMemory ParseWindowMemory(const std::string& text) {
  WindowMemory memory;
  if (text.find('\0') != std::string::npos) return memory;
  bool complete = false;
  const std::vector<std::string> lines = SplitLines(text, complete);
  struct Value {
    const char* key;
    int* target;
    bool seen = false;
  };
  int language = kFrench;
  WindowMemory geometry;
  Value values[] = {{"Language", &language},
                    {"X", &geometry.x},
                    {"Y", &geometry.y},
                    {"Width", &geometry.width},
                    {"Height", &geometry.height}};
  bool anyPair = false;
  for (const std::string& line : lines) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    anyPair = true;
    const std::string_view key(line.data(), eq);
    const std::string_view value(line.data() + eq + 1, line.size() - eq - 1);
    for (Value& v : values) {
      int parsed = 0;
      if (key == v.key && ParseInt(value, parsed)) {
        *v.target = parsed;
        v.seen = true;
      }
    }
  }
  if (!anyPair) return memory;

  if (values[0].seen && IsMenuLanguage(language)) memory.language = language;
  bool geometryOk = true;
  for (std::size_t k = 1; k < std::size(values); ++k)
    if (!values[k].seen || *values[k].target < -kGeometryLimit ||
        *values[k].target > kGeometryLimit)
      geometryOk = false;
  if (geometryOk && geometry.width >= 1 && geometry.height >= 1) {
    memory.hasGeometry = true;
    memory.x = geometry.x;
    memory.y = geometry.y;
    memory.width = geometry.width;
    memory.height = geometry.height;
  }
  return memory;
}

WindowMemory ReadWindowMemory(const Program& program) {
  std::string bytes;
  if (!ReadSmallFile(WindowMemoryPath(program), bytes)) return WindowMemory{};
  return ParseWindowMemory(bytes);
}

bool WriteWindowMemory(const Program& program, const WindowMemory& memory) {
  return WriteInSettingsDir(WindowMemoryPath(program), WindowMemoryText(memory));
}

}  // namespace plotvue
