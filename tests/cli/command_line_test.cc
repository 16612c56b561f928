#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/format_tables.h"

namespace pic2jpg {
namespace {

// Command lines that name no input (and parse) start the desktop; the
// uninstall page and the screenshot mode are the desktop's too. Nothing of
// these prints or ends the process: main decides.
TEST(RunCommandLineTest, DesktopModesAreReturnedToMain) {
  RegisterFormats();
  struct Case {
    std::vector<std::string> args;
    NextStep next;
    std::string path;
  };
  const Case cases[] = {
      {{}, NextStep::kDesktop, ""},
      {{"--jpg-quality=80"}, NextStep::kDesktop, ""},
      {{"-d", "-q", "-p"}, NextStep::kDesktop, ""},
      {{"-x", "--unknown"}, NextStep::kDesktop, ""},
      // What a file manager passes: one path, taken as a dropped file.
      {{"/data/photo.pict"}, NextStep::kDesktop, "/data/photo.pict"},
      {{" photo.pic "}, NextStep::kDesktop, "photo.pic"},
      {{"photo.pic", "other.pic"}, NextStep::kDesktop, ""},
      {{"-U"}, NextStep::kUninstall, ""},
      {{"-u", "-i", "photo.pic"}, NextStep::kUninstall, ""},
      {{"-T", "/tmp"}, NextStep::kScreenshots, "/tmp"},
      // A screenshot folder that is not there ends in the console.
      {{"-T", "/nonexistent/shots"}, NextStep::kEnd, ""},
      {{"-t"}, NextStep::kScreenshots, ""},
      {{"-i"}, NextStep::kEnd, ""},
  };
  for (const Case& c : cases) {
    CommandLineResult result = RunCommandLine(c.args);
    const std::string name = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(result.next, c.next) << name;
    EXPECT_EQ(result.path, c.path) << name;
  }
}

}  // namespace
}  // namespace pic2jpg
