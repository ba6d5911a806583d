#include "graphics/confgraf.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "base/textnum.h"

namespace plotvue {
namespace {

// A factor as its field shows it: up to 12 significant digits, "." as the decimal point, the
// same whatever the locale (a field read back gives the value shown).
std::string FactorText(long double v) {
  char buf[64];
  const auto result =
      std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::general, 12);
  if (result.ec != std::errc()) return "0";
  return std::string(buf, result.ptr);
}

std::string Refused(const std::string& field, const std::string& text, const std::string& rule) {
  return field + " : valeur non valide \"" + text + "\" (" + rule + ")";
}

// A whole number of pixels, 2..16384, or nothing.
std::optional<int> GraphSize(const std::string& text) {
  const std::int32_t v = TextToInt(text);
  if (v < kMinGraphSize || v > kMaxGraphSize) return std::nullopt;
  return v;
}

}  // namespace

std::string FirstCharacters(const std::string& text, std::size_t count) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A character starts at every byte that is not a UTF-8 continuation byte.
    if ((static_cast<unsigned char>(text[i]) & 0xC0u) != 0x80u) {
      if (chars == count) return text.substr(0, i);
      ++chars;
    }
  }
  return text;
}

GraphicsFields GraphicsFieldsFrom(const Settings& s) {
  GraphicsFields f;
  f.colour = s.ColourGraphics;
  f.sizeX = std::to_string(static_cast<int>(s.ScreenWidthPx) + 1);
  f.sizeY = std::to_string(static_cast<int>(s.ScreenHeightPx) + 1);
  f.font = s.ScreenTextFont;
  f.textWidth = FactorText(s.ScreenTextWidthFactor);
  f.textHeight = FactorText(s.TextHeightFactor);
  f.zoom = FactorText(s.Zoom);
  f.pan = FactorText(s.Panorama);
  f.border = s.ScreendumpBorder;
  return f;
}

std::optional<std::string> StoreGraphicsFields(const GraphicsFields& f, Settings& s) {
  // Every field is checked before anything is stored: a refused value leaves all settings as
  // they were. The bounds are those the settings file keeps when it is read again.
  const long double textWidth = TextToFloat(f.textWidth);
  if (!(textWidth >= 0.01L && textWidth <= 100.0L))
    return Refused("Largeur/hauteur du texte", f.textWidth, "de 0,01 à 100");
  const long double textHeight = TextToFloat(f.textHeight);
  if (!(textHeight >= 0.1L && textHeight <= 100.0L))
    return Refused("Taille du texte", f.textHeight, "de 0,1 à 100");
  const std::optional<int> x = GraphSize(f.sizeX);
  if (!x) return Refused("Grandeur de la fenêtre x", f.sizeX, "de 2 à 16384 points");
  const std::optional<int> y = GraphSize(f.sizeY);
  if (!y) return Refused("Grandeur de la fenêtre y", f.sizeY, "de 2 à 16384 points");
  // The pan step is a fraction of the visible part; the zoom step divides and multiplies the
  // visible part, so it must be a positive number.
  const long double pan = TextToFloat(f.pan);
  if (!(pan >= 0.0L && pan <= 1.0L)) return Refused("Panorama", f.pan, "de 0 à 1");
  const long double zoom = TextToFloat(f.zoom);
  if (!(zoom > 0.0L && zoom <= 100.0L)) return Refused("Zoom", f.zoom, "plus de 0, jusqu'à 100");

  s.ColourGraphics = f.colour;
  s.ScreenTextFont = FirstCharacters(f.font, kScreenFontNameLength);
  s.ScreenTextWidthFactor = textWidth;
  s.TextHeightFactor = textHeight;
  s.ScreenWidthPx = static_cast<std::uint16_t>(*x - 1);
  s.ScreenHeightPx = static_cast<std::uint16_t>(*y - 1);
  s.Panorama = pan;
  s.Zoom = zoom;
  s.ScreendumpBorder = f.border;
  return std::nullopt;
}

const std::array<const char*, kScreenPenSlots> kPenColourLabels = {
    "Couleur 1 (rouge)",        "Couleur 2 (jaune)",         "Couleur 3 (vert)",
    "Couleur 4 (cyan)",         "Couleur 5 (bleu)",          "Couleur 6 (magenta)",
    "Couleur 7 (blanc)",        "Couleur 8 (sombre bleu)",   "Couleur 9 (sombre vert)",
    "Couleur 10 (sombre cyan)", "Couleur 11 (sombre rouge)", "Couleur 12 (sombre magenta)",
    "Couleur 13 (brun)",        "Couleur 14 (clair gris)",   "Couleur 15 (sombre gris)",
    "Couleur 16 (noir)"};

std::array<std::string, kScreenPenSlots> PenColourFieldsFrom(const Settings& s) {
  std::array<std::string, kScreenPenSlots> fields;
  for (std::size_t k = 0; k < kScreenPenSlots; ++k)
    fields[k] = std::to_string(s.ScreenPenColour[k]);
  return fields;
}

std::optional<std::string> StorePenColourFields(
    const std::array<std::string, kScreenPenSlots>& fields, Settings& s) {
  std::array<std::int32_t, kScreenPenSlots> colours{};
  for (std::size_t k = 0; k < kScreenPenSlots; ++k) {
    colours[k] = TextToInt(fields[k]);
    // The screen has the colours 0..16; another number would leave the pen in the colour of the
    // element drawn before it.
    if (colours[k] < 0 || colours[k] > 16)
      return Refused(kPenColourLabels[k], fields[k], "de 0 à 16");
  }
  s.ScreenPenColour = colours;
  return std::nullopt;
}

}  // namespace plotvue
