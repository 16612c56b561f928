#include "engine/tone.h"

namespace pic2jpg {

// Pass-through until the adjustments are written.
FIBITMAP* CorrectColors(FIBITMAP* image) { return image; }
FIBITMAP* MakeGreyscale(FIBITMAP* image) { return image; }
FIBITMAP* ApplyThreshold(FIBITMAP* image) { return image; }

}  // namespace pic2jpg
