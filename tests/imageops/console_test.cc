// The image options of the console mode, end to end: the built pic2jpg
// converts a real PICT picture, and the JPEG it writes is measured against
// the reference decode transformed the same way.
#include <string>
#include <vector>

#include "engine/geometry.h"
#include "imageops/imageops_fixture.h"

namespace pic2jpg::test {
namespace {

// The two pictures used: a 256 x 64 colour chart and a 124 x 124 flag whose
// corners differ (red bottom left, magenta top left, cyan and blue top right).
constexpr const char* kChart = "TRU256.PCT";
constexpr const char* kFlag = "FLAG_B24.PCT";

// A copy of `image` changed in place by one of the codec library's calls.
FIBITMAP* Changed(FIBITMAP* image, BOOL (*change)(FIBITMAP*)) {
  FIBITMAP* copy = FreeImage_Clone(image);
  change(copy);
  return copy;
}

TEST(ConsoleImageOptionsTest, TransformsMatchTheReferenceTransformedAlike) {
  struct Case {
    const char* picture;
    std::vector<std::string> options;
    int width, height;
    // The reference, transformed the way the options should have done it.
    FIBITMAP* (*expected)(FIBITMAP* reference);
  };
  const Case cases[] = {
      {kChart, {"--rotation=90"}, 64, 256, [](FIBITMAP* r) { return FreeImage_Rotate(r, 90); }},
      {kChart,
       {"--rotation=270", "--flip-vertical"},
       64,
       256,
       [](FIBITMAP* r) {
         FIBITMAP* t = FreeImage_Rotate(r, 270);
         FreeImage_FlipVertical(t);
         return t;
       }},
      {kFlag,
       {"--flip-horizontal"},
       124,
       124,
       [](FIBITMAP* r) { return Changed(r, FreeImage_FlipHorizontal); }},
      {kChart,
       {"--width=128", "--height=1", "--keep-aspect-ratio"},
       128,
       32,
       [](FIBITMAP* r) { return FreeImage_Rescale(r, 128, 32, FILTER_BICUBIC); }},
      {kChart,
       {"--width=50", "--height=200", "--width-unit=PERCENT", "--height-unit=PERCENT",
        "--resize-algorithm=LANCZOS"},
       128,
       128,
       [](FIBITMAP* r) { return FreeImage_Rescale(r, 128, 128, FILTER_LANCZOS3); }},
      {kFlag, {"--invert"}, 124, 124, [](FIBITMAP* r) { return Changed(r, FreeImage_Invert); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(JoinedArgs(c.options));
    PictureConversion conversion = ConvertDataPicture(c.picture, c.options);
    ASSERT_NE(conversion.output, nullptr) << conversion.run.output << conversion.run.error;
    EXPECT_EQ(Width(conversion.output.get()), c.width);
    EXPECT_EQ(Height(conversion.output.get()), c.height);
    Image reference = ReferenceDecode(c.picture);
    Image expected(c.expected(reference.get()));
    EXPECT_GT(Psnr(conversion.output.get(), expected.get()), 25.0);
  }
}

// Turning about the centre keeps the size; the flag's corners move a quarter
// turn counter-clockwise (the centre lies half a pixel off the middle pixel,
// so the picture may shift by one pixel: sample well inside the fields).
TEST(ConsoleImageOptionsTest, CentreRotationKeepsTheSizeAndTurnsTheCorners) {
  PictureConversion conversion =
      ConvertDataPicture(kFlag, {"--rotation=90", "--rotation-type=ADVANCED"});
  ASSERT_NE(conversion.output, nullptr) << conversion.run.output;
  FIBITMAP* image = conversion.output.get();
  EXPECT_EQ(Width(image), 124);
  EXPECT_EQ(Height(image), 124);
  struct Sample {
    int x, y;
    int colour;
  };
  for (Sample s : {Sample{3, 3, 0x0000FF}, Sample{15, 4, 0x00FFFF}, Sample{3, 110, 0xFF00FF},
                   Sample{90, 80, 0xFF0000}, Sample{35, 90, 0xFFFF00}}) {
    int p = PixelAt(image, s.x, s.y);
    for (int shift : {0, 8, 16}) {
      EXPECT_NEAR(Channel(p, shift), Channel(s.colour, shift), 40) << s.x << "," << s.y;
    }
  }
}

TEST(ConsoleImageOptionsTest, CanvasRotationPaintsTheCornersInTheBackColour) {
  struct Case {
    std::string back;
    int expected;
  };
  for (Case c : {Case{"FF8000", 0xFF8000}, Case{"F80", 0x000000}}) {
    SCOPED_TRACE(c.back);
    PictureConversion conversion =
        ConvertDataPicture(kFlag, {"--rotation=45", "--rotation-back-color=" + c.back});
    ASSERT_NE(conversion.output, nullptr) << conversion.run.output;
    FIBITMAP* image = conversion.output.get();
    // 124 * (cos 45 + sin 45) = 175.4
    EXPECT_NEAR(Width(image), 175, 2);
    EXPECT_NEAR(Height(image), 175, 2);
    for (auto [x, y] : {std::pair{2, 2}, std::pair{Width(image) - 3, Height(image) - 3}}) {
      int p = PixelAt(image, x, y);
      for (int shift : {0, 8, 16}) {
        EXPECT_NEAR(Channel(p, shift), Channel(c.expected, shift), 12) << x << "," << y;
      }
    }
  }
}

TEST(ConsoleImageOptionsTest, GreyscaleAndThresholdGiveBlackAndWhite) {
  PictureConversion conversion = ConvertDataPicture(kFlag, {"--greyscale", "--threshold=128"});
  ASSERT_NE(conversion.output, nullptr) << conversion.run.output;
  FIBITMAP* image = conversion.output.get();
  EXPECT_EQ(Width(image), 124);
  int dark = 0, light = 0, between = 0, coloured = 0;
  for (int y = 0; y < Height(image); ++y) {
    for (int x = 0; x < Width(image); ++x) {
      int p = PixelAt(image, x, y);
      int r = Channel(p, 16), g = Channel(p, 8), b = Channel(p, 0);
      if (std::abs(r - g) > 2 || std::abs(g - b) > 2) ++coloured;
      (r < 40 ? dark : r > 215 ? light : between)++;
    }
  }
  EXPECT_EQ(coloured, 0);
  EXPECT_GT(dark, 1000);
  EXPECT_GT(light, 1000);
  // JPEG softens the edges between black and white a little.
  EXPECT_LT(between, Width(image) * Height(image) / 10);
  // The yellow field (light) and the red field (darker than 128) split.
  EXPECT_GT(Channel(PixelAt(image, 30, 35), 16), 215);
  EXPECT_LT(Channel(PixelAt(image, 30, 90), 16), 40);
}

// A size no memory can hold makes the resize fail: the file is reported as
// not converted, nothing is written, and the program ends without a crash.
TEST(ConsoleImageOptionsTest, AResizeThatCannotBeDoneFailsCleanly) {
  PictureConversion conversion =
      ConvertDataPicture(kChart, {"-d", "--width=2000000000", "--height=2000000000"});
  EXPECT_GE(conversion.run.exit_status, 0);
  EXPECT_LT(conversion.run.exit_status, 128) << "ended by a signal";
  EXPECT_EQ(conversion.output, nullptr);
  bool not_ok = false;
  for (const std::string& line : conversion.run.Lines()) {
    not_ok |= line.rfind("Not OK", 0) == 0;
  }
  EXPECT_TRUE(not_ok) << conversion.run.output;
}

}  // namespace
}  // namespace pic2jpg::test
