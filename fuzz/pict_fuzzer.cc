// The PICT reader on arbitrary bytes: it must decode or fail cleanly, never
// fault, leak or run into undefined behaviour, and a success must hand over
// a whole picture.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "pict/pict_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pic2jpg::pict::DecodeOptions options;
  // Small pictures keep each run quick; the limit logic is the same.
  options.max_pixels = 1000 * 1000;
  // The picture codec library (JPEG, PNG ...) is left out; QuickTime's video
  // codecs stay in, so that hostile image descriptions and frames reach
  // them as they would in pict2tga.
  options.use_codec_library = false;
  pic2jpg::pict::Picture picture;
  pic2jpg::pict::DecodeResult result = pic2jpg::pict::DecodePict(data, size, &picture, options);
  if (result.ok()) {
    pic2jpg::fuzz::Check(picture.width > 0 && picture.height > 0, "a picture has a size");
    pic2jpg::fuzz::Check(
        picture.pixels.size() == static_cast<size_t>(picture.width) * picture.height * 4,
        "a picture has all its pixels");
  } else {
    pic2jpg::fuzz::Check(picture.pixels.empty() && !result.message.empty(),
                         "a failure leaves no picture and says why");
  }
  return 0;
}
