// ConvertFile and ConversionWorker in this process, on real PICT files, with
// the external converter forced on or off through PIC2JPG_CONVERTER.
#include "engine/convert.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "engine/depth.h"
#include "engine/format_tables.h"
#include "engine/run_state.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "runlist/run_list.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    g_settings = Settings{};
    ResetRunState();
    RunState& run = g_run_state;
    run.output_folder = out_.path();
    run.output_extension = "jpg";
    run.codec_id = LookupOutputFormat("jpg").codec_id;
    run.target_depth = 0;
    run.auto_depth = true;
    run.save_flags = SaveFlagsFor("jpg");
    g_progress.keep_running = 1;
    unsetenv("PIC2JPG_CONVERTER");
  }
  void TearDown() override { unsetenv("PIC2JPG_CONVERTER"); }

  std::string Input(const std::string& name) {
    std::string path = in_.File(name);
    test::CopyFile(test::DataFile(name), path);
    return path;
  }
  bool Convert(const std::string& input) {
    g_run_state.input_path = input;
    return ConvertFile();
  }
  // Files in the output folder, hidden temporary files included.
  int OutputFileCount() {
    test::RunResult r = test::Run("/bin/ls", {"-A", out_.path()});
    return static_cast<int>(r.Lines().size());
  }

  test::TempDir in_;
  test::TempDir out_;
};

TEST_F(ConvertTest, ConvertsAPictFileUprightWithTheExternalConverter) {
  ASSERT_TRUE(Convert(Input("FLAG_B24.PCT")));
  EXPECT_EQ(g_run_state.output_path, out_.File("FLAG_B24.jpg"));
  EXPECT_EQ(g_run_state.source_depth, 24);
  EXPECT_EQ(g_run_state.target_depth, 24);
  EXPECT_EQ(g_run_state.last_width, 124);
  EXPECT_EQ(g_run_state.last_height, 124);
  EXPECT_GE(test::PsnrOfFiles(g_run_state.output_path, test::DataFile("FLAG_B24.PCT.png")), 30.0);
  EXPECT_EQ(OutputFileCount(), 1);
}

TEST_F(ConvertTest, SurvivesTheLibraryReaderCrashingWithoutAConverter) {
  // The library's own PICT reader dies on this file; it runs in a child.
  setenv("PIC2JPG_CONVERTER", "none", 1);
  EXPECT_FALSE(Convert(Input("FC10.PCT")));
  EXPECT_EQ(OutputFileCount(), 0);
}

TEST_F(ConvertTest, UnreadableInputsFailCleanly) {
  struct Case {
    const char* name;
    std::string contents;
  };
  const Case cases[] = {{"garbage.pic", "this is not a picture"},
                        {"empty.pic", ""},
                        {"header-only.pict", std::string(600, '\0')}};
  for (const Case& c : cases) {
    std::string path = in_.File(c.name);
    test::WriteText(path, c.contents);
    EXPECT_FALSE(Convert(path)) << c.name;
  }
  EXPECT_FALSE(Convert(in_.File("missing.pic")));
  EXPECT_EQ(OutputFileCount(), 0);
}

TEST_F(ConvertTest, OverwritesAnExistingOutputFile) {
  test::WriteText(out_.File("FLAG_B24.jpg"), "old");
  ASSERT_TRUE(Convert(Input("FLAG_B24.PCT")));
  EXPECT_GT(fs::FileSize(out_.File("FLAG_B24.jpg")), 100);
  EXPECT_EQ(OutputFileCount(), 1);
}

TEST_F(ConvertTest, AFailedSaveKeepsTheEarlierFileAndLeavesNoPartialFile) {
  test::WriteText(out_.File("FLAG_B24.jpg"), "old");
  g_run_state.auto_depth = false;
  g_run_state.target_depth = 2;  // no conversion to 2 bits exists
  EXPECT_FALSE(Convert(Input("FLAG_B24.PCT")));
  EXPECT_EQ(test::ReadText(out_.File("FLAG_B24.jpg")), "old");
  EXPECT_EQ(OutputFileCount(), 1);
}

TEST_F(ConvertTest, NeverWritesOverTheInputFile) {
  std::string input = in_.File("flag.pct");
  test::CopyFile(test::DataFile("FLAG_B24.PCT"), input);
  std::string before = test::ReadText(input);
  g_run_state.output_folder = in_.path();
  g_settings.advanced.filename_mask = "%filename%.pct";
  EXPECT_FALSE(Convert(input));
  EXPECT_EQ(test::ReadText(input), before);
}

TEST_F(ConvertTest, MaskFoldersAreCreatedBelowTheOutputFolder) {
  g_settings.advanced.filename_mask = "%ext%/deeper/%filename%.%ext%";
  ASSERT_TRUE(Convert(Input("FLAG_B24.PCT")));
  EXPECT_TRUE(fs::IsRegularFile(out_.File("jpg/deeper/FLAG_B24.jpg")));
}

TEST_F(ConvertTest, AMissingOutputFolderFails) {
  g_run_state.output_folder = out_.File("not-there/");
  fs::RemoveTree(out_.File("not-there"));
  // The folder is created by the save only below an existing output folder.
  g_run_state.output_folder = "/proc/no-such-folder/";
  EXPECT_FALSE(Convert(Input("FLAG_B24.PCT")));
}

class WorkerTest : public ConvertTest {
 protected:
  int RunWorker() {
    g_progress.processed = 0;
    g_progress.converted = 0;
    return ConversionWorker(0);
  }
};

TEST_F(WorkerTest, CountsSuccessesAndNumbersOnlyConvertedFiles) {
  std::string good_a = Input("FLAG_B24.PCT");
  std::string bad = in_.File("FLAG_B24b.pct");
  test::WriteText(bad, "broken");
  std::string good_b = in_.File("FLAG_B24c.pict");
  test::CopyFile(test::DataFile("FLAG_B24.PCT"), good_b);
  for (const std::string& path : {good_a, bad, good_b}) g_input_list[path] = InputEntry{};
  g_settings.advanced.filename_mask = "photo_%n%.%ext%";

  EXPECT_EQ(RunWorker(), 0);
  EXPECT_EQ(g_progress.converted, 2);
  EXPECT_EQ(g_progress.processed, 3);
  // The failed file in the middle did not use up a number.
  EXPECT_TRUE(fs::IsRegularFile(out_.File("photo_00001.jpg")));
  EXPECT_TRUE(fs::IsRegularFile(out_.File("photo_00002.jpg")));
  EXPECT_FALSE(fs::Exists(out_.File("photo_00003.jpg")));
  EXPECT_EQ(g_run_state.counter, 3);
}

TEST_F(WorkerTest, AClearedKeepRunningFlagConvertsNothing) {
  g_input_list[Input("FLAG_B24.PCT")] = InputEntry{};
  g_progress.keep_running = 0;
  RunWorker();
  EXPECT_EQ(g_progress.converted, 0);
  EXPECT_EQ(g_progress.processed, 0);
  EXPECT_EQ(OutputFileCount(), 0);
}

TEST_F(WorkerTest, TimestampModes) {
  std::string input = Input("FLAG_B24.PCT");
  ASSERT_TRUE(fs::SetModifiedTime(input, 1000000000));
  g_input_list[input] = InputEntry{};
  std::string output = out_.File("FLAG_B24.jpg");

  struct Case {
    int mode;
    int64_t custom_local;
    int64_t expected_utc;
  };
  const int64_t custom_local = platform::UtcToLocalSeconds(1200000000);
  const Case cases[] = {{1, 0, 1000000000}, {2, custom_local, 1200000000}};
  for (const Case& c : cases) {
    g_settings.advanced.file_timestamp = static_cast<int8_t>(c.mode);
    g_settings.advanced.custom_timestamp = static_cast<int32_t>(c.custom_local);
    RunWorker();
    ASSERT_EQ(g_progress.converted, 1);
    EXPECT_EQ(fs::ModifiedTime(output), c.expected_utc) << "mode " << c.mode;
  }
  g_settings.advanced.file_timestamp = 0;
  RunWorker();
  EXPECT_GT(fs::ModifiedTime(output), 1600000000);
}

}  // namespace
}  // namespace pic2jpg
