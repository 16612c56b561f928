// Brightness, contrast, gamma and inversion; greyscale; black and white.
// Ownership rules as in geometry.h.
#ifndef PIC2JPG_ENGINE_TONE_H_
#define PIC2JPG_ENGINE_TONE_H_

#include <FreeImage.h>

namespace pic2jpg {

FIBITMAP* CorrectColors(FIBITMAP* image);
FIBITMAP* MakeGreyscale(FIBITMAP* image);
FIBITMAP* ApplyThreshold(FIBITMAP* image);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_TONE_H_
