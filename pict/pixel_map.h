// Pixel images inside pictures: the BitMap and PixMap records, colour tables,
// and the rows of pixel data that follow them (unpacked, PackBits by bytes
// or by 16-bit pixels, 32-bit pixels without their pad byte, or components
// packed as separate planes), turned into colours one row at a time so that
// no picture-sized buffer is ever needed.
#ifndef PIC2JPG_PICT_PIXEL_MAP_H_
#define PIC2JPG_PICT_PIXEL_MAP_H_

#include <cstdint>
#include <vector>

#include "pict/byte_reader.h"

namespace pic2jpg::pict {

// PackBits, the run-length coding of QuickDraw's packed rows: a flag byte n
// of 0..127 copies the next n + 1 units, -1..-127 repeats the next unit
// 1 - n times, -128 does nothing. A unit is one byte, or two bytes for the
// 16-bit pixels of pack type 3.
// Unpacks `in` into exactly `out_size` bytes of `out`: output past
// out_size is dropped, and output the data does not reach is zero.
// Returns the number of bytes the data described (before dropping).
size_t UnpackBits(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size, int unit_bytes);

// Packs `in` with byte units; for tests and for writing pictures.
size_t PackBitsBound(size_t in_size);
size_t PackBits(const uint8_t* in, size_t in_size, uint8_t* out);

struct PixMapInfo {
  bool is_pixmap = false;  // a colour PixMap rather than a one-bit BitMap
  int row_bytes = 0;
  QdRect bounds;
  int pack_type = 0;
  int pixel_size = 1;
  int cmp_count = 1;
  int cmp_size = 1;
  double h_res = 72;
  double v_res = 72;
  std::vector<Rgb> palette;  // 2^pixel_size entries for indexed pixels
  // Rows under 8 bytes are stored unpacked; some writers pack them anyway
  // (the bits opcode finds out, see NarrowRowsPacked).
  bool narrow_rows_packed = false;
  // Entries of the colour table an indexed PixMap stores (0 without one).
  int table_entries = 0;

  int Width() const { return bounds.Width(); }
  int Height() const { return bounds.Height(); }
  bool Indexed() const { return !is_pixmap || pixel_size <= 8; }
};

// Reads the record of a bits opcode up to the source rectangle: for
// DirectBits the base address and a PixMap; otherwise rowBytes and either a
// BitMap's bounds or a PixMap and its colour table. False when the data ends
// or the values are impossible.
bool ReadPixMapHeader(ByteReader* in, bool direct, PixMapInfo* info);
// Reads a PixMap record after its rowBytes field (as in PixPats).
bool ReadPixMapBody(ByteReader* in, PixMapInfo* info);
// Reads a colour table into a palette of 2^pixel_size entries; `entries`,
// when given, takes the number of entries the table holds (for a table that
// lists index values, one more than the largest).
bool ReadColorTable(ByteReader* in, int pixel_size, std::vector<Rgb>* palette,
                    int* entries = nullptr);

// A row of decoded pixels: palette indices for indexed images, colours
// otherwise, each packed as the canvas keeps them (see PackPixel).
struct PixelRow {
  std::vector<uint8_t> index;
  std::vector<uint32_t> colour;
  // Colours as 3 bytes, blue, green, red, in `bgr` instead of `colour`.
  bool three_bytes = false;
  std::vector<uint8_t> bgr;
};

// A colour as the 4 bytes blue, green, red, alpha (255) in memory.
inline uint32_t PackPixel(uint8_t r, uint8_t g, uint8_t b) {
  uint32_t v;
  const uint8_t bytes[4] = {b, g, r, 255};
  __builtin_memcpy(&v, bytes, 4);
  return v;
}
inline uint32_t PackPixel(Rgb c) { return PackPixel(c.r, c.g, c.b); }
// A 5-bit component of a 16-bit pixel in 8 bits: its high bits repeat in the
// low ones, so that 31 becomes 255.
inline uint8_t Expand5(int v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }
// A 16-bit pixel at `p`: a spare bit, then 5 bits each of red, green, blue.
inline Rgb Pixel555At(const uint8_t* p) {
  const int v = U16At(p);
  return Rgb{Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31)};
}
inline Rgb UnpackPixel(uint32_t v) {
  uint8_t bytes[4];
  __builtin_memcpy(bytes, &v, 4);
  return Rgb{bytes[2], bytes[1], bytes[0]};
}

// Reads rows in order from the pixel data after the record.
struct RowReader {
  ByteReader* in = nullptr;
  const PixMapInfo* info = nullptr;
  bool packed = false;  // always false for the unpacked BitsRect opcodes
  int count_bytes = 1;  // the size of each packed row's byte count
  int rows_read = 0;
  std::vector<uint8_t> packed_row;
  std::vector<uint8_t> raw;
};

// Bytes that PackBits data describes, from its flag bytes alone.
size_t UnpackedLength(const uint8_t* in, size_t in_size, int unit_bytes);

// True when the image's rows, read from `in` as packed rows with one-byte
// counts, each unpack to the row's length; `end` is then where they end.
bool PackedRowsAddUp(const ByteReader& in, const PixMapInfo& info, ByteReader* end);

// Prepares reading; false when the data left cannot hold the rows. Packed
// rows carry a one-byte count up to rowBytes 250 and a word above; some
// writers switch at other widths (a word from 200 bytes up, or a byte for
// 32-bit rows whose packed planes stay under 250), so when the documented
// counts do not add up to rows of the right length and the other size
// does, the other is read.
bool StartRows(RowReader* rows, ByteReader* in, const PixMapInfo* info, bool packed);
// Reads the next row; with `row` null the row is only stepped over.
bool NextRow(RowReader* rows, PixelRow* row);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_PIXEL_MAP_H_
