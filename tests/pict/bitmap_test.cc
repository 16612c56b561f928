// The bits opcodes: every pixel format and packing, scaling between source
// and destination rectangles, mask and clip regions, transfer modes.
#include <gtest/gtest.h>

#include "tests/pict/pict_builder.h"

namespace pic2jpg::pict::test_util {
namespace {

Rgb Pattern(int x, int y) {
  return Rgb{static_cast<uint8_t>(x * 37 + 5), static_cast<uint8_t>(y * 53 + 9),
             static_cast<uint8_t>((x + y) * 11)};
}

uint8_t To5Bits(uint8_t v) {
  int five = v >> 3;
  return static_cast<uint8_t>((five << 3) | (five >> 2));
}

struct DirectCase {
  const char* name;
  int pixel_size;
  int pack_type;
  int cmp_count;
  int width;
};

// A DirectBitsRect picture of Pattern(), stored as the case says.
std::vector<uint8_t> DirectPicture(const DirectCase& c, int height) {
  PictBuilder b = StartPicture({QdRect{0, 0, height, c.width}});
  b.Op(0x9A);
  b.U32(0xFF);  // baseAddr
  int row_bytes = c.width * c.pixel_size / 8;
  b.U16(row_bytes | 0x8000);
  QdRect bounds{0, 0, height, c.width};
  PixMapBody(&b, bounds, c.pack_type, c.pixel_size, c.cmp_count, c.pixel_size == 16 ? 5 : 8);
  b.Rect(bounds);
  b.Rect(bounds);
  b.U16(0);  // srcCopy
  bool unpacked = row_bytes < 8 || c.pack_type == 1;
  for (int y = 0; y < height; ++y) {
    if (c.pixel_size == 16) {
      std::vector<uint16_t> words;
      for (int x = 0; x < c.width; ++x) {
        Rgb p = Pattern(x, y);
        // Runs of equal pixels in the left half exercise the repeat code.
        if (x < c.width / 2) p = Pattern(0, y);
        words.push_back(static_cast<uint16_t>(((p.r >> 3) << 10) | ((p.g >> 3) << 5) | (p.b >> 3)));
      }
      if (unpacked) {
        for (uint16_t w : words) b.U16(w);
      } else {
        std::vector<uint8_t> packed = PackWords(words);
        if (row_bytes > 250) {
          b.U16(static_cast<int>(packed.size()));
        } else {
          b.U8(static_cast<int>(packed.size()));
        }
        b.Data(packed);
      }
      continue;
    }
    if (unpacked || c.pack_type == 2) {
      for (int x = 0; x < c.width; ++x) {
        Rgb p = Pattern(x, y);
        if (c.pack_type != 2 || row_bytes < 8) b.U8(0);
        b.U8(p.r);
        b.U8(p.g);
        b.U8(p.b);
      }
      continue;
    }
    std::vector<uint8_t> planes;
    if (c.cmp_count == 4) planes.insert(planes.end(), static_cast<size_t>(c.width), 0);
    for (int k = 0; k < 3; ++k) {
      for (int x = 0; x < c.width; ++x) {
        Rgb p = Pattern(x < c.width / 2 ? 0 : x, y);
        planes.push_back(k == 0 ? p.r : k == 1 ? p.g : p.b);
      }
    }
    PackedRow(&b, planes, row_bytes);
  }
  return b.Finish();
}

TEST(DirectBitsTest, EveryPackingDecodesToItsPixels) {
  const DirectCase cases[] = {
      {"16-bit unpacked, rowBytes below 8", 16, 1, 3, 3},
      {"16-bit unpacked rows", 16, 1, 3, 20},
      {"16-bit packed by pixel", 16, 3, 3, 20},
      {"16-bit packed, default pack type", 16, 0, 3, 21},
      {"16-bit packed, word row counts", 16, 3, 3, 130},
      {"32-bit unpacked, rowBytes below 8", 32, 1, 3, 1},
      {"32-bit unpacked rows", 32, 1, 3, 10},
      {"32-bit without pad byte", 32, 2, 3, 10},
      {"32-bit planes, three components", 32, 4, 3, 10},
      {"32-bit planes, four components", 32, 4, 4, 12},
      {"32-bit planes, byte counts at 248 rowBytes", 32, 4, 3, 62},
      {"32-bit planes, word counts at 252 rowBytes", 32, 4, 3, 63},
      {"32-bit planes, four components, word counts", 32, 4, 4, 70},
  };
  for (const DirectCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int height = 5;
    Picture picture;
    DecodeResult result = Decode(DirectPicture(c, height), &picture);
    ASSERT_TRUE(result.ok()) << result.message;
    ASSERT_EQ(picture.width, c.width);
    ASSERT_EQ(picture.height, height);
    EXPECT_FALSE(picture.has_alpha);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        Rgb want = Pattern(x < c.width / 2 && (c.pixel_size == 16 || c.pack_type == 4) ? 0 : x, y);
        if (c.pixel_size == 16) want = Rgb{To5Bits(want.r), To5Bits(want.g), To5Bits(want.b)};
        ASSERT_EQ(ToString(PixelOf(picture, x, y)), ToString(want)) << "at " << x << "," << y;
      }
    }
  }
}

struct IndexedCase {
  const char* name;
  int op;  // 0x90 unpacked or 0x98 packed
  int pixel_size;
  int width;
  bool pack_narrow_rows = false;  // as ImageMagick writes rows under 8 bytes
};

std::vector<Rgb> TestPalette(int pixel_size) {
  std::vector<Rgb> palette;
  for (int i = 0; i < (1 << pixel_size); ++i) {
    palette.push_back(Rgb{static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i),
                          static_cast<uint8_t>(i * 31)});
  }
  return palette;
}

int IndexAt(int x, int y, int pixel_size) { return (x * 3 + y * 5 + x / 7) % (1 << pixel_size); }

std::vector<uint8_t> IndexedPicture(const IndexedCase& c, int height) {
  PictBuilder b = StartPicture({QdRect{0, 0, height, c.width}});
  b.Op(c.op);
  int row_bytes = ((c.width * c.pixel_size + 15) / 16) * 2;
  b.U16(row_bytes | 0x8000);
  QdRect bounds{0, 0, height, c.width};
  PixMapBody(&b, bounds, 0, c.pixel_size, 1, c.pixel_size);
  ColorTable(&b, TestPalette(c.pixel_size));
  b.Rect(bounds);
  b.Rect(bounds);
  b.U16(0);
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> row(static_cast<size_t>(row_bytes), 0);
    for (int x = 0; x < c.width; ++x) {
      int bit = x * c.pixel_size;
      row[static_cast<size_t>(bit / 8)] |=
          static_cast<uint8_t>(IndexAt(x, y, c.pixel_size) << (8 - c.pixel_size - bit % 8));
    }
    if (c.op == 0x98 && (row_bytes >= 8 || c.pack_narrow_rows)) {
      PackedRow(&b, row, row_bytes);
    } else {
      b.Data(row);
    }
  }
  return b.Finish();
}

TEST(IndexedBitsTest, EveryDepthAndRowFormDecodesThroughItsColourTable) {
  const IndexedCase cases[] = {
      {"1-bit, rowBytes below 8", 0x98, 1, 40},
      {"1-bit packed", 0x98, 1, 100},
      {"1-bit, word row counts", 0x98, 1, 2100},
      {"2-bit, rowBytes below 8", 0x98, 2, 20},
      {"2-bit packed", 0x98, 2, 64},
      {"4-bit, rowBytes below 8", 0x98, 4, 10},
      {"4-bit packed", 0x98, 4, 30},
      {"8-bit, rowBytes below 8", 0x98, 8, 6},
      {"8-bit packed", 0x98, 8, 90},
      {"8-bit, word row counts", 0x98, 8, 300},
      {"8-bit BitsRect, unpacked", 0x90, 8, 40},
      {"8-bit, rowBytes below 8, packed all the same", 0x98, 8, 6, true},
      {"4-bit, rowBytes below 8, packed all the same", 0x98, 4, 5, true},
      {"4-bit BitsRect, unpacked", 0x90, 4, 41},
  };
  for (const IndexedCase& c : cases) {
    SCOPED_TRACE(c.name);
    const int height = 4;
    Picture picture;
    DecodeResult result = Decode(IndexedPicture(c, height), &picture);
    ASSERT_TRUE(result.ok()) << result.message;
    std::vector<Rgb> palette = TestPalette(c.pixel_size);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        ASSERT_EQ(ToString(PixelOf(picture, x, y)),
                  ToString(palette[static_cast<size_t>(IndexAt(x, y, c.pixel_size))]))
            << "at " << x << "," << y;
      }
    }
  }
}

// Colour pixel maps copied with a foreground and background other than black
// and white are colourised as CopyBits does: black takes the foreground,
// white the background, components between mix them bit by bit.
TEST(IndexedBitsTest, CopyColourisesWithTheForegroundAndBackgroundColours) {
  const std::vector<Rgb> palette = {kBlack, kWhite, Rgb{0x80, 0x80, 0x80}, Rgb{0x0F, 0xF0, 0x3C}};
  struct Case {
    const char* name;
    Rgb fg, bg;
    int mode;
    std::vector<Rgb> expected;  // for each palette entry
  };
  const Rgb kRed{255, 0, 0};
  const Rgb kBlue{0, 0, 255};
  const Case cases[] = {
      {"black and white: unchanged", kBlack, kWhite, kSrcCopy, palette},
      {"red on blue", kRed, kBlue, kSrcCopy, {kRed, kBlue, Rgb{0x7F, 0, 0x80}, Rgb{0xF0, 0, 0x3C}}},
      {"ditherCopy colourises too",
       kRed,
       kBlue,
       kSrcCopy | kDitherCopy,
       {kRed, kBlue, Rgb{0x7F, 0, 0x80}, Rgb{0xF0, 0, 0x3C}}},
      {"arithmetic modes do not", kRed, kBlue, kAddMax, palette},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PictBuilder b = StartPicture({QdRect{0, 0, 1, 4}});
    for (auto [op, colour] : {std::pair{0x1A, c.fg}, std::pair{0x1B, c.bg}}) {
      b.Op(op);
      b.U16(colour.r * 257);
      b.U16(colour.g * 257);
      b.U16(colour.b * 257);
    }
    b.Op(0x90);
    b.U16(4 | 0x8000);
    QdRect bounds{0, 0, 1, 4};
    PixMapBody(&b, bounds, 0, 8, 1, 8);
    ColorTable(&b, palette);
    b.Rect(bounds);
    b.Rect(bounds);
    b.U16(c.mode);
    b.Data({0, 1, 2, 3});
    Picture picture;
    ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
    for (int x = 0; x < 4; ++x) {
      Rgb want = c.mode == kAddMax ? kWhite : c.expected[static_cast<size_t>(x)];  // max with white
      EXPECT_EQ(ToString(PixelOf(picture, x, 0)), ToString(want)) << x;
    }
  }
}

// A one-bit BitMap (no PixMap flag) with a checkerboard of 2x2 cells, drawn
// into `dst` from `src`, over a picture that was first painted red.
std::vector<uint8_t> BitMapPicture(int version, const QdRect& src, const QdRect& dst, int mode,
                                   const std::vector<std::vector<int>>& mask_rows = {}) {
  PictBuilder b = StartPicture({QdRect{0, 0, 16, 16}, version});
  if (version == 2) {
    b.Op(0x1A);  // RGBFgCol red, for the paint
    b.U16(0xFFFF);
    b.U16(0);
    b.U16(0);
    b.Op(0x31);  // paintRect over everything
    b.Rect(0, 0, 16, 16);
    b.Op(0x1A);  // back to black
    b.U16(0);
    b.U16(0);
    b.U16(0);
  }
  bool with_mask = !mask_rows.empty();
  b.Op(with_mask ? 0x99 : 0x98);
  b.U16(2);  // rowBytes 2: 16 pixels, stored unpacked
  b.Rect(0, 0, 8, 16);
  b.Rect(src);
  b.Rect(dst);
  b.U16(mode);
  if (with_mask) {
    // Region rows: y, x positions, 0x7FFF ... 0x7FFF.
    std::vector<int> body;
    for (const std::vector<int>& row : mask_rows) {
      body.insert(body.end(), row.begin(), row.end());
      body.push_back(0x7FFF);
    }
    body.push_back(0x7FFF);
    b.U16(10 + static_cast<int>(body.size()) * 2);
    b.Rect(0, 0, 16, 16);
    for (int v : body) b.U16(v);
  }
  for (int y = 0; y < 8; ++y) b.U16(((y / 2) % 2) ? 0x3333 : 0xCCCC);
  return b.Finish();
}

bool CheckerBit(int x, int y) { return ((x / 2) + (y / 2)) % 2 == 0; }

TEST(BitMapTest, OneBitBitMapIsBlackOnWhiteAndScalesByNearestPixel) {
  struct Case {
    const char* name;
    QdRect src;
    QdRect dst;
    int scale;  // destination pixels per source pixel
    int dx, dy;
  };
  const Case cases[] = {
      {"same size", {0, 0, 8, 16}, {0, 0, 8, 16}, 1, 0, 0},
      {"moved", {0, 0, 8, 8}, {4, 6, 12, 14}, 1, 6, 4},
      {"doubled", {0, 0, 8, 8}, {0, 0, 16, 16}, 2, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Picture picture;
    ASSERT_TRUE(Decode(BitMapPicture(1, c.src, c.dst, 0), &picture).ok());
    for (int y = c.dst.top; y < c.dst.bottom; ++y) {
      for (int x = c.dst.left; x < c.dst.right; ++x) {
        bool bit = CheckerBit((x - c.dx) / c.scale, (y - c.dy) / c.scale);
        ASSERT_EQ(PixelOf(picture, x, y), bit ? kBlack : kWhite) << x << "," << y;
      }
    }
  }
}

TEST(BitMapTest, HalvingPicksEveryOtherPixel) {
  Picture picture;
  ASSERT_TRUE(Decode(BitMapPicture(1, {0, 0, 8, 16}, {0, 0, 4, 8}, 0), &picture).ok());
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      ASSERT_EQ(PixelOf(picture, x, y), CheckerBit(2 * x + 1, 2 * y + 1) ? kBlack : kWhite);
    }
  }
}

TEST(BitMapTest, TransferModesDecideWhatTheZeroAndOneBitsDo) {
  const Rgb red{255, 0, 0};
  struct Case {
    int mode;
    Rgb on_one;
    Rgb on_zero;
  };
  const Case cases[] = {
      {kSrcCopy, kBlack, kWhite},
      {kSrcOr, kBlack, red},
      {kSrcBic, kWhite, red},
      {kSrcXor, Rgb{0, 255, 255}, red},
      {kNotSrcCopy, kWhite, kBlack},
      {kNotSrcOr, red, kBlack},
      {kSrcCopy | kDitherCopy, kBlack, kWhite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Picture picture;
    ASSERT_TRUE(Decode(BitMapPicture(2, {0, 0, 8, 16}, {0, 0, 8, 16}, c.mode), &picture).ok());
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 16; ++x) {
        ASSERT_EQ(ToString(PixelOf(picture, x, y)),
                  ToString(CheckerBit(x, y) ? c.on_one : c.on_zero));
      }
    }
    EXPECT_EQ(PixelOf(picture, 3, 12), red);  // below the bitmap
  }
}

TEST(BitMapTest, MaskRegionLimitsTheCopy) {
  // Inversion points: rows 2..6 inside x 4..12, minus x 8..12 from row 4 on.
  Picture picture;
  ASSERT_TRUE(
      Decode(BitMapPicture(2, {0, 0, 8, 16}, {0, 0, 8, 16}, 0, {{2, 4, 12}, {4, 8, 12}, {6, 4, 8}}),
             &picture)
          .ok());
  const Rgb red{255, 0, 0};
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      bool inside = y >= 2 && y < 6 && x >= 4 && (x < 8 || y < 4) && x < 12;
      Rgb want = inside ? (CheckerBit(x, y) ? kBlack : kWhite) : red;
      ASSERT_EQ(ToString(PixelOf(picture, x, y)), ToString(want)) << x << "," << y;
    }
  }
}

TEST(BitMapTest, ClipRegionLimitsTheCopy) {
  PictBuilder b = StartPicture({QdRect{0, 0, 8, 16}});
  b.Op(0x01);
  b.U16(10);
  b.Rect(2, 3, 5, 9);
  BitMapStart(&b, 0x98, 2, {0, 0, 8, 16});
  for (int y = 0; y < 8; ++y) b.U16(0xFFFF);
  Picture picture;
  ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      bool inside = y >= 2 && y < 5 && x >= 3 && x < 9;
      ASSERT_EQ(PixelOf(picture, x, y), inside ? kBlack : kWhite) << x << "," << y;
    }
  }
}

TEST(BitMapTest, SeveralBitmapsInOnePictureEachLandInTheirPlace) {
  PictBuilder b = StartPicture({QdRect{0, 0, 4, 8}});
  for (int band = 0; band < 4; ++band) {
    b.Op(0x9A);
    b.U32(0xFF);
    b.U16(8 * 4 | 0x8000);
    QdRect bounds{band, 0, band + 1, 8};
    PixMapBody(&b, bounds, 1, 32, 3, 8);
    b.Rect(bounds);
    b.Rect(bounds);
    b.U16(0);
    for (int x = 0; x < 8; ++x) {
      b.U8(0);
      b.U8(band * 60);
      b.U8(x * 30);
      b.U8(7);
    }
  }
  Picture picture;
  ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) {
      ASSERT_EQ(PixelOf(picture, x, y),
                (Rgb{static_cast<uint8_t>(y * 60), static_cast<uint8_t>(x * 30), 7}));
    }
  }
}

}  // namespace
}  // namespace pic2jpg::pict::test_util
