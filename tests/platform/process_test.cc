// Running other programs and isolated work: exit statuses, signals, and
// children that outlive their timeout.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

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

int Succeed(void*) { return 0; }
int ReturnContext(void* context) { return *static_cast<int*>(context); }
[[noreturn]] int Crash(void*) { std::abort(); }
int Hang(void*) {
  while (true) pause();
}

TEST(ProcessTest, IsolatedWorkReportsItsEndWithoutHarmingTheCaller) {
  int seven = 7;
  struct Case {
    const char* name;
    int (*work)(void*);
    int timeout_seconds;
    int expected;
  };
  const Case kCases[] = {
      {"success", Succeed, 0, 0},
      {"the work's own status", ReturnContext, 10, 7},
      {"a crash", Crash, 10, 128 + SIGABRT},
      {"past its timeout: killed", Hang, 1, 128 + SIGKILL},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(platform::RunIsolated(c.work, &seven, c.timeout_seconds), c.expected);
  }
}

}  // namespace
}  // namespace pic2jpg
