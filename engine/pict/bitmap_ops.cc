// The bits opcodes: BitsRect, BitsRgn, PackBitsRect, PackBitsRgn,
// DirectBitsRect and DirectBitsRgn. Each copies a BitMap or PixMap from its
// source rectangle to its destination rectangle (scaling as CopyBits does,
// by picking the nearest source pixel), through the clip region and, for the
// Rgn forms, a mask region, with a transfer mode. Rows are decoded one at a
// time as the destination needs them.
#include <cmath>
#include <cstring>

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
    ReportProgress(d);
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

  ModeColours colours = d->state.colours;
  bool indexed = info.Indexed();
  // Colour pixel maps are colourised; one-bit bitmaps take the colours anyway.
  bool colourise = info.is_pixmap && Colourises(mode, colours);
  bool copy = IsCopyMode(mode) && !colourise;
  Action index_actions[256];
  uint32_t index_pixels[256];  // copy mode: the colour each index paints
  bool index_direct = indexed && IsCopyMode(mode);
  if (indexed) {
    for (size_t i = 0; i < info.palette.size() && i < 256; ++i) {
      Rgb colour = colourise ? Colourise(info.palette[i], colours) : info.palette[i];
      index_actions[i] = info.is_pixmap ? ResolveAction(mode, false, false, colour, colours)
                                        : ResolveAction(mode, true, i == 1, kBlack, colours);
      index_pixels[i] = PackPixel(index_actions[i].colour);
      index_direct = index_direct && index_actions[i].op == PixelOp::kCopy;
    }
  }
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
    double h_res = info.is_pixmap ? info.h_res : 72;
    double v_res = info.is_pixmap ? info.v_res : 72;
    d->bits_seen.push_back(BitsSeen{h_res, v_res, src, dst});
    // One bitmap at 72 dpi settles it: the picture stays at 72 dpi.
    if (h_res < 73 && v_res < 73) return Fail(d, DecodeStatus::kMalformed, "scan settled");
    return SkipRows(d, &rows);
  }
  return Blit(d, info, &rows, src, dst, mode, has_mask ? &mask : nullptr);
}

}  // namespace pic2jpg::pict
