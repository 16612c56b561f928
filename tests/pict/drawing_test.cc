// QuickDraw drawing opcodes: the five verbs on every shape, pen size and
// patterns, transfer modes, the "same" opcodes, origin and clip.
#include <gtest/gtest.h>

#include <functional>

#include "tests/pict/pict_builder.h"

namespace pic2jpg::pict::test_util {
namespace {

const Rgb kRed{255, 0, 0};
const Rgb kBlue{0, 0, 255};

void Colour(PictBuilder* b, int op, Rgb c) {
  b->Op(op);
  b->U16(c.r * 257);
  b->U16(c.g * 257);
  b->U16(c.b * 257);
}

void Pattern(PictBuilder* b, int op, uint8_t row_even, uint8_t row_odd) {
  b->Op(op);
  for (int i = 0; i < 8; ++i) b->U8(i % 2 ? row_odd : row_even);
}

void RectOp(PictBuilder* b, int op, int top, int left, int bottom, int right) {
  b->Op(op);
  b->Rect(top, left, bottom, right);
}

// Sets the pen mode (PnMode), then paints the rectangle (2,2)-(12,12).
std::function<void(PictBuilder*)> PaintInPenMode(int mode) {
  return [mode](PictBuilder* b) {
    b->Op(0x08);
    b->U16(mode);
    RectOp(b, 0x31, 2, 2, 12, 12);
  };
}

Picture Draw(const std::function<void(PictBuilder*)>& body, int size = 20) {
  PictBuilder b = StartPicture({QdRect{0, 0, size, size}});
  body(&b);
  Picture picture;
  DecodeResult result = Decode(b.Finish(), &picture);
  EXPECT_TRUE(result.ok()) << result.message;
  return picture;
}

// Which pixels of a 20x20 picture differ from white.
std::vector<std::string> InkMap(const Picture& picture) {
  std::vector<std::string> rows;
  for (int y = 0; y < picture.height; ++y) {
    std::string row;
    for (int x = 0; x < picture.width; ++x) row += PixelOf(picture, x, y) == kWhite ? '.' : '#';
    rows.push_back(row);
  }
  return rows;
}

// Each field of the drawing state as a new port starts it, seen through a
// picture that draws without setting it.
TEST(DefaultStateTest, PicturesDrawnFromTheInitialStateUseQuickDrawsDefaults) {
  const Rgb kHilite = ModeColours{}.hilite;
  struct Case {
    const char* field;
    std::function<void(PictBuilder*)> body;
    int x, y;
    Rgb expected;
  };
  const Case cases[] = {
      {"pen size 1 x 1", [](PictBuilder* b) { RectOp(b, 0x30, 2, 2, 12, 12); }, 2, 2, kBlack},
      {"pen size 1 x 1 (inside)", [](PictBuilder* b) { RectOp(b, 0x30, 2, 2, 12, 12); }, 3, 3,
       kWhite},
      {"pen mode patCopy, black pen pattern", [](PictBuilder* b) { RectOp(b, 0x31, 2, 2, 12, 12); },
       5, 5, kBlack},
      {"black fill pattern", [](PictBuilder* b) { RectOp(b, 0x34, 2, 2, 12, 12); }, 5, 5, kBlack},
      {"white background pattern",
       [](PictBuilder* b) {
         RectOp(b, 0x31, 0, 0, 20, 20);
         RectOp(b, 0x32, 2, 2, 12, 12);
       },
       5, 5, kWhite},
      {"highlight colour over the white background",
       [](PictBuilder* b) {
         b->Op(0x1C);
         RectOp(b, 0x33, 2, 2, 12, 12);
       },
       5, 5, kHilite},
      {"black op colour: blend weighs the source 0", PaintInPenMode(kBlend), 5, 5, kWhite},
      {"black op colour: addPin's ceiling", PaintInPenMode(kAddPin), 5, 5, kBlack},
      {"origin 0,0 and an open clip: the frame's corners",
       [](PictBuilder* b) { RectOp(b, 0x31, 0, 0, 20, 20); }, 19, 19, kBlack},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    Picture picture = Draw(c.body);
    EXPECT_EQ(ToString(PixelOf(picture, c.x, c.y)), ToString(c.expected));
  }
}

TEST(DefaultStateTest, SubPinKeepsTheOpColourAsItsFloor) {
  Picture picture = Draw([](PictBuilder* b) {
    Colour(b, 0x1F, Rgb{0, 100, 200});  // OpColor
    b->Op(0x08);
    b->U16(kSubPin);
    Colour(b, 0x1A, Rgb{200, 200, 200});
    RectOp(b, 0x31, 2, 2, 12, 12);  // white - 200 = 55, held at the floor
  });
  EXPECT_EQ(ToString(PixelOf(picture, 5, 5)), ToString(Rgb{55, 100, 200}));
}

TEST(RectVerbTest, FramePaintEraseInvertAndFillEachDoTheirPart) {
  struct Case {
    const char* name;
    int op;
    std::function<Rgb(int x, int y)> expected;  // inside the rectangle (4,4)-(12,12)
  };
  auto border = [](int x, int y) { return x < 6 || x >= 10 || y < 6 || y >= 10; };
  const Case cases[] = {
      {"frame, pen 2x2, inside the shape", 0x30,
       [&](int x, int y) { return border(x, y) ? kRed : kBlue; }},
      {"paint with the pen colour", 0x31, [](int, int) { return kRed; }},
      {"erase with the background colour", 0x32,
       [](int, int) {
         return Rgb{0, 255, 0};
       }},
      {"invert", 0x33,
       [](int, int) {
         return Rgb{255, 255, 0};
       }},
      {"fill with the fill pattern", 0x34,
       [](int x, int y) {
         return (x + y) % 2 == 0 ? kRed : Rgb{0, 255, 0};
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Picture picture = Draw([&](PictBuilder* b) {
      Colour(b, 0x1A, kBlue);
      RectOp(b, 0x31, 4, 4, 12, 12);  // a blue square to draw over
      Colour(b, 0x1A, kRed);
      Colour(b, 0x1B, Rgb{0, 255, 0});
      b->Op(0x07);  // PnSize 2x2
      b->U16(2);
      b->U16(2);
      Pattern(b, 0x0A, 0xAA, 0x55);  // fill pattern: checkerboard
      RectOp(b, c.op, 4, 4, 12, 12);
    });
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x) {
        bool inside = x >= 4 && x < 12 && y >= 4 && y < 12;
        Rgb want = inside ? c.expected(x, y) : kWhite;
        ASSERT_EQ(ToString(PixelOf(picture, x, y)), ToString(want)) << x << "," << y;
      }
    }
  }
}

TEST(RectVerbTest, PenModesOverAColouredBackground) {
  // A red square, then a paint with a half-set pattern (even columns) in blue.
  struct Case {
    int mode;
    Rgb set;    // where the pattern bit is 1
    Rgb clear;  // where it is 0
  };
  const Case cases[] = {
      {kPatCopy, kBlue, kWhite},         {kPatOr, kBlue, kRed},
      {kPatXor, Rgb{0, 255, 255}, kRed}, {kPatBic, kWhite, kRed},
      {kNotPatCopy, kWhite, kBlue},      {kNotPatOr, kRed, kBlue},
      {kAddMax, Rgb{255, 0, 255}, kRed},  // with white as the 0 colour: max per component
      {kAdMin, Rgb{0, 0, 0}, kRed},      {kTransparent, kBlue, kRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    Picture picture = Draw([&](PictBuilder* b) {
      Colour(b, 0x1A, kRed);
      RectOp(b, 0x31, 0, 0, 8, 8);
      Colour(b, 0x1A, kBlue);
      b->Op(0x08);
      b->U16(c.mode);
      Pattern(b, 0x09, 0xAA, 0xAA);
      RectOp(b, 0x31, 0, 0, 8, 8);
    });
    for (int x = 0; x < 8; ++x) {
      Rgb want = x % 2 == 0 ? c.set : c.clear;
      if (c.mode == kAddMax && x % 2) want = kWhite;
      ASSERT_EQ(ToString(PixelOf(picture, x, 3)), ToString(want)) << x;
    }
  }
}

TEST(RectVerbTest, InvertTwiceRestoresAndHiliteSwapsBackgroundWithHiliteColour) {
  Picture twice = Draw([](PictBuilder* b) {
    Colour(b, 0x1A, kRed);
    RectOp(b, 0x31, 0, 0, 5, 5);
    RectOp(b, 0x33, 0, 0, 10, 10);
    b->Op(0x3B);  // invertSameRect
  });
  EXPECT_EQ(PixelOf(twice, 2, 2), kRed);
  EXPECT_EQ(PixelOf(twice, 7, 7), kWhite);

  Picture hilite = Draw([](PictBuilder* b) {
    Colour(b, 0x1A, kRed);
    RectOp(b, 0x31, 0, 0, 5, 5);
    Colour(b, 0x1D, Rgb{255, 255, 0});  // hilite colour
    b->Op(0x1C);                        // HiliteMode: the next invert hilites
    RectOp(b, 0x33, 0, 0, 10, 10);
    RectOp(b, 0x33, 12, 12, 14, 14);  // a plain invert again
  });
  EXPECT_EQ(PixelOf(hilite, 2, 2), kRed);                // neither background nor hilite
  EXPECT_EQ(PixelOf(hilite, 7, 7), (Rgb{255, 255, 0}));  // background became hilite
  EXPECT_EQ(PixelOf(hilite, 13, 13), kBlack);
}

TEST(ShapeTest, OvalsRoundRectsArcsPolygonsAndRegionsCoverTheirShapes) {
  struct Case {
    const char* name;
    std::function<void(PictBuilder*)> draw;
    std::vector<std::pair<int, int>> inked;
    std::vector<std::pair<int, int>> blank;
  };
  const Case cases[] = {
      {"paintOval",
       [](PictBuilder* b) { RectOp(b, 0x51, 2, 2, 18, 18); },
       {{10, 10}, {3, 10}, {10, 17}},
       {{2, 2}, {17, 17}, {3, 3}}},
      {"frameOval keeps the inside",
       [](PictBuilder* b) { RectOp(b, 0x50, 2, 2, 18, 18); },
       {{2, 10}, {17, 10}, {10, 2}},
       {{10, 10}, {2, 2}}},
      {"paintRoundRect",
       [](PictBuilder* b) {
         b->Op(0x0B);  // OvSize 8x8
         b->U16(8);
         b->U16(8);
         RectOp(b, 0x41, 2, 2, 18, 18);
       },
       {{10, 10}, {2, 10}, {5, 5}},
       {{2, 2}, {17, 17}}},
      {"paintArc, 0 to 90 degrees: the top right quarter",
       [](PictBuilder* b) {
         RectOp(b, 0x61, 0, 0, 20, 20);
         b->U16(0);
         b->U16(90);
       },
       {{14, 5}, {11, 8}},
       {{5, 5}, {5, 14}, {14, 14}}},
      {"paintArc, negative sweep: the top left quarter",
       [](PictBuilder* b) {
         RectOp(b, 0x61, 0, 0, 20, 20);
         b->U16(0);
         b->U16(static_cast<uint16_t>(-90));
       },
       {{5, 5}},
       {{14, 5}, {5, 14}}},
      {"paintPoly triangle",
       [](PictBuilder* b) {
         b->Op(0x71);
         b->U16(10 + 4 * 4);
         b->Rect(0, 0, 20, 20);
         for (auto [v, h] : {std::pair{0, 0}, {0, 20}, {20, 0}, {0, 0}}) {
           b->U16(v);
           b->U16(h);
         }
       },
       {{2, 2}, {15, 2}, {2, 15}},
       {{15, 15}, {12, 12}}},
      {"paintRgn",
       [](PictBuilder* b) {
         b->Op(0x81);
         b->U16(10 + 2 * 13);  // rows 5-10 spans 5-15; from row 8 only 5-8
         b->Rect(5, 5, 10, 15);
         for (int v : {5, 5, 15, 0x7FFF, 8, 8, 15, 0x7FFF, 10, 5, 8, 0x7FFF, 0x7FFF}) b->U16(v);
       },
       {{6, 6}, {14, 6}, {6, 9}},
       {{12, 9}, {6, 12}, {4, 6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Picture picture = Draw(c.draw);
    // Curved edges are antialiased: "inked" is mostly black.
    for (auto [x, y] : c.inked) EXPECT_LT(PixelOf(picture, x, y).g, 64) << x << "," << y;
    for (auto [x, y] : c.blank) EXPECT_EQ(PixelOf(picture, x, y), kWhite) << x << "," << y;
  }
}

TEST(LineTest, PenHangsBelowAndRightOfTheLine) {
  Picture picture = Draw([](PictBuilder* b) {
    b->Op(0x20);  // Line (2,2) to (2,10): a row
    for (int v : {2, 2, 2, 10}) b->U16(v);
    b->Op(0x21);  // LineFrom to (8,10): down the column
    b->U16(8);
    b->U16(10);
    b->Op(0x07);  // pen 3x2
    b->U16(2);
    b->U16(3);
    b->Op(0x22);  // ShortLine from (14,2), dh +4, dv -2
    b->U16(14);
    b->U16(2);
    b->U8(4);
    b->U8(0xFE);
    b->Op(0x07);  // pen 0: draws nothing
    b->U16(0);
    b->U16(0);
    b->Op(0x23);
    b->U8(5);
    b->U8(5);
  });
  std::vector<std::string> ink = InkMap(picture);
  EXPECT_EQ(ink[2].substr(0, 12), "..#########.");
  for (int y = 3; y <= 8; ++y) EXPECT_EQ(ink[y][10], '#') << y;
  EXPECT_EQ(ink[9][10], '.');
  // The 3x2 pen: rows 12-15 are touched between x 2 and 8, nothing below 16.
  EXPECT_EQ(PixelOf(picture, 2, 15), kBlack);
  EXPECT_EQ(PixelOf(picture, 8, 12), kBlack);
  EXPECT_EQ(ink[16], std::string(20, '.'));
}

TEST(StateTest, SameOpcodesReuseTheLastRectangleAndOriginMovesDrawing) {
  Picture same = Draw([](PictBuilder* b) {
    RectOp(b, 0x30, 2, 2, 8, 8);  // frameRect sets the last rectangle
    b->Op(0x59);                  // paintSameOval
  });
  EXPECT_EQ(PixelOf(same, 2, 5), kBlack);  // the frame
  EXPECT_EQ(PixelOf(same, 5, 5), kBlack);  // the oval inside it

  Picture moved = Draw([](PictBuilder* b) {
    b->Op(0x0C);  // Origin: dh 5, dv 3
    b->U16(5);
    b->U16(3);
    RectOp(b, 0x31, 5, 5, 7, 7);  // lands at (0, 2)
  });
  EXPECT_EQ(PixelOf(moved, 0, 2), kBlack);
  EXPECT_EQ(PixelOf(moved, 1, 3), kBlack);
  EXPECT_EQ(PixelOf(moved, 5, 5), kWhite);
}

TEST(StateTest, ClipRegionLimitsShapes) {
  Picture picture = Draw([](PictBuilder* b) {
    b->Op(0x01);
    b->U16(10);
    b->Rect(0, 0, 10, 10);
    RectOp(b, 0x51, 0, 0, 20, 20);
  });
  EXPECT_EQ(PixelOf(picture, 9, 9), kBlack);
  EXPECT_EQ(PixelOf(picture, 11, 11), kWhite);
}

TEST(StateTest, PixelPatternsPaintInColour) {
  // An RGB pattern, then a 2x2 colour pattern with a colour table.
  Picture rgb = Draw([](PictBuilder* b) {
    b->Op(0x14);  // FillPixPat, type 2: an RGB colour
    b->U16(2);
    for (int i = 0; i < 8; ++i) b->U8(0xAA);
    b->U16(0x1234);
    b->U16(0xABCD);
    b->U16(0x5678);
    RectOp(b, 0x34, 0, 0, 4, 4);
  });
  EXPECT_EQ(PixelOf(rgb, 1, 1), (Rgb{0x12, 0xAB, 0x56}));

  Picture tile = Draw([](PictBuilder* b) {
    b->Op(0x13);  // PnPixPat, type 1: a pixel map
    b->U16(1);
    for (int i = 0; i < 8; ++i) b->U8(0xFF);
    b->U16(0x8000 | 2);  // rowBytes 2
    PixMapBody(b, QdRect{0, 0, 2, 2}, 0, 8, 1, 8);
    ColorTable(b, {kRed, kBlue, Rgb{0, 255, 0}, kBlack});
    b->Data({0, 1, 2, 3});  // rows of 2 bytes, unpacked
    RectOp(b, 0x31, 0, 0, 4, 4);
  });
  EXPECT_EQ(PixelOf(tile, 0, 0), kRed);
  EXPECT_EQ(PixelOf(tile, 1, 0), kBlue);
  EXPECT_EQ(PixelOf(tile, 0, 1), (Rgb{0, 255, 0}));
  EXPECT_EQ(PixelOf(tile, 3, 3), kBlack);
}

}  // namespace
}  // namespace pic2jpg::pict::test_util
