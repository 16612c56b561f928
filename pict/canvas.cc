#include "pict/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/memory_advice.h"

namespace pic2jpg::pict {
namespace {

Rgb Invert(Rgb c) {
  return Rgb{static_cast<uint8_t>(255 - c.r), static_cast<uint8_t>(255 - c.g),
             static_cast<uint8_t>(255 - c.b)};
}

uint8_t Lerp(uint8_t from, int to, uint8_t coverage) {
  return static_cast<uint8_t>(from + ((to - from) * coverage + (to > from ? 127 : -127)) / 255);
}

int Component(PixelOp op, int src, int dst, int extra) {
  switch (op) {
    case PixelOp::kBlend:
      return (src * extra + dst * (255 - extra) + 127) / 255;
    case PixelOp::kAddPin:
      return std::min(src + dst, extra);
    case PixelOp::kAddOver:
      return (src + dst) & 255;
    case PixelOp::kSubPin:
      return std::max(dst - src, extra);
    case PixelOp::kSubOver:
      return (dst - src) & 255;
    case PixelOp::kMax:
      return std::max(src, dst);
    case PixelOp::kMin:
      return std::min(src, dst);
    default:
      return src;
  }
}

// Position of a pixel in its pattern: patterns are aligned with the picture's
// coordinate origin.
struct PatternPhase {
  int x = 0;
  int y = 0;
};

PatternPhase PhaseOf(const Canvas& canvas) {
  PatternPhase phase;
  phase.x = static_cast<int>(std::lround(canvas.origin_x * canvas.scale_x)) & 7;
  phase.y = static_cast<int>(std::lround(canvas.origin_y * canvas.scale_y)) & 7;
  return phase;
}

bool UniformPattern(const PenSource& source, bool* bit) {
  if (source.tile) return false;
  uint8_t first = source.bits[0];
  if (first != 0x00 && first != 0xFF) return false;
  for (uint8_t b : source.bits) {
    if (b != first) return false;
  }
  *bit = first == 0xFF;
  return true;
}

// Paints [x0, x1) of row y with full coverage, or with the coverage bytes given.
void PaintRow(Canvas* canvas, int y, int x0, int x1, const PenSource& source,
              const Action actions[2], const uint8_t* coverage, const ModeColours& colours,
              int mode, const PatternPhase& phase) {
  uint8_t* row = canvas->pixels.data() + (static_cast<size_t>(y) * canvas->width) * 4;
  if (source.tile) {
    const Tile& tile = *source.tile;
    int ty = ((y + phase.y) % tile.height + tile.height) % tile.height;
    for (int x = x0; x < x1; ++x) {
      uint8_t cov = coverage ? coverage[x - x0] : 255;
      if (cov == 0) continue;
      int tx = ((x + phase.x) % tile.width + tile.width) % tile.width;
      Rgb colour = tile.pixels[static_cast<size_t>(ty) * tile.width + tx];
      ApplyAction(row + 4 * x, ResolveAction(mode, false, false, colour, colours), cov);
    }
    return;
  }
  uint8_t bits = source.bits[(y + phase.y) & 7];
  for (int x = x0; x < x1; ++x) {
    uint8_t cov = coverage ? coverage[x - x0] : 255;
    if (cov == 0) continue;
    int bit = (bits >> (7 - ((x + phase.x) & 7))) & 1;
    ApplyAction(row + 4 * x, actions[bit], cov);
  }
}

void FillRowSolid(Canvas* canvas, int y, int x0, int x1, Rgb colour) {
  uint8_t* p = canvas->pixels.data() + (static_cast<size_t>(y) * canvas->width + x0) * 4;
  for (int x = x0; x < x1; ++x, p += 4) {
    p[0] = colour.b;
    p[1] = colour.g;
    p[2] = colour.r;
    p[3] = 255;
  }
}

}  // namespace

Action ResolveAction(int mode, bool is_bit, bool bit, Rgb colour, const ModeColours& c) {
  if (mode & kDitherCopy) mode &= ~kDitherCopy;
  if (mode >= kPatCopy && mode <= kNotPatBic) mode -= kPatCopy;
  // The notSrc modes are the src modes of the inverted source.
  if (mode >= kNotSrcCopy && mode <= kNotSrcBic) {
    mode -= kNotSrcCopy - kSrcCopy;
    bit = !bit;
    colour = Invert(colour);
  }
  Rgb src = is_bit ? (bit ? c.fg : c.bg) : colour;
  // "Set" source pixels: the one bits, or colours other than white.
  bool set = is_bit ? bit : !(colour == kWhite);
  const Action none;
  const Action copy{PixelOp::kCopy, src, {}};
  switch (mode) {
    case kSrcCopy:
      return copy;
    case kSrcOr:
      return set ? Action{PixelOp::kCopy, is_bit ? c.fg : colour, {}} : none;
    case kSrcXor:
      return set ? Action{PixelOp::kInvert, {}, {}} : none;
    case kSrcBic:
      return set ? Action{PixelOp::kCopy, c.bg, {}} : none;
    case kBlend:
    case kAddPin:
    case kAddOver:
    case kSubPin:
    case kAddMax:
    case kSubOver:
    case kAdMin: {
      static constexpr PixelOp kOps[] = {PixelOp::kBlend,   PixelOp::kAddPin, PixelOp::kAddOver,
                                         PixelOp::kSubPin,  PixelOp::kNone,   PixelOp::kMax,
                                         PixelOp::kSubOver, PixelOp::kMin};
      return Action{kOps[mode - kBlend], src, c.op_colour};
    }
    case kTransparent:
      return src == c.bg ? none : copy;
    case kHilite:
      return set ? Action{PixelOp::kHilite, c.hilite, c.bg} : none;
    default:
      return copy;
  }
}

bool Colourises(int mode, const ModeColours& colours) {
  return (mode & ~kDitherCopy) == kSrcCopy && (!(colours.fg == kBlack) || !(colours.bg == kWhite));
}

Rgb Colourise(Rgb c, const ModeColours& k) {
  auto mix = [](uint8_t source, uint8_t fg, uint8_t bg) {
    return static_cast<uint8_t>((~source & fg) | (source & bg));
  };
  return Rgb{mix(c.r, k.fg.r, k.bg.r), mix(c.g, k.fg.g, k.bg.g), mix(c.b, k.fg.b, k.bg.b)};
}

void ApplyAction(uint8_t* p, const Action& a, uint8_t coverage) {
  switch (a.op) {
    case PixelOp::kNone:
      return;
    case PixelOp::kCopy:
      if (coverage == 255) {
        p[0] = a.colour.b;
        p[1] = a.colour.g;
        p[2] = a.colour.r;
      } else {
        p[0] = Lerp(p[0], a.colour.b, coverage);
        p[1] = Lerp(p[1], a.colour.g, coverage);
        p[2] = Lerp(p[2], a.colour.r, coverage);
      }
      break;
    case PixelOp::kInvert:
      if (coverage < 128) return;
      p[0] = static_cast<uint8_t>(255 - p[0]);
      p[1] = static_cast<uint8_t>(255 - p[1]);
      p[2] = static_cast<uint8_t>(255 - p[2]);
      coverage = 255;
      break;
    case PixelOp::kHilite: {
      if (coverage < 128) return;
      Rgb dst{p[2], p[1], p[0]};
      Rgb to;
      if (dst == a.extra) {
        to = a.colour;
      } else if (dst == a.colour) {
        to = a.extra;
      } else {
        return;
      }
      p[0] = to.b;
      p[1] = to.g;
      p[2] = to.r;
      coverage = 255;
      break;
    }
    default: {
      int b = Component(a.op, a.colour.b, p[0], a.extra.b);
      int g = Component(a.op, a.colour.g, p[1], a.extra.g);
      int r = Component(a.op, a.colour.r, p[2], a.extra.r);
      p[0] = Lerp(p[0], b, coverage);
      p[1] = Lerp(p[1], g, coverage);
      p[2] = Lerp(p[2], r, coverage);
      break;
    }
  }
  if (p[3] < coverage) p[3] = coverage;
}

bool AllocateCanvas(Canvas* canvas, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  try {
    canvas->pixels.clear();
    canvas->pixels.reserve(bytes + kCanvasSlack);
    platform::AdviseWholeBuffer(canvas->pixels.data(), canvas->pixels.capacity());
    canvas->pixels.resize(bytes);
  } catch (const std::bad_alloc&) {
    canvas->pixels = {};
    return false;
  }
  // White, nothing drawn yet.
  const uint8_t white[4] = {255, 255, 255, 0};
  uint32_t pixel;
  std::memcpy(&pixel, white, 4);
  uint32_t* p = reinterpret_cast<uint32_t*>(canvas->pixels.data());
  std::fill(p, p + bytes / 4, pixel);
  canvas->width = width;
  canvas->height = height;
  canvas->clip = CanvasRegion(*canvas);
  return true;
}

int PixelX(const Canvas& canvas, double x) {
  double v = std::floor((x - canvas.origin_x) * canvas.scale_x + 0.5);
  return static_cast<int>(std::clamp(v, -1e9, 1e9));
}

int PixelY(const Canvas& canvas, double y) {
  double v = std::floor((y - canvas.origin_y) * canvas.scale_y + 0.5);
  return static_cast<int>(std::clamp(v, -1e9, 1e9));
}

QdRect MapRect(const Canvas& canvas, const QdRect& rect) {
  QdRect out;
  out.top = PixelY(canvas, rect.top);
  out.left = PixelX(canvas, rect.left);
  out.bottom = PixelY(canvas, rect.bottom);
  out.right = PixelX(canvas, rect.right);
  return out;
}

Region MapRegion(const Canvas& canvas, const Region& region) {
  if (canvas.scale_x == 1 && canvas.scale_y == 1 &&
      canvas.origin_x == std::floor(canvas.origin_x) &&
      canvas.origin_y == std::floor(canvas.origin_y)) {
    return Offset(region, -static_cast<int>(canvas.origin_x), -static_cast<int>(canvas.origin_y));
  }
  Region out;
  for (const Band& band : region.bands) {
    int top = PixelY(canvas, band.top);
    int bottom = PixelY(canvas, band.bottom);
    if (bottom <= top) continue;
    std::vector<int> xs;
    for (size_t i = 0; i + 1 < band.xs.size(); i += 2) {
      int left = PixelX(canvas, band.xs[i]);
      int right = PixelX(canvas, band.xs[i + 1]);
      if (right <= left) continue;
      if (!xs.empty() && xs.back() >= left) {
        xs.back() = std::max(xs.back(), right);
      } else {
        xs.push_back(left);
        xs.push_back(right);
      }
    }
    if (xs.empty()) continue;
    if (!out.bands.empty() && out.bands.back().bottom > top) top = out.bands.back().bottom;
    if (bottom <= top) continue;
    if (!out.bands.empty() && out.bands.back().bottom == top && out.bands.back().xs == xs) {
      out.bands.back().bottom = bottom;
    } else {
      out.bands.push_back(Band{top, bottom, std::move(xs)});
    }
  }
  return out;
}

Region CanvasRegion(const Canvas& canvas) { return RectRegion(0, 0, canvas.width, canvas.height); }

namespace {

// The work of clipping to the canvas's clip region: its bands and edges.
long long ClipCost(const Canvas& canvas) {
  long long edges = 0;
  for (const Band& band : canvas.clip.bands) edges += 1 + static_cast<long long>(band.xs.size());
  return edges;
}

}  // namespace

bool ChargeWork(Canvas* canvas, long long pixels) {
  canvas->work += std::max(0LL, pixels);
  return canvas->work_budget <= 0 || canvas->work <= canvas->work_budget;
}

namespace {

// A pen's painting of an area: the part inside the clip, and what each bit
// of the pen's pattern does to a pixel.
struct PenPaint {
  Region target;
  Action actions[2];
  PatternPhase phase;
};

// False when nothing of `area` is inside the clip or the work budget is
// spent.
bool StartPenPaint(Canvas* canvas, const Region& area, int mode, const ModeColours& colours,
                   PenPaint* paint) {
  // Clipping costs as the clip's edges; a complex clip makes each shape dear.
  paint->target = Combine(area, canvas->clip, RegionOp::kIntersect);
  if (!ChargeWork(canvas, Area(paint->target) + ClipCost(*canvas))) return false;
  if (IsEmpty(paint->target)) return false;
  paint->actions[0] = ResolveAction(mode, true, false, kBlack, colours);
  paint->actions[1] = ResolveAction(mode, true, true, kBlack, colours);
  paint->phase = PhaseOf(*canvas);
  return true;
}

}  // namespace

void PaintRegion(Canvas* canvas, const Region& area, const PenSource& source, int mode,
                 const ModeColours& colours) {
  PenPaint paint;
  if (!StartPenPaint(canvas, area, mode, colours, &paint)) return;
  const Action* actions = paint.actions;
  bool bit = false;
  bool solid = UniformPattern(source, &bit) && actions[bit].op == PixelOp::kCopy;
  for (const Band& band : paint.target.bands) {
    for (int y = band.top; y < band.bottom; ++y) {
      for (size_t i = 0; i + 1 < band.xs.size(); i += 2) {
        if (solid) {
          FillRowSolid(canvas, y, band.xs[i], band.xs[i + 1], actions[bit].colour);
        } else {
          PaintRow(canvas, y, band.xs[i], band.xs[i + 1], source, actions, nullptr, colours, mode,
                   paint.phase);
        }
      }
    }
  }
}

void PaintMask(Canvas* canvas, const CoverageMask& mask, const PenSource& source, int mode,
               const ModeColours& colours) {
  if (mask.width <= 0 || mask.height <= 0) return;
  const Region box = RectRegion(mask.x, mask.y, mask.x + mask.width, mask.y + mask.height);
  PenPaint paint;
  if (!StartPenPaint(canvas, box, mode, colours, &paint)) return;
  for (const Band& band : paint.target.bands) {
    for (int y = band.top; y < band.bottom; ++y) {
      const uint8_t* cov_row = mask.coverage.data() + static_cast<size_t>(y - mask.y) * mask.width;
      for (size_t i = 0; i + 1 < band.xs.size(); i += 2) {
        int x0 = band.xs[i], x1 = band.xs[i + 1];
        PaintRow(canvas, y, x0, x1, source, paint.actions, cov_row + (x0 - mask.x), colours, mode,
                 paint.phase);
      }
    }
  }
}

}  // namespace pic2jpg::pict
