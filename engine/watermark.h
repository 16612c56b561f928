// Text and image watermarks. Ownership rules as in geometry.h.
#ifndef PIC2JPG_ENGINE_WATERMARK_H_
#define PIC2JPG_ENGINE_WATERMARK_H_

#include <FreeImage.h>

namespace pic2jpg {

FIBITMAP* DrawWatermark(FIBITMAP* image, int width, int height);

// The font of a text-watermark run, from Watermark/Font, Font Size, Font Style
// and Font Effect. Created before the run; false when it cannot be had.
bool CreateWatermarkFont();
void ReleaseWatermarkFont();
bool WatermarkFontExists();

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_WATERMARK_H_
