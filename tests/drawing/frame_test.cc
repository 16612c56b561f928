// The solid frame: band geometry with mitred corners, colours, opacity, and
// what happens to pictures of other depths.
#include "engine/frame.h"

#include <gtest/gtest.h>

#include "drawing_fixture.h"

namespace pic2jpg {
namespace {

using test::ImagePtr;
using test::MakeImage;
using test::PixelAt;

TEST(ParseHexColourAlphaTest, SixDigitsOrTransparentBlack) {
  struct Case {
    const char* text;
    int alpha;
    uint32_t expected;
  };
  const Case cases[] = {
      {"FF8000", 255, 0xFF0080FFu},  // red 0xFF, green 0x80, blue 0x00
      {"ff8000", 255, 0xFF0080FFu},  // either letter case
      {"0000FF", 128, 0x80FF0000u}, {"123456", 0, 0x00563412u},   {"FFF", 255, 0}, {"", 255, 0},
      {"FF00001", 255, 0},          {"GG00FF", 255, 0xFFFF0000u},  // a pair that is not hexadecimal
                                                                   // counts 0
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseHexColourAlpha(c.text, c.alpha), c.expected) << c.text << " alpha " << c.alpha;
  }
}

class FrameTest : public test::DrawingTest {
 protected:
  void Frame(int left, int right, int top, int bottom) {
    FrameSettings& f = g_settings.frame;
    f.do_frame = 1;
    f.solid_left = left;
    f.solid_right = right;
    f.solid_top = top;
    f.solid_bottom = bottom;
    f.solid_left_color = "0000FF";
    f.solid_right_color = "00FF00";
    f.solid_top_color = "FF0000";
    f.solid_bottom_color = "FFFF00";
  }
  ImagePtr Draw(FIBITMAP* image) { return ImagePtr(DrawFrame(image, g_settings.frame)); }
  static constexpr int kWhite = 0xFFFFFF;
  static constexpr int kBlue = 0x0000FF, kGreen = 0x00FF00, kRed = 0xFF0000, kYellow = 0xFFFF00;
};

TEST_F(FrameTest, NullImagePassesThrough) {
  Frame(10, 10, 10, 10);
  EXPECT_EQ(DrawFrame(nullptr, g_settings.frame), nullptr);
}

TEST_F(FrameTest, OffLeavesThePictureAlone) {
  FIBITMAP* image = MakeImage(30, 20, 8);
  ImagePtr result(DrawFrame(image, g_settings.frame));
  EXPECT_EQ(result.get(), image);
  EXPECT_EQ(FreeImage_GetBPP(result.get()), 8u);
}

// Any depth comes out in 24 bits with the same colours when no band has width.
TEST_F(FrameTest, ZeroWidthsOnlyConvertTo24Bits) {
  for (int depth : {1, 8, 16, 24, 32, 48}) {
    for (int8_t mode : {int8_t{1}, int8_t{2}}) {
      Frame(0, 0, 0, 0);
      g_settings.frame.do_frame = mode;
      ImagePtr original(MakeImage(33, 21, depth));
      ImagePtr result = Draw(FreeImage_Clone(original.get()));
      ASSERT_NE(result, nullptr) << depth;
      EXPECT_EQ(FreeImage_GetBPP(result.get()), 24u) << depth;
      EXPECT_EQ(FreeImage_GetWidth(result.get()), 33u);
      EXPECT_EQ(FreeImage_GetHeight(result.get()), 21u);
      for (auto [x, y] : {std::pair{0, 0}, {32, 0}, {0, 20}, {32, 20}, {16, 10}}) {
        EXPECT_EQ(PixelAt(result.get(), x, y), PixelAt(original.get(), x, y))
            << "depth " << depth << " mode " << int{mode} << " at " << x << "," << y;
      }
    }
  }
}

// Pictures that are not plain bitmaps (16-bit greyscale, floating point)
// are scaled to 8 bits and then framed, rather than lost.
TEST_F(FrameTest, NonBitmapPicturesAreFramedToo) {
  for (FREE_IMAGE_TYPE type : {FIT_UINT16, FIT_FLOAT}) {
    Frame(3, 3, 3, 3);
    FIBITMAP* image = FreeImage_AllocateT(type, 20, 10, type == FIT_UINT16 ? 16 : 32);
    ImagePtr result = Draw(image);
    ASSERT_NE(result, nullptr) << type;
    EXPECT_EQ(FreeImage_GetBPP(result.get()), 24u);
    EXPECT_EQ(PixelAt(result.get(), 1, 5), kBlue);
  }
}

TEST_F(FrameTest, ModeOtherThanOneDrawsNothing) {
  Frame(10, 10, 10, 10);
  g_settings.frame.do_frame = 2;
  ImagePtr result = Draw(MakeImage(40, 30, 32, kWhite));
  EXPECT_EQ(FreeImage_GetBPP(result.get()), 24u);
  EXPECT_EQ(PixelAt(result.get(), 0, 0), kWhite);
}

TEST_F(FrameTest, SingleLeftBandHasSquareEnds) {
  Frame(10, 0, 0, 0);
  ImagePtr result = Draw(MakeImage(50, 40, 24, kWhite));
  for (int y : {0, 1, 20, 38, 39}) {
    for (int x : {0, 5, 9}) EXPECT_EQ(PixelAt(result.get(), x, y), kBlue) << x << "," << y;
    EXPECT_EQ(PixelAt(result.get(), 10, y), kWhite) << y;
  }
  EXPECT_EQ(PixelAt(result.get(), 49, 0), kWhite);
}

// Each corner is split along the line from the picture's corner to the inner
// corner of the frame; with unequal widths that line is not at 45 degrees.
TEST_F(FrameTest, CornersAreMitredAlongTheirDiagonals) {
  Frame(30, 20, 10, 20);
  ImagePtr result = Draw(MakeImage(100, 80, 24, kWhite));
  struct Probe {
    int x, y, colour;
  };
  const Probe probes[] = {
      // top left: diagonal from (0,0) to (30,10), y = x / 3
      {20, 2, kRed},
      {20, 8, kBlue},
      {28, 1, kRed},
      {2, 8, kBlue},
      // top right: diagonal from (100,0) to (80,10)
      {85, 2, kRed},
      {97, 8, kGreen},
      // bottom right: diagonal from (100,80) to (80,60)
      {85, 77, kYellow},
      {97, 65, kGreen},
      // bottom left: diagonal from (0,80) to (30,60)
      {20, 77, kYellow},
      {5, 62, kBlue},
      // plain bands and the inside
      {50, 5, kRed},
      {95, 40, kGreen},
      {50, 70, kYellow},
      {10, 40, kBlue},
      {50, 40, kWhite},
      {30, 10, kWhite},
      {79, 59, kWhite},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(PixelAt(result.get(), p.x, p.y), p.colour) << "at " << p.x << "," << p.y;
  }
}

// The seam along a diagonal is a mix of the two bands over the corner square
// (drawn in the top or bottom colour), never the picture beneath.
TEST_F(FrameTest, DiagonalSeamDoesNotLetThePictureThrough) {
  Frame(20, 20, 20, 20);
  ImagePtr result = Draw(MakeImage(60, 60, 24, kWhite));
  for (int i = 0; i < 20; ++i) {
    int c = PixelAt(result.get(), i, i);
    EXPECT_EQ(test::Green(c), 0) << i;  // neither white nor any green
    EXPECT_EQ(test::Red(c) + test::Blue(c) >= 250, true) << i;
  }
}

TEST_F(FrameTest, OpacityBlendsTheFrameOverThePicture) {
  struct Case {
    int opacity;
    int expected;  // a left-band pixel over white
  };
  const Case cases[] = {{255, kBlue}, {128, 0x7F7FFF}, {0, kWhite}, {300, kBlue}, {-5, kWhite}};
  for (const Case& c : cases) {
    Frame(10, 0, 0, 0);
    g_settings.frame.solid_opacity = c.opacity;
    ImagePtr result = Draw(MakeImage(40, 30, 24, kWhite));
    EXPECT_TRUE(test::Near(PixelAt(result.get(), 4, 15), c.expected))
        << "opacity " << c.opacity << " gave " << std::hex << PixelAt(result.get(), 4, 15);
    EXPECT_EQ(PixelAt(result.get(), 20, 15), kWhite);
  }
}

TEST_F(FrameTest, MalformedColourMakesItsBandTransparent) {
  Frame(10, 10, 10, 10);
  g_settings.frame.solid_left_color = "FFF";
  ImagePtr result = Draw(MakeImage(60, 40, 24, kWhite));
  EXPECT_EQ(PixelAt(result.get(), 4, 20), kWhite);
  EXPECT_EQ(PixelAt(result.get(), 55, 20), kGreen);
  EXPECT_EQ(PixelAt(result.get(), 30, 4), kRed);
}

TEST_F(FrameTest, AlphaOfA32BitPictureIsDropped) {
  Frame(5, 5, 5, 5);
  FIBITMAP* image = MakeImage(30, 30, 32, 0x204060);
  for (unsigned y = 0; y < 30; ++y) {  // fully transparent pixels keep their colour
    BYTE* row = FreeImage_GetScanLine(image, static_cast<int>(y));
    for (unsigned x = 0; x < 30; ++x) row[x * 4 + FI_RGBA_ALPHA] = 0;
  }
  ImagePtr result = Draw(image);
  EXPECT_EQ(FreeImage_GetBPP(result.get()), 24u);
  EXPECT_EQ(PixelAt(result.get(), 15, 15), 0x204060);
  EXPECT_EQ(PixelAt(result.get(), 2, 15), kBlue);
}

TEST_F(FrameTest, PalettePictureIsFramedIn24Bits) {
  Frame(4, 4, 4, 4);
  ImagePtr result = Draw(MakeImage(30, 30, 8, 0x808080));
  EXPECT_EQ(FreeImage_GetBPP(result.get()), 24u);
  EXPECT_EQ(PixelAt(result.get(), 15, 1), kRed);
  EXPECT_TRUE(test::Near(PixelAt(result.get(), 15, 15), 0x808080, 3));
}

// Bands wider than the picture overlap without harm; the size never changes.
TEST_F(FrameTest, OversizedBandsCoverThePicture) {
  Frame(100, 100, 100, 100);
  ImagePtr result = Draw(MakeImage(50, 40, 24, kWhite));
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(result.get()), 50u);
  EXPECT_EQ(FreeImage_GetHeight(result.get()), 40u);
  EXPECT_EQ(test::CountWhere(result.get(), [](int c) { return c == kWhite; }), 0);
}

// The size the caller passes is a note of the picture's size; a stale one
// must not lose the picture (the composite needs equal sizes).
TEST_F(FrameTest, StaleSizeArgumentsStillFrameThePicture) {
  Frame(5, 5, 5, 5);
  ImagePtr result(DrawFrame(MakeImage(40, 30, 24, kWhite), g_settings.frame));
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(result.get()), 40u);
  EXPECT_EQ(PixelAt(result.get(), 2, 15), kBlue);
  EXPECT_EQ(PixelAt(result.get(), 20, 15), kWhite);
}

}  // namespace
}  // namespace pic2jpg
