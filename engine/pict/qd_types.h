// QuickDraw's small value types as pictures store them: rectangles and points
// in signed 16-bit picture coordinates, colours in 8 bits per component.
#ifndef PIC2JPG_ENGINE_PICT_QD_TYPES_H_
#define PIC2JPG_ENGINE_PICT_QD_TYPES_H_

#include <cstdint>

#include "engine/pict/byte_reader.h"

namespace pic2jpg::pict {

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

#endif  // PIC2JPG_ENGINE_PICT_QD_TYPES_H_
