// Region arithmetic and PackBits, checked as properties against brute force
// on pseudo-random inputs (fixed seeds), plus the edge cases of the formats.
#include <gtest/gtest.h>

#include <random>

#include "pict/pixel_map.h"
#include "pict/region.h"

namespace pic2jpg::pict {
namespace {

constexpr int kGrid = 24;

Region RandomRegion(std::mt19937* rng) {
  std::uniform_int_distribution<int> coord(0, kGrid);
  Region region;
  for (int i = 0; i < 4; ++i) {
    int a = coord(*rng), b = coord(*rng), c = coord(*rng), d = coord(*rng);
    region =
        Combine(region, RectRegion(std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)),
                i == 3 ? RegionOp::kXor : RegionOp::kUnion);
  }
  return region;
}

// Each operation's truth table: whether a pixel is in the result, by whether
// it is in the first region and in the second.
struct OpCase {
  RegionOp op;
  bool in[2][2];  // [in a][in b]
};
constexpr OpCase kOps[] = {
    {RegionOp::kIntersect, {{false, false}, {false, true}}},
    {RegionOp::kUnion, {{false, true}, {true, true}}},
    {RegionOp::kSubtract, {{false, false}, {true, false}}},
    {RegionOp::kXor, {{false, true}, {true, false}}},
};

bool WellFormed(const Region& region) {
  for (size_t i = 0; i < region.bands.size(); ++i) {
    const Band& band = region.bands[i];
    if (band.bottom <= band.top || band.xs.empty() || band.xs.size() % 2) return false;
    if (i > 0 && region.bands[i - 1].bottom > band.top) return false;
    for (size_t k = 1; k < band.xs.size(); ++k) {
      if (band.xs[k] <= band.xs[k - 1]) return false;
    }
  }
  return true;
}

TEST(RegionTest, CombineAgreesWithPixelByPixelSetOperations) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 200; ++round) {
    Region a = RandomRegion(&rng);
    Region b = RandomRegion(&rng);
    for (const OpCase& c : kOps) {
      Region r = Combine(a, b, c.op);
      ASSERT_TRUE(WellFormed(r));
      long long count = 0;
      for (int y = -1; y <= kGrid; ++y) {
        for (int x = -1; x <= kGrid; ++x) {
          bool want = c.in[Contains(a, x, y)][Contains(b, x, y)];
          ASSERT_EQ(Contains(r, x, y), want) << round << " " << x << "," << y;
          count += want;
        }
      }
      EXPECT_EQ(Area(r), count);
    }
  }
}

TEST(RegionTest, InsetKeepsThePixelsWhoseNeighbourhoodIsInside) {
  std::mt19937 rng(99);
  for (int round = 0; round < 100; ++round) {
    Region a = RandomRegion(&rng);
    int dh = round % 3, dv = (round / 3) % 4;
    Region inset = Inset(a, dh, dv);
    ASSERT_TRUE(WellFormed(inset));
    for (int y = 0; y < kGrid; ++y) {
      for (int x = 0; x < kGrid; ++x) {
        bool want = true;
        for (int j = -dv; j <= dv && want; ++j) {
          for (int i = -dh; i <= dh && want; ++i) want = Contains(a, x + i, y + j);
        }
        ASSERT_EQ(Contains(inset, x, y), want) << round << " " << x << "," << y;
      }
    }
  }
}

TEST(RegionTest, ReadsInversionPointsAndRejectsImpossibleSizes) {
  // An L: rows 0-4 cover x 0-6, rows 4-8 only x 0-2.
  const uint8_t l_shape[] = {0,    36,  0, 0, 0, 0, 0,    8,    0, 6,  // size 36, bbox
                             0,    0,   0, 0, 0, 6, 0x7F, 0xFF,        // y 0: 0, 6
                             0,    4,   0, 2, 0, 6, 0x7F, 0xFF,        // y 4: 2, 6
                             0,    8,   0, 0, 0, 2, 0x7F, 0xFF,        // y 8: 0, 2
                             0x7F, 0xFF};
  ByteReader reader = MakeReader(l_shape, sizeof l_shape);
  Region region;
  ASSERT_TRUE(ReadRegion(&reader, &region));
  EXPECT_EQ(reader.pos, sizeof l_shape);
  EXPECT_TRUE(Contains(region, 5, 3));
  EXPECT_FALSE(Contains(region, 5, 5));
  EXPECT_TRUE(Contains(region, 1, 7));
  EXPECT_EQ(Area(region), 6 * 4 + 2 * 4);

  const uint8_t too_small[] = {0, 8, 0, 0, 0, 0, 0, 1, 0, 1};
  reader = MakeReader(too_small, sizeof too_small);
  EXPECT_FALSE(ReadRegion(&reader, &region));
  const uint8_t past_the_end[] = {0, 40, 0, 0, 0, 0, 0, 1, 0, 1};
  reader = MakeReader(past_the_end, sizeof past_the_end);
  EXPECT_FALSE(ReadRegion(&reader, &region));
}

TEST(PackBitsTest, PackThenUnpackGivesBackTheData) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    size_t size = rng() % 700;
    std::vector<uint8_t> data(size);
    // Runs and noise mixed.
    for (size_t i = 0; i < size; ++i)
      data[i] = (rng() % 3 == 0) ? static_cast<uint8_t>(rng()) : (i / 40) & 0xFF;
    std::vector<uint8_t> packed(PackBitsBound(size));
    packed.resize(PackBits(data.data(), size, packed.data()));
    EXPECT_LE(packed.size(), PackBitsBound(size));
    std::vector<uint8_t> back(size + 1, 0xEE);
    EXPECT_EQ(UnpackBits(packed.data(), packed.size(), back.data(), size, 1), size);
    back.pop_back();
    EXPECT_EQ(back, data);
  }
}

// PackBits decoded one byte at a time, the plain reading of the format:
// what the decoder must give for any data, damaged or not.
size_t UnpackOneByteAtATime(const std::vector<uint8_t>& in, std::vector<uint8_t>* out,
                            size_t out_size) {
  size_t i = 0, o = 0;
  auto put = [&](uint8_t v) {
    if (o < out_size) (*out)[o] = v;
    ++o;
  };
  while (i < in.size()) {
    int flag = static_cast<int8_t>(in[i++]);
    if (flag == -128) continue;
    if (flag >= 0) {
      for (int k = 0; k <= flag; ++k) put(i < in.size() ? in[i++] : 0);
    } else {
      if (i >= in.size()) break;
      uint8_t v = in[i++];
      for (int k = 0; k < 1 - flag; ++k) put(v);
    }
  }
  for (size_t k = o; k < out_size; ++k) (*out)[k] = 0;
  return o;
}

TEST(PackBitsTest, AnyDataDecodesAsTheByteByByteReadingDoes) {
  std::mt19937 rng(11);
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> in(rng() % 300);
    // Flags of short runs most of the time, any byte now and then.
    for (uint8_t& b : in) {
      b = rng() % 4 == 0 ? static_cast<uint8_t>(rng()) : static_cast<uint8_t>(rng() % 40 - 20);
    }
    size_t out_size = rng() % 400;
    std::vector<uint8_t> fast(out_size + 32, 0xEE), plain(out_size + 32, 0xEE);
    size_t described = UnpackBits(in.data(), in.size(), fast.data(), out_size, 1);
    EXPECT_EQ(described, UnpackOneByteAtATime(in, &plain, out_size));
    EXPECT_EQ(fast, plain) << "round " << round;  // the bytes past out_size untouched too
  }
}

TEST(PackBitsTest, OddDataIsClippedOrPaddedNeverOverrun) {
  struct Case {
    const char* name;
    std::vector<uint8_t> packed;
    int unit;
    std::vector<uint8_t> expected;  // of 6 bytes
    size_t described;
  };
  const Case cases[] = {
      {"literal and repeat", {2, 1, 2, 3, 0xFE, 9}, 1, {1, 2, 3, 9, 9, 9}, 6},
      {"no-op flag skipped", {0x80, 0xFF, 5}, 1, {5, 5, 0, 0, 0, 0}, 2},
      {"short data padded with zeros", {1, 7, 8}, 1, {7, 8, 0, 0, 0, 0}, 2},
      {"literal cut by the data's end", {5, 1, 2}, 1, {1, 2, 0, 0, 0, 0}, 6},
      {"too much data clipped", {0xF9, 4}, 1, {4, 4, 4, 4, 4, 4}, 8},
      {"16-bit units",
       {0, 0x12, 0x34, 0xFF, 0xAB, 0xCD},
       2,
       {0x12, 0x34, 0xAB, 0xCD, 0xAB, 0xCD},
       6},
      {"repeat without its unit", {0xFE}, 1, {0, 0, 0, 0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> out(8, 0xEE);
    EXPECT_EQ(UnpackBits(c.packed.data(), c.packed.size(), out.data(), 6, c.unit), c.described);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 6), c.expected);
    EXPECT_EQ(out[6], 0xEE);
  }
}

}  // namespace
}  // namespace pic2jpg::pict
