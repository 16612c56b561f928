// Many files in one console run through the built program: a folder tree
// rebuilt below the output folder, a list file with bad entries, clashing
// output names, and an interrupted run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/directory.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using Lines = std::vector<std::string>;

bool Contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

Lines ErrorLines(const test::RunResult& run) {
  test::RunResult errors;
  errors.output = run.error;
  return errors.Lines();
}

Lines FilesBelow(const std::string& folder) { return test::FilesBelow(folder); }

class BatchRunTest : public ::testing::Test {
 protected:
  std::string Picture(const std::string& name) {
    const std::string path = dir_.File(name);
    EXPECT_TRUE(fs::MakeFolders(fs::FolderOf(path)));
    EXPECT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), path));
    return path;
  }
  test::TempDir dir_;
};

TEST_F(BatchRunTest, AFolderTreeIsRebuiltBelowTheOutputFolderInInputOrder) {
  Picture("in/b.pct");
  Picture("in/sub/a.PICT");
  Picture("in/sub/deeper/c.pic");
  Picture("in/line\nbreak.pct");
  test::WriteText(dir_.File("in/notes.txt"), "not a list: inside a folder only pictures count");
  // The output folder inside the input folder: its files are never inputs.
  const std::string out = dir_.File("in/out");
  ASSERT_TRUE(fs::MakeFolder(out));
  for (int round = 0; round < 2; ++round) {
    test::RunResult run = test::RunPic2jpg(
        {"-i", dir_.File("in"), "-o", out, "-d", "--filename-mask=%filename%_%n%.%ext%"});
    EXPECT_EQ(run.exit_status, 0) << run.output << run.error;
    const Lines lines = run.Lines();
    EXPECT_TRUE(Contains(lines, "Import complete, new files added: 4"));
    EXPECT_TRUE(Contains(lines, "Files converted: 4 of 4"));
    // One line per file, even for a name holding a line break.
    EXPECT_TRUE(Contains(lines, "Processing: " + dir_.File("in/line\\x0Abreak.pct")));
    EXPECT_EQ(run.error, "");
  }
  // Byte order of the paths numbers the files.
  EXPECT_EQ(FilesBelow(out + "/"), (Lines{"b_00001.jpg", "line\nbreak_00002.jpg", "sub/a_00003.jpg",
                                          "sub/deeper/c_00004.jpg"}));

  // Without an output folder each output goes beside its input, whatever
  // --no-subfolders says.
  test::RunResult run = test::RunPic2jpg({"-q", "-i", dir_.File("in/sub"), "--no-subfolders"});
  EXPECT_EQ(run.exit_status, 0) << run.error;
  EXPECT_TRUE(fs::Exists(dir_.File("in/sub/a.jpg")));
  EXPECT_TRUE(fs::Exists(dir_.File("in/sub/deeper/c.jpg")));
}

TEST_F(BatchRunTest, AListReportsEachBadEntryOnItsOwnLineAndConvertsTheRest) {
  Picture("pics/one.pct");
  Picture("pics/sub/two.pict");
  ASSERT_TRUE(fs::MakeFolder(dir_.File("folder.pct")));
  const std::string list = dir_.File("files.lst");
  ASSERT_TRUE(test::WriteText(list,
                              "# pictures to convert\r\n"
                              "pics/one.pct\r\n"
                              "\r\n" +
                                  dir_.File("pics/sub/two.pict") +
                                  "\r\n"
                                  "missing.pct\r\n"
                                  "files.lst\r\n"
                                  "/dev/zero\r\n"
                                  "folder.pct\r\n"
                                  "pics/one.pct\r\n"));
  const std::string out = dir_.File("out");
  ASSERT_TRUE(fs::MakeFolder(out));
  test::RunResult run = test::RunPic2jpg({"-i", list, "-o", out});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_TRUE(Contains(run.Lines(), "Files converted: 2 of 6")) << run.output;
  EXPECT_EQ(ErrorLines(run), (Lines{"pic2jpg: " + dir_.File("missing.pct") + ": not found",
                                    "pic2jpg: " + list + ": not a PICT file (by its extension)",
                                    "pic2jpg: /dev/zero: not a PICT file (by its extension)",
                                    "pic2jpg: " + dir_.File("folder.pct") + ": a folder"}));
  // Subfolders below the list's folder are kept.
  EXPECT_EQ(FilesBelow(out + "/"), (Lines{"pics/one.jpg", "pics/sub/two.jpg"}));

  // A list that is no text is not read at all.
  const std::string device_list = dir_.File("device.lst");
  ASSERT_EQ(symlink("/dev/zero", device_list.c_str()), 0);
  run = test::RunPic2jpg({"-q", "-i", device_list, "-o", out});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.Lines(), Lines{"Error: Invalid input file"});
}

TEST_F(BatchRunTest, TheSecondFileOfAnOutputNameIsRefusedNotWrittenOver) {
  Picture("in/a.pct");
  const std::string other = dir_.File("in/a.pict");
  ASSERT_TRUE(test::CopyFile(test::DataFile("TRU256.PCT"), other));
  test::RunResult run = test::RunPic2jpg({"-q", "-i", dir_.File("in")});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(ErrorLines(run), Lines{"pic2jpg: " + other + ": its output name is already taken by " +
                                   dir_.File("in/a.pct")});
  // The file is the first input's (FLAG_B24 is wider than TRU256).
  FIBITMAP* image = test::LoadImage(dir_.File("in/a.jpg"));
  FIBITMAP* first = test::LoadImage(test::DataFile("FLAG_B24.PCT.png"));
  ASSERT_NE(image, nullptr);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(image), FreeImage_GetWidth(first));
  FreeImage_Unload(image);
  FreeImage_Unload(first);
}

TEST_F(BatchRunTest, AnInterruptedRunKeepsWholeFilesOnly) {
  constexpr int kFiles = 100;
  for (int i = 0; i < kFiles; ++i) Picture("in/p" + std::to_string(100 + i) + ".pct");
  const std::string out = dir_.File("out/");
  ASSERT_TRUE(fs::MakeFolder(out));
  const std::string runtime = dir_.File("runtime");
  ASSERT_TRUE(fs::MakeFolder(runtime));
  const pid_t pid = test::StartProgram(PIC2JPG_EXE, {"-q", "-i", dir_.File("in"), "-o", out},
                                       {"XDG_RUNTIME_DIR=" + runtime});
  ASSERT_GT(pid, 0);
  // Interrupt once some files are written whole. A file being written may
  // show under a temporary name, where the file system has no unnamed files;
  // that one is not counted.
  const auto whole_files = [&out] {
    const Lines names = FilesBelow(out);
    return std::count_if(names.begin(), names.end(),
                         [](const std::string& name) { return name[0] != '.'; });
  };
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (whole_files() < 3 && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const Lines written = FilesBelow(out);
  EXPECT_GE(written.size(), 3u);
  EXPECT_LT(written.size(), static_cast<size_t>(kFiles));
  for (const std::string& name : written) {
    EXPECT_TRUE(name.ends_with(".jpg") && name[0] == 'p') << name;
    FIBITMAP* image = test::LoadImage(out + name);
    EXPECT_NE(image, nullptr) << name;
    if (image != nullptr) FreeImage_Unload(image);
  }
}

}  // namespace
}  // namespace pic2jpg
