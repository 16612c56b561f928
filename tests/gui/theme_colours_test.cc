#include "gui/theme_colours.h"

#include <gtest/gtest.h>

#include <vector>

namespace pic2jpg {
namespace {

constexpr Rgb kLightWindow{246, 245, 244};
constexpr Rgb kDarkWindow{53, 53, 53};

// A 4 x 4 picture: `stroke` on the pixels the mask marks, `fill` on those
// marked 2, the rest transparent.
std::vector<uint8_t> Picture(const char* mask, Rgb stroke, Rgb fill) {
  std::vector<uint8_t> rgba;
  for (const char* p = mask; *p != '\0'; ++p) {
    const Rgb colour = *p == '2' ? fill : stroke;
    const uint8_t alpha = *p == '.' ? 0 : 255;
    rgba.insert(rgba.end(), {colour.r, colour.g, colour.b, alpha});
  }
  return rgba;
}

TEST(ThemeColoursTest, PictureVanishesOnlyWhereItBlendsIn) {
  const Rgb black{0, 0, 0};
  const Rgb near_black{43, 43, 43};
  const Rgb white{255, 255, 255};
  const Rgb cream{244, 231, 176};
  const Rgb tango_blue{52, 101, 164};
  struct Case {
    const char* mask;
    Rgb stroke;
    Rgb fill;
    Rgb background;
    bool vanishes;
  };
  const Case cases[] = {
      // Dark strokes: seen on light, lost on dark.
      {".1..1111.1...1..", near_black, near_black, kLightWindow, false},
      {".1..1111.1...1..", near_black, near_black, kDarkWindow, true},
      {".1..1111.1...1..", black, black, kDarkWindow, true},
      // Light strokes: the other way round.
      {".1..1111.1...1..", white, white, kLightWindow, true},
      {".1..1111.1...1..", white, white, kDarkWindow, false},
      // A dark outline around a light fill shows on both.
      {"1111122112211111", near_black, cream, kDarkWindow, false},
      {"1111122112211111", near_black, cream, kLightWindow, false},
      // Colour shows on both; nothing drawn at all counts as lost.
      {"1111111111111111", tango_blue, tango_blue, kLightWindow, false},
      {"1111111111111111", tango_blue, tango_blue, kDarkWindow, false},
      {"................", black, black, kLightWindow, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PictureVanishes(Picture(c.mask, c.stroke, c.fill), c.background), c.vanishes)
        << c.mask << " on " << int{c.background.r};
  }
}

TEST(ThemeColoursTest, OutlineMakesABlendedPictureVisible) {
  const Rgb black{0, 0, 0};
  std::vector<uint8_t> picture = Picture("......1..1......", black, black);
  ASSERT_TRUE(PictureVanishes(picture, kDarkWindow));
  AddOutline(&picture, 4, 4, Rgb{238, 238, 236});
  EXPECT_FALSE(PictureVanishes(picture, kDarkWindow));
  // The drawn pixels stay as they were; only their neighbours are added.
  EXPECT_EQ(picture[(1 * 4 + 2) * 4], 0);
  EXPECT_EQ(picture[(1 * 4 + 2) * 4 + 3], 255);
  // A wrong size changes nothing.
  std::vector<uint8_t> small = Picture("1...", black, black);
  const std::vector<uint8_t> before = small;
  AddOutline(&small, 4, 4, Rgb{238, 238, 236});
  EXPECT_EQ(small, before);
}

TEST(ThemeColoursTest, LinksReadOnTheirBackground) {
  const Rgb pure_blue{0, 0, 255};
  const Rgb theme_blues[] = {pure_blue, Rgb{27, 106, 203}, Rgb{120, 174, 237}};
  for (const Rgb background : {kLightWindow, kDarkWindow, Rgb{255, 255, 255}, Rgb{0, 0, 0}}) {
    for (const Rgb theme_link : theme_blues) {
      const Rgb shown = ReadableLinkColour(theme_link, background);
      EXPECT_GE(ContrastRatio(shown, background), 4.5) << int{background.r};
      // A theme colour that reads is kept.
      if (ContrastRatio(theme_link, background) >= 4.5) {
        EXPECT_EQ(shown.b, theme_link.b);
        EXPECT_EQ(shown.r, theme_link.r);
      }
    }
  }
}

// A swatch's frame stands out from its fill whatever the colour, so that a
// white swatch shows on a light window and a black one on a dark window;
// the inside keeps the colour.
TEST(ThemeColoursTest, SwatchFramesStandOutFromTheirFill) {
  const Rgb fills[] = {{255, 255, 255}, {0, 0, 0},   {128, 128, 128}, {118, 118, 118},
                       {255, 255, 0},   {0, 0, 128}, {0, 255, 255},   {255, 0, 255}};
  for (const Rgb fill : fills) {
    EXPECT_GE(ContrastRatio(SwatchEdge(fill), fill), 2.0) << int{fill.r} << "," << int{fill.g};
    std::vector<uint8_t> swatch;
    for (int i = 0; i < 4 * 3; ++i) swatch.insert(swatch.end(), {fill.r, fill.g, fill.b});
    FrameSwatch(&swatch, 4, 3);
    const Rgb corner{swatch[0], swatch[1], swatch[2]};
    const size_t inside = (1 * 4 + 1) * 3;
    EXPECT_GE(ContrastRatio(corner, fill), 2.0);
    EXPECT_EQ(swatch[inside], fill.r);
    EXPECT_EQ(swatch[inside + 2], fill.b);
  }
}

}  // namespace
}  // namespace pic2jpg
