#include "gui/gui_run.h"

#include <gtest/gtest.h>

#include "engine/format_tables.h"
#include "engine/run_setup.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

class GuiRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    LoadTextCatalogue("");
    ApplyDefaultSettings(false);
    ResetRunState();
    picture_ = dir_.File("photo.PICT");
    ASSERT_TRUE(test::CopyFile(test::DataFile("sample.pict"), picture_));
    ASSERT_TRUE(test::WriteText(dir_.File("empty.pic"), ""));
    ASSERT_TRUE(test::WriteText(dir_.File("notes.txt"), "x"));
    ASSERT_TRUE(test::WriteText(dir_.File("mark.png"), "not really"));
  }
  test::TempDir dir_;
  std::string picture_;
};

// Each check in its order: a command with several faults names the first.
TEST_F(GuiRunTest, ChecksStopAtTheFirstFailureInTheirOrder) {
  struct Case {
    const char* name;
    std::string input;
    std::string folder;
    int resize;     // 0 off, 1 width 0, 2 height 0 with Keep Aspect Ratio
    int watermark;  // 0 none, 1 text with a font that is missing, 2 image, 3 image not named
    std::string warning;
    bool status_stopped;
  };
  const std::string folder = dir_.path();
  const std::string missing_folder = dir_.File("nowhere");
  const Case cases[] = {
      {"empty field", "", "", 1, 2, GetText("Msg", "Empty input files"), true},
      {"blank field", "   ", folder, 0, 0, GetText("Msg", "Empty input files"), true},
      {"empty file", dir_.File("empty.pic"), folder, 0, 0, GetText("Msg", "Empty input files"),
       true},
      {"other extension", dir_.File("notes.txt"), folder, 0, 0, GetText("Msg", "Empty input files"),
       true},
      {"no folder", picture_, " ", 1, 0, GetText("Msg", "Empty output folder"), true},
      {"missing folder", picture_, missing_folder, 1, 0,
       "The following output folder is invalid or doesn't exist:\n" + missing_folder +
           "/\n\nPlease, correct the output path and try again!",
       true},
      {"folder is a file", picture_, picture_, 0, 0,
       "The following output folder is invalid or doesn't exist:\n" + picture_ +
           "/\n\nPlease, correct the output path and try again!",
       true},
      {"width 0", picture_, folder, 1, 2, GetText("Msg", "Invalid width"), true},
      {"height 0", picture_, folder, 2, 2, GetText("Msg", "Invalid height"), true},
      {"image not named", picture_, folder, 0, 3, GetText("Msg", "Empty watermark image"), false},
      {"image missing", picture_, folder, 0, 2,
       "Unable to load selected file as a watermark image: " + dir_.File("gone.png"), false},
  };
  for (const Case& c : cases) {
    ApplyDefaultSettings(false);
    g_settings.file.recent_out_folders = "/kept/";
    g_settings.transform.do_image_resize = c.resize != 0 ? 1 : 0;
    g_settings.transform.image_width = c.resize == 1 ? 0 : 100;
    g_settings.transform.image_height = c.resize == 2 ? 0 : 100;
    g_settings.transform.keep_aspect_ratio = 1;
    g_settings.watermark.kind = static_cast<WatermarkKind>(c.watermark >= 2 ? 2 : c.watermark);
    g_settings.watermark.image = c.watermark == 3 ? "" : dir_.File("gone.png");
    GuiRunStart start = PrepareGuiRun({c.input, c.folder, 0, {}});
    EXPECT_FALSE(start.ready) << c.name;
    EXPECT_EQ(start.warning, c.warning) << c.name;
    EXPECT_EQ(start.status_stopped, c.status_stopped) << c.name;
    // A failed check changes no setting.
    EXPECT_EQ(g_settings.file.recent_out_folders, "/kept/") << c.name;
  }
}

TEST_F(GuiRunTest, APassingRunIsSetUpAndItsFolderGoesFirst) {
  g_settings.file.recent_out_folders = "/older/";
  const int counter = g_run_state.counter = 7;
  // A path that does not exist passes the input step (the run converts 0 of 1).
  for (const std::string& input : {picture_, dir_.File("later.pct")}) {
    GuiRunStart start =
        PrepareGuiRun({" " + input + " ", dir_.path().substr(0, dir_.path().size() - 1), 0, {}});
    ASSERT_TRUE(start.ready) << start.warning;
    ASSERT_EQ(g_input_list.size(), 1u);
    EXPECT_EQ(g_input_list.begin()->first, input);
    EXPECT_EQ(g_run_state.output_folder, dir_.path());
    EXPECT_EQ(g_run_state.output_extension, "jpg");
    EXPECT_EQ(start.plan.output.codec_id, 2);  // the codec library's JPEG
    EXPECT_EQ(start.plan.counter, counter);    // the name mask's counter goes on
    EXPECT_EQ(start.plan.entries.size(), 1u);
  }
  EXPECT_EQ(g_settings.file.recent_out_folders, dir_.path() + "\t/older/");
}

TEST(ShortenMiddleTest, KeepsBothEnds) {
  const std::string sixty(60, 'a');
  const std::string named = std::string(30, 'x') + std::string(30, 'y');
  EXPECT_EQ(ShortenMiddle(named, 40), std::string(18, 'x') + "..." + std::string(18, 'y'));
  EXPECT_EQ(ShortenMiddle(sixty, 60), sixty);
  EXPECT_EQ(ShortenMiddle("", 3), "");
  EXPECT_EQ(ShortenMiddle("abcdef", 4), "...");
}

}  // namespace
}  // namespace pic2jpg
