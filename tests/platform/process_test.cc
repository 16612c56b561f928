// Running other programs: exit statuses, signals, children that outlive
// their timeout or their parent, and their standard error.
#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

TEST(ProcessTest, RunProgramReportsHowTheProgramEnded) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int timeout_seconds;
    int expected;
  };
  const Case kCases[] = {
      {"success", {"-c", "exit 0"}, 0, 0},
      {"exit status", {"-c", "exit 3"}, 0, 3},
      {"exit status, waited with a timeout", {"-c", "exit 5"}, 30, 5},
      {"ended by a signal", {"-c", "kill -TERM $$"}, 30, 128 + SIGTERM},
      {"past its timeout: killed", {"-c", "sleep 30"}, 1, 128 + SIGKILL},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(platform::RunProgram("/bin/sh", c.args, c.timeout_seconds), c.expected);
  }
  EXPECT_NE(platform::RunProgram("/nonexistent/program", {}, 5), 0);
}

TEST(ProcessTest, StandardErrorIsKeptWhenAskedFor) {
  std::string error;
  EXPECT_EQ(
      platform::RunProgram("/bin/sh", {"-c", "echo out; echo bad input >&2; exit 3"}, 10, &error),
      3);
  EXPECT_EQ(error, "bad input\n");
  // A flood is cut, not waited on: the child must not block on a full pipe.
  EXPECT_EQ(platform::RunProgram("/bin/sh", {"-c", "head -c 1000000 /dev/zero >&2"}, 10, &error),
            0);
  EXPECT_EQ(error.size(), 4096u);
  EXPECT_EQ(platform::RunProgram("/nonexistent/program", {}, 5, &error), -1);
  EXPECT_FALSE(error.empty());
}

bool ProcessGone(pid_t pid) {
  std::string stat;
  if (!fs::ReadFile("/proc/" + std::to_string(pid) + "/stat", &stat)) return true;
  size_t paren = stat.rfind(')');
  return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] == 'Z';
}

// A child must not outlive a parent killed without warning (SIGKILL leaves
// no handler a chance): the kernel ends it.
TEST(ProcessTest, ChildDiesWithItsParent) {
  test::TempDir dir;
  const std::string pid_file = dir.File("child.pid");
  pid_t parent = fork();
  ASSERT_GE(parent, 0);
  if (parent == 0) {
    platform::RunProgram("/bin/sh", {"-c", "echo $$ > " + pid_file + "; exec sleep 60"});
    _exit(0);
  }
  std::string text;
  for (int i = 0; i < 500 && (!fs::ReadFile(pid_file, &text) || text.empty()); ++i) usleep(10000);
  ASSERT_FALSE(text.empty());
  const pid_t child = static_cast<pid_t>(std::stol(text));
  kill(parent, SIGKILL);
  waitpid(parent, nullptr, 0);
  bool gone = false;
  for (int i = 0; i < 300 && !gone; ++i) {
    gone = ProcessGone(child);
    if (!gone) usleep(10000);
  }
  EXPECT_TRUE(gone);
  if (!gone) kill(child, SIGKILL);
}

}  // namespace
}  // namespace pic2jpg
