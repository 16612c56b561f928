#include "engine/geometry.h"

namespace pic2jpg {

// Pass-through until the transforms are written.
FIBITMAP* RotateImage(FIBITMAP* image) { return image; }
FIBITMAP* ResizeImage(FIBITMAP* image, int, int) { return image; }
FIBITMAP* FlipImage(FIBITMAP* image) { return image; }
uint32_t ParseHexColour(const std::string&) { return 0; }

}  // namespace pic2jpg
