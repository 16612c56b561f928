// The Targa files our converter writes (`pict2tga INPUT OUTPUT.tga`), which
// the engine and the gdk-pixbuf loader read back as they lie:
//
//   an 18-byte header with no image id and no colour map; uncompressed true
//   colour of 24 bits a pixel (blue, green, red), or 32 with 8 alpha bits, or
//   uncompressed 8-bit grey; rows bottom first, pixels left to right (origin
//   bits 0), which is also the codec library's order in memory;
//   then the pixels, without padding.
//
// Writer and readers share these two functions, so that what one writes the
// others take.
#ifndef PIC2JPG_PLATFORM_TARGA_FORM_H_
#define PIC2JPG_PLATFORM_TARGA_FORM_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pic2jpg {

inline constexpr size_t kTargaHeaderSize = 18;
// The header holds each side in 16 bits.
inline constexpr int kTargaMaxSide = 65535;

struct TargaForm {
  int depth = 0;  // 8 (grey), 24, or 32 (with alpha)
  int width = 0;  // 1 to kTargaMaxSide, as are the rows
  int height = 0;
};

// The bytes of the pixels that follow the header.
inline size_t TargaPixelBytes(const TargaForm& form) {
  return static_cast<size_t>(form.width) * static_cast<size_t>(form.height) *
         static_cast<size_t>(form.depth / 8);
}

inline void PutTargaHeader(const TargaForm& form, uint8_t* out) {
  std::memset(out, 0, kTargaHeaderSize);
  out[2] = form.depth == 8 ? 3 : 2;  // grey, or true colour
  out[12] = static_cast<uint8_t>(form.width & 0xFF);
  out[13] = static_cast<uint8_t>((form.width >> 8) & 0xFF);
  out[14] = static_cast<uint8_t>(form.height & 0xFF);
  out[15] = static_cast<uint8_t>((form.height >> 8) & 0xFF);
  out[16] = static_cast<uint8_t>(form.depth);
  out[17] = form.depth == 32 ? 8 : 0;  // the alpha bits; origin bottom left
}

// False when the `size` bytes at `data` do not start with the header of a
// Targa of that form (a short file, another kind of Targa, a side of 0).
// Whether the pixels are all there is the caller's to check.
inline bool ReadTargaHeader(const uint8_t* data, size_t size, TargaForm* form) {
  if (size < kTargaHeaderSize || data[0] != 0 || data[1] != 0) return false;
  const int depth = data[16];
  const int descriptor = data[17];  // alpha bits, then the two origin bits
  const bool grey = data[2] == 3 && depth == 8 && descriptor == 0;
  const bool colour =
      data[2] == 2 && ((depth == 24 && descriptor == 0) || (depth == 32 && descriptor == 8));
  const int width = data[12] | (data[13] << 8);
  const int height = data[14] | (data[15] << 8);
  if (!(grey || colour) || width == 0 || height == 0) return false;
  *form = TargaForm{depth, width, height};
  return true;
}

}  // namespace pic2jpg

#endif  // PIC2JPG_PLATFORM_TARGA_FORM_H_
