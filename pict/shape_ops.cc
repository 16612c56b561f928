// QuickDraw's drawing opcodes: lines, and the frame, paint, erase, invert and
// fill verbs over rectangles, rounded rectangles, ovals, arcs, polygons and
// regions (with their "same" forms, which reuse the last shape).
//
// Frame draws the outline inside the shape with the pen size; paint fills
// with the pen pattern and mode; erase with the background pattern; invert
// inverts (or, after HiliteMode, swaps background and hilite colours); fill
// uses the fill pattern. Rectangles and regions are painted as exact pixel
// sets; curved shapes go through a Cairo coverage mask.
#include <algorithm>
#include <cmath>

#include "pict/decoder.h"
#include "pict/shape_mask.h"

namespace pic2jpg::pict {
namespace {

enum Verb { kFrame = 0, kPaint = 1, kErase = 2, kInvert = 3, kFill = 4 };

struct Brush {
  PenSource source;
  int mode = kPatCopy;
};

// The pattern and mode of a verb; clears the hilite flag an invert uses.
Brush BrushFor(Decoder* d, int verb) {
  DrawState& s = d->state;
  Brush brush;
  switch (verb) {
    case kFrame:
    case kPaint:
      brush.source = s.pen_pat;
      brush.mode = s.pen_mode;
      break;
    case kErase:
      brush.source = s.back_pat;
      brush.mode = kPatCopy;
      break;
    case kInvert:
      brush.mode = s.hilite_next ? kHilite : kPatXor;
      s.hilite_next = false;
      break;
    case kFill:
      brush.source = s.fill_pat;
      brush.mode = kPatCopy;
      break;
  }
  return brush;
}

RectF ToPixels(const Decoder& d, const QdRect& r) {
  QdRect s = Shifted(d, r);
  const Canvas& c = d.canvas;
  return RectF{(s.left - c.origin_x) * c.scale_x, (s.top - c.origin_y) * c.scale_y,
               (s.right - c.origin_x) * c.scale_x, (s.bottom - c.origin_y) * c.scale_y};
}

PointF ToPixels(const Decoder& d, const QdPoint& p) {
  QdPoint s = Shifted(d, p);
  const Canvas& c = d.canvas;
  return PointF{(s.h - c.origin_x) * c.scale_x, (s.v - c.origin_y) * c.scale_y};
}

// Pen size in pixels; zero when the pen draws nothing.
PointF PenPixels(const Decoder& d) {
  const QdPoint& pen = d.state.pen_size;
  if (pen.h <= 0 || pen.v <= 0) return PointF{0, 0};
  return PointF{pen.h * d.canvas.scale_x, pen.v * d.canvas.scale_y};
}

void Paint(Decoder* d, const Region& area, const Brush& brush) {
  PaintRegion(&d->canvas, area, brush.source, brush.mode, d->state.colours);
}

void PaintPath(Decoder* d, const RectF& bounds, cairo_fill_rule_t rule,
               const std::function<void(cairo_t*)>& path, const Brush& brush,
               const std::function<void(cairo_t*)>& clip = nullptr) {
  CoverageMask mask;
  if (!MaskFromPath(&d->canvas, bounds, rule, path, &mask, clip)) return;
  PaintMask(&d->canvas, mask, brush.source, brush.mode, d->state.colours);
}

RectF Inset(const RectF& r, double dx, double dy) {
  return RectF{r.left + dx, r.top + dy, r.right - dx, r.bottom - dy};
}

bool TooThin(const RectF& r, PointF pen) {
  return 2 * pen.x >= r.Width() || 2 * pen.y >= r.Height();
}

// Paints a pixel area with the verb's brush; a frame is the ring the pen
// leaves inside the area's edge (at least a pixel wide), none without a pen.
void PaintArea(Decoder* d, Region area, int verb, const Brush& brush) {
  if (verb == kFrame) {
    PointF pen = PenPixels(*d);
    if (pen.x <= 0) return;
    int pw = std::max(1, static_cast<int>(std::lround(pen.x)));
    int ph = std::max(1, static_cast<int>(std::lround(pen.y)));
    area = Combine(area, Inset(area, pw, ph), RegionOp::kSubtract);
  }
  Paint(d, area, brush);
}

void DrawRect(Decoder* d, const QdRect& rect, int verb) {
  Brush brush = BrushFor(d, verb);
  QdRect pixels = MapRect(d->canvas, Shifted(*d, rect));
  PaintArea(d, RectRegion(pixels), verb, brush);
}

// Paints the oval inside r, or with `frame` the ring the pen leaves inside
// its edge (the whole oval when the pen is too wide for a ring), optionally
// clipped.
void PaintOval(Decoder* d, const RectF& r, bool frame, PointF pen, const Brush& brush,
               const std::function<void(cairo_t*)>& clip = nullptr) {
  bool ring = frame && !TooThin(r, pen);
  PaintPath(
      d, r, CAIRO_FILL_RULE_EVEN_ODD,
      [&](cairo_t* cr) {
        AddEllipse(cr, r);
        if (ring) AddEllipse(cr, Inset(r, pen.x, pen.y));
      },
      brush, clip);
}

void DrawOval(Decoder* d, const QdRect& rect, int verb) {
  Brush brush = BrushFor(d, verb);
  PointF pen = PenPixels(*d);
  if (verb == kFrame && pen.x <= 0) return;
  PaintOval(d, ToPixels(*d, rect), verb == kFrame, pen, brush);
}

void DrawRoundRect(Decoder* d, const QdRect& rect, int verb) {
  Brush brush = BrushFor(d, verb);
  RectF r = ToPixels(*d, rect);
  double ow = d->state.oval_size.h * d->canvas.scale_x;
  double oh = d->state.oval_size.v * d->canvas.scale_y;
  PointF pen = PenPixels(*d);
  if (verb == kFrame && pen.x <= 0) return;
  bool ring = verb == kFrame && !TooThin(r, pen);
  PaintPath(
      d, r, CAIRO_FILL_RULE_EVEN_ODD,
      [&](cairo_t* cr) {
        AddRoundRect(cr, r, ow, oh);
        if (ring) AddRoundRect(cr, Inset(r, pen.x, pen.y), ow - 2 * pen.x, oh - 2 * pen.y);
      },
      brush);
}

void DrawArc(Decoder* d, const QdRect& rect, int start, int sweep, int verb) {
  Brush brush = BrushFor(d, verb);
  RectF r = ToPixels(*d, rect);
  PointF pen = PenPixels(*d);
  if (verb == kFrame) {
    if (pen.x <= 0) return;
    // The part of the oval's frame inside the wedge.
    PaintOval(d, r, true, pen, brush, [&](cairo_t* cr) { AddWedge(cr, r, start, sweep); });
    return;
  }
  PaintPath(
      d, r, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) { AddWedge(cr, r, start, sweep); }, brush);
}

void DrawLine(Decoder* d, QdPoint from, QdPoint to) {
  d->state.pen = to;
  PointF pen = PenPixels(*d);
  if (pen.x <= 0) return;
  Brush brush = BrushFor(d, kFrame);
  PointF a = ToPixels(*d, from);
  PointF b = ToPixels(*d, to);
  RectF bounds{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + pen.x,
               std::max(a.y, b.y) + pen.y};
  PaintPath(
      d, bounds, CAIRO_FILL_RULE_WINDING, [&](cairo_t* cr) { AddPenLine(cr, a, b, pen.x, pen.y); },
      brush);
}

// Polygon record: size (counting itself), bounding box, points.
bool ReadPolygon(Decoder* d, std::vector<QdPoint>* points) {
  ByteReader* in = &d->in;
  uint16_t size = ReadU16(in);
  if (!CheckRead(d, "a polygon")) return false;
  if (size < 10) return Fail(d, DecodeStatus::kMalformed, "impossible polygon");
  ByteReader body = SubReader(in, size - 2u);
  if (!CheckRead(d, "a polygon")) return false;
  ReadRect(&body);
  points->clear();
  while (body.Has(4)) points->push_back(ReadPoint(&body));
  return true;
}

void DrawPolygon(Decoder* d, const std::vector<QdPoint>& points, int verb) {
  if (points.empty()) return;
  Brush brush = BrushFor(d, verb);
  std::vector<PointF> pixels;
  pixels.reserve(points.size());
  RectF bounds{1e18, 1e18, -1e18, -1e18};
  for (const QdPoint& p : points) {
    PointF q = ToPixels(*d, p);
    pixels.push_back(q);
    bounds = RectF{std::min(bounds.left, q.x), std::min(bounds.top, q.y),
                   std::max(bounds.right, q.x), std::max(bounds.bottom, q.y)};
  }
  if (verb != kFrame) {
    PaintPath(
        d, bounds, CAIRO_FILL_RULE_EVEN_ODD, [&](cairo_t* cr) { AddPolygon(cr, pixels); }, brush);
    return;
  }
  PointF pen = PenPixels(*d);
  if (pen.x <= 0) return;
  bounds.right += pen.x;
  bounds.bottom += pen.y;
  PaintPath(
      d, bounds, CAIRO_FILL_RULE_WINDING,
      [&](cairo_t* cr) {
        for (size_t i = 0; i + 1 < pixels.size(); ++i) {
          AddPenLine(cr, pixels[i], pixels[i + 1], pen.x, pen.y);
        }
        if (pixels.size() == 1) AddPenLine(cr, pixels[0], pixels[0], pen.x, pen.y);
      },
      brush);
}

void DrawRegion(Decoder* d, const Region& region, int verb) {
  Brush brush = BrushFor(d, verb);
  PaintArea(d, MapRegion(d->canvas, Shifted(*d, region)), verb, brush);
}

bool DoLineOp(Decoder* d, int op) {
  ByteReader* in = &d->in;
  QdPoint from = d->state.pen;
  QdPoint to;
  switch (op) {
    case 0x20:
      from = ReadPoint(in);
      to = ReadPoint(in);
      break;
    case 0x21:
      to = ReadPoint(in);
      break;
    case 0x22: {
      from = ReadPoint(in);
      int dh = ReadS8(in);
      int dv = ReadS8(in);
      to = QdPoint{from.v + dv, from.h + dh};
      break;
    }
    default: {
      int dh = ReadS8(in);
      int dv = ReadS8(in);
      to = QdPoint{from.v + dv, from.h + dh};
      break;
    }
  }
  if (!CheckRead(d, "a line")) return false;
  DrawLine(d, from, to);
  return true;
}

}  // namespace

bool DoShapeOp(Decoder* d, int op) {
  // QuickTime's stand-in for an image is a bitmap or a few lines of text;
  // shapes belong to the picture itself.
  d->placeholder_active = false;
  if (op >= 0x20 && op <= 0x23) return DoLineOp(d, op);
  ByteReader* in = &d->in;
  DrawState& s = d->state;
  int verb = op & 7;
  int group = op & 0xF8;
  bool same = (op & 0x08) != 0;
  switch (group) {
    case 0x30:
    case 0x38:
    case 0x40:
    case 0x48:
    case 0x50:
    case 0x58: {
      if (!same) s.last_rect = ReadRect(in);
      if (!CheckRead(d, "a rectangle")) return false;
      if (group <= 0x38) {
        DrawRect(d, s.last_rect, verb);
      } else if (group <= 0x48) {
        DrawRoundRect(d, s.last_rect, verb);
      } else {
        DrawOval(d, s.last_rect, verb);
      }
      return true;
    }
    case 0x60:
    case 0x68: {
      if (!same) s.last_rect = ReadRect(in);
      int start = ReadS16(in);
      int sweep = ReadS16(in);
      if (!CheckRead(d, "an arc")) return false;
      DrawArc(d, s.last_rect, start, sweep, verb);
      return true;
    }
    case 0x70:
    case 0x78: {
      if (!same && !ReadPolygon(d, &s.last_poly)) return false;
      DrawPolygon(d, s.last_poly, verb);
      return true;
    }
    case 0x80:
    case 0x88: {
      if (!same && !ReadRegion(in, &s.last_region)) return CheckRead(d, "a region");
      DrawRegion(d, s.last_region, verb);
      return true;
    }
    default:
      return SkipOpcode(d, op);
  }
}

}  // namespace pic2jpg::pict
