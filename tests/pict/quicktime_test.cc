// CompressedQuickTime images: every payload kind, placement by the matrix,
// transparency, and the stand-in drawing skipped only when the image decoded.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "tests/pict/pict_builder.h"

namespace pic2jpg::pict::test_util {
namespace {

Rgb ImageColour(int x, int y) {
  return Rgb{static_cast<uint8_t>(40 + 50 * x), static_cast<uint8_t>(30 + 60 * y),
             static_cast<uint8_t>(200 - 20 * x)};
}

constexpr int kW = 4;
constexpr int kH = 3;

std::vector<uint8_t> RawPixels(int depth) {
  std::vector<uint8_t> data;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      Rgb c = ImageColour(x, y);
      if (depth == 32) data.insert(data.end(), {0, c.r, c.g, c.b});
      if (depth == 24) data.insert(data.end(), {c.r, c.g, c.b});
      if (depth == 16) {
        int v = ((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3);
        data.insert(data.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
      }
    }
  }
  return data;
}

// A request for the kW x kH test image in `data`, stored by `codec` at `depth`.
QuickTimeSpec TestImage(const char* codec, int depth, std::vector<uint8_t> data) {
  QuickTimeSpec request;
  request.codec = codec;
  request.width = kW;
  request.height = kH;
  request.depth = depth;
  request.data = std::move(data);
  return request;
}

// The test image through the codec library, with an alpha channel when asked
// (alpha 0 in the left column).
std::vector<uint8_t> Encoded(FREE_IMAGE_FORMAT format, bool alpha, int width = kW,
                             int height = kH) {
  FIBITMAP* dib = FreeImage_Allocate(width, height, alpha ? 32 : 24);
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(dib, height - 1 - y);
    for (int x = 0; x < width; ++x) {
      Rgb c = ImageColour(x, y);
      BYTE* p = row + x * (alpha ? 4 : 3);
      p[FI_RGBA_RED] = c.r;
      p[FI_RGBA_GREEN] = c.g;
      p[FI_RGBA_BLUE] = c.b;
      if (alpha) p[FI_RGBA_ALPHA] = x == 0 ? 0 : 255;
    }
  }
  if (format == FIF_GIF) {  // GIF holds palette images only
    FIBITMAP* quantised = FreeImage_ColorQuantize(dib, FIQ_WUQUANT);
    FreeImage_Unload(dib);
    dib = quantised;
  }
  FIMEMORY* memory = FreeImage_OpenMemory();
  FreeImage_SaveToMemory(format, dib, memory,
                         format == FIF_JPEG ? JPEG_QUALITYSUPERB | JPEG_SUBSAMPLING_444 : 0);
  BYTE* bytes = nullptr;
  DWORD size = 0;
  FreeImage_AcquireMemory(memory, &bytes, &size);
  std::vector<uint8_t> out(bytes, bytes + size);
  FreeImage_CloseMemory(memory);
  FreeImage_Unload(dib);
  return out;
}

// BMP pixel data without headers: rows bottom first, BGR, padded to 4 bytes.
std::vector<uint8_t> BmpRows() {
  std::vector<uint8_t> data;
  for (int y = kH - 1; y >= 0; --y) {
    for (int x = 0; x < kW; ++x) {
      Rgb c = ImageColour(x, y);
      data.insert(data.end(), {c.b, c.g, c.r});
    }
  }
  return data;
}

// A 1-bit black square over the whole frame, the stand-in QuickTime stores.
void StandIn(PictBuilder* b, const QdRect& dst) {
  BitMapStart(b, 0x90, 2, {0, 0, 1, 1}, {0, 0, 1, 1}, dst);
  b->U16(0x8000);
}

std::vector<uint8_t> QuickTimePicture(const QuickTimeSpec& request, int frame_w, int frame_h,
                                      bool stand_in) {
  PictBuilder b = StartPicture({QdRect{0, 0, frame_h, frame_w}});
  CompressedQuickTime(&b, request);
  if (stand_in) StandIn(&b, QdRect{0, 0, kH, kW});
  return b.Finish();
}

struct PayloadCase {
  const char* name;
  const char* codec;
  int depth;
  std::vector<uint8_t> data;
  int tolerance;  // per component
  bool quantised_16;
};

TEST(QuickTimeTest, EveryPayloadKindDecodesAndHidesItsStandIn) {
  const PayloadCase cases[] = {
      {"raw 32-bit", "raw ", 32, RawPixels(32), 0, false},
      {"raw 24-bit", "raw ", 24, RawPixels(24), 0, false},
      {"raw 16-bit", "raw ", 16, RawPixels(16), 0, true},
      {"PNG", "png ", 24, Encoded(FIF_PNG, false), 0, false},
      {"TIFF", "tiff", 24, Encoded(FIF_TIFF, false), 0, false},
      {"BMP rows", "WRLE", 24, BmpRows(), 0, false},
      {"BMP file", "WRLE", 24, Encoded(FIF_BMP, false), 0, false},
      {"JPEG", "jpeg", 24, Encoded(FIF_JPEG, false), 24, false},
      {"GIF", "gif ", 8, Encoded(FIF_GIF, false), 8, false},
  };
  for (const PayloadCase& c : cases) {
    SCOPED_TRACE(c.name);
    QuickTimeSpec request = TestImage(c.codec, c.depth, c.data);
    Picture picture;
    DecodeResult result = Decode(QuickTimePicture(request, kW, kH, true), &picture);
    ASSERT_TRUE(result.ok()) << result.message;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        Rgb want = ImageColour(x, y);
        if (c.quantised_16) {
          auto q = [](uint8_t v) { return static_cast<uint8_t>(((v >> 3) << 3) | (v >> 5)); };
          want = Rgb{q(want.r), q(want.g), q(want.b)};
        }
        Rgb got = PixelOf(picture, x, y);
        EXPECT_NEAR(got.r, want.r, c.tolerance) << x << "," << y;
        EXPECT_NEAR(got.g, want.g, c.tolerance) << x << "," << y;
        EXPECT_NEAR(got.b, want.b, c.tolerance) << x << "," << y;
      }
    }
  }
}

TEST(QuickTimeTest, MatrixPlacesAndScalesTheImage) {
  struct Case {
    double scale, tx, ty;
  };
  for (const Case& c : {Case{1, 3, 2}, Case{2, 0, 0}, Case{2, 1, 5}}) {
    SCOPED_TRACE(::testing::Message() << c.scale << " " << c.tx << " " << c.ty);
    QuickTimeSpec request = TestImage("raw ", 32, RawPixels(32));
    request.scale = c.scale;
    request.tx = c.tx;
    request.ty = c.ty;
    Picture picture;
    ASSERT_TRUE(Decode(QuickTimePicture(request, 16, 12, false), &picture).ok());
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 16; ++x) {
        int sx = static_cast<int>(std::floor((x - c.tx) / c.scale));
        int sy = static_cast<int>(std::floor((y - c.ty) / c.scale));
        bool inside = x >= c.tx && y >= c.ty && sx < kW && sy < kH;
        ASSERT_EQ(ToString(PixelOf(picture, x, y)), ToString(inside ? ImageColour(sx, sy) : kWhite))
            << x << "," << y;
      }
    }
  }
}

// The drawing after an image is a stand-in for Macs without the codec: an
// image that does not decode fails the picture, never falls back to it.
TEST(QuickTimeTest, ImagesThatDoNotDecodeFailThePictureWithTheirReason) {
  struct Case {
    const char* name;
    const char* codec;
    std::vector<uint8_t> data;
    DecodeOptions options;
    DecodeStatus status;
    const char* message;
  };
  DecodeOptions no_codecs;
  no_codecs.use_codec_library = false;
  DecodeOptions small_limit;
  small_limit.max_pixels = 100;
  const Case cases[] = {
      {"unknown codec",
       "abcd",
       std::vector<uint8_t>(50, 7),
       {},
       DecodeStatus::kUnsupported,
       "QuickTime codec 'abcd' is not supported"},
      {"codec name of control bytes",
       "\x01\x02\x7F'",
       std::vector<uint8_t>(50, 7),
       {},
       DecodeStatus::kUnsupported,
       "QuickTime codec '\\x01\\x02\\x7F\\x27' is not supported"},
      {"corrupt PNG",
       "png ",
       std::vector<uint8_t>(50, 7),
       {},
       DecodeStatus::kMalformed,
       "QuickTime 'png ' image does not decode"},
      {"codec library off", "png ", Encoded(FIF_PNG, false), no_codecs, DecodeStatus::kUnsupported,
       "QuickTime codec 'png ' is not supported"},
      {"image over the pixel limit", "png ", Encoded(FIF_PNG, false, 20, 20), small_limit,
       DecodeStatus::kTooLarge, "over the pixel limit"},
      {"raw data too short",
       "raw ",
       std::vector<uint8_t>(20, 7),
       {},
       DecodeStatus::kMalformed,
       "QuickTime 'raw ' image does not decode"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QuickTimeSpec request = TestImage(c.codec, 24, c.data);
    Picture picture;
    DecodeResult result = Decode(QuickTimePicture(request, kW, kH, true), &picture, c.options);
    EXPECT_EQ(result.status, c.status);
    EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
    EXPECT_TRUE(picture.pixels.empty());
  }
}

TEST(QuickTimeTest, UncompressedQuickTimeLeavesTheBitmapAfterItToDraw) {
  PictBuilder b = StartPicture({QdRect{0, 0, kH, kW}});
  b.Op(0x8201);
  PictBuilder body;
  body.U16(0);                             // version
  body.Data(std::vector<uint8_t>(36, 0));  // matrix
  body.U32(0);                             // matte size
  body.Rect(0, 0, 0, 0);                   // matte rectangle
  b.U32(static_cast<uint32_t>(body.bytes.size()));
  b.Data(body.bytes);
  StandIn(&b, QdRect{0, 0, kH, kW});
  Picture picture;
  ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
  EXPECT_EQ(PixelOf(picture, 1, 1), kBlack);
}

TEST(QuickTimeTest, StandInOutsideTheImageIsStillDrawn) {
  QuickTimeSpec request = TestImage("raw ", 32, RawPixels(32));
  PictBuilder b = StartPicture({QdRect{0, 0, 8, 8}});
  CompressedQuickTime(&b, request);
  StandIn(&b, QdRect{0, 0, kH, kW});  // over the image: skipped
  StandIn(&b, QdRect{5, 5, 8, 8});    // elsewhere: drawn
  Picture picture;
  ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
  EXPECT_EQ(PixelOf(picture, 1, 1), ImageColour(1, 1));
  EXPECT_EQ(PixelOf(picture, 6, 6), kBlack);
}

TEST(QuickTimeTest, MaskRegionLimitsTheImage) {
  QuickTimeSpec request = TestImage("raw ", 32, RawPixels(32));
  PictBuilder region;
  region.U16(10);
  region.Rect(0, 0, 2, 2);  // a rectangular mask over the top-left 2x2
  request.mask_region = region.bytes;
  Picture picture;
  ASSERT_TRUE(Decode(QuickTimePicture(request, kW, kH, false), &picture).ok());
  EXPECT_EQ(PixelOf(picture, 1, 1), ImageColour(1, 1));
  EXPECT_EQ(PixelOf(picture, 3, 1), kWhite);
  EXPECT_EQ(PixelOf(picture, 1, 2), kWhite);
}

TEST(QuickTimeTest, TransparentImageKeepsItsAlphaOverWhite) {
  QuickTimeSpec request = TestImage("png ", 32, Encoded(FIF_PNG, true));
  Picture picture;
  ASSERT_TRUE(Decode(QuickTimePicture(request, kW + 2, kH, false), &picture).ok());
  EXPECT_TRUE(picture.has_alpha);
  EXPECT_EQ(PixelOf(picture, 0, 1), kWhite);  // transparent: white underneath
  EXPECT_EQ(AlphaOf(picture, 0, 1), 0);
  EXPECT_EQ(PixelOf(picture, 2, 1), ImageColour(2, 1));
  EXPECT_EQ(AlphaOf(picture, 2, 1), 255);
  EXPECT_EQ(AlphaOf(picture, kW + 1, 1), 0);  // never drawn

  // Once something opaque is drawn over all of it, the picture is opaque.
  PictBuilder b = StartPicture({QdRect{0, 0, kH, kW}});
  CompressedQuickTime(&b, request);
  b.Op(0x32);  // eraseRect
  b.Rect(0, 0, kH, kW);
  ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
  EXPECT_FALSE(picture.has_alpha);
  EXPECT_EQ(AlphaOf(picture, 0, 0), 255);
}

}  // namespace
}  // namespace pic2jpg::pict::test_util
