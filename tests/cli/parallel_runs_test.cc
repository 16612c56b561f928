// Console runs side by side, as scripts start them (xargs -P, GNU parallel,
// make -j): none waits for or refuses another, also while a window of the
// same version holds the single-instance lock, and runs that write the same
// output name at once leave one whole file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/directory.h"
#include "platform/file_system.h"
#include "platform/instance_lock.h"
#include "support/test_support.h"
#include "text/identity.h"

namespace pic2jpg {
namespace {

class ParallelRunsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime_ = dir_.File("runtime");
    ASSERT_TRUE(fs::MakeFolder(runtime_));
    ASSERT_EQ(chmod(runtime_.c_str(), 0700), 0);
    ASSERT_TRUE(fs::MakeFolder(dir_.File("in")));
    ASSERT_TRUE(fs::MakeFolder(dir_.File("out")));
  }
  // Runs a shell line with $P the program, every run sharing one runtime
  // folder (and so one instance lock).
  test::RunResult Shell(const std::string& line) {
    return test::Run("/bin/sh", {"-c", line},
                     {"P=" + std::string(PIC2JPG_EXE), "XDG_RUNTIME_DIR=" + runtime_});
  }
  std::vector<std::string> Names(const std::string& folder) {
    std::vector<fs::FolderEntry> entries;
    std::vector<std::string> names;
    if (fs::ListFolder(folder, &entries)) {
      for (const fs::FolderEntry& entry : entries) names.push_back(entry.name);
    }
    return names;
  }
  test::TempDir dir_;
  std::string runtime_;
};

TEST_F(ParallelRunsTest, FortyRunsByXargsBesideAWindowAllConvert) {
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(test::CopyFile(test::DataFile(i % 2 == 0 ? "FLAG_B24.PCT" : "TRU256.PCT"),
                               dir_.File("in/p" + std::to_string(i) + ".pct")));
  }
  // The window's lock, as an open window holds it.
  ASSERT_EQ(setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1), 0);
  platform::InstanceLock window = platform::AcquireInstanceLock(TitleWithVersion());
  ASSERT_GE(window.handle, 0) << window.error;

  test::RunResult run = Shell("cd '" + dir_.path() +
                              "' && ls in/*.pct | xargs -P4 -n1 sh -c "
                              "'\"$P\" -q -i \"$0\" -o out; echo \"$0 $?\" >> statuses'");
  platform::ReleaseInstanceLock(window.handle);
  EXPECT_EQ(run.exit_status, 0) << run.error;
  EXPECT_EQ(run.error, "");
  EXPECT_EQ(Names(dir_.File("out")).size(), 40u);
  test::RunResult statuses;
  statuses.output = test::ReadText(dir_.File("statuses"));
  std::vector<std::string> lines = statuses.Lines();
  ASSERT_EQ(lines.size(), 40u) << statuses.output;
  for (const std::string& line : lines) EXPECT_TRUE(line.ends_with(".pct 0")) << line;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "p" + std::to_string(i);
    const char* reference = i % 2 == 0 ? "FLAG_B24.PCT.png" : "TRU256.PCT.png";
    EXPECT_GT(test::PsnrOfFiles(dir_.File("out/" + name + ".jpg"), test::DataFile(reference)), 30)
        << name;
  }
}

TEST_F(ParallelRunsTest, RunsWritingOneNameAtOnceLeaveOneWholePicture) {
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), dir_.File("in/flag.pct")));
  ASSERT_TRUE(test::CopyFile(test::DataFile("TRU256.PCT"), dir_.File("in/tru.pct")));
  test::RunResult run = Shell("cd '" + dir_.path() +
                              "' && for i in 1 2 3 4 5 6; do echo in/flag.pct; echo in/tru.pct; "
                              "done | xargs -P6 -n1 \"$P\" -q --filename-mask=same.jpg -o out -i");
  EXPECT_EQ(run.exit_status, 0) << run.error;
  // Only the finished picture: no temporary file is left beside it.
  EXPECT_EQ(Names(dir_.File("out")), std::vector<std::string>{"same.jpg"});
  const std::string same = dir_.File("out/same.jpg");
  const double flag = test::PsnrOfFiles(same, test::DataFile("FLAG_B24.PCT.png"));
  const double tru = test::PsnrOfFiles(same, test::DataFile("TRU256.PCT.png"));
  EXPECT_TRUE(flag > 30 || tru > 30) << flag << " " << tru;
}

// The local form of docs/scale-out.md: a list of 1,000 pictures (and one
// entry that is gone) split into parts, one quiet run a part under GNU
// parallel; every picture is converted, and the one failure comes back on
// standard error as its one line, with the failed job counted in parallel's
// status.
TEST_F(ParallelRunsTest, ParallelOverListPartsConvertsAThousandFiles) {
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), dir_.File("in/p0000.pct")));
  test::RunResult run =
      Shell("cd '" + dir_.path() +
            "' && for i in $(seq -w 1 999); do cp in/p0000.pct in/p$i.pct; done"
            " && { find \"$PWD/in\" -name '*.pct' | sort; echo \"$PWD/in/gone.pct\"; } > all.lst"
            " && mkdir parts && split -n l/4 --additional-suffix=.lst all.lst parts/part-"
            " && parallel -j4 \"$P\" -q -i {} -o out ::: parts/*.lst");
  EXPECT_EQ(run.exit_status, 1) << run.error;  // one job failed
  EXPECT_EQ(run.output, "");
  EXPECT_EQ(run.error, "pic2jpg: " + dir_.File("in/gone.pct") + ": not found\n");
  EXPECT_EQ(Names(dir_.File("out")).size(), 1000u);
  EXPECT_GT(test::PsnrOfFiles(dir_.File("out/p500.jpg"), test::DataFile("FLAG_B24.PCT.png")), 30);
}

}  // namespace
}  // namespace pic2jpg
