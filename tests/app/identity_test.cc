#include "text/identity.h"

#include <gtest/gtest.h>

#include "gui/image_maps.h"

namespace pic2jpg {
namespace {

TEST(VersionTextTest, InsertsDotsAndDropsTrailingZeroPatch) {
  struct Case {
    int version;
    const char* text;
  };
  const Case cases[] = {{270, "2.7"},   {271, "2.7.1"}, {300, "3.0"},
                        {305, "3.0.5"}, {100, "1.0"},   {999, "9.9.9"}};
  for (const Case& c : cases) EXPECT_EQ(VersionText(c.version), c.text) << c.version;
}

TEST(VersionTextTest, TitleCarriesTheVersion) {
  EXPECT_EQ(TitleWithVersion(), "Morvane PIC to JPG 2.7");
}

TEST(ImageMapsTest, SecondIconsAreTwentyFourHigher) {
  FillImageMaps();
  EXPECT_EQ(g_button_image_map.at("InFolder"), 4);
  EXPECT_EQ(g_icon_image_map.size(), 22u);
  EXPECT_EQ(g_icon_image_map.at("Email"), 25);
  for (const auto& [name, number] : g_icon_image_map) {
    EXPECT_EQ(g_second_icon_image_map.at(name), number + 24) << name;
  }
  EXPECT_EQ(g_second_icon_image_map.at("New"), 29);
  EXPECT_EQ(g_second_icon_image_map.at("About"), 52);
}

}  // namespace
}  // namespace pic2jpg
