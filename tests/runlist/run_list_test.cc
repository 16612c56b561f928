#include "runlist/run_list.h"

#include <gtest/gtest.h>

#include "engine/format_tables.h"
#include "engine/naming.h"
#include "platform/file_system.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

class RunListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    g_settings = Settings{};
    g_run_state = RunState{};
    ResetRunState();
  }
  test::TempDir dir_;
};

TEST_F(RunListTest, ResetClearsTheRunButKeepsTheMessageLevel) {
  g_run_state.message_level = MessageLevel::kDebug;
  g_run_state.output_folder = "/x/";
  g_run_state.counter = 7;
  g_run_state.console_mode = true;
  g_input_list["/a.pic"] = {};
  ResetRunState();
  EXPECT_EQ(g_run_state.message_level, MessageLevel::kDebug);
  EXPECT_EQ(g_run_state.output_folder, "");
  EXPECT_FALSE(g_run_state.console_mode);
  EXPECT_EQ(g_run_state.counter, 1);
  EXPECT_GE(g_run_state.random_number, 1);
  EXPECT_LE(g_run_state.random_number, 99999);
  EXPECT_TRUE(g_input_list.empty());
  EXPECT_FALSE(g_run_state.program_folder.empty());
  EXPECT_EQ(g_run_state.program_folder.back(), '/');
}

TEST_F(RunListTest, RandomNumbersStayInRange) {
  for (int i = 0; i < 2000; ++i) {
    int n = DrawRandomNumber();
    ASSERT_GE(n, 1);
    ASSERT_LE(n, 99999);
  }
}

TEST_F(RunListTest, ListContainsComparesExactly) {
  std::vector<std::string> list = {"pic", "pict"};
  EXPECT_TRUE(ListContains(list, "pict"));
  EXPECT_FALSE(ListContains(list, "PIC"));
  EXPECT_FALSE(ListContains({}, ""));
}

TEST_F(RunListTest, ReplacingTheListTakesPictFilesOnly) {
  std::string upper = dir_.File("photo.PIC");
  std::string second = dir_.File("other.pct");
  std::string text = dir_.File("notes.txt");
  std::string empty = dir_.File("empty.pic");
  test::WriteText(upper, "x");
  test::WriteText(second, "x");
  test::WriteText(text, "x");
  test::WriteText(empty, "");

  EXPECT_TRUE(ReplaceInputListWith(upper));
  EXPECT_EQ(g_input_list.size(), 1u);
  EXPECT_FALSE(ReplaceInputListWith(text));
  EXPECT_FALSE(ReplaceInputListWith(empty));
  ASSERT_EQ(g_input_list.size(), 1u);
  EXPECT_EQ(g_input_list.begin()->first, upper);

  EXPECT_TRUE(ReplaceInputListWith(second));
  ASSERT_EQ(g_input_list.size(), 1u);
  EXPECT_EQ(g_input_list.begin()->first, second);
}

TEST_F(RunListTest, RecentFoldersMoveToTheFrontAndAreCut) {
  struct Case {
    int limit;
    const char* before;
    const char* added;
    const char* after;
  };
  const Case cases[] = {
      // Folders differing in letter case are two folders on Linux: both stay.
      {3, "/a/\t/b/\t/c/", "/B/", "/B/\t/a/\t/b/"},
      {3, "/data/a/\t/x/", "/data/A/", "/data/A/\t/data/a/\t/x/"},
      {3, "/a/\t/b/\t/c/", "/b/", "/b/\t/a/\t/c/"},
      {5, "/a/\t/b/", "/a/", "/a/\t/b/"},
      {2, "/a/\t/b/\t/c/\t/d/", "/e/", "/e/\t/a/"},
      {5, "", "/a/", "/a/"},
      {1, "/a/\t/b/", "/c/", "/c/"},
      {5, "/a/\t\t/b/", "/c/", "/c/\t/a/\t/b/"},
  };
  for (const Case& c : cases) {
    g_settings.advanced.out_folders_number = static_cast<int8_t>(c.limit);
    g_settings.file.recent_out_folders = c.before;
    EXPECT_TRUE(AddRecentOutputFolder(c.added));
    EXPECT_EQ(g_settings.file.recent_out_folders, c.after) << c.before << " + " << c.added;
  }
  g_settings.file.recent_out_folders = "/a/";
  EXPECT_FALSE(AddRecentOutputFolder(""));
  EXPECT_EQ(g_settings.file.recent_out_folders, "/a/");
}

TEST_F(RunListTest, GetRecentOutputFolderTrimsAndHandlesMissingFields) {
  g_settings.file.recent_out_folders = "  /a/ \t/b/";
  EXPECT_EQ(GetRecentOutputFolder(0), "/a/");
  EXPECT_EQ(GetRecentOutputFolder(1), "/b/");
  EXPECT_EQ(GetRecentOutputFolder(2), "");
  EXPECT_EQ(GetRecentOutputFolder(-1), "");
}

}  // namespace
}  // namespace pic2jpg
