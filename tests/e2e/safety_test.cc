// The built program against hostile settings and a hostile machine: masks
// that lead out of the output folder, damaged pictures, a full disk, hostile
// watermark files, the umask, signals in the middle of a file, names at the
// file system's length limit, and the warnings for options passed over.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Files in a folder, hidden ones included.
std::vector<std::string> Listing(const std::string& folder) {
  return test::Run("/bin/ls", {"-A", folder}).Lines();
}

int ModeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}

// pic2jpg run through the shell, for a umask or a resource limit first.
test::RunResult RunWithShellPrefix(const std::string& prefix,
                                   const std::vector<std::string>& args) {
  std::vector<std::string> shell_args = {"-c", prefix + "; exec \"$0\" \"$@\"", PIC2JPG_EXE};
  shell_args.insert(shell_args.end(), args.begin(), args.end());
  return test::Run("/bin/sh", shell_args);
}

class SafetyTest : public ::testing::Test {
 protected:
  std::string Input(const std::string& name) {
    std::string path = in_.File(name);
    test::CopyFile(test::DataFile(name), path);
    return path;
  }
  test::TempDir in_;
  test::TempDir out_;
};

TEST_F(SafetyTest, MasksThatLeaveTheOutputFolderAreRefusedAndCreateNothing) {
  const std::string input = Input("FLAG_B24.PCT");
  const std::string outside = out_.File("notes.txt");
  test::WriteText(outside, "my notes");
  const std::string folder = out_.File("converted/");
  ASSERT_TRUE(fs::MakeFolder(folder));
  for (const char* mask : {"../notes.txt", "../../../x/%filename%.jpg", "/tmp/escaped-%n%.jpg",
                           "sub/../../notes.txt", ".."}) {
    SCOPED_TRACE(mask);
    test::RunResult r =
        test::RunPic2jpg({"-i", input, "-o", folder, std::string("--filename-mask=") + mask});
    EXPECT_EQ(r.exit_status, 1) << r.output << r.error;
    EXPECT_TRUE(Contains(r.output, "Error: Invalid filename mask")) << r.output;
    EXPECT_TRUE(Listing(folder).empty());
  }
  EXPECT_EQ(test::ReadText(outside), "my notes");
  EXPECT_FALSE(fs::Exists(out_.File("x")));
  // Folders inside the mask stay allowed.
  test::RunResult r =
      test::RunPic2jpg({"-i", input, "-o", folder, "--filename-mask=%ext%/deep/%filename%.jpg"});
  EXPECT_EQ(r.exit_status, 0) << r.output << r.error;
  EXPECT_TRUE(fs::IsRegularFile(folder + "jpg/deep/FLAG_B24.jpg"));
}

// What our reader refuses is not replaced by the codec library's guess; the
// file fails with its reason, and an earlier output stays as it was.
TEST_F(SafetyTest, DamagedPicturesFailWithTheirReasonAndKeepTheEarlierOutput) {
  const std::string whole = test::ReadText(test::DataFile("FC10.PCT"));
  struct Case {
    const char* stem;
    size_t length;
  };
  for (const Case& c : {Case{"cut-560", 560}, Case{"half", whole.size() / 2}}) {
    SCOPED_TRACE(c.stem);
    const std::string input = in_.File(std::string(c.stem) + ".pct");
    test::WriteText(input, whole.substr(0, c.length));
    const std::string output = out_.File(std::string(c.stem) + ".jpg");
    test::WriteText(output, "earlier good picture");
    test::RunResult r = test::RunPic2jpg({"-i", input, "-o", out_.path()});
    EXPECT_EQ(r.exit_status, 1) << r.output;
    EXPECT_TRUE(Contains(r.error, "pic2jpg: " + input + ": damaged picture")) << r.error;
    EXPECT_EQ(test::ReadText(output), "earlier good picture");
  }
}

// A temporary folder that cannot take the intermediate file (here a file
// size limit, as a full disk would) fails the file; the earlier output stays.
TEST_F(SafetyTest, AFullTemporaryFolderNeverReplacesAGoodOutput) {
  const std::string input = Input("FLAG_B24.PCT");
  const std::string output = out_.File("FLAG_B24.jpg");
  test::WriteText(output, "earlier good picture");
  // 40 blocks of 512 bytes: the 46 KB intermediate does not fit. A step
  // (the flip) needs the whole picture, so the picture goes through one;
  // without a step it streams to the encoder and needs none.
  test::RunResult r =
      RunWithShellPrefix("ulimit -f 40", {"-i", input, "-o", out_.path(), "--flip-vertical"});
  EXPECT_EQ(r.exit_status, 1) << r.output << r.error;
  EXPECT_TRUE(Contains(r.error, "cannot write the temporary file")) << r.error;
  EXPECT_EQ(test::ReadText(output), "earlier good picture");
  EXPECT_EQ(Listing(out_.path()).size(), 1u);
}

TEST_F(SafetyTest, WatermarkImagesAreLoadedOutsideTheProgram) {
  const std::string input = Input("FLAG_B24.PCT");
  const std::string one_byte = in_.File("one.pict");
  test::WriteText(one_byte, "x");
  const std::string garbage = in_.File("mark.png");
  test::WriteText(garbage, "not a picture at all");
  for (const std::string& mark : {one_byte, garbage}) {
    SCOPED_TRACE(mark);
    const auto start = std::chrono::steady_clock::now();
    test::RunResult r = test::RunPic2jpg({"-i", input, "-o", out_.path(), "--wm-image=" + mark});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(r.exit_status, 1) << r.output << r.error;
    EXPECT_TRUE(Contains(r.output, "Error: Invalid watermark image")) << r.output;
    EXPECT_TRUE(Contains(r.error, "pic2jpg: " + mark + ": ")) << r.error;
  }
  // A PICT picture the codec library's own reader dies on is read by ours.
  test::RunResult r =
      test::RunPic2jpg({"-i", input, "-o", out_.path(), "--wm-image=" + Input("FC10.PCT"), "-q"});
  EXPECT_EQ(r.exit_status, 0) << r.output << r.error;
  EXPECT_TRUE(fs::IsRegularFile(out_.File("FLAG_B24.jpg")));
}

TEST_F(SafetyTest, OutputFilesFollowTheUmaskAndKeepTheirMode) {
  const std::string input = Input("FLAG_B24.PCT");
  const std::string output = out_.File("FLAG_B24.jpg");
  test::RunResult r = RunWithShellPrefix("umask 077", {"-i", input, "-o", out_.path(), "-q"});
  ASSERT_EQ(r.exit_status, 0) << r.error;
  EXPECT_EQ(ModeOf(output), 0600);
  ASSERT_EQ(chmod(output.c_str(), 0640), 0);
  r = RunWithShellPrefix("umask 022", {"-i", input, "-o", out_.path(), "-q"});
  ASSERT_EQ(r.exit_status, 0) << r.error;
  EXPECT_EQ(ModeOf(output), 0640);
}

TEST_F(SafetyTest, NamesAtTheLengthLimitConvert) {
  const std::string stem(251, 'p');  // 251 + ".pct": 255 bytes, the limit
  const std::string input = in_.File(stem + ".pct");
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), input));
  test::RunResult r = test::RunPic2jpg({"-i", input, "-o", out_.path()});
  EXPECT_EQ(r.exit_status, 0) << r.output << r.error;
  EXPECT_TRUE(fs::IsRegularFile(out_.File(stem + ".jpg")));
}

TEST_F(SafetyTest, OptionsPassedOverAreNamedOnStandardError) {
  const std::string input = Input("FLAG_B24.PCT");
  struct Case {
    std::vector<std::string> extra;
    const char* warning;
  };
  const Case cases[] = {
      {{"--jpg-qualty=5"}, "pic2jpg: warning: unknown option --jpg-qualty ignored"},
      {{"--rotation=-90"}, "pic2jpg: warning: rotation -90 is outside 1-359"},
      {{"--width=-5", "--height=10"}, "pic2jpg: warning: a negative width or height"},
      {{"stray.pict"}, "pic2jpg: warning: parameter \"stray.pict\" ignored"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.warning);
    std::vector<std::string> args = {"-i", input, "-o", out_.path(), "-q"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    test::RunResult r = test::RunPic2jpg(args);
    EXPECT_EQ(r.exit_status, 0) << r.error;
    EXPECT_TRUE(Contains(r.error, c.warning)) << r.error;
    EXPECT_EQ(r.output, "");
  }
}

// A converter that never finishes: it writes part of its output, leaves its
// process id for the test and sleeps.
std::string WriteSlowConverter(const test::TempDir& dir) {
  const std::string script = dir.File("slow-converter");
  test::WriteText(script,
                  "#!/bin/sh\n"
                  "for last; do :; done\n"
                  "printf partial > \"$last\"\n"
                  "echo $$ > " +
                      dir.File("converter.pid") +
                      "\n"
                      "exec sleep 60\n");
  chmod(script.c_str(), 0755);
  return script;
}

pid_t WaitForPidFile(const std::string& path) {
  for (int i = 0; i < 1000; ++i) {
    std::string text = test::ReadText(path);
    if (!text.empty() && text.back() == '\n') return static_cast<pid_t>(std::stol(text));
    usleep(10000);
  }
  return -1;
}

bool GoneWithin(pid_t pid, int milliseconds) {
  for (int i = 0; i < milliseconds / 10; ++i) {
    std::string stat = test::ReadText("/proc/" + std::to_string(pid) + "/stat");
    size_t paren = stat.rfind(')');
    if (stat.empty() || (paren != std::string::npos && stat[paren + 2] == 'Z')) return true;
    usleep(10000);
  }
  return false;
}

std::vector<std::string> TempFoldersOfOurs(const std::string& temp) {
  std::vector<std::string> ours;
  for (const std::string& name : Listing(temp)) {
    if (name.starts_with("pic2jpg-")) ours.push_back(name);
  }
  return ours;
}

// Interrupted in the middle of a file, the program takes its converter and
// its temporary files with it. Killed outright it cannot, but the converter
// still dies with it and the next start clears what was left.
TEST_F(SafetyTest, SignalsLeaveNoTemporaryFilesAndNoConverterBehind) {
  test::TempDir scratch;
  const std::string temp = scratch.File("tmp/");
  const std::string runtime = scratch.File("run/");
  ASSERT_TRUE(fs::MakeFolder(temp) && fs::MakeFolder(runtime));
  chmod(runtime.c_str(), 0700);
  const std::vector<std::string> env = {"PIC2JPG_CONVERTER=" + WriteSlowConverter(scratch),
                                        "TMPDIR=" + temp, "XDG_RUNTIME_DIR=" + runtime};
  const std::string input = Input("FLAG_B24.PCT");
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
    SCOPED_TRACE(signal_number);
    fs::RemoveFile(scratch.File("converter.pid"));
    pid_t pid = test::StartProgram(PIC2JPG_EXE, {"-i", input, "-o", out_.path()}, env);
    ASSERT_GT(pid, 0);
    pid_t converter = WaitForPidFile(scratch.File("converter.pid"));
    ASSERT_GT(converter, 0);
    EXPECT_EQ(TempFoldersOfOurs(temp).size(), 1u);
    kill(pid, signal_number);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number);
    EXPECT_TRUE(GoneWithin(converter, 3000));
    if (signal_number == SIGKILL) {
      EXPECT_EQ(TempFoldersOfOurs(temp).size(), 1u);
      test::RunResult next = test::Run(PIC2JPG_EXE, {"--version"}, env);
      EXPECT_EQ(next.exit_status, 0);
    }
    EXPECT_TRUE(TempFoldersOfOurs(temp).empty());
    EXPECT_TRUE(Listing(out_.path()).empty());
  }
}

}  // namespace
}  // namespace pic2jpg
