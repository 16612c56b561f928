// Turning QuickDraw shapes into coverage masks with Cairo: ovals, rounded
// rectangles, wedges, polygons and the lines a rectangular pen sweeps.
// Shapes are given in pixel space (doubles); edges that do not fall on pixel
// boundaries are antialiased (QuickDraw's own edges are hard, but smooth
// edges serve a converted picture better); masks are never larger than the
// canvas.
#ifndef PIC2JPG_PICT_SHAPE_MASK_H_
#define PIC2JPG_PICT_SHAPE_MASK_H_

#include <cairo.h>

#include <functional>
#include <vector>

#include "pict/canvas.h"

namespace pic2jpg::pict {

struct PointF {
  double x = 0;
  double y = 0;
};

struct RectF {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  double Width() const { return right - left; }
  double Height() const { return bottom - top; }
};

// Renders a path into a mask over `bounds` (clipped to the canvas). The
// callback adds the path in pixel coordinates; `clip` optionally adds a path
// the shape is clipped to. The mask's pixels are charged to the canvas's
// work. False when nothing is left to draw or the work is over its budget.
bool MaskFromPath(Canvas* canvas, const RectF& bounds, cairo_fill_rule_t rule,
                  const std::function<void(cairo_t*)>& path, CoverageMask* mask,
                  const std::function<void(cairo_t*)>& clip = nullptr);

void AddEllipse(cairo_t* cr, const RectF& r);
// Corner ovals of width ow and height oh (clamped to the rectangle).
void AddRoundRect(cairo_t* cr, const RectF& r, double ow, double oh);
// A wedge of the oval inside r, from QuickDraw angle `start` (degrees, 0 at
// twelve o'clock, clockwise) over `sweep` degrees.
void AddWedge(cairo_t* cr, const RectF& r, double start, double sweep);
void AddPolygon(cairo_t* cr, const std::vector<PointF>& points);
// The area a pen of pen_w x pen_h (hanging right and down of the pen
// position) covers moving from a to b: the convex hull of both pen rectangles.
void AddPenLine(cairo_t* cr, PointF a, PointF b, double pen_w, double pen_h);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_SHAPE_MASK_H_
