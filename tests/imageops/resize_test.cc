// Target sizes, proportional sizing, the large-images-only mode and the
// rescale filters.
#include <climits>

#include "engine/geometry.h"
#include "imageops/imageops_fixture.h"

namespace pic2jpg::test {
namespace {

TEST(TargetSizeTest, PixelsPassAndPercentRoundsHalvesToEven) {
  struct Case {
    int value;
    int unit;
    int current;
    int expected;
  };
  const Case cases[] = {
      {800, 0, 1000, 800},
      {-5, 0, 1000, -5},
      {0, 0, 1000, 0},
      {50, 1, 333, 166},  // 166.5
      {50, 1, 335, 168},  // 167.5
      {200, 1, 333, 666},
      {100, 1, 333, 333},
      {50, 1, 1, 0},   // 0.5
      {150, 1, 1, 2},  // 1.5
      {250, 1, 1, 2},  // 2.5
      {33, 1, 100, 33},
      {-50, 1, 100, -50},
      {50, 2, 100, 0},
      {50, -1, 100, 0},
      // far beyond what an int holds: clamped, the rescale then fails
      {INT_MAX, 1, INT_MAX, INT_MAX},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TargetSize(c.value, c.unit, c.current), c.expected)
        << c.value << " unit " << c.unit << " of " << c.current;
  }
}

TEST(ResizeFilterTest, MapsTheAlgorithmSettingToTheLibrarysFilters) {
  struct Case {
    int setting;
    int filter;
  };
  for (Case c : {Case{0, 0}, Case{1, 2}, Case{2, 3}, Case{3, 1}, Case{4, 4}, Case{5, 5}, Case{6, 1},
                 Case{-1, 1}}) {
    g_settings = Settings{};
    g_settings.transform.image_resize_algorithm = static_cast<int8_t>(c.setting);
    EXPECT_EQ(static_cast<int>(ResizeFilter(g_settings.transform.image_resize_algorithm)), c.filter)
        << "setting " << c.setting;
  }
  g_settings = Settings{};
  EXPECT_EQ(ResizeFilter(g_settings.transform.image_resize_algorithm), FILTER_BICUBIC)
      << "the default";
}

class ResizeTest : public ImageOpsTest {
 protected:
  void Target(int width, int height, bool keep_aspect, int width_unit = 0, int height_unit = 0) {
    g_settings.transform.do_image_resize = 1;
    g_settings.transform.image_width = width;
    g_settings.transform.image_height = height;
    g_settings.transform.image_width_unit = static_cast<int8_t>(width_unit);
    g_settings.transform.image_height_unit = static_cast<int8_t>(height_unit);
    g_settings.transform.keep_aspect_ratio = keep_aspect ? 1 : 0;
  }
};

TEST_F(ResizeTest, ComputesTheNewSize) {
  struct Case {
    const char* what;
    int width, height;                // picture
    int target_width, target_height;  // settings
    int width_unit, height_unit;
    bool keep_aspect;
    int resize_type;
    int expected_width, expected_height;
    bool unchanged;  // the very same picture comes back
  };
  const Case cases[] = {
      {"landscape uses the width target", 1000, 750, 800, 1, 0, 0, true, 0, 800, 600, false},
      {"portrait uses the height target", 750, 1000, 800, 600, 0, 0, true, 0, 450, 600, false},
      {"a square counts as landscape", 500, 500, 300, 100, 0, 0, true, 0, 300, 300, false},
      {"landscape side rounds halves up", 4, 2, 5, 1, 0, 0, true, 0, 5, 3, false},
      {"portrait side rounds halves up", 2, 4, 1, 5, 0, 0, true, 0, 3, 5, false},
      {"landscape, ratio 4.5", 900, 200, 800, 600, 0, 0, true, 0, 800, 178, false},
      {"free proportions", 1000, 750, 800, 1, 0, 0, false, 0, 800, 1, false},
      {"enlarging", 40, 30, 400, 300, 0, 0, false, 0, 400, 300, false},
      {"percent, halves to even", 333, 335, 50, 50, 1, 1, false, 0, 166, 168, false},
      {"percent with proportions", 1000, 750, 50, 1, 1, 0, true, 0, 500, 375, false},
      {"mixed units", 200, 100, 50, 30, 1, 0, false, 0, 100, 30, false},
      {"target equals size", 1000, 750, 1000, 750, 0, 0, false, 0, 1000, 750, true},
      {"proportional size equals size", 1000, 750, 1000, 1, 0, 0, true, 0, 1000, 750, true},
      {"width target 0", 1000, 750, 0, 600, 0, 0, true, 0, 1000, 750, true},
      {"height target 0 with proportions", 1000, 750, 800, 0, 0, 0, true, 0, 1000, 750, true},
      {"negative target", 1000, 750, -800, 600, 0, 0, false, 0, 1000, 750, true},
      {"unknown unit", 1000, 750, 50, 50, 2, 0, false, 0, 1000, 750, true},
      {"percent rounding to 0", 1, 1, 40, 40, 1, 1, false, 0, 1, 1, true},
      {"large only: smaller both ways", 300, 200, 800, 600, 0, 0, true, 1, 300, 200, true},
      {"large only: wider", 900, 200, 800, 600, 0, 0, true, 1, 800, 178, false},
      {"large only: equal width counts", 800, 200, 800, 600, 0, 0, false, 1, 800, 600, false},
      {"always: smaller both ways", 300, 200, 800, 600, 0, 0, true, 0, 800, 533, false},
      {"a thin strip keeps one pixel", 1000, 1, 10, 10, 0, 0, true, 0, 10, 1, false},
      {"a tall strip keeps one pixel", 1, 1000, 10, 10, 0, 0, true, 0, 1, 10, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    g_settings = Settings{};
    Target(c.target_width, c.target_height, c.keep_aspect, c.width_unit, c.height_unit);
    g_settings.transform.image_resize_type = static_cast<int8_t>(c.resize_type);
    FIBITMAP* image = MakeImage(c.width, c.height, 24);
    FIBITMAP* result = ResizeImage(image, c.width, c.height, g_settings.transform);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Width(result), c.expected_width);
    EXPECT_EQ(Height(result), c.expected_height);
    EXPECT_EQ(result == image, c.unchanged);
    FreeImage_Unload(result);
  }
}

TEST_F(ResizeTest, SwitchedOffLeavesThePictureAlone) {
  Target(800, 600, false);
  g_settings.transform.do_image_resize = 0;
  FIBITMAP* image = MakeImage(100, 50, 24);
  FIBITMAP* result = ResizeImage(image, 100, 50, g_settings.transform);
  EXPECT_EQ(result, image);
  FreeImage_Unload(result);
}

TEST_F(ResizeTest, EveryFilterAndDepthKeepsAFlatColourFlat) {
  for (int algorithm = 0; algorithm <= 5; ++algorithm) {
    for (int bpp : kDepths) {
      for (auto [to_w, to_h] : {std::pair{61, 23}, std::pair{9, 4}}) {
        SCOPED_TRACE(testing::Message() << "algorithm " << algorithm << ", " << bpp << " bits, to "
                                        << to_w << "x" << to_h);
        g_settings.transform.image_resize_algorithm = static_cast<int8_t>(algorithm);
        Target(to_w, to_h, false);
        FIBITMAP* image = MakeImage(30, 17, bpp, 0xC08040);
        int colour = PixelAt(image, 0, 0);
        Image resized(ResizeImage(image, 30, 17, g_settings.transform));
        ASSERT_NE(resized, nullptr);
        EXPECT_EQ(Width(resized.get()), to_w);
        EXPECT_EQ(Height(resized.get()), to_h);
        Image flat(FreeImage_Allocate(to_w, to_h, 24));
        RGBQUAD fill{static_cast<BYTE>(colour & 255), static_cast<BYTE>((colour >> 8) & 255),
                     static_cast<BYTE>((colour >> 16) & 255), 0};
        FreeImage_FillBackground(flat.get(), &fill);
        EXPECT_LE(MaxChannelDiff(flat.get(), resized.get()), 1);
      }
    }
  }
}

TEST_F(ResizeTest, SharperFiltersKeepMoreContrastWhenShrinking) {
  // A fine vertical stripe pattern shrunk by a non-integer factor: the box
  // filter averages more than Lanczos, so their results differ; the setting
  // must reach the library.
  Image stripes(FreeImage_Allocate(64, 8, 24));
  for (int x = 0; x < 64; ++x) {
    RGBQUAD c{};
    c.rgbRed = c.rgbGreen = c.rgbBlue = static_cast<BYTE>((x / 3) % 2 == 0 ? 255 : 0);
    for (int y = 0; y < 8; ++y) FreeImage_SetPixelColor(stripes.get(), x, y, &c);
  }
  Target(27, 8, false);
  g_settings.transform.image_resize_algorithm = 0;
  Image box(ResizeImage(FreeImage_Clone(stripes.get()), 64, 8, g_settings.transform));
  g_settings.transform.image_resize_algorithm = 5;
  Image lanczos(ResizeImage(FreeImage_Clone(stripes.get()), 64, 8, g_settings.transform));
  ASSERT_NE(box, nullptr);
  ASSERT_NE(lanczos, nullptr);
  EXPECT_GT(MaxChannelDiff(box.get(), lanczos.get()), 10);
}

TEST_F(ResizeTest, ASizeTheLibraryCannotMakeEndsInNull) {
  // 10 x 10 at INT_MAX percent: far more memory than exists.
  Target(INT_MAX, INT_MAX, false, 1, 1);
  EXPECT_EQ(ResizeImage(MakeImage(10, 10, 24), 10, 10, g_settings.transform), nullptr);
}

}  // namespace
}  // namespace pic2jpg::test
