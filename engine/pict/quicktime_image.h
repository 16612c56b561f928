// Decoding the image inside a CompressedQuickTime opcode: JPEG, PNG, TIFF,
// GIF and whatever else the codec library recognises from memory, BMP data
// without its file header ('WRLE'), and uncompressed pixels ('raw ').
#ifndef PIC2JPG_ENGINE_PICT_QUICKTIME_IMAGE_H_
#define PIC2JPG_ENGINE_PICT_QUICKTIME_IMAGE_H_

#include <FreeImage.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/pict/pict_reader.h"

namespace pic2jpg::pict {

// The fields of QuickTime's ImageDescription the decoding needs.
struct ImageDescription {
  char codec[4] = {0, 0, 0, 0};  // 'jpeg', 'png ', 'raw ' ...
  int width = 0;
  int height = 0;
  uint32_t data_size = 0;
  int depth = 0;
};

struct BitmapDeleter {
  void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};

// A decoded image, 4 bytes a pixel (blue, green, red, alpha). It owns either
// a codec-library bitmap or its own bytes; rows[y] is row y from the top.
struct DecodedImage {
  int width = 0;
  int height = 0;
  std::unique_ptr<FIBITMAP, BitmapDeleter> bitmap;
  std::vector<uint8_t> own;
  std::vector<const uint8_t*> rows;

  const uint8_t* Pixel(int x, int y) const { return rows[static_cast<size_t>(y)] + 4 * x; }
};

// False when the codec is unknown or the data does not decode, or the image
// is over the pixel limit.
bool DecodeQuickTimeImage(const ImageDescription& description, const uint8_t* data, size_t size,
                          const DecodeOptions& options, DecodedImage* image);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_ENGINE_PICT_QUICKTIME_IMAGE_H_
