// The logic of the graphics settings dialog (Tconfgraf) and the pen colour dialog (TConfColor):
// the texts their fields show for the current settings, and what OK stores. The dialogs only
// carry the texts between these functions and their widgets.
//
// OK refuses a value the window cannot work with (a zoom factor of 0, a window size that is not
// a whole number of pixels, a colour number beyond the palette) with a message naming the field,
// and then stores nothing. Otherwise the fields are read as every dialog reads numbers: the first
// "," is the decimal point.
//
// State: none; the functions work on the Settings they are given.
#ifndef PLOTVUE_GRAPHICS_CONFGRAF_H_
#define PLOTVUE_GRAPHICS_CONFGRAF_H_

#include <array>
#include <optional>
#include <string>

#include "config/settings.h"

namespace plotvue {

// Longest font name kept (characters).
inline constexpr std::size_t kScreenFontNameLength = 60;
// Window sizes the dialog takes, in pixels.
inline constexpr int kMinGraphSize = 2;
inline constexpr int kMaxGraphSize = 16384;
// Help topic of the graphics settings dialog.
inline constexpr int kConfgrafHelpTopic = 1940;
// Help topic of the pen colour dialog.
inline constexpr int kConfColorHelpTopic = 1945;

// The fields of the graphics settings dialog as texts.
struct GraphicsFields {
  bool colour = true;      // "Couleur des graphiques": colour (true) or monochrome
  std::string sizeX;       // "Grandeur de la fenêtre" x, GraphMaxX + 1
  std::string sizeY;       // y, GraphMaxY + 1
  std::string font;        // "Font"
  std::string textWidth;   // "Largeur/hauteur du texte"
  std::string textHeight;  // "Taille du texte"
  std::string zoom;        // "Zoom"
  std::string pan;         // "Panorama"
  bool border = false;     // "Bordure"
};

// The fields for the current settings.
GraphicsFields GraphicsFieldsFrom(const Settings& settings);

// Stores the fields in the order colour mode, font name (cut to 60 characters), text width and
// height factors, window size less one, pan and zoom factors, border. Returns the message of the
// first field it refuses, and then changes nothing.
std::optional<std::string> StoreGraphicsFields(const GraphicsFields& fields, Settings& settings);

// `text` cut to its first `count` characters (UTF-8 characters, not bytes).
std::string FirstCharacters(const std::string& text, std::size_t count);

// The labels of the pen colour dialog's fields, slot 1..16 in order.
extern const std::array<const char*, kScreenPenSlots> kPenColourLabels;

// The pen colour fields for the current settings, slot 1..16.
std::array<std::string, kScreenPenSlots> PenColourFieldsFrom(const Settings& settings);

// Stores the 16 fields as colour numbers of the slots 1..16; text that is not an integer gives
// 0. A number outside the palette (0..16) is refused with a message and nothing is stored.
std::optional<std::string> StorePenColourFields(
    const std::array<std::string, kScreenPenSlots>& fields, Settings& settings);

}  // namespace plotvue

#endif  // PLOTVUE_GRAPHICS_CONFGRAF_H_
