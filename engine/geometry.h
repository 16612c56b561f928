// Rotation, resizing and flipping. Every step takes ownership of the image it
// is given and returns the image to continue with: the same one, or a
// replacement (the original is then released). A null image passes through;
// a failing library call gives null.
#ifndef PIC2JPG_ENGINE_GEOMETRY_H_
#define PIC2JPG_ENGINE_GEOMETRY_H_

#include <FreeImage.h>

#include <cstdint>
#include <string>

namespace pic2jpg {

FIBITMAP* RotateImage(FIBITMAP* image);
FIBITMAP* ResizeImage(FIBITMAP* image, int width, int height);
FIBITMAP* FlipImage(FIBITMAP* image);

// "RRGGBB" to red + 256 * green + 65536 * blue.
uint32_t ParseHexColour(const std::string& text);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_GEOMETRY_H_
