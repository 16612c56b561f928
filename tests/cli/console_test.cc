// The command line as a user meets it: the built program run with real
// arguments, its printed lines and its exit status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/usage_text.h"
#include "support/test_support.h"
#include "text/identity.h"
#include "text/program_version.h"

namespace pic2jpg {
namespace {

using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;

// What --help and --version must print: the program's own texts (the
// tests check that the built program prints them, not their wording).
const Lines kUsage = [] {
  Lines lines = UsageLines(kProgramFileName);
  for (std::string& line : lines) {
    if (line.empty()) line = " ";  // an empty line is printed as one space
  }
  return lines;
}();
const std::string kVersion = VersionText(kProgramVersion);

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
      {{"-v"}, {kVersion}},
      {{"-V"}, {kVersion}},
      {{"--version"}, {kVersion}},
      {{"--Version", "--help"}, {kVersion}},
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
