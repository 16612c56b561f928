// Whether a picture can be seen on the background it is drawn on, decided
// from its pixels alone: a theme drawn for light windows may vanish on a dark
// one, and the other way round.
#ifndef PIC2JPG_GUI_THEME_COLOURS_H_
#define PIC2JPG_GUI_THEME_COLOURS_H_

#include <cstdint>
#include <vector>

namespace pic2jpg {

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
};

// Relative luminance, 0 (black) to 1 (white), of an sRGB colour.
double Luminance(Rgb colour);
// The contrast ratio of two colours, 1 (the same) to 21 (black on white).
double ContrastRatio(Rgb a, Rgb b);
bool IsDark(Rgb colour);

// The colour links are drawn in: the theme's own link colour when it reads
// on `background` (contrast 4.5 or more), else a pale or a deep blue,
// whichever stands out more (pale on dark windows, deep on light ones).
Rgb ReadableLinkColour(Rgb theme_link, Rgb background);

// True when too few of the picture's visible pixels stand out from
// `background` for its shape to be made out: an all-black picture on a dark
// window, an all-white one on a light window. `rgba` holds 4 bytes a pixel;
// a picture with no visible pixel counts as vanished.
bool PictureVanishes(const std::vector<uint8_t>& rgba, Rgb background);

// Draws a one-pixel halo of `colour` around the visible pixels of the
// picture (into its transparent pixels), so that its outline shows on any
// background.
void AddOutline(std::vector<uint8_t>* rgba, int width, int height, Rgb colour);

// The edge of a colour swatch: the fill darkened (light fills) or lightened
// (dark ones), so that a white swatch shows on a light window and a black
// one on a dark window.
Rgb SwatchEdge(Rgb fill);
// Draws a one-pixel frame of SwatchEdge round an RGB picture (3 bytes a
// pixel) filled with one colour.
void FrameSwatch(std::vector<uint8_t>* rgb, int width, int height);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_THEME_COLOURS_H_
