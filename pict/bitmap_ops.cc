// The bits opcodes: BitsRect, BitsRgn, PackBitsRect, PackBitsRgn,
// DirectBitsRect and DirectBitsRgn. Each copies a BitMap or PixMap from its
// source rectangle to its destination rectangle (scaling as CopyBits does,
// by picking the nearest source pixel), through the clip region and, for the
// Rgn forms, a mask region, with a transfer mode. Rows are decoded one at a
// time as the destination needs them.
#include <cmath>
#include <cstring>

#include "pict/decoder.h"
#include "pict/pixel_map.h"

namespace pic2jpg::pict {
namespace {

bool IsCopyMode(int mode) {
  int base = mode & ~kDitherCopy;
  return base == kSrcCopy || base == kPatCopy;
}

// Source pixel (relative to the bounds) for each destination pixel of
// [first, last): nearest-neighbour, as CopyBits scales; -1 outside the image.
std::vector<int> SourceIndex(int first, int last, int dst_start, int dst_size, int src_start,
                             int src_size, int bounds_start, int bounds_size) {
  std::vector<int> map(static_cast<size_t>(std::max(0, last - first)));
  double step = static_cast<double>(src_size) / dst_size;
  for (int x = first; x < last; ++x) {
    int s = src_start + static_cast<int>(std::floor((x - dst_start + 0.5) * step)) - bounds_start;
    map[static_cast<size_t>(x - first)] = (s >= 0 && s < bounds_size) ? s : -1;
  }
  return map;
}

bool Blit(Decoder* d, const PixMapInfo& info, RowReader* rows, const QdRect& src, const QdRect& dst,
          int mode, const Region* mask) {
  Canvas* canvas = &d->canvas;
  QdRect target_rect = MapRect(*canvas, Shifted(*d, dst));
  if (target_rect.Empty() || src.Empty() || info.Height() == 0 || IsPlaceholder(*d, target_rect)) {
    return SkipRows(d, rows);
  }
  Region target = Combine(RectRegion(target_rect), canvas->clip, RegionOp::kIntersect);
  if (mask != nullptr) {
    target = Combine(target, MapRegion(*canvas, Shifted(*d, *mask)), RegionOp::kIntersect);
  }
  if (IsEmpty(target)) return SkipRows(d, rows);
  if (!ChargeWork(canvas, Area(target))) {
    return Fail(d, DecodeStatus::kTooComplex, kOverBudget);
  }

  QdRect box = Bounds(target);
  std::vector<int> xmap = SourceIndex(box.left, box.right, target_rect.left, target_rect.Width(),
                                      src.left, src.Width(), info.bounds.left, info.Width());
  double y_step = static_cast<double>(src.Height()) / target_rect.Height();

  const ModeColours& colours = d->state.colours;
  BitsPaint paint;
  PrepareBitsPaint(info, mode, colours, &paint);
  const bool indexed = paint.indexed;
  const bool colourise = paint.colourise;
  const bool copy = paint.copy;
  const bool index_direct = paint.index_direct;
  const Action* index_actions = paint.index_actions;
  const uint32_t* index_pixels = paint.index_pixels;
  // The common case: source pixels one for one, so that spans are copied.
  bool one_to_one = true;
  for (size_t i = 1; i < xmap.size() && one_to_one; ++i) {
    one_to_one = xmap[i] == xmap[i - 1] + 1;
  }
  one_to_one = one_to_one && !xmap.empty() && xmap.front() >= 0;

  PixelRow row;
  int current = -1;
  for (const Band& band : target.bands) {
    for (int y = band.top; y < band.bottom; ++y) {
      int sy = src.top + static_cast<int>(std::floor((y - target_rect.top + 0.5) * y_step)) -
               info.bounds.top;
      if (sy < 0 || sy >= info.Height() || sy < current) continue;
      while (current < sy) {
        if (!NextRow(rows, current + 1 == sy ? &row : nullptr)) {
          return CheckRead(d, "pixel data");
        }
        ++current;
        ReportProgress(d);
      }
      uint8_t* line = canvas->pixels.data() + static_cast<size_t>(y) * canvas->width * 4;
      for (size_t i = 0; i + 1 < band.xs.size(); i += 2) {
        int x0 = band.xs[i];
        int x1 = band.xs[i + 1];
        const int* sxs = xmap.data() + (x0 - box.left);
        if (!indexed && copy && one_to_one) {
          std::memcpy(line + 4 * x0, row.colour.data() + sxs[0], 4 * static_cast<size_t>(x1 - x0));
          continue;
        }
        for (int x = x0; x < x1; ++x, ++sxs) {
          int sx = *sxs;
          if (sx < 0) continue;
          uint8_t* p = line + 4 * x;
          if (index_direct) {
            std::memcpy(p, &index_pixels[row.index[static_cast<size_t>(sx)]], 4);
          } else if (indexed) {
            ApplyAction(p, index_actions[row.index[static_cast<size_t>(sx)]]);
          } else if (copy) {
            std::memcpy(p, &row.colour[static_cast<size_t>(sx)], 4);
          } else {
            Rgb colour = UnpackPixel(row.colour[static_cast<size_t>(sx)]);
            if (colourise) colour = Colourise(colour, colours);
            ApplyAction(p, ResolveAction(mode, false, false, colour, colours));
          }
        }
      }
    }
  }
  return SkipRows(d, rows);
}

// Opcodes that real pictures hold: Apple's reserved ones are left out, so
// that stray bytes read as opcodes are told from a picture going on.
bool KnownOpcode(int op) {
  if (op == 0x00FF || op == 0x0C00 || op == 0x8200 || op == 0x8201) return true;
  if (op > 0xA1 || (op >= 0x17 && op <= 0x19) || (op >= 0x24 && op <= 0x27) || op == 0x2F) {
    return false;
  }
  if (op >= 0x30 && op <= 0x8F) return (op & 7) <= 4;
  return !((op >= 0x92 && op <= 0x97) || (op >= 0x9C && op <= 0x9F));
}

// True when the picture can go on from `at`: the opcodes that follow (up to
// a few dozen, or the next image) are known ones, lie within the data and
// end in the end opcode.
bool OpcodeCanFollow(const Decoder& d, ByteReader at) {
  bool v2 = d.header.version == 2;
  Decoder scratch;
  scratch.in = at;
  scratch.header = d.header;
  ByteReader* in = &scratch.in;
  constexpr int kOpcodesFollowed = 32;
  for (int i = 0; i < kOpcodesFollowed; ++i) {
    if (v2 && ((in->pos - d.header.start) & 1)) ++in->pos;
    if (in->Left() < (v2 ? 2u : 1u)) return false;  // rows that ate the end opcode
    int op = v2 ? ReadU16(in) : ReadU8(in);
    if (!KnownOpcode(op)) return false;
    bool image = op == 0x90 || op == 0x91 || (op >= 0x98 && op <= 0x9B) || op == 0x8200;
    if (op == 0x00FF || image) return true;  // an image's length is not known from here
    if (!SkipOpcode(&scratch, op)) return false;
  }
  return true;
}

// True when every pixel of the rows read from `at` (packed or not) is an
// index inside the picture's colour table.
bool IndicesInTable(ByteReader at, PixMapInfo info, bool packed) {
  info.narrow_rows_packed = packed;
  RowReader rows;
  if (!StartRows(&rows, &at, &info, true)) return false;
  PixelRow row;
  for (int y = 0; y < info.Height(); ++y) {
    if (!NextRow(&rows, &row)) return false;
    for (uint8_t index : row.index) {
      if (index >= info.table_entries) return false;
    }
  }
  return true;
}

// Rows under 8 bytes are stored unpacked, but ImageMagick packs them (with
// one-byte counts) all the same. They are read packed when, read unpacked,
// the picture could not go on after them, and read packed it can; and when
// both readings let the picture go on, when only the packed one gives
// indices that all lie in the colour table (a 1 x 1 picture packs its one
// byte as 02 00 00: unpacked, index 2 of a two-entry table).
bool NarrowRowsPacked(const Decoder& d, const PixMapInfo& info) {
  ByteReader unpacked = d.in;
  if (info.Height() > 0 &&
      !Skip(&unpacked, static_cast<size_t>(info.row_bytes) * static_cast<size_t>(info.Height()))) {
    unpacked.failed = true;
  }
  bool unpacked_goes_on = !unpacked.failed && OpcodeCanFollow(d, unpacked);
  ByteReader packed_end;
  bool packed_goes_on = PackedRowsAddUp(d.in, info, &packed_end) && OpcodeCanFollow(d, packed_end);
  if (!unpacked_goes_on) return packed_goes_on;
  if (!packed_goes_on || !info.is_pixmap || info.pixel_size > 8 || info.table_entries <= 0 ||
      info.table_entries >= (1 << info.pixel_size)) {
    return false;
  }
  return !IndicesInTable(d.in, info, false) && IndicesInTable(d.in, info, true);
}

}  // namespace

bool SkipRows(Decoder* d, RowReader* rows) {
  while (rows->rows_read < rows->info->Height()) {
    if (!NextRow(rows, nullptr)) return CheckRead(d, "pixel data");
    ReportProgress(d);
  }
  return true;
}

void PrepareBitsPaint(const PixMapInfo& info, int mode, const ModeColours& colours,
                      BitsPaint* paint) {
  paint->indexed = info.Indexed();
  // Colour pixel maps are colourised; one-bit bitmaps take the colours anyway.
  paint->colourise = info.is_pixmap && Colourises(mode, colours);
  paint->copy = IsCopyMode(mode) && !paint->colourise;
  paint->index_direct = paint->indexed && IsCopyMode(mode);
  if (!paint->indexed) return;
  for (size_t i = 0; i < info.palette.size() && i < 256; ++i) {
    Rgb colour = paint->colourise ? Colourise(info.palette[i], colours) : info.palette[i];
    paint->index_actions[i] = info.is_pixmap ? ResolveAction(mode, false, false, colour, colours)
                                             : ResolveAction(mode, true, i == 1, kBlack, colours);
    paint->index_pixels[i] = PackPixel(paint->index_actions[i].colour);
    paint->index_direct = paint->index_direct && paint->index_actions[i].op == PixelOp::kCopy;
  }
}

bool ReadBitsOp(Decoder* d, int op, BitsOp* bits) {
  bool direct = op == 0x9A || op == 0x9B;
  bool packed = op != 0x90 && op != 0x91;
  bits->has_mask = (op & 1) != 0;
  PixMapInfo& info = bits->info;
  if (!ReadPixMapHeader(&d->in, direct, &info)) {
    if (!CheckRead(d, "a pixel map")) return false;
    return Fail(d, DecodeStatus::kMalformed, "impossible pixel map");
  }
  bits->src = ReadRect(&d->in);
  bits->dst = ReadRect(&d->in);
  bits->mode = ReadU16(&d->in);
  if (bits->has_mask) ReadRegion(&d->in, &bits->mask);
  if (!CheckRead(d, "a bits opcode")) return false;
  if (static_cast<long long>(info.Width()) * info.Height() > d->options.max_pixels) {
    return Fail(d, DecodeStatus::kTooLarge, "a bitmap is over the pixel limit");
  }
  if (packed && info.row_bytes < 8 && info.row_bytes > 0) {
    info.narrow_rows_packed = NarrowRowsPacked(*d, info);
  }
  if (!StartRows(&bits->rows, &d->in, &info, packed)) {
    return Fail(d, DecodeStatus::kTruncated, "a bitmap has more rows than its data could hold");
  }
  return true;
}

bool DoBitsOp(Decoder* d, int op) {
  BitsOp bits;
  if (!ReadBitsOp(d, op, &bits)) return false;
  const PixMapInfo& info = bits.info;
  if (d->scanning) {
    double h_res = info.is_pixmap ? info.h_res : 72;
    double v_res = info.is_pixmap ? info.v_res : 72;
    d->bits_seen.push_back(BitsSeen{h_res, v_res, bits.src, bits.dst});
    // One bitmap at 72 dpi settles it: the picture stays at 72 dpi.
    if (h_res < 73 && v_res < 73) return Fail(d, DecodeStatus::kMalformed, "scan settled");
    return SkipRows(d, &bits.rows);
  }
  return Blit(d, info, &bits.rows, bits.src, bits.dst, bits.mode,
              bits.has_mask ? &bits.mask : nullptr);
}

}  // namespace pic2jpg::pict
