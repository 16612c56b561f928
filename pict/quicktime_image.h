// Decoding the image inside a CompressedQuickTime opcode: JPEG, PNG, TIFF,
// GIF and whatever else the codec library recognises from memory, BMP data
// without its file header ('WRLE'), uncompressed pixels ('raw '), and the
// video codecs of quicktime_codec.h.
#ifndef PIC2JPG_PICT_QUICKTIME_IMAGE_H_
#define PIC2JPG_PICT_QUICKTIME_IMAGE_H_

#include <FreeImage.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pict/pict_reader.h"
#include "platform/bitmap_ptr.h"

namespace pic2jpg::pict {

// The fields of QuickTime's ImageDescription the decoding needs.
struct ImageDescription {
  char codec[4] = {0, 0, 0, 0};  // 'jpeg', 'png ', 'raw ' ...
  int width = 0;
  int height = 0;
  uint32_t data_size = 0;
  int depth = 0;     // 1 to 32; 33 to 40 are greys of depth - 32 bits
  int clut_id = -1;  // 0: a colour table follows in the extensions; else the default
  // The bytes after the fixed record: a colour table, then atoms ('SMI '...).
  const uint8_t* extensions = nullptr;
  size_t extensions_size = 0;
};

// The codec name for messages: 'cvid', with bytes that are not printable
// written as \xNN.
std::string CodecName(const ImageDescription& description);

// A decoded image, 4 bytes a pixel (blue, green, red, alpha). It owns either
// a codec-library bitmap or its own bytes; rows[y] is row y from the top.
struct DecodedImage {
  int width = 0;
  int height = 0;
  BitmapPtr bitmap;
  std::vector<uint8_t> own;
  std::vector<const uint8_t*> rows;
  bool over_limit = false;  // set when decoding stopped at the pixel limit

  const uint8_t* Pixel(int x, int y) const { return rows[static_cast<size_t>(y)] + 4 * x; }
};

// Why an image did not decode.
struct ImageFailure {
  DecodeStatus status = DecodeStatus::kMalformed;
  std::string message;
};

// False when the codec is unknown or the data does not decode, or the image
// is over the pixel limit; `failure` then says which.
bool DecodeQuickTimeImage(const ImageDescription& description, const uint8_t* data, size_t size,
                          const DecodeOptions& options, DecodedImage* image, ImageFailure* failure);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_QUICKTIME_IMAGE_H_
