// Where a mark lands: the nine anchors with offsets, the frame boundary, the
// cut of marks that do not fit, rotation, and marks that cannot be placed.
#include <gtest/gtest.h>

#include "drawing_fixture.h"
#include "engine/frame.h"
#include "engine/watermark.h"

namespace pic2jpg {
namespace {

using test::Box;
using test::ImagePtr;
using test::MakeImage;
using test::PixelAt;

constexpr int kBlack = 0x000000;
constexpr int kRed = 0xFF0000;

bool IsRed(int c) { return c == kRed; }

class WatermarkPlaceTest : public test::DrawingTest {
 protected:
  // An opaque red mark of the given size, as the image watermark.
  void RedMark(int width, int height, int position, int x_offset, int y_offset) {
    std::string path = dir_.File("mark.png");
    ASSERT_TRUE(test::WriteSolidMark(path, width, height, 0xFFFF0000u));
    UseImageMark(path, position, x_offset, y_offset);
  }
  ImagePtr Stamp(FIBITMAP* image) { return ImagePtr(test::StampWithSettings(image)); }
};

TEST_F(WatermarkPlaceTest, NullImageAndOffPassThrough) {
  RedMark(5, 5, 0, 0, 0);
  EXPECT_EQ(test::StampWithSettings(nullptr), nullptr);
  g_settings.watermark.kind = WatermarkKind::kNone;
  FIBITMAP* image = MakeImage(20, 20, 8);
  ImagePtr result(test::StampWithSettings(image));
  EXPECT_EQ(result.get(), image);
  EXPECT_EQ(FreeImage_GetBPP(result.get()), 8u);
}

// A 20 x 10 mark on a 101 x 61 picture with offsets 7 and 5: the offsets
// count from the anchoring edges, centred axes ignore them and halve with
// truncation; an unknown anchor puts the mark at the top left corner.
TEST_F(WatermarkPlaceTest, NineAnchorsWithOffsets) {
  struct Case {
    int position, x, y;
  };
  const Case cases[] = {
      {0, 7, 5},   {1, 40, 5}, {2, 74, 5},  {3, 7, 25},  {4, 40, 25},
      {5, 74, 25}, {6, 7, 46}, {7, 40, 46}, {8, 74, 46}, {9, 0, 0},
  };
  for (const Case& c : cases) {
    RedMark(20, 10, c.position, 7, 5);
    ImagePtr result = Stamp(MakeImage(101, 61, 24, kBlack));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(test::BoundsWhere(result.get(), IsRed), (Box{c.x, c.y, c.x + 20, c.y + 10}))
        << "position " << c.position;
  }
}

TEST_F(WatermarkPlaceTest, DefaultBottomRightSitsTenPixelsFromTheEdges) {
  RedMark(30, 20, 8, 10, 10);
  ImagePtr result = Stamp(MakeImage(200, 100, 24, kBlack));
  EXPECT_EQ(test::BoundsWhere(result.get(), IsRed), (Box{160, 70, 190, 90}));
}

TEST_F(WatermarkPlaceTest, CentreOfAnOddAreaTruncates) {
  RedMark(50, 10, 4, 0, 0);
  ImagePtr result = Stamp(MakeImage(101, 31, 24, kBlack));
  EXPECT_EQ(test::BoundsWhere(result.get(), IsRed).left, 25);
  EXPECT_EQ(test::BoundsWhere(result.get(), IsRed).top, 10);
}

// With the boundary the frame's inside is the area; without a frame the
// boundary changes nothing.
TEST_F(WatermarkPlaceTest, BoundaryKeepsTheMarkInsideTheFrame) {
  struct Case {
    int8_t do_frame, boundary;
    int position;
    Box expected;
  };
  const Case cases[] = {
      {1, 1, 0, {20, 20, 30, 30}},   // starts at the frame's inner corner
      {1, 0, 0, {0, 0, 10, 10}},     // over the frame
      {0, 1, 0, {0, 0, 10, 10}},     // no frame, no boundary
      {1, 1, 8, {90, 50, 100, 60}},  // 80 x 40 area at (20, 20)
      {1, 1, 4, {55, 35, 65, 45}},   // (80 - 10) / 2 + 20, (40 - 10) / 2 + 20
  };
  for (const Case& c : cases) {
    FrameSettings& f = g_settings.frame;
    f.do_frame = c.do_frame;
    f.solid_left = f.solid_right = f.solid_top = f.solid_bottom = 20;
    f.solid_left_color = f.solid_right_color = f.solid_top_color = f.solid_bottom_color = "0000FF";
    RedMark(10, 10, c.position, 0, 0);
    g_settings.watermark.image_place.boundary = c.boundary;
    ImagePtr framed(DrawFrame(MakeImage(120, 80, 24, kBlack), g_settings.frame));
    ImagePtr result = Stamp(framed.release());
    EXPECT_EQ(test::BoundsWhere(result.get(), IsRed), c.expected)
        << "frame " << int{c.do_frame} << " boundary " << int{c.boundary} << " position "
        << c.position;
  }
}

// A mark wider or taller than the area beside its offsets keeps its top left
// part, so that at the near anchors its far edge meets the picture's edge.
TEST_F(WatermarkPlaceTest, OversizedMarkIsCutToItsTopLeftPart) {
  // Left half red, right half green; top half red, bottom half green.
  std::string path = dir_.File("halves.png");
  ASSERT_TRUE(test::WriteMark(path, FIF_PNG, 80, 60, [](int x, int y) {
    return x < 40 && y < 30 ? 0xFFFF0000u : 0xFF00FF00u;
  }));
  struct Case {
    int position, x_offset, y_offset;
    Box red;
  };
  const Case cases[] = {
      {0, 10, 5, {10, 5, 50, 35}},  // cut to 50 x 35 at (10, 5)
      {8, 10, 5, {0, 0, 40, 30}},   // cut to 50 x 35, anchored at (0, 0)
      {4, 0, 0, {0, 0, 40, 30}},    // cut to 60 x 40, centred at (0, 0)
  };
  for (const Case& c : cases) {
    UseImageMark(path, c.position, c.x_offset, c.y_offset);
    ImagePtr result = Stamp(MakeImage(60, 40, 24, kBlack));
    EXPECT_EQ(test::BoundsWhere(result.get(), IsRed), c.red) << "position " << c.position;
    Box all = test::BoundsWhere(result.get(), [](int px) { return px != kBlack; });
    EXPECT_EQ(all.right, c.position == 0 ? 60 : c.red.left + 60 - c.x_offset);
  }
}

// Offsets that leave no room, or that push the mark off the picture, give a
// picture without mark (in 24 bits), not a failure.
TEST_F(WatermarkPlaceTest, MarksThatCannotBePlacedAreLeftOut) {
  struct Case {
    int position, x_offset, y_offset;
  };
  const Case cases[] = {{0, 60, 0},        {0, 0, 45},        {0, 200, 200},
                        {0, -5, 0},        {8, 0, -5},        {0, INT32_MAX, 0},
                        {8, INT32_MIN, 0}, {2, INT32_MIN, 0}, {7, 0, INT32_MIN}};
  for (const Case& c : cases) {
    RedMark(10, 10, c.position, c.x_offset, c.y_offset);
    ImagePtr result = Stamp(MakeImage(60, 40, 8, kBlack));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(FreeImage_GetBPP(result.get()), 24u);
    EXPECT_EQ(test::CountWhere(result.get(), IsRed), 0)
        << "offsets " << c.x_offset << "," << c.y_offset;
  }
}

// The frame boundary with bands wider than the picture leaves no area.
TEST_F(WatermarkPlaceTest, NoAreaInsideAnOversizedFrame) {
  g_settings.frame.do_frame = 1;
  g_settings.frame.solid_left = g_settings.frame.solid_right = 40;
  g_settings.frame.solid_top = INT32_MIN;  // no overflow with absurd widths either
  RedMark(10, 10, 0, 0, 0);
  g_settings.watermark.image_place.boundary = 1;
  ImagePtr result = Stamp(MakeImage(60, 40, 24, kBlack));
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(test::CountWhere(result.get(), IsRed), 0);
}

TEST_F(WatermarkPlaceTest, RotationTurnsTheMarkBeforePlacing) {
  struct Case {
    int angle;
    int width, height;  // of the red area
    int tolerance;
  };
  const Case cases[] = {
      {0, 30, 10, 0},   {90, 10, 30, 0},  {180, 30, 10, 0},
      {270, 10, 30, 0}, {360, 30, 10, 0}, {-90, 30, 10, 0},  // only 0 < angle < 360 turns
      {45, 29, 29, 3},                                       // (30 + 10) / sqrt(2) each way
  };
  for (const Case& c : cases) {
    RedMark(30, 10, 0, 0, 0);
    g_settings.watermark.image_place.rotation = c.angle;
    ImagePtr result = Stamp(MakeImage(100, 100, 24, kBlack));
    Box red = test::BoundsWhere(result.get(), [](int px) { return test::Red(px) > 128; });
    EXPECT_NEAR(red.width(), c.width, c.tolerance) << "angle " << c.angle;
    EXPECT_NEAR(red.height(), c.height, c.tolerance) << "angle " << c.angle;
  }
}

// An opaque mark keeps its exact colours: pasting must not blend a step away.
TEST_F(WatermarkPlaceTest, OpaqueMarkIsStampedExactly) {
  std::string path = dir_.File("mark.png");
  ASSERT_TRUE(test::WriteSolidMark(path, 8, 8, 0xFF123456u));
  UseImageMark(path, 0, 0, 0);
  ImagePtr result = Stamp(MakeImage(20, 20, 24, 0xFFFFFF));
  EXPECT_EQ(PixelAt(result.get(), 3, 3), 0x123456);
}

}  // namespace
}  // namespace pic2jpg
