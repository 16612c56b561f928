// The converter processes of a many-file run, driven by a stand-in converter
// that speaks the same protocol: files come back in any order of asking, a
// crash or a hang fails only its own file, and processes are reused.
#include "engine/batch_converter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
    *bad*) echo 3 ;;
    *) printf 'targa of %s' "$input" > "$output"; echo 0 ;;
  esac
done
)";

class BatchConverterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    converter_.program = dir_.File("pict2tga");
    ASSERT_TRUE(test::WriteText(converter_.program, kStandIn));
    ASSERT_EQ(chmod(converter_.program.c_str(), 0755), 0);
  }
  void TearDown() override { StopBatchConverter(); }
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
  const std::vector<std::string> inputs = {"/in/a.pct",    "/in/crash.pct", "/in/b.pct",
                                           "/in/hang.pct", "/in/bad.pct",   "/in/c.pct",
                                           "/in/d.pct",    "/in/e.pct"};
  ASSERT_TRUE(StartBatchConverter(converter_, inputs, 2, /*timeout_seconds=*/1));
  for (const std::string& input : inputs) {
    const std::string targa = dir_.File(fs::NameOf(input) + ".tga");
    const bool fails = input.find("crash") != std::string::npos ||
                       input.find("hang") != std::string::npos ||
                       input.find("bad") != std::string::npos;
    EXPECT_EQ(TakeBatchConversion(input, targa),
              fails ? BatchResult::kFailed : BatchResult::kConverted)
        << input;
    EXPECT_EQ(test::ReadText(targa), fails ? "" : "targa of " + input) << input;
  }
  // Asked twice, or never queued: the caller converts it itself.
  EXPECT_EQ(TakeBatchConversion("/in/a.pct", dir_.File("again.tga")), BatchResult::kNotInBatch);
  EXPECT_EQ(TakeBatchConversion("/in/other.pct", dir_.File("x.tga")), BatchResult::kNotInBatch);
  // Two processes, and one more for each that was lost: not one per file.
  EXPECT_EQ(Starts(), 4);
}

TEST_F(BatchConverterTest, FilesPassedOverAreDroppedAndOnlyOurConverterServes) {
  const std::vector<std::string> inputs = {"/in/a.pct", "/in/b.pct", "/in/c.pct", "/in/d.pct"};
  ASSERT_TRUE(StartBatchConverter(converter_, inputs, 2, 5));
  EXPECT_EQ(TakeBatchConversion("/in/c.pct", dir_.File("c.tga")), BatchResult::kConverted);
  EXPECT_EQ(TakeBatchConversion("/in/a.pct", dir_.File("a.tga")), BatchResult::kNotInBatch);
  EXPECT_EQ(TakeBatchConversion("/in/d.pct", dir_.File("d.tga")), BatchResult::kConverted);
  StopBatchConverter();
  EXPECT_EQ(TakeBatchConversion("/in/b.pct", dir_.File("b.tga")), BatchResult::kNotInBatch);

  ExternalConverter magick{"/usr/bin/convert", true};
  EXPECT_FALSE(StartBatchConverter(magick, inputs, 2, 5));
  ExternalConverter other{dir_.File("converter"), false};
  EXPECT_FALSE(StartBatchConverter(other, inputs, 2, 5));
}

}  // namespace
}  // namespace pic2jpg
