#include "config/confdir.h"

#include <cctype>
#include <charconv>

#include "base/fileutil.h"
#include "base/textnum.h"
#include "graphics/confgraf.h"

namespace plotvue {
namespace {

constexpr std::size_t kFileExtensionLength = 3;

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// The last character of a directory after which a "/" goes.
bool EndsInNameCharacter(unsigned char c) {
  // Bytes beyond ASCII end a UTF-8 letter: "/home/josé" is a name like any other.
  if (c >= 0x80) return true;
  return (c >= '!' && c <= ')') || (c >= '0' && c <= '9') || (c >= ';' && c <= 'Z') ||
         (c >= '_' && c <= 'z');
}

std::optional<std::string> CheckDirectory(const char* field, const std::string& dir,
                                          bool writable) {
  if (dir.empty()) return std::nullopt;
  if (!IsDirectory(dir))
    return std::string(field) + " : le répertoire \"" + dir + "\" n'existe pas";
  if (writable && !CanCreateFileIn(dir))
    return std::string(field) + " : impossible d'écrire dans le répertoire \"" + dir + "\"";
  return std::nullopt;
}

constexpr std::array<const char*, 9> kColourNames = {"",     "rouge",   "jaune", "vert", "cyan",
                                                     "bleu", "magenta", "blanc", "brun"};

}  // namespace

std::string NormalizeDirectory(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlankChar(text[first])) ++first;
  while (last > first && IsBlankChar(text[last - 1])) --last;
  std::string dir(text.substr(first, last - first));
  if (!dir.empty() && EndsInNameCharacter(static_cast<unsigned char>(dir.back()))) dir += '/';
  return dir;
}

DirectoryFields DirectoryFieldsFrom(const Settings& s) {
  DirectoryFields f;
  f.ext = s.FileExtension;
  f.grafik = s.InPath;
  f.temp = s.TempDir;
  f.plt = s.HelpImageDir;
  f.exe = s.MakerDir;
  f.shp = s.ShpLoad != 'N';
  return f;
}

std::optional<std::string> StoreDirectoryFields(const DirectoryFields& f, Settings& s) {
  const std::string grafik = NormalizeDirectory(f.grafik);
  const std::string temp = NormalizeDirectory(f.temp);
  const std::string plt = NormalizeDirectory(f.plt);
  const std::string exe = NormalizeDirectory(f.exe);
  const std::string ext = FirstCharacters(f.ext, kFileExtensionLength);
  // The extension becomes a part of file names and of the open dialog's pattern.
  if (ext.find_first_of("/*?[]\\") != std::string::npos)
    return "Nom du fichier : extension non valide \"" + f.ext + "\"";
  if (auto e = CheckDirectory("Annuaire de dessins", grafik, false)) return e;
  if (auto e = CheckDirectory("Annuaire temporaire ou disque virtuel", temp, true)) return e;
  if (auto e = CheckDirectory("Annuaire d'Aide-Image (plt, dem, hlp)", plt, false)) return e;
  if (auto e = CheckDirectory("Annuaire TAVOLIN", exe, false)) return e;

  s.FileExtension = ext;
  s.InPath = grafik;
  s.HelpImageDir = plt;
  s.TempDir = temp;
  s.MakerDir = exe;
  s.ShpLoad = f.shp ? 'J' : 'N';
  return std::nullopt;
}

std::string DirectoryPreset(const std::string& fieldText) {
  const std::string dir = NormalizeDirectory(fieldText);
  return !dir.empty() && IsDirectory(dir) ? fieldText : std::string();
}

// --- Pen table ---------------------------------------------------------------------------------

std::string PenTableRowLabel(int index) {
  const char* name =
      index >= 1 && index < static_cast<int>(kColourNames.size()) ? kColourNames[index] : "";
  return std::to_string(index) + " (" + name + ")";
}

std::string PenTableNumberHeader(int syntaxCode) {
  switch (syntaxCode) {
    case 1:
    case 2:
      return "Pen No.";
    case 3:
    case 4:
      return "Tool No.";
    case 10:
    case 11:
      return "Epaisseur du trait";
    default:
      return "Couleur";
  }
}

bool PenTableHasSpeed(int syntaxCode) {
  return (syntaxCode >= 1 && syntaxCode <= 4) || syntaxCode == 9;
}

int PenTableHelpTopic(int syntaxCode) {
  return syntaxCode == 10 || syntaxCode == 11 ? kPenTableWidthHelpTopic : kPenTableHelpTopic;
}

bool PenTableCellValid(std::string_view cell) {
  // Blanks around the number are forgiven, as a text field shows them.
  while (!cell.empty() && IsBlankChar(cell.front())) cell.remove_prefix(1);
  while (!cell.empty() && IsBlankChar(cell.back())) cell.remove_suffix(1);
  if (!cell.empty() && (cell.front() == '+' || cell.front() == '-')) cell.remove_prefix(1);
  if (cell.empty()) return false;
  for (char c : cell)
    if (c < '0' || c > '9') return false;
  return true;
}

std::int32_t PenTableCellValue(std::string_view cell) {
  if (!PenTableCellValid(cell)) return 0;
  while (!cell.empty() && IsBlankChar(cell.back())) cell.remove_suffix(1);
  return TextToInt(cell);
}

PenTableCells PenTableCellsFrom(const Settings& s, int syntaxCode) {
  PenTableCells cells;
  const bool speeds = PenTableHasSpeed(syntaxCode);
  for (int i = 1; i <= kPenTableRows; ++i) {
    const auto k = static_cast<std::size_t>(i);
    cells.number[k - 1] = std::to_string(s.PenNumber[k]);
    cells.speed[k - 1] = speeds ? std::to_string(s.PenSpeed[k]) : std::string();
  }
  return cells;
}

void StorePenTableCells(const PenTableCells& cells, int syntaxCode, Settings& s) {
  if (syntaxCode >= 1 && syntaxCode <= 12) s.SyntaxCode = static_cast<std::uint16_t>(syntaxCode);
  const bool speeds = PenTableHasSpeed(syntaxCode);
  for (int i = 1; i <= kPenTableRows; ++i) {
    const auto k = static_cast<std::size_t>(i);
    s.PenNumber[k] = PenTableCellValue(cells.number[k - 1]);
    if (speeds) s.PenSpeed[k] = PenTableCellValue(cells.speed[k - 1]);
  }
}

}  // namespace plotvue
