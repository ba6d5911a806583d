// The logic of the directories dialog (TConfDir) and the pen table dialog (TForm_confPentable):
// the texts their fields show, how a directory is normalised, the pen table's column headers per
// output syntax and its help topics, and what OK stores. Both dialogs change the settings in
// memory only; Options, Save writes them.
//
// State: none; the functions work on the Settings they are given.
#ifndef PLOTVUE_CONFIG_CONFDIR_H_
#define PLOTVUE_CONFIG_CONFDIR_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "config/settings.h"

namespace plotvue {

// Help topics.
inline constexpr int kConfDirHelpTopic = 9000;
inline constexpr int kPenTableHelpTopic = 5110;
inline constexpr int kPenTableWidthHelpTopic = 5100;  // Postscript and HP-GL Laser
inline constexpr int kPenTableSpeedHelpTopic = 5120;  // the second "&Aide": pen speeds

// A directory as it is stored: leading and trailing blanks removed; a "/" appended when the text
// then ends in a name character ("!" to ")", "0" to "9", ";" to "Z", "_" to "z", or any
// character beyond ASCII); nothing after "/", ":", "*" to ".", "[" to "^" or "{" to "~". Blank
// text gives an empty text.
std::string NormalizeDirectory(std::string_view text);

// The fields of the directories dialog.
struct DirectoryFields {
  std::string ext;     // Edit_ext, "Nom du fichier": FileExtension
  std::string grafik;  // Edit_grafik, "Annuaire de dessins": InPath
  std::string temp;    // Edit_temp, "Annuaire temporaire ou disque virtuel": TempDir
  std::string plt;     // EDit_plt, "Annuaire d'Aide-Image (plt, dem, hlp)": HelpImageDir
  std::string exe;     // Edit_exe, "Annuaire TAVOLIN": MakerDir
  bool shp = false;    // CheckBox_shp, "Charger TXT.SHP ?": ShpLoad
};

DirectoryFields DirectoryFieldsFrom(const Settings& settings);

// Stores the fields: the first 3 characters of the extension, the four directories normalised,
// ShpLoad 'J' or 'N'. A directory that is given but does not exist, or a temporary directory
// that takes no new file, is refused with a message naming the field, and then nothing is stored.
// An empty field is stored empty.
std::optional<std::string> StoreDirectoryFields(const DirectoryFields& fields, Settings& settings);

// The directory a "..." button's selection dialog starts in: the field's text when it names an
// existing directory, else empty.
std::string DirectoryPreset(const std::string& fieldText);

// --- Pen table ---------------------------------------------------------------------------------

// Rows of the pen table grid below its header: colour indexes 1..15.
inline constexpr int kPenTableRows = 15;

// Column 0 of row i (1..15): i, " (", the colour name of index i, ")" ("1 (rouge)", "9 ()").
std::string PenTableRowLabel(int index);
// Header of column 0.
inline constexpr const char* kPenTableColourHeader = "Couleur";
// Header of column 1 for the syntax: "Pen No.", "Tool No.", "Epaisseur du trait" or "Couleur".
std::string PenTableNumberHeader(int syntaxCode);
// True for the syntaxes whose pens have a speed (column 2 and the second "&Aide"): HP-GL, Aristo,
// Lasercomb, CNC and HP-GL/2.
bool PenTableHasSpeed(int syntaxCode);
// Header of column 2 when it is shown.
inline constexpr const char* kPenTableSpeedHeader = "Pen Speed [mm/s]";
// The first "&Aide" button's topic for the syntax.
int PenTableHelpTopic(int syntaxCode);

// A grid cell's number: a whole decimal number, else 0 ("12a" gives 0).
std::int32_t PenTableCellValue(std::string_view cell);
// True when the cell holds a whole decimal number (what PenTableCellValue reads as written).
bool PenTableCellValid(std::string_view cell);

// The grid's cells below the header: column 1 and column 2 of rows 1..15.
struct PenTableCells {
  std::array<std::string, kPenTableRows> number;
  std::array<std::string, kPenTableRows> speed;
};

PenTableCells PenTableCellsFrom(const Settings& settings, int syntaxCode);

// Stores OK of the pen table: SyntaxCode, PenNumber of the indexes 1..15 from column 1 and, for
// the syntaxes with speeds, PenSpeed from column 2 (the speeds stay as they are for the others).
void StorePenTableCells(const PenTableCells& cells, int syntaxCode, Settings& settings);

}  // namespace plotvue

#endif  // PLOTVUE_CONFIG_CONFDIR_H_
