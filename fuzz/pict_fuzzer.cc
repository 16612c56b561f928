// The PICT reader on arbitrary bytes: it must decode or fail cleanly, never
// fault, leak or run into undefined behaviour, and a success must hand over
// a whole picture. The row-at-a-time decoder must agree with it: a picture
// it takes gives the same pixels or the same failure, and one it leaves is
// handed on untouched.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "pict/pict_reader.h"

namespace {

using pic2jpg::fuzz::Check;
namespace pict = pic2jpg::pict;

// The rows handed out, compared with the whole picture as they come.
struct RowCheck {
  const pict::Picture* picture = nullptr;
  bool started = false;
  int rows = 0;
};

void CheckRows(const uint8_t* data, size_t size, const pict::DecodeOptions& options,
               const pict::DecodeResult& whole, const pict::Picture& picture) {
  RowCheck check;
  check.picture = &picture;
  pict::RowSink sink;
  sink.context = &check;
  sink.start = [](void* context, int width, int height) {
    auto* c = static_cast<RowCheck*>(context);
    Check(!c->started, "one start");
    c->started = true;
    return c->picture->pixels.empty() ||
           (width == c->picture->width && height == c->picture->height);
  };
  sink.row = [](void* context, const uint8_t* pixels) {
    auto* c = static_cast<RowCheck*>(context);
    Check(c->started, "rows come after the start");
    const pict::Picture& p = *c->picture;
    if (p.pixels.empty()) return true;  // the whole decode failed: rows may come first
    Check(c->rows < p.height, "no more rows than the picture has");
    const size_t row_bytes = static_cast<size_t>(p.width) * 4;
    Check(std::memcmp(pixels, p.pixels.data() + row_bytes * c->rows, row_bytes) == 0,
          "a streamed row is the whole picture's row");
    ++c->rows;
    return true;
  };
  bool streamed = false;
  pict::DecodeResult rows = pict::DecodePictRows(data, size, sink, &streamed, options);
  if (!streamed) {
    Check(rows.ok() && !check.started, "a picture left to the canvas gets no rows");
    return;
  }
  Check(rows.status == whole.status, "both decoders end alike");
  if (whole.ok()) {
    Check(check.rows == picture.height, "every row is handed out");
    Check(!picture.has_alpha, "a streamed picture has no alpha");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pict::DecodeOptions options;
  // Small pictures keep each run quick; the limit logic is the same.
  options.max_pixels = 1000 * 1000;
  // The picture codec library (JPEG, PNG ...) is left out; QuickTime's video
  // codecs stay in, so that hostile image descriptions and frames reach
  // them as they would in pict2tga.
  options.use_codec_library = false;
  pict::Picture picture;
  pict::DecodeResult result = pict::DecodePict(data, size, &picture, options);
  if (result.ok()) {
    Check(picture.width > 0 && picture.height > 0, "a picture has a size");
    Check(picture.pixels.size() == static_cast<size_t>(picture.width) * picture.height * 4,
          "a picture has all its pixels");
  } else {
    Check(picture.pixels.empty() && !result.message.empty(),
          "a failure leaves no picture and says why");
  }
  CheckRows(data, size, options, result, picture);
  return 0;
}
