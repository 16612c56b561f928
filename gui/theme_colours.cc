#include "gui/theme_colours.h"

#include <algorithm>
#include <cmath>

namespace pic2jpg {
namespace {

// A pixel counts as drawn from this opacity on.
constexpr uint8_t kVisibleAlpha = 128;
// Below this contrast ratio a pixel blends into the background.
constexpr double kSeenContrast = 2.0;
// At least this share of the drawn pixels must stand out.
constexpr double kSeenShare = 0.2;

double Linear(uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double Luminance(Rgb colour) {
  return 0.2126 * Linear(colour.r) + 0.7152 * Linear(colour.g) + 0.0722 * Linear(colour.b);
}

double ContrastRatio(Rgb a, Rgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDark(Rgb colour) { return Luminance(colour) < 0.18; }

Rgb ReadableLinkColour(Rgb theme_link, Rgb background) {
  if (ContrastRatio(theme_link, background) >= 4.5) return theme_link;
  // A pale and a deep blue: whichever stands out more.
  const Rgb pale{153, 193, 241};
  const Rgb deep{32, 74, 135};
  return ContrastRatio(pale, background) > ContrastRatio(deep, background) ? pale : deep;
}

bool PictureVanishes(const std::vector<uint8_t>& rgba, Rgb background) {
  size_t drawn = 0;
  size_t seen = 0;
  for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
    if (rgba[i + 3] < kVisibleAlpha) continue;
    ++drawn;
    if (ContrastRatio(Rgb{rgba[i], rgba[i + 1], rgba[i + 2]}, background) >= kSeenContrast) ++seen;
  }
  return drawn == 0 || static_cast<double>(seen) < kSeenShare * static_cast<double>(drawn);
}

void AddOutline(std::vector<uint8_t>* rgba, int width, int height, Rgb colour) {
  if (width <= 0 || height <= 0 ||
      rgba->size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
    return;
  }
  const std::vector<uint8_t> before = *rgba;
  auto drawn = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < height &&
           before[(static_cast<size_t>(y) * width + x) * 4 + 3] >= kVisibleAlpha;
  };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = rgba->data() + (static_cast<size_t>(y) * width + x) * 4;
      if (pixel[3] >= kVisibleAlpha) continue;
      bool next_to_drawn = false;
      for (int dy = -1; dy <= 1 && !next_to_drawn; ++dy) {
        for (int dx = -1; dx <= 1 && !next_to_drawn; ++dx) next_to_drawn = drawn(x + dx, y + dy);
      }
      if (!next_to_drawn) continue;
      pixel[0] = colour.r;
      pixel[1] = colour.g;
      pixel[2] = colour.b;
      pixel[3] = 255;
    }
  }
}

}  // namespace pic2jpg
