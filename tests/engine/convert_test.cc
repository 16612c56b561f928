// ConvertFile and the run controller in this process, on real PICT files,
// with the external converter found as a run plans it, or left out.
#include "engine/convert.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "engine/depth.h"
#include "engine/format_tables.h"
#include "engine/run_controller.h"
#include "engine/run_setup.h"
#include "platform/file_system.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

class ConvertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    settings_ = Settings{};
    job_ = ConversionJob{};
    job_.settings = &settings_;
    job_.output_folder = out_.path();
    job_.output = SaveOptionsFor(settings_.output, "jpg");
    unsetenv("PIC2JPG_CONVERTER");
    job_.decoding = FindPictureDecoding();
  }

  std::string Input(const std::string& name) {
    std::string path = in_.File(name);
    test::CopyFile(test::DataFile(name), path);
    return path;
  }
  bool Convert(const std::string& input) {
    job_.input_path = input;
    result_ = ConvertFile(job_);
    EXPECT_EQ(result_.ok, result_.reason.empty()) << result_.reason;
    return result_.ok;
  }
  // Files in the output folder, hidden temporary files included.
  int OutputFileCount() {
    test::RunResult r = test::Run("/bin/ls", {"-A", out_.path()});
    return static_cast<int>(r.Lines().size());
  }

  Settings settings_;
  ConversionJob job_;
  ConversionResult result_;
  test::TempDir in_;
  test::TempDir out_;
};

TEST_F(ConvertTest, ConvertsAPictFileUprightWithTheExternalConverter) {
  ASSERT_TRUE(Convert(Input("FLAG_B24.PCT")));
  EXPECT_EQ(result_.output_path, out_.File("FLAG_B24.jpg"));
  EXPECT_EQ(result_.source_depth, 24);
  EXPECT_EQ(result_.depth, 24);
  EXPECT_EQ(result_.width, 124);
  EXPECT_EQ(result_.height, 124);
  EXPECT_GE(test::PsnrOfFiles(result_.output_path, test::DataFile("FLAG_B24.PCT.png")), 30.0);
  EXPECT_EQ(OutputFileCount(), 1);
}

TEST_F(ConvertTest, SurvivesTheLibraryReaderCrashingWithoutAConverter) {
  // The library's own PICT reader dies on some files (FC10.PCT among them,
  // where its stray write happens to meet unmapped memory); it runs in a
  // child. A loader that always dies stands for it here.
  job_.decoding.converter = ExternalConverter{};
  const std::string loader = in_.File("crashing-loader");
  test::WriteText(loader, "#!/bin/sh\nkill -SEGV $$\n");
  chmod(loader.c_str(), 0755);
  job_.decoding.loader = loader;
  EXPECT_FALSE(Convert(Input("FC10.PCT")));
  EXPECT_EQ(result_.reason, "the converter crashed (signal 11)");
  EXPECT_EQ(OutputFileCount(), 0);
}

// A conversion runs only the programs its job names: with none named it
// decodes nothing, though the programs are there to be found.
TEST_F(ConvertTest, RunsOnlyTheProgramsItsJobNames) {
  ASSERT_FALSE(job_.decoding.converter.program.empty());
  job_.decoding = PictureDecoding{};
  EXPECT_FALSE(Convert(Input("FLAG_B24.PCT")));
  EXPECT_NE(result_.reason.find("pic2jpg-load"), std::string::npos) << result_.reason;
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
  job_.output.auto_depth = false;
  job_.output.target_depth = 2;  // no conversion to 2 bits exists
  EXPECT_FALSE(Convert(Input("FLAG_B24.PCT")));
  EXPECT_EQ(test::ReadText(out_.File("FLAG_B24.jpg")), "old");
  EXPECT_EQ(OutputFileCount(), 1);
}

TEST_F(ConvertTest, NeverWritesOverTheInputFile) {
  std::string input = in_.File("flag.pct");
  test::CopyFile(test::DataFile("FLAG_B24.PCT"), input);
  std::string before = test::ReadText(input);
  job_.output_folder = in_.path();
  settings_.advanced.filename_mask = "%filename%.pct";
  EXPECT_FALSE(Convert(input));
  EXPECT_EQ(test::ReadText(input), before);
}

TEST_F(ConvertTest, MaskFoldersAreCreatedBelowTheOutputFolder) {
  settings_.advanced.filename_mask = "%ext%/deeper/%filename%.%ext%";
  ASSERT_TRUE(Convert(Input("FLAG_B24.PCT")));
  EXPECT_TRUE(fs::IsRegularFile(out_.File("jpg/deeper/FLAG_B24.jpg")));
}

TEST_F(ConvertTest, ALinkBelowTheOutputFolderFailsTheFileAndWritesNothingThroughIt) {
  struct Case {
    const char* mask;
    const char* relative_subfolder;  // kept subfolder of the entry
  };
  const Case kCases[] = {
      {"sub/%filename%.%ext%", ""},
      {"%filename%.%ext%", "sub/"},
      {"%filename%.%ext%", "real/sub/deeper/"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.mask) + " " + c.relative_subfolder);
    test::TempDir out;
    test::TempDir outside;
    ASSERT_TRUE(fs::MakeFolder(out.File("real")));
    ASSERT_EQ(symlink(outside.path().c_str(), out.File("sub").c_str()), 0);
    ASSERT_EQ(symlink(outside.path().c_str(), out.File("real/sub").c_str()), 0);
    settings_.advanced.filename_mask = c.mask;
    job_.output_folder = out.path();
    job_.relative_subfolder = c.relative_subfolder;
    EXPECT_FALSE(Convert(Input("FLAG_B24.PCT")));
    EXPECT_TRUE(test::Run("/bin/ls", {"-A", outside.path()}).Lines().empty());
  }
}

TEST_F(ConvertTest, TheOutputFolderItselfMayBeALink) {
  test::TempDir links;
  const std::string link = links.File("out");
  ASSERT_EQ(symlink(out_.path().c_str(), link.c_str()), 0);
  job_.output_folder = link + "/";
  settings_.advanced.filename_mask = "sub/%filename%.%ext%";
  ASSERT_TRUE(Convert(Input("FLAG_B24.PCT")));
  EXPECT_TRUE(fs::IsRegularFile(out_.File("sub/FLAG_B24.jpg")));
}

TEST_F(ConvertTest, AMissingOutputFolderFails) {
  // The folder is created by the save only below an existing output folder.
  job_.output_folder = "/proc/no-such-folder/";
  EXPECT_FALSE(Convert(Input("FLAG_B24.PCT")));
}

class WorkerTest : public ConvertTest {
 protected:
  // Planned as the front ends plan: a run of several files decodes them
  // ahead in its own converter processes.
  RunPlan Plan(const std::vector<std::string>& inputs) {
    std::vector<RunEntry> entries;
    for (const std::string& path : inputs) entries.push_back({path, "", ""});
    RunPlan plan = PlanRun(settings_, std::move(entries), {});
    plan.output = job_.output;
    plan.output_folder = out_.path();
    return plan;
  }
  RunOutcome RunAll(const std::vector<std::string>& inputs) {
    EXPECT_TRUE(StartRun(&run_, Plan(inputs)));
    return FinishRun(&run_);
  }
  RunController run_;
};

TEST_F(WorkerTest, CountsSuccessesAndNumbersOnlyConvertedFiles) {
  std::string good_a = Input("FLAG_B24.PCT");
  std::string bad = in_.File("FLAG_B24b.pct");
  test::WriteText(bad, "broken");
  std::string good_b = in_.File("FLAG_B24c.pict");
  test::CopyFile(test::DataFile("FLAG_B24.PCT"), good_b);
  settings_.advanced.filename_mask = "photo_%n%.%ext%";

  RunOutcome outcome = RunAll({good_a, bad, good_b});
  EXPECT_EQ(outcome.progress.converted, 2);
  EXPECT_EQ(outcome.progress.processed, 3);
  ASSERT_EQ(outcome.progress.failures.size(), 1u);
  EXPECT_EQ(outcome.progress.failures[0].path, bad);
  // The failed file in the middle did not use up a number.
  EXPECT_TRUE(fs::IsRegularFile(out_.File("photo_00001.jpg")));
  EXPECT_TRUE(fs::IsRegularFile(out_.File("photo_00002.jpg")));
  EXPECT_FALSE(fs::Exists(out_.File("photo_00003.jpg")));
  EXPECT_EQ(outcome.counter, 3);

  // The next run goes on from the numbers it is handed and starts with an
  // empty failure list.
  RunPlan plan = Plan({good_a});
  plan.counter = outcome.counter;
  ASSERT_TRUE(StartRun(&run_, std::move(plan)));
  outcome = FinishRun(&run_);
  EXPECT_TRUE(outcome.progress.failures.empty());
  EXPECT_TRUE(fs::IsRegularFile(out_.File("photo_00003.jpg")));
  EXPECT_EQ(outcome.counter, 4);
}

// A hold stops the worker before every file, the first and the last
// included, until it is released; a stop while held converts no more.
TEST_F(WorkerTest, HoldIsHonouredBeforeEveryFileAndStopEndsTheRun) {
  const std::string a = Input("FLAG_B24.PCT");
  const std::string b = in_.File("second.pct");
  test::CopyFile(test::DataFile("FLAG_B24.PCT"), b);
  settings_.advanced.filename_mask = "%filename%.%ext%";
  for (int files_before_stop : {0, 1, 2}) {
    fs::RemoveTree(out_.File("FLAG_B24.jpg"));
    fs::RemoveTree(out_.File("second.jpg"));
    HoldRun(&run_);
    ASSERT_TRUE(StartRun(&run_, Plan({a, b})));
    for (int i = 0; i < files_before_stop; ++i) {
      // Let exactly one file through: released, then held again as soon as
      // the worker reports that file.
      const int before = ReadProgress(&run_).processed;
      ResumeRun(&run_);
      while (ReadProgress(&run_).processed == before) std::this_thread::yield();
      HoldRun(&run_);
    }
    StopRun(&run_);
    RunOutcome outcome = FinishRun(&run_);
    EXPECT_TRUE(outcome.progress.stopped || files_before_stop == 2) << files_before_stop;
    EXPECT_EQ(outcome.progress.converted, files_before_stop);
    EXPECT_EQ(OutputFileCount(), files_before_stop);
  }
}

// A watermark picture named in the plan is loaded by the run itself; one
// that cannot be had ends the run with it as the only failure, nothing
// written.
TEST_F(WorkerTest, TheRunLoadsItsWatermarkPictureFirst) {
  const std::string input = Input("FLAG_B24.PCT");
  const std::string garbage = in_.File("mark.png");
  test::WriteText(garbage, "not a picture at all");
  struct Case {
    std::string picture;
    int converted;
  };
  const Case kCases[] = {{test::DataFile("FLAG_B24.PCT.png"), 1}, {garbage, 0}};
  settings_.watermark.kind = WatermarkKind::kImage;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.picture);
    fs::RemoveTree(out_.File("FLAG_B24.jpg"));
    settings_.watermark.image = c.picture;
    RunPlan plan = Plan({input});
    plan.watermark_image = c.picture;
    ASSERT_TRUE(StartRun(&run_, std::move(plan)));
    const RunOutcome outcome = FinishRun(&run_);
    EXPECT_EQ(outcome.progress.converted, c.converted);
    EXPECT_EQ(OutputFileCount(), c.converted);
    if (c.converted == 0) {
      ASSERT_EQ(outcome.progress.failures.size(), 1u);
      EXPECT_EQ(outcome.progress.failures[0].path, c.picture);
    }
  }
}

TEST_F(WorkerTest, TimestampModes) {
  std::string input = Input("FLAG_B24.PCT");
  ASSERT_TRUE(fs::SetModifiedTime(input, 1000000000));
  std::string output = out_.File("FLAG_B24.jpg");

  struct Case {
    int mode;
    int32_t custom;
    int64_t expected;
  };
  // The custom time is seconds since 1970 UTC, whatever the zone.
  const Case cases[] = {{1, 0, 1000000000}, {2, 1200000000, 1200000000}};
  for (const Case& c : cases) {
    settings_.advanced.file_timestamp = static_cast<int8_t>(c.mode);
    settings_.advanced.custom_timestamp = c.custom;
    ASSERT_EQ(RunAll({input}).progress.converted, 1);
    EXPECT_EQ(fs::ModifiedTime(output), c.expected) << "mode " << c.mode;
  }
  settings_.advanced.file_timestamp = 0;
  RunAll({input});
  EXPECT_GT(fs::ModifiedTime(output), 1600000000);
}

}  // namespace
}  // namespace pic2jpg
