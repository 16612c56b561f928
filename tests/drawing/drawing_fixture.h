// Shared by the drawing tests: fresh settings per test, owned bitmaps,
// mark files written on the fly, and locating coloured areas in a picture.
#ifndef PIC2JPG_TESTS_DRAWING_DRAWING_FIXTURE_H_
#define PIC2JPG_TESTS_DRAWING_DRAWING_FIXTURE_H_

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "engine/frame.h"
#include "engine/naming.h"
#include "engine/run_setup.h"
#include "engine/watermark.h"
#include "platform/bitmap_ptr.h"
#include "platform/drawing.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace pic2jpg::test {

using ImagePtr = BitmapPtr;

inline int Red(int rgb) { return rgb >> 16 & 0xFF; }
inline int Green(int rgb) { return rgb >> 8 & 0xFF; }
inline int Blue(int rgb) { return rgb & 0xFF; }
// True when every channel of `rgb` is within `tolerance` of `expected`.
inline bool Near(int rgb, int expected, int tolerance = 2) {
  return std::abs(Red(rgb) - Red(expected)) <= tolerance &&
         std::abs(Green(rgb) - Green(expected)) <= tolerance &&
         std::abs(Blue(rgb) - Blue(expected)) <= tolerance;
}

// Half-open box [left, right) x [top, bottom); empty when nothing matched.
struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};
inline bool operator==(const Box& a, const Box& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "[" << b.left << "," << b.top << " - " << b.right << "," << b.bottom << ")";
}

inline Box BoundsWhere(FIBITMAP* image, const std::function<bool(int)>& match) {
  Box box{1 << 30, 1 << 30, -1, -1};
  int w = static_cast<int>(FreeImage_GetWidth(image));
  int h = static_cast<int>(FreeImage_GetHeight(image));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!match(PixelAt(image, x, y))) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  if (box.right < 0) return Box{};
  return box;
}

inline int CountWhere(FIBITMAP* image, const std::function<bool(int)>& match) {
  int count = 0;
  int w = static_cast<int>(FreeImage_GetWidth(image));
  int h = static_cast<int>(FreeImage_GetHeight(image));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) count += match(PixelAt(image, x, y)) ? 1 : 0;
  }
  return count;
}

// A picture file whose pixel (x, y) (from the top left) is `paint(x, y)`,
// an RGBA value 0xAARRGGBB; saved as 32-bit PNG, or in 24 bits (alpha
// dropped) for the other formats.
inline bool WriteMark(const std::string& path, FREE_IMAGE_FORMAT format, int width, int height,
                      const std::function<uint32_t(int, int)>& paint) {
  ImagePtr image(FreeImage_Allocate(width, height, 32));
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image.get(), height - 1 - y);
    for (int x = 0; x < width; ++x) {
      uint32_t c = paint(x, y);
      row[x * 4 + FI_RGBA_RED] = static_cast<BYTE>(c >> 16);
      row[x * 4 + FI_RGBA_GREEN] = static_cast<BYTE>(c >> 8);
      row[x * 4 + FI_RGBA_BLUE] = static_cast<BYTE>(c);
      row[x * 4 + FI_RGBA_ALPHA] = static_cast<BYTE>(c >> 24);
    }
  }
  if (format == FIF_PNG) {
    FreeImage_SetTransparent(image.get(), TRUE);  // else the saver drops the alpha channel
    return FreeImage_Save(format, image.get(), path.c_str(), 0) != 0;
  }
  ImagePtr rgb(FreeImage_ConvertTo24Bits(image.get()));
  int flags = format == FIF_JPEG ? JPEG_QUALITYSUPERB : 0;
  return FreeImage_Save(format, rgb.get(), path.c_str(), flags) != 0;
}

inline bool WriteSolidMark(const std::string& path, int width, int height, uint32_t argb) {
  return WriteMark(path, FIF_PNG, width, height, [argb](int, int) { return argb; });
}

// A canvas read back through the PNG hand-over to the codec library.
struct CanvasSnapshot {
  explicit CanvasSnapshot(const platform::Canvas& canvas) : bitmap(CanvasToBitmap(canvas)) {}
  int width() const { return bitmap ? static_cast<int>(FreeImage_GetWidth(bitmap.get())) : 0; }
  int height() const { return bitmap ? static_cast<int>(FreeImage_GetHeight(bitmap.get())) : 0; }
  // The pixel at (x, y) from the top left as an Rgba value; 0 outside.
  platform::Rgba At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    const BYTE* p = FreeImage_GetScanLine(bitmap.get(), height() - 1 - y) + x * 4;
    return platform::MakeRgba(p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE], p[FI_RGBA_ALPHA]);
  }
  ImagePtr bitmap;
};

// The font a text-mark run would load, and the input path its tokens read:
// the tests set g_settings and draw marks the way a run does.
inline platform::FontPtr& TestFont() {
  static platform::FontPtr font;
  return font;
}
inline bool CreateTestFont() {
  TestFont() = CreateWatermarkFont(g_settings.watermark);
  return TestFont() != nullptr;
}
inline std::string& MarkInputPath() {
  static std::string path;
  return path;
}
inline WatermarkJob MarkJobOfSettings() {
  WatermarkJob job;
  job.mark = &g_settings.watermark;
  job.frame = &g_settings.frame;
  job.font = TestFont().get();
  // An image mark's picture, loaded as a run loads it before its first file.
  static platform::LoadedImage picture;
  picture = platform::LoadedImage{};
  if (g_settings.watermark.kind == WatermarkKind::kImage && !g_settings.watermark.image.empty()) {
    std::string reason;
    picture = LoadMarkPicture(g_settings.watermark.image, FindPictureDecoding(), &reason);
    job.picture = &picture;
  }
  NameContext names;
  names.input_path = MarkInputPath();
  job.text = ExpandTextPlaceholders(g_settings.watermark.text, names);
  return job;
}
inline FIBITMAP* StampWithSettings(FIBITMAP* image) {
  return DrawWatermark(image, MarkJobOfSettings());
}

class DrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_settings = Settings{};
    TestFont().reset();
    MarkInputPath().clear();
  }
  void TearDown() override {
    TestFont().reset();
    g_settings = Settings{};
  }
  // An image watermark from a file in the test's folder.
  void UseImageMark(const std::string& path, int position, int x_offset, int y_offset) {
    WatermarkSettings& wm = g_settings.watermark;
    wm.kind = WatermarkKind::kImage;
    wm.image = path;
    wm.image_place.position = static_cast<int8_t>(position);
    wm.image_place.x_offset = x_offset;
    wm.image_place.y_offset = y_offset;
  }
  TempDir dir_;
};

}  // namespace pic2jpg::test

#endif  // PIC2JPG_TESTS_DRAWING_DRAWING_FIXTURE_H_
