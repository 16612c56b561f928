// How the built program starts where a Linux user starts it: without a
// display (ssh, a text console, a server) a window mode answers with one
// line instead of a toolkit abort, and the usage text names the program as
// it was called.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using Args = std::vector<std::string>;

TEST(ProgramStartTest, WithoutADisplayAWindowModeSaysHowToConvert) {
  test::TempDir dir;
  ASSERT_TRUE(fs::MakeFolder(dir.File("run")));
  ASSERT_EQ(chmod(dir.File("run").c_str(), 0700), 0);
  ASSERT_TRUE(fs::MakeFolder(dir.File("tmp")));
  ASSERT_TRUE(test::CopyFile(test::DataFile("sample.pict"), dir.File("photo.pict")));
  const Args modes[] = {
      {}, {dir.File("photo.pict")}, {"--jpg-quality=80"}, {"-U"}, {"-T", dir.path()}};
  // No display at all, one whose server is gone, one that never was.
  const std::vector<std::string> displays[] = {
      {"DISPLAY=", "WAYLAND_DISPLAY="},
      {"DISPLAY=:59000", "WAYLAND_DISPLAY="},
      {"DISPLAY=", "WAYLAND_DISPLAY=" + dir.File("photo.pict")},
  };
  for (const std::vector<std::string>& display : displays) {
    for (const Args& args : modes) {
      std::vector<std::string> env = display;
      env.push_back("XDG_RUNTIME_DIR=" + dir.File("run"));
      env.push_back("TMPDIR=" + dir.File("tmp"));
      test::RunResult run = test::RunPic2jpg(args, env);
      const std::string what = display[0] + " " + display[1] + " " + (args.empty() ? "" : args[0]);
      EXPECT_EQ(run.exit_status, 1) << what;
      EXPECT_EQ(run.output, "") << what;
      EXPECT_TRUE(run.error.starts_with("pic2jpg: no display to open the window on; ")) << what;
      EXPECT_EQ(run.error.find('\n'), run.error.size() - 1) << what << run.error;
      // No lock, no socket, no temporary folder left behind.
      std::vector<fs::FolderEntry> left;
      ASSERT_TRUE(fs::ListFolder(dir.File("run"), &left));
      EXPECT_TRUE(left.empty()) << what;
      ASSERT_TRUE(fs::ListFolder(dir.File("tmp"), &left));
      EXPECT_TRUE(left.empty()) << what;
    }
  }
  EXPECT_FALSE(fs::Exists(dir.File("quorvel1.jpg")));
}

TEST(ProgramStartTest, TheUsageTextNamesTheProgramAsCalled) {
  test::TempDir dir;
  const std::string link = dir.File("p2j");
  ASSERT_EQ(symlink(PIC2JPG_EXE, link.c_str()), 0);
  test::RunResult run = test::Run(link, {"--help"});
  EXPECT_EQ(run.exit_status, 0);
  const std::vector<std::string> lines = run.Lines();
  ASSERT_GT(lines.size(), 3u);
  EXPECT_EQ(lines[1], "Usage: p2j -i <filename> [options]");
  EXPECT_TRUE(lines[3].starts_with("  p2j -i ")) << lines[3];
}

}  // namespace
}  // namespace pic2jpg
