#include "pict/shape_mask.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace pic2jpg::pict {
namespace {

double Cross(PointF o, PointF a, PointF b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Convex hull, counter-clockwise (monotone chain).
std::vector<PointF> Hull(std::vector<PointF> points) {
  std::sort(points.begin(), points.end(),
            [](PointF a, PointF b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  std::vector<PointF> hull(2 * points.size());
  size_t k = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    while (k >= 2 && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  for (size_t i = points.size() - 1, t = k + 1; i > 0; --i) {
    while (k >= t && Cross(hull[k - 2], hull[k - 1], points[i - 1]) <= 0) --k;
    hull[k++] = points[i - 1];
  }
  hull.resize(k > 0 ? k - 1 : 0);
  return hull;
}

}  // namespace

bool MaskFromPath(Canvas* target, const RectF& bounds, cairo_fill_rule_t rule,
                  const std::function<void(cairo_t*)>& path, CoverageMask* mask,
                  const std::function<void(cairo_t*)>& clip) {
  const Canvas& canvas = *target;
  double left = std::max(0.0, std::floor(bounds.left));
  double top = std::max(0.0, std::floor(bounds.top));
  double right = std::min<double>(canvas.width, std::ceil(bounds.right));
  double bottom = std::min<double>(canvas.height, std::ceil(bounds.bottom));
  if (right <= left || bottom <= top) return false;
  QdRect clip_box = Bounds(canvas.clip);
  left = std::max<double>(left, clip_box.left);
  top = std::max<double>(top, clip_box.top);
  right = std::min<double>(right, clip_box.right);
  bottom = std::min<double>(bottom, clip_box.bottom);
  if (right <= left || bottom <= top) return false;

  mask->x = static_cast<int>(left);
  mask->y = static_cast<int>(top);
  mask->width = static_cast<int>(right - left);
  mask->height = static_cast<int>(bottom - top);
  if (!ChargeWork(target, static_cast<long long>(mask->width) * mask->height)) return false;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, mask->width, mask->height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return false;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  cairo_translate(cr, -left, -top);
  if (clip) {
    cairo_new_path(cr);
    clip(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr);
  }
  cairo_new_path(cr);
  path(cr);
  cairo_set_fill_rule(cr, rule);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);

  const unsigned char* data = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  mask->coverage.resize(static_cast<size_t>(mask->width) * mask->height);
  for (int y = 0; y < mask->height; ++y) {
    std::memcpy(mask->coverage.data() + static_cast<size_t>(y) * mask->width,
                data + static_cast<size_t>(y) * stride, static_cast<size_t>(mask->width));
  }
  cairo_surface_destroy(surface);
  return true;
}

void AddEllipse(cairo_t* cr, const RectF& r) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  cairo_scale(cr, r.Width() / 2, r.Height() / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void AddRoundRect(cairo_t* cr, const RectF& r, double ow, double oh) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  double rx = std::clamp(ow, 0.0, r.Width()) / 2;
  double ry = std::clamp(oh, 0.0, r.Height()) / 2;
  if (rx <= 0 || ry <= 0) {
    cairo_rectangle(cr, r.left, r.top, r.Width(), r.Height());
    return;
  }
  auto corner = [&](double cx, double cy, double from, double to) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, from, to);
    cairo_restore(cr);
  };
  cairo_new_sub_path(cr);
  corner(r.right - rx, r.top + ry, -M_PI / 2, 0);
  corner(r.right - rx, r.bottom - ry, 0, M_PI / 2);
  corner(r.left + rx, r.bottom - ry, M_PI / 2, M_PI);
  corner(r.left + rx, r.top + ry, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void AddWedge(cairo_t* cr, const RectF& r, double start, double sweep) {
  if (r.Width() <= 0 || r.Height() <= 0 || sweep == 0) return;
  if (std::fabs(sweep) >= 360) {
    AddEllipse(cr, r);
    return;
  }
  // QuickDraw measures from twelve o'clock, clockwise; with y down, Cairo's
  // angles run clockwise from three o'clock.
  double from = (start - 90) * M_PI / 180;
  double to = (start + sweep - 90) * M_PI / 180;
  cairo_save(cr);
  cairo_translate(cr, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  cairo_scale(cr, r.Width() / 2, r.Height() / 2);
  cairo_new_sub_path(cr);
  cairo_move_to(cr, 0, 0);
  if (sweep > 0) {
    cairo_arc(cr, 0, 0, 1, from, to);
  } else {
    cairo_arc_negative(cr, 0, 0, 1, from, to);
  }
  cairo_close_path(cr);
  cairo_restore(cr);
}

void AddPolygon(cairo_t* cr, const std::vector<PointF>& points) {
  if (points.size() < 2) return;
  cairo_new_sub_path(cr);
  cairo_move_to(cr, points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x, points[i].y);
  cairo_close_path(cr);
}

void AddPenLine(cairo_t* cr, PointF a, PointF b, double pen_w, double pen_h) {
  std::vector<PointF> corners = {
      a, {a.x + pen_w, a.y}, {a.x, a.y + pen_h}, {a.x + pen_w, a.y + pen_h},
      b, {b.x + pen_w, b.y}, {b.x, b.y + pen_h}, {b.x + pen_w, b.y + pen_h},
  };
  AddPolygon(cr, Hull(corners));
}

}  // namespace pic2jpg::pict
