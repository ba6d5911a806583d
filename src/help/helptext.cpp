#include "help/helptext.h"

#include <sys/stat.h>

#include <fstream>

#include "base/displaytext.h"
#include "base/fileutil.h"

namespace plotvue {
namespace {

// Reads one line without its CR LF or LF, keeping at most kMaxHelpLine bytes. False at the end of
// the input when nothing was read.
bool ReadHelpLine(std::istream& in, std::string& line) {
  line.clear();
  std::streambuf* buf = in.rdbuf();
  if (buf == nullptr || !in.good()) return false;
  bool any = false;
  for (;;) {
    const int ch = buf->sbumpc();
    if (ch == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      break;
    }
    any = true;
    if (ch == '\n') break;
    if (line.size() < kMaxHelpLine) line.push_back(static_cast<char>(ch));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return any;
}

// The topic number of a key line: its first 4 characters (fewer when the line is shorter) are
// blanks followed by decimal digits. -1 for a continuation line.
int KeyNumber(const std::string& line) {
  const std::size_t end = line.size() < 4 ? line.size() : 4;
  std::size_t i = 0;
  while (i < end && line[i] == ' ') ++i;
  if (i == end) return -1;
  int n = 0;
  for (; i < end; ++i) {
    if (line[i] < '0' || line[i] > '9') return -1;
    n = n * 10 + (line[i] - '0');
  }
  return n;
}

// The picture name of a key line: the text after its first ":" without surrounding blanks, or
// "NULL" without a ":".
std::string PictureName(const std::string& line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string::npos) return "NULL";
  const std::size_t first = line.find_first_not_of(' ', colon + 1);
  if (first == std::string::npos) return "";
  const std::size_t last = line.find_last_not_of(' ');
  return line.substr(first, last - first + 1);
}

HelpTopic Message(std::string text) {
  HelpTopic t;
  t.lines[0] = std::move(text);
  return t;
}

bool IsReadableFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  std::ifstream in(path, std::ios::binary);
  return in.is_open();
}

}  // namespace

std::string HelpFileName(int topic) {
  return topic < kFirstProgramTopic ? "tavolin.hlp" : "plotvue.hlp";
}

HelpTopic FindHelpTopic(std::istream& in, int topic) {
  std::string line;
  if (topic >= 0) {
    while (ReadHelpLine(in, line)) {
      const int key = KeyNumber(line);
      if (key < 0) continue;  // a continuation line of another topic
      const std::string picture = PictureName(line);
      std::string text;
      ReadHelpLine(in, text);
      if (key != topic) continue;

      HelpTopic t;
      t.found = true;
      t.picture = picture;
      t.lines[0] = text;
      for (int k = 2; k <= 5; ++k) {
        if (!ReadHelpLine(in, line)) break;
        const int next = KeyNumber(line);
        if (next >= 0 && next % 5 == 0) break;  // the next group begins
        if (next < 0) {
          t.lines[static_cast<std::size_t>(k - 1)] = line;
          continue;
        }
        ReadHelpLine(in, text);
        if (next == topic + k - 1) t.lines[static_cast<std::size_t>(k - 1)] = text;
      }
      return t;
    }
  }
  return Message("Texte d'aide No " + std::to_string(topic) + ": " + "Aucune Aide est disponible" +
                 ".");
}

HelpTopic LookUpHelpTopic(const std::string& path, int topic) {
  std::ifstream in;
  if (IsReadableFile(path)) in.open(path, std::ios::binary);
  if (!in.is_open()) return Message("Fichier " + path + " " + "pas trouvers" + " !");
  return FindHelpTopic(in, topic);
}

std::string HelpCaption(int topic) {
  std::string caption = "Texte d'aide";
  for (char& c : caption)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return caption + " " + "No" + "." + std::to_string(topic);
}

std::string HelpMessageText(const HelpTopic& topic) {
  std::string text;
  for (const std::string& line : topic.lines) {
    for (char c : line) text += Cp437ToUtf8(static_cast<unsigned char>(c));
    text += ' ';
  }
  return text;
}

std::string HelpDir(const std::string& helpImageDir, const std::vector<std::string>& dataDirs,
                    const std::string& fileName) {
  const std::string configured = WithTrailingSlash(helpImageDir);
  if (IsReadableFile(configured + fileName)) return configured;
  for (const std::string& dir : dataDirs) {
    const std::string candidate = WithTrailingSlash(dir) + "help/";
    if (IsReadableFile(candidate + fileName)) return candidate;
  }
  return configured;
}

}  // namespace plotvue
