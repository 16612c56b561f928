#include "engine/naming.h"

#include <gtest/gtest.h>

#include <ctime>

#include "settings/settings.h"

namespace pic2jpg {
namespace {

class NamingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    names_ = NameContext{};
    names_.output_extension = "jpg";
    names_.counter = 1;
    names_.random_number = 42;
  }
  std::string Name(const std::string& input, const std::string& mask) {
    names_.input_path = input;
    return ExpandFilenameMask(mask, names_);
  }
  NameContext names_;
};

TEST(RemoveExtensionTest, DropsOnlyTheLastExtension) {
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {{"a.b.pic", "a.b"}, {"photo.pic", "photo"}, {"noext", "noext"},
                        {"", ""},           {".hidden", ""},        {"trailing.", "trailing"}};
  for (const Case& c : cases) EXPECT_EQ(RemoveExtension(c.name), c.expected) << c.name;
}

TEST_F(NamingTest, TokensOfNameAndExtension) {
  struct Case {
    const char* input;
    const char* mask;
    const char* expected;
  };
  const Case cases[] = {
      {"/in/Sunset.pic", "%filename%.%ext%", "Sunset.jpg"},
      {"/in/Sunset.pic", "%filename[u]%.%ext[u]%", "SUNSET.JPG"},
      {"/in/Sunset.pic", "%filename[l]%.%ext%", "sunset.jpg"},
      {"/in/sUNSET.pic", "%filename[t]%.%ext[t]%", "Sunset.Jpg"},
      {"/in/Sunset.pic", "%filename%", "Sunset"},
      {"/in/Sunset.pic", "", "Sunset.jpg"},
      {"/in/a.b.pic", "%filename%.%ext%", "a.b.jpg"},
      {"/in/noext", "%filename%.%ext%", "noext.jpg"},
      // The whole mask is lower-cased, tokens included; literal text too.
      {"/in/Sunset.pic", "Photo_%FILENAME%.%EXT%", "photo_Sunset.jpg"},
      {"/in/Sunset.pic", "%n%-%rnd%.%ext%", "00001-00042.jpg"},
      {"/in/Sunset.pic", "%bpp%_%width%x%height%", "24_640x480"},
      // Token text arriving inside an earlier value is replaced later on.
      {"/in/a%n%.pic", "%filename%", "a00001"},
      // Case rules work on every letter; names that are not UTF-8 stay.
      {"/in/été ñandú.pic", "%filename[u]%", "ÉTÉ ÑANDÚ"},
      {"/in/ÉTÉ.pic", "%filename[l]%", "été"},
      {"/in/éLAN straße.pic", "%filename[t]%", "Élan straße"},
      {"/in/straße.pic", "%filename[u]%", "STRASSE"},
      {"/in/caf\xE9.pic", "%filename[u]%-%filename[t]%", "caf\xE9-caf\xE9"},
      {"/in/x.pic", "ÀB_%N%", "àb_00001"},
      {"/in/x.pic",
       "\xC0"
       "B_%N%",
       "\xC0"
       "b_00001"},
  };
  names_.depth = 24;
  names_.width = 640;
  names_.height = 480;
  for (const Case& c : cases) {
    EXPECT_EQ(Name(c.input, c.mask), c.expected) << c.mask;
  }
}

TEST_F(NamingTest, CountersAreFiveCharacters) {
  struct Case {
    int value;
    const char* expected;
  };
  const Case cases[] = {{1, "00001"}, {99999, "99999"}, {123456, "12345"}, {0, "00000"}};
  for (const Case& c : cases) {
    names_.counter = c.value;
    names_.random_number = c.value;
    EXPECT_EQ(Name("/in/x.pic", "%n%|%rnd%"), std::string(c.expected) + "|" + c.expected);
  }
}

TEST_F(NamingTest, DateTokensReadTheLocalClock) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::string name = Name("/in/x.pic", "%yyyy%-%mm%-%dd%");
  char expected[32];
  std::strftime(expected, sizeof expected, "%Y-%m-%d", &local);
  EXPECT_EQ(name, expected);
  std::string time_name = Name("/in/x.pic", "%hh%%ii%%ss%");
  EXPECT_EQ(time_name.size(), 6u);
  EXPECT_EQ(Name("/in/x.pic", "%yyyy%/%filename%.%ext%"),
            std::string(expected).substr(0, 4) + "/x.jpg");
}

TEST_F(NamingTest, ReplaceMaskTokenIgnoresCase) {
  names_.input_path = "/in/Sunset.pic";
  EXPECT_EQ(ReplaceMaskToken("A %FileName% and %FILENAME%", "%filename%", names_),
            "A Sunset and Sunset");
  EXPECT_EQ(ReplaceMaskToken("no tokens", "%filename%", names_), "no tokens");
}

TEST_F(NamingTest, WatermarkTextKeepsTheCaseOfItsLiterals) {
  names_.input_path = "/in/Sunset.pic";
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {{"Photo %FILENAME%", "Photo Sunset"},
                        {"Only 100% sure", "Only 100% sure"},
                        {"No tokens here", "No tokens here"},
                        {"%ext[u]% by %Filename[U]%", "JPG by SUNSET"},
                        {"%unknown% stays", "%unknown% stays"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandTextPlaceholders(c.text, names_), c.expected) << c.text;
  }
}

TEST_F(NamingTest, OutputPathJoinsFolderSubfolderAndName) {
  names_.input_path = "/in/sub/x.pic";
  AdvancedSettings advanced;
  EXPECT_EQ(BuildOutputPath(advanced, "/out/", "sub/", names_), "/out/sub/x.jpg");
  advanced.keep_subfolders = 0;
  EXPECT_EQ(BuildOutputPath(advanced, "/out/", "sub/", names_), "/out/x.jpg");
}

}  // namespace
}  // namespace pic2jpg
