// The main menu's captions in the four menu languages (German, English, French, Korean). A
// language number selects one column of the caption table; the main window copies the chosen
// captions into its menu items and builds the language submenu's caption from two words. Only
// the menu changes with the language: messages, dialog texts and the usage text keep their own.
//
// Stateless: the table is constant, and the current captions are a MenuCaptions value that the
// window owns. All texts are UTF-8; "&" marks the access key.
#ifndef PLOTVUE_APP_CAPTIONS_H_
#define PLOTVUE_APP_CAPTIONS_H_

#include <string>

namespace plotvue {

// One field per captioned menu item, named after the item.
struct MenuCaptions {
  std::string mi_file, mi_fileOpen, mi_FileOpenLimit, mi_FileSaveAs, mi_print, mi_plot, mi_fileexit,
      mi_View, mi_ViewClear, mi_ViewRedraw, mi_ViewRegen, mi_convert, mi_convertCurFile,
      mi_ConvertnewFile, mi_options, mi_optionsColours, mi_help, mi_infoDemo, mi_helpwww,
      mi_helpemail;
  // The language submenu: menuWord + " " + languageWord.
  std::string menuWord, languageWord;
  // Held in the table but applied to no item: View's clear command shows the word for delete
  // (mi_ViewClear), and the Pen Table item keeps its own caption in every language.
  std::string clearWord, penTableWord;

  std::string LanguageMenuCaption() const;
};

// The language numbers of the four columns.
inline constexpr int kGerman = 1, kEnglish = 2, kFrench = 3, kKorean = 8;

// True for the numbers of the four columns.
bool IsMenuLanguage(int language);

// Fills `captions` for language `language`. A number without a column leaves them unchanged and
// returns false.
bool SelectLanguage(MenuCaptions& captions, int language);

// The captions of `language`; French for a number without a column.
MenuCaptions CaptionsFor(int language);

}  // namespace plotvue

#endif  // PLOTVUE_APP_CAPTIONS_H_
