// The console conversion run through the built program: the checks in their
// order, the debug listing, and what a converting run prints and writes.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;

const Lines kBanner = {"Morvane PIC to JPG 2.7", "Copyright (c) Morvane Software",
                       "https://www.morvane.example/", " "};

Lines Join(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ConsoleBatchTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(test::PutPhoto(dir_, &input_, &out_)); }
  // Files written into the output folder.
  bool OutputFolderEmpty() const { return !fs::Exists(out_ + "/photo.jpg") && fs::Exists(out_); }
  test::TempDir dir_;
  std::string input_;
  std::string out_;
};

TEST_F(ConsoleBatchTest, EachFailingCheckPrintsItsErrorLine) {
  const std::string empty_file = dir_.File("empty.pic");
  ASSERT_TRUE(test::WriteText(empty_file, ""));
  const std::string no_extension = dir_.File("photo");
  ASSERT_TRUE(test::CopyFile(input_, no_extension));
  const std::string empty_image = dir_.File("empty.png");
  ASSERT_TRUE(test::WriteText(empty_image, ""));
  struct Case {
    Args args;
    const char* line;
  };
  const Case cases[] = {
      {{"-i", no_extension}, "Error: Invalid input file"},
      {{"-i", dir_.File("photo.")}, "Error: Invalid input file"},
      {{"-i", dir_.File("missing.pic")}, "Error: Invalid input file"},
      {{"-i", empty_file}, "Error: Invalid input file"},
      {{"-i", dir_.File("out.d/")}, "Error: Invalid input file"},
      {{"-i", dir_.path() + "*.pic"}, "Error: Invalid input file"},
      {{"-i", "\xFF\xFE.pic"}, "Error: Invalid input file"},
      {{"-i", input_, "-o", "../missing-out"}, "Error: Invalid output folder"},
      {{"-i", input_, "-o", "..\xFF"}, "Error: Invalid output folder"},
      {{"-i", input_, "-o", dir_.File("missing")}, "Error: Invalid output folder"},
      {{"-i", input_, "-o", input_}, "Error: Invalid output folder"},
      {{"-i", input_, "-c", "JPG"}, "Error: Invalid conversion type"},
      {{"-i", input_, "-c", "bmp"}, "Error: Invalid conversion type"},
      {{"-i", input_, "--conversion=png"}, "Error: Invalid conversion type"},
      {{"-i", input_, "--jpg-bpp=16"}, "Error: Invalid jpg-bpp value"},
      {{"-i", input_, "--jpg-bpp=-8"}, "Error: Invalid jpg-bpp value"},
      {{"-i", input_, "--jpg-quality=0"}, "Error: Invalid jpg-quality value"},
      {{"-i", input_, "--jpg-quality=101"}, "Error: Invalid jpg-quality value"},
      {{"-i", input_, "--jpg-quality=abc"}, "Error: Invalid jpg-quality value"},
      {{"-i", input_, "--jpg-quality=99999999999999999999"}, "Error: Invalid jpg-quality value"},
      {{"-i", input_, "--width=800"}, "Error: Invalid height value"},
      {{"-i", input_, "--height=600"}, "Error: Invalid width value"},
      {{"-i", input_, "--width=0", "--height=600"}, "Error: Invalid width value"},
      {{"-i", input_, "--brightness=101"}, "Error: Invalid brightness value"},
      {{"-i", input_, "--brightness=-101"}, "Error: Invalid brightness value"},
      {{"-i", input_, "--contrast=101"}, "Error: Invalid contrast value"},
      {{"-i", input_, "--contrast=-$FFFF"}, "Error: Invalid contrast value"},
      {{"-i", input_, "--gamma=0.001"}, "Error: Invalid gamma value"},
      {{"-i", input_, "--gamma=10"}, "Error: Invalid gamma value"},
      {{"-i", input_, "--gamma=NaN"}, "Error: Invalid gamma value"},
      {{"-i", input_, "--gamma=+Infinity"}, "Error: Invalid gamma value"},
      {{"-i", input_, "--gamma=abc"}, "Error: Invalid gamma value"},
      {{"-i", input_, "--wm-text=x", "--wm-font=NoSuchFontAnywhere"},
       "Error: Invalid watermark font"},
      {{"-i", input_, "--wm-text=x", "--wm-font-size=0"}, "Error: Invalid watermark font"},
      {{"-i", input_, "--wm-image=" + dir_.File("missing.png")}, "Error: Invalid watermark image"},
      {{"-i", input_, "--wm-image=" + empty_image}, "Error: Invalid watermark image"},
      {{"-i", input_, "--wm-image=" + dir_.path()}, "Error: Invalid watermark image"},
      // The first failing check wins.
      {{"-i", input_, "-c", "png", "--jpg-quality=0"}, "Error: Invalid conversion type"},
      {{"-i", input_, "--jpg-quality=0", "--width=5"}, "Error: Invalid jpg-quality value"},
      {{"-i", input_, "--brightness=500", "--gamma=0"}, "Error: Invalid brightness value"},
  };
  for (const Case& c : cases) {
    test::RunResult run = test::RunPic2jpg(c.args);
    std::string label = c.args.back();
    EXPECT_EQ(run.exit_status, 1) << label;
    EXPECT_EQ(run.Lines(), Join(kBanner, {"Preparing...", c.line})) << label;
    // Quiet hides the banner and progress, never the error.
    Args quiet = c.args;
    quiet.push_back("-q");
    run = test::RunPic2jpg(quiet);
    EXPECT_EQ(run.Lines(), Lines{c.line}) << label;
    EXPECT_TRUE(OutputFolderEmpty()) << label;
  }
}

TEST_F(ConsoleBatchTest, BoundaryValuesPassTheirChecks) {
  const Args cases[] = {
      {"--brightness=-100", "--contrast=100"},
      {"--brightness=100", "--contrast=-100"},
      {"--gamma=0.01"},
      {"--gamma=9.99"},
      {"--jpg-quality=1"},
      {"--jpg-quality=100"},
      {"--jpg-bpp=8"},
      {"--jpg-bpp=24"},
      {"--invert"},
  };
  for (const Args& extra : cases) {
    Args args = Join({"-i", input_, "-o", out_, "-q"}, extra);
    test::RunResult run = test::RunPic2jpg(args);
    EXPECT_EQ(run.exit_status, 0) << extra[0] << "\n" << run.output;
    EXPECT_EQ(run.output, "") << extra[0];
    EXPECT_TRUE(fs::RemoveFile(out_ + "/photo.jpg")) << extra[0];
  }
}

TEST_F(ConsoleBatchTest, InputsThatAreNoPictureFormatStopTheRun) {
  // (".txt" and ".lst" inputs are lists of files; see batch_input_test.)
  const std::string png_input = dir_.File("image.png");
  ASSERT_TRUE(test::CopyFile(input_, png_input));
  for (const std::string& input : {png_input}) {
    test::RunResult run = test::RunPic2jpg({"-i", input, "-o", out_});
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.Lines(),
              Join(kBanner, {"Preparing...", "Importing...", "Import complete, new files added: 0",
                             "Conversion stopped",
                             "No input file(s) found. Please, add valid file(s) and try again!"}));
    run = test::RunPic2jpg({"-i", input, "-o", out_, "-q"});
    EXPECT_EQ(run.Lines(),
              (Lines{"Conversion stopped",
                     "No input file(s) found. Please, add valid file(s) and try again!"}));
  }
}

TEST_F(ConsoleBatchTest, ConvertsAndReportsTheCount) {
  test::RunResult run = test::RunPic2jpg({"-i", input_, "-o", out_});
  EXPECT_EQ(run.exit_status, 0) << run.output;
  EXPECT_EQ(run.Lines(),
            Join(kBanner, {"Preparing...", "Importing...", "Import complete, new files added: 1",
                           "Converting...", "Conversion complete", "Files converted: 1 of 1"}));
  FIBITMAP* image = test::LoadImage(out_ + "/photo.jpg");
  ASSERT_NE(image, nullptr);
  FIBITMAP* reference = test::LoadImage(test::DataFile("FLAG_B24.PCT.png"));
  ASSERT_NE(reference, nullptr);
  EXPECT_GT(test::Psnr(image, reference), 25.0);
  FreeImage_Unload(image);
  FreeImage_Unload(reference);
}

TEST_F(ConsoleBatchTest, QuietSuccessPrintsNothing) {
  test::RunResult run = test::RunPic2jpg({"-q", "-i", input_, "-o", out_ + "/"});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.output, "");
  EXPECT_TRUE(fs::Exists(out_ + "/photo.jpg"));
}

// The custom file time is Unix time, as `date +%s` prints it, in every time
// zone, from the option and from a profile.
TEST_F(ConsoleBatchTest, TheCustomFileTimeIsSecondsSince1970Utc) {
  const std::string profile = dir_.File("time.ini");
  ASSERT_TRUE(test::WriteText(profile, "[CLI]\n--FILE-TIMESTAMP-CUSTOM = 1300000000\n"));
  struct Case {
    const char* zone;
    std::string option;
    int64_t mtime;
  };
  const Case cases[] = {
      {"Europe/Berlin", "--file-timestamp-custom=1000000000", 1000000000},
      {"America/New_York", "--file-timestamp-custom=1000000000", 1000000000},
      {"Asia/Kolkata", "--profile=" + profile, 1300000000},
  };
  for (const Case& c : cases) {
    test::RunResult run =
        test::RunPic2jpg({"-q", "-i", input_, "-o", out_, "--file-timestamp=CUSTOM", c.option},
                         {std::string("TZ=") + c.zone});
    EXPECT_EQ(run.exit_status, 0) << c.zone << run.output;
    EXPECT_EQ(fs::ModifiedTime(out_ + "/photo.jpg"), c.mtime) << c.zone;
  }
}

TEST_F(ConsoleBatchTest, PauseAtTheEndDoesNotWaitWithoutATerminal) {
  test::RunResult run = test::RunPic2jpg({"-i", input_, "-o", out_, "-q", "-p"});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.Lines(), Lines{"Press any key to exit."});
}

TEST_F(ConsoleBatchTest, WithoutOutputFolderTheFileGoesNextToTheInput) {
  // Named absolutely, and relative to the current folder of the run.
  test::RunResult run = test::RunPic2jpg({"-q", "-i", input_});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_TRUE(fs::RemoveFile(dir_.File("photo.jpg")));

  std::string cwd = fs::AbsolutePath(".");
  std::string relative;
  for (char c : cwd) relative += c == '/' ? "../" : "";
  if (cwd == "/") relative.clear();
  relative += input_.substr(1);
  run = test::RunPic2jpg({"-q", "-i", relative});
  EXPECT_EQ(run.exit_status, 0) << relative;
  EXPECT_TRUE(fs::Exists(dir_.File("photo.jpg"))) << relative;
}

// Relative output folders start from the current folder, "~" is the home
// folder also after "=", and a missing folder is refused, never created.
TEST_F(ConsoleBatchTest, OutputFoldersAreReadAsTheShellUserMeantThem) {
  const std::string work = dir_.File("work/");
  ASSERT_TRUE(fs::MakeFolders(work + "out"));
  ASSERT_TRUE(fs::MakeFolder(dir_.File("sibling")));
  struct Case {
    std::string given;
    std::string written;  // where photo.jpg must appear
  };
  const Case cases[] = {
      {"out", work + "out/photo.jpg"},
      {"./out", work + "out/photo.jpg"},
      {"out/", work + "out/photo.jpg"},
      {".", work + "photo.jpg"},
      {"../sibling", dir_.File("sibling/photo.jpg")},
      {"--output=~/out", work + "out/photo.jpg"},
      {"--output=~", work + "photo.jpg"},
  };
  for (const Case& c : cases) {
    const std::string option = c.given.starts_with("--") ? c.given : "-o '" + c.given + "'";
    test::RunResult run =
        test::Run("/bin/sh", {"-c", "cd '" + work + "' && \"$P\" -q -i '" + input_ + "' " + option},
                  {"P=" + std::string(PIC2JPG_EXE), "HOME=" + work});
    EXPECT_EQ(run.exit_status, 0) << c.given << run.output;
    EXPECT_TRUE(fs::RemoveFile(c.written)) << c.given;
  }
  for (const char* missing : {"missing", "./missing", "~nobody/out"}) {
    test::RunResult run =
        test::Run("/bin/sh",
                  {"-c", "cd '" + work + "' && \"$P\" -q -i '" + input_ + "' -o '" + missing + "'"},
                  {"P=" + std::string(PIC2JPG_EXE), "HOME=" + work});
    EXPECT_EQ(run.Lines(), Lines{"Error: Invalid output folder"}) << missing;
    EXPECT_FALSE(fs::Exists(work + "missing")) << missing;
  }
}

TEST_F(ConsoleBatchTest, DebugListsTheEffectiveSettingsInOrder) {
  test::RunResult run = test::RunPic2jpg(
      {"-i", input_, "-o", out_, "--jpg-quality=80", "--filename-mask=%filename%_%n%.%ext%", "-d"});
  EXPECT_EQ(run.exit_status, 0) << run.output;
  const Lines expected = Join(kBanner, {"Preparing...",
                                        "Input: " + input_,
                                        "Output: " + out_,
                                        "Conversion: jpg",
                                        "JPG BPP: 0",
                                        "JPG Quality: 80",
                                        "JPG Chroma Subsampling: NONE",
                                        "JPG Save As: STANDARD",
                                        "Flip Horizontal: 0",
                                        "Flip Vertical: 0",
                                        "Greyscale: 0",
                                        "Frame: NONE",
                                        "Watermark: NONE",
                                        "Filename Mask: %filename%_%n%.%ext%",
                                        "File Timestamp: CURRENT",
                                        "Keep Subfolders: 1",
                                        "Importing...",
                                        "Import complete, new files added: 1",
                                        "Converting...",
                                        "Processing: " + input_,
                                        "Saving As: " + out_ + "/photo_00001.jpg",
                                        "OK",
                                        "Conversion complete",
                                        "Files converted: 1 of 1"});
  EXPECT_EQ(run.Lines(), expected);
  EXPECT_TRUE(fs::Exists(out_ + "/photo_00001.jpg"));
}

TEST_F(ConsoleBatchTest, DebugListsEveryStepThatIsSwitchedOn) {
  const std::string logo = dir_.File("logo.png");
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT.png"), logo));
  test::RunResult run = test::RunPic2jpg({"-q",
                                          "-d",
                                          "-i",
                                          input_,
                                          "-o",
                                          out_,
                                          "--rotation=90",
                                          "--rotation-type=advanced",
                                          "--rotation-back-color=FFFFFF",
                                          "--width=50",
                                          "--width-unit=percent",
                                          "--height=40",
                                          "--resize-algorithm=lanczos",
                                          "--resize-type=largeimages",
                                          "--keep-aspect-ratio",
                                          "--flip-horizontal",
                                          "--brightness=-10",
                                          "--contrast=20",
                                          "--gamma=1.5",
                                          "--invert",
                                          "--greyscale",
                                          "--threshold=128",
                                          "--fr-solid-left=1",
                                          "--fr-solid-right=2",
                                          "--fr-solid-top=3",
                                          "--fr-solid-bottom=4",
                                          "--fr-solid-top-color=FF0000",
                                          "--fr-solid-opacity=200",
                                          "--wm-image=" + logo,
                                          "--wm-image-greyscale",
                                          "--wm-image-opacity=128",
                                          "--wm-image-boundary=frame",
                                          "--wm-image-position=topleft",
                                          "--wm-image-x-offset=5",
                                          "--wm-image-y-offset=-6",
                                          "--wm-image-rotation=30",
                                          "--file-timestamp=custom",
                                          "--file-timestamp-custom=1000000000",
                                          "--no-subfolders",
                                          "--jpg-chroma=high",
                                          "--jpg-save-as=progressive",
                                          "--jpg-bpp=24"});
  const Lines expected = {
      "Input: " + input_,
      "Output: " + out_,
      "Conversion: jpg",
      "JPG BPP: 24",
      "JPG Quality: 95",
      "JPG Chroma Subsampling: HIGH",
      "JPG Save As: PROGRESSIVE",
      "Image Rotation Type: ADVANCED",
      "Image Rotation: 90",
      "Image Rotation Back Color: FFFFFF",
      "Width: 50 PERCENT",
      "Height: 40 PIXELS",
      "Keep Aspect Ratio: 1",
      "Image Resize Type: LARGEIMAGES",
      "Image Resize Algorithm: LANCZOS",
      "Flip Horizontal: 1",
      "Flip Vertical: 0",
      "Brightness: -10",
      "Contrast: 20",
      "Gamma: 1.50",
      "Invert: 1",
      "Greyscale: 1",
      "Image Threshold: 128",
      "Frame: SOLID",
      "Frame left: 1",
      "Frame right: 2",
      "Frame top: 3",
      "Frame bottom: 4",
      "Frame left color: 000000",
      "Frame right color: 000000",
      "Frame top color: FF0000",
      "Frame bottom color: 000000",
      "Frame opacity: 200",
      "Watermark: IMAGE",
      "Watermark image: " + logo,
      "Watermark greyscale: 1",
      "Watermark opacity: 128",
      "Watermark boundary: FRAME",
      "Watermark position: TOPLEFT",
      "Watermark offset (x/y): 5/-6",
      "Watermark rotation: 30",
      "Watermark size/mode: FIXED",
      "Filename Mask: %filename%.%ext%",
      "File Timestamp: CUSTOM",
      "Custom Timestamp: 1000000000",
      "Keep Subfolders: 0",
  };
  Lines lines = run.Lines();
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + expected.size()), expected);
}

TEST_F(ConsoleBatchTest, DebugListsTheTextWatermark) {
  test::RunResult run =
      test::RunPic2jpg({"-q", "-d", "-i", input_, "-o", dir_.File("missing"), "--wm-text=Hi"});
  // The folder check comes before the listing of the steps.
  EXPECT_EQ(run.Lines(), (Lines{"Input: " + input_, "Output: " + dir_.File("missing"),
                                "Error: Invalid output folder"}));

  run = test::RunPic2jpg({"-q", "-d", "-i", input_, "-o", out_, "--wm-text=Hi",
                          "--wm-font-style=bolditalic", "--wm-font-effect=underline",
                          "--wm-text-alignment=right", "--wm-text-position=middlecenter",
                          "--wm-text-boundary=frame", "--wm-text-antialiasing"});
  const Lines expected = {
      "Watermark: TEXT",
      "Watermark text: Hi",
      "Watermark font: Arial",
      "Watermark font size: 14",
      "Watermark font leading: 0",
      "Watermark font color: FFFFFF",
      "Watermark font style: BOLDITALIC",
      "Watermark font effect: UNDERLINE",
      "Watermark text antialiasing: 1",
      "Watermark text alignment: RIGHT",
      "Watermark text padding: 0",
      "Watermark text opacity: 255",
      "Watermark background color: 000000",
      "Watermark background opacity: 1",
      "Watermark boundary: FRAME",
      "Watermark position: MIDDLECENTER",
      "Watermark offset (x/y): 10/10",
      "Watermark rotation: 0",
      "Watermark size/mode: FIXED",
      "Filename Mask: %filename%.%ext%",
  };
  Lines lines = run.Lines();
  auto start = std::find(lines.begin(), lines.end(), "Watermark: TEXT");
  ASSERT_NE(start, lines.end()) << run.output;
  ASSERT_GE(static_cast<size_t>(lines.end() - start), expected.size());
  EXPECT_EQ(Lines(start, start + expected.size()), expected);
}

TEST_F(ConsoleBatchTest, DebugWithoutQuietPrintsPreparingBeforeInput) {
  test::RunResult run = test::RunPic2jpg({"-d", "-i", dir_.File("x")});
  EXPECT_EQ(run.Lines(), Join(kBanner, {"Preparing...", "Input: " + dir_.File("x"),
                                        "Error: Invalid input file"}));
}

TEST_F(ConsoleBatchTest, OptionsAfterHelpInLaterPlacesAreIgnored) {
  test::RunResult run = test::RunPic2jpg({"-q", "-i", input_, "-o", out_, "--help", "-v"});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.output, "");
  EXPECT_TRUE(fs::Exists(out_ + "/photo.jpg"));
}

}  // namespace
}  // namespace pic2jpg
