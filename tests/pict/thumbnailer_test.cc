// pic2jpg-thumbnailer: the size it is asked for bounds the PNG and keeps the
// picture's aspect and orientation; bad sizes, hostile pictures, a missing
// output folder and a run past its time limit end with a reason, a non-zero
// status and no file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"
#include "tests/pict/pict_builder.h"

namespace pic2jpg::test {
namespace {

using pict::test_util::PictBuilder;
using pict::test_util::StartPicture;

std::string Bytes(const std::vector<uint8_t>& data) {
  return std::string(data.begin(), data.end());
}

// A width x height picture, its top half `top` and the rest `bottom` (0xRRGGBB).
std::string TwoColourPicture(int width, int height, int top, int bottom) {
  return Bytes(pict::test_util::DirectPicture(
      width, height, [&](int, int y) { return y < height / 2 ? top : bottom; }));
}

// Ovals filling a large frame, far more than any picture paints.
std::string EndlessOvals() {
  const pict::QdRect frame{0, 0, 4000, 6000};
  PictBuilder b = StartPicture({frame});
  for (int i = 0; i < 2000; ++i) {
    b.Op(0x51);  // paintOval
    b.Rect(frame);
  }
  return Bytes(b.Finish());
}

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

class ThumbnailerTest : public ::testing::Test {
 protected:
  RunResult Thumbnail(const std::string& picture, const std::vector<std::string>& options) {
    WriteText(in_.File("in.pict"), picture);
    std::vector<std::string> args = options;
    args.push_back(in_.File("in.pict"));
    args.push_back(out_.File("out.png"));
    return test::Run(THUMBNAILER_EXE, args);
  }
  TempDir in_;
  TempDir out_;
};

TEST_F(ThumbnailerTest, FitsTheSizeKeepingAspectAndOrientation) {
  struct Case {
    int width, height;
    const char* size;
    unsigned thumb_width, thumb_height;
  };
  const Case cases[] = {
      {300, 100, "64", 64, 21},  // wide
      {50, 200, "64", 16, 64},   // tall
      {20, 10, "256", 20, 10},   // small pictures are not enlarged
      {640, 480, "1", 1, 1},     // the smallest size
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " + c.size);
    const RunResult r =
        Thumbnail(TwoColourPicture(c.width, c.height, 0xFF0000, 0x0000FF), {"-s", c.size});
    ASSERT_EQ(r.exit_status, 0) << r.error;
    ASSERT_EQ(FreeImage_GetFileType(out_.File("out.png").c_str(), 0), FIF_PNG);
    FIBITMAP* png = LoadImage(out_.File("out.png"));
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(FreeImage_GetWidth(png), c.thumb_width);
    EXPECT_EQ(FreeImage_GetHeight(png), c.thumb_height);
    if (c.thumb_height > 1) {
      EXPECT_EQ(PixelAt(png, 0, 0), 0xFF0000);
      EXPECT_EQ(PixelAt(png, 0, static_cast<int>(c.thumb_height) - 1), 0x0000FF);
    }
    FreeImage_Unload(png);
    EXPECT_EQ(Listing(out_.path()), std::vector<std::string>{"out.png"});
  }
}

// An AppleDouble file: its first resource is an empty picture, the next
// one (17 x 13) is what the thumbnail shows.
TEST_F(ThumbnailerTest, AContainerShowsItsFirstPictureThatDecodes) {
  const RunResult r = test::Run(
      THUMBNAILER_EXE,
      {test::DataFile("containers/dashboard__._Routing_File_Icons"), out_.File("out.png")});
  ASSERT_EQ(r.exit_status, 0) << r.error;
  FIBITMAP* png = LoadImage(out_.File("out.png"));
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(png), 17u);
  EXPECT_EQ(FreeImage_GetHeight(png), 13u);
  FreeImage_Unload(png);
}

TEST_F(ThumbnailerTest, BadRequestsAndHostilePicturesWriteNothing) {
  const std::string good = TwoColourPicture(40, 30, 0xFF0000, 0x0000FF);
  struct Case {
    const char* name;
    std::string picture;
    std::vector<std::string> options;
    int status;
    const char* reason;
  };
  const Case cases[] = {
      {"size 0", good, {"-s", "0"}, 1, "size 0 is not from 1 to 4096"},
      {"size 100000", good, {"-s", "100000"}, 1, "size 100000 is not from 1 to 4096"},
      {"size -5", good, {"-s", "-5"}, 1, "size -5 is not"},
      {"size 12x", good, {"-s", "12x"}, 1, "size 12x is not"},
      {"time limit 0", good, {"-t", "0"}, 1, "time limit 0 is not from 1 to 300 seconds"},
      {"truncated", good.substr(0, good.size() / 2), {}, 3, "truncated"},
      {"not a picture", "just some text", {}, 3, "in.pict"},
      {"huge frame",
       Bytes(StartPicture({pict::QdRect{0, 0, 16000, 16000}}).Finish()),
       {},
       3,
       "picture too large: 16000 x 16000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteText(out_.File("out.png"), "an earlier file");
    const RunResult r = Thumbnail(c.picture, c.options);
    EXPECT_EQ(r.exit_status, c.status);
    EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
    EXPECT_EQ(ReadText(out_.File("out.png")), "an earlier file");
    EXPECT_EQ(Listing(out_.path()), std::vector<std::string>{"out.png"});
  }
  WriteText(in_.File("in.pict"), good);
  const RunResult r =
      test::Run(THUMBNAILER_EXE, {in_.File("in.pict"), out_.File("missing/out.png")});
  EXPECT_EQ(r.exit_status, 4);
  EXPECT_NE(r.error.find("cannot write " + out_.File("missing/out.png")), std::string::npos)
      << r.error;
  EXPECT_FALSE(fs::Exists(out_.File("missing")));
  EXPECT_EQ(r.error.find("unknown error"), std::string::npos) << r.error;
  // Only a new file or an earlier regular file is written: never the input,
  // a folder or a named pipe.
  ASSERT_EQ(mkfifo(out_.File("fifo").c_str(), 0600), 0);
  ASSERT_TRUE(fs::MakeFolder(out_.File("folder")));
  const std::string input = in_.File("in.pict");
  const std::string kept[] = {input, out_.File("fifo"), out_.File("folder")};
  for (const std::string& output : kept) {
    SCOPED_TRACE(output);
    const RunResult refused = test::Run(THUMBNAILER_EXE, {input, output});
    EXPECT_EQ(refused.exit_status, 4);
    EXPECT_NE(refused.error.find("cannot write " + output + ": "), std::string::npos);
  }
  EXPECT_EQ(ReadText(input), good);
  EXPECT_EQ(fs::KindOf(out_.File("fifo")), fs::PathKind::kPipe);
  // A pipe would never end: it is refused unread.
  ASSERT_EQ(mkfifo(in_.File("pipe.pict").c_str(), 0600), 0);
  const RunResult pipe = test::Run(THUMBNAILER_EXE, {in_.File("pipe.pict"), out_.File("p.png")});
  EXPECT_EQ(pipe.exit_status, 2);
  EXPECT_FALSE(fs::Exists(out_.File("p.png")));
}

// A picture that paints for seconds within the reader's budget is ended by
// the time limit, leaving no file.
TEST_F(ThumbnailerTest, ARunPastItsTimeLimitEndsWithNoFile) {
  const RunResult r = Thumbnail(EndlessOvals(), {"-s", "256", "-t", "1"});
  EXPECT_TRUE(r.exit_status == 128 + SIGALRM || r.exit_status == 128 + SIGXCPU) << r.exit_status;
  EXPECT_NE(r.error.find("time limit reached"), std::string::npos) << r.error;
  EXPECT_TRUE(Listing(out_.path()).empty());
}

}  // namespace
}  // namespace pic2jpg::test
