// Containers of PICT resources through the built program: a folder of
// pictures, AppleDouble companions, netatalk's folders, MacBinary, BinHex
// and Rez text converts every resource under its own name, with one line
// per resource that cannot be, and the containers stay as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using Lines = std::vector<std::string>;

Lines FilesBelow(const std::string& folder) { return test::FilesBelow(folder); }

class ContainerRunTest : public ::testing::Test {
 protected:
  // Copies a file of tests/data/containers into the input tree.
  std::string Put(const std::string& data_name, const std::string& as) {
    const std::string path = dir_.File("in/" + as);
    EXPECT_TRUE(fs::MakeFolders(fs::FolderOf(path)));
    EXPECT_TRUE(test::CopyFile(test::DataFile("containers/" + data_name), path));
    return path;
  }
  test::TempDir dir_;
};

TEST_F(ContainerRunTest, AMixedFolderConvertsEveryResourceAndNamesEachFailure) {
  ASSERT_TRUE(fs::MakeFolders(dir_.File("in/game/")));
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), dir_.File("in/game/flag.pct")));
  const std::string companion =
      Put("dashboard__._Routing_File_Icons", "game/._Routing & File Icons");
  Put("mactip__Iomega_Tester.rsrc.bin", "game/.AppleDouble/Tester");
  Put("playerpro__FadeNote.r", "game/FadeNote.r");
  // BinHex with one character of its resource fork changed.
  std::string hqx = test::ReadText(test::DataFile("containers/nethack__NH.rsrc.hqx"));
  hqx[hqx.size() / 2] = hqx[hqx.size() / 2] == 'A' ? 'B' : 'A';
  ASSERT_TRUE(test::WriteText(dir_.File("in/NH.hqx"), hqx));
  // A hostile name, and a hex string that never ends.
  const std::string rez =
      "data 'PICT' (7, \"../../x\\0x01y\") {\n"
      "  $\"000E 0000 0000 0008 0008 1101 A001 FF\"\n};\n"
      "data 'PICT' (8) {\n  $\"000E 0000\n};\n";
  ASSERT_TRUE(test::WriteText(dir_.File("in/evil.r"), rez));
  test::WriteText(dir_.File("in/notes.txt"), "plain text is neither picture nor container");
  const std::string before = test::ReadText(companion);

  const std::string out = dir_.File("out");
  ASSERT_TRUE(fs::MakeFolder(out));
  test::RunResult run = test::RunPic2jpg({"-q", "-i", dir_.File("in"), "-o", out});
  EXPECT_EQ(
      FilesBelow(out + "/"),
      (Lines{"evil-7-....xy.jpg", "game/FadeNote-128.jpg",
             "game/Routing & File Icons-1300-Print.jpg", "game/Routing & File Icons-1301-Fax.jpg",
             "game/Routing & File Icons-1302-Beam.jpg",
             "game/Routing & File Icons-1303-Duplicate.jpg",
             "game/Routing & File Icons-1304-Delete.jpg", "game/Routing & File Icons-1305-File.jpg",
             "game/Tester-128.jpg", "game/flag.jpg"}));
  // One line each: the empty resource 128 of the companion, the unterminated
  // string, the BinHex fork whose CRC fails; nothing about the text file.
  test::RunResult errors;
  errors.output = run.error;
  Lines lines = errors.Lines();
  lines.erase(std::remove(lines.begin(), lines.end(), ""), lines.end());
  ASSERT_EQ(lines.size(), 3u) << run.error;
  const std::string prefixes[] = {
      "pic2jpg: " + dir_.File("in/NH.hqx") + ": ",
      "pic2jpg: " + dir_.File("in/evil.r") + "#PICT 8: ", "pic2jpg: " + companion + "#PICT 128: "};
  for (const std::string& prefix : prefixes) {
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&](const std::string& l) { return l.starts_with(prefix); }),
              1)
        << prefix << "\n"
        << run.error;
  }
  EXPECT_NE(run.exit_status, 0);
  EXPECT_EQ(test::ReadText(companion), before);
}

TEST_F(ContainerRunTest, AContainerNamedAloneWritesBesideItself) {
  const std::string bin = Put("mactip__Iomega_Tester.rsrc.bin", "Tester.bin");
  const std::string hqx = Put("nethack__NH.rsrc.hqx", "NH.hqx");
  test::RunResult run = test::RunPic2jpg({"-q", "-i", bin});
  EXPECT_EQ(run.exit_status, 0) << run.error;
  run = test::RunPic2jpg({"-q", "-i", hqx, "--filename-mask=x_%filename%.%ext%"});
  EXPECT_EQ(run.exit_status, 0) << run.error;
  EXPECT_EQ(FilesBelow(dir_.File("in/")),
            (Lines{"NH.hqx", "Tester-128.jpg", "Tester.bin", "x_NH-100.jpg", "x_NH-5006.jpg"}));
  // A container with no PICT resources at all says so and fails.
  ASSERT_TRUE(test::WriteText(dir_.File("in/none.r"), "data 'STR ' (1) { $\"0141\" };\n"));
  run = test::RunPic2jpg({"-q", "-i", dir_.File("in/none.r")});
  EXPECT_NE(run.exit_status, 0);
  EXPECT_TRUE(run.error.starts_with("pic2jpg: " + dir_.File("in/none.r") + ": ")) << run.error;
}

TEST_F(ContainerRunTest, AContainerNamedLikeAPictureIsReadAsTheContainerItIs) {
  // Named alone, and met in a folder beside a real picture of the same kind
  // of name.
  const std::string bin = Put("mactip__Iomega_Tester.rsrc.bin", "one/Tester.pict");
  test::RunResult run = test::RunPic2jpg({"-q", "-i", bin});
  EXPECT_EQ(run.exit_status, 0) << run.error;
  Put("mactip__Iomega_Tester.rsrc.bin", "two/Tester.pct");
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), dir_.File("in/two/flag.pct")));
  run = test::RunPic2jpg({"-q", "-i", dir_.File("in/two")});
  EXPECT_EQ(run.exit_status, 0) << run.error;
  EXPECT_EQ(FilesBelow(dir_.File("in/")),
            (Lines{"one/Tester-128.jpg", "one/Tester.pict", "two/Tester-128.jpg", "two/Tester.pct",
                   "two/flag.jpg", "two/flag.pct"}));
}

}  // namespace
}  // namespace pic2jpg
