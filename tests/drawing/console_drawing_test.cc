// Frames and watermarks through the built pic2jpg: options in, JPEG out,
// checked against the reference decode of the same PICT picture. JPEG
// colours are compared with a tolerance.
#include <string>
#include <vector>

#include "drawing_fixture.h"

namespace pic2jpg::test {
namespace {

// A 256 x 64 colour chart.
constexpr const char* kChart = "TRU256.PCT";
constexpr int kWidth = 256, kHeight = 64;
constexpr int kJpegTolerance = 40;

PictureConversion Convert(const std::vector<std::string>& options) {
  return ConvertDataPicture(kChart, options);
}

TEST(ConsoleDrawingTest, FramesAndMarksLandWhereTheOptionsSay) {
  TempDir marks;
  const std::string red_mark = marks.File("red.png");
  ASSERT_TRUE(WriteSolidMark(red_mark, 12, 12, 0xFFFF0000u));
  struct Probe {
    int x, y;
    int colour;  // -1: as in the reference decode
  };
  struct Case {
    std::vector<std::string> options;
    std::vector<Probe> probes;
  };
  const Case cases[] = {
      {{"--fr-solid-left=16", "--fr-solid-right=16", "--fr-solid-top=8", "--fr-solid-bottom=8",
        "--fr-solid-left-color=0000FF", "--fr-solid-right-color=0000FF",
        "--fr-solid-top-color=0000FF", "--fr-solid-bottom-color=0000FF"},
       {{4, 32, 0x0000FF},
        {251, 32, 0x0000FF},
        {128, 3, 0x0000FF},
        {128, 60, 0x0000FF},
        {128, 32, -1}}},
      {{"--wm-text=MARK", "--wm-text-position=TOPLEFT", "--wm-text-x-offset=0",
        "--wm-text-y-offset=0", "--wm-back-color=00FF00", "--wm-back-opacity=255",
        "--wm-text-padding=6", "--wm-font=Verdana"},
       {{2, 2, 0x00FF00}, {200, 50, -1}}},
      {{"--fr-solid-left=20", "--fr-solid-top=20", "--fr-solid-left-color=FFFFFF",
        "--fr-solid-top-color=FFFFFF", "--wm-text=MARK", "--wm-text-boundary=FRAME",
        "--wm-text-position=TOPLEFT", "--wm-text-x-offset=0", "--wm-text-y-offset=0",
        "--wm-back-color=00FF00", "--wm-back-opacity=255", "--wm-text-padding=6"},
       {{10, 40, 0xFFFFFF}, {24, 24, 0x00FF00}, {200, 50, -1}}},
      {{"--wm-image=" + red_mark, "--wm-image-position=BOTTOMRIGHT"},
       {{kWidth - 16, kHeight - 16, 0xFF0000}, {100, 20, -1}}},
      {{"--wm-image=" + red_mark, "--wm-image-position=TOPRIGHT", "--wm-image-greyscale"},
       {{kWidth - 16, 16, 0x4C4C4C}}},
  };
  ImagePtr reference = ReferenceDecode(kChart);
  ASSERT_NE(reference, nullptr);
  for (const Case& c : cases) {
    PictureConversion conversion = Convert(c.options);
    ASSERT_TRUE(conversion.Complete()) << JoinedArgs(c.options) << "\n" << conversion.run.output;
    ASSERT_NE(conversion.output, nullptr) << JoinedArgs(c.options);
    EXPECT_EQ(FreeImage_GetWidth(conversion.output.get()), unsigned{kWidth});
    EXPECT_EQ(FreeImage_GetHeight(conversion.output.get()), unsigned{kHeight});
    for (const Probe& p : c.probes) {
      int expected = p.colour >= 0 ? p.colour : PixelAt(reference.get(), p.x, p.y);
      int got = PixelAt(conversion.output.get(), p.x, p.y);
      EXPECT_TRUE(Near(got, expected, kJpegTolerance))
          << JoinedArgs(c.options) << "at " << p.x << "," << p.y << std::hex << ": " << got
          << " expected " << expected;
    }
  }
}

// The three fonts of the default list work out of the box; a family that
// nothing provides, or a size below 1, stops the run before anything is
// written.
TEST(ConsoleDrawingTest, WatermarkFontIsCheckedBeforeTheRun) {
  struct Case {
    std::vector<std::string> options;
    bool ok;
  };
  const Case cases[] = {
      {{"--wm-text=Hello", "--wm-font=Arial"}, true},
      {{"--wm-text=Hello", "--wm-font=Tahoma", "--wm-font-style=BOLDITALIC"}, true},
      {{"--wm-text=Hello", "--wm-font=Verdana", "--wm-font-effect=UNDERLINE"}, true},
      {{"--wm-text=Hello", "--wm-font=No Such Family 4711"}, false},
      {{"--wm-text=Hello", "--wm-font-size=0"}, false},
  };
  for (const Case& c : cases) {
    PictureConversion conversion = Convert(c.options);
    EXPECT_EQ(conversion.Complete(), c.ok) << JoinedArgs(c.options) << "\n"
                                           << conversion.run.output;
    EXPECT_EQ(conversion.output != nullptr, c.ok) << JoinedArgs(c.options);
    bool refused = conversion.run.output.find("Error: Invalid watermark font") != std::string::npos;
    EXPECT_EQ(refused, !c.ok) << JoinedArgs(c.options) << "\n" << conversion.run.output;
  }
}

TEST(ConsoleDrawingTest, MissingWatermarkImageStopsTheRun) {
  TempDir marks;
  PictureConversion conversion = Convert({"--wm-image=" + marks.File("missing.png")});
  EXPECT_NE(conversion.run.output.find("Error: Invalid watermark image"), std::string::npos)
      << conversion.run.output;
  EXPECT_EQ(conversion.output, nullptr);
}

// Everything at once, with a turned mark that does not fit: the picture
// keeps its size.
TEST(ConsoleDrawingTest, FrameWithRotatedOversizedText) {
  PictureConversion conversion = Convert(
      {"--fr-solid-left=10", "--fr-solid-right=10", "--fr-solid-top=10", "--fr-solid-bottom=10",
       "--fr-solid-opacity=128", "--wm-text=A rather long watermark%eol%on two lines",
       "--wm-font-size=30", "--wm-text-rotation=30", "--wm-text-antialiasing",
       "--wm-text-boundary=FRAME", "--wm-text-position=MIDDLECENTER", "--wm-back-opacity=128"});
  ASSERT_TRUE(conversion.Complete()) << conversion.run.output;
  ASSERT_NE(conversion.output, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(conversion.output.get()), unsigned{kWidth});
  EXPECT_EQ(FreeImage_GetHeight(conversion.output.get()), unsigned{kHeight});
}

}  // namespace
}  // namespace pic2jpg::test
