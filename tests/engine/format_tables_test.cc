#include "engine/format_tables.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace pic2jpg {
namespace {

class FormatTablesTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterFormats(); }
};

// Every output format listed is named once, in lower case; one with a codec
// carries the codec library's own number for its extension, a description,
// and depths that are ascending, known and each allowed.
TEST_F(FormatTablesTest, EveryListedOutputFormatMatchesTheCodecLibrary) {
  const auto& order = OutputExtensions();
  ASSERT_FALSE(order.empty());
  const std::set<int> kKnownDepths = {1, 4, 8, 16, 24, 32, 48, 64, 96, 128};
  std::set<std::string> seen;
  int with_codec = 0;
  for (const std::string& ext : order) {
    EXPECT_TRUE(seen.insert(ext).second) << ext;
    for (char c : ext) EXPECT_FALSE(c >= 'A' && c <= 'Z') << ext;
    const OutputFormat& format = LookupOutputFormat(ext);
    if (format.extension.empty()) continue;  // listed, but no codec writes it
    ++with_codec;
    EXPECT_EQ(format.extension, ext);
    EXPECT_FALSE(format.description.empty()) << ext;
    EXPECT_EQ(format.codec_id, FreeImage_GetFIFFromFilename(("x." + ext).c_str())) << ext;
    const std::vector<int> depths = AllowedDepthList(ext);
    ASSERT_FALSE(depths.empty()) << ext;
    for (size_t i = 0; i < depths.size(); ++i) {
      EXPECT_TRUE(IsDepthAllowed(ext, depths[i])) << ext;
      EXPECT_TRUE(kKnownDepths.count(depths[i])) << ext << " " << depths[i];
      if (i > 0) {
        EXPECT_LT(depths[i - 1], depths[i]) << ext;
      }
    }
  }
  EXPECT_GT(with_codec, 0);
  EXPECT_TRUE(seen.count("jpg"));
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
