// The resize step of the conversion chain: target sizes in pixels or percent,
// proportional sizing by the longer side, and the library's rescale filters.
// Ownership and error rules as in geometry.h.
#include <climits>
#include <cmath>
#include <iterator>

#include "engine/geometry.h"
#include "engine/image_step.h"
#include "settings/settings.h"

namespace pic2jpg {

namespace {

// Nearest integer, halves to the even neighbour, clamped to the int range.
int RoundHalfEven(double value) {
  if (!(value > INT_MIN)) return INT_MIN;
  if (!(value < INT_MAX)) return INT_MAX;
  double below = std::floor(value);
  double fraction = value - below;
  double result = below;
  if (fraction > 0.5) {
    result = below + 1;
  } else if (fraction == 0.5) {
    result = std::fmod(below, 2.0) == 0.0 ? below : below + 1;
  }
  return static_cast<int>(result);
}

// Nearest integer, halves away from zero (the values here are positive).
int RoundHalfUp(double value) {
  double rounded = std::floor(value + 0.5);
  if (rounded > INT_MAX) return INT_MAX;
  return static_cast<int>(rounded);
}

struct Size {
  int width;
  int height;
};

// The size to rescale to. With Keep Aspect Ratio only the target of the
// longer side counts (a square counts as landscape); the other side follows
// the proportions. A side that would round to nothing keeps one pixel, so an
// extreme strip still converts.
Size NewSize(int width, int height, int target_width, int target_height, bool keep_aspect_ratio) {
  if (!keep_aspect_ratio) return {target_width, target_height};
  Size size{};
  if (width >= height) {
    float ratio = static_cast<float>(width) / static_cast<float>(height);
    size.width = target_width;
    size.height = RoundHalfUp(static_cast<double>(target_width) / static_cast<double>(ratio));
  } else {
    float ratio = static_cast<float>(height) / static_cast<float>(width);
    size.height = target_height;
    size.width = RoundHalfUp(static_cast<double>(target_height) / static_cast<double>(ratio));
  }
  if (size.width < 1) size.width = 1;
  if (size.height < 1) size.height = 1;
  return size;
}

}  // namespace

int TargetSize(int value, int unit, int current) {
  if (unit == kUnitPixels) return value;
  if (unit == kUnitPercent) return RoundHalfEven(value / 100.0 * current);
  return 0;
}

FREE_IMAGE_FILTER ResizeFilter(int algorithm) {
  // By the setting's numbers: box, bilinear, B-spline, bicubic, Catmull-Rom,
  // Lanczos; bicubic for any other.
  static constexpr FREE_IMAGE_FILTER kFilters[] = {FILTER_BOX,        FILTER_BILINEAR,
                                                   FILTER_BSPLINE,    FILTER_BICUBIC,
                                                   FILTER_CATMULLROM, FILTER_LANCZOS3};
  if (algorithm < 0 || algorithm >= static_cast<int>(std::size(kFilters))) return FILTER_BICUBIC;
  return kFilters[algorithm];
}

FIBITMAP* ResizeImage(FIBITMAP* image, int width, int height, const TransformSettings& transform) {
  if (image == nullptr) return nullptr;
  if (transform.do_image_resize == 0) return image;
  if (width <= 0 || height <= 0) return image;

  int target_width = TargetSize(transform.image_width, transform.image_width_unit, width);
  int target_height = TargetSize(transform.image_height, transform.image_height_unit, height);
  // Both targets must be usable, even when proportional sizing then uses
  // only one of them.
  if (target_width <= 0 || target_height <= 0) return image;
  if (target_width == width && target_height == height) return image;
  if (transform.image_resize_type == kResizeLargeImagesOnly && width < target_width &&
      height < target_height) {
    return image;
  }

  Size size = NewSize(width, height, target_width, target_height, transform.keep_aspect_ratio != 0);
  // Proportional sizing can land on the current size although the targets
  // differ from it; resampling would then only soften the picture.
  if (size.width == width && size.height == height) return image;
  return ReplaceImage(image, FreeImage_Rescale(image, size.width, size.height,
                                               ResizeFilter(transform.image_resize_algorithm)));
}

}  // namespace pic2jpg
