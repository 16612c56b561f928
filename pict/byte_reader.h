// Bounds-checked reading of big-endian picture data, and QuickDraw's small
// value types as pictures store them: rectangles and points in signed 16-bit
// picture coordinates, colours (kept at 8 bits per component).
//
// A ByteReader never reads outside its buffer: a read past the end returns 0
// and sets `failed`, which stays set, so callers may read a whole record and
// check once afterwards. The buffer is borrowed, never owned.
#ifndef PIC2JPG_PICT_BYTE_READER_H_
#define PIC2JPG_PICT_BYTE_READER_H_

#include <cstddef>
#include <cstdint>

namespace pic2jpg::pict {

struct ByteReader {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;
  bool failed = false;

  size_t Left() const { return failed || pos >= size ? 0 : size - pos; }
  bool Has(size_t n) const { return !failed && pos <= size && size - pos >= n; }
  const uint8_t* Here() const { return data + pos; }
};

inline ByteReader MakeReader(const uint8_t* data, size_t size) {
  ByteReader r;
  r.data = data;
  r.size = size;
  return r;
}

// Marks the reader failed when fewer than n bytes are left; true when they are there.
inline bool Need(ByteReader* r, size_t n) {
  if (r->Has(n)) return true;
  r->failed = true;
  return false;
}

inline bool Skip(ByteReader* r, size_t n) {
  if (!Need(r, n)) return false;
  r->pos += n;
  return true;
}

inline uint8_t ReadU8(ByteReader* r) {
  if (!Need(r, 1)) return 0;
  return r->data[r->pos++];
}

inline int8_t ReadS8(ByteReader* r) { return static_cast<int8_t>(ReadU8(r)); }

// Big-endian fields at a place the caller knows to hold them.
inline uint16_t U16At(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t U32At(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// The next big-endian field, read with `kAt`; 0 past the end.
template <typename T, T (*kAt)(const uint8_t*)>
inline T ReadField(ByteReader* r) {
  if (!Need(r, sizeof(T))) return 0;
  const T v = kAt(r->data + r->pos);
  r->pos += sizeof(T);
  return v;
}

inline uint16_t ReadU16(ByteReader* r) { return ReadField<uint16_t, U16At>(r); }
inline int16_t ReadS16(ByteReader* r) { return static_cast<int16_t>(ReadU16(r)); }
inline uint32_t ReadU32(ByteReader* r) { return ReadField<uint32_t, U32At>(r); }
inline int32_t ReadS32(ByteReader* r) { return static_cast<int32_t>(ReadU32(r)); }

// A 16.16 fixed-point number.
inline double ReadFixed(ByteReader* r) { return ReadS32(r) / 65536.0; }

// A reader over the next n bytes, which the outer reader skips; an empty,
// failed reader when they are not there.
inline ByteReader SubReader(ByteReader* r, size_t n) {
  ByteReader sub;
  if (!Need(r, n)) {
    sub.failed = true;
    return sub;
  }
  sub = MakeReader(r->data + r->pos, n);
  r->pos += n;
  return sub;
}

struct QdRect {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const QdRect&) const = default;
};

struct QdPoint {
  int v = 0;
  int h = 0;
  bool operator==(const QdPoint&) const = default;
};

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// Rect: top, left, bottom, right.
inline QdRect ReadRect(ByteReader* r) {
  QdRect rect;
  rect.top = ReadS16(r);
  rect.left = ReadS16(r);
  rect.bottom = ReadS16(r);
  rect.right = ReadS16(r);
  return rect;
}

// Point: vertical, then horizontal.
inline QdPoint ReadPoint(ByteReader* r) {
  QdPoint p;
  p.v = ReadS16(r);
  p.h = ReadS16(r);
  return p;
}

// RGBColor: three 16-bit components; the high byte is what 8 bits can keep.
inline Rgb ReadRgb(ByteReader* r) {
  Rgb c;
  c.r = static_cast<uint8_t>(ReadU16(r) >> 8);
  c.g = static_cast<uint8_t>(ReadU16(r) >> 8);
  c.b = static_cast<uint8_t>(ReadU16(r) >> 8);
  return c;
}

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_BYTE_READER_H_
