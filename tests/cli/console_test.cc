// The command line as a user meets it: the built program run with real
// arguments, its printed lines and its exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace pic2jpg {
namespace {

using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;

const Lines kUsage = {
    " ",
    "Usage: pic2jpg -i <filename> [options]",
    " ",
    "  pic2jpg -i example.pic",
    "  pic2jpg -i /tmp/example.pic",
    "  pic2jpg -i /tmp/example.pic -o ~/converted",
    "  pic2jpg -i /tmp/example.pic -o ~/converted --jpg-quality=95",
    " ",
    "Options:",
    " ",
    "  -h, -?, --help            Display this help and exit",
    "  -i FILE, --input=FILE     Set input file, or a folder or .lst list of files",
    "  -o PATH, --output=PATH    Set output folder",
    "  -c STR, --conversion=STR  Set output extension, STR = jpg",
    " ",
    "Advanced options:",
    " ",
    "  --width=NUM               Set output image width",
    "  --height=NUM              Set output image height",
    "  --filename-mask=STR       Define output filename format (lower-cased)",
    "  --flip-horizontal         Flip output image horizontally",
    "  --flip-vertical           Flip output image vertically",
    "  --brightness=NUM          Set output image brightness, NUM = -100..100",
    "  --contrast=NUM            Set output image contrast, NUM = -100..100",
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
    "  --invert                  Invert output image",
    "  --greyscale               Greyscale output image",
    "  --profile=FILE            Set configuration file with required settings",
    "    ...                     Refer documentation for all available options",
    " ",
    "Other options:",
    " ",
    "  -q, --quiet               Don't print status messages to stdout",
    "  -d, --debug               Print debug information to stdout",
    "  -p, --pause               Pause at exit",
    "  -v, --version             Display version information and exit",
    " ",
    "Every option is described in the manual page pic2jpg(1): man pic2jpg",
};

TEST(HelpAndVersionTest, FirstParameterSwitches) {
  struct Case {
    Args args;
    Lines lines;
  };
  const Case cases[] = {
      {{"--help"}, kUsage},
      {{"-h"}, kUsage},
      {{"-H"}, kUsage},
      {{"-?"}, kUsage},
      {{"--HELP=now", "-i", "x.pic"}, kUsage},
      {{" --help "}, kUsage},
      {{"-v"}, {"2.7"}},
      {{"-V"}, {"2.7"}},
      {{"--version"}, {"2.7"}},
      {{"--Version", "--help"}, {"2.7"}},
  };
  for (const Case& c : cases) {
    test::RunResult run = test::RunPic2jpg(c.args);
    EXPECT_EQ(run.exit_status, 0) << c.args[0];
    EXPECT_EQ(run.Lines(), c.lines) << c.args[0];
    // Standard output is no terminal here: no title sequence.
    EXPECT_EQ(run.output.find('\033'), std::string::npos);
  }
}

TEST(ParameterErrorTest, OneErrorLineAndNoConversion) {
  test::TempDir dir;
  const std::string missing_profile = dir.File("missing.ini");
  struct Case {
    Args args;
    const char* line;
  };
  const Case cases[] = {
      {{"-i"}, "Error: Incorrect number of parameters"},
      {{"-i", "-o", "out"}, "Error: Incorrect number of parameters"},
      {{"--input"}, "Error: Incorrect number of parameters"},
      {{"-i", "photo.pic", "-o"}, "Error: Incorrect number of parameters"},
      {{"-i", "photo.pic", "--width"}, "Error: Incorrect number of parameters"},
      {{"-i", "photo.pic", "--jpg-quality="}, "Error: Incorrect number of parameters"},
      {{"-i", "photo.pic", "--wm-text=--x"}, "Error: Incorrect number of parameters"},
      {{"-i", "photo.pic", "--profile"}, "Error: Incorrect number of parameters"},
      // Quiet before the error does not hide it; after it, it is never read.
      {{"-q", "-i"}, "Error: Incorrect number of parameters"},
      {{"-i", "-q"}, "Error: Incorrect number of parameters"},
      {{"--rotation", "-i", "photo.pic"}, "Error: Incorrect number of parameters"},
      {{"-i", "photo.pic", "--profile=" + missing_profile}, "Error: Invalid profile file"},
      {{"--profile=" + dir.path(), "-i", "photo.pic"}, "Error: Invalid profile file"},
  };
  for (const Case& c : cases) {
    test::RunResult run = test::RunPic2jpg(c.args);
    EXPECT_EQ(run.exit_status, 1) << c.args[0];
    EXPECT_EQ(run.Lines(), Lines{c.line}) << c.args[0];
  }
}

TEST(ParameterErrorTest, PauseAfterAnErrorDoesNotWaitWithoutATerminal) {
  test::RunResult run = test::RunPic2jpg({"-p", "-i"});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.Lines(), Lines{"Error: Incorrect number of parameters"});
}

}  // namespace
}  // namespace pic2jpg
