#include "app/captions.h"

namespace plotvue {
namespace {

// One column of the caption table; `language` is one of the four numbers.
MenuCaptions Column(int language) {
  MenuCaptions c;
  switch (language) {
    case kGerman:
      c.mi_file = "&Datei";
      c.mi_fileOpen = "Ö&ffnen...";
      c.mi_FileOpenLimit = "Öffnen &Limit";
      c.mi_FileSaveAs = "Speichern &Unter...";
      c.mi_print = "&Drucken...";
      c.mi_plot = "&Plotten";
      c.mi_fileexit = "&Beenden";
      c.mi_View = "&Ansicht";
      c.mi_ViewClear = "&Löschen";
      c.mi_ViewRedraw = "&Neu Zeichnen";
      c.mi_ViewRegen = "&Regen";
      c.mi_convert = "&Konverter";
      c.mi_convertCurFile = "&Aktuelle Datei";
      c.mi_ConvertnewFile = "&Neue Datei";
      c.mi_options = "&Einstellungen";
      c.mi_optionsColours = "&Farben";
      c.mi_help = "&Hilfe";
      c.mi_infoDemo = "&Demo";
      c.mi_helpwww = "&TAVOLIN Homepage";
      c.mi_helpemail = "&E-Mail an TAVOLIN";
      c.menuWord = "Menü";
      c.languageWord = "&Sprache";
      c.clearWord = "&Clear";
      c.penTableWord = "&Pen Table";
      break;
    case kEnglish:
      c.mi_file = "&File";
      c.mi_fileOpen = "&Open...";
      c.mi_FileOpenLimit = "Open &Limit";
      c.mi_FileSaveAs = "Save &As...";
      c.mi_print = "&Print...";
      c.mi_plot = "&Plot";
      c.mi_fileexit = "E&xit";
      c.mi_View = "&View";
      c.mi_ViewClear = "&Delete";
      c.mi_ViewRedraw = "Re&draw";
      c.mi_ViewRegen = "&Regen";
      c.mi_convert = "&Convert";
      c.mi_convertCurFile = "Current &File";
      c.mi_ConvertnewFile = "&New File";
      c.mi_options = "&Options";
      c.mi_optionsColours = "&Colours";
      c.mi_help = "&Help";
      c.mi_infoDemo = "&Demo";
      c.mi_helpwww = "&TAVOLIN Homepage";
      c.mi_helpemail = "&E-Mail to TAVOLIN";
      c.menuWord = "Menu";
      c.languageWord = "&Language";
      c.clearWord = "&Clear";
      c.penTableWord = "&Pen Table";
      break;
    case kFrench:
      c.mi_file = "&Fichier";
      c.mi_fileOpen = "&Ouvrir...";
      c.mi_FileOpenLimit = "Ouvrir &Limit";
      c.mi_FileSaveAs = "En&registrer sous...";
      c.mi_print = "I&mprimer...";
      c.mi_plot = "&Imprimer";
      c.mi_fileexit = "&Quitter";
      c.mi_View = "&Présentation";
      c.mi_ViewClear = "S&upprimer";
      c.mi_ViewRedraw = "&Nouveau dessin";
      c.mi_ViewRegen = "&Annuler";
      c.mi_convert = "&Convertisseur";
      c.mi_convertCurFile = "&Fichier actuel";
      c.mi_ConvertnewFile = "&Nouveau fichier";
      c.mi_options = "&Options";
      c.mi_optionsColours = "Cou&leurs";
      c.mi_help = "&Aide";
      c.mi_infoDemo = "&Demo";
      c.mi_helpwww = "&TAVOLIN Homepage";
      c.mi_helpemail = "&E-Mail to TAVOLIN";
      c.menuWord = "Menu";
      c.languageWord = "&Language";
      c.clearWord = "&Effacer";
      c.penTableWord = "&Table de dessin";
      break;
    case kKorean:
      c.mi_file = "파일(&F)";
      c.mi_fileOpen = "열기(&O)";
      c.mi_FileOpenLimit = "열기_Limit(&L)";
      c.mi_FileSaveAs = "다른이름으로 저장(&A)";
      c.mi_print = "프린트(&P)";
      c.mi_plot = "플로팅(&P)";
      c.mi_fileexit = "끝내기(&x)";
      c.mi_View = "보기(&V)";
      c.mi_ViewClear = "삭제(&D)";
      c.mi_ViewRedraw = "다시그리기(&d)";
      c.mi_ViewRegen = "다시생성하기(&R)";
      c.mi_convert = "변환(&C)";
      c.mi_convertCurFile = "현재의파일(&F)";
      c.mi_ConvertnewFile = "새로운파일(&N)";
      c.mi_options = "옵션(&O)";
      c.mi_optionsColours = "칼라(&C)";
      c.mi_help = "도움말(&H)";
      c.mi_infoDemo = "데모(&D)";
      c.mi_helpwww = "TAVOLIN 홈페이지(&H)";
      c.mi_helpemail = "TAVOLIN 이메일(&E)";
      c.menuWord = "메뉴";
      c.languageWord = "언어(&L)";
      c.clearWord = "지우기(&C)";
      c.penTableWord = "펜테이블(&P)";
      break;
  }
  return c;
}

}  // namespace

std::string MenuCaptions::LanguageMenuCaption() const { return menuWord + " " + languageWord; }

bool IsMenuLanguage(int language) {
  return language == kGerman || language == kEnglish || language == kFrench || language == kKorean;
}

bool SelectLanguage(MenuCaptions& captions, int language) {
  if (!IsMenuLanguage(language)) return false;
  captions = Column(language);
  return true;
}

MenuCaptions CaptionsFor(int language) {
  return Column(IsMenuLanguage(language) ? language : kFrench);
}

}  // namespace plotvue
