// Shared pieces of the image-step tests: a fixture that starts every test
// from default settings, an owning image handle, and pixel comparisons.
#ifndef PIC2JPG_TESTS_IMAGEOPS_IMAGEOPS_FIXTURE_H_
#define PIC2JPG_TESTS_IMAGEOPS_IMAGEOPS_FIXTURE_H_

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/bitmap_ptr.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace pic2jpg::test {

using Image = BitmapPtr;

class ImageOpsTest : public ::testing::Test {
 protected:
  void SetUp() override { g_settings = Settings{}; }
  void TearDown() override { g_settings = Settings{}; }
};

// The depths the engine meets in loaded pictures.
inline constexpr int kDepths[] = {1, 4, 8, 16, 24, 32, 48};

inline int Width(FIBITMAP* image) { return static_cast<int>(FreeImage_GetWidth(image)); }
inline int Height(FIBITMAP* image) { return static_cast<int>(FreeImage_GetHeight(image)); }
inline int Bpp(FIBITMAP* image) { return static_cast<int>(FreeImage_GetBPP(image)); }

inline int Channel(int rgb, int shift) { return (rgb >> shift) & 255; }

// Largest difference of one colour channel over all pixels; -1 when the
// sizes differ.
inline int MaxChannelDiff(FIBITMAP* a, FIBITMAP* b) {
  if (Width(a) != Width(b) || Height(a) != Height(b)) return -1;
  int worst = 0;
  for (int y = 0; y < Height(a); ++y) {
    for (int x = 0; x < Width(a); ++x) {
      int pa = PixelAt(a, x, y);
      int pb = PixelAt(b, x, y);
      for (int shift : {0, 8, 16}) {
        worst = std::max(worst, std::abs(Channel(pa, shift) - Channel(pb, shift)));
      }
    }
  }
  return worst;
}

// True when every pixel shows the same colour in both pictures.
inline bool SamePixels(FIBITMAP* a, FIBITMAP* b) { return MaxChannelDiff(a, b) == 0; }

}  // namespace pic2jpg::test

#endif  // PIC2JPG_TESTS_IMAGEOPS_IMAGEOPS_FIXTURE_H_
