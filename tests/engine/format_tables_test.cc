#include "engine/format_tables.h"

#include <gtest/gtest.h>

namespace pic2jpg {
namespace {

class FormatTablesTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterFormats(); }
};

TEST_F(FormatTablesTest, OutputTableHoldsTwentyThreeFormatsInListOrder) {
  const auto& order = OutputExtensions();
  ASSERT_EQ(order.size(), 23u);
  EXPECT_EQ(order.front(), "bmp");
  EXPECT_EQ(order.back(), "xpm");
}

TEST_F(FormatTablesTest, CodecIdsAreTheLibrarysNumbers) {
  struct Case {
    const char* ext;
    int codec;
    const char* depths;
  };
  const Case cases[] = {{"bmp", 0, "1,4,8,16,24,32"},
                        {"jpg", 2, "8,24"},
                        {"png", 13, "1,4,8,24,32,48"},
                        {"pbm", 7, "1"},
                        {"pgm", 11, "8"},
                        {"ppm", 14, "24,48"},
                        {"tga", 17, "8,16,24,32"},
                        {"webp", 35, "24,32"},
                        {"xpm", 23, "24"},
                        {"exr", 29, "96"},
                        {"jxr", 36, "1,8,16,24,32,48,96"}};
  for (const Case& c : cases) {
    const OutputFormat& format = LookupOutputFormat(c.ext);
    EXPECT_EQ(format.codec_id, c.codec) << c.ext;
    EXPECT_EQ(format.allowed_depths, c.depths) << c.ext;
    EXPECT_EQ(format.extension, c.ext);
  }
}

TEST_F(FormatTablesTest, MissingAndUpperCaseKeysGiveTheEmptyEntry) {
  for (const char* ext : {"dds", "pcx", "psd", "JPG", "", "jpeg"}) {
    const OutputFormat& format = LookupOutputFormat(ext);
    EXPECT_EQ(format.codec_id, 0) << ext;
    EXPECT_EQ(format.allowed_depths, "") << ext;
    EXPECT_EQ(format.description, "") << ext;
  }
  EXPECT_EQ(LookupInputFormat("PIC").file_type, "");
}

TEST_F(FormatTablesTest, DepthIsAllowedOnlyFromTheList) {
  struct Case {
    const char* ext;
    int depth;
    bool allowed;
  };
  const Case cases[] = {{"jpg", 24, true}, {"jpg", 32, false}, {"jpg", 0, true},
                        {"jpg", 8, true},  {"xpm", 24, true},  {"xpm", 0, true},
                        {"xpm", 8, false}, {"dds", 0, true},   {"dds", 24, false},
                        {"pcx", 8, false}, {"png", 48, true},  {"png", 4, true},
                        {"png", 2, false}, {"nope", 0, true},  {"nope", 24, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsDepthAllowed(c.ext, c.depth), c.allowed) << c.ext << " " << c.depth;
  }
}

TEST_F(FormatTablesTest, InputKeysCarryTheirTypeAndDescription) {
  struct Case {
    const char* key;
    const char* type;
    const char* description;
  };
  const Case cases[] = {{"pic", "pic", "Macintosh PICT"},
                        {"pict", "pic", "Macintosh PICT"},
                        {"pct", "pic", "Macintosh PICT"},
                        {"jpeg", "jpg", "JPEG File"},
                        {"tif", "tiff", "Tagged Image File Format"},
                        {"wmz", "wmf", "Windows Metafile Format"},
                        {"apm", "wmf", "Aldus Placeable Metafile"},
                        {"raw1", "raw", "Camera RAW Image"},
                        {"3fr", "raw", "Hasselblad Camera RAW Image"},
                        {"arw", "raw", "Sony Camera RAW Image"},
                        {"srf", "raw", "Sony Camera RAW Image"},
                        {"crw", "raw", "Canon Camera RAW Image"},
                        {"dng", "raw", "Adobe Digital Negative Image"},
                        {"rwl", "raw", "Leica Camera RAW Image"},
                        {"targa", "tga", "Truevision Targa"}};
  for (const Case& c : cases) {
    EXPECT_EQ(LookupInputFormat(c.key).file_type, c.type) << c.key;
    EXPECT_EQ(LookupInputFormat(c.key).description, c.description) << c.key;
  }
}

TEST_F(FormatTablesTest, AcceptedInputsAreThePictExtensions) {
  EXPECT_EQ(AcceptedInputExtensions(), (std::vector<std::string>{"pic", "pict", "pct"}));
}

TEST_F(FormatTablesTest, DepthChoicesStartWithAuto) {
  EXPECT_EQ(DepthChoices("jpg"), (std::vector<std::string>{"Auto", "8", "24"}));
  EXPECT_EQ(DepthChoices("psd"), (std::vector<std::string>{"Auto"}));
}

}  // namespace
}  // namespace pic2jpg
