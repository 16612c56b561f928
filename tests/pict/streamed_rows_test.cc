// Pictures decoded a row at a time (DecodePictRows): a picture is streamed
// only where that gives exactly the canvas's pixels, and then it does.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "tests/pict/pict_builder.h"

namespace pic2jpg::pict {
namespace {

using test_util::PictBuilder;
using test_util::StartPicture;

struct Collected {
  size_t bytes = 4;  // a pixel
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
};

struct Streamed {
  bool streamed = false;
  DecodeResult result;
  Collected rows;
};

Streamed StreamRows(const std::vector<uint8_t>& data, bool bgr) {
  Streamed out;
  out.rows.bytes = bgr ? 3 : 4;
  RowSink sink;
  sink.bgr = bgr;
  sink.context = &out.rows;
  sink.start = [](void* context, int width, int height) {
    auto* c = static_cast<Collected*>(context);
    c->width = width;
    c->height = height;
    return true;
  };
  sink.row = [](void* context, const uint8_t* pixels) {
    auto* c = static_cast<Collected*>(context);
    c->pixels.insert(c->pixels.end(), pixels, pixels + c->bytes * static_cast<size_t>(c->width));
    return true;
  };
  out.result = DecodePictRows(data.data(), data.size(), sink, &out.streamed);
  return out;
}

// "" when a streamed picture is the canvas's picture (with `bgr`, without
// its alpha bytes), or when the picture is not streamed and nothing was
// handed out; else what differs.
std::string CompareWithCanvas(const std::vector<uint8_t>& data, bool bgr, bool* streamed) {
  Streamed s = StreamRows(data, bgr);
  *streamed = s.streamed;
  Picture picture;
  DecodeResult canvas = DecodePict(data.data(), data.size(), &picture);
  if (!s.streamed) {
    if (!s.result.ok()) return "not streamed, yet failed: " + s.result.message;
    return s.rows.width == 0 && s.rows.pixels.empty() ? "" : "not streamed, yet rows came";
  }
  if (!canvas.ok() || !s.result.ok()) {
    return canvas.status == s.result.status && canvas.message == s.result.message
               ? ""
               : "canvas: " + canvas.message + "; streamed: " + s.result.message;
  }
  if (picture.has_alpha) return "the canvas has alpha";
  if (s.rows.width != picture.width || s.rows.height != picture.height) return "size";
  const size_t pixels = picture.pixels.size() / 4;
  if (s.rows.pixels.size() != pixels * s.rows.bytes) return "row count";
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* ours = s.rows.pixels.data() + i * s.rows.bytes;
    const uint8_t* canvas_pixel = picture.pixels.data() + 4 * i;
    if (std::memcmp(ours, canvas_pixel, s.rows.bytes) != 0 || (bgr && canvas_pixel[3] != 255)) {
      return "pixel " + std::to_string(i % static_cast<size_t>(picture.width)) + "," +
             std::to_string(i / static_cast<size_t>(picture.width));
    }
  }
  return "";
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  const std::string text = test::ReadText(path);
  return std::vector<uint8_t>(text.begin(), text.end());
}

// Every real picture we keep: written by many programs, every pixel kind.
TEST(StreamedRowsTest, RealPicturesStreamOnlyAsTheCanvasDrawsThem) {
  int pictures = 0;
  int streamed_count = 0;
  for (const char* folder : {"pict/", "pict-corpus/", "pict-quicktime/", ""}) {
    for (const std::string& name : test::FilesBelow(test::DataFile(folder))) {
      if (name.find('/') != std::string::npos) continue;
      const std::string ext = name.substr(name.find_last_of('.') + 1);
      if (ext != "pict" && ext != "PCT" && ext != "pct") continue;
      SCOPED_TRACE(folder + name);
      const std::vector<uint8_t> data = ReadBytes(test::DataFile(folder + name));
      bool streamed = false;
      EXPECT_EQ(CompareWithCanvas(data, /*bgr=*/false, &streamed), "");
      EXPECT_EQ(CompareWithCanvas(data, /*bgr=*/true, &streamed), "");
      ++pictures;
      streamed_count += streamed;
    }
  }
  // Most of them are one bitmap over the frame; drawings, QuickTime images
  // and scaled bitmaps are not.
  EXPECT_GE(pictures, 250);
  EXPECT_GE(streamed_count, 200);
  EXPECT_LT(streamed_count, pictures);
}

// A 32-bit DirectBitsRect of a `bounds` pixel map, copied from `src` to
// `dst`, in a picture of `frame`; `before` adds opcodes ahead of it, `after`
// behind it.
struct BitmapCase {
  QdRect frame{0, 0, 6, 9};
  QdRect bounds{0, 0, 6, 9};
  QdRect src{0, 0, 6, 9};
  QdRect dst{0, 0, 6, 9};
  int mode = 0;
  void (*before)(PictBuilder*) = nullptr;
  void (*after)(PictBuilder*) = nullptr;
};

std::vector<uint8_t> BitmapPicture(const BitmapCase& c) {
  PictBuilder b = StartPicture({c.frame});
  if (c.before != nullptr) c.before(&b);
  const int width = c.bounds.Width();
  b.Op(0x9A);
  b.U32(0xFF);
  b.U16((width * 4) | 0x8000);
  test_util::PixMapBody(&b, c.bounds, 1, 32, 3, 8);
  b.Rect(c.src);
  b.Rect(c.dst);
  b.U16(c.mode);
  for (int y = 0; y < c.bounds.Height(); ++y) {
    for (int x = 0; x < width; ++x) {
      b.U8(0);
      b.U8(x * 29 + y);
      b.U8(y * 41 + 3);
      b.U8((x ^ y) * 17);
    }
  }
  if (c.after != nullptr) c.after(&b);
  return b.Finish();
}

void ClipTo(PictBuilder* b, const QdRect& r) {
  b->Op(0x0001);
  b->U16(10);
  b->Rect(r);
}

TEST(StreamedRowsTest, OnlyABitmapCoveringTheFramePixelForPixelStreams) {
  struct Case {
    const char* what;
    BitmapCase picture;
    bool streams;
  };
  const Case kCases[] = {
      {"the frame", {}, true},
      {"a frame away from 0,0",
       {{20, 30, 26, 39}, {0, 0, 6, 9}, {0, 0, 6, 9}, {20, 30, 26, 39}},
       true},
      {"a window on a larger bitmap",
       {{0, 0, 6, 9}, {-2, -3, 10, 12}, {1, 2, 7, 11}, {0, 0, 6, 9}},
       true},
      {"a clip larger than the frame",
       {.before =
            [](PictBuilder* b) {
              ClipTo(b, {-5, -5, 50, 50});
            }},
       true},
      {"state and comments around it",
       {.before = [](PictBuilder* b) { b->Op(0x001E); },
        .after =
            [](PictBuilder* b) {
              b->Op(0x00A0);
              b->U16(100);
            }},
       true},
      {"a source rectangle of another size", {.src = {0, 0, 6, 8}}, false},
      {"a destination short of the frame", {.dst = {0, 0, 6, 8}}, false},
      {"a destination past the frame", {.dst = {0, 0, 7, 9}}, false},
      {"a source rectangle past the bounds",
       {.bounds = {0, 0, 6, 9}, .src = {1, 0, 7, 9}, .dst = {0, 0, 6, 9}},
       false},
      {"a clip inside the frame",
       {.before =
            [](PictBuilder* b) {
              ClipTo(b, {0, 0, 6, 8});
            }},
       false},
      {"a mode that mixes with the white below", {.mode = 1}, false},
      {"a rectangle painted after it",
       {.after =
            [](PictBuilder* b) {
              b->Op(0x0031);
              b->Rect(1, 1, 3, 3);
            }},
       false},
      {"a second bitmap",
       {.after =
            [](PictBuilder* b) {
              b->Op(0x9A);
              b->U32(0xFF);
              b->U16(4 | 0x8000);
              test_util::PixMapBody(b, {0, 0, 1, 1}, 1, 32, 3, 8);
              b->Rect(0, 0, 1, 1);
              b->Rect(2, 2, 3, 3);
              b->U16(0);
              b->U32(0x00102030);
            }},
       false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    for (const bool bgr : {false, true}) {
      bool streamed = false;
      EXPECT_EQ(CompareWithCanvas(BitmapPicture(c.picture), bgr, &streamed), "");
      EXPECT_EQ(streamed, c.streams);
    }
  }
}

// A sink that stops is obeyed at once, and the result is no failure.
TEST(StreamedRowsTest, ASinkThatStopsEndsTheDecoding) {
  const std::vector<uint8_t> data = BitmapPicture({});
  int rows = 0;
  RowSink sink;
  sink.context = &rows;
  sink.start = [](void*, int, int) { return true; };
  sink.row = [](void* context, const uint8_t*) { return ++*static_cast<int*>(context) < 2; };
  bool streamed = false;
  EXPECT_TRUE(DecodePictRows(data.data(), data.size(), sink, &streamed).ok());
  EXPECT_TRUE(streamed);
  EXPECT_EQ(rows, 2);
}

}  // namespace
}  // namespace pic2jpg::pict
