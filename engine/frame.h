// Solid frame around the image. Ownership rules as in geometry.h.
#ifndef PIC2JPG_ENGINE_FRAME_H_
#define PIC2JPG_ENGINE_FRAME_H_

#include <FreeImage.h>

namespace pic2jpg {

FIBITMAP* DrawFrame(FIBITMAP* image, int width, int height);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_FRAME_H_
