// Solid frame around the image. Ownership rules as in geometry.h.
//
// The frame and the watermark share the hand-over from the drawing layer to
// the codec library: a canvas goes across as a PNG image in memory and is
// composited over the picture.
#ifndef PIC2JPG_ENGINE_FRAME_H_
#define PIC2JPG_ENGINE_FRAME_H_

#include <FreeImage.h>

#include <cstdint>
#include <string>

#include "platform/drawing.h"
#include "settings/settings.h"

namespace pic2jpg {

// Paints the four bands of Frame/Solid Left, Right, Top and Bottom over the
// picture's edges (mitred corners, Solid Opacity) when Frame/Do Frame is 1.
// Any Do Frame other than 0 returns the picture in 24 bits. The picture keeps
// its size.
FIBITMAP* DrawFrame(FIBITMAP* image, const FrameSettings& frame);

// "RRGGBB" and an alpha 0..255 to red + 256 * green + 65536 * blue +
// 16777216 * alpha; any text that is not exactly six characters gives 0
// (transparent black). Characters that are not hexadecimal digits count 0.
uint32_t ParseHexColourAlpha(const std::string& text, int alpha);

// The picture in 24 bits per pixel: the same image when it already is, else a
// converted copy (the original is released); 16-bit greyscale and floating
// point pictures are scaled to 8 bits on the way. Null when it cannot be
// converted.
FIBITMAP* ConvertTo24BitsOwned(FIBITMAP* image);

// The canvas as a 32-bit bitmap with straight alpha, pixel for pixel what a
// PNG of the canvas would load as. Null when the bitmap cannot be had.
// Caller unloads.
FIBITMAP* CanvasToBitmap(const platform::Canvas& canvas);

// `layer` (32 bits, the picture's size) composited over `image`; the result
// replaces the image. When the library refuses (sizes differ, say), the image
// is returned unchanged rather than lost. `layer` stays the caller's.
FIBITMAP* CompositeOver(FIBITMAP* image, FIBITMAP* layer);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_FRAME_H_
