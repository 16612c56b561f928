// Image marks: file formats with and without alpha, opacity, the grey
// filter, and files that cannot be read.
#include <gtest/gtest.h>

#include "drawing_fixture.h"
#include "engine/run_setup.h"
#include "engine/watermark.h"
#include "platform/drawing.h"

namespace pic2jpg {
namespace {

using test::ImagePtr;
using test::MakeImage;
using test::Near;
using test::PixelAt;

constexpr int kWhite = 0xFFFFFF;

class WatermarkImageTest : public test::DrawingTest {
 protected:
  // Stamps the mark at the top left of a white 40 x 30 picture.
  ImagePtr StampOnWhite(const std::string& path) {
    UseImageMark(path, 0, 0, 0);
    return ImagePtr(test::StampWithSettings(MakeImage(40, 30, 24, kWhite)));
  }
};

// A 20 x 10 mark: left half opaque red, right half half-transparent blue.
// Where the file has alpha it shows; formats without alpha stand opaque.
TEST_F(WatermarkImageTest, FormatsKeepTheirAlpha) {
  struct Case {
    const char* name;
    FREE_IMAGE_FORMAT format;
    int left, right;  // expected over white at (5, 5) and (15, 5)
    int tolerance;
  };
  const Case cases[] = {
      {"mark.png", FIF_PNG, 0xFF0000, 0x7F7FFF, 2},
      {"mark.bmp", FIF_BMP, 0xFF0000, 0x0000FF, 0},
      {"mark.jpg", FIF_JPEG, 0xFF0000, 0x0000FF, 12},
  };
  for (const Case& c : cases) {
    std::string path = dir_.File(c.name);
    ASSERT_TRUE(test::WriteMark(path, c.format, 20, 10,
                                [](int x, int) { return x < 10 ? 0xFFFF0000u : 0x800000FFu; }));
    ImagePtr result = StampOnWhite(path);
    ASSERT_NE(result, nullptr) << c.name;
    EXPECT_TRUE(Near(PixelAt(result.get(), 3, 5), c.left, c.tolerance))
        << c.name << std::hex << " " << PixelAt(result.get(), 3, 5);
    EXPECT_TRUE(Near(PixelAt(result.get(), 16, 5), c.right, c.tolerance))
        << c.name << std::hex << " " << PixelAt(result.get(), 16, 5);
    EXPECT_EQ(PixelAt(result.get(), 25, 5), kWhite) << c.name;
  }
}

// A picture without alpha is drawn over an opaque black box: lowering its
// opacity darkens it. A picture with alpha fades towards the photo instead.
TEST_F(WatermarkImageTest, OpacityDarkensOpaqueMarksAndFadesTransparentOnes) {
  struct Case {
    FREE_IMAGE_FORMAT format;
    const char* name;
    int opacity;
    int expected;
  };
  const Case cases[] = {
      {FIF_BMP, "white.bmp", 128, 0x808080}, {FIF_BMP, "white.bmp", 0, 0x000000},
      {FIF_BMP, "white.bmp", 255, kWhite},   {FIF_PNG, "red.png", 128, 0xFF7F7F},
      {FIF_PNG, "red.png", 0, kWhite},       {FIF_PNG, "red.png", 255, 0xFF0000},
  };
  for (const Case& c : cases) {
    std::string path = dir_.File(c.name);
    // The PNG has one transparent pixel, so that it is stored with alpha.
    uint32_t colour = c.format == FIF_BMP ? 0xFFFFFFFFu : 0xFFFF0000u;
    ASSERT_TRUE(test::WriteMark(path, c.format, 10, 10,
                                [colour](int x, int y) { return x == 9 && y == 9 ? 0u : colour; }));
    g_settings.watermark.image_opacity = c.opacity;
    ImagePtr result = StampOnWhite(path);
    int got = PixelAt(result.get(), 5, 5);
    EXPECT_TRUE(Near(got, c.expected))
        << c.name << " opacity " << c.opacity << std::hex << " got " << got;
  }
}

// The grey filter weighs red, green and blue 77 : 150 : 29 and keeps alpha;
// the opacity applies in grey as it does in colour.
TEST_F(WatermarkImageTest, GreyFilterWeighsTheChannels) {
  struct Case {
    uint32_t argb;
    int opacity;
    int expected;  // over white
  };
  const Case cases[] = {
      {0xFFFF0000u, 255, 0x4C4C4C},  // (77 * 255) >> 8 = 76
      {0xFF00FF00u, 255, 0x959595},  // 149
      {0xFF0000FFu, 255, 0x1C1C1C},  // 28
      {0xFFFFFFFFu, 255, 0xFFFFFF},  // the weights add up to 256: white stays white
      {0xFFFF0000u, 128, 0xA5A5A5},  // 76 at half over white
      {0x80FF0000u, 255, 0xA5A5A5},  // 76 at alpha 128 over white
  };
  for (const Case& c : cases) {
    std::string path = dir_.File("grey.png");
    ASSERT_TRUE(test::WriteMark(path, FIF_PNG, 10, 10, [&c](int x, int y) {
      return x == 9 && y == 9 ? 0u : c.argb;  // stored with alpha
    }));
    g_settings.watermark.image_greyscale = 1;
    g_settings.watermark.image_opacity = c.opacity;
    ImagePtr result = StampOnWhite(path);
    int got = PixelAt(result.get(), 5, 5);
    EXPECT_TRUE(Near(got, c.expected))
        << std::hex << c.argb << " opacity " << std::dec << c.opacity << std::hex << " got " << got;
  }
}

// Most 32-bit BMP files carry padding where alpha would be: all zero. Such a
// picture is opaque, not invisible.
TEST_F(WatermarkImageTest, ZeroAlphaIsPaddingNotTransparency) {
  std::string path = dir_.File("padded.bmp");
  ImagePtr mark(FreeImage_Allocate(10, 10, 32));
  for (unsigned y = 0; y < 10; ++y) {
    BYTE* row = FreeImage_GetScanLine(mark.get(), static_cast<int>(y));
    for (unsigned x = 0; x < 10; ++x) {
      row[x * 4 + FI_RGBA_RED] = 0;
      row[x * 4 + FI_RGBA_GREEN] = 200;
      row[x * 4 + FI_RGBA_BLUE] = 0;
      row[x * 4 + FI_RGBA_ALPHA] = 0;
    }
  }
  ASSERT_TRUE(FreeImage_Save(FIF_BMP, mark.get(), path.c_str(), 0));
  std::string reason;
  platform::LoadedImage loaded = LoadMarkPicture(path, FindPictureDecoding(), &reason);
  ASSERT_NE(loaded.canvas, nullptr);
  EXPECT_EQ(loaded.bits_per_pixel, 24);
  ImagePtr result = StampOnWhite(path);
  EXPECT_EQ(PixelAt(result.get(), 5, 5), 0x00C800);
}

// A palette picture with a transparent entry is read with its transparency.
TEST_F(WatermarkImageTest, PaletteTransparencyIsKept) {
  std::string path = dir_.File("palette.png");
  ImagePtr mark(FreeImage_Allocate(10, 10, 8));
  RGBQUAD* palette = FreeImage_GetPalette(mark.get());
  palette[0] = RGBQUAD{0, 0, 0, 0};
  palette[1] = RGBQUAD{0, 0, 255, 0};  // blue, green, red: red
  for (unsigned y = 0; y < 10; ++y) {
    BYTE* row = FreeImage_GetScanLine(mark.get(), static_cast<int>(y));
    for (unsigned x = 0; x < 10; ++x) row[x] = x < 5 ? 1 : 0;
  }
  BYTE table[2] = {0, 255};
  FreeImage_SetTransparencyTable(mark.get(), table, 2);
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, mark.get(), path.c_str(), 0));
  std::string reason;
  platform::LoadedImage loaded = LoadMarkPicture(path, FindPictureDecoding(), &reason);
  EXPECT_EQ(loaded.bits_per_pixel, 32);
  ImagePtr result = StampOnWhite(path);
  EXPECT_EQ(PixelAt(result.get(), 2, 5), 0xFF0000);
  EXPECT_EQ(PixelAt(result.get(), 7, 5), kWhite);
}

// Files that cannot be had leave the picture unmarked, in 24 bits.
TEST_F(WatermarkImageTest, UnreadableFilesLeaveThePictureUnmarked) {
  std::string garbage = dir_.File("garbage.png");
  ASSERT_TRUE(test::WriteText(garbage, "this is not a picture"));
  std::string truncated = dir_.File("truncated.png");
  ASSERT_TRUE(test::WriteSolidMark(truncated, 50, 50, 0xFFFF0000u));
  std::string bytes = test::ReadText(truncated);
  ASSERT_TRUE(test::WriteText(truncated, bytes.substr(0, bytes.size() / 2)));
  for (const std::string& path :
       {std::string(), dir_.File("missing.png"), garbage, dir_.path(), truncated}) {
    UseImageMark(path, 0, 0, 0);
    ImagePtr result(test::StampWithSettings(MakeImage(30, 20, 8, 0x404040)));
    ASSERT_NE(result, nullptr) << path;
    EXPECT_EQ(FreeImage_GetBPP(result.get()), 24u) << path;
    EXPECT_EQ(test::CountWhere(result.get(), [](int c) { return test::Red(c) > 0x60; }), 0) << path;
  }
}

}  // namespace
}  // namespace pic2jpg
