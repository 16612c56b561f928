// The faces QuickDraw text is drawn with: the program's font table, what
// fontconfig gives for each of its faces, how a picture's font number or
// name finds its entry, and a machine without the table's fonts.
#include "pict/font_table.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/font_config.h"
#include "support/test_support.h"
#include "tests/pict/pict_builder.h"

namespace pic2jpg::test {
namespace {

using pict::FontStandIn;
using pict::test_util::PictBuilder;
using pict::test_util::StartPicture;

// Under the tests' own font configuration (the packages scripts/setup
// installs), every face the table names, and every stand-in, is the very
// family fontconfig gives: no alias, no fall-back.
TEST(FontTableTest, EveryEntryResolvesToItsIntendedFamily) {
  for (const FontStandIn& entry : pict::FontTable()) {
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(platform::MatchedFontFamily(entry.family), entry.family);
    EXPECT_EQ(platform::MatchedFontFamily(entry.stand_in), entry.stand_in);
    EXPECT_EQ(pict::FamilyToDraw(entry, entry.name), entry.family);
  }
}

TEST(FontTableTest, PicturesFindTheirFaceByNumberOrName) {
  const std::string long_name(255, 'x');
  struct Case {
    int number;
    const char* name;  // the picture's fontName, or null
    const char* family;
  };
  const Case cases[] = {
      {20, nullptr, "Nimbus Roman"},
      {21, nullptr, "Nimbus Sans"},
      {0, nullptr, "Nimbus Sans"},
      {1, nullptr, "Nimbus Sans"},  // the application font: Geneva
      {4, nullptr, "DejaVu Sans Mono"},
      {999, nullptr, "Nimbus Sans"},  // unknown numbers too
      {1000, "times", "Nimbus Roman"},
      {1000, "Helvetica-Bold", "Nimbus Sans"},
      {1000, "Helvetica Narrow", "Nimbus Sans Narrow"},  // the longest entry wins
      {1000, "Times New Roman", "Liberation Serif"},
      {1000, "Timesless", "Liberation Serif"},  // a serif by its name, no entry
      {1000, "ITC Garamond", "Liberation Serif"},
      {1000, "Andale Mono", "Liberation Mono"},
      {1000, "Frutiger", "Liberation Sans"},
      {1000, long_name.c_str(), "Liberation Sans"},
      {20, "", "Nimbus Roman"},  // an empty name goes by the number
  };
  for (const Case& c : cases) {
    std::string name = c.name != nullptr ? c.name : "";
    SCOPED_TRACE(std::to_string(c.number) + " " + name.substr(0, 20));
    EXPECT_STREQ(pict::FontFor(c.number, c.name != nullptr ? &name : nullptr).family, c.family);
  }
}

// Text in Times (by number) and in a font whose name is 255 characters with
// control bytes, through pict2tga.
std::string TextPicture() {
  PictBuilder b = StartPicture({pict::QdRect{0, 0, 100, 300}});
  b.Op(0x0D);  // TxSize 24
  b.U16(24);
  b.Op(0x03);  // TxFont Times
  b.U16(20);
  auto text = [&b](int v, const std::string& s) {
    b.Op(0x28);
    b.U16(v);
    b.U16(10);
    b.U8(static_cast<int>(s.size()));
    b.Data(std::vector<uint8_t>(s.begin(), s.end()));
  };
  text(40, "Times text");
  std::string name(255, 'A');
  for (size_t i = 0; i < name.size(); i += 9) name[i] = static_cast<char>(i % 32);
  b.Op(0x2C);  // fontName
  b.U16(static_cast<int>(3 + name.size()));
  b.U16(300);
  b.U8(static_cast<int>(name.size()));
  b.Data(std::vector<uint8_t>(name.begin(), name.end()));
  b.Op(0x03);
  b.U16(300);
  text(80, "Other text");
  std::vector<uint8_t> data = b.Finish();
  return std::string(data.begin(), data.end());
}

// A machine without the URW faces, or a configuration that is not there:
// the picture is drawn (with a stand-in) and stderr says which face is
// missing and which package has it; nothing crashes.
TEST(FontTableTest, MissingFacesAreNamedAndStoodInFor) {
  TempDir temp;
  ASSERT_TRUE(WriteText(temp.File("in.pict"), TextPicture()));
  ASSERT_TRUE(WriteText(temp.File("fresh.conf"),
                        "<?xml version=\"1.0\"?><fontconfig>"
                        "<dir>/usr/share/fonts/truetype/dejavu</dir>"
                        "<dir>/usr/share/fonts/truetype/liberation</dir>"
                        "<cachedir>" +
                            temp.File("cache") + "</cachedir></fontconfig>"));
  struct Case {
    const char* name;
    std::string config;
    int warns;  // -1: fontconfig's fall-back set-up decides
  };
  const Case cases[] = {
      {"the tests' own fonts", "", 0},
      {"no URW fonts", temp.File("fresh.conf"), 1},
      {"a configuration that is not there", temp.File("none/fonts.conf"), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> env;
    if (!c.config.empty()) env.push_back("FONTCONFIG_FILE=" + c.config);
    RunResult run =
        test::Run(PICT2TGA_EXE, {"-quiet", temp.File("in.pict"), temp.File("out.tga")}, env);
    ASSERT_EQ(run.exit_status, 0) << run.error;
    const bool warned = run.error.find("\"Nimbus Roman\" for \"Times\"") != std::string::npos;
    if (c.warns >= 0) {
      EXPECT_EQ(warned, c.warns == 1) << run.error;
    }
    if (warned) {
      EXPECT_NE(run.error.find("fonts-urw-base35"), std::string::npos) << run.error;
    }
    FIBITMAP* out = LoadImage(temp.File("out.tga"));
    ASSERT_NE(out, nullptr);
    // Both lines have ink.
    for (int top : {15, 55}) {
      int ink = 0;
      for (int y = top; y < top + 30; ++y) {
        for (int x = 0; x < 300; ++x) ink += PixelAt(out, x, y) != 0xFFFFFF;
      }
      EXPECT_GT(ink, 100) << "line at " << top;
    }
    FreeImage_Unload(out);
  }
}

// The text watermark's Arial on a machine with DejaVu only: a warning, the
// stand-in face, and the picture converted.
TEST(FontTableTest, WatermarkFontWithoutItsPackageUsesTheStandIn) {
  TempDir temp;
  ASSERT_TRUE(WriteText(temp.File("dejavu.conf"),
                        "<?xml version=\"1.0\"?><fontconfig>"
                        "<dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>" +
                            temp.File("cache") + "</cachedir></fontconfig>"));
  RunResult run = RunPic2jpg(
      {"-i", DataFile("sample.pict"), "-o", temp.path(), "--wm-text=Hello", "--wm-font=Arial"},
      {"FONTCONFIG_FILE=" + temp.File("dejavu.conf")});
  EXPECT_EQ(run.exit_status, 0) << run.error;
  EXPECT_NE(run.error.find("\"Liberation Sans\" for \"Arial\""), std::string::npos) << run.error;
  EXPECT_NE(run.error.find("\"DejaVu Sans\" instead"), std::string::npos) << run.error;
  FIBITMAP* out = LoadImage(temp.File("sample.jpg"));
  EXPECT_NE(out, nullptr);
  if (out != nullptr) FreeImage_Unload(out);
}

}  // namespace
}  // namespace pic2jpg::test
