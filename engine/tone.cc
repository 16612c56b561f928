// The tone steps of the conversion chain: colour correction, greyscale and
// black and white, driven by the Adjustment settings. Ownership and error
// rules as in tone.h: a replaced image is released at once, a failing
// library conversion ends the chain's image as null.
#include "engine/tone.h"

#include "engine/image_step.h"
#include "settings/settings.h"

namespace pic2jpg {

namespace {

// The library adjusts colours of 8-, 24- and 32-bit bitmaps only; anything
// else (1, 4 and 16 bits, 16 bits per channel, floating point) would be left
// untouched without a word, so it is brought to 24 bits first.
bool AdjustableDepth(FIBITMAP* image) {
  unsigned bpp = FreeImage_GetBPP(image);
  return !IsSpecialImageType(image) && (bpp == 8 || bpp == 24 || bpp == 32);
}

// Greyscale and threshold read bitmaps of up to 32 bits; deeper pictures are
// brought to 24 bits first.
FIBITMAP* LimitToTrueColour(FIBITMAP* image) {
  if (FreeImage_GetBPP(image) > 32 || IsSpecialImageType(image)) {
    return ReplaceWithTrueColour(image);
  }
  return image;
}

}  // namespace

FIBITMAP* CorrectColors(FIBITMAP* image, const AdjustmentSettings& adjustment) {
  if (image == nullptr) return nullptr;
  if (adjustment.do_image_color_correction == 0) return image;
  if (!AdjustableDepth(image)) {
    image = ReplaceWithTrueColour(image);
    if (image == nullptr) return nullptr;
  }
  // The library reports false when every value is neutral and there is
  // nothing to do, so its answer is not a failure signal.
  FreeImage_AdjustColors(image, adjustment.image_brightness, adjustment.image_contrast,
                         adjustment.image_gamma, adjustment.image_invert != 0 ? TRUE : FALSE);
  return image;
}

FIBITMAP* MakeGreyscale(FIBITMAP* image, const AdjustmentSettings& adjustment) {
  if (image == nullptr) return nullptr;
  if (adjustment.do_image_greyscale == 0) return image;
  image = LimitToTrueColour(image);
  if (image == nullptr) return nullptr;
  return ReplaceImage(image, FreeImage_ConvertToGreyscale(image));
}

FIBITMAP* ApplyThreshold(FIBITMAP* image, const AdjustmentSettings& adjustment) {
  if (image == nullptr) return nullptr;
  if (adjustment.do_image_threshold == 0) return image;
  image = LimitToTrueColour(image);
  if (image == nullptr) return nullptr;
  // The level is handed over as one byte.
  BYTE level = static_cast<BYTE>(adjustment.image_threshold & 0xFF);
  return ReplaceImage(image, FreeImage_Threshold(image, level));
}

}  // namespace pic2jpg
