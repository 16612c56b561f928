// PackBits, the run-length coding of QuickDraw's packed rows: a flag byte n
// of 0..127 copies the next n + 1 units, -1..-127 repeats the next unit
// 1 - n times, -128 does nothing. A unit is one byte, or two bytes for the
// 16-bit pixels of pack type 3.
#ifndef PIC2JPG_ENGINE_PICT_PACKBITS_H_
#define PIC2JPG_ENGINE_PICT_PACKBITS_H_

#include <cstddef>
#include <cstdint>

namespace pic2jpg::pict {

// Unpacks `in` into exactly `out_size` bytes of `out`: output past
// out_size is dropped, and output the data does not reach is zero.
// Returns the number of bytes the data described (before dropping).
size_t UnpackBits(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size,
                  int unit_bytes);

// Packs `in` with byte units; for tests and for writing pictures.
size_t PackBitsBound(size_t in_size);
size_t PackBits(const uint8_t* in, size_t in_size, uint8_t* out);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_ENGINE_PICT_PACKBITS_H_
