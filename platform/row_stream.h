// The pixel rows a converter streams to the engine over a pipe
// (`pict2tga --rows INPUT`), so that a picture reaches the encoder without a
// file written whole and read back:
//
//   a 16-byte header: the four bytes "PJR1", then width, height and the
//   picture's own depth (24, 32 with transparency, 8 for grey) as
//   little-endian 32-bit numbers;
//   then `height` rows, top row first, each `width` pixels without padding:
//   one byte of grey for depth 8, else blue, green, red (alpha is dropped:
//   the colours already hold the picture drawn onto white).
//
// A stream is whole only when every row came and the converter ended well.
#ifndef PIC2JPG_PLATFORM_ROW_STREAM_H_
#define PIC2JPG_PLATFORM_ROW_STREAM_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pic2jpg {

inline constexpr size_t kRowStreamHeaderSize = 16;
inline constexpr char kRowStreamMagic[4] = {'P', 'J', 'R', '1'};

struct RowStreamHeader {
  int width = 0;
  int height = 0;
  int depth = 0;  // 8, 24 or 32
};

// Bytes a pixel takes in the stream.
inline int RowStreamChannels(const RowStreamHeader& header) { return header.depth == 8 ? 1 : 3; }

inline void PutRowStreamHeader(const RowStreamHeader& header, uint8_t* out) {
  std::memcpy(out, kRowStreamMagic, 4);
  const int values[3] = {header.width, header.height, header.depth};
  for (int i = 0; i < 3; ++i) {
    const auto v = static_cast<uint32_t>(values[i]);
    for (int b = 0; b < 4; ++b) out[4 + 4 * i + b] = static_cast<uint8_t>(v >> (8 * b));
  }
}

// False for anything but a header of a picture of at least one pixel with
// sides of at most 65535 and one of the three depths.
inline bool ReadRowStreamHeader(const uint8_t* in, RowStreamHeader* header) {
  if (std::memcmp(in, kRowStreamMagic, 4) != 0) return false;
  uint32_t values[3];
  for (int i = 0; i < 3; ++i) {
    values[i] = 0;
    for (int b = 0; b < 4; ++b) values[i] |= static_cast<uint32_t>(in[4 + 4 * i + b]) << (8 * b);
  }
  if (values[0] < 1 || values[0] > 65535 || values[1] < 1 || values[1] > 65535) return false;
  if (values[2] != 8 && values[2] != 24 && values[2] != 32) return false;
  header->width = static_cast<int>(values[0]);
  header->height = static_cast<int>(values[1]);
  header->depth = static_cast<int>(values[2]);
  return true;
}

}  // namespace pic2jpg

#endif  // PIC2JPG_PLATFORM_ROW_STREAM_H_
