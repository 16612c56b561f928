// Rotation and flips on small pictures of every depth the engine meets.
#include <cmath>
#include <string>

#include "engine/geometry.h"
#include "imageops/imageops_fixture.h"
#include "support/text_cases.h"

namespace pic2jpg::test {
namespace {

class OrientationTest : public ImageOpsTest {
 protected:
  void Rotate(int angle, int type = 0, const std::string& back = "000000") {
    g_settings.transform.do_image_rotation = 1;
    g_settings.transform.image_rotation = angle;
    g_settings.transform.image_rotation_type = static_cast<int8_t>(type);
    g_settings.transform.image_rotation_back_color = back;
  }
};

TEST_F(OrientationTest, FlippingTwiceGivesTheOriginalAtEveryDepth) {
  struct Case {
    bool horizontal;
    bool vertical;
  };
  for (int bpp : kDepths) {
    for (Case c : {Case{true, false}, Case{false, true}, Case{true, true}}) {
      SCOPED_TRACE(testing::Message() << bpp << " bits, h " << c.horizontal << " v " << c.vertical);
      g_settings.transform.do_image_flip_horizontal = c.horizontal;
      g_settings.transform.do_image_flip_vertical = c.vertical;
      Image original(MakeImage(13, 7, bpp));
      ASSERT_NE(original, nullptr);
      FIBITMAP* work = FreeImage_Clone(original.get());
      FIBITMAP* once = FlipImage(work, g_settings.transform);
      ASSERT_EQ(once, work) << "flips work in place";
      Image twice(FlipImage(once, g_settings.transform));
      EXPECT_EQ(Bpp(twice.get()), bpp);
      EXPECT_TRUE(SamePixels(original.get(), twice.get()));
    }
  }
}

TEST_F(OrientationTest, FlipsMirrorTheRightAxis) {
  struct Case {
    bool horizontal;
    bool vertical;
    int from_x;  // where the new top-left pixel came from
    int from_y;
  };
  const int w = 9, h = 5;
  for (Case c : {Case{true, false, w - 1, 0}, Case{false, true, 0, h - 1},
                 Case{true, true, w - 1, h - 1}, Case{false, false, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << "h " << c.horizontal << " v " << c.vertical);
    g_settings.transform.do_image_flip_horizontal = c.horizontal;
    g_settings.transform.do_image_flip_vertical = c.vertical;
    Image original(MakeImage(w, h, 24));
    Image flipped(FlipImage(FreeImage_Clone(original.get()), g_settings.transform));
    EXPECT_EQ(PixelAt(flipped.get(), 0, 0), PixelAt(original.get(), c.from_x, c.from_y));
    EXPECT_EQ(PixelAt(flipped.get(), w - 1 - c.from_x, h - 1 - c.from_y),
              PixelAt(original.get(), w - 1, h - 1));
  }
}

TEST_F(OrientationTest, QuarterTurnSwapsTheSidesAndSetsTheDepth) {
  for (int bpp : kDepths) {
    // Palette, 16-bit and 48-bit pictures are rotated as 24-bit ones; 32-bit
    // pictures keep their alpha channel.
    const int expected_bpp = bpp == 32 ? 32 : 24;
    for (int angle : {90, 270}) {
      SCOPED_TRACE(testing::Message() << bpp << " bits, " << angle << " degrees");
      Rotate(angle);
      Image rotated(RotateImage(MakeImage(20, 11, bpp), g_settings.transform));
      ASSERT_NE(rotated, nullptr);
      EXPECT_EQ(Width(rotated.get()), 11);
      EXPECT_EQ(Height(rotated.get()), 20);
      EXPECT_EQ(Bpp(rotated.get()), expected_bpp);
    }
  }
}

TEST_F(OrientationTest, TurningForthAndBackRestoresThePicture) {
  for (int bpp : {8, 24, 32}) {
    for (int angle : {90, 180, 270}) {
      SCOPED_TRACE(testing::Message() << bpp << " bits, " << angle << " degrees");
      Image original(MakeImage(17, 10, bpp));
      Rotate(angle);
      FIBITMAP* there = RotateImage(FreeImage_Clone(original.get()), g_settings.transform);
      Rotate(360 - angle);
      Image back(RotateImage(there, g_settings.transform));
      EXPECT_TRUE(SamePixels(original.get(), back.get()));
    }
  }
}

TEST_F(OrientationTest, QuarterTurnIsCounterClockwise) {
  Image original(MakeImage(6, 4, 24));
  Rotate(90);
  Image rotated(RotateImage(FreeImage_Clone(original.get()), g_settings.transform));
  // The top-right pixel moves to the top-left corner.
  EXPECT_EQ(PixelAt(rotated.get(), 0, 0), PixelAt(original.get(), 5, 0));
  EXPECT_EQ(PixelAt(rotated.get(), 0, 5), PixelAt(original.get(), 0, 0));
}

TEST_F(OrientationTest, AnglesOutsideOneTo359AndSwitchedOffRotationChangeNothing) {
  struct Case {
    int enabled;
    int angle;
    int type;
  };
  for (Case c : {Case{1, 0, 0}, Case{1, 360, 0}, Case{1, -90, 0}, Case{1, 450, 0}, Case{0, 90, 0},
                 Case{1, 0, 1}, Case{1, 90, 2}, Case{1, 90, -1}}) {
    SCOPED_TRACE(testing::Message()
                 << "on " << c.enabled << " angle " << c.angle << " type " << c.type);
    Rotate(c.angle, c.type);
    g_settings.transform.do_image_rotation = static_cast<int8_t>(c.enabled);
    FIBITMAP* image = MakeImage(20, 11, 8);
    FIBITMAP* result = RotateImage(image, g_settings.transform);
    EXPECT_EQ(result, image) << "the same picture, no depth change";
    EXPECT_EQ(Bpp(result), 8);
    FreeImage_Unload(result);
  }
}

TEST_F(OrientationTest, CanvasRotationFillsTheCornersWithTheBackColour) {
  struct Case {
    std::string back;
    int expected;  // 0xRRGGBB
  };
  for (int bpp : {8, 24, 32}) {
    for (Case c : {Case{"FF8000", 0xFF8000}, Case{"ff8000", 0xFF8000}, Case{"0000FF", 0x0000FF},
                   Case{"F80", 0x000000}, Case{"", 0x000000}, Case{"FF80000", 0x000000}}) {
      SCOPED_TRACE(testing::Message() << bpp << " bits, back \"" << c.back << "\"");
      Rotate(45, 0, c.back);
      FIBITMAP* image = MakeImage(40, 30, bpp, 0x336699);
      int picture = PixelAt(image, 0, 0);  // palette pictures hold it as grey
      Image rotated(RotateImage(image, g_settings.transform));
      ASSERT_NE(rotated, nullptr);
      int w = Width(rotated.get()), h = Height(rotated.get());
      EXPECT_EQ(PixelAt(rotated.get(), 0, 0), c.expected);
      EXPECT_EQ(PixelAt(rotated.get(), w - 1, h - 1), c.expected);
      EXPECT_EQ(PixelAt(rotated.get(), w / 2, h / 2), picture) << "the picture itself stays";
    }
  }
}

TEST_F(OrientationTest, CanvasRotationEnclosesTheWholeTurnedPicture) {
  for (int angle : {1, 30, 45, 60, 100, 135, 200, 315, 359}) {
    SCOPED_TRACE(testing::Message() << angle << " degrees");
    Rotate(angle);
    const int w = 40, h = 30;
    Image rotated(RotateImage(MakeImage(w, h, 24), g_settings.transform));
    ASSERT_NE(rotated, nullptr);
    double radians = angle * M_PI / 180.0;
    double bound_w = std::abs(w * std::cos(radians)) + std::abs(h * std::sin(radians));
    double bound_h = std::abs(w * std::sin(radians)) + std::abs(h * std::cos(radians));
    EXPECT_NEAR(Width(rotated.get()), bound_w, 2.0);
    EXPECT_NEAR(Height(rotated.get()), bound_h, 2.0);
  }
}

// The quarter turn that large angles need is taken before the shears so that
// the given picture can be released early; the pixels must come out as the
// library's own one-call rotation gives them (up to its rounding).
TEST_F(OrientationTest, CanvasRotationMatchesTheLibrarysOwnRotation) {
  Image original(MakeImage(37, 23, 24));
  for (int angle : {1,   30,  44,  45,  46,  89,  91,  120, 135, 136, 179,
                    180, 181, 210, 225, 226, 269, 271, 300, 315, 316, 359}) {
    SCOPED_TRACE(testing::Message() << angle << " degrees");
    Rotate(angle, 0, "FF8000");
    RGBQUAD back{0x00, 0x80, 0xFF, 0};
    Image direct(FreeImage_Rotate(original.get(), angle, &back));
    Image ours(RotateImage(FreeImage_Clone(original.get()), g_settings.transform));
    ASSERT_NE(ours, nullptr);
    int diff = MaxChannelDiff(direct.get(), ours.get());
    EXPECT_GE(diff, 0) << "sizes differ";
    EXPECT_LE(diff, 2);
  }
}

TEST_F(OrientationTest, CentreRotationKeepsSizeAndPicture) {
  struct Case {
    int bpp;
    int expected_bpp;
  };
  for (Case c : {Case{4, 24}, Case{8, 24}, Case{24, 24}, Case{32, 32}, Case{48, 24}}) {
    for (int angle : {30, 45, 90, 200}) {
      SCOPED_TRACE(testing::Message() << c.bpp << " bits, " << angle << " degrees");
      Rotate(angle, 1);
      // One colour everywhere: turned about its centre (uncovered parts are
      // mirrored in) it stays that colour.
      Image rotated(RotateImage(MakeImage(31, 21, c.bpp, 0x4080C0), g_settings.transform));
      ASSERT_NE(rotated, nullptr);
      EXPECT_EQ(Width(rotated.get()), 31);
      EXPECT_EQ(Height(rotated.get()), 21);
      EXPECT_EQ(Bpp(rotated.get()), c.expected_bpp);
      Image plain(MakeImage(31, 21, c.bpp, 0x4080C0));
      EXPECT_LE(MaxChannelDiff(plain.get(), rotated.get()), 2);
    }
  }
}

TEST_F(OrientationTest, CentreRotationTurnsAboutTheCentre) {
  // A bright dot right of the centre of a dark square ends straight above or
  // below the centre after a quarter turn, at the same distance.
  const int side = 41;
  const double centre = side / 2.0;
  for (int angle : {90, 270}) {
    SCOPED_TRACE(testing::Message() << angle << " degrees");
    Image square(MakeImage(side, side, 24, 0x000000));
    RGBQUAD white{255, 255, 255, 0};
    FreeImage_SetPixelColor(square.get(), 30, 20, &white);  // 10 right of the centre
    Rotate(angle, 1);
    Image rotated(RotateImage(FreeImage_Clone(square.get()), g_settings.transform));
    ASSERT_NE(rotated, nullptr);
    int best = -1, best_x = 0, best_y = 0;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        int red = Channel(PixelAt(rotated.get(), x, y), 16);
        if (red > best) best = red, best_x = x, best_y = y;
      }
    }
    EXPECT_GT(best, 60);
    EXPECT_NEAR(best_x + 0.5, centre, 1.5);
    EXPECT_NEAR(std::abs(best_y + 0.5 - centre), 10.0, 1.0);
  }
}

TEST(ParseHexColourTest, ReadsSixDigitsAsRedGreenBlue) {
  const TextCase<uint32_t> cases[] = {
      {"FF8000", 0x0080FFu},
      {"ff8000", 0x0080FFu},
      {"Ff8000", 0x0080FFu},
      {"000000", 0u},
      {"FFFFFF", 0xFFFFFFu},
      {"0000FF", 0xFF0000u},
      {"00FF00", 0x00FF00u},
      {"123456", 0x563412u},
      // wrong lengths give black
      {"F80", 0u},
      {"", 0u},
      {"FF80000", 0u},
      {"#FF8000", 0u},
      // a pair that is not two hexadecimal digits counts 0
      {"GG8000", 0x008000u},
      {"1G0000", 0u},
      {"0G80FF", 0xFF8000u},
  };
  ExpectEachText(ParseHexColour, cases);
}

}  // namespace
}  // namespace pic2jpg::test
