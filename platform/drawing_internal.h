// The inside of a Canvas, shared by the files of the drawing layer only.
#ifndef PIC2JPG_PLATFORM_DRAWING_INTERNAL_H_
#define PIC2JPG_PLATFORM_DRAWING_INTERNAL_H_

#include <cairo.h>

#include "platform/drawing.h"

namespace pic2jpg::platform {

struct Canvas {
  cairo_surface_t* surface = nullptr;  // ARGB32, premultiplied
  cairo_t* cr = nullptr;               // set between BeginDrawing and EndDrawing
};

// Sets the source of `cr` to a solid colour.
void SetSourceRgba(cairo_t* cr, Rgba colour);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_DRAWING_INTERNAL_H_
