// Ownership of the codec library's bitmaps: a BitmapPtr unloads its bitmap
// when it goes or is reset.
#ifndef PIC2JPG_PLATFORM_BITMAP_PTR_H_
#define PIC2JPG_PLATFORM_BITMAP_PTR_H_

#include <FreeImage.h>

#include <memory>

namespace pic2jpg {

struct BitmapDeleter {
  void operator()(FIBITMAP* bitmap) const {
    if (bitmap != nullptr) FreeImage_Unload(bitmap);
  }
};
using BitmapPtr = std::unique_ptr<FIBITMAP, BitmapDeleter>;

}  // namespace pic2jpg

#endif  // PIC2JPG_PLATFORM_BITMAP_PTR_H_
