// Helpers shared by the image steps of the conversion chain (rotation,
// resizing, flipping, tone adjustments). A step owns the image it is given:
// when it moves on to a replacement it releases the original at once, so no
// more than the original and its replacement are alive at any moment. A null
// image stands for a failed step and passes through every later step.
#ifndef PIC2JPG_ENGINE_IMAGE_STEP_H_
#define PIC2JPG_ENGINE_IMAGE_STEP_H_

#include <FreeImage.h>

namespace pic2jpg {

// Releases `image` and returns `replacement` (which may be null when the
// library call that produced it failed). Returns `image` itself when both are
// the same handle.
FIBITMAP* ReplaceImage(FIBITMAP* image, FIBITMAP* replacement);

// Replaces the image with its 24-bit conversion; null when that fails.
FIBITMAP* ReplaceWithTrueColour(FIBITMAP* image);

// True for an image outside the plain bitmap kinds the library's pixel
// operations take: 16-bit-per-channel, floating-point and complex images.
bool IsSpecialImageType(FIBITMAP* image);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_IMAGE_STEP_H_
