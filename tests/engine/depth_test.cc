#include "engine/depth.h"

#include <gtest/gtest.h>

#include "engine/format_tables.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

class DepthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    g_settings = Settings{};
  }
};

TEST_F(DepthTest, AutoDepthTakesTheFirstDepthThatHoldsTheSource) {
  struct Case {
    const char* ext;
    int source;
    int expected;
  };
  const Case cases[] = {{"jpg", 1, 8},    {"jpg", 8, 8},   {"jpg", 24, 24}, {"jpg", 32, 24},
                        {"png", 16, 24},  {"png", 64, 48}, {"png", 1, 1},   {"exr", 1, 96},
                        {"exr", 128, 96}, {"dds", 24, 0},  {"pcx", 8, 0},   {"tga", 4, 8},
                        {"bmp", 2, 4}};
  for (const Case& c : cases) {
    EXPECT_EQ(AutoDepth(c.ext, c.source), c.expected) << c.ext << " " << c.source;
  }
}

struct ConvertCase {
  const char* ext;
  int source_bpp;
  int target;
  int expected_bpp;  // 0: null image expected
};

TEST_F(DepthTest, ConvertsToTheTargetDepth) {
  const ConvertCase cases[] = {{"jpg", 32, 24, 24}, {"jpg", 24, 8, 8},   {"png", 32, 8, 8},
                               {"png", 24, 48, 48}, {"bmp", 24, 16, 16}, {"tga", 48, 16, 16},
                               {"png", 24, 4, 4},   {"png", 24, 1, 1},   {"tiff", 24, 32, 32},
                               {"exr", 24, 96, 96}, {"jpg", 24, 2, 0},   {"dds", 24, 0, 0},
                               {"jpg", 8, 8, 8}};
  for (const ConvertCase& c : cases) {
    FIBITMAP* image = ConvertToOutputDepth(test::MakeImage(8, 6, c.source_bpp), c.ext, c.target);
    if (c.expected_bpp == 0) {
      EXPECT_EQ(image, nullptr) << c.ext << " " << c.target;
    } else {
      ASSERT_NE(image, nullptr) << c.ext << " " << c.target;
      EXPECT_EQ(static_cast<int>(FreeImage_GetBPP(image)), c.expected_bpp) << c.ext;
      EXPECT_EQ(FreeImage_GetWidth(image), 8u);
      FreeImage_Unload(image);
    }
  }
}

TEST_F(DepthTest, SixteenBitsIs555ForIcoAndTgaAnd565Elsewhere) {
  for (const char* ext : {"bmp", "ico", "tga"}) {
    FIBITMAP* image = ConvertToOutputDepth(test::MakeImage(4, 4, 24), ext, 16);
    ASSERT_NE(image, nullptr);
    const bool is_565 = FreeImage_GetGreenMask(image) == FI16_565_GREEN_MASK;
    EXPECT_EQ(is_565, std::string(ext) == "bmp") << ext;
    FreeImage_Unload(image);
  }
}

TEST_F(DepthTest, PaletteImageAtTargetDepthIsKeptAsItIs) {
  FIBITMAP* original = test::MakeImage(5, 5, 8);
  FIBITMAP* image = ConvertToOutputDepth(original, "png", 8);
  EXPECT_EQ(image, original);
  FreeImage_Unload(image);
}

// The depth key's 0 ("Auto") follows each file's own depth; any other
// value is used as it is.
TEST_F(DepthTest, TargetDepthFollowsTheSourceOnlyOnAutomaticDepth) {
  Settings settings;
  SaveOptions automatic = SaveOptionsFor(settings.output, "jpg");
  EXPECT_TRUE(automatic.auto_depth);
  EXPECT_EQ(TargetDepth(automatic, 32), 24);
  EXPECT_EQ(TargetDepth(automatic, 1), 8);
  settings.output.jpg_bpp = 8;
  SaveOptions fixed = SaveOptionsFor(settings.output, "jpg");
  EXPECT_FALSE(fixed.auto_depth);
  EXPECT_EQ(TargetDepth(fixed, 32), 8);
  EXPECT_EQ(fixed.codec_id, LookupOutputFormat("jpg").codec_id);
  EXPECT_EQ(fixed.save_flags, SaveFlagsFor(settings.output, "jpg"));
}

TEST_F(DepthTest, NullImagePassesThrough) {
  EXPECT_EQ(ConvertToOutputDepth(nullptr, "jpg", 24), nullptr);
}

TEST_F(DepthTest, SaveFlagsCombineThePerFormatKeys) {
  struct Case {
    const char* ext;
    void (*set)(OutputSettings&);
    int flags;
  };
  const Case cases[] = {
      {"jpg", [](OutputSettings&) {}, 95 + 0x10000},
      {"jpg",
       [](OutputSettings& o) {
         o.jpg_quality = 80;
         o.jpg_chroma = 2;
         o.jpg_save_as = 3;
       },
       80 + 0x4000 + 0x2000},
      {"jpg",
       [](OutputSettings& o) {
         o.jpg_chroma = 1;
         o.jpg_save_as = 1;
       },
       95 + 0x8000 + 0x40000},
      {"jpg",
       [](OutputSettings& o) {
         o.jpg_chroma = 3;
         o.jpg_save_as = 2;
       },
       95 + 0x1000 + 0x20000},
      {"jpg",
       [](OutputSettings& o) {
         o.jpg_chroma = 9;
         o.jpg_save_as = -1;
       },
       95},
      {"bmp", [](OutputSettings& o) { o.bmp_compression = 1; }, 0x1},
      {"bmp", [](OutputSettings& o) { o.bmp_compression = 7; }, 0},
      {"exr", [](OutputSettings&) {}, 0x2},
      {"exr", [](OutputSettings& o) { o.exr_compression = 4; }, 0x20},
      {"exr", [](OutputSettings& o) { o.exr_compression = 5; }, 0},
      {"png", [](OutputSettings&) {}, 0x100},
      {"png",
       [](OutputSettings& o) {
         o.png_compression = 3;
         o.png_interlaced = 1;
       },
       0x9 + 0x200},
      {"png", [](OutputSettings& o) { o.png_compression = 2; }, 0x6},
      {"tga", [](OutputSettings& o) { o.tga_compression = 1; }, 0x2},
      {"tiff", [](OutputSettings&) {}, 0x800},
      {"tiff",
       [](OutputSettings& o) {
         o.tiff_compression = 6;
         o.tiff_color_model = 1;
       },
       0x4000 + 0x1},
      {"tiff", [](OutputSettings& o) { o.tiff_compression = 8; }, 0x10000},
      {"jxr", [](OutputSettings&) {}, 0x64},
      {"webp", [](OutputSettings&) {}, 0x100},
      {"gif", [](OutputSettings&) {}, 0},
      {"unknown", [](OutputSettings&) {}, 0},
  };
  for (const Case& c : cases) {
    OutputSettings output;
    c.set(output);
    EXPECT_EQ(SaveFlagsFor(output, c.ext), c.flags) << c.ext;
  }
}

}  // namespace
}  // namespace pic2jpg
