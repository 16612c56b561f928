#include "gui/themes.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "gui/builtin_pictures.h"
#include "gui/image_maps.h"
#include "platform/file_system.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

TEST(CfgValueTest, GroupsKeysAndValues) {
  const std::string cfg =
      "[Theme]\r\nName = Flat Blue \r\nNames = other\r\n[Icons]\r\nNew = new.PNG\r\n"
      "Add=\tadd\t\r\nCut = a=b\r\nLast = x [y\r\nAfter = z\r\nEnd = e";
  struct Case {
    const char* group;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"theme", "NAME", "Flat Blue"},  // letter case ignored, blanks trimmed
      {"Icons", "New", "new.PNG"},    {"Icons", "Add", "add"},  // tabs trimmed
      {"Icons", "Cut", "a"},                                    // cut at a second equals sign
      {"Icons", "Last", "x [y"},      {"Icons", "After", ""},   // a "[" in a value ends the group
      {"Icons", "End", ""},                                     // no line end after the key line
      {"Icons", "Name", ""},                                    // the key of another group
      {"Buttons", "Convert", ""},                               // no such group
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CfgValue(cfg, c.group, c.key), c.value) << c.group << "/" << c.key;
  }
  EXPECT_EQ(PictureEntryName("new.PNG", 64), "new.PNG");
  EXPECT_EQ(PictureEntryName("new", 64), "new_64.png");
  // Blanks first, then tabs: blanks inside the tabs stay.
  EXPECT_EQ(CleanCfgValue(" \t x \t "), " x ");
}

std::string Png(const std::string& name, int pixels) {
  return std::string(BuiltInPicture(name, pixels));
}

void WriteZip(const std::string& path, const std::map<std::string, std::string>& entries) {
  archive* writer = archive_write_new();
  archive_write_set_format_zip(writer);
  archive_write_open_filename(writer, path.c_str());
  for (const auto& [name, bytes] : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, name.c_str());
    archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_write_header(writer, entry);
    archive_write_data(writer, bytes.data(), bytes.size());
    archive_entry_free(entry);
  }
  archive_write_close(writer);
  archive_write_free(writer);
}

class ThemeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillImageMaps();
    g_settings = Settings{};
    g_run_state.program_folder = dir_.path();
    ASSERT_TRUE(fs::MakeFolder(dir_.File("gfx")));
    gfx_ = dir_.File("gfx/");
    LoadBuiltInImages();
  }
  test::TempDir dir_;
  std::string gfx_;
};

const char kCfg[] =
    "[Theme]\r\nName = Flat\r\n[Buttons]\r\nConvert = go\r\n[Icons]\r\nNew = doc\r\n"
    "Add = plus.png\r\nExit = broken\r\nCopy = absent\r\n";

// A package replaces the pictures it names, at the sizes the sets use; a
// picture that is missing or not PNG leaves its image as it was.
TEST_F(ThemeTest, APackageReplacesThePicturesItNames) {
  const std::string go = Png("Web", 16);
  const std::string doc16 = Png("Help", 16);
  const std::string doc32 = Png("Help", 32);
  const std::string plus = Png("Email", 16);
  WriteZip(gfx_ + "flat.zip", {{"theme.cfg", kCfg},
                               {"go_16.png", go},
                               {"doc_16.png", doc16},
                               {"doc_32.png", doc32},
                               {"plus.png", plus},
                               {"broken_16.png", "GIF89a not a png"}});
  const std::map<int, std::string> before = g_images;
  ScanThemes();
  EXPECT_EQ(g_themes.at("flat"), "Flat");
  g_settings.interface.ui_theme = "flat";
  g_settings.interface.ui_size = 2;  // 32-pixel toolbar
  LoadThemeImages(true, true, true);
  EXPECT_EQ(g_images.at(g_button_image_map.at("Convert")), go);
  EXPECT_EQ(g_images.at(g_icon_image_map.at("New")), doc16);
  EXPECT_EQ(g_images.at(g_second_icon_image_map.at("New")), doc32);
  EXPECT_EQ(g_images.at(g_icon_image_map.at("Add")), plus);
  EXPECT_EQ(g_images.at(g_second_icon_image_map.at("Add")), plus);
  for (const char* kept : {"Exit", "Copy", "About"}) {
    EXPECT_EQ(g_images.at(g_icon_image_map.at(kept)), before.at(g_icon_image_map.at(kept))) << kept;
  }
}

// Broken packages change nothing; a missing default theme falls back to the
// package the scan found last.
TEST_F(ThemeTest, BrokenPackagesChangeNothing) {
  ASSERT_TRUE(test::WriteText(gfx_ + "empty.zip", ""));
  ASSERT_TRUE(test::WriteText(gfx_ + "text.zip", "this is no archive"));
  WriteZip(gfx_ + "nocfg.zip", {{"doc_16.png", Png("Help", 16)}});
  const std::map<int, std::string> before = g_images;
  for (const char* theme : {"empty", "text", "nocfg", "missing"}) {
    g_settings.interface.ui_theme = theme;
    g_themes.clear();
    g_last_scanned_theme.clear();
    LoadThemeImages(true, true, true);
    EXPECT_EQ(g_images, before) << theme;
  }
  ScanThemes();
  EXPECT_EQ(g_themes.at("nocfg"), "");
  EXPECT_EQ(g_themes.at("text"), "text");

  WriteZip(gfx_ + "zz.zip", {{"theme.cfg", kCfg}, {"go_16.png", Png("Web", 16)}});
  ScanThemes();
  g_settings.interface.ui_theme = "handdrawn";
  LoadThemeImages(true, false, false);
  EXPECT_EQ(g_settings.interface.ui_theme, "zz");
  EXPECT_EQ(g_images.at(g_button_image_map.at("Convert")), Png("Web", 16));
}

// A theme is a package the scan found, chosen by name: a name that is a
// path loads nothing and gives way to the default; an oversized package or
// picture is not unpacked.
TEST_F(ThemeTest, ANameIsNoPathAndAPackageHasItsLimits) {
  for (const char* name : {"../x", "a/b", "..", "tab\tname", ""}) {
    EXPECT_FALSE(IsThemeName(name)) << name;
  }
  EXPECT_TRUE(IsThemeName("flat 2.0"));

  const std::map<int, std::string> before = g_images;
  const std::map<std::string, std::string> good = {{"theme.cfg", kCfg},
                                                   {"go_16.png", Png("Web", 16)}};
  ASSERT_TRUE(fs::MakeFolder(dir_.File("elsewhere")));
  WriteZip(dir_.File("elsewhere/bomb.zip"), good);
  std::map<std::string, std::string> crowded = good;
  for (int i = 0; i < 600; ++i) crowded["filler" + std::to_string(i)] = "x";
  WriteZip(gfx_ + "crowded.zip", crowded);
  std::string huge = Png("Web", 16);
  huge.replace(16, 8, std::string("\0\0\x4e\x20\0\0\x4e\x20", 8));  // 20000 x 20000
  WriteZip(gfx_ + "huge.zip", {{"theme.cfg", kCfg}, {"go_16.png", huge}});
  ScanThemes();
  for (const char* theme : {"crowded", "huge", "../elsewhere/bomb"}) {
    SCOPED_TRACE(theme);
    g_last_scanned_theme.clear();
    g_settings.interface.ui_theme = theme;
    LoadThemeImages(true, true, true);
    EXPECT_EQ(g_images, before);
  }
  EXPECT_EQ(g_settings.interface.ui_theme, Settings{}.interface.ui_theme);
}

}  // namespace
}  // namespace pic2jpg
