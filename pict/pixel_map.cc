#include "pict/pixel_map.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define PIC2JPG_BYTE_SHUFFLE 1
#endif

namespace pic2jpg::pict {
namespace {

constexpr int kRowBytesMask = 0x3FFF;
constexpr int kPixMapFlag = 0x8000;

bool ValidPixelSize(int size) {
  return size == 1 || size == 2 || size == 4 || size == 8 || size == 16 || size == 24 || size == 32;
}

void DefaultPalette(int pixel_size, std::vector<Rgb>* palette) {
  int entries = pixel_size <= 8 ? 1 << pixel_size : 0;
  palette->assign(static_cast<size_t>(entries), kBlack);
  if (entries == 2) (*palette)[0] = kWhite;
  if (entries > 2) {
    // Without a table: a grey ramp from white (0) to black (last).
    for (int i = 0; i < entries; ++i) {
      uint8_t v = static_cast<uint8_t>(255 - i * 255 / (entries - 1));
      (*palette)[static_cast<size_t>(i)] = Rgb{v, v, v};
    }
  }
}

// How a 32-bit direct row lies once unpacked: as stored (a pad byte, then
// red, green and blue for each pixel), three bytes a pixel (pack type 2
// drops the pad byte), or one plane a component (packed rows of the other
// pack types). Other rows lie as stored.
enum class RowShape { kAsStored, kThreeBytes, kPlanes };

RowShape ShapeOf(const PixMapInfo& info, bool packed) {
  if (!info.is_pixmap || info.pixel_size != 32) return RowShape::kAsStored;
  if (info.pack_type == 2 && info.row_bytes >= 8) return RowShape::kThreeBytes;
  if (packed && info.pack_type != 1) return RowShape::kPlanes;
  return RowShape::kAsStored;
}

// Bytes of one unpacked row: `as_stored` unless the row is reshaped.
size_t UnpackedRowSize(const PixMapInfo& info, bool packed, size_t as_stored) {
  const auto width = static_cast<size_t>(info.Width());
  switch (ShapeOf(info, packed)) {
    case RowShape::kThreeBytes:
      return width * 3;
    case RowShape::kPlanes:
      return width * static_cast<size_t>(info.cmp_count);
    case RowShape::kAsStored:
      break;
  }
  return as_stored;
}

// Bytes of one row after unpacking, and the least the decoder reads from it.
size_t RawRowSize(const PixMapInfo& info, bool packed) {
  return UnpackedRowSize(info, packed, static_cast<size_t>(info.row_bytes));
}
size_t NeededRowSize(const PixMapInfo& info, bool packed) {
  const auto width = static_cast<size_t>(info.Width());
  return UnpackedRowSize(info, packed, (width * static_cast<size_t>(info.pixel_size) + 7) / 8);
}

// A direct-colour row in planes: alpha (when there are four components),
// red, green, blue, each a byte for every pixel.
bool IsPlanar(const PixMapInfo& info, bool packed) {
  return ShapeOf(info, packed) == RowShape::kPlanes;
}
const uint8_t* PlaneOfRed(const PixMapInfo& info, const uint8_t* raw) {
  return raw + (info.cmp_count == 4 ? static_cast<size_t>(info.Width()) : 0);
}

// Hands each pixel of a direct-colour row to put(x, red, green, blue).
template <typename Put>
void DecodeColours(const PixMapInfo& info, bool packed, const uint8_t* raw, Put put) {
  const auto width = static_cast<size_t>(info.Width());
  if (info.pixel_size == 16) {
    for (size_t x = 0; x < width; ++x) {
      const Rgb c = Pixel555At(raw + 2 * x);
      put(x, c.r, c.g, c.b);
    }
    return;
  }
  if (info.pixel_size == 24 || ShapeOf(info, packed) == RowShape::kThreeBytes) {
    // Three bytes a pixel: 24-bit rows, or 32-bit pixels without their pad byte.
    for (size_t x = 0; x < width; ++x) put(x, raw[3 * x], raw[3 * x + 1], raw[3 * x + 2]);
    return;
  }
  if (IsPlanar(info, packed)) {
    const uint8_t* red = PlaneOfRed(info, raw);
    const uint8_t* green = red + width;
    const uint8_t* blue = green + width;
    for (size_t x = 0; x < width; ++x) put(x, red[x], green[x], blue[x]);
    return;
  }
  for (size_t x = 0; x < width; ++x) put(x, raw[4 * x + 1], raw[4 * x + 2], raw[4 * x + 3]);
}

// Pixels of three planes as blue, green, red, one byte each.
void PlanesToBgrBytes(const uint8_t* red, const uint8_t* green, const uint8_t* blue, size_t width,
                      uint8_t* out) {
  for (size_t x = 0; x < width; ++x, out += 3) {
    out[0] = blue[x];
    out[1] = green[x];
    out[2] = red[x];
  }
}

#ifdef PIC2JPG_BYTE_SHUFFLE
// For each 16 output bytes k of 16 pixels (48 bytes) and each plane c
// (blue, green, red), the plane byte that lands at each place, or 0x80
// (none): output byte j takes plane j % 3 at pixel j / 3.
using ShuffleMasks = std::array<std::array<std::array<uint8_t, 16>, 3>, 3>;
constexpr ShuffleMasks MakeShuffleMasks() {
  ShuffleMasks masks{};
  for (int k = 0; k < 3; ++k) {
    for (int c = 0; c < 3; ++c) {
      for (int i = 0; i < 16; ++i) {
        const int j = 16 * k + i;
        masks[k][c][i] = static_cast<uint8_t>(j % 3 == c ? j / 3 : 0x80);
      }
    }
  }
  return masks;
}
constexpr ShuffleMasks kShuffleMasks = MakeShuffleMasks();

// The same, 16 pixels at a time with the byte shuffle of SSSE3 (which every
// x86-64 processor since 2006 has; the caller checks).
__attribute__((target("ssse3"))) void PlanesToBgrShuffled(const uint8_t* red, const uint8_t* green,
                                                          const uint8_t* blue, size_t width,
                                                          uint8_t* out) {
  auto load = [](const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
  size_t x = 0;
  for (; x + 16 <= width; x += 16, out += 48) {
    const __m128i planes[3] = {load(blue + x), load(green + x), load(red + x)};
    for (int k = 0; k < 3; ++k) {
      __m128i bytes = _mm_setzero_si128();
      for (int c = 0; c < 3; ++c) {
        bytes = _mm_or_si128(bytes, _mm_shuffle_epi8(planes[c], load(kShuffleMasks[k][c].data())));
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * k), bytes);
    }
  }
  PlanesToBgrBytes(red + x, green + x, blue + x, width - x, out);
}
#endif

// The planes of a packed 32-bit row as blue, green, red: most large pictures
// are such rows, and a byte at a time this is most of their decoding.
void PlanesToBgr(const uint8_t* red, const uint8_t* green, const uint8_t* blue, size_t width,
                 uint8_t* out) {
#ifdef PIC2JPG_BYTE_SHUFFLE
  static const bool kShuffle = __builtin_cpu_supports("ssse3");
  if (kShuffle) {
    PlanesToBgrShuffled(red, green, blue, width, out);
    return;
  }
#endif
  PlanesToBgrBytes(red, green, blue, width, out);
}

void DecodeRow(const PixMapInfo& info, bool packed, const uint8_t* raw, PixelRow* row) {
  int width = info.Width();
  if (info.Indexed()) {
    row->index.resize(static_cast<size_t>(width));
    int size = info.is_pixmap ? info.pixel_size : 1;
    if (size == 8) {
      std::memcpy(row->index.data(), raw, static_cast<size_t>(width));
      return;
    }
    // Pixels lie high bits first; size divides 8, so no pixel spans two bytes.
    int mask = (1 << size) - 1;
    for (int x = 0, bit = 0; x < width; ++x, bit += size) {
      int shift = 8 - size - (bit & 7);
      row->index[static_cast<size_t>(x)] = static_cast<uint8_t>((raw[bit >> 3] >> shift) & mask);
    }
    return;
  }
  if (row->three_bytes) {
    row->bgr.resize(3 * static_cast<size_t>(width));
    uint8_t* out = row->bgr.data();
    if (IsPlanar(info, packed)) {
      const uint8_t* red = PlaneOfRed(info, raw);
      const auto plane = static_cast<size_t>(width);
      PlanesToBgr(red, red + plane, red + 2 * plane, plane, out);
      return;
    }
    DecodeColours(info, packed, raw, [out](size_t x, uint8_t r, uint8_t g, uint8_t b) {
      out[3 * x] = b;
      out[3 * x + 1] = g;
      out[3 * x + 2] = r;
    });
    return;
  }
  row->colour.resize(static_cast<size_t>(width));
  uint32_t* out = row->colour.data();
  DecodeColours(info, packed, raw,
                [out](size_t x, uint8_t r, uint8_t g, uint8_t b) { out[x] = PackPixel(r, g, b); });
}

// True when `height` packed rows with counts of `count_bytes` each lie in the
// data and unpack to between `least` and `most` bytes.
bool RowsAddUp(const ByteReader& start, int height, int count_bytes, int unit, size_t least,
               size_t most) {
  ByteReader in = start;
  for (int y = 0; y < height; ++y) {
    size_t count = count_bytes == 2 ? ReadU16(&in) : ReadU8(&in);
    if (!in.Has(count)) return false;
    size_t length = UnpackedLength(in.Here(), count, unit);
    if (length < least || length > most) return false;
    in.pos += count;
  }
  return !in.failed;
}

}  // namespace

size_t UnpackedLength(const uint8_t* in, size_t in_size, int unit_bytes) {
  const size_t unit = unit_bytes == 2 ? 2 : 1;
  size_t i = 0;
  size_t o = 0;
  while (i < in_size) {
    int flag = static_cast<int8_t>(in[i++]);
    if (flag == -128) continue;
    if (flag >= 0) {
      size_t count = (static_cast<size_t>(flag) + 1) * unit;
      i += std::min(count, in_size - i);
      o += count;
    } else {
      if (in_size - i < unit) break;
      o += static_cast<size_t>(1 - flag) * unit;
      i += unit;
    }
  }
  return o;
}

size_t UnpackBits(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size,
                  int unit_bytes) {
  const size_t unit = unit_bytes == 2 ? 2 : 1;
  size_t i = 0;
  size_t o = 0;
  while (i < in_size) {
    int flag = static_cast<int8_t>(in[i++]);
    // Short runs, the most common kind in noisy pictures, are copied or set
    // 16 bytes at a time where both buffers have the room; the bytes past
    // the run are overwritten by the runs after it.
    constexpr int kBlock = 16;
    if (unit == 1 && flag < kBlock && flag > -kBlock && in_size - i >= kBlock &&
        out_size - std::min(o, out_size) >= kBlock) {
      if (flag >= 0) {
        std::memcpy(out + o, in + i, kBlock);
        i += static_cast<size_t>(flag) + 1;
        o += static_cast<size_t>(flag) + 1;
      } else {
        std::memset(out + o, in[i], kBlock);
        i += 1;
        o += static_cast<size_t>(1 - flag);
      }
      continue;
    }
    if (flag == -128) continue;
    if (flag >= 0) {
      size_t count = (static_cast<size_t>(flag) + 1) * unit;
      if (count <= in_size - i && count <= out_size - std::min(o, out_size)) {
        std::memcpy(out + o, in + i, count);  // the usual case: all there, all room
        i += count;
        o += count;
        continue;
      }
      size_t available = std::min(count, in_size - i);
      if (o < out_size) {
        size_t room = out_size - o;
        std::memcpy(out + o, in + i, std::min(available, room));
        // A literal cut short by the end of the data: the rest is zero.
        if (available < count && available < room) {
          std::memset(out + o + available, 0, std::min(count, room) - available);
        }
      }
      i += available;
      o += count;
    } else {
      size_t repeat = static_cast<size_t>(1 - flag);
      if (in_size - i < unit) break;
      if (unit == 1) {
        if (o < out_size) std::memset(out + o, in[i], std::min(repeat, out_size - o));
        o += repeat;
        i += 1;
        continue;
      }
      for (size_t k = 0; k < repeat; ++k) {
        for (size_t b = 0; b < unit; ++b) {
          if (o + b < out_size) out[o + b] = in[i + b];
        }
        o += unit;
      }
      i += unit;
    }
  }
  if (o < out_size) std::memset(out + o, 0, out_size - o);
  return o;
}

size_t PackBitsBound(size_t in_size) { return in_size + (in_size + 127) / 128 + 1; }

size_t PackBits(const uint8_t* in, size_t in_size, uint8_t* out) {
  size_t i = 0;
  size_t o = 0;
  while (i < in_size) {
    size_t run = 1;
    while (i + run < in_size && run < 128 && in[i + run] == in[i]) ++run;
    if (run >= 2) {
      out[o++] = static_cast<uint8_t>(1 - static_cast<int>(run));
      out[o++] = in[i];
      i += run;
      continue;
    }
    // A literal stretch up to the next run of three or more.
    size_t start = i;
    size_t length = 0;
    while (i < in_size && length < 128) {
      if (i + 2 < in_size && in[i] == in[i + 1] && in[i] == in[i + 2]) break;
      ++i;
      ++length;
    }
    out[o++] = static_cast<uint8_t>(length - 1);
    std::memcpy(out + o, in + start, length);
    o += length;
  }
  return o;
}

bool ReadColorTable(ByteReader* in, int pixel_size, std::vector<Rgb>* palette, int* entries) {
  DefaultPalette(pixel_size, palette);
  Skip(in, 4);  // seed
  uint16_t flags = ReadU16(in);
  int count = ReadU16(in) + 1;
  if (!Need(in, static_cast<size_t>(count) * 8)) return false;
  bool device = (flags & 0x8000) != 0;  // entries in order, their values unused
  int highest = -1;
  for (int i = 0; i < count; ++i) {
    int value = ReadU16(in);
    Rgb colour = ReadRgb(in);
    size_t index = static_cast<size_t>(device ? i : value);
    if (index < palette->size()) (*palette)[index] = colour;
    highest = std::max(highest, static_cast<int>(index));
  }
  if (entries != nullptr) *entries = highest + 1;
  return !in->failed;
}

bool ReadPixMapBody(ByteReader* in, PixMapInfo* info) {
  info->bounds = ReadRect(in);
  Skip(in, 2);  // pmVersion
  info->pack_type = ReadU16(in);
  Skip(in, 4);  // packSize
  info->h_res = ReadFixed(in);
  info->v_res = ReadFixed(in);
  Skip(in, 2);  // pixelType
  info->pixel_size = ReadU16(in);
  info->cmp_count = ReadU16(in);
  info->cmp_size = ReadU16(in);
  Skip(in, 12);  // planeBytes, pmTable, pmReserved
  if (in->failed) return false;
  if (!ValidPixelSize(info->pixel_size)) return false;
  if (info->pixel_size == 32 && info->cmp_count != 4) info->cmp_count = 3;
  if (info->h_res <= 0 || info->v_res <= 0) info->h_res = info->v_res = 72;
  return info->bounds.Width() > 0 && info->bounds.Height() >= 0;
}

bool ReadPixMapHeader(ByteReader* in, bool direct, PixMapInfo* info) {
  *info = PixMapInfo{};
  if (direct) Skip(in, 4);  // baseAddr
  int row_bytes = ReadU16(in);
  info->is_pixmap = direct || (row_bytes & kPixMapFlag) != 0;
  info->row_bytes = row_bytes & kRowBytesMask;
  if (in->failed) return false;
  if (!info->is_pixmap) {
    info->bounds = ReadRect(in);
    DefaultPalette(1, &info->palette);
    return !in->failed && info->bounds.Width() > 0 && info->bounds.Height() >= 0;
  }
  if (!ReadPixMapBody(in, info)) return false;
  if (!direct) {
    return ReadColorTable(in, info->pixel_size, &info->palette, &info->table_entries);
  }
  if (info->pixel_size <= 8) DefaultPalette(info->pixel_size, &info->palette);
  return true;
}

bool PackedRowsAddUp(const ByteReader& in, const PixMapInfo& info, ByteReader* end) {
  int unit = info.is_pixmap && info.pixel_size == 16 ? 2 : 1;
  size_t shortest = NeededRowSize(info, true);
  size_t longest = std::max(RawRowSize(info, true), shortest) + 1;
  if (!RowsAddUp(in, info.Height(), 1, unit, shortest, longest)) return false;
  *end = in;
  for (int y = 0; y < info.Height(); ++y) Skip(end, ReadU8(end));
  return !end->failed;
}

bool StartRows(RowReader* rows, ByteReader* in, const PixMapInfo* info, bool packed) {
  rows->in = in;
  rows->info = info;
  rows->rows_read = 0;
  // Rows narrower than 8 bytes are never packed; 32-bit pixels without
  // their pad byte carry no row counts.
  bool drop_pad = info->is_pixmap && info->pixel_size == 32 && info->pack_type == 2;
  rows->packed = packed && (info->row_bytes >= 8 || info->narrow_rows_packed) && !drop_pad &&
                 !(info->is_pixmap && info->pack_type == 1 && info->pixel_size >= 16);
  rows->count_bytes = info->row_bytes > 250 ? 2 : 1;
  if (rows->packed) {
    int unit = info->is_pixmap && info->pixel_size == 16 ? 2 : 1;
    size_t shortest = NeededRowSize(*info, true);
    size_t longest = std::max(RawRowSize(*info, true), shortest) + 1;
    int other = 3 - rows->count_bytes;
    // The documented size is taken when its first rows add up; the other
    // only when all of its rows do.
    constexpr int kRowsChecked = 16;
    if (!RowsAddUp(*in, std::min(info->Height(), kRowsChecked), rows->count_bytes, unit, shortest,
                   longest) &&
        RowsAddUp(*in, info->Height(), other, unit, shortest, longest)) {
      rows->count_bytes = other;
    }
  }
  size_t least = rows->packed ? static_cast<size_t>(rows->count_bytes) : RawRowSize(*info, false);
  if (drop_pad && info->row_bytes >= 8) least = static_cast<size_t>(info->Width()) * 3;
  least = std::max<size_t>(least, 1);
  if (static_cast<size_t>(info->Height()) > in->Left() / least) return false;
  size_t raw_size = std::max(RawRowSize(*info, rows->packed), NeededRowSize(*info, rows->packed));
  rows->raw.assign(raw_size, 0);
  return true;
}

bool NextRow(RowReader* rows, PixelRow* row) {
  const PixMapInfo& info = *rows->info;
  ByteReader* in = rows->in;
  size_t expected = RawRowSize(info, rows->packed);
  if (rows->packed) {
    size_t count = rows->count_bytes == 2 ? ReadU16(in) : ReadU8(in);
    if (!Need(in, count)) return false;
    const uint8_t* data = in->Here();
    in->pos += count;
    if (row != nullptr) {
      int unit = info.is_pixmap && info.pixel_size == 16 ? 2 : 1;
      UnpackBits(data, count, rows->raw.data(), expected, unit);
    }
  } else {
    if (!Need(in, expected)) return false;
    if (row != nullptr) std::memcpy(rows->raw.data(), in->Here(), expected);
    in->pos += expected;
  }
  ++rows->rows_read;
  if (row != nullptr) DecodeRow(info, rows->packed, rows->raw.data(), row);
  return true;
}

}  // namespace pic2jpg::pict
