// QuickDraw text: where the four text opcodes put their strings, the
// foreground colour, copy mode's cell background, and Mac OS Roman.
#include <gtest/gtest.h>

#include "pict/decoder.h"
#include "pict/mac_roman.h"
#include "tests/pict/pict_builder.h"

namespace pic2jpg::pict::test_util {
namespace {

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool Empty() const { return right < 0; }
};

// The box around every pixel that is not white.
Box InkBox(const Picture& picture) {
  Box box;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      if (PixelOf(picture, x, y) == kWhite) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  return box;
}

void Text(PictBuilder* b, int op, std::vector<int> moves, const std::string& text) {
  b->Op(op);
  for (int m : moves) {
    if (op == 0x28) {
      b->U16(m);
    } else {
      b->U8(m);
    }
  }
  b->U8(static_cast<int>(text.size()));
  b->Data(std::vector<uint8_t>(text.begin(), text.end()));
}

Picture DrawText(const std::function<void(PictBuilder*)>& body, const DecodeOptions& options = {}) {
  PictBuilder b = StartPicture({QdRect{0, 0, 100, 200}});
  b.Op(0x0D);  // TxSize 20
  b.U16(20);
  body(&b);
  Picture picture;
  DecodeResult result = Decode(b.Finish(), &picture, options);
  EXPECT_TRUE(result.ok()) << result.message;
  return picture;
}

TEST(TextTest, StringsSitOnTheirBaselineAtTheLocationGiven) {
  struct Case {
    const char* name;
    std::function<void(PictBuilder*)> draw;
    int x, y;  // where the string's baseline starts
  };
  const Case cases[] = {
      {"LongText",
       [](PictBuilder* b) {
         Text(b, 0x28, {50, 30}, "Hi");
       },
       30, 50},
      {"DHText moves right from the previous string",
       [](PictBuilder* b) {
         Text(b, 0x28, {50, 30}, "");
         Text(b, 0x29, {40}, "Hi");
       },
       70, 50},
      {"DVText moves down",
       [](PictBuilder* b) {
         Text(b, 0x28, {30, 30}, "");
         Text(b, 0x2A, {40}, "Hi");
       },
       30, 70},
      {"DHDVText moves right, then down",
       [](PictBuilder* b) {
         Text(b, 0x28, {30, 30}, "");
         Text(b, 0x2B, {100, 20}, "Hi");
       },
       130, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Box box = InkBox(DrawText(c.draw));
    ASSERT_FALSE(box.Empty());
    // "Hi" in 20 pixel type: capitals reach about 14 pixels above the baseline.
    EXPECT_NEAR(box.left, c.x, 3);
    EXPECT_NEAR(box.bottom, c.y, 2);
    EXPECT_NEAR(box.top, c.y - 15, 4);
    EXPECT_GT(box.right - box.left, 10);
    EXPECT_LT(box.right - box.left, 40);
  }
}

TEST(TextTest, TextIsDrawnInTheForegroundColourAndCopyModePaintsItsCells) {
  Picture red = DrawText([](PictBuilder* b) {
    b->Op(0x1A);
    b->U16(0xFFFF);
    b->U16(0);
    b->U16(0);
    Text(b, 0x28, {50, 30}, "HHHH");
  });
  Box box = InkBox(red);
  ASSERT_FALSE(box.Empty());
  bool saw_red = false;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      Rgb c = PixelOf(red, x, y);
      EXPECT_EQ(c.r, 255) << x << "," << y;  // only reds over white
      saw_red |= c.g == 0;
    }
  }
  EXPECT_TRUE(saw_red);

  Picture copy = DrawText([](PictBuilder* b) {
    b->Op(0x1B);  // background: blue
    b->U16(0);
    b->U16(0);
    b->U16(0xFFFF);
    b->Op(0x05);  // TxMode srcCopy
    b->U16(0);
    Text(b, 0x28, {50, 30}, "x");
  });
  // Above the lower-case x, within the character cell, is background blue.
  EXPECT_EQ(PixelOf(copy, 32, 37), (Rgb{0, 0, 255}));
}

// Text drawn without any text opcode: the system font at 12 points, plain,
// black, in srcOr (the cell's background is left alone).
TEST(TextTest, TextFromTheInitialStateIsTwelvePointSrcOrInBlack) {
  PictBuilder b = StartPicture({QdRect{0, 0, 100, 200}});
  b.Op(0x31);  // a red square behind the text
  b.Rect(20, 20, 60, 100);
  b.Op(0x1A);
  b.U16(0xFFFF);
  b.U16(0);
  b.U16(0);
  b.Op(0x31);
  b.Rect(20, 20, 60, 100);
  b.Op(0x1A);
  b.U16(0);
  b.U16(0);
  b.U16(0);
  Text(&b, 0x28, {50, 30}, "HHH");
  Picture picture;
  ASSERT_TRUE(Decode(b.Finish(), &picture).ok());
  int top = 100, bottom = -1;
  bool red_left = false;
  for (int y = 20; y < 60; ++y) {
    for (int x = 20; x < 100; ++x) {
      Rgb c = PixelOf(picture, x, y);
      if (c == kBlack) {
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
      }
      red_left |= y > 40 && y < 50 && x > 30 && x < 60 && c == Rgb{255, 0, 0};
    }
  }
  // Capitals of 12-pixel type stand about 9 pixels on the baseline.
  EXPECT_NEAR(bottom, 50, 1);
  EXPECT_NEAR(bottom - top, 9, 2);
  EXPECT_TRUE(red_left);  // between the letters: srcOr did not paint the cell
}

// ChExtra widens every character, SpExtra each space besides.
TEST(TextTest, ChExtraAndSpExtraWidenTheString) {
  struct Case {
    const char* name;
    int char_extra;
    double space_extra;
    int wider_by;  // pixels, against no extra
  };
  const Case cases[] = {
      {"ChExtra 4 on 5 characters", 4, 0, 16},
      {"SpExtra 10 on 2 spaces", 0, 10, 20},
      {"both", 2, 5, 18},
  };
  auto width = [](int char_extra, double space_extra) {
    Box box = InkBox(DrawText([&](PictBuilder* b) {
      b->Op(0x16);
      b->U16(char_extra);
      b->Op(0x06);
      b->U32(static_cast<uint32_t>(space_extra * 65536));
      Text(b, 0x28, {50, 10}, "H H H");
    }));
    return box.right - box.left;
  };
  int plain = width(0, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(width(c.char_extra, c.space_extra) - plain, c.wider_by, 3);
  }
}

TEST(TextTest, TextCanBeLeftOutAndControlCharactersAreNotDrawn) {
  DecodeOptions no_text;
  no_text.draw_text = false;
  EXPECT_TRUE(InkBox(DrawText(
                         [](PictBuilder* b) {
                           Text(b, 0x28, {50, 30}, "Hi");
                         },
                         no_text))
                  .Empty());
  EXPECT_TRUE(InkBox(DrawText([](PictBuilder* b) {
                Text(b, 0x28, {50, 30}, "\r\t\x01");
              })).Empty());
}

TEST(MacRomanTest, HighCharactersBecomeTheirUnicodeForms) {
  struct Case {
    std::vector<uint8_t> mac;
    const char* utf8;
  };
  const Case cases[] = {
      {{'A', 'b', '1'}, "Ab1"},
      {{0x8A, 0x9A, 0xA7}, "\xC3\xA4\xC3\xB6\xC3\x9F"},  // ä ö ß
      {{0xA5, 0xAA}, "\xE2\x80\xA2\xE2\x84\xA2"},        // • ™
      {{0xD2, 0xD3}, "\xE2\x80\x9C\xE2\x80\x9D"},        // “ ”
      {{0xDB}, "\xE2\x82\xAC"},                          // €
      {{0xF0}, "\xEF\xA3\xBF"},                          // the Apple logo, private use
      {{'a', 0x0D, 'b', 0x7F}, "ab"},                    // control characters dropped
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MacRomanToUtf8(c.mac.data(), c.mac.size()), c.utf8);
  }
}

}  // namespace
}  // namespace pic2jpg::pict::test_util
