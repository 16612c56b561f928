// Rotation and mirroring steps of the conversion chain. Ownership and error
// rules as in geometry.h: a replaced image is released at once, a failing
// library call ends the chain's image as null.
#include "engine/geometry.h"
#include "engine/image_step.h"
#include "settings/settings.h"

namespace pic2jpg {

namespace {

// The library rotates by angles of more than 45 degrees in two stages: an
// exact quarter turn into a copy of the picture, then a three-shear rotation
// by the remaining angle of at most 45 degrees. Calling it directly would
// keep the given picture, that copy and the result alive together; doing the
// quarter turn here lets the given picture go before the shears start.
// Returns the quarter turns (0..3, counter-clockwise as the library counts
// them) the library would take first for `angle`.
int QuarterTurnsFirst(int angle) {
  // The library works on the negated angle brought into 0..359.
  int normalised = ((-angle) % 360 + 360) % 360;
  if (normalised > 45 && normalised <= 135) return 1;
  if (normalised > 135 && normalised <= 225) return 2;
  if (normalised > 225 && normalised <= 315) return 3;
  return 0;
}

// Rotates by `angle` degrees on a canvas large enough for the whole picture,
// filling the uncovered corners with `back` (blue, green, red, 0).
FIBITMAP* RotateWithCanvas(FIBITMAP* image, int angle, const RGBQUAD& back) {
  int turns = QuarterTurnsFirst(angle);
  if (turns != 0) {
    // A library angle of 360 - 90 * turns gives exactly `turns` quarter
    // turns and nothing else.
    int quarter_angle = 360 - 90 * turns;
    image = ReplaceImage(image, FreeImage_Rotate(image, quarter_angle, &back));
    if (image == nullptr) return nullptr;
    angle -= quarter_angle;
    if (angle == 0) return image;
  }
  return ReplaceImage(image, FreeImage_Rotate(image, angle, &back));
}

// Rotates about the image centre with no shift; the size stays.
FIBITMAP* RotateAboutCentre(FIBITMAP* image, int angle) {
  double centre_x = FreeImage_GetWidth(image) / 2.0;
  double centre_y = FreeImage_GetHeight(image) / 2.0;
  return ReplaceImage(image, FreeImage_RotateEx(image, angle, 0.0, 0.0, centre_x, centre_y, FALSE));
}

}  // namespace

FIBITMAP* RotateImage(FIBITMAP* image, const TransformSettings& transform) {
  if (image == nullptr) return nullptr;
  int angle = transform.image_rotation;
  if (transform.do_image_rotation == 0 || angle <= 0 || angle >= 360) return image;
  int type = transform.image_rotation_type;
  // An unknown rotation type rotates nothing, so it changes nothing either.
  if (type != kRotateWithCanvas && type != kRotateAboutCentre) return image;

  // The library rotates 24- and 32-bit pictures in colour; palette and
  // high-precision pictures are brought to 24 bits first.
  unsigned bpp = FreeImage_GetBPP(image);
  if (bpp <= 16 || bpp > 32 || IsSpecialImageType(image)) {
    image = ReplaceWithTrueColour(image);
    if (image == nullptr) return nullptr;
  }

  if (type == kRotateAboutCentre) return RotateAboutCentre(image, angle);
  uint32_t colour = ParseHexColour(transform.image_rotation_back_color);
  RGBQUAD back{};
  back.rgbRed = static_cast<BYTE>(colour & 0xFF);
  back.rgbGreen = static_cast<BYTE>((colour >> 8) & 0xFF);
  back.rgbBlue = static_cast<BYTE>((colour >> 16) & 0xFF);
  back.rgbReserved = 0;
  return RotateWithCanvas(image, angle, back);
}

FIBITMAP* FlipImage(FIBITMAP* image, const TransformSettings& transform) {
  if (image == nullptr) return nullptr;
  if (transform.do_image_flip_horizontal != 0 && !FreeImage_FlipHorizontal(image)) {
    return ReplaceImage(image, nullptr);
  }
  if (transform.do_image_flip_vertical != 0 && !FreeImage_FlipVertical(image)) {
    return ReplaceImage(image, nullptr);
  }
  return image;
}

}  // namespace pic2jpg
