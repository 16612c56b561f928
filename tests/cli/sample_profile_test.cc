// The profile shipped in samples/ works as its comments say.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using Lines = std::vector<std::string>;

std::string SampleProfile() { return test::DataFile("../../samples/example-profile.ini"); }

TEST(SampleProfileTest, ConvertsWithTheSettingsItNames) {
  test::TempDir dir;
  const std::string input = dir.File("photo.pic");
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), input));
  ASSERT_TRUE(fs::Exists(SampleProfile()));

  test::RunResult run =
      test::RunPic2jpg({"-q", "-d", "-i", input, "-o", dir.path(), "--profile=" + SampleProfile()});
  EXPECT_EQ(run.exit_status, 0) << run.output;
  const Lines lines = run.Lines();
  for (const char* line :
       {"JPG Quality: 85", "JPG Chroma Subsampling: MEDIUM", "JPG Save As: PROGRESSIVE",
        "Width: 100 PIXELS", "Height: 100 PIXELS", "Keep Aspect Ratio: 1",
        "Image Resize Type: LARGEIMAGES", "Image Resize Algorithm: LANCZOS", "Frame: SOLID",
        "Frame left color: FFFFFF", "Watermark: NONE", "Filename Mask: %filename%_small.%ext%"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  }
  // The 124 x 124 picture is fitted into 100 x 100, framed in white.
  FIBITMAP* image = test::LoadImage(dir.File("photo_small.jpg"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(image), 100u);
  EXPECT_EQ(FreeImage_GetHeight(image), 100u);
  int corner = test::PixelAt(image, 0, 0);
  EXPECT_GE(corner & 0xFF, 0xE0);
  EXPECT_GE((corner >> 8) & 0xFF, 0xE0);
  EXPECT_GE((corner >> 16) & 0xFF, 0xE0);
  FreeImage_Unload(image);
}

TEST(SampleProfileTest, OptionsAfterTheProfileWin) {
  test::TempDir dir;
  const std::string input = dir.File("photo.pic");
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), input));
  test::RunResult run =
      test::RunPic2jpg({"-q", "-d", "--jpg-quality=20", "-i", input, "-o", dir.path(),
                        "--profile=" + SampleProfile(), "--filename-mask=%filename%.%ext%",
                        "--width=50", "--height=50"});
  EXPECT_EQ(run.exit_status, 0);
  const Lines lines = run.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "JPG Quality: 85"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Width: 50 PIXELS"), lines.end());
  FIBITMAP* image = test::LoadImage(dir.File("photo.jpg"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(image), 50u);
  FreeImage_Unload(image);
}

}  // namespace
}  // namespace pic2jpg
