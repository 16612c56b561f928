// QuickTime's video codecs: pictures whose frame FFmpeg's encoders wrote
// (tests/data/pict-quicktime, made by scripts/make-quicktime-pictures)
// decode near their source, and hostile image descriptions fail cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "pict/pict_reader.h"
#include "support/test_support.h"

namespace pic2jpg::test {
namespace {

TEST(QuickTimeCodecTest, EveryCodecDecodesNearItsSourceAndSilently) {
  struct Case {
    const char* name;
    double min_psnr;  // dB; the encoders' own loss sets the floor
  };
  const Case cases[] = {
      {"cvid-320x240", 40},
      {"rpza-192x144", 33},
      {"rle-160x120", 99},
      {"smc-160x120", 27},
      {"svq1-160x120", 40},
      {"h261-176x144", 23},
      {"h263-176x144", 23},
      {"mjpa-160x120", 40},
      // Other depths: 16 and 32 bits, and greys (40).
      {"rle16-160x120", 40},
      {"rle32-160x120", 99},
      {"rle40-160x120", 99},
      {"cvid40-160x120", 45},
  };
  TempDir temp;
  std::string output = temp.File("out.tga");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string base = DataFile(std::string("pict-quicktime/") + c.name);
    RunResult run = test::Run(PICT2TGA_EXE, {base + ".pict", output});
    ASSERT_EQ(run.exit_status, 0) << run.error;
    EXPECT_EQ(run.error, "");  // the codec library's remarks are kept quiet
    EXPECT_GE(PsnrOfFiles(output, base + ".png"), c.min_psnr);
  }
}

// A picture file with its image description and frame located.
struct QuickTimeFile {
  std::string bytes;
  size_t description = 0;  // offset of the description's size field
  size_t frame = 0;

  explicit QuickTimeFile(const std::string& name)
      : bytes(ReadText(DataFile("pict-quicktime/" + name + ".pict"))) {
    description = bytes.find(name.substr(0, 4) == "rle-" ? "rle " : name.substr(0, 4), 512) - 4;
    frame = description + Get32(0);
  }
  uint32_t Get32(size_t at) const {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + description + at;
    return static_cast<uint32_t>(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]);
  }
  void Put16(size_t at, int v) {
    bytes[description + at] = static_cast<char>(v >> 8);
    bytes[description + at + 1] = static_cast<char>(v);
  }
  void Put32(size_t at, uint32_t v) {
    Put16(at, static_cast<int>(v >> 16));
    Put16(at + 2, static_cast<int>(v & 0xFFFF));
  }
};

constexpr size_t kCodec = 4, kWidth = 32, kHeight = 34, kDataSize = 44, kDepth = 82;

TEST(QuickTimeCodecTest, HostileImageDescriptionsFailWithAReason) {
  struct Case {
    const char* name;
    const char* file;
    void (*damage)(QuickTimeFile*);
    const char* message;
  };
  const Case cases[] = {
      {"data size past the end of the file", "cvid-320x240",
       [](QuickTimeFile* f) { f->Put32(kDataSize, 0x7FFFFFF0); }, "runs past its opcode"},
      {"width 0", "cvid-320x240", [](QuickTimeFile* f) { f->Put16(kWidth, 0); },
       "impossible image size 0 x 240"},
      {"height 65535", "rpza-192x144", [](QuickTimeFile* f) { f->Put16(kHeight, 0xFFFF); },
       "impossible image size 192 x -1"},
      {"a depth the codec does not take", "rle-160x120",
       [](QuickTimeFile* f) { f->Put16(kDepth, 7); }, "cannot decode an image of depth 7"},
      {"codec name of control bytes", "cvid-320x240",
       [](QuickTimeFile* f) { f->Put32(kCodec, 0x01020304); },
       "QuickTime codec '\\x01\\x02\\x03\\x04' is not supported"},
      {"truncated Cinepak stream", "cvid-320x240",
       [](QuickTimeFile* f) { f->Put32(kDataSize, f->Get32(kDataSize) / 2); }, "'cvid'"},
      {"truncated Road Pizza stream", "rpza-192x144",
       [](QuickTimeFile* f) { f->Put32(kDataSize, f->Get32(kDataSize) / 3); }, "'rpza'"},
      {"a frame of another size than described", "cvid-320x240",
       [](QuickTimeFile* f) {
         f->Put16(kWidth, 160);
         f->Put16(kHeight, 120);
       },
       "'cvid'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QuickTimeFile file(c.file);
    c.damage(&file);
    pict::Picture picture;
    pict::DecodeResult result = pict::DecodePict(
        reinterpret_cast<const uint8_t*>(file.bytes.data()), file.bytes.size(), &picture);
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
    EXPECT_TRUE(picture.pixels.empty());
  }
}

}  // namespace
}  // namespace pic2jpg::test
