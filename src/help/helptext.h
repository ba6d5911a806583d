// Help texts: finding a numbered topic in a help text file, and the message and caption of its
// help box. A help text file is a sequence of lines of two kinds:
//  - a key line, whose first 4 characters are a topic number ("0010" or "5230:origin"); after the
//    first ":" the rest of the line names the topic's help picture (a key line without ":" names
//    "NULL", no picture). The line after a key line is the topic's text line;
//  - a continuation line, whose first 4 characters are not a number, is a text line of its own.
// A topic shows its own text, then the continuation lines after it and the texts of the following
// numbers of its group of five (n + 1, n + 2, ...) up to the next key line whose number is a
// multiple of 5: five lines at most.
//
// The files are stored in code page 437; lines keep their bytes until the message is built.
//
// Where the files are on Linux (HelpDir): the help text file is looked for first in the
// configured help image directory ("PLT Annuaire", HelpImageDir), then in the "help/" folder of
// each shipped data directory (DataDirs: current directory, settings directory, installed
// share/plotvue, the source tree's data/). The directory where the text file is found is the
// help directory of that topic, and its help pictures are read from the same directory. When the
// file is nowhere, the help directory is HelpImageDir, so that the message names that path.
//
// Stateless: every call reads the files it is given.
#ifndef PLOTVUE_HELP_HELPTEXT_H_
#define PLOTVUE_HELP_HELPTEXT_H_

#include <array>
#include <istream>
#include <string>
#include <vector>

namespace plotvue {

// Topics below this number are in "tavolin.hlp", the others in "plotvue.hlp".
inline constexpr int kFirstProgramTopic = 4000;
// The longest line kept from a help text file, in bytes; the rest of a longer line is dropped.
inline constexpr std::size_t kMaxHelpLine = 255;

// One topic as found: its five lines (code page 437, empty when absent) and its picture name
// ("NULL" or empty: no picture).
struct HelpTopic {
  std::array<std::string, 5> lines;
  std::string picture;
  bool found = false;  // false: lines[0] holds the "pas trouvers" or "Aucune Aide" message
};

// "tavolin.hlp" for topics below 4000, "plotvue.hlp" from 4000 on.
std::string HelpFileName(int topic);

// Finds topic `topic` in the help text read from `in`. A topic that is not there gives the
// message "Texte d'aide No <topic>: Aucune Aide est disponible." as line 1 and no picture; so
// does a negative topic (continuation lines carry no number that can be asked for).
HelpTopic FindHelpTopic(std::istream& in, int topic);

// Opens the help text file at `path` and finds the topic in it. A file that cannot be read (or is
// a directory) gives the message "Fichier <path> pas trouvers !" as line 1 and no picture.
HelpTopic LookUpHelpTopic(const std::string& path, int topic);

// The help box caption: "TEXTE D'AIDE No." followed by the topic number.
std::string HelpCaption(int topic);

// The help box text: the five lines, each followed by a blank, each converted from code page 437
// for display. The conversion is applied line by line: a whole topic may hold five lines of up
// to 255 bytes, longer than one display text may be.
std::string HelpMessageText(const HelpTopic& topic);

// The directory, ending in "/" (empty: the current directory), that holds the help text file
// `fileName`: `helpImageDir` when the file is readable there, else the first "<dir>help/" of
// `dataDirs` where it is, else `helpImageDir`.
std::string HelpDir(const std::string& helpImageDir, const std::vector<std::string>& dataDirs,
                    const std::string& fileName);

}  // namespace plotvue

#endif  // PLOTVUE_HELP_HELPTEXT_H_
