#include "engine/watermark.h"

#include <cstdint>

#include "engine/frame.h"
#include "platform/bitmap_ptr.h"
#include "settings/settings.h"

namespace pic2jpg {

namespace {

// The settings of one kind of mark (text or image). Geometry is worked out
// in 64 bits: offsets and band widths are whatever the settings hold.
struct MarkSettings {
  int boundary = 0;
  int position = 0;
  int64_t x_offset = 0;
  int64_t y_offset = 0;
  int rotation = 0;
};

MarkSettings SettingsOfMark(const WatermarkSettings& wm) {
  const MarkPlacement& place = wm.kind == WatermarkKind::kText ? wm.text_place : wm.image_place;
  return {place.boundary, place.position, place.x_offset, place.y_offset, place.rotation};
}

struct Spot {
  int64_t x = 0;
  int64_t y = 0;
};

// Anchor positions 0..8 read like a keypad from the top left; the offsets
// count from the anchoring edges, centred axes ignore them. Halves truncate
// toward zero.
Spot PlaceMark(int position, int64_t area_width, int64_t area_height, int64_t mark_width,
               int64_t mark_height, int64_t x_offset, int64_t y_offset) {
  if (position < 0 || position > 8) return {0, 0};
  const int column = position % 3, row = position / 3;
  Spot spot;
  spot.x = column == 0   ? x_offset
           : column == 1 ? (area_width - mark_width) / 2
                         : area_width - mark_width - x_offset;
  spot.y = row == 0   ? y_offset
           : row == 1 ? (area_height - mark_height) / 2
                      : area_height - mark_height - y_offset;
  return spot;
}

// Owns one bitmap of the codec library.

}  // namespace

FIBITMAP* DrawWatermark(FIBITMAP* image, const WatermarkJob& job) {
  if (image == nullptr || job.mark == nullptr || job.mark->kind == WatermarkKind::kNone)
    return image;
  const WatermarkSettings& wm = *job.mark;
  image = ConvertTo24BitsOwned(image);
  if (image == nullptr) return nullptr;

  BitmapPtr mark;
  {
    platform::CanvasPtr rendered = wm.kind == WatermarkKind::kText    ? RenderTextMark(job)
                                   : wm.kind == WatermarkKind::kImage ? RenderImageMark(job)
                                                                      : nullptr;
    if (rendered == nullptr) return image;
    mark.reset(CanvasToBitmap(*rendered));
  }
  if (mark.get() == nullptr) return image;
  const MarkSettings ms = SettingsOfMark(wm);

  if (ms.rotation > 0 && ms.rotation < 360) {
    mark.reset(FreeImage_Rotate(mark.get(), ms.rotation, nullptr));
    if (mark.get() == nullptr) return image;
  }

  // The picture's own size: the composite refuses a layer of any other.
  const int64_t width = FreeImage_GetWidth(image);
  const int64_t height = FreeImage_GetHeight(image);
  const FrameSettings no_frame;
  const FrameSettings& frame = job.frame != nullptr ? *job.frame : no_frame;
  const bool inside_frame = frame.do_frame == 1 && ms.boundary == 1;
  int64_t area_width = width, area_height = height;
  if (inside_frame) {
    area_width = width - frame.solid_left - frame.solid_right;
    area_height = height - frame.solid_top - frame.solid_bottom;
  }

  // A mark that does not fit beside its offsets keeps its top left part.
  int64_t mark_width = FreeImage_GetWidth(mark.get());
  int64_t mark_height = FreeImage_GetHeight(mark.get());
  bool cut = false;
  if (mark_width + ms.x_offset > area_width) {
    mark_width = area_width - ms.x_offset;
    cut = true;
  }
  if (mark_height + ms.y_offset > area_height) {
    mark_height = area_height - ms.y_offset;
    cut = true;
  }
  if (cut) {
    if (mark_width <= 0 || mark_height <= 0) return image;
    mark.reset(FreeImage_Copy(mark.get(), 0, 0, static_cast<int>(mark_width),
                              static_cast<int>(mark_height)));
    if (mark.get() == nullptr) return image;
  }

  Spot spot = PlaceMark(ms.position, area_width, area_height, mark_width, mark_height, ms.x_offset,
                        ms.y_offset);
  if (inside_frame) {
    spot.x += frame.solid_left;
    spot.y += frame.solid_top;
  }

  // A mark that does not lie wholly inside the picture is not pasted (the
  // library would refuse it too): the picture stays unmarked.
  if (spot.x < 0 || spot.y < 0 || spot.x + mark_width > width || spot.y + mark_height > height) {
    return image;
  }
  BitmapPtr layer(
      FreeImage_AllocateT(FIT_BITMAP, static_cast<int>(width), static_cast<int>(height), 32));
  if (layer.get() == nullptr) return image;
  // A plain copy (alpha above 255): blending at 255 would lose a step of
  // every channel.
  if (!FreeImage_Paste(layer.get(), mark.get(), static_cast<int>(spot.x), static_cast<int>(spot.y),
                       256)) {
    return image;
  }
  return CompositeOver(image, layer.get());
}

}  // namespace pic2jpg
