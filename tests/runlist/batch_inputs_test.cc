// Inputs of a many-file run: the list-file text, the folder walk (order,
// links, unreadable parts) and the queueing with subfolders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/format_tables.h"
#include "platform/file_system.h"
#include "runlist/folder_scan.h"
#include "runlist/input_queue.h"
#include "runlist/list_file.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using Paths = std::vector<std::string>;

class BatchInputsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    g_settings = Settings{};
    ResetRunState();
  }
  std::string Touch(const std::string& name, const std::string& text = "x") {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(fs::MakeFolders(fs::FolderOf(path)));
    EXPECT_TRUE(test::WriteText(path, text));
    return path;
  }
  test::TempDir dir_;
};

TEST_F(BatchInputsTest, ListTextGivesOneNormalisedPathALine) {
  struct Case {
    const char* name;
    std::string text;
    Paths paths;
  };
  const Case cases[] = {
      {"relative and absolute", "a.pct\n/x/b.pict\n", {"/l/a.pct", "/x/b.pict"}},
      {"CR LF, no final line end", "a.pct\r\nsub/b.pct", {"/l/a.pct", "/l/sub/b.pct"}},
      {"blank and comment lines", "\n#a.pct\n   \n\t\nb.pct\n\n", {"/l/b.pct"}},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "a.pct\n",
       {"/l/a.pct"}},
      {"dot parts folded",
       "./sub/../a.pct\n..//up.pct\n../../../../r.pct\n",
       {"/l/a.pct", "/up.pct", "/r.pct"}},
      {"blanks and odd bytes are part of the name",
       " a b.pct \n\xFF\x01.pct\n",
       {"/l/ a b.pct ", "/l/\xFF\x01.pct"}},
      {"empty", "", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseInputList(c.text, "/l/"), c.paths) << c.name;
  }
}

TEST_F(BatchInputsTest, ListsThatAreNoTextAreRefused) {
  Paths paths;
  const std::string good = Touch("good.lst", "a.pct\n");
  EXPECT_TRUE(ReadInputList(good, &paths));
  EXPECT_EQ(paths, Paths{dir_.File("a.pct")});
  EXPECT_FALSE(ReadInputList(Touch("nul.lst", std::string("a.pct\0b", 7)), &paths));
  EXPECT_FALSE(ReadInputList("/dev/zero", &paths));
  EXPECT_FALSE(ReadInputList(dir_.path(), &paths));
  EXPECT_FALSE(ReadInputList(dir_.File("missing.lst"), &paths));
  const std::string big = dir_.File("big.lst");
  ASSERT_TRUE(test::WriteText(big, ""));
  ASSERT_EQ(truncate(big.c_str(), kMaxListBytes + 1), 0);
  EXPECT_FALSE(ReadInputList(big, &paths));
}

TEST_F(BatchInputsTest, FolderWalkFindsPicturesInByteOrderWithoutFollowingFolderLinks) {
  const std::string root = dir_.File("in/");
  const Paths expected = {
      Touch("in/A.PCT"),           Touch("in/b.pict"),
      Touch("in/line\nbreak.pic"), Touch("in/sub/deeper/c.pct"),
      Touch("in/sub/z.pct"),       Touch("in/\xFF\xFE.pct"),
  };
  Touch("in/notes.txt");
  Touch("in/image.png");
  Touch("elsewhere/outside.pct");
  ASSERT_EQ(symlink(root.c_str(), (root + "sub/loop").c_str()), 0);
  ASSERT_EQ(symlink(dir_.File("elsewhere").c_str(), (root + "linked").c_str()), 0);
  ASSERT_EQ(symlink(dir_.File("elsewhere/outside.pct").c_str(), (root + "sub/link.pct").c_str()),
            0);
  ASSERT_EQ(symlink((root + "gone.pct").c_str(), (root + "dangling.pct").c_str()), 0);
  ASSERT_EQ(symlink((root + "self.pct").c_str(), (root + "self.pct").c_str()), 0);

  FolderScan scan = ScanFolder(root);
  Paths want = expected;
  want.push_back(root + "sub/link.pct");
  std::sort(want.begin(), want.end());
  EXPECT_EQ(scan.files, want);
  ASSERT_EQ(scan.problems.size(), 2u);
  EXPECT_EQ(scan.problems[0].path, root + "dangling.pct");
  EXPECT_EQ(scan.problems[1].path, root + "self.pct");
  EXPECT_FALSE(scan.problems[0].folder);

  // A folder that cannot be read is reported; the rest is still walked.
  if (geteuid() != 0) {
    ASSERT_EQ(chmod((root + "sub").c_str(), 0), 0);
    scan = ScanFolder(root);
    chmod((root + "sub").c_str(), 0755);
    ASSERT_EQ(scan.problems.size(), 3u);
    EXPECT_EQ(scan.problems.back().path, root + "sub/");
    EXPECT_TRUE(scan.problems.back().folder);
    EXPECT_EQ(scan.files.size(), 4u);
  }
}

TEST_F(BatchInputsTest, QueueingKeepsEarlierEntriesAndRecordsTheSubfolder) {
  const std::string base = dir_.File("base/");
  const std::string a = Touch("base/a.pct");
  const std::string b = Touch("base/x/y/b.PICT");
  const std::string outside = Touch("outside.pct");
  std::string reason;
  for (const std::string& path : {a, b, outside}) {
    ASSERT_TRUE(QueueInputFile(path, base, &reason)) << path;
  }
  EXPECT_EQ(g_input_list.size(), 3u);
  EXPECT_EQ(g_input_list[a].relative_subfolder, "");
  EXPECT_EQ(g_input_list[b].relative_subfolder, "x/y/");
  EXPECT_EQ(g_input_list[outside].relative_subfolder, "");

  Touch("base/folder.pct/inner.pct");
  const std::string device = dir_.File("device.pct");
  ASSERT_EQ(symlink("/dev/zero", device.c_str()), 0);
  struct Refusal {
    std::string path;
    const char* reason;
  };
  const Refusal refusals[] = {
      {dir_.File("missing.pct"), "not found"},
      {dir_.File("base/folder.pct"), "a folder"},
      {Touch("notes.txt"), "not a PICT file (by its extension)"},
      {device, "not a regular file"},
      {Touch("empty.pct", ""), "empty"},
  };
  for (const Refusal& r : refusals) {
    EXPECT_FALSE(QueueInputFile(r.path, base, &reason)) << r.path;
    EXPECT_EQ(reason, r.reason) << r.path;
  }
  EXPECT_EQ(g_input_list.size(), 3u);
}

}  // namespace
}  // namespace pic2jpg
