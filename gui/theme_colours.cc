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

Rgb SwatchEdge(Rgb fill) {
  // Towards black by 45 parts in 100, or towards white by half.
  auto toward = [](uint8_t from, int to, int share) {
    return static_cast<uint8_t>(from + (to - from) * share / 100);
  };
  if (IsDark(fill))
    return Rgb{toward(fill.r, 255, 50), toward(fill.g, 255, 50), toward(fill.b, 255, 50)};
  return Rgb{toward(fill.r, 0, 45), toward(fill.g, 0, 45), toward(fill.b, 0, 45)};
}

void FrameSwatch(std::vector<uint8_t>* rgb, int width, int height) {
  if (width <= 0 || height <= 0 || rgb->size() < static_cast<size_t>(width) * height * 3) return;
  const Rgb edge = SwatchEdge(Rgb{(*rgb)[0], (*rgb)[1], (*rgb)[2]});
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (x != 0 && y != 0 && x != width - 1 && y != height - 1) continue;
      uint8_t* pixel = &(*rgb)[(static_cast<size_t>(y) * width + x) * 3];
      pixel[0] = edge.r;
      pixel[1] = edge.g;
      pixel[2] = edge.b;
    }
  }
}

}  // namespace pic2jpg
