// The pict2tga program: its command line, exit statuses, the Targa it
// writes (depth, origin, row order) and that a failure leaves no file.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "platform/row_stream.h"
#include "support/test_support.h"
#include "tests/pict/pict_builder.h"

namespace pic2jpg::test {
namespace {

using pict::test_util::PictBuilder;
using pict::test_util::StartPicture;

// A 3x2 picture: red, green, blue on top; black, white, grey below.
std::string SixColourPicture() {
  PictBuilder b = StartPicture({pict::QdRect{0, 0, 2, 3}});
  b.Op(0x9A);
  b.U32(0xFF);
  b.U16(12 | 0x8000);
  pict::test_util::PixMapBody(&b, {0, 0, 2, 3}, 1, 32, 3, 8);
  b.Rect(0, 0, 2, 3);
  b.Rect(0, 0, 2, 3);
  b.U16(0);
  const int colours[6][3] = {{255, 0, 0}, {0, 255, 0},     {0, 0, 255},
                             {0, 0, 0},   {255, 255, 255}, {128, 128, 128}};
  for (const auto& c : colours) {
    b.U8(0);
    b.U8(c[0]);
    b.U8(c[1]);
    b.U8(c[2]);
  }
  std::vector<uint8_t> data = b.Finish();
  return std::string(data.begin(), data.end());
}

// Files in a folder other than the input, temporary ones included.
std::vector<std::string> OutputsIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (name != "in.pict") names.push_back(name);
  }
  return names;
}

// A colour for every pixel, different for neighbours in both directions.
int ColourAt(int x, int y) {
  int r = (x * 37 + y * 11) & 0xFF;
  int g = (x * 5 + y * 71) & 0xFF;
  int b = ((x ^ y) * 13 + 7) & 0xFF;
  return (r << 16) | (g << 8) | b;
}

// A width x height picture of one unpacked 32-bit DirectBitsRect.
std::string ColourPicture(int width, int height) {
  const std::vector<uint8_t> data = pict::test_util::DirectPicture(width, height, ColourAt);
  return std::string(data.begin(), data.end());
}

// Widths around the four-pixel groups the rows are packed in.
TEST(Pict2tgaTest, WritesEveryPixelIntoABottomUpTwentyFourBitTarga) {
  const int kSizes[][2] = {{1, 1}, {3, 2}, {4, 1}, {5, 3}, {7, 2}, {8, 3}, {13, 4}, {64, 5}};
  for (const auto& size : kSizes) {
    const int width = size[0], height = size[1];
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    TempDir temp;
    ASSERT_TRUE(WriteText(temp.File("in.pict"), ColourPicture(width, height)));
    RunResult run = test::Run(PICT2TGA_EXE, {"-quiet", "-colorspace", "sRGB", temp.File("in.pict"),
                                             temp.File("out.tga")});
    ASSERT_EQ(run.exit_status, 0) << run.error;
    std::string file = ReadText(temp.File("out.tga"));
    ASSERT_EQ(file.size(), 18u + 3u * static_cast<size_t>(width * height));
    EXPECT_EQ(file[2], 2);  // uncompressed true colour
    EXPECT_EQ(static_cast<uint8_t>(file[16]), 24);
    EXPECT_EQ(static_cast<uint8_t>(file[17]), 0);  // origin bottom left, no alpha bits...
    // ... so the first row stored is the bottom one, in B, G, R order.
    int first = ColourAt(0, height - 1);
    EXPECT_EQ(static_cast<uint8_t>(file[18]), first & 0xFF);
    EXPECT_EQ(static_cast<uint8_t>(file[20]), first >> 16);

    FIBITMAP* image = LoadImage(temp.File("out.tga"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(FreeImage_GetWidth(image), static_cast<unsigned>(width));
    EXPECT_EQ(FreeImage_GetHeight(image), static_cast<unsigned>(height));
    EXPECT_EQ(FreeImage_GetBPP(image), 24u);
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) wrong += PixelAt(image, x, y) != ColourAt(x, y);
    }
    EXPECT_EQ(wrong, 0);
    FreeImage_Unload(image);
  }
}

// The row stream: a header, then every row top first in blue, green, red,
// for widths around the packing groups; a refusal writes nothing.
TEST(Pict2tgaTest, RowsStreamTopFirstWithTheirHeader) {
  const int kSizes[][2] = {{1, 1}, {5, 3}, {13, 4}, {64, 5}};
  for (const auto& size : kSizes) {
    const int width = size[0], height = size[1];
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    TempDir temp;
    ASSERT_TRUE(WriteText(temp.File("in.pict"), ColourPicture(width, height)));
    RunResult run = test::Run(PICT2TGA_EXE, {"--rows", temp.File("in.pict")});
    ASSERT_EQ(run.exit_status, 0) << run.error;
    RowStreamHeader header;
    ASSERT_GE(run.output.size(), kRowStreamHeaderSize);
    ASSERT_TRUE(ReadRowStreamHeader(reinterpret_cast<const uint8_t*>(run.output.data()), &header));
    EXPECT_EQ(header.width, width);
    EXPECT_EQ(header.height, height);
    EXPECT_EQ(header.depth, 24);
    ASSERT_EQ(run.output.size(), kRowStreamHeaderSize + 3u * static_cast<size_t>(width * height));
    int wrong = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(run.output.data()) + kRowStreamHeaderSize;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x, p += 3)
        wrong += ((p[2] << 16) | (p[1] << 8) | p[0]) != ColourAt(x, y);
    }
    EXPECT_EQ(wrong, 0);
  }
  TempDir temp;
  std::string truncated = SixColourPicture();
  truncated.resize(truncated.size() - 20);
  ASSERT_TRUE(WriteText(temp.File("in.pict"), truncated));
  RunResult run = test::Run(PICT2TGA_EXE, {"--rows", temp.File("in.pict")});
  EXPECT_EQ(run.exit_status, 3);
  EXPECT_EQ(run.output, "");
  EXPECT_NE(run.error.find("truncated"), std::string::npos) << run.error;
}

// A picture decoded a row at a time learns its depth only at its first
// pixel in colour: the rows before it still come out as the grey they are,
// and a picture grey to its last pixel is a grey stream. Wide enough that
// the rows held fill more than one of the pieces the rows are written in.
TEST(Pict2tgaTest, RowsStreamGreyOnlyWhenTheWholePictureIsGrey) {
  constexpr int kWidth = 2000, kHeight = 200;
  for (const bool colour_at_the_end : {false, true}) {
    SCOPED_TRACE(colour_at_the_end ? "one colour pixel at the end" : "grey");
    auto pixel = [&](int x, int y) {
      if (colour_at_the_end && x == kWidth - 1 && y == kHeight - 1) return 0x102030;
      return ((x + 3 * y) & 0xFF) * 0x010101;
    };
    TempDir temp;
    const std::vector<uint8_t> data = pict::test_util::DirectPicture(kWidth, kHeight, pixel);
    ASSERT_TRUE(WriteText(temp.File("in.pict"), std::string(data.begin(), data.end())));
    RunResult run = test::Run(PICT2TGA_EXE, {"--rows", temp.File("in.pict")});
    ASSERT_EQ(run.exit_status, 0) << run.error;
    RowStreamHeader header;
    ASSERT_GE(run.output.size(), kRowStreamHeaderSize);
    ASSERT_TRUE(ReadRowStreamHeader(reinterpret_cast<const uint8_t*>(run.output.data()), &header));
    EXPECT_EQ(header.depth, colour_at_the_end ? 24 : 8);
    const size_t channels = colour_at_the_end ? 3 : 1;
    ASSERT_EQ(run.output.size(), kRowStreamHeaderSize + channels * kWidth * kHeight);
    const auto* p = reinterpret_cast<const uint8_t*>(run.output.data()) + kRowStreamHeaderSize;
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x, p += channels) {
        const int got = channels == 1 ? p[0] * 0x010101 : (p[2] << 16) | (p[1] << 8) | p[0];
        wrong += got != pixel(x, y);
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

// A picture holding a QuickTime PNG of 2x1 pixels: transparent, then opaque red.
std::string TransparentPicture() {
  FIBITMAP* dib = FreeImage_Allocate(2, 1, 32);
  BYTE* row = FreeImage_GetScanLine(dib, 0);
  const BYTE pixels[8] = {0, 0, 0, 0, 0, 0, 255, 255};  // B, G, R, A twice
  std::memcpy(row, pixels, sizeof pixels);
  FIMEMORY* memory = FreeImage_OpenMemory();
  FreeImage_SaveToMemory(FIF_PNG, dib, memory, 0);
  BYTE* bytes = nullptr;
  DWORD size = 0;
  FreeImage_AcquireMemory(memory, &bytes, &size);
  pict::test_util::QuickTimeSpec request;
  request.codec = "png ";
  request.width = 2;
  request.height = 1;
  request.data.assign(bytes, bytes + size);
  FreeImage_CloseMemory(memory);
  FreeImage_Unload(dib);
  PictBuilder b = StartPicture({pict::QdRect{0, 0, 1, 2}});
  pict::test_util::CompressedQuickTime(&b, request);
  std::vector<uint8_t> data = b.Finish();
  return std::string(data.begin(), data.end());
}

TEST(Pict2tgaTest, TransparentPictureBecomesAThirtyTwoBitTargaWithAlpha) {
  TempDir temp;
  ASSERT_TRUE(WriteText(temp.File("in.pict"), TransparentPicture()));
  RunResult run = test::Run(PICT2TGA_EXE, {temp.File("in.pict"), temp.File("out.tga")});
  ASSERT_EQ(run.exit_status, 0) << run.error;
  std::string file = ReadText(temp.File("out.tga"));
  ASSERT_EQ(file.size(), 18u + 2 * 4);
  EXPECT_EQ(static_cast<uint8_t>(file[16]), 32);
  EXPECT_EQ(static_cast<uint8_t>(file[17]), 0x08);  // origin bottom left, eight alpha bits
  FIBITMAP* image = LoadImage(temp.File("out.tga"));
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(FreeImage_GetBPP(image), 32u);
  BYTE* row = FreeImage_GetScanLine(image, 0);
  EXPECT_EQ(row[FI_RGBA_ALPHA], 0);
  EXPECT_EQ(row[FI_RGBA_RED], 255);  // white under the transparent pixel
  EXPECT_EQ(row[4 + FI_RGBA_ALPHA], 255);
  EXPECT_EQ(row[4 + FI_RGBA_RED], 255);
  EXPECT_EQ(row[4 + FI_RGBA_GREEN], 0);
  FreeImage_Unload(image);
}

TEST(Pict2tgaTest, AcceptsOptionsItHasNoUseFor) {
  const std::vector<std::vector<std::string>> option_sets = {
      {},
      {"-quiet"},
      {"-colorspace", "sRGB"},
      {"-density", "300", "-flip", "+antialias", "-quiet", "-colorspace", "RGB"},
  };
  for (const auto& options : option_sets) {
    TempDir temp;
    ASSERT_TRUE(WriteText(temp.File("in.pict"), SixColourPicture()));
    std::vector<std::string> args = options;
    args.push_back(temp.File("in.pict"));
    args.push_back(temp.File("out.tga"));
    EXPECT_EQ(test::Run(PICT2TGA_EXE, args).exit_status, 0);
    EXPECT_TRUE(fs::Exists(temp.File("out.tga")));
  }
}

TEST(Pict2tgaTest, FormatPrefixOnTheOutputNamesTheSameFile) {
  TempDir temp;
  ASSERT_TRUE(WriteText(temp.File("in.pict"), SixColourPicture()));
  EXPECT_EQ(
      test::Run(PICT2TGA_EXE, {temp.File("in.pict"), "tga:" + temp.File("out.tga")}).exit_status,
      0);
  EXPECT_TRUE(fs::Exists(temp.File("out.tga")));
}

TEST(Pict2tgaTest, FailuresExitNonZeroAndLeaveNoFile) {
  struct Case {
    const char* name;
    std::string input_contents;  // "" for no input file at all
    bool two_files;
    bool output_in_missing_folder;
    int status;
  };
  std::string truncated = SixColourPicture();
  truncated.resize(truncated.size() - 20);
  const Case cases[] = {
      {"no file names", SixColourPicture(), false, false, 1},
      {"missing input", "", true, false, 2},
      {"not a picture", "GIF89a and then some more bytes than a header", true, false, 3},
      {"truncated picture", truncated, true, false, 3},
      {"output folder missing", SixColourPicture(), true, true, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir temp;
    if (!c.input_contents.empty()) {
      ASSERT_TRUE(WriteText(temp.File("in.pict"), c.input_contents));
    }
    std::string output =
        c.output_in_missing_folder ? temp.File("nowhere/out.tga") : temp.File("out.tga");
    std::vector<std::string> args = {"-quiet", "-colorspace", "sRGB"};
    if (c.two_files) {
      args.push_back(temp.File("in.pict"));
      args.push_back(output);
    }
    RunResult run = test::Run(PICT2TGA_EXE, args);
    EXPECT_EQ(run.exit_status, c.status);
    EXPECT_FALSE(fs::Exists(output));
    EXPECT_TRUE(OutputsIn(temp.path()).empty());
  }
}

// -quiet silences remarks, not the reason a file failed: the engine shows it.
// The hostile files of the size limits fail at once, with their reason.
TEST(Pict2tgaTest, FailuresGiveTheirReasonAlsoWhenQuiet) {
  struct Case {
    const char* name;
    std::string contents;
    const char* reason;
    uint64_t sparse_size;  // grown to this size without writing, when set
  };
  std::vector<uint8_t> huge = StartPicture({pict::QdRect{0, 0, 16000, 16000}}).Finish();
  const Case cases[] = {
      {"not a picture", "not a picture at all, long enough", "not a PICT", 0},
      {"a header for 16000 x 16000", std::string(huge.begin(), huge.end()),
       "picture too large: 16000 x 16000", 0},
      {"a 2 GiB file", SixColourPicture(), "input file over 256 MiB", uint64_t{2} << 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir temp;
    std::string input = temp.File("in.pict");
    ASSERT_TRUE(WriteText(input, c.contents));
    if (c.sparse_size != 0) std::filesystem::resize_file(input, c.sparse_size);
    for (bool quiet : {false, true}) {
      std::vector<std::string> args = {input, temp.File("out.tga")};
      if (quiet) args.insert(args.begin(), "-quiet");
      RunResult run = test::Run(PICT2TGA_EXE, args);
      EXPECT_EQ(run.exit_status, 3);
      EXPECT_NE(run.error.find(c.reason), std::string::npos) << run.error;
      EXPECT_TRUE(OutputsIn(temp.path()).empty());
    }
  }
}

}  // namespace
}  // namespace pic2jpg::test
