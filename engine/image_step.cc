#include "engine/image_step.h"

namespace pic2jpg {

FIBITMAP* ReplaceImage(FIBITMAP* image, FIBITMAP* replacement) {
  if (image != nullptr && image != replacement) FreeImage_Unload(image);
  return replacement;
}

FIBITMAP* ReplaceWithTrueColour(FIBITMAP* image) {
  if (image == nullptr) return nullptr;
  return ReplaceImage(image, FreeImage_ConvertTo24Bits(image));
}

bool IsSpecialImageType(FIBITMAP* image) { return FreeImage_GetImageType(image) != FIT_BITMAP; }

}  // namespace pic2jpg
