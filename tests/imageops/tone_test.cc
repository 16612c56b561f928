// Colour correction, greyscale and threshold across the depths the engine
// meets, and the null pass-through of every image step.
#include "engine/tone.h"

#include "engine/geometry.h"
#include "imageops/imageops_fixture.h"

namespace pic2jpg::test {
namespace {

class ToneTest : public ImageOpsTest {
 protected:
  void Correct(int brightness, int contrast, float gamma, bool invert) {
    g_settings.adjustment.do_image_color_correction = 1;
    g_settings.adjustment.image_brightness = brightness;
    g_settings.adjustment.image_contrast = contrast;
    g_settings.adjustment.image_gamma = gamma;
    g_settings.adjustment.image_invert = invert ? 1 : 0;
  }
};

// True when `test(before, after)` holds for every channel of every pixel.
template <typename Test>
bool EveryChannel(FIBITMAP* before, FIBITMAP* after, Test test) {
  if (Width(before) != Width(after) || Height(before) != Height(after)) return false;
  for (int y = 0; y < Height(before); ++y) {
    for (int x = 0; x < Width(before); ++x) {
      int a = PixelAt(before, x, y), b = PixelAt(after, x, y);
      for (int shift : {0, 8, 16}) {
        if (!test(Channel(a, shift), Channel(b, shift))) return false;
      }
    }
  }
  return true;
}

TEST_F(ToneTest, NeutralCorrectionKeepsThePixels) {
  for (int bpp : kDepths) {
    SCOPED_TRACE(testing::Message() << bpp << " bits");
    // Pictures the library cannot adjust (all but 8, 24 and 32 bits) become
    // 24-bit even when nothing changes.
    const int expected_bpp = bpp == 8 || bpp == 24 || bpp == 32 ? bpp : 24;
    Correct(0, 0, 1.0f, false);
    Image original(MakeImage(19, 9, bpp));
    Image corrected(CorrectColors(FreeImage_Clone(original.get()), g_settings.adjustment));
    ASSERT_NE(corrected, nullptr);
    EXPECT_EQ(Bpp(corrected.get()), expected_bpp);
    EXPECT_TRUE(SamePixels(original.get(), corrected.get()));
  }
}

TEST_F(ToneTest, SwitchedOffCorrectionLeavesThePictureAlone) {
  Correct(50, 50, 2.0f, true);
  g_settings.adjustment.do_image_color_correction = 0;
  FIBITMAP* image = MakeImage(8, 8, 4);
  FIBITMAP* result = CorrectColors(image, g_settings.adjustment);
  EXPECT_EQ(result, image);
  EXPECT_EQ(Bpp(result), 4);
  FreeImage_Unload(result);
}

TEST_F(ToneTest, CorrectionsMoveEveryChannelTheRightWay) {
  struct Case {
    const char* what;
    int brightness;
    int contrast;
    float gamma;
    bool lighter;  // else darker
  };
  const Case cases[] = {
      {"brightness up", 40, 0, 1.0f, true},       {"brightness down", -40, 0, 1.0f, false},
      {"gamma above 1", 0, 0, 2.2f, true},        {"gamma below 1", 0, 0, 0.45f, false},
      {"brightest setting", 100, 0, 9.99f, true}, {"darkest setting", -100, 0, 0.01f, false},
  };
  for (const Case& c : cases) {
    for (int bpp : {4, 8, 16, 24, 32, 48}) {
      SCOPED_TRACE(testing::Message() << c.what << ", " << bpp << " bits");
      Correct(c.brightness, c.contrast, c.gamma, false);
      Image original(MakeImage(23, 11, bpp));
      Image corrected(CorrectColors(FreeImage_Clone(original.get()), g_settings.adjustment));
      ASSERT_NE(corrected, nullptr);
      EXPECT_FALSE(SamePixels(original.get(), corrected.get())) << "something changed";
      if (c.lighter) {
        EXPECT_TRUE(
            EveryChannel(original.get(), corrected.get(), [](int a, int b) { return b >= a; }));
      } else {
        EXPECT_TRUE(
            EveryChannel(original.get(), corrected.get(), [](int a, int b) { return b <= a; }));
      }
    }
  }
}

TEST_F(ToneTest, ContrastSpreadsTonesAwayFromTheMiddle) {
  Correct(0, 60, 1.0f, false);
  Image original(MakeImage(32, 8, 24));
  Image corrected(CorrectColors(FreeImage_Clone(original.get()), g_settings.adjustment));
  ASSERT_NE(corrected, nullptr);
  EXPECT_TRUE(EveryChannel(original.get(), corrected.get(),
                           [](int a, int b) { return a < 128 ? b <= a : b >= a; }));
  Correct(0, -60, 1.0f, false);
  Image flattened(CorrectColors(FreeImage_Clone(original.get()), g_settings.adjustment));
  EXPECT_TRUE(EveryChannel(original.get(), flattened.get(),
                           [](int a, int b) { return a < 128 ? b >= a : b <= a + 1; }));
}

TEST_F(ToneTest, InversionMirrorsEveryChannelAndTwiceRestores) {
  for (int bpp : {1, 8, 24, 32}) {
    SCOPED_TRACE(testing::Message() << bpp << " bits");
    Correct(0, 0, 1.0f, true);
    Image original(MakeImage(15, 6, bpp));
    FIBITMAP* once = CorrectColors(FreeImage_Clone(original.get()), g_settings.adjustment);
    ASSERT_NE(once, nullptr);
    EXPECT_TRUE(EveryChannel(original.get(), once, [](int a, int b) { return a + b == 255; }));
    Image twice(CorrectColors(once, g_settings.adjustment));
    EXPECT_TRUE(SamePixels(original.get(), twice.get()));
  }
}

TEST_F(ToneTest, GreyscaleGivesEightBitsWithEqualChannels) {
  for (int bpp : {1, 4, 8, 16, 24, 32, 48, 64}) {
    SCOPED_TRACE(testing::Message() << bpp << " bits");
    g_settings.adjustment.do_image_greyscale = 1;
    FIBITMAP* image = nullptr;
    if (bpp == 64) {
      Image rgb(MakeImage(21, 13, 24));
      image = FreeImage_ConvertToRGBA16(rgb.get());
    } else {
      image = MakeImage(21, 13, bpp);
    }
    ASSERT_NE(image, nullptr);
    Image grey(MakeGreyscale(image, g_settings.adjustment));
    ASSERT_NE(grey, nullptr);
    EXPECT_EQ(Bpp(grey.get()), 8);
    EXPECT_EQ(Width(grey.get()), 21);
    bool equal = true;
    for (int y = 0; y < 13; ++y) {
      for (int x = 0; x < 21; ++x) {
        int p = PixelAt(grey.get(), x, y);
        equal &= Channel(p, 0) == Channel(p, 8) && Channel(p, 8) == Channel(p, 16);
      }
    }
    EXPECT_TRUE(equal);
  }
}

TEST_F(ToneTest, GreyscaleKeepsGreyTonesAndOrdersColoursByLightness) {
  g_settings.adjustment.do_image_greyscale = 1;
  Image grey(MakeGreyscale(MakeImage(4, 4, 24, 0x808080), g_settings.adjustment));
  EXPECT_NEAR(Channel(PixelAt(grey.get(), 1, 1), 0), 0x80, 1);
  Image green(MakeGreyscale(MakeImage(4, 4, 24, 0x00FF00), g_settings.adjustment));
  Image blue(MakeGreyscale(MakeImage(4, 4, 24, 0x0000FF), g_settings.adjustment));
  EXPECT_GT(Channel(PixelAt(green.get(), 0, 0), 0), Channel(PixelAt(blue.get(), 0, 0), 0));
}

TEST_F(ToneTest, ThresholdGivesOneBitBlackAndWhite) {
  for (int bpp : kDepths) {
    SCOPED_TRACE(testing::Message() << bpp << " bits");
    g_settings.adjustment.do_image_threshold = 1;
    g_settings.adjustment.image_threshold = 128;
    Image bw(ApplyThreshold(MakeImage(25, 14, bpp), g_settings.adjustment));
    ASSERT_NE(bw, nullptr);
    EXPECT_EQ(Bpp(bw.get()), 1);
    int black = 0, white = 0, other = 0;
    for (int y = 0; y < 14; ++y) {
      for (int x = 0; x < 25; ++x) {
        int p = PixelAt(bw.get(), x, y);
        (p == 0 ? black : p == 0xFFFFFF ? white : other)++;
      }
    }
    EXPECT_EQ(other, 0);
    EXPECT_GT(black, 0) << "the gradient has dark parts";
    EXPECT_GT(white, 0) << "and light ones";
  }
}

TEST_F(ToneTest, ThresholdLevelSplitsAtTheLevelAndIsOneByte) {
  struct Case {
    int level;
    int expected;
  };
  // A flat grey of 128: levels up to 128 make it white, above make it black;
  // the level is handed over as one byte, so 256 acts as 0 and 384 as 128.
  for (Case c : {Case{0, 0xFFFFFF}, Case{127, 0xFFFFFF}, Case{128, 0xFFFFFF}, Case{129, 0},
                 Case{255, 0}, Case{256, 0xFFFFFF}, Case{385, 0}}) {
    SCOPED_TRACE(testing::Message() << "level " << c.level);
    g_settings.adjustment.do_image_threshold = 1;
    g_settings.adjustment.image_threshold = c.level;
    Image bw(ApplyThreshold(MakeImage(6, 6, 24, 0x808080), g_settings.adjustment));
    ASSERT_NE(bw, nullptr);
    EXPECT_EQ(PixelAt(bw.get(), 3, 3), c.expected);
  }
}

TEST_F(ToneTest, GreyscaleThenThresholdInChainOrder) {
  g_settings.adjustment.do_image_greyscale = 1;
  g_settings.adjustment.do_image_threshold = 1;
  g_settings.adjustment.image_threshold = 100;
  FIBITMAP* image = MakeImage(20, 20, 48);
  image = CorrectColors(image, g_settings.adjustment);
  image = MakeGreyscale(image, g_settings.adjustment);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(Bpp(image), 8);
  Image bw(ApplyThreshold(image, g_settings.adjustment));
  ASSERT_NE(bw, nullptr);
  EXPECT_EQ(Bpp(bw.get()), 1);
}

TEST_F(ToneTest, SwitchedOffGreyscaleAndThresholdLeaveThePictureAlone) {
  g_settings.adjustment.image_threshold = 128;
  FIBITMAP* image = MakeImage(8, 8, 32);
  EXPECT_EQ(MakeGreyscale(image, g_settings.adjustment), image);
  EXPECT_EQ(ApplyThreshold(image, g_settings.adjustment), image);
  EXPECT_EQ(Bpp(image), 32);
  FreeImage_Unload(image);
}

// Every step, switched on, hands a null picture on as null.
TEST_F(ToneTest, NullPassesThroughEveryStep) {
  TransformSettings& t = g_settings.transform;
  t.do_image_rotation = 1;
  t.image_rotation = 45;
  t.do_image_resize = 1;
  t.image_width = 10;
  t.image_height = 10;
  t.do_image_flip_horizontal = 1;
  t.do_image_flip_vertical = 1;
  AdjustmentSettings& a = g_settings.adjustment;
  a.do_image_color_correction = 1;
  a.image_brightness = 10;
  a.do_image_greyscale = 1;
  a.do_image_threshold = 1;
  for (int type : {0, 1}) {
    t.image_rotation_type = static_cast<int8_t>(type);
    EXPECT_EQ(RotateImage(nullptr, g_settings.transform), nullptr);
  }
  EXPECT_EQ(ResizeImage(nullptr, 100, 100, g_settings.transform), nullptr);
  EXPECT_EQ(ResizeImage(nullptr, 0, 0, g_settings.transform), nullptr);
  EXPECT_EQ(FlipImage(nullptr, g_settings.transform), nullptr);
  EXPECT_EQ(CorrectColors(nullptr, g_settings.adjustment), nullptr);
  EXPECT_EQ(MakeGreyscale(nullptr, g_settings.adjustment), nullptr);
  EXPECT_EQ(ApplyThreshold(nullptr, g_settings.adjustment), nullptr);
}

}  // namespace
}  // namespace pic2jpg::test
