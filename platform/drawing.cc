#include "platform/drawing.h"

#include <FreeImage.h>
#include <cairo.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/drawing_internal.h"

namespace pic2jpg::platform {

namespace {

inline uint32_t Premultiply(int red, int green, int blue, int alpha) {
  auto mul = [alpha](int c) { return static_cast<uint32_t>((c * alpha + 127) / 255); };
  return static_cast<uint32_t>(alpha) << 24 | mul(red) << 16 | mul(green) << 8 | mul(blue);
}

inline uint32_t Premultiply(Rgba c) {
  return Premultiply(RedOf(c), GreenOf(c), BlueOf(c), AlphaOf(c));
}

inline Rgba Unpremultiply(uint32_t p) {
  int alpha = static_cast<int>(p >> 24);
  if (alpha == 0) return 0;
  auto div = [alpha](uint32_t c) {
    return std::min(255, static_cast<int>((c * 255 + static_cast<uint32_t>(alpha) / 2) /
                                          static_cast<uint32_t>(alpha)));
  };
  return MakeRgba(div(p >> 16 & 0xFF), div(p >> 8 & 0xFF), div(p & 0xFF), alpha);
}

// Pixels of a canvas as 32-bit words, rows `stride` words apart.
struct PixelView {
  uint32_t* data = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  uint32_t& At(int x, int y) const {
    return data[static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x)];
  }
};

PixelView ViewOf(cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  PixelView view;
  view.data = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
  view.width = cairo_image_surface_get_width(surface);
  view.height = cairo_image_surface_get_height(surface);
  view.stride = cairo_image_surface_get_stride(surface) / 4;
  return view;
}

bool Usable(const Canvas* canvas) { return canvas != nullptr && canvas->surface != nullptr; }

}  // namespace

void SetSourceRgba(cairo_t* cr, Rgba colour) {
  cairo_set_source_rgba(cr, RedOf(colour) / 255.0, GreenOf(colour) / 255.0, BlueOf(colour) / 255.0,
                        AlphaOf(colour) / 255.0);
}

void CanvasDeleter::operator()(Canvas* canvas) const {
  if (canvas == nullptr) return;
  if (canvas->cr != nullptr) cairo_destroy(canvas->cr);
  if (canvas->surface != nullptr) cairo_surface_destroy(canvas->surface);
  delete canvas;
}

CanvasPtr CreateCanvas(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  CanvasPtr canvas(new Canvas);
  canvas->surface = surface;
  return canvas;
}

int CanvasWidth(const Canvas& canvas) { return cairo_image_surface_get_width(canvas.surface); }
int CanvasHeight(const Canvas& canvas) { return cairo_image_surface_get_height(canvas.surface); }

bool BeginDrawing(Canvas* canvas) {
  if (!Usable(canvas)) return false;
  if (canvas->cr != nullptr) return true;
  cairo_t* cr = cairo_create(canvas->surface);
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr);
    return false;
  }
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  canvas->cr = cr;
  return true;
}

void EndDrawing(Canvas* canvas) {
  if (canvas == nullptr || canvas->cr == nullptr) return;
  cairo_destroy(canvas->cr);
  canvas->cr = nullptr;
  cairo_surface_flush(canvas->surface);
}

void SetFillColour(Canvas* canvas, Rgba colour) {
  if (canvas != nullptr && canvas->cr != nullptr) SetSourceRgba(canvas->cr, colour);
}

void AddRectangle(Canvas* canvas, double x, double y, double width, double height) {
  if (canvas != nullptr && canvas->cr != nullptr) cairo_rectangle(canvas->cr, x, y, width, height);
}

void AddPolygon(Canvas* canvas, Point start, std::span<const Point> steps) {
  if (canvas == nullptr || canvas->cr == nullptr) return;
  cairo_move_to(canvas->cr, start.x, start.y);
  for (const Point& step : steps) cairo_rel_line_to(canvas->cr, step.x, step.y);
  cairo_close_path(canvas->cr);
}

void FillPath(Canvas* canvas) {
  if (canvas != nullptr && canvas->cr != nullptr) cairo_fill(canvas->cr);
}

void FillCanvas(Canvas* canvas, Rgba colour) {
  if (!Usable(canvas)) return;
  PixelView view = ViewOf(canvas->surface);
  uint32_t value = Premultiply(colour);
  for (int y = 0; y < view.height; ++y) {
    std::fill_n(&view.At(0, y), view.width, value);
  }
  cairo_surface_mark_dirty(canvas->surface);
}

// Scan-line fill: each stack entry is a seed; the run of matching pixels
// through it is filled and the rows above and below are searched for new seeds.
void FloodFill(Canvas* canvas, int x, int y, Rgba colour) {
  if (!Usable(canvas)) return;
  PixelView view = ViewOf(canvas->surface);
  if (x < 0 || y < 0 || x >= view.width || y >= view.height) return;
  const uint32_t target = view.At(x, y);
  const uint32_t value = Premultiply(colour);
  if (target == value) return;
  std::vector<std::pair<int, int>> seeds{{x, y}};
  while (!seeds.empty()) {
    auto [sx, sy] = seeds.back();
    seeds.pop_back();
    if (view.At(sx, sy) != target) continue;
    int left = sx;
    while (left > 0 && view.At(left - 1, sy) == target) --left;
    int right = sx;
    while (right + 1 < view.width && view.At(right + 1, sy) == target) ++right;
    for (int i = left; i <= right; ++i) view.At(i, sy) = value;
    for (int ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= view.height) continue;
      bool in_run = false;
      for (int i = left; i <= right; ++i) {
        bool match = view.At(i, ny) == target;
        if (match && !in_run) seeds.emplace_back(i, ny);
        in_run = match;
      }
    }
  }
  cairo_surface_mark_dirty(canvas->surface);
}

bool PaintCanvas(Canvas* target, const Canvas& source, int alpha) {
  if (!Usable(target) || source.surface == nullptr) return false;
  alpha = std::clamp(alpha, 0, 255);
  cairo_surface_flush(source.surface);
  cairo_t* cr = cairo_create(target->surface);
  cairo_set_source_surface(cr, source.surface, 0, 0);
  if (alpha == 255) {
    cairo_paint(cr);
  } else {
    cairo_paint_with_alpha(cr, alpha / 255.0);
  }
  bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(target->surface);
  return ok;
}

bool PaintCanvasGrey(Canvas* target, const Canvas& source, int alpha) {
  if (!Usable(target) || source.surface == nullptr) return false;
  CanvasPtr grey = CreateCanvas(CanvasWidth(source), CanvasHeight(source));
  if (grey == nullptr) return false;
  PixelView from = ViewOf(source.surface);
  PixelView to = ViewOf(grey->surface);
  for (int y = 0; y < from.height; ++y) {
    for (int x = 0; x < from.width; ++x) {
      Rgba c = Unpremultiply(from.At(x, y));
      int level = (77 * RedOf(c) + 150 * GreenOf(c) + 29 * BlueOf(c)) >> 8;
      to.At(x, y) = Premultiply(level, level, level, AlphaOf(c));
    }
  }
  cairo_surface_mark_dirty(grey->surface);
  return PaintCanvas(target, *grey, alpha);
}

void ReadStraightRow(const Canvas& canvas, int y, uint8_t* out) {
  cairo_surface_flush(canvas.surface);
  const int width = cairo_image_surface_get_width(canvas.surface);
  const unsigned char* row =
      cairo_image_surface_get_data(canvas.surface) +
      static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(canvas.surface);
  for (int x = 0; x < width; ++x, out += 4) {
    uint32_t pixel;
    std::memcpy(&pixel, row + 4 * x, 4);
    const uint32_t alpha = pixel >> 24;
    if (alpha == 0) {
      std::memset(out, 0, 4);
      continue;
    }
    out[0] = static_cast<uint8_t>(((pixel & 0xFF) * 255 + alpha / 2) / alpha);
    out[1] = static_cast<uint8_t>((((pixel >> 8) & 0xFF) * 255 + alpha / 2) / alpha);
    out[2] = static_cast<uint8_t>((((pixel >> 16) & 0xFF) * 255 + alpha / 2) / alpha);
    out[3] = static_cast<uint8_t>(alpha);
  }
}

LoadedImage ImageFromBitmap(FIBITMAP* dib) {
  LoadedImage result;
  if (dib == nullptr || FreeImage_GetImageType(dib) != FIT_BITMAP) return result;
  const unsigned depth = FreeImage_GetBPP(dib);
  if (depth != 24 && depth != 32) return result;
  const bool has_alpha = depth == 32;
  const int width = static_cast<int>(FreeImage_GetWidth(dib));
  const int height = static_cast<int>(FreeImage_GetHeight(dib));
  CanvasPtr canvas = CreateCanvas(width, height);
  if (canvas == nullptr) return result;
  const int step = static_cast<int>(depth / 8);
  PixelView view = ViewOf(canvas->surface);
  for (int y = 0; y < height; ++y) {
    const BYTE* row = FreeImage_GetScanLine(dib, height - 1 - y);  // stored bottom-up
    for (int x = 0; x < width; ++x) {
      const BYTE* p = row + x * step;
      view.At(x, y) = Premultiply(p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE],
                                  has_alpha ? p[FI_RGBA_ALPHA] : 255);
    }
  }
  cairo_surface_mark_dirty(canvas->surface);
  result.canvas = std::move(canvas);
  result.bits_per_pixel = static_cast<int>(depth);
  return result;
}

}  // namespace pic2jpg::platform
