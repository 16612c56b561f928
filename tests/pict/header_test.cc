// Finding the picture (preamble or not), versions 1 and 2, the extended
// header's resolution, skipping of every opcode the reader does not draw,
// and the limits that refuse a picture before anything is allocated.
#include <gtest/gtest.h>

#include "tests/pict/pict_builder.h"

namespace pic2jpg::pict::test_util {
namespace {

// A 2x2 black square at (1, 1) through a one-bit BitMap.
void BlackSquare(PictBuilder* b) {
  BitMapStart(b, 0x90, 2, {1, 1, 3, 3});
  b->U16(0xC000);
  b->U16(0xC000);
}

void ExpectBlackSquare(const Picture& picture) {
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      bool inside = x >= 1 && x < 3 && y >= 1 && y < 3;
      ASSERT_EQ(PixelOf(picture, x, y), inside ? kBlack : kWhite) << x << "," << y;
    }
  }
}

TEST(HeaderTest, FindsThePictureWithOrWithoutPreambleInBothVersions) {
  for (int version : {1, 2}) {
    for (bool preamble : {true, false}) {
      SCOPED_TRACE(::testing::Message() << "version " << version << " preamble " << preamble);
      PictBuilder b = StartPicture({QdRect{0, 0, 4, 5}, version, preamble});
      BlackSquare(&b);
      std::vector<uint8_t> data = b.Finish();
      PictInfo info;
      ASSERT_TRUE(ReadPictInfo(data.data(), data.size(), &info).ok());
      EXPECT_EQ(info.version, version);
      EXPECT_EQ(info.has_preamble, preamble);
      EXPECT_EQ(info.width, 5);
      EXPECT_EQ(info.height, 4);
      Picture picture;
      DecodeResult result = Decode(data, &picture);
      ASSERT_TRUE(result.ok()) << result.message;
      ExpectBlackSquare(picture);
    }
  }
}

TEST(HeaderTest, FrameOffsetFromTheOriginMovesTheDrawing) {
  PictBuilder b = StartPicture({QdRect{100, 200, 104, 205}});
  BitMapStart(&b, 0x90, 2, {101, 201, 103, 203});
  b.U16(0xC000);
  b.U16(0xC000);
  Picture picture;
  ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
  ExpectBlackSquare(picture);
}

TEST(HeaderTest, ExtendedHeaderSizeFollowsTheSourceRectangleWhenItMatchesTheResolution) {
  struct Case {
    const char* name;
    double resolution;
    QdRect frame;
    QdRect source;
    int width, height;
  };
  const Case cases[] = {
      {"144 dpi: source twice the frame", 144, {0, 0, 50, 100}, {0, 0, 100, 200}, 200, 100},
      {"96 dpi, rounded", 96, {0, 0, 201, 201}, {0, 0, 269, 269}, 269, 269},
      {"72 dpi", 72, {0, 0, 30, 40}, {0, 0, 30, 40}, 40, 30},
      {"resolution without matching source: the frame",
       1000,
       {0, 0, 30, 40},
       {0, 0, 30, 40},
       40,
       30},
      {"empty source: the frame", 300, {0, 0, 30, 40}, {0, 0, 0, 0}, 40, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PictBuilder b = StartPicture({c.frame, 2, true, true, c.resolution, c.source});
    std::vector<uint8_t> data = b.Finish();
    PictInfo info;
    ASSERT_TRUE(ReadPictInfo(data.data(), data.size(), &info).ok());
    EXPECT_TRUE(info.extended);
    EXPECT_EQ(info.width, c.width);
    EXPECT_EQ(info.height, c.height);
    Picture picture;
    ASSERT_TRUE(Decode(data, &picture).ok());
    EXPECT_EQ(picture.width, c.width);
    EXPECT_EQ(picture.height, c.height);
  }
}

// The drawing's coordinates are the source rectangle's, wherever it lies,
// and it is mapped onto the output: one to one when it is the frame at the
// header's resolution, else onto the frame. The clip is the source rectangle.
TEST(HeaderTest, ExtendedHeaderSourceRectangleIsMappedOntoTheOutput) {
  struct Case {
    const char* name;
    double resolution;
    QdRect frame, source;
    int width, height;
    QdRect paint, pixels;  // painted in picture coordinates; where it lands
  };
  const Case cases[] = {
      {"same origin, 72 dpi",
       72,
       {0, 0, 40, 60},
       {0, 0, 40, 60},
       60,
       40,
       {10, 10, 20, 30},
       {10, 10, 20, 30}},
      {"shifted origin, 72 dpi",
       72,
       {0, 0, 40, 60},
       {-1954, 786, -1914, 846},
       60,
       40,
       {-1944, 796, -1934, 816},
       {10, 10, 20, 30}},
      {"shifted origin, 288 dpi not drawn at",
       288,
       {0, 0, 40, 60},
       {-1954, 786, -1914, 846},
       60,
       40,
       {-1944, 796, -1934, 816},
       {10, 10, 20, 30}},
      {"300 dpi, the source at that resolution",
       300,
       {0, 0, 24, 36},
       {1000, 2000, 1100, 2150},
       150,
       100,
       {1010, 2020, 1030, 2060},
       {10, 20, 30, 60}},
      {"72 dpi, source twice the frame: scaled onto it",
       72,
       {0, 0, 40, 60},
       {100, 100, 180, 220},
       60,
       40,
       {120, 140, 140, 180},
       {10, 20, 20, 40}},
  };
  const Rgb red{200, 20, 20};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PictBuilder b = StartPicture({c.frame, 2, true, true, c.resolution, c.source});
    b.Op(0x01);  // ClipRgn: the source rectangle
    b.U16(10);
    b.Rect(c.source);
    b.Op(0x1A);  // RGBFgCol
    b.U16(red.r * 257);
    b.U16(red.g * 257);
    b.U16(red.b * 257);
    b.Op(0x31);  // paintRect
    b.Rect(c.paint);
    Picture picture;
    ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
    ASSERT_EQ(picture.width, c.width);
    ASSERT_EQ(picture.height, c.height);
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        bool inside =
            x >= c.pixels.left && x < c.pixels.right && y >= c.pixels.top && y < c.pixels.bottom;
        ASSERT_EQ(ToString(PixelOf(picture, x, y)), ToString(inside ? red : kWhite))
            << x << "," << y;
      }
    }
  }
}

TEST(HeaderTest, HighResolutionBitmapsDrawInTheSourceRectangleCoordinates) {
  // At 144 dpi the frame is 4x4 but the drawing is recorded on an 8x8 grid.
  PictBuilder b = StartPicture({QdRect{0, 0, 4, 4}, 2, true, true, 144, QdRect{0, 0, 8, 8}});
  BitMapStart(&b, 0x90, 2, {0, 0, 8, 8});
  for (int y = 0; y < 8; ++y) b.U16(y == 7 ? 0x0100 : 0);
  Picture picture;
  ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
  ASSERT_EQ(picture.width, 8);
  EXPECT_EQ(PixelOf(picture, 7, 7), kBlack);
  EXPECT_EQ(PixelOf(picture, 6, 7), kWhite);
}

// A 32-bit pixmap of 8x8 at `resolution` dpi drawn into `dst`.
void HighResolutionBitmap(PictBuilder* b, double resolution, const QdRect& dst) {
  b->Op(0x9A);
  b->U32(0xFF);
  b->U16(32 | 0x8000);
  PixMapBody(b, QdRect{0, 0, 8, 8}, 1, 32, 3, 8, resolution);
  b->Rect(0, 0, 8, 8);
  b->Rect(dst);
  b->U16(0);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      b->U8(0);
      b->U8(x * 30);
      b->U8(y * 30);
      b->U8(77);
    }
  }
}

TEST(HeaderTest, BitmapsAtAHigherResolutionSetTheOutputResolution) {
  struct Case {
    const char* name;
    std::vector<std::pair<double, QdRect>> bitmaps;
    int size;
  };
  const Case cases[] = {
      {"one 144 dpi bitmap filling the frame", {{144, {0, 0, 4, 4}}}, 8},
      {"two 144 dpi bitmaps", {{144, {0, 0, 4, 4}}, {144, {0, 0, 4, 4}}}, 8},
      {"a 72 dpi bitmap", {{72, {0, 0, 4, 4}}}, 4},
      {"144 dpi drawn at its own size", {{144, {0, 0, 8, 8}}}, 4},
      {"mixed resolutions", {{144, {0, 0, 4, 4}}, {72, {0, 0, 4, 4}}}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PictBuilder b = StartPicture({QdRect{0, 0, 4, 4}});
    for (const auto& [resolution, dst] : c.bitmaps) HighResolutionBitmap(&b, resolution, dst);
    std::vector<uint8_t> data = b.Finish();
    PictInfo info;
    ASSERT_TRUE(ReadPictInfo(data.data(), data.size(), &info).ok());
    EXPECT_EQ(info.width, c.size);
    Picture picture;
    ASSERT_TRUE(Decode(data, &picture).ok());
    ASSERT_EQ(picture.width, c.size);
    ASSERT_EQ(picture.height, c.size);
    if (c.size == 8) {  // every source pixel lands on its own output pixel
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
          ASSERT_EQ(PixelOf(picture, x, y),
                    (Rgb{static_cast<uint8_t>(x * 30), static_cast<uint8_t>(y * 30), 77}));
        }
      }
    }
  }
}

TEST(HeaderTest, NotAPictureIsRefused) {
  const std::vector<std::vector<uint8_t>> inputs = {
      {},
      std::vector<uint8_t>(600, 0),
      std::vector<uint8_t>(10, 0x11),
      {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0},
  };
  for (const std::vector<uint8_t>& data : inputs) {
    Picture picture;
    EXPECT_EQ(DecodePict(data.data(), data.size(), &picture).status, DecodeStatus::kNotPict);
    EXPECT_TRUE(picture.pixels.empty());
  }
  // A picture with an empty frame is refused too.
  PictBuilder b = StartPicture({QdRect{10, 10, 10, 20}});
  Picture picture;
  EXPECT_FALSE(Decode(b.Finish(), &picture).ok());
}

// Opcodes the reader only steps over, with data of the documented length.
struct SkipCase {
  int op;
  std::vector<uint8_t> data;
};

std::vector<SkipCase> SkipCases() {
  std::vector<uint8_t> word_sized = {0, 3, 1, 2, 3};              // length word + 3 bytes
  std::vector<uint8_t> long_sized = {0, 0, 0, 5, 1, 2, 3, 4, 5};  // length long + 5 bytes
  std::vector<uint8_t> region = {0, 10, 0, 0, 0, 0, 0, 4, 0, 4};
  std::vector<uint8_t> polygon = {0, 18, 0, 0, 0, 0, 0, 4, 0, 4, 0, 1, 0, 1, 0, 2, 0, 2};
  return {
      {0x0000, {}},
      {0x0015, {0, 0}},
      {0x0017, {}},
      {0x0018, {}},
      {0x0019, {}},
      {0x001C, {}},
      {0x001E, {}},
      {0x001F, {0, 0, 0, 0, 0, 0}},
      {0x0024, word_sized},
      {0x0027, word_sized},
      {0x002D, {0, 8, 0, 1, 0, 0, 0, 0, 0, 0}},
      {0x002E, {0, 4, 1, 1, 1, 1}},
      {0x002F, word_sized},
      {0x0035, {1, 2, 3, 4, 5, 6, 7, 8}},
      {0x003D, {}},
      {0x0045, {1, 2, 3, 4, 5, 6, 7, 8}},
      {0x004F, {}},
      {0x0057, {1, 2, 3, 4, 5, 6, 7, 8}},
      {0x005D, {}},
      {0x0065, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
      {0x006D, {1, 2, 3, 4}},
      {0x0075, polygon},
      {0x007D, {}},
      {0x0085, region},
      {0x008F, {}},
      {0x0092, word_sized},
      {0x0097, word_sized},
      {0x009C, word_sized},
      {0x009F, word_sized},
      {0x00A0, {0, 42}},
      {0x00A1, {0, 100, 0, 3, 'a', 'b', 'c'}},
      {0x00A2, word_sized},
      {0x00AF, word_sized},
      {0x00B0, {}},
      {0x00CF, {}},
      {0x00D0, long_sized},
      {0x00FE, long_sized},
      {0x0100, {1, 2}},
      {0x01FF, {1, 2}},
      {0x0200, {1, 2, 3, 4}},
      {0x0C00, std::vector<uint8_t>(24, 0xEE)},
      {0x7F00, std::vector<uint8_t>(254, 0xEE)},
      {0x8000, {}},
      {0x80FF, {}},
      {0x8100, long_sized},
      {0xFFFF, long_sized},
  };
}

TEST(OpcodeTest, EveryReservedAndIgnoredOpcodeIsSkippedByItsDocumentedLength) {
  for (const SkipCase& c : SkipCases()) {
    SCOPED_TRACE(::testing::Message() << "opcode 0x" << std::hex << c.op);
    PictBuilder b = StartPicture({QdRect{0, 0, 4, 4}});
    b.Op(c.op);
    b.Data(c.data);
    BlackSquare(&b);  // drawn only if the skip ended in the right place
    Picture picture;
    DecodeResult result = Decode(b.Finish(), &picture);
    ASSERT_TRUE(result.ok()) << result.message;
    ExpectBlackSquare(picture);
  }
}

TEST(OpcodeTest, VersionOneOpcodesAreBytesWithoutAlignment) {
  PictBuilder b = StartPicture({QdRect{0, 0, 4, 4}, 1});
  b.Op(0x04);  // TxFace: one byte of data, so the next opcode sits on an odd offset
  b.U8(1);
  b.Op(0xA1);  // LongComment with 3 bytes
  b.U16(7);
  b.U16(3);
  b.Data({1, 2, 3});
  BlackSquare(&b);
  Picture picture;
  ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
  ExpectBlackSquare(picture);
}

TEST(OpcodeTest, MissingEndOpcodeKeepsWhatWasDrawn) {
  PictBuilder b = StartPicture({QdRect{0, 0, 4, 4}});
  BlackSquare(&b);
  Picture picture;
  ASSERT_TRUE(Decode(b.bytes, &picture).ok());
  ExpectBlackSquare(picture);
}

TEST(LimitTest, OversizedPicturesAreRefusedBeforeAllocation) {
  struct Case {
    const char* name;
    QdRect frame;
    long long max_pixels;
    DecodeStatus status;
  };
  const Case cases[] = {
      {"within the limit", {0, 0, 100, 100}, 10000, DecodeStatus::kOk},
      {"one pixel over", {0, 0, 100, 101}, 10000, DecodeStatus::kTooLarge},
      {"whole coordinate space",
       {-32768, -32768, 32767, 32767},
       256LL * 1000 * 1000,
       DecodeStatus::kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PictBuilder b = StartPicture({c.frame});
    Picture picture;
    DecodeOptions options;
    options.max_pixels = c.max_pixels;
    EXPECT_EQ(Decode(b.Finish(), &picture, options).status, c.status);
  }
}

// A picture of `ovals` ovals, each filling the frame.
std::vector<uint8_t> Ovals(const QdRect& frame, int ovals) {
  PictBuilder b = StartPicture({frame});
  for (int i = 0; i < ovals; ++i) {
    b.Op(0x51);  // paintOval
    b.Rect(frame);
  }
  return b.Finish();
}

// The product's own limits: a 6000 x 4000 photo fits; larger frames, longer
// sides, bigger data and endless painting each fail at once with a reason.
TEST(LimitTest, PicturesOverTheLimitsFailFastWithTheirReason) {
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    DecodeStatus status;
    const char* message;
    size_t max_input_bytes = kMaxInputBytes;
  };
  std::vector<uint8_t> big_data = StartPicture({QdRect{0, 0, 8, 8}}).Finish();
  big_data.resize((size_t{1} << 20) + 1);  // the real limit's case runs through pict2tga
  const Case cases[] = {
      {"a 6000 x 4000 photo", StartPicture({QdRect{0, 0, 4000, 6000}}).Finish(), DecodeStatus::kOk,
       ""},
      {"16000 x 16000", StartPicture({QdRect{0, 0, 16000, 16000}}).Finish(),
       DecodeStatus::kTooLarge, "picture too large: 16000 x 16000"},
      {"a side over the limit", StartPicture({QdRect{0, 0, 10, kMaxPictureSide + 1}}).Finish(),
       DecodeStatus::kTooLarge, "picture too large: 20001 x 10"},
      {"a few ovals", Ovals(QdRect{0, 0, 500, 500}, 20), DecodeStatus::kOk, ""},
      {"endless ovals", Ovals(QdRect{0, 0, 500, 500}, 2000), DecodeStatus::kTooComplex,
       "drawing work over budget"},
      {"data over the input limit", big_data, DecodeStatus::kTooLarge, "input file over 1 MiB",
       size_t{1} << 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Picture picture;
    DecodeOptions options;
    options.max_input_bytes = c.max_input_bytes;
    DecodeResult result = Decode(c.data, &picture, options);
    EXPECT_EQ(result.status, c.status) << result.message;
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(picture.pixels.empty(), c.status != DecodeStatus::kOk);
  }
}

TEST(LimitTest, BitmapWithMoreRowsThanItsDataIsRefused) {
  struct Case {
    const char* name;
    int op;
    int row_bytes;
    int height;
    DecodeStatus status;
  };
  const Case cases[] = {
      {"packed rows need at least a count byte each", 0x98, 0x8000 | 20, 30000,
       DecodeStatus::kTruncated},
      {"unpacked rows need rowBytes each", 0x90, 0x8000 | 4, 1000, DecodeStatus::kTruncated},
      {"bitmap over the pixel limit", 0x98, 0x8000 | 0x3FFE, 32000, DecodeStatus::kTooLarge},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PictBuilder b = StartPicture({QdRect{0, 0, 10, 10}});
    b.Op(c.op);
    b.U16(c.row_bytes);
    QdRect bounds{0, 0, c.height, (c.row_bytes & 0x3FFF) * 8 / 8};
    PixMapBody(&b, bounds, 0, 8, 1, 8);
    ColorTable(&b, {kWhite, kBlack});
    b.Rect(bounds);
    b.Rect(0, 0, 10, 10);
    b.U16(0);
    b.Data(std::vector<uint8_t>(100, 0));
    Picture picture;
    DecodeOptions options;
    options.max_pixels = 100LL * 1000 * 1000;
    EXPECT_EQ(Decode(b.Finish(), &picture, options).status, c.status);
    EXPECT_TRUE(picture.pixels.empty());
  }
}

TEST(LimitTest, DataEndingInsideAnOpcodeIsTruncated) {
  PictBuilder b = StartPicture({QdRect{0, 0, 4, 4}});
  BlackSquare(&b);
  std::vector<uint8_t> data = b.bytes;
  data.resize(data.size() - 3);
  Picture picture;
  EXPECT_EQ(Decode(data, &picture).status, DecodeStatus::kTruncated);
  EXPECT_TRUE(picture.pixels.empty());
}

}  // namespace
}  // namespace pic2jpg::pict::test_util
