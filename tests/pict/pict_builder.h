// Writing small PICT pictures for the reader's tests: a header (with or
// without preamble, version 1 or 2, extended or not), opcodes with their
// data, and pixel images in every packing the format knows.
#ifndef PIC2JPG_TESTS_PICT_PICT_BUILDER_H_
#define PIC2JPG_TESTS_PICT_PICT_BUILDER_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "pict/canvas.h"
#include "pict/pict_reader.h"
#include "pict/pixel_map.h"

namespace pic2jpg::pict::test_util {

struct PictBuilder {
  std::vector<uint8_t> bytes;
  size_t start = 0;
  int version = 2;

  void U8(int v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void U16(int v) {
    U8(v >> 8);
    U8(v);
  }
  void U32(uint32_t v) {
    U16(static_cast<int>(v >> 16));
    U16(static_cast<int>(v & 0xFFFF));
  }
  void Rect(int top, int left, int bottom, int right) {
    U16(top);
    U16(left);
    U16(bottom);
    U16(right);
  }
  void Rect(const QdRect& r) { Rect(r.top, r.left, r.bottom, r.right); }
  void Data(const std::vector<uint8_t>& data) {
    bytes.insert(bytes.end(), data.begin(), data.end());
  }
  void Op(int op) {
    if (version == 2) {
      if ((bytes.size() - start) & 1) U8(0);
      U16(op);
    } else {
      U8(op);
    }
  }
  std::vector<uint8_t> Finish() {
    Op(0xFF);
    return bytes;
  }
};

struct HeaderSpec {
  HeaderSpec(QdRect frame_ = QdRect{0, 0, 8, 8}, int version_ = 2, bool preamble_ = true,
             bool extended_ = false, double resolution_ = 72, QdRect source_ = QdRect{})
      : frame(frame_),
        version(version_),
        preamble(preamble_),
        extended(extended_),
        resolution(resolution_),
        source(source_) {}
  QdRect frame;
  int version;
  bool preamble;
  bool extended;
  double resolution;
  QdRect source;  // for the extended header
};

inline PictBuilder StartPicture(const HeaderSpec& request = {}) {
  PictBuilder b;
  b.version = request.version;
  if (request.preamble) b.bytes.assign(512, 0);
  b.start = b.bytes.size();
  b.U16(0);  // picSize
  b.Rect(request.frame);
  if (request.version == 1) {
    b.U8(0x11);
    b.U8(0x01);
    return b;
  }
  b.U16(0x0011);
  b.U16(0x02FF);
  b.U16(0x0C00);
  if (request.extended) {
    b.U16(0xFFFE);
    b.U16(0);
    b.U32(static_cast<uint32_t>(request.resolution * 65536));
    b.U32(static_cast<uint32_t>(request.resolution * 65536));
    b.Rect(request.source);
    b.U32(0);
  } else {
    b.U16(0xFFFF);
    b.U16(0xFFFF);
    b.U32(static_cast<uint32_t>(request.frame.left) << 16);
    b.U32(static_cast<uint32_t>(request.frame.top) << 16);
    b.U32(static_cast<uint32_t>(request.frame.right) << 16);
    b.U32(static_cast<uint32_t>(request.frame.bottom) << 16);
    b.U32(0);
  }
  return b;
}

// The start of a one-bit BitsRect (0x90) or PackBitsRect (0x98) copied in
// srcCopy mode: rowBytes, the bitmap's bounds, the source and the destination
// rectangle. The rows follow.
inline void BitMapStart(PictBuilder* b, int op, int row_bytes, const QdRect& bounds,
                        const QdRect& src, const QdRect& dst) {
  b->Op(op);
  b->U16(row_bytes);
  b->Rect(bounds);
  b->Rect(src);
  b->Rect(dst);
  b->U16(0);
}
// The same, drawn one to one where its bounds lie.
inline void BitMapStart(PictBuilder* b, int op, int row_bytes, const QdRect& bounds) {
  BitMapStart(b, op, row_bytes, bounds, bounds, bounds);
}

// A row written the way a packed opcode stores it: a byte count (a word
// when rowBytes is over 250) and the PackBits data.
inline void PackedRow(PictBuilder* b, const std::vector<uint8_t>& row, int row_bytes) {
  std::vector<uint8_t> packed(PackBitsBound(row.size()));
  packed.resize(PackBits(row.data(), row.size(), packed.data()));
  if (row_bytes > 250) {
    b->U16(static_cast<int>(packed.size()));
  } else {
    b->U8(static_cast<int>(packed.size()));
  }
  b->Data(packed);
}

// PackBits over 16-bit units: runs of equal pixels repeat, the rest are literals.
inline std::vector<uint8_t> PackWords(const std::vector<uint16_t>& words) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < words.size()) {
    size_t run = 1;
    while (i + run < words.size() && run < 128 && words[i + run] == words[i]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(1 - static_cast<int>(run)));
      out.push_back(static_cast<uint8_t>(words[i] >> 8));
      out.push_back(static_cast<uint8_t>(words[i]));
      i += run;
      continue;
    }
    size_t n = 1;
    while (i + n < words.size() && n < 128 && words[i + n] != words[i + n - 1]) ++n;
    out.push_back(static_cast<uint8_t>(n - 1));
    for (size_t k = 0; k < n; ++k) {
      out.push_back(static_cast<uint8_t>(words[i + k] >> 8));
      out.push_back(static_cast<uint8_t>(words[i + k]));
    }
    i += n;
  }
  return out;
}

// The PixMap record after rowBytes (bounds, version, packing, resolution,
// pixel format, reserved fields).
inline void PixMapBody(PictBuilder* b, const QdRect& bounds, int pack_type, int pixel_size,
                       int cmp_count, int cmp_size, double resolution = 72) {
  b->Rect(bounds);
  b->U16(0);  // pmVersion
  b->U16(pack_type);
  b->U32(0);  // packSize
  b->U32(static_cast<uint32_t>(resolution * 65536));
  b->U32(static_cast<uint32_t>(resolution * 65536));
  b->U16(pixel_size <= 8 ? 0 : 16);  // pixelType: indexed or direct
  b->U16(pixel_size);
  b->U16(cmp_count);
  b->U16(cmp_size);
  b->U32(0);  // planeBytes
  b->U32(0);  // pmTable
  b->U32(0);  // pmReserved
}

// A width x height picture of one unpacked 32-bit DirectBitsRect, each
// pixel the 0xRRGGBB that `colour_at(x, y)` gives.
template <typename ColourAt>
std::vector<uint8_t> DirectPicture(int width, int height, ColourAt colour_at) {
  PictBuilder b = StartPicture({QdRect{0, 0, height, width}});
  b.Op(0x9A);
  b.U32(0xFF);
  b.U16(static_cast<uint16_t>((width * 4) | 0x8000));
  PixMapBody(&b, {0, 0, height, width}, 1, 32, 3, 8);
  b.Rect(0, 0, height, width);
  b.Rect(0, 0, height, width);
  b.U16(0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int c = colour_at(x, y);
      b.U8(0);
      b.U8(static_cast<uint8_t>(c >> 16));
      b.U8(static_cast<uint8_t>(c >> 8));
      b.U8(static_cast<uint8_t>(c));
    }
  }
  return b.Finish();
}

inline void ColorTable(PictBuilder* b, const std::vector<Rgb>& palette) {
  b->U32(0);       // seed
  b->U16(0x8000);  // device table: entries in order
  b->U16(static_cast<int>(palette.size()) - 1);
  for (size_t i = 0; i < palette.size(); ++i) {
    b->U16(static_cast<int>(i));
    b->U16(palette[i].r * 257);
    b->U16(palette[i].g * 257);
    b->U16(palette[i].b * 257);
  }
}

// A CompressedQuickTime opcode: an identity-like matrix with the scale and
// translation given, the source rectangle, and an ImageDescription.
struct QuickTimeSpec {
  const char* codec = "raw ";
  int width = 0;
  int height = 0;
  int depth = 32;
  double scale = 1;
  double tx = 0;
  double ty = 0;
  std::vector<uint8_t> data;
  std::vector<uint8_t> mask_region;  // a whole region record, or empty
};

inline void CompressedQuickTime(PictBuilder* b, const QuickTimeSpec& q) {
  PictBuilder body;
  body.U16(0);  // version
  auto fixed = [&](double v) { body.U32(static_cast<uint32_t>(static_cast<int32_t>(v * 65536))); };
  fixed(q.scale);
  fixed(0);
  body.U32(0);
  fixed(0);
  fixed(q.scale);
  body.U32(0);
  fixed(q.tx);
  fixed(q.ty);
  body.U32(0x40000000);
  body.U32(0);  // matte size
  body.Rect(0, 0, 0, 0);
  body.U16(0);  // mode
  body.Rect(0, 0, q.height, q.width);
  body.U32(0x300);  // accuracy
  body.U32(static_cast<uint32_t>(q.mask_region.size()));
  body.Data(q.mask_region);
  body.U32(86);  // ImageDescription
  for (int i = 0; i < 4; ++i) body.U8(q.codec[i]);
  body.Data(std::vector<uint8_t>(24, 0));
  body.U16(q.width);
  body.U16(q.height);
  body.U32(72 << 16);
  body.U32(72 << 16);
  body.U32(static_cast<uint32_t>(q.data.size()));
  body.U16(1);
  body.Data(std::vector<uint8_t>(32, 0));
  body.U16(q.depth);
  body.U16(0xFFFF);
  body.Data(q.data);
  b->Op(0x8200);
  b->U32(static_cast<uint32_t>(body.bytes.size()));
  b->Data(body.bytes);
}

inline Rgb PixelOf(const Picture& picture, int x, int y) {
  const uint8_t* p = picture.pixels.data() + (static_cast<size_t>(y) * picture.width + x) * 4;
  return Rgb{p[2], p[1], p[0]};
}

inline uint8_t AlphaOf(const Picture& picture, int x, int y) {
  return picture.pixels[(static_cast<size_t>(y) * picture.width + x) * 4 + 3];
}

inline std::string ToString(Rgb c) {
  char text[16];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", c.r, c.g, c.b);
  return text;
}

inline DecodeResult Decode(const std::vector<uint8_t>& data, Picture* picture,
                           const DecodeOptions& options = {}) {
  return DecodePict(data.data(), data.size(), picture, options);
}

}  // namespace pic2jpg::pict::test_util

#endif  // PIC2JPG_TESTS_PICT_PICT_BUILDER_H_
