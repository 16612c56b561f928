// Text on canvases: fonts chosen by family, size and style, line measuring,
// and single lines drawn either as raster text (no antialiasing, every
// channel written) or as antialiased vector outlines. Lines are UTF-8; bytes
// that are not valid UTF-8 are shown as replacement characters. Fonts are
// owned through FontPtr; a Font is plain data and may be used from any
// thread. Nothing here throws or prints.
#ifndef PIC2JPG_PLATFORM_DRAWING_TEXT_H_
#define PIC2JPG_PLATFORM_DRAWING_TEXT_H_

#include <memory>
#include <string>
#include <string_view>

#include "platform/drawing.h"

namespace pic2jpg::platform {

struct FontSpec {
  std::string family;
  int points = 0;  // size in points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
};

// Text is laid out at 96 pixels per inch, the resolution of a standard
// desktop screen: a font of P points gets an em height of P * 96 / 72 pixels,
// rounded to the nearest whole pixel, halves up (14 points give 19 pixels).
inline constexpr int kTextDpi = 96;
int FontPixelSize(int points);

struct Font;
struct FontDeleter {
  void operator()(Font* font) const;
};
using FontPtr = std::unique_ptr<Font, FontDeleter>;

// Fonts above this size are refused: their glyphs outgrow any picture and
// only cost time and memory (and the font engine gives up before long).
inline constexpr int kMaxFontPoints = 3000;

// Null when the size is not 1..kMaxFontPoints or FontFamilyAvailable
// (font_config.h) refuses the family: an unknown name never silently becomes
// another face.
FontPtr CreateFont(const FontSpec& request);

struct TextExtent {
  int width = 0;
  int height = 0;
};

// Raster text: the logical box of one line (advance width, ascent + descent).
TextExtent MeasureRasterText(const Font& font, std::string_view line);
// Draws one line with the top left of its box at (x, y): the box in `back`,
// the glyphs in `glyph`, both replacing the canvas pixels, without
// antialiasing.
void DrawRasterText(Canvas* canvas, const Font& font, int x, int y, std::string_view line,
                    Rgba glyph, Rgba back);

// Vector text: unhinted outlines with fractional advances.
double MeasureVectorText(const Font& font, std::string_view line);
// Fills the outlines of one line, antialiased, in `fill` over the canvas, the
// top left of the line's box at (x, y).
void DrawVectorText(Canvas* canvas, const Font& font, double x, double y, std::string_view line,
                    Rgba fill);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_DRAWING_TEXT_H_
