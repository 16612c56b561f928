// Rotation, resizing and flipping, driven by the Transform settings the
// caller hands in. Every step takes ownership of the image it is given and
// returns the image to continue with: the same one, or a replacement (the
// original is then released). A null image passes through; a failing library
// call gives null. No step reads anything but its arguments.
#ifndef PIC2JPG_ENGINE_GEOMETRY_H_
#define PIC2JPG_ENGINE_GEOMETRY_H_

#include <FreeImage.h>

#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace pic2jpg {

// Rotates by Transform/Image Rotation degrees when rotation is on and the
// angle lies in 1..359. Type 0 enlarges the canvas and fills the corners with
// Image Rotation Back Color; type 1 turns about the centre and keeps the size.
// Images of 16 bits or fewer, or of more than 32, become 24-bit first.
FIBITMAP* RotateImage(FIBITMAP* image, const TransformSettings& transform);

// Rescales to the target size of the Transform settings; `width` and `height`
// are the image's current size.
FIBITMAP* ResizeImage(FIBITMAP* image, int width, int height, const TransformSettings& transform);

// Mirrors left-right and/or top-bottom, in place.
FIBITMAP* FlipImage(FIBITMAP* image, const TransformSettings& transform);

// Target size along one side: unit 0 takes `value` as pixels, unit 1 as a
// percentage of `current` (halves to the even neighbour); other units give 0.
int TargetSize(int value, int unit, int current);

// The library's rescale filter for a Transform/Image Resize Algorithm value.
FREE_IMAGE_FILTER ResizeFilter(int algorithm);

// "RRGGBB" to red + 256 * green + 65536 * blue; any text that is not six
// characters long gives black, and a pair that is not two hexadecimal digits
// gives 0 ("1G80FF" is 0xFF8000). The one reading of a colour text: the
// frame, the watermark and the preferences dialog go through it.
uint32_t ParseHexColour(const std::string& text);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_GEOMETRY_H_
