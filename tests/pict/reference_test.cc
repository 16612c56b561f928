// Real-world pictures through the built pict2tga, measured against reference
// decodes: the Targa must load with the codec library at the reference's
// size, and its PSNR must reach the case's floor.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace pic2jpg::test {
namespace {

struct ReferenceCase {
  const char* file;
  const char* kind;
  double min_psnr;  // dB
};

// Pictures holding QuickDraw text get a lower floor: glyphs depend on fonts.
const ReferenceCase kCases[] = {
    {"FC10.PCT", "1-bit PackBitsRect, version 1", 30},
    {"VENUS.PCT", "8-bit indexed", 30},
    {"mire16.pict", "16-bit direct", 30},
    {"16bit.pict", "16-bit direct, 96 dpi extended header", 30},
    {"FLAG_B24.PCT", "32-bit planes", 30},
    {"TRU256.PCT", "32-bit planes", 30},
    {"CatDV.pict", "32-bit DirectBitsRgn", 30},
    {"Picture14.pict", "32-bit DirectBitsRgn", 30},
    {"P564B1400.pict", "360 dpi, several scaled bitmaps", 30},
};

RunResult Convert(const std::string& input, const std::string& output) {
  return test::Run(PICT2TGA_EXE, {"-quiet", "-colorspace", "sRGB", input, output});
}

void ExpectMatchesReference(const std::string& input, const std::string& reference_name,
                            double min_psnr) {
  TempDir temp;
  std::string output = temp.File("out.tga");
  RunResult run = Convert(input, output);
  ASSERT_EQ(run.exit_status, 0) << run.error;
  FIBITMAP* ours = LoadImage(output);
  FIBITMAP* reference = LoadImage(DataFile("pict/" + reference_name + ".png"));
  ASSERT_NE(ours, nullptr);
  ASSERT_NE(reference, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(ours), FreeImage_GetWidth(reference));
  EXPECT_EQ(FreeImage_GetHeight(ours), FreeImage_GetHeight(reference));
  EXPECT_GE(Psnr(ours, reference), min_psnr);
  FreeImage_Unload(ours);
  FreeImage_Unload(reference);
}

TEST(ReferenceTest, Pict2tgaMatchesTheReferenceDecodes) {
  for (const ReferenceCase& c : kCases) {
    SCOPED_TRACE(std::string(c.file) + ": " + c.kind);
    ExpectMatchesReference(DataFile(std::string("pict/") + c.file), c.file, c.min_psnr);
  }
}

TEST(ReferenceTest, PictureWithoutItsPreambleDecodesTheSame) {
  for (const char* file : {"VENUS.PCT", "FC10.PCT", "16bit.pict"}) {
    SCOPED_TRACE(file);
    std::string data = ReadText(DataFile(std::string("pict/") + file));
    ASSERT_GT(data.size(), 512u);
    TempDir temp;
    std::string stripped = temp.File("stripped.pict");
    ASSERT_TRUE(WriteText(stripped, data.substr(512)));
    ExpectMatchesReference(stripped, file, 30);
  }
}

}  // namespace
}  // namespace pic2jpg::test
