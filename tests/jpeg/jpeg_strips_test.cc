// Strip-wise JPEG saving: the plan of strips, and the spliced files against
// one-pass saves of the library with the same flags (same pixels, same
// header, a clean decode).
#include "engine/jpeg_strips.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/bitmap_ptr.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

constexpr int k444 = JPEG_SUBSAMPLING_444;
constexpr int k420 = JPEG_SUBSAMPLING_420;
constexpr int k422 = JPEG_SUBSAMPLING_422;
constexpr int k411 = JPEG_SUBSAMPLING_411;

// A photograph-like picture: gradients, hard edges and noise, so that the
// entropy-coded data holds plenty of stuffed 0xFF bytes. Greyscale when
// `bpp` is 8.
FIBITMAP* MakePhoto(int width, int height, int bpp = 24) {
  FIBITMAP* image = FreeImage_Allocate(width, height, bpp);
  if (image == nullptr) return nullptr;
  if (bpp == 8) {
    RGBQUAD* palette = FreeImage_GetPalette(image);
    for (int i = 0; i < 256; ++i) {
      palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i);
    }
  }
  uint32_t seed = 12345;
  const int channels = bpp / 8;
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, y);
    for (int x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = static_cast<int>(seed >> 27) - 16;
      const bool edge = ((x / 37) + (y / 23)) % 5 == 0;
      for (int c = 0; c < channels; ++c) {
        int value = (x * (c + 1) * 255 / width + y * 255 / height) / 2 + noise + (edge ? 90 : 0);
        row[x * channels + c] = static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
      }
    }
  }
  return image;
}

// Messages the library reports while decoding (libjpeg's warnings about
// corrupt data, extraneous bytes, missing restarts come through here).
std::vector<std::string>* g_messages = nullptr;
void CollectMessage(FREE_IMAGE_FORMAT, const char* message) {
  if (g_messages != nullptr) g_messages->push_back(message);
}

// Decodes JPEG bytes; `messages` gets what the decoder reported.
FIBITMAP* Decode(const std::string& jpeg, std::vector<std::string>* messages) {
  messages->clear();
  g_messages = messages;
  FreeImage_SetOutputMessage(CollectMessage);
  FIMEMORY* memory = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(jpeg.data())),
                                          static_cast<DWORD>(jpeg.size()));
  FIBITMAP* image = FreeImage_LoadFromMemory(FIF_JPEG, memory, 0);
  FreeImage_CloseMemory(memory);
  FreeImage_SetOutputMessage(nullptr);
  g_messages = nullptr;
  return image;
}

// True when both pictures have the same size, depth and pixel bytes.
bool SamePixels(FIBITMAP* a, FIBITMAP* b) {
  if (a == nullptr || b == nullptr) return false;
  const unsigned width = FreeImage_GetWidth(a);
  const unsigned height = FreeImage_GetHeight(a);
  const unsigned bpp = FreeImage_GetBPP(a);
  if (width != FreeImage_GetWidth(b) || height != FreeImage_GetHeight(b) ||
      bpp != FreeImage_GetBPP(b)) {
    return false;
  }
  for (unsigned y = 0; y < height; ++y) {
    if (std::memcmp(FreeImage_GetScanLine(a, static_cast<int>(y)),
                    FreeImage_GetScanLine(b, static_cast<int>(y)), width * bpp / 8) != 0) {
      return false;
    }
  }
  return true;
}

int Byte(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]); }

// The marker segments before the scan and the scan's own data, as a reader
// sees them.
struct Layout {
  size_t sos = 0;         // offset of the SOS marker
  size_t scan = 0;        // first byte after the SOS segment
  int sof_height = -1;    // height in SOF0
  int restart = -1;       // interval in DRI, -1 without one
  std::vector<int> rsts;  // restart marker numbers in the scan, in order
  bool ends_with_eoi = false;
};

Layout ReadLayout(const std::string& jpeg) {
  Layout layout;
  size_t p = 2;
  while (p + 4 <= jpeg.size() && Byte(jpeg, p) == 0xFF) {
    const int marker = Byte(jpeg, p + 1);
    const size_t length = static_cast<size_t>(Byte(jpeg, p + 2) << 8 | Byte(jpeg, p + 3));
    if (marker == 0xC0) layout.sof_height = Byte(jpeg, p + 5) << 8 | Byte(jpeg, p + 6);
    if (marker == 0xDD) layout.restart = Byte(jpeg, p + 4) << 8 | Byte(jpeg, p + 5);
    if (marker == 0xDA) {
      layout.sos = p;
      layout.scan = p + 2 + length;
      break;
    }
    p += 2 + length;
  }
  for (size_t i = layout.scan; i + 1 < jpeg.size(); ++i) {
    if (Byte(jpeg, i) != 0xFF) continue;
    const int next = Byte(jpeg, i + 1);
    if (next >= 0xD0 && next <= 0xD7) layout.rsts.push_back(next - 0xD0);
    if (next == 0xD9) layout.ends_with_eoi = i + 2 == jpeg.size();
    if (next != 0xFF) ++i;
  }
  return layout;
}

// The strip file's segments up to its scan are the one-pass file's with a
// DRI segment for `restart_interval` just before SOS.
void ExpectOnePassHeader(const std::string& strips, const std::string& one_pass,
                         int restart_interval) {
  const Layout got = ReadLayout(strips);
  const Layout want = ReadLayout(one_pass);
  const std::string dri = {'\xFF',
                           '\xDD',
                           0,
                           4,
                           static_cast<char>(restart_interval >> 8),
                           static_cast<char>(restart_interval & 0xFF)};
  EXPECT_EQ(strips.substr(0, got.scan),
            one_pass.substr(0, want.sos) + dri + one_pass.substr(want.sos, want.scan - want.sos));
}

// ---------------------------------------------------------------------------
// The plan of strips.

struct PlanCase {
  const char* name;
  int width;
  int height;
  int flags;
  bool greyscale;
  int min_strips;
  int mcu_width;
  int mcu_height;
  int strip_count;
  int strip_height;
  int restart_interval;
};

TEST(PlanJpegStrips, CutsWholeMcuRowsWithinTheRestartLimit) {
  const PlanCase cases[] = {
      // 500 MCUs a row: 131 rows fit an interval, so three strips are needed; four keep it even.
      {"photo 4:4:4", 4000, 3000, 95 | k444, false, 2, 8, 8, 4, 752, 47000},
      {"photo 4:2:0", 4000, 3000, 95 | k420, false, 2, 16, 16, 2, 1504, 23500},
      {"photo, library default", 4000, 3000, 95, false, 2, 16, 16, 2, 1504, 23500},
      {"photo 4:2:2", 4000, 3000, 95 | k422, false, 2, 16, 8, 2, 1504, 47000},
      {"photo 4:1:1", 4000, 3000, 95 | k411, false, 2, 32, 8, 2, 1504, 23500},
      {"4:1:1 wins over 4:4:4", 4000, 3000, k411 | k444, false, 2, 32, 8, 2, 1504, 23500},
      {"greyscale ignores subsampling", 4000, 3000, 95 | k420, true, 2, 8, 8, 4, 752, 47000},
      // 8125 MCUs a row: one MCU row per strip.
      {"very wide, two MCU rows", 65000, 16, k444, false, 2, 8, 8, 2, 8, 8125},
      // Eight rows (65000 MCUs) is the most an interval holds.
      {"very wide, at the limit", 65000, 128, k444, false, 2, 8, 8, 2, 64, 65000},
      {"very wide, beyond the limit", 65500, 256, k444, false, 2, 8, 8, 4, 64, 65504},
      {"odd height: last strip partial", 1001, 997, k420, false, 2, 16, 16, 2, 512, 2016},
      {"more strips asked, even count", 1024, 1024, k444, false, 20, 8, 8, 22, 48, 768},
      {"odd count asked becomes even", 1024, 1024, k444, false, 3, 8, 8, 4, 256, 4096},
      {"fewer rows than strips asked", 64, 24, k444, false, 8, 8, 8, 3, 8, 8},
  };
  for (const PlanCase& c : cases) {
    SCOPED_TRACE(c.name);
    JpegStripPlan plan;
    ASSERT_TRUE(PlanJpegStrips(c.width, c.height, c.flags, c.greyscale, c.min_strips, &plan));
    EXPECT_EQ(plan.mcu_width, c.mcu_width);
    EXPECT_EQ(plan.mcu_height, c.mcu_height);
    EXPECT_EQ(plan.strip_count, c.strip_count);
    EXPECT_EQ(plan.strip_height, c.strip_height);
    EXPECT_EQ(plan.restart_interval, c.restart_interval);
  }
}

TEST(PlanJpegStrips, RefusesPicturesThatCannotBeCut) {
  const struct {
    const char* name;
    int width;
    int height;
    int flags;
  } cases[] = {
      {"one MCU row", 4000, 8, k444},
      {"one 4:2:0 MCU row", 4000, 16, k420},
      {"too wide for the codec", 65501, 100, k444},
      {"too tall for the codec", 100, 65501, k444},
      {"empty", 0, 100, k444},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    JpegStripPlan plan;
    EXPECT_FALSE(PlanJpegStrips(c.width, c.height, c.flags, false, 2, &plan));
  }
}

TEST(PlanJpegStrips, StripsCoverThePictureExactlyOnce) {
  const int flag_set[] = {k444, k420, k422, k411};
  for (int flags : flag_set) {
    for (int width : {1, 9, 640, 4000, 20001, 65500}) {
      for (int height : {17, 100, 999, 3000, 65500}) {
        JpegStripPlan plan;
        SCOPED_TRACE(testing::Message() << flags << " " << width << "x" << height);
        ASSERT_TRUE(PlanJpegStrips(width, height, flags, false, 2, &plan));
        EXPECT_GE(plan.strip_count, 2);
        EXPECT_LE(plan.restart_interval, kMaxJpegRestartInterval);
        EXPECT_EQ(plan.restart_interval, plan.rows_per_strip * plan.mcus_per_row);
        EXPECT_EQ(plan.strip_height % plan.mcu_height, 0);
        // Every strip but the last is full; the last holds at least one MCU row.
        EXPECT_LT((plan.strip_count - 1) * plan.strip_height, height);
        EXPECT_GE(plan.strip_count * plan.strip_height, height);
        // Two threads: an even count unless the picture is too short for it.
        if (plan.mcu_rows % 2 == 0) {
          EXPECT_EQ(plan.strip_count % 2, 0);
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Which pictures go the strip way.

TEST(CanSaveJpegInStrips, OnlyWhenTheFileComesOutRightAndItPays) {
  BitmapPtr rgb(test::MakeImage(1200, 1000));
  BitmapPtr rgba(test::MakeImage(1200, 1000, 32));
  BitmapPtr grey(MakePhoto(1200, 1000, 8));
  BitmapPtr palette(FreeImage_ConvertTo8Bits(rgb.get()));
  BitmapPtr small(test::MakeImage(999, 1000));
  BitmapPtr flat(test::MakeImage(130000 / 8, 8));
  BitmapPtr wide16(FreeImage_AllocateT(FIT_UINT16, 1200, 1000));
  // A picture read without its pixels.
  const std::string rgb_jpeg = test::LibraryJpeg(rgb.get(), 90);
  FIMEMORY* memory =
      FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(rgb_jpeg.data())),
                           static_cast<DWORD>(rgb_jpeg.size()));
  BitmapPtr header_only(FreeImage_LoadFromMemory(FIF_JPEG, memory, FIF_LOAD_NOPIXELS));
  FreeImage_CloseMemory(memory);
  // A colour palette is not greyscale, even at 8 bits.
  RGBQUAD* colours = FreeImage_GetPalette(palette.get());
  colours[1].rgbRed = 200;
  colours[1].rgbGreen = 10;
  const struct {
    const char* name;
    FIBITMAP* image;
    int flags;
    bool expected;
  } cases[] = {
      {"24-bit, 4:4:4", rgb.get(), 95 | k444, true},
      {"24-bit, library default", rgb.get(), 0, true},
      {"24-bit, baseline flag", rgb.get(), 95 | JPEG_BASELINE, true},
      {"8-bit greyscale", grey.get(), 95 | k420, true},
      {"optimised tables", rgb.get(), 95 | JPEG_OPTIMIZE, false},
      {"progressive", rgb.get(), 95 | JPEG_PROGRESSIVE, false},
      {"32-bit", rgba.get(), 95, false},
      {"8-bit colour palette", palette.get(), 95, false},
      {"16-bit greyscale", wide16.get(), 95, false},
      {"below a megapixel", small.get(), 95, false},
      {"a single MCU row", flat.get(), 95 | k444, false},
      {"no pixels", header_only.get(), 95, false},
      {"null", nullptr, 95, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CanSaveJpegInStrips(c.image, c.flags), c.expected);
  }
}

TEST(EncodeJpegInStrips, RefusesWhatWouldComeOutWrongAndLeavesNoFile) {
  BitmapPtr rgb(MakePhoto(640, 480));
  BitmapPtr rgba(test::MakeImage(640, 480, 32));
  const struct {
    const char* name;
    FIBITMAP* image;
    int flags;
  } cases[] = {
      {"optimised tables", rgb.get(), 95 | JPEG_OPTIMIZE},
      {"progressive", rgb.get(), 95 | JPEG_PROGRESSIVE},
      {"32-bit", rgba.get(), 95},
      {"null", nullptr, 95},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string jpeg = "old";
    EXPECT_FALSE(EncodeJpegInStrips(c.image, c.flags, &jpeg));
    EXPECT_TRUE(jpeg.empty());
    EXPECT_FALSE(SaveJpegInStrips(c.image, c.flags, dir.File("out.jpg")));
    EXPECT_FALSE(test::LoadImage(dir.File("out.jpg")));
  }
  // A folder that does not exist: nothing is written anywhere.
  EXPECT_FALSE(SaveJpegInStrips(rgb.get(), 95, dir.File("missing/out.jpg")));
  EXPECT_FALSE(test::LoadImage(dir.File("missing/out.jpg")));
}

// ---------------------------------------------------------------------------
// The spliced file against a one-pass save.

struct SpliceCase {
  const char* name;
  int width;
  int height;
  int bpp;
  int flags;
  int min_strips;
};

// Checks every property of the strip file for one picture: same pixels as
// the one-pass file, the same header apart from the height and the DRI
// segment, a restart marker on each strip edge, and a decode without a
// single warning.
void CheckSplice(const SpliceCase& c) {
  SCOPED_TRACE(c.name);
  BitmapPtr image(MakePhoto(c.width, c.height, c.bpp));
  ASSERT_NE(image.get(), nullptr);
  std::string strips;
  ASSERT_TRUE(EncodeJpegInStrips(image.get(), c.flags, &strips, c.min_strips));
  const std::string one_pass = test::LibraryJpeg(image.get(), c.flags);
  ASSERT_FALSE(one_pass.empty());

  std::vector<std::string> messages;
  BitmapPtr from_strips(Decode(strips, &messages));
  EXPECT_TRUE(messages.empty()) << messages.front();
  BitmapPtr from_one_pass(Decode(one_pass, &messages));
  EXPECT_TRUE(SamePixels(from_strips.get(), from_one_pass.get()));

  JpegStripPlan plan;
  ASSERT_TRUE(PlanJpegStrips(c.width, c.height, c.flags, c.bpp == 8, c.min_strips, &plan));
  const Layout got = ReadLayout(strips);
  const Layout want = ReadLayout(one_pass);
  EXPECT_EQ(got.sof_height, c.height);
  EXPECT_EQ(got.restart, plan.restart_interval);
  EXPECT_EQ(want.restart, -1);
  EXPECT_TRUE(got.ends_with_eoi);
  ASSERT_EQ(got.rsts.size(), static_cast<size_t>(plan.strip_count - 1));
  for (size_t k = 0; k < got.rsts.size(); ++k) EXPECT_EQ(got.rsts[k], static_cast<int>(k % 8));
  ExpectOnePassHeader(strips, one_pass, plan.restart_interval);
}

TEST(EncodeJpegInStrips, DecodesToTheSamePixelsAsOnePass) {
  const SpliceCase cases[] = {
      {"4:4:4 q50", 800, 600, 24, 50 | k444, 2},
      {"4:4:4 q95", 800, 600, 24, 95 | k444, 2},
      {"4:4:4 q100", 800, 600, 24, 100 | k444, 2},
      {"4:2:0 q50", 800, 600, 24, 50 | k420, 2},
      {"4:2:0 q95", 800, 600, 24, 95 | k420, 2},
      {"4:2:0 q100", 800, 600, 24, 100 | k420, 2},
      {"4:2:2 q95", 800, 600, 24, 95 | k422, 2},
      {"4:1:1 q95", 800, 600, 24, 95 | k411, 2},
      {"library defaults", 800, 600, 24, 0, 2},
      {"baseline flag: no JFIF segment", 800, 600, 24, 95 | JPEG_BASELINE, 2},
      {"odd sizes 4:2:0", 1001, 997, 24, 95 | k420, 2},
      {"odd sizes 4:1:1", 1001, 997, 24, 95 | k411, 2},
      {"odd sizes 4:4:4", 999, 1001, 24, 90 | k444, 2},
      {"last MCU row partial", 640, 513, 24, 95 | k420, 2},
      {"last strip one pixel high", 300, 49, 24, 95 | k420, 4},
      {"one MCU row per strip", 300, 64, 24, 95 | k420, 4},
      {"restart numbers wrap", 512, 512, 24, 95 | k444, 20},
      {"greyscale", 1001, 777, 8, 95, 2},
      {"greyscale q100, many strips", 640, 480, 8, 100 | k420, 10},
      {"very wide, one MCU row per strip", 65000, 16, 24, 95 | k444, 2},
      {"very wide, at the restart limit", 65000, 128, 24, 95 | k444, 2},
  };
  for (const SpliceCase& c : cases) CheckSplice(c);
}

TEST(EncodeJpegInStrips, PhotoSizeInTheDefaultPlan) {
  CheckSplice({"4000 x 3000 4:4:4", 4000, 3000, 24, 95 | k444, 2});
  CheckSplice({"4000 x 3000 4:2:0", 4000, 3000, 24, 95 | k420, 2});
}

TEST(EncodeJpegInStrips, TheDecodeCheckNoticesABadRestart) {
  // The strict check above must be able to fail: a restart marker with the
  // wrong number makes the decoder complain.
  BitmapPtr image(MakePhoto(512, 512));
  std::string strips;
  ASSERT_TRUE(EncodeJpegInStrips(image.get(), 95 | k444, &strips, 4));
  const Layout layout = ReadLayout(strips);
  ASSERT_EQ(layout.rsts.size(), 3u);
  const size_t first_rst = strips.find("\xFF\xD0", layout.scan);
  ASSERT_NE(first_rst, std::string::npos);
  strips[first_rst + 1] = '\xD3';
  std::vector<std::string> messages;
  BitmapPtr decoded(Decode(strips, &messages));
  EXPECT_FALSE(messages.empty());
}

TEST(SaveJpegInStrips, KeepsResolutionProfileMetadataAndThumbnail) {
  BitmapPtr image(MakePhoto(1200, 900));
  FreeImage_SetDotsPerMeterX(image.get(), 11811);  // 300 dpi
  FreeImage_SetDotsPerMeterY(image.get(), 5906);   // 150 dpi
  std::vector<BYTE> profile(3000);
  for (size_t i = 0; i < profile.size(); ++i) profile[i] = static_cast<BYTE>(i * 7);
  FreeImage_CreateICCProfile(image.get(), profile.data(), static_cast<long>(profile.size()));
  const std::string comment = "made by the strip test";
  FITAG* tag = FreeImage_CreateTag();
  FreeImage_SetTagKey(tag, "Comment");
  FreeImage_SetTagType(tag, FIDT_ASCII);
  FreeImage_SetTagLength(tag, static_cast<DWORD>(comment.size() + 1));
  FreeImage_SetTagCount(tag, static_cast<DWORD>(comment.size() + 1));
  FreeImage_SetTagValue(tag, comment.c_str());
  FreeImage_SetMetadata(FIMD_COMMENTS, image.get(), "Comment", tag);
  FreeImage_DeleteTag(tag);
  const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'></x:xmpmeta>";
  tag = FreeImage_CreateTag();
  FreeImage_SetTagKey(tag, "XMLPacket");
  FreeImage_SetTagType(tag, FIDT_ASCII);
  FreeImage_SetTagLength(tag, static_cast<DWORD>(xmp.size() + 1));
  FreeImage_SetTagCount(tag, static_cast<DWORD>(xmp.size() + 1));
  FreeImage_SetTagValue(tag, xmp.c_str());
  FreeImage_SetMetadata(FIMD_XMP, image.get(), "XMLPacket", tag);
  FreeImage_DeleteTag(tag);
  BitmapPtr thumbnail(test::MakeImage(120, 90, 24, 0x3366CC));
  FreeImage_SetThumbnail(image.get(), thumbnail.get());

  const int flags = 95 | k444;
  test::TempDir dir;
  const std::string path = dir.File("out.jpg");
  ASSERT_TRUE(SaveJpegInStrips(image.get(), flags, path));
  const std::string saved = test::ReadText(path);
  std::string encoded;
  ASSERT_TRUE(EncodeJpegInStrips(image.get(), flags, &encoded));
  EXPECT_EQ(saved, encoded);

  // The header is the one-pass header, metadata and all, with a DRI segment.
  const std::string one_pass = test::LibraryJpeg(image.get(), flags);
  JpegStripPlan plan;
  ASSERT_TRUE(PlanJpegStrips(1200, 900, flags, false, 2, &plan));
  ExpectOnePassHeader(saved, one_pass, plan.restart_interval);
  EXPECT_NE(one_pass.find(comment), std::string::npos);
  EXPECT_NE(one_pass.find(xmp), std::string::npos);
  EXPECT_NE(one_pass.find("JFXX"), std::string::npos);  // the thumbnail

  BitmapPtr loaded(test::LoadImage(path));
  ASSERT_NE(loaded.get(), nullptr);
  EXPECT_EQ(FreeImage_GetDotsPerMeterX(loaded.get()), 11811u);
  EXPECT_EQ(FreeImage_GetDotsPerMeterY(loaded.get()), 5906u);
  FIICCPROFILE* loaded_profile = FreeImage_GetICCProfile(loaded.get());
  ASSERT_EQ(loaded_profile->size, static_cast<long>(profile.size()));
  EXPECT_EQ(std::memcmp(loaded_profile->data, profile.data(), profile.size()), 0);
  FITAG* loaded_comment = nullptr;
  FreeImage_GetMetadata(FIMD_COMMENTS, loaded.get(), "Comment", &loaded_comment);
  ASSERT_NE(loaded_comment, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(FreeImage_GetTagValue(loaded_comment))), comment);
}

TEST(SaveJpegInStrips, ImageMagickReadsItWithoutComplaint) {
  const std::string identify = "/usr/bin/identify";
  if (test::Run("/bin/sh", {"-c", "test -x " + identify}).exit_status != 0) {
    GTEST_SKIP() << "no ImageMagick";
  }
  BitmapPtr image(MakePhoto(1500, 1100));
  test::TempDir dir;
  const std::string path = dir.File("out.jpg");
  ASSERT_TRUE(SaveJpegInStrips(image.get(), 95 | k420, path));
  const test::RunResult result = test::Run(identify, {"-verbose", "-regard-warnings", path});
  EXPECT_EQ(result.exit_status, 0) << result.error;
  EXPECT_EQ(result.error, "");
  EXPECT_NE(result.output.find("Geometry: 1500x1100"), std::string::npos);

  // And it does complain when a restart marker is out of order.
  std::string jpeg = test::ReadText(path);
  const size_t first_rst = jpeg.find("\xFF\xD0", ReadLayout(jpeg).scan);
  ASSERT_NE(first_rst, std::string::npos);
  jpeg[first_rst + 1] = '\xD5';
  const std::string bad_path = dir.File("bad.jpg");
  ASSERT_TRUE(test::WriteText(bad_path, jpeg));
  const test::RunResult bad = test::Run(identify, {"-verbose", "-regard-warnings", bad_path});
  EXPECT_TRUE(bad.exit_status != 0 || !bad.error.empty());
}

}  // namespace
}  // namespace pic2jpg
