// Brightness, contrast, gamma and inversion; greyscale; black and white,
// driven by the Adjustment settings the caller hands in. Every step takes ownership of the image
// it is given and returns the image to continue with: the same one, or a
// replacement (the original is then released). A null image passes through;
// a failing library call gives null.
#ifndef PIC2JPG_ENGINE_TONE_H_
#define PIC2JPG_ENGINE_TONE_H_

#include <FreeImage.h>

#include "settings/settings.h"

namespace pic2jpg {

// Adjusts brightness, contrast and gamma and optionally inverts, in place;
// images that are not 8, 24 or 32 bits deep become 24-bit first.
FIBITMAP* CorrectColors(FIBITMAP* image, const AdjustmentSettings& adjustment);
// Turns the image into 8-bit grey.
FIBITMAP* MakeGreyscale(FIBITMAP* image, const AdjustmentSettings& adjustment);
// Turns the image into 1-bit black and white at Image Threshold.
FIBITMAP* ApplyThreshold(FIBITMAP* image, const AdjustmentSettings& adjustment);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_TONE_H_
