// The bits opcodes: BitsRect, BitsRgn, PackBitsRect, PackBitsRgn,
// DirectBitsRect and DirectBitsRgn. Each copies a BitMap or PixMap from its
// source rectangle to its destination rectangle (scaling as CopyBits does,
// by picking the nearest source pixel), through the clip region and, for the
// Rgn forms, a mask region, with a transfer mode. Rows are decoded one at a
// time as the destination needs them.
#include <cmath>

#include "engine/pict/decoder.h"
#include "engine/pict/pixel_map.h"

namespace pic2jpg::pict {
namespace {

bool IsCopyMode(int mode) {
  int base = mode & ~kDitherCopy;
  return base == kSrcCopy || base == kPatCopy;
}

bool SkipRows(Decoder* d, RowReader* rows) {
  while (rows->rows_read < rows->info->Height()) {
    if (!NextRow(rows, nullptr)) return CheckRead(d, "pixel data");
  }
  return true;
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

bool Blit(Decoder* d, const PixMapInfo& info, RowReader* rows, const QdRect& src,
          const QdRect& dst, int mode, const Region* mask) {
  Canvas* canvas = &d->canvas;
  QdRect target_rect = MapRect(*canvas, Shifted(*d, dst));
  if (target_rect.Empty() || src.Empty() || info.Height() == 0 ||
      IsPlaceholder(*d, target_rect)) {
    return SkipRows(d, rows);
  }
  Region target = Combine(RectRegion(target_rect), canvas->clip, RegionOp::kIntersect);
  if (mask != nullptr) {
    Region shifted = Offset(*mask, -d->state.origin.h, -d->state.origin.v);
    target = Combine(target, MapRegion(*canvas, shifted), RegionOp::kIntersect);
  }
  if (IsEmpty(target)) return SkipRows(d, rows);
  if (!ChargeWork(canvas, Area(target))) {
    return Fail(d, DecodeStatus::kTooComplex, "too much drawing");
  }

  QdRect box = Bounds(target);
  std::vector<int> xmap = SourceIndex(box.left, box.right, target_rect.left, target_rect.Width(),
                                      src.left, src.Width(), info.bounds.left, info.Width());
  double y_step = static_cast<double>(src.Height()) / target_rect.Height();

  ModeColours colours = d->state.colours;
  bool indexed = info.Indexed();
  Action index_actions[256];
  if (indexed) {
    for (size_t i = 0; i < info.palette.size() && i < 256; ++i) {
      index_actions[i] = info.is_pixmap
                             ? ResolveAction(mode, false, false, info.palette[i], colours)
                             : ResolveAction(mode, true, i == 1, kBlack, colours);
    }
  }
  bool copy = IsCopyMode(mode);

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
      }
      uint8_t* line = canvas->pixels.data() + static_cast<size_t>(y) * canvas->width * 4;
      for (size_t i = 0; i + 1 < band.xs.size(); i += 2) {
        for (int x = band.xs[i]; x < band.xs[i + 1]; ++x) {
          int sx = xmap[static_cast<size_t>(x - box.left)];
          if (sx < 0) continue;
          uint8_t* p = line + 4 * x;
          if (indexed) {
            ApplyAction(p, index_actions[row.index[static_cast<size_t>(sx)]]);
          } else if (copy) {
            const Rgb& c = row.colour[static_cast<size_t>(sx)];
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
            p[3] = 255;
          } else {
            ApplyAction(p, ResolveAction(mode, false, false, row.colour[static_cast<size_t>(sx)],
                                         colours));
          }
        }
      }
    }
  }
  return SkipRows(d, rows);
}

}  // namespace

bool DoBitsOp(Decoder* d, int op) {
  bool direct = op == 0x9A || op == 0x9B;
  bool packed = op != 0x90 && op != 0x91;
  bool has_mask = (op & 1) != 0;
  PixMapInfo info;
  if (!ReadPixMapHeader(&d->in, direct, &info)) {
    if (!CheckRead(d, "a pixel map")) return false;
    return Fail(d, DecodeStatus::kMalformed, "impossible pixel map");
  }
  QdRect src = ReadRect(&d->in);
  QdRect dst = ReadRect(&d->in);
  int mode = ReadU16(&d->in);
  Region mask;
  if (has_mask) ReadRegion(&d->in, &mask);
  if (!CheckRead(d, "a bits opcode")) return false;
  if (static_cast<long long>(info.Width()) * info.Height() > d->options.max_pixels) {
    return Fail(d, DecodeStatus::kTooLarge, "a bitmap is over the pixel limit");
  }
  RowReader rows;
  if (!StartRows(&rows, &d->in, &info, packed)) {
    return Fail(d, DecodeStatus::kTruncated, "a bitmap has more rows than its data could hold");
  }
  if (d->scanning) {
    d->bits_seen.push_back(BitsSeen{info.is_pixmap ? info.h_res : 72,
                                    info.is_pixmap ? info.v_res : 72, src, dst});
    return SkipRows(d, &rows);
  }
  return Blit(d, info, &rows, src, dst, mode, has_mask ? &mask : nullptr);
}

}  // namespace pic2jpg::pict
