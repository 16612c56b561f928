#include "engine/watermark.h"

namespace pic2jpg {

// Pass-through until watermarks are drawn.
FIBITMAP* DrawWatermark(FIBITMAP* image, int, int) { return image; }
bool CreateWatermarkFont() { return true; }
void ReleaseWatermarkFont() {}
bool WatermarkFontExists() { return false; }

}  // namespace pic2jpg
