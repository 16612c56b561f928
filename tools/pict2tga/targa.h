// Writing a decoded picture as an uncompressed Targa file: 24 bits a pixel,
// or 32 with alpha when the picture has transparency; rows bottom first,
// which is what the header's origin bits (bottom left) announce.
#ifndef PIC2JPG_TOOLS_PICT2TGA_TARGA_H_
#define PIC2JPG_TOOLS_PICT2TGA_TARGA_H_

#include <cstdint>
#include <vector>

#include "engine/pict/pict_reader.h"

namespace pic2jpg {

inline constexpr int kTargaHeaderSize = 18;

// Turns the picture's pixel buffer into the bytes of a Targa file without a
// second picture-sized buffer, taking the buffer out of the picture. Empty
// when the picture cannot be a Targa (no pixels, a side over 65535).
std::vector<uint8_t> TakeTargaFile(pict::Picture* picture);

}  // namespace pic2jpg

#endif  // PIC2JPG_TOOLS_PICT2TGA_TARGA_H_
