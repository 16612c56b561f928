// The converter processes of a many-file run, driven by a stand-in converter
// that speaks the same protocol: files come back in any order of asking, a
// crash or a hang fails only its own file, and processes are reused.
#include "engine/batch_converter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

// Answers like pict2tga --serve; an input named *crash* ends the process by
// a signal, *hang* never answers, *bad* fails. Each start is logged.
constexpr const char* kStandIn = R"(#!/bin/bash
echo started >> "$(dirname "$0")/starts.log"
while IFS= read -r -d '' input && IFS= read -r -d '' output; do
  case "$input" in
    *crash*) kill -SEGV $$ ;;
    *hang*) sleep 60 ;;
    *bad*) message="pict2tga: $input: malformed: no picture"
           printf '3 %d\n%s' "${#message}" "$message" ;;
    *) printf 'targa of %s' "$input" > "$output"; echo 0 0 ;;
  esac
done
)";

class BatchConverterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    converter_.program = dir_.File("pict2tga");
    converter_.is_own_reader = true;
    ASSERT_TRUE(test::WriteText(converter_.program, kStandIn));
    ASSERT_EQ(chmod(converter_.program.c_str(), 0755), 0);
  }
  int Starts() const {
    const std::string log = test::ReadText(dir_.File("starts.log"));
    int lines = 0;
    for (char c : log) lines += c == '\n';
    return lines;
  }
  test::TempDir dir_;
  ExternalConverter converter_;
};

TEST_F(BatchConverterTest, ACrashOrAHangFailsOnlyItsOwnFile) {
  struct Case {
    std::string input;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {"/in/a.pct", 0, ""},
      {"/in/crash.pct", 128 + SIGSEGV, ""},
      {"/in/b.pct", 0, ""},
      {"/in/hang.pct", 128 + SIGKILL, ""},
      {"/in/bad.pct", 3, "pict2tga: /in/bad.pct: malformed: no picture"},
      {"/in/c.pct", 0, ""},
      {"/in/d.pct", 0, ""},
      {"/in/e.pct", 0, ""},
  };
  std::vector<std::string> inputs;
  for (const Case& c : cases) inputs.push_back(c.input);
  std::shared_ptr<ConverterPool> pool =
      StartConverterPool(converter_, inputs, 2, /*timeout_seconds=*/1);
  ASSERT_NE(pool, nullptr);
  for (const Case& c : cases) {
    const std::string targa = dir_.File(fs::NameOf(c.input) + ".tga");
    int status = -1;
    std::string message = "unset";
    ASSERT_TRUE(TakePooledConversion(pool.get(), c.input, targa, &status, &message)) << c.input;
    EXPECT_EQ(status, c.status) << c.input;
    EXPECT_EQ(message, c.message) << c.input;
    EXPECT_EQ(test::ReadText(targa), c.status == 0 ? "targa of " + c.input : "") << c.input;
  }
  // Asked twice, or never queued: the caller converts it itself.
  int status = 0;
  EXPECT_FALSE(
      TakePooledConversion(pool.get(), "/in/a.pct", dir_.File("again.tga"), &status, nullptr));
  EXPECT_FALSE(
      TakePooledConversion(pool.get(), "/in/other.pct", dir_.File("x.tga"), &status, nullptr));
  // Two processes, and at most one more for each that was lost (the files
  // behind a lost one may all go to the other): not one per file.
  EXPECT_GE(Starts(), 3);
  EXPECT_LE(Starts(), 4);
}

TEST_F(BatchConverterTest, FilesPassedOverAreDroppedAndOnlyOurConverterServes) {
  const std::vector<std::string> inputs = {"/in/a.pct", "/in/b.pct", "/in/c.pct", "/in/d.pct"};
  std::shared_ptr<ConverterPool> pool = StartConverterPool(converter_, inputs, 2, 5);
  ASSERT_NE(pool, nullptr);
  int status = -1;
  EXPECT_TRUE(TakePooledConversion(pool.get(), "/in/c.pct", dir_.File("c.tga"), &status, nullptr));
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(TakePooledConversion(pool.get(), "/in/a.pct", dir_.File("a.tga"), &status, nullptr));
  EXPECT_TRUE(TakePooledConversion(pool.get(), "/in/d.pct", dir_.File("d.tga"), &status, nullptr));
  StopConverterPool(pool.get());
  EXPECT_FALSE(TakePooledConversion(pool.get(), "/in/b.pct", dir_.File("b.tga"), &status, nullptr));

  ExternalConverter magick;
  magick.program = "/usr/bin/convert";
  magick.is_imagemagick = true;
  EXPECT_EQ(StartConverterPool(magick, inputs, 2, 5), nullptr);
  ExternalConverter other;
  other.program = dir_.File("converter");
  EXPECT_EQ(StartConverterPool(other, inputs, 2, 5), nullptr);
}

}  // namespace
}  // namespace pic2jpg
