// The drawing layer on its own: canvases, flood fill, painting with alpha,
// and the PNG hand-over to the codec library.
#include <gtest/gtest.h>

#include "drawing_fixture.h"
#include "engine/frame.h"
#include "platform/drawing.h"

namespace pic2jpg {
namespace {

using platform::MakeRgba;
using test::ImagePtr;

TEST(DrawingLayerTest, CanvasesNeedAPositiveDrawableSize) {
  const std::pair<int, int> refused[] = {{0, 5}, {5, 0}, {-1, 10}, {40000, 1}, {1, 40000}};
  for (auto [w, h] : refused) EXPECT_EQ(platform::CreateCanvas(w, h), nullptr) << w << "x" << h;
  platform::CanvasPtr canvas = platform::CreateCanvas(3, 2);
  ASSERT_NE(canvas, nullptr);
  test::CanvasSnapshot snapshot(*canvas);
  EXPECT_EQ(snapshot.width(), 3);
  EXPECT_EQ(snapshot.height(), 2);
  EXPECT_EQ(snapshot.At(2, 1), 0u);  // transparent
}

TEST(DrawingLayerTest, NullCanvasesAreRefusedQuietly) {
  EXPECT_FALSE(platform::BeginDrawing(nullptr));
  platform::FloodFill(nullptr, 0, 0, 0xFFFFFFFFu);
  platform::FillCanvas(nullptr, 0xFFFFFFFFu);
  platform::CanvasPtr canvas = platform::CreateCanvas(2, 2);
  EXPECT_FALSE(platform::PaintCanvas(nullptr, *canvas, 255));
  // Path calls outside a drawing pair do nothing.
  platform::SetFillColour(canvas.get(), 0xFFFFFFFFu);
  platform::AddRectangle(canvas.get(), 0, 0, 2, 2);
  platform::FillPath(canvas.get());
  EXPECT_EQ(test::CanvasSnapshot(*canvas).At(0, 0), 0u);
}

// A filled ring: a fill from inside stays inside, one from outside stays
// outside, and the ring itself is untouched by both.
TEST(DrawingLayerTest, FloodFillStopsAtOtherColours) {
  platform::CanvasPtr canvas = platform::CreateCanvas(20, 20);
  ASSERT_TRUE(platform::BeginDrawing(canvas.get()));
  platform::SetFillColour(canvas.get(), MakeRgba(0, 0, 255, 255));
  platform::AddRectangle(canvas.get(), 5, 5, 10, 10);
  // The inner square runs the other way round: a hole under the winding rule.
  const platform::Point steps[] = {{0, 6}, {6, 0}, {0, -6}};
  platform::AddPolygon(canvas.get(), {7, 7}, steps);
  platform::FillPath(canvas.get());
  platform::EndDrawing(canvas.get());
  const uint32_t outside = MakeRgba(255, 0, 0, 128);
  const uint32_t inside = MakeRgba(0, 255, 0, 255);
  platform::FloodFill(canvas.get(), 1, 1, outside);
  platform::FloodFill(canvas.get(), 10, 10, inside);
  platform::FloodFill(canvas.get(), -1, 50, inside);  // outside the canvas: nothing
  struct Probe {
    int x, y;
    uint32_t colour;
  };
  const Probe probes[] = {{0, 0, outside},
                          {19, 19, outside},
                          {4, 10, outside},
                          {5, 5, MakeRgba(0, 0, 255, 255)},
                          {6, 10, MakeRgba(0, 0, 255, 255)},
                          {7, 7, inside},
                          {12, 12, inside}};
  test::CanvasSnapshot snapshot(*canvas);
  for (const Probe& p : probes) {
    uint32_t got = snapshot.At(p.x, p.y);
    EXPECT_EQ(platform::RedOf(got), platform::RedOf(p.colour)) << p.x << "," << p.y;
    EXPECT_EQ(platform::GreenOf(got), platform::GreenOf(p.colour)) << p.x << "," << p.y;
    EXPECT_EQ(platform::BlueOf(got), platform::BlueOf(p.colour)) << p.x << "," << p.y;
    EXPECT_EQ(platform::AlphaOf(got), platform::AlphaOf(p.colour)) << p.x << "," << p.y;
  }
}

TEST(DrawingLayerTest, PaintingMultipliesAlpha) {
  platform::CanvasPtr source = platform::CreateCanvas(4, 4);
  platform::FillCanvas(source.get(), MakeRgba(255, 0, 0, 255));
  for (int alpha : {0, 64, 128, 255}) {
    platform::CanvasPtr target = platform::CreateCanvas(4, 4);
    ASSERT_TRUE(platform::PaintCanvas(target.get(), *source, alpha));
    uint32_t got = test::CanvasSnapshot(*target).At(1, 1);
    EXPECT_NEAR(platform::AlphaOf(got), alpha, 1);
    if (alpha > 0) {
      EXPECT_EQ(platform::RedOf(got), 255) << alpha;
    }
  }
}

// The PNG hand-over keeps colours and alpha, and a canvas without any
// transparent pixel still arrives with an alpha channel.
TEST(DrawingLayerTest, CanvasToBitmapKeepsAlpha) {
  for (uint32_t fill :
       {MakeRgba(10, 200, 30, 255), MakeRgba(200, 100, 50, 128), MakeRgba(0, 0, 0, 0)}) {
    platform::CanvasPtr canvas = platform::CreateCanvas(7, 5);
    platform::FillCanvas(canvas.get(), fill);
    ImagePtr bitmap(CanvasToBitmap(*canvas));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(FreeImage_GetBPP(bitmap.get()), 32u);
    EXPECT_EQ(FreeImage_GetWidth(bitmap.get()), 7u);
    EXPECT_EQ(FreeImage_GetHeight(bitmap.get()), 5u);
    const BYTE* p = FreeImage_GetScanLine(bitmap.get(), 2) + 3 * 4;
    EXPECT_EQ(p[FI_RGBA_ALPHA], platform::AlphaOf(fill));
    if (platform::AlphaOf(fill) > 0) {
      EXPECT_NEAR(p[FI_RGBA_RED], platform::RedOf(fill), 1);
      EXPECT_NEAR(p[FI_RGBA_GREEN], platform::GreenOf(fill), 1);
      EXPECT_NEAR(p[FI_RGBA_BLUE], platform::BlueOf(fill), 1);
    }
  }
}

TEST(DrawingLayerTest, CompositeOfMismatchedSizesKeepsThePicture) {
  FIBITMAP* image = test::MakeImage(10, 10, 24, 0x123456);
  ImagePtr layer(FreeImage_Allocate(11, 10, 32));
  ImagePtr result(CompositeOver(image, layer.get()));
  EXPECT_EQ(result.get(), image);
  EXPECT_EQ(test::PixelAt(result.get(), 5, 5), 0x123456);
}

}  // namespace
}  // namespace pic2jpg
