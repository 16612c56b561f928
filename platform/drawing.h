// Off-screen drawing for frames and watermarks: 32-bit RGBA canvases, filled
// antialiased paths, painting one canvas onto another, flood fill, PNG
// encoding and pictures of the codec library put on a canvas. Text is in drawing_text.h.
//
// Canvases are owned through CanvasPtr and released with it. Operations on a
// null canvas do nothing and report failure; nothing here throws or prints.
// Colours are Rgba values: red + 256 * green + 65536 * blue + 16777216 * alpha.
#ifndef PIC2JPG_PLATFORM_DRAWING_H_
#define PIC2JPG_PLATFORM_DRAWING_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>

struct FIBITMAP;  // the codec library's picture

namespace pic2jpg::platform {

using Rgba = uint32_t;

inline constexpr Rgba MakeRgba(int red, int green, int blue, int alpha) {
  return static_cast<Rgba>(red & 0xFF) | static_cast<Rgba>(green & 0xFF) << 8 |
         static_cast<Rgba>(blue & 0xFF) << 16 | static_cast<Rgba>(alpha & 0xFF) << 24;
}
inline constexpr int RedOf(Rgba c) { return static_cast<int>(c & 0xFF); }
inline constexpr int GreenOf(Rgba c) { return static_cast<int>(c >> 8 & 0xFF); }
inline constexpr int BlueOf(Rgba c) { return static_cast<int>(c >> 16 & 0xFF); }
inline constexpr int AlphaOf(Rgba c) { return static_cast<int>(c >> 24 & 0xFF); }

// A pixel buffer with premultiplied alpha and, between BeginDrawing and
// EndDrawing, a current fill colour and path.
struct Canvas;
struct CanvasDeleter {
  void operator()(Canvas* canvas) const;
};
using CanvasPtr = std::unique_ptr<Canvas, CanvasDeleter>;

// A fully transparent width x height canvas; null when either side is not
// positive or the buffer cannot be had.
CanvasPtr CreateCanvas(int width, int height);
int CanvasWidth(const Canvas& canvas);
int CanvasHeight(const Canvas& canvas);

// Path filling. BeginDrawing is false when drawing cannot start; the other
// calls do nothing outside a BeginDrawing/EndDrawing pair.
bool BeginDrawing(Canvas* canvas);
void EndDrawing(Canvas* canvas);
void SetFillColour(Canvas* canvas, Rgba colour);
void AddRectangle(Canvas* canvas, double x, double y, double width, double height);
struct Point {
  double x = 0;
  double y = 0;
};
// A closed polygon: the start point, then each corner as a step from the one
// before.
void AddPolygon(Canvas* canvas, Point start, std::span<const Point> steps);
// Fills the current path with the fill colour (antialiased, source over) and
// clears the path.
void FillPath(Canvas* canvas);

// Replaces every pixel with one colour.
void FillCanvas(Canvas* canvas, Rgba colour);
// Replaces the region of pixels equal to the one at (x, y) and connected to
// it through their edges with `colour`. Nothing happens outside the canvas.
void FloodFill(Canvas* canvas, int x, int y, Rgba colour);

// Paints `source` over `target` with its top left at (0, 0), its alpha
// multiplied by alpha / 255 (alpha 0..255).
bool PaintCanvas(Canvas* target, const Canvas& source, int alpha = 255);
// The same through a colour filter that turns each source pixel grey:
// (77 * red + 150 * green + 29 * blue) >> 8, the source alpha kept.
bool PaintCanvasGrey(Canvas* target, const Canvas& source, int alpha = 255);

// Row y of the canvas (0 is the top) as width x 4 bytes blue, green, red,
// alpha, with alpha straight rather than premultiplied: each colour is
// (c * 255 + alpha / 2) / alpha, and a pixel of alpha 0 is all zero.
void ReadStraightRow(const Canvas& canvas, int y, uint8_t* out);

// A picture on a canvas of its own. bits_per_pixel is 32 for a picture with
// alpha, else 24.
struct LoadedImage {
  CanvasPtr canvas;  // null when the picture could not be had
  int bits_per_pixel = 0;
};
// A 24-bit picture (opaque) or a 32-bit one (straight alpha) of the codec
// library on a canvas; other depths give no canvas.
LoadedImage ImageFromBitmap(FIBITMAP* dib);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_DRAWING_H_
