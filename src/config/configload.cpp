#include "config/configload.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "base/fileutil.h"
#include "config/configio.h"

namespace plotvue {
namespace {

// A settings file holds a few kilobytes; anything much larger is something else.
constexpr std::size_t kMaxConfigBytes = 1u << 20;

// Where the files of older versions end, in lines.
constexpr int kOlderFileLines[] = {156, 162, 244};

const char* const kKept = " ; les réglages n'ont pas changé.";

// The file's bytes, at most kMaxConfigBytes + 1 of them; nothing when it cannot be read.
std::optional<std::string> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return std::nullopt;
  std::string bytes(kMaxConfigBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

}  // namespace

std::string ConfigFileProblem(const std::string& bytes) {
  if (bytes.size() > kMaxConfigBytes)
    return "le fichier est trop grand pour un fichier de configuration";
  for (char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n')
      return "ce n'est pas un fichier de configuration (fichier binaire)";
    if (c == 0x7F) return "ce n'est pas un fichier de configuration (fichier binaire)";
  }
  int lines = 0;
  for (char ch : bytes) lines += ch == '\n';
  const bool cutInLine = !bytes.empty() && bytes.back() != '\n';
  if (lines >= kConfigFileLines) return {};
  if (!cutInLine)
    for (int older : kOlderFileLines)
      if (lines == older) return {};
  return "le fichier est incomplet (" + std::to_string(lines + (cutInLine ? 1 : 0)) +
         " lignes sur " + std::to_string(kConfigFileLines) + ")";
}

bool LoadConfigFile(Program& program, const std::string& path) {
  auto refuse = [&](const std::string& why) {
    program.ui->ShowError("Fichier de configuration \"" + path + "\" : " + why + kKept);
    program.ErrorFlag = true;
    return false;
  };
  if (IsDirectory(path)) return refuse("c'est un répertoire");
  const std::optional<std::string> bytes = ReadBytes(path);
  if (!bytes) return refuse("le fichier ne peut pas être lu");
  if (std::string why = ConfigFileProblem(*bytes); !why.empty()) return refuse(why);

  const Settings before = program.settings;
  const bool flagBefore = program.ErrorFlag;
  program.ErrorFlag = false;
  std::istringstream in(*bytes);
  const bool complete = ReadConfigStream(program, in);
  if (program.ErrorFlag) {
    program.settings = before;
    return refuse("le fichier ne peut pas être lu");
  }
  program.ErrorFlag = flagBefore;
  if (complete) CheckConfigDirectories(program);
  return true;
}

bool LoadConfigCommand(Program& program) {
  const std::optional<std::string> chosen =
      program.ui->OpenFileDialog("*.cfg", WithTrailingSlash(program.programDir));
  if (!chosen) {
    program.ErrorFlag = true;
    return false;
  }
  return LoadConfigFile(program, *chosen);
}

}  // namespace plotvue
