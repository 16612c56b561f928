// The picture being drawn and the one routine that changes its pixels.
//
// Pixels are 4 bytes, blue, green, red, alpha, rows top first. The colour
// bytes always hold the picture as drawn onto white; alpha records what was
// drawn (0 where nothing was, 255 where something opaque was), so a picture
// built only from images with transparency can keep it. Every drawing
// opcode ends in PaintRegion or PaintMask (or the bitmap blitter, which uses
// ApplyAction per pixel), so QuickDraw's transfer modes live here once.
#ifndef PIC2JPG_PICT_CANVAS_H_
#define PIC2JPG_PICT_CANVAS_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "pict/region.h"

namespace pic2jpg::pict {

// QuickDraw transfer modes (source modes 0-7, pattern modes 8-15, arithmetic
// modes 32-39, hilite 50; ditherCopy adds 64).
enum Mode : int {
  kSrcCopy = 0,
  kSrcOr = 1,
  kSrcXor = 2,
  kSrcBic = 3,
  kNotSrcCopy = 4,
  kNotSrcOr = 5,
  kNotSrcXor = 6,
  kNotSrcBic = 7,
  kPatCopy = 8,
  kPatOr = 9,
  kPatXor = 10,
  kPatBic = 11,
  kNotPatCopy = 12,
  kNotPatOr = 13,
  kNotPatXor = 14,
  kNotPatBic = 15,
  kBlend = 32,
  kAddPin = 33,
  kAddOver = 34,
  kSubPin = 35,
  kTransparent = 36,
  kAddMax = 37,
  kSubOver = 38,
  kAdMin = 39,
  kHilite = 50,
  kDitherCopy = 64,
};

// What happens to one destination pixel.
enum class PixelOp : uint8_t {
  kNone,
  kCopy,
  kInvert,
  kBlend,
  kAddPin,
  kAddOver,
  kSubPin,
  kSubOver,
  kMax,
  kMin,
  kHilite,
};

struct Action {
  PixelOp op = PixelOp::kNone;
  Rgb colour;  // the source colour
  Rgb extra;   // blend weights or pin colour; the background for hilite
};

// The colours a transfer mode consults besides the source, as a new colour
// port starts them: black on white, the op colour (blend weights, addPin's
// ceiling, subPin's floor) black, and the system's highlight colour.
struct ModeColours {
  Rgb fg = kBlack;
  Rgb bg = kWhite;
  Rgb op_colour = kBlack;
  Rgb hilite{153, 204, 255};
};

// The action of `mode` for one source pixel. One-bit sources (bitmaps,
// patterns) pass is_bit with the bit; their colours are fg (1) and bg (0).
// Colour sources pass the pixel colour.
Action ResolveAction(int mode, bool is_bit, bool bit, Rgb colour, const ModeColours& colours);

// CopyBits in srcCopy colourises colour sources when the foreground and
// background are not black and white: black takes the foreground, white the background,
// and each component in between mixes them bit by bit.
bool Colourises(int mode, const ModeColours& colours);
Rgb Colourise(Rgb colour, const ModeColours& colours);

// Applies an action to one BGRA pixel; coverage 255 is full, lower values
// blend (inversions happen from half coverage up).
void ApplyAction(uint8_t* pixel, const Action& action, uint8_t coverage = 255);

// A colour pixel pattern (PixPat), tiled from the canvas origin.
struct Tile {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;
};

// What shapes are painted with: an 8x8 one-bit pattern (1 = foreground),
// or a colour tile when there is one.
struct PenSource {
  uint8_t bits[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  std::shared_ptr<const Tile> tile;
};

// A pattern of all foreground (1) or all background (0) bits.
inline PenSource SolidPattern(bool foreground) {
  PenSource source;
  for (uint8_t& b : source.bits) b = foreground ? 0xFF : 0x00;
  return source;
}

// Coverage of a shape over the rectangle [x, x + width) x [y, y + height) in
// pixels, one byte per pixel.
struct CoverageMask {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> coverage;
};

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height * 4 bytes
  // Picture coordinates of the top-left pixel corner, and pixels per unit.
  double origin_x = 0;
  double origin_y = 0;
  double scale_x = 1;
  double scale_y = 1;
  Region clip;  // pixel space, inside the canvas
  // Painting work done so far, in pixels, against a budget that stops
  // pictures built to take forever.
  long long work = 0;
  long long work_budget = 0;
};

// Extra bytes kept after the pixels so that the buffer can be turned into a
// file with a header in place (see tools/pict2tga).
inline constexpr size_t kCanvasSlack = 64;

// Allocates a white, undrawn canvas; false when the memory is not there.
bool AllocateCanvas(Canvas* canvas, int width, int height);

// Picture coordinates to pixel edges.
int PixelX(const Canvas& canvas, double x);
int PixelY(const Canvas& canvas, double y);
// A picture rectangle or region in pixel space (not clipped).
QdRect MapRect(const Canvas& canvas, const QdRect& rect);
Region MapRegion(const Canvas& canvas, const Region& region);
Region CanvasRegion(const Canvas& canvas);

// Counts work; false once the budget is spent.
bool ChargeWork(Canvas* canvas, long long pixels);

// Paints the pixels of `area` (pixel space) inside the clip region.
void PaintRegion(Canvas* canvas, const Region& area, const PenSource& source, int mode,
                 const ModeColours& colours);
// Paints a coverage mask inside the clip region.
void PaintMask(Canvas* canvas, const CoverageMask& mask, const PenSource& source, int mode,
               const ModeColours& colours);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_CANVAS_H_
