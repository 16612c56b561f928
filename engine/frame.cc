#include "engine/frame.h"

#include <array>

#include "engine/geometry.h"
#include "settings/settings.h"
#include "text/ascii_scan.h"

namespace pic2jpg {

uint32_t ParseHexColourAlpha(const std::string& text, int alpha) {
  if (text.size() != 6) return 0;
  const uint32_t colour = ParseHexColour(text);
  return platform::MakeRgba(static_cast<int>(colour & 0xFFu),
                            static_cast<int>((colour >> 8) & 0xFFu),
                            static_cast<int>((colour >> 16) & 0xFFu), alpha);
}

FIBITMAP* ConvertTo24BitsOwned(FIBITMAP* image) {
  if (image == nullptr) return nullptr;
  if (FreeImage_GetImageType(image) == FIT_BITMAP && FreeImage_GetBPP(image) == 24) return image;
  FIBITMAP* converted = FreeImage_ConvertTo24Bits(image);
  if (converted == nullptr && FreeImage_GetImageType(image) != FIT_BITMAP) {
    // Greyscale of 16 bits or floating point: scaled to 8 bits first.
    FIBITMAP* standard = FreeImage_ConvertToStandardType(image, TRUE);
    if (standard != nullptr) {
      converted = FreeImage_ConvertTo24Bits(standard);
      FreeImage_Unload(standard);
    }
  }
  FreeImage_Unload(image);
  return converted;
}

FIBITMAP* CanvasToBitmap(const platform::Canvas& canvas) {
  const int width = platform::CanvasWidth(canvas);
  const int height = platform::CanvasHeight(canvas);
  FIBITMAP* bitmap = FreeImage_Allocate(width, height, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                        FI_RGBA_BLUE_MASK);
  if (bitmap == nullptr) return nullptr;
  // The library keeps rows bottom first.
  for (int y = 0; y < height; ++y) {
    platform::ReadStraightRow(canvas, y, FreeImage_GetScanLine(bitmap, height - 1 - y));
  }
  return bitmap;
}

FIBITMAP* CompositeOver(FIBITMAP* image, FIBITMAP* layer) {
  if (image == nullptr || layer == nullptr) return image;
  FIBITMAP* composite = FreeImage_Composite(layer, FALSE, nullptr, image);
  if (composite == nullptr) return image;
  FreeImage_Unload(image);
  return composite;
}

// The frame is painted on its own canvas at full strength, then that canvas
// is painted once more with the frame's opacity, so that the overlapping
// corner pieces do not show through each other.
FIBITMAP* DrawFrame(FIBITMAP* image, const FrameSettings& frame) {
  if (image == nullptr || frame.do_frame == 0) return image;
  image = ConvertTo24BitsOwned(image);
  if (image == nullptr || frame.do_frame != 1) return image;

  // The picture's own size: the composite refuses a layer of any other.
  const int w = static_cast<int>(FreeImage_GetWidth(image));
  const int h = static_cast<int>(FreeImage_GetHeight(image));
  platform::CanvasPtr bands = platform::CreateCanvas(w, h);
  if (bands == nullptr) return image;

  const double W = w, H = h;
  const double L = frame.solid_left, R = frame.solid_right;
  const double T = frame.solid_top, B = frame.solid_bottom;
  const uint32_t top = ParseHexColourAlpha(frame.solid_top_color, 255);
  const uint32_t right = ParseHexColourAlpha(frame.solid_right_color, 255);
  const uint32_t bottom = ParseHexColourAlpha(frame.solid_bottom_color, 255);
  const uint32_t left = ParseHexColourAlpha(frame.solid_left_color, 255);

  platform::Canvas* a = bands.get();
  if (platform::BeginDrawing(a)) {
    // Corner squares first; the bands then cover them but for the
    // antialiased seams along the diagonals.
    auto rectangle = [a](uint32_t colour, double x, double y, double rw, double rh) {
      platform::SetFillColour(a, colour);
      platform::AddRectangle(a, x, y, rw, rh);
      platform::FillPath(a);
    };
    rectangle(top, 0, 0, L, T);
    rectangle(right, W - R, 0, R, T);
    rectangle(bottom, W - R, H - B, R, B);
    rectangle(left, 0, H - B, L, B);

    auto band = [a](uint32_t colour, platform::Point start, std::array<platform::Point, 3> steps) {
      platform::SetFillColour(a, colour);
      platform::AddPolygon(a, start, steps);
      platform::FillPath(a);
    };
    band(top, {0, 0}, {{{W, 0}, {-R, T}, {-(W - L - R), 0}}});
    band(right, {W, 0}, {{{0, H}, {-R, -B}, {0, -(H - T - B)}}});
    band(bottom, {W, H}, {{{-W, 0}, {L, -B}, {W - L - R, 0}}});
    band(left, {0, H}, {{{0, -H}, {L, T}, {0, H - T - B}}});
    platform::EndDrawing(a);
  }

  FIBITMAP* layer = nullptr;
  {
    platform::CanvasPtr faded = platform::CreateCanvas(w, h);
    if (faded == nullptr) return image;
    platform::PaintCanvas(faded.get(), *bands, frame.solid_opacity);
    bands.reset();
    layer = CanvasToBitmap(*faded);
  }
  image = CompositeOver(image, layer);
  if (layer != nullptr) FreeImage_Unload(layer);
  return image;
}

}  // namespace pic2jpg
