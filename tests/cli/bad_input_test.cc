// Hostile and careless command lines and profile files: none may crash, each
// ends with the line the console mode gives for it, and nothing half-written
// is left behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;

std::string Describe(const Args& args) {
  std::string text;
  for (const std::string& arg : args) text += "[" + arg.substr(0, 60) + "]";
  return text;
}

class BadInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::PutPhoto(dir_, &input_, &out_));
    out_ += "/";
  }
  // Runs quietly with the input and output folder in front of `extra`.
  test::RunResult Convert(const Args& extra) {
    Args args = {"-q", "-i", input_, "-o", out_};
    args.insert(args.end(), extra.begin(), extra.end());
    return test::RunPic2jpg(args);
  }
  test::TempDir dir_;
  std::string input_;
  std::string out_;
};

// Whatever the command line, the program ends normally with one of its
// statuses and prints only whole lines.
void ExpectOrderlyEnd(const test::RunResult& run, const std::string& label) {
  EXPECT_TRUE(run.exit_status == 0 || run.exit_status == 1 || run.exit_status == 2)
      << label << " status " << run.exit_status << "\n"
      << run.error;
  EXPECT_TRUE(run.output.empty() || run.output.back() == '\n') << label;
}

TEST_F(BadInputTest, CommandLinesThatStillConvert) {
  const Args cases[] = {
      {"--bogus", "-z", "--wm", "stray", "--", "-"},             // unknown options and words
      {"--jpg-chroma=nonsense", "--resize-algorithm=LANCZOS3"},  // unknown keywords give 0
      {"--jpg-quality=80abc"},                                   // digits up to the first other
      {"--jpg-quality=$64"},
      {"--jpg-quality=%1010000"},
      {"--png-interlaced=maybe", "--invert=no"},  // flags ignore their value
      {"--wm-text=\xFF\xFE not UTF-8 \xC3"},      // bytes that are no UTF-8
      {"--filename-mask=\xFF%filename%.%ext%"},
      {"--JPG-QUALITY=90", "--Jpg-Save-As=Simple"},  // names in any letter case
  };
  for (const Args& extra : cases) {
    test::RunResult run = Convert(extra);
    ExpectOrderlyEnd(run, Describe(extra));
    EXPECT_EQ(run.output, "") << Describe(extra);
  }
}

TEST_F(BadInputTest, CommandLinesThatEndWithAnErrorLine) {
  const std::string long_text(100000, 'x');
  struct Case {
    Args extra;
    const char* line;
  };
  const Case cases[] = {
      // Options without their "=" value, and empty values.
      {{"--width"}, "Error: Incorrect number of parameters"},
      {{"--filename-mask="}, "Error: Incorrect number of parameters"},
      {{"--wm-text="}, "Error: Incorrect number of parameters"},
      {{"-o", ""}, "Error: Incorrect number of parameters"},
      {{"-c"}, "Error: Incorrect number of parameters"},
      {{"--profile=--x"}, "Error: Incorrect number of parameters"},
      // Huge numbers are held at the ends of the 32-bit range.
      {{"--jpg-quality=99999999999999999999999999999999"}, "Error: Invalid jpg-quality value"},
      {{"--jpg-quality=-99999999999999999999999999999999"}, "Error: Invalid jpg-quality value"},
      {{"--brightness=$FFFFFFFFFFFFFFFFFFFFFFFF"}, "Error: Invalid brightness value"},
      {{"--gamma=1e999999"}, "Error: Invalid gamma value"},
      {{"--gamma=-Infinity"}, "Error: Invalid gamma value"},
      {{"--jpg-quality=" + long_text}, "Error: Invalid jpg-quality value"},  // "x..." reads 0
      {{"--resize-algorithm="}, "Error: Incorrect number of parameters"},
      {{"-c", long_text}, "Error: Invalid conversion type"},
      {{"-c", "jpg\xFF"}, "Error: Invalid conversion type"},
      {{"-o", "/" + long_text}, "Error: Invalid output folder"},
      {{"-o", "\xFF\xFE"}, "Error: Invalid output folder"},
      {{"--wm-image=\xFF.png"}, "Error: Invalid watermark image"},
  };
  for (const Case& c : cases) {
    test::RunResult run = Convert(c.extra);
    ExpectOrderlyEnd(run, Describe(c.extra));
    EXPECT_EQ(run.exit_status, 1) << Describe(c.extra);
    EXPECT_EQ(run.Lines(), Lines{c.line}) << Describe(c.extra);
  }
  EXPECT_FALSE(fs::Exists(out_ + "photo.jpg"));
}

TEST_F(BadInputTest, InputNamesThatAreNoFile) {
  const std::string long_name = dir_.File(std::string(5000, 'a') + ".pic");
  const Args cases[] = {
      {"-i", ""},         // empty: refused as a missing value
      {"-i", long_name},  // longer than the system allows
      {"-i", "\xFF\xFE\xFD.pic"},
      {"-i", "/dev/null.pic"},
      {"-i", ".pic"},  // a hidden file's name: its extension is "pic", but it is missing
                       // (A folder is an input of many files: batch_run_test.)
  };
  for (const Args& args : cases) {
    Args full = args;
    full.push_back("-q");
    test::RunResult run = test::RunPic2jpg(full);
    ExpectOrderlyEnd(run, Describe(args));
    EXPECT_EQ(run.exit_status, 1) << Describe(args);
    ASSERT_EQ(run.Lines().size(), 1u) << Describe(args) << run.output;
    const std::string line = run.Lines()[0];
    EXPECT_TRUE(line == "Error: Invalid input file" ||
                line == "Error: Incorrect number of parameters")
        << Describe(args) << ": " << line;
  }
}

TEST_F(BadInputTest, ProfilesOfEveryKind) {
  const std::string empty = dir_.File("empty.ini");
  ASSERT_TRUE(test::WriteText(empty, ""));
  std::string bytes;
  for (int i = 0; i < 65536; ++i) bytes += static_cast<char>((i * 7919) & 0xFF);
  const std::string binary = dir_.File("binary.ini");
  ASSERT_TRUE(test::WriteText(binary, bytes));
  // About 20 MB of keys; the last one wins.
  std::string big = "[CLI]\n";
  while (big.size() < (20u << 20))
    big += "--jpg-quality = 1\n--wm-font = " + std::string(200, 'f') + "\n";
  big += "--jpg-quality = 0\n";
  const std::string huge = dir_.File("huge.ini");
  ASSERT_TRUE(test::WriteText(huge, big));
  const std::string long_line = dir_.File("long-line.ini");
  ASSERT_TRUE(test::WriteText(
      long_line, "[CLI]\n--wm-text = " + std::string(4 << 20, 'w') + "\n--jpg-quality = 101\n"));

  struct Case {
    std::string profile;
    Lines lines;
  };
  const Case cases[] = {
      {dir_.File("missing.ini"), {"Error: Invalid profile file"}},
      {dir_.path(), {"Error: Invalid profile file"}},
      {"/dev/zero", {"Error: Invalid profile file"}},
      {empty, {}},
      {binary, {}},
      {huge, {"Error: Invalid jpg-quality value"}},
      {long_line, {"Error: Invalid jpg-quality value"}},
  };
  for (const Case& c : cases) {
    test::RunResult run = Convert({"--profile=" + c.profile});
    ExpectOrderlyEnd(run, c.profile);
    EXPECT_EQ(run.Lines(), c.lines) << c.profile;
    EXPECT_EQ(run.exit_status, c.lines.empty() ? 0 : 1) << c.profile;
    fs::RemoveFile(out_ + "photo.jpg");
  }
}

}  // namespace
}  // namespace pic2jpg
