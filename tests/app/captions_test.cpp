// The menu caption table: exact UTF-8 bytes of every language's column, the language submenu's
// caption, and the numbers without a column.
#include "app/captions.h"

#include <gtest/gtest.h>

#include <vector>

namespace plotvue {
namespace {

// The 20 captions that the window applies, in the order of the struct.
std::vector<std::string> Applied(const MenuCaptions& c) {
  return {c.mi_file,           c.mi_fileOpen,       c.mi_FileOpenLimit, c.mi_FileSaveAs,
          c.mi_print,          c.mi_plot,           c.mi_fileexit,      c.mi_View,
          c.mi_ViewClear,      c.mi_ViewRedraw,     c.mi_ViewRegen,     c.mi_convert,
          c.mi_convertCurFile, c.mi_ConvertnewFile, c.mi_options,       c.mi_optionsColours,
          c.mi_help,           c.mi_infoDemo,       c.mi_helpwww,       c.mi_helpemail};
}

TEST(MenuCaptions, GermanFileMenuAndLanguageSubmenu) {
  MenuCaptions c = CaptionsFor(kFrench);
  ASSERT_TRUE(SelectLanguage(c, kGerman));
  EXPECT_EQ(c.mi_file, "&Datei");
  EXPECT_EQ(c.mi_fileOpen, "\xC3\x96&ffnen...");
  EXPECT_EQ(c.mi_FileOpenLimit, "\u00D6ffnen &Limit");
  EXPECT_EQ(c.mi_FileSaveAs, "Speichern &Unter...");
  EXPECT_EQ(c.mi_print, "&Drucken...");
  EXPECT_EQ(c.mi_plot, "&Plotten");
  EXPECT_EQ(c.mi_fileexit, "&Beenden");
  EXPECT_EQ(c.LanguageMenuCaption(), "Men\xC3\xBC &Sprache");
  EXPECT_EQ(c.mi_ViewClear, "&L\xC3\xB6schen");
  EXPECT_EQ(c.mi_ViewRedraw, "&Neu Zeichnen");
  EXPECT_EQ(c.mi_convert, "&Konverter");
  EXPECT_EQ(c.mi_options, "&Einstellungen");
  EXPECT_EQ(c.mi_helpemail, "&E-Mail an TAVOLIN");
}

TEST(MenuCaptions, EnglishShowsDeleteForTheClearCommand) {
  const MenuCaptions c = CaptionsFor(kEnglish);
  EXPECT_EQ(c.mi_ViewClear, "&Delete");
  EXPECT_EQ(c.mi_fileexit, "E&xit");
  EXPECT_EQ(c.mi_ViewRedraw, "Re&draw");
  EXPECT_EQ(c.mi_convertCurFile, "Current &File");
  EXPECT_EQ(c.mi_optionsColours, "&Colours");
  EXPECT_EQ(c.mi_helpemail, "&E-Mail to TAVOLIN");
  EXPECT_EQ(c.LanguageMenuCaption(), "Menu &Language");
}

TEST(MenuCaptions, FrenchColumn) {
  const MenuCaptions c = CaptionsFor(kFrench);
  EXPECT_EQ(c.mi_file, "&Fichier");
  EXPECT_EQ(c.mi_FileSaveAs, "En&registrer sous...");
  EXPECT_EQ(c.mi_print, "I&mprimer...");
  EXPECT_EQ(c.mi_plot, "&Imprimer");
  EXPECT_EQ(c.mi_View, "&Pr\xC3\xA9sentation");
  EXPECT_EQ(c.mi_ViewClear, "S&upprimer");
  EXPECT_EQ(c.mi_ViewRegen, "&Annuler");
  EXPECT_EQ(c.mi_optionsColours, "Cou&leurs");
  EXPECT_EQ(c.mi_help, "&Aide");
  // French keeps the English e-mail caption and submenu words.
  EXPECT_EQ(c.mi_helpemail, "&E-Mail to TAVOLIN");
  EXPECT_EQ(c.LanguageMenuCaption(), "Menu &Language");
}

TEST(MenuCaptions, KoreanColumnAsUnicodeText) {
  MenuCaptions c;
  ASSERT_TRUE(SelectLanguage(c, kKorean));
  EXPECT_EQ(c.mi_file, "\xED\x8C\x8C\xEC\x9D\xBC(&F)");
  EXPECT_EQ(c.mi_fileexit, "\xEB\x81\x9D\xEB\x82\xB4\xEA\xB8\xB0(&x)");
  EXPECT_EQ(c.mi_helpwww, "TAVOLIN \xED\x99\x88\xED\x8E\x98\xEC\x9D\xB4\xEC\xA7\x80(&H)");
  EXPECT_EQ(c.LanguageMenuCaption(), "\xEB\xA9\x94\xEB\x89\xB4 \xEC\x96\xB8\xEC\x96\xB4(&L)");
  EXPECT_EQ(c.mi_FileOpenLimit, "열기_Limit(&L)");
  EXPECT_EQ(c.mi_FileSaveAs, "다른이름으로 저장(&A)");
  EXPECT_EQ(c.mi_ViewRedraw, "다시그리기(&d)");
  EXPECT_EQ(c.mi_infoDemo, "데모(&D)");
}

TEST(MenuCaptions, HeldWordsAreNotTheAppliedOnes) {
  // The clear command shows the word for delete; the pen table word is kept for no item.
  const struct {
    int language;
    const char* clear;
    const char* penTable;
  } held[] = {{kGerman, "&Clear", "&Pen Table"},
              {kEnglish, "&Clear", "&Pen Table"},
              {kFrench, "&Effacer", "&Table de dessin"},
              {kKorean, "\xEC\xA7\x80\xEC\x9A\xB0\xEA\xB8\xB0(&C)",
               "\xED\x8E\x9C\xED\x85\x8C\xEC\x9D\xB4\xEB\xB8\x94(&P)"}};
  for (const auto& h : held) {
    const MenuCaptions c = CaptionsFor(h.language);
    EXPECT_EQ(c.clearWord, h.clear) << h.language;
    EXPECT_EQ(c.penTableWord, h.penTable) << h.language;
    for (const std::string& caption : Applied(c)) {
      EXPECT_NE(caption, c.clearWord) << h.language;
      EXPECT_NE(caption, c.penTableWord) << h.language;
    }
  }
}

TEST(MenuCaptions, EveryAppliedCaptionHasOneAccessKey) {
  for (int language : {kGerman, kEnglish, kFrench, kKorean}) {
    int k = 0;
    for (const std::string& caption : Applied(CaptionsFor(language))) {
      std::size_t amp = caption.find('&');
      ASSERT_NE(amp, std::string::npos) << language << " caption " << k;
      EXPECT_LT(amp + 1, caption.size()) << language << " caption " << k;
      EXPECT_EQ(caption.find('&', amp + 1), std::string::npos) << language << " caption " << k;
      ++k;
    }
  }
}

TEST(MenuCaptions, NumberWithoutAColumn) {
  MenuCaptions c = CaptionsFor(kEnglish);
  for (int language : {0, 4, 5, 7, 9, -3}) {
    EXPECT_FALSE(SelectLanguage(c, language)) << language;
    EXPECT_EQ(c.mi_file, "&File") << language;
    EXPECT_EQ(CaptionsFor(language).mi_file, "&Fichier") << language;
    EXPECT_FALSE(IsMenuLanguage(language));
  }
}

}  // namespace
}  // namespace plotvue
