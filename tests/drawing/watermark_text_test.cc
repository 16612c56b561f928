// Text marks: the run's font, line splitting, the box around the lines,
// alignment, raster against antialiased text, opacities, and text that does
// not fit the picture.
#include <gtest/gtest.h>

#include <set>

#include "drawing_fixture.h"
#include "engine/watermark.h"
#include "platform/drawing.h"
#include "platform/drawing_text.h"
#include "support/text_cases.h"

namespace pic2jpg {
namespace {

using platform::AlphaOf;
using platform::CanvasHeight;
using platform::CanvasWidth;
using test::Box;
using test::ExpectEachText;
using test::ImagePtr;
using test::MakeImage;
using test::PixelAt;
using test::TextCase;

constexpr int kWhite = 0xFFFFFF;

TEST(SplitWatermarkLinesTest, SplitsAtEveryLineMarkerInAnyCase) {
  const TextCase<std::vector<std::string>> cases[] = {
      {"plain", {"plain"}},
      {"", {""}},
      {"A%EOL%B", {"A", "B"}},
      {"A%eol%", {"A", ""}},
      {"%Eol%", {"", ""}},
      {"a%eol%%eOl%b", {"a", "", "b"}},
      {"50% eol %eo%l", {"50% eol %eo%l"}},
      {"%%eol%%", {"%", "%"}},
  };
  ExpectEachText(SplitWatermarkLines, cases);
}

TEST(AlignedLineXTest, LeftCentreRight) {
  struct Case {
    int alignment, box, line, padding, x;
  };
  const Case cases[] = {
      {0, 100, 40, 5, 5},  {1, 100, 40, 5, 30}, {1, 101, 40, 5, 31},  // 30.5 rounds up
      {1, 100, 41, 0, 30}, {1, 40, 41, 0, -1},                        // -0.5 rounds away
      {2, 100, 40, 5, 55}, {2, 100, 40, 0, 60}, {5, 100, 40, 7, 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AlignedLineX(c.alignment, c.box, c.line, c.padding), c.x)
        << c.alignment << " " << c.box << " " << c.line << " " << c.padding;
  }
}

TEST(FontPixelSizeTest, PointsAtNinetySixDpi) {
  const std::pair<int, int> cases[] = {{14, 19}, {12, 16}, {9, 12}, {10, 13},
                                       {72, 96}, {1, 1},   {0, 0},  {-4, 0}};
  for (auto [points, pixels] : cases) EXPECT_EQ(platform::FontPixelSize(points), pixels) << points;
}

class WatermarkTextTest : public test::DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    WatermarkSettings& wm = g_settings.watermark;
    wm.kind = WatermarkKind::kText;
    wm.text_place.position = 0;
    wm.text_place.x_offset = 0;
    wm.text_place.y_offset = 0;
    wm.font_color = "FFFFFF";
    wm.back_color = "000000";
    wm.back_opacity = 255;
  }
  platform::CanvasPtr Render(const std::string& text) {
    g_settings.watermark.text = text;
    if (!(test::TestFont() != nullptr)) {
      EXPECT_TRUE(test::CreateTestFont());
    }
    return RenderTextMark(test::MarkJobOfSettings());
  }
  ImagePtr Stamp(FIBITMAP* image) {
    if (!(test::TestFont() != nullptr)) {
      EXPECT_TRUE(test::CreateTestFont());
    }
    return ImagePtr(test::StampWithSettings(image));
  }
  // Columns [left, right) of glyph pixels (red above 128) in rows [top, bottom).
  static std::pair<int, int> GlyphColumns(const platform::Canvas& canvas, int top, int bottom) {
    test::CanvasSnapshot snapshot(canvas);
    int left = 1 << 30, right = -1;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < snapshot.width(); ++x) {
        if (platform::RedOf(snapshot.At(x, y)) > 128) {
          left = std::min(left, x);
          right = std::max(right, x + 1);
        }
      }
    }
    return {left, right};
  }
};

// An unknown family or a size below 1 is refused; style and effect do not
// matter for whether a font can be had.
TEST_F(WatermarkTextTest, RunFontFromTheSettings) {
  struct Case {
    const char* family;
    int size;
    int8_t style, effect;
    bool ok;
  };
  const Case cases[] = {
      {"Arial", 14, 0, 0, true},
      {"arial", 14, 3, 1, true},
      {"Tahoma", 14, 0, 0, true},
      {"Verdana", 10, 1, 2, true},
      {"Liberation Serif", 14, 2, 0, true},
      {"No Such Family 4711", 14, 0, 0, false},
      {"Arial,No Such Family", 14, 0, 0, false},
      {"", 14, 0, 0, false},
      {"Arial", 0, 0, 0, false},
      {"Arial", -12, 0, 0, false},
      {"Arial", 3000, 0, 0, true},
      {"Arial", 3001, 0, 0, false},
  };
  for (const Case& c : cases) {
    g_settings.watermark.font = c.family;
    g_settings.watermark.font_size = c.size;
    g_settings.watermark.font_style = c.style;
    g_settings.watermark.font_effect = c.effect;
    EXPECT_EQ(test::CreateTestFont(), c.ok) << c.family << " " << c.size;
    EXPECT_EQ((test::TestFont() != nullptr), c.ok) << c.family;
    test::TestFont().reset();
    EXPECT_FALSE((test::TestFont() != nullptr));
    test::TestFont().reset();  // twice is harmless
  }
}

// Arial is drawn with its metric twin, Tahoma and Verdana with DejaVu Sans:
// the faces the program names, the same advance widths to the fraction.
TEST_F(WatermarkTextTest, FamiliesResolveToTheirReplacements) {
  const std::pair<std::string, std::string> cases[] = {
      {"Arial", "Liberation Sans"}, {"verdana", "DejaVu Sans"}, {"Tahoma", "DejaVu Sans"}};
  const char* kSample = "The quick brown fox jumps over the lazy dog 0123456789";
  for (const auto& [family, face] : cases) {
    for (int8_t style : {int8_t{0}, int8_t{1}}) {
      g_settings.watermark.font = family;
      g_settings.watermark.font_style = style;
      ASSERT_TRUE(test::CreateTestFont()) << family;
      platform::FontPtr twin = platform::CreateFont({face, 14, style == 1, false, false, false});
      ASSERT_NE(twin, nullptr) << face;
      EXPECT_DOUBLE_EQ(platform::MeasureVectorText(*test::TestFont(), kSample),
                       platform::MeasureVectorText(*twin, kSample))
          << family << " style " << style;
      test::TestFont().reset();
    }
  }
  // A generic fall-back would be another face: the test can tell them apart.
  platform::FontPtr serif = platform::CreateFont({"Liberation Serif", 14});
  platform::FontPtr sans = platform::CreateFont({"Liberation Sans", 14});
  EXPECT_NE(platform::MeasureVectorText(*serif, kSample),
            platform::MeasureVectorText(*sans, kSample));
}

TEST_F(WatermarkTextTest, DefaultFontListIsAvailable) {
  std::string list = g_settings.watermark.fonts;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = std::min(list.find(',', start), list.size());
    g_settings.watermark.font = list.substr(start, end - start);
    EXPECT_TRUE(test::CreateTestFont()) << g_settings.watermark.font;
    start = end + 1;
  }
}

TEST_F(WatermarkTextTest, NoFontNoMark) {
  g_settings.watermark.text = "Hello";
  ImagePtr result(test::StampWithSettings(MakeImage(60, 40, 8, kWhite)));
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(FreeImage_GetBPP(result.get()), 24u);
  EXPECT_EQ(test::CountWhere(result.get(), [](int c) { return c != kWhite; }), 0);
}

// The box: a single line as measured; with line markers every line is at
// least 10 pixels wide and high, and lines are a line height plus the
// leading apart; the padding goes round it all.
TEST_F(WatermarkTextTest, BoxAroundTheLines) {
  ASSERT_TRUE(test::CreateTestFont());
  const platform::Font& font = *test::TestFont();
  const platform::TextExtent ab = platform::MeasureRasterText(font, "Abc");
  const platform::TextExtent wide = platform::MeasureRasterText(font, "Wide line");
  ASSERT_GT(ab.height, 10);
  const int h = ab.height;
  struct Case {
    const char* text;
    int padding, leading;
    int width, height;
  };
  const Case cases[] = {
      {"Abc", 0, 0, ab.width, h},
      {"Abc", 6, 9, ab.width + 12, h + 12},
      {"Abc%eol%Abc", 0, 0, ab.width, 2 * h},
      {"Abc%EOL%Abc", 3, 5, ab.width + 6, 2 * h + 5 + 6},
      {"Abc%eol%", 0, 4, ab.width, 2 * h + 4},
      {"Abc%eol%Wide line%eol%Abc", 2, -3, wide.width + 4, 3 * h - 6 + 4},
      {"%eol%", 0, 0, 10, 2 * h},
      {"i%eol%i", 1, 0, 12, 2 * h + 2},
  };
  for (const Case& c : cases) {
    for (int8_t antialiasing : {int8_t{0}, int8_t{1}}) {
      g_settings.watermark.text_padding = c.padding;
      g_settings.watermark.font_leading = c.leading;
      g_settings.watermark.text_antialiasing = antialiasing;
      platform::CanvasPtr mark = Render(c.text);
      ASSERT_NE(mark, nullptr) << c.text;
      EXPECT_EQ(CanvasWidth(*mark), c.width) << c.text << " aa " << int{antialiasing};
      EXPECT_EQ(CanvasHeight(*mark), c.height) << c.text << " aa " << int{antialiasing};
    }
  }
}

// A box beyond any sensible mark (here about 25000 x 3100 pixels) is not
// drawn, rather than tying up gigabytes and minutes.
TEST_F(WatermarkTextTest, HugeTextBoxIsLeftOut) {
  g_settings.watermark.font_size = 2000;
  EXPECT_EQ(Render("WWWWWWWWWW"), nullptr);
  g_settings.watermark.text_place.rotation = 45;
  ImagePtr result = Stamp(MakeImage(60, 40, 24, kWhite));
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(test::CountWhere(result.get(), [](int c) { return c != kWhite; }), 0);
  // A large but sensible box is drawn.
  EXPECT_NE(Render("W"), nullptr);
}

// An empty box cannot be drawn: no mark. Padding alone makes a box.
TEST_F(WatermarkTextTest, EmptyTextGivesNoMarkUnlessPadded) {
  EXPECT_EQ(Render(""), nullptr);
  g_settings.watermark.text_padding = -50;
  EXPECT_EQ(Render("Abc"), nullptr);
  g_settings.watermark.text_padding = 5;
  platform::CanvasPtr padded = Render("");
  ASSERT_NE(padded, nullptr);
  EXPECT_EQ(CanvasWidth(*padded), 10);
}

// The second, short line of two sits left, centred or right in the box, for
// raster and for antialiased text.
TEST_F(WatermarkTextTest, AlignmentPlacesShortLines) {
  for (int8_t antialiasing : {int8_t{0}, int8_t{1}}) {
    for (int8_t alignment : {int8_t{0}, int8_t{1}, int8_t{2}}) {
      g_settings.watermark.text_antialiasing = antialiasing;
      g_settings.watermark.text_alignment = alignment;
      g_settings.watermark.text_padding = 6;
      platform::CanvasPtr mark = Render("WWWWWWWWWW%eol%HH");
      ASSERT_NE(mark, nullptr);
      const int bw = CanvasWidth(*mark), bh = CanvasHeight(*mark);
      auto [left, right] = GlyphColumns(*mark, bh / 2 + 2, bh - 6);
      ASSERT_LT(left, right) << "no glyphs on the second line";
      std::string where =
          "aa " + std::to_string(antialiasing) + " alignment " + std::to_string(alignment);
      if (alignment == 0) {
        EXPECT_NEAR(left, 6, 3) << where;
      } else if (alignment == 1) {
        EXPECT_NEAR(left + right, bw, 3) << where;
      } else {
        EXPECT_NEAR(right, bw - 6, 3) << where;
      }
    }
  }
}

// Raster text has two colours only, each with its own alpha written as is;
// antialiased text has in-between pixels, and its glyphs lie over the box.
TEST_F(WatermarkTextTest, RasterAndAntialiasedPixels) {
  g_settings.watermark.text_opacity = 200;
  g_settings.watermark.back_opacity = 100;
  g_settings.watermark.text_padding = 2;
  for (int8_t antialiasing : {int8_t{0}, int8_t{1}}) {
    g_settings.watermark.text_antialiasing = antialiasing;
    platform::CanvasPtr mark = Render("Sample text");
    ASSERT_NE(mark, nullptr);
    test::CanvasSnapshot snapshot(*mark);
    std::set<uint32_t> colours;
    for (int y = 0; y < snapshot.height(); ++y) {
      for (int x = 0; x < snapshot.width(); ++x) colours.insert(snapshot.At(x, y));
    }
    const uint32_t box = platform::MakeRgba(0, 0, 0, 100);
    EXPECT_EQ(snapshot.At(0, 0), box);
    if (antialiasing == 0) {
      EXPECT_EQ(colours, (std::set<uint32_t>{box, platform::MakeRgba(255, 255, 255, 200)}));
    } else {
      EXPECT_GT(colours.size(), 4u);
      // A fully covered glyph pixel: white at 200 over black at 100.
      int max_alpha = 0;
      for (uint32_t c : colours) max_alpha = std::max(max_alpha, AlphaOf(c));
      EXPECT_NEAR(max_alpha, 200 + 100 * 55 / 255, 2);
    }
  }
}

// Back Opacity 1 (the default) leaves the box practically invisible; 255
// makes it an opaque box in the back colour.
TEST_F(WatermarkTextTest, BackOpacityOfTheBox) {
  struct Case {
    int back_opacity;
    int8_t antialiasing;
    int expected;  // a padding pixel over white
  };
  const Case cases[] = {{1, 0, 0xFEFEFE},
                        {255, 0, 0x000000},
                        {1, 1, 0xFEFEFE},
                        {255, 1, 0x000000},
                        {128, 1, 0x7F7F7F}};
  for (const Case& c : cases) {
    g_settings.watermark.back_opacity = c.back_opacity;
    g_settings.watermark.text_antialiasing = c.antialiasing;
    g_settings.watermark.text_padding = 4;
    g_settings.watermark.text = "Hi";
    ImagePtr result = Stamp(MakeImage(100, 60, 24, kWhite));
    EXPECT_TRUE(test::Near(PixelAt(result.get(), 1, 1), c.expected, 1))
        << c.back_opacity << std::hex << " got " << PixelAt(result.get(), 1, 1);
  }
}

// Text wider and taller than the picture is cut to its top left part and
// fills the picture from its offsets to the edges.
TEST_F(WatermarkTextTest, TextLargerThanThePictureIsCut) {
  g_settings.watermark.text = "A long watermark text%eol%on two lines";
  g_settings.watermark.text_padding = 10;
  g_settings.watermark.text_place.x_offset = 10;
  g_settings.watermark.text_place.y_offset = 5;
  for (int8_t position : {int8_t{0}, int8_t{8}}) {
    g_settings.watermark.text_place.position = position;
    ImagePtr result = Stamp(MakeImage(60, 30, 24, kWhite));
    ASSERT_NE(result, nullptr);
    Box box = test::BoundsWhere(result.get(), [](int c) { return c != kWhite; });
    EXPECT_EQ(box, position == 0 ? (Box{10, 5, 60, 30}) : (Box{0, 0, 50, 25}))
        << "position " << int{position};
  }
}

// A turned text box covers what the turn says: swapped sides at 90 degrees,
// a larger square at 45.
TEST_F(WatermarkTextTest, RotatedTextBox) {
  g_settings.watermark.text = "Rotate";
  g_settings.watermark.text_padding = 5;
  g_settings.watermark.text_place.x_offset = 5;
  g_settings.watermark.text_place.y_offset = 5;
  auto dark = [](int c) { return test::Red(c) < 128; };
  ImagePtr plain = Stamp(MakeImage(300, 300, 24, kWhite));
  Box upright = test::BoundsWhere(plain.get(), dark);
  ASSERT_GT(upright.width(), upright.height());

  g_settings.watermark.text_place.rotation = 90;
  ImagePtr turned = Stamp(MakeImage(300, 300, 24, kWhite));
  Box quarter = test::BoundsWhere(turned.get(), dark);
  EXPECT_EQ(quarter.width(), upright.height());
  EXPECT_EQ(quarter.height(), upright.width());

  g_settings.watermark.text_place.rotation = 45;
  ImagePtr tilted = Stamp(MakeImage(300, 300, 24, kWhite));
  Box diagonal = test::BoundsWhere(tilted.get(), dark);
  double side = (upright.width() + upright.height()) / 1.41421356;
  EXPECT_NEAR(diagonal.width(), side, 3);
  EXPECT_NEAR(diagonal.height(), side, 3);
  EXPECT_NEAR(diagonal.left, 5, 2);
  EXPECT_NEAR(diagonal.top, 5, 2);

  // On a small picture the turned mark is cut like any other.
  g_settings.watermark.text_place.rotation = 90;
  ImagePtr small = Stamp(MakeImage(100, 30, 24, kWhite));
  EXPECT_EQ(test::BoundsWhere(small.get(), dark), (Box{5, 5, 5 + upright.height(), 30}));
}

// Underline and strike-out add a stroke; bold thickens the strokes.
TEST_F(WatermarkTextTest, StyleAndEffectChangeTheGlyphs) {
  auto glyph_pixels = [this](int8_t style, int8_t effect) {
    g_settings.watermark.font_style = style;
    g_settings.watermark.font_effect = effect;
    test::TestFont().reset();
    platform::CanvasPtr mark = Render("mmmm");
    test::CanvasSnapshot snapshot(*mark);
    int count = 0;
    for (int y = 0; y < snapshot.height(); ++y) {
      for (int x = 0; x < snapshot.width(); ++x) {
        count += platform::RedOf(snapshot.At(x, y)) > 128 ? 1 : 0;
      }
    }
    return count;
  };
  const int plain = glyph_pixels(0, 0);
  EXPECT_GT(glyph_pixels(0, 1), plain + 20);
  EXPECT_GT(glyph_pixels(0, 2), plain + 20);
  EXPECT_GT(glyph_pixels(1, 0), plain + 20);
}

// Placeholders are expanded before measuring; markers and bytes that are
// not UTF-8 do no harm; a real line break is shown, not obeyed.
TEST_F(WatermarkTextTest, TextIsExpandedAndSanitised) {
  test::MarkInputPath() = "/pictures/Sunset.pic";
  platform::CanvasPtr literal = Render("Photo Sunset");
  platform::CanvasPtr expanded = Render("Photo %FILENAME%");
  ASSERT_NE(literal, nullptr);
  ASSERT_NE(expanded, nullptr);
  EXPECT_EQ(CanvasWidth(*literal), CanvasWidth(*expanded));
  test::MarkInputPath().clear();

  platform::CanvasPtr one_line = Render("ab");
  platform::CanvasPtr newline = Render("a\nb");
  ASSERT_NE(newline, nullptr);
  EXPECT_EQ(CanvasHeight(*newline), CanvasHeight(*one_line));
  EXPECT_NE(Render("bad \xFF\xFE bytes"), nullptr);
}

}  // namespace
}  // namespace pic2jpg
