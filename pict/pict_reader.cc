// DecodePict: finds the header, chooses the output size and resolution,
// allocates the canvas within the limits and plays the opcodes.
#include "pict/pict_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "pict/decoder.h"

namespace pic2jpg::pict {
namespace {

struct Geometry {
  QdRect space;  // picture coordinates covered by the canvas
  double scale_x = 1;
  double scale_y = 1;
  long long width = 0;
  long long height = 0;
};

bool WithinLimits(long long width, long long height, const DecodeOptions& options) {
  return width <= options.max_side && height <= options.max_side &&
         width * height <= options.max_pixels;
}

bool Near(double value, double expected) {
  return std::fabs(value - expected) <= std::max(3.0, expected * 0.02);
}

// An extended header gives the resolution the picture was drawn at and the
// source rectangle: the drawing's coordinates are those of that rectangle,
// which DrawPicture maps onto the frame (the size at 72 dpi). A source
// rectangle the size of the frame at the header's resolution is the
// picture at that resolution, and is drawn one to one (the output takes its
// size) unless that is over the limits; any other is scaled onto the frame,
// wherever it lies (some writers fill in a resolution without drawing at
// it, or place the drawing far from the origin). True when the geometry is
// settled; false leaves the bitmaps to choose a resolution.
bool FromExtendedHeader(const PictHeader& header, const DecodeOptions& options, Geometry* g) {
  if (!header.extended || header.source_rect.Empty()) return false;
  const QdRect& source = header.source_rect;
  const QdRect& frame = header.frame;
  g->space = source;
  if (source.Width() == frame.Width() && source.Height() == frame.Height()) return false;
  double expected_w = frame.Width() * header.h_res / 72.0;
  double expected_h = frame.Height() * header.v_res / 72.0;
  if (Near(source.Width(), expected_w) && Near(source.Height(), expected_h) &&
      WithinLimits(source.Width(), source.Height(), options)) {
    return true;
  }
  g->scale_x = static_cast<double>(frame.Width()) / source.Width();
  g->scale_y = static_cast<double>(frame.Height()) / source.Height();
  return true;
}

// Pictures drawn at 72 dpi may still hold their bitmaps at a higher
// resolution, scaled down into the frame. When every bitmap is such a one,
// at the same resolution, the picture is drawn at that resolution instead.
void FromBitmaps(const uint8_t* data, size_t size, const PictHeader& header,
                 const DecodeOptions& options, Geometry* g) {
  Decoder scan;
  scan.options = options;
  scan.in = MakeReader(data, size);
  scan.header = header;
  scan.scanning = true;
  // The scan stops early (failing) at the first bitmap at 72 dpi.
  if (!PlayOpcodes(&scan) || scan.bits_seen.empty()) return;
  double h_res = scan.bits_seen[0].h_res;
  double v_res = scan.bits_seen[0].v_res;
  if (h_res < 73 && v_res < 73) return;
  for (const BitsSeen& b : scan.bits_seen) {
    if (std::fabs(b.h_res - h_res) > 0.5 || std::fabs(b.v_res - v_res) > 0.5) return;
    if (!Near(b.src.Width(), b.dst.Width() * h_res / 72.0) ||
        !Near(b.src.Height(), b.dst.Height() * v_res / 72.0)) {
      return;
    }
  }
  double scale_x = h_res / 72.0;
  double scale_y = v_res / 72.0;
  long long width = std::llround(g->space.Width() * scale_x);
  long long height = std::llround(g->space.Height() * scale_y);
  if (!WithinLimits(width, height, options)) return;  // the picture at 72 dpi still fits
  g->scale_x = scale_x;
  g->scale_y = scale_y;
}

Geometry ChooseGeometry(const uint8_t* data, size_t size, const PictHeader& header,
                        const DecodeOptions& options) {
  Geometry g;
  g.space = header.frame;
  // The scan for bitmaps at a higher resolution can only make the picture
  // larger: a frame over the limits is not scanned.
  if (!FromExtendedHeader(header, options, &g) &&
      WithinLimits(g.space.Width(), g.space.Height(), options)) {
    FromBitmaps(data, size, header, options, &g);
  }
  g.width = std::llround(g.space.Width() * g.scale_x);
  g.height = std::llround(g.space.Height() * g.scale_y);
  return g;
}

DecodeResult Result(DecodeStatus status, std::string message) {
  DecodeResult result;
  result.status = status;
  result.message = std::move(message);
  return result;
}

}  // namespace

const char* StatusName(DecodeStatus status) {
  switch (status) {
    case DecodeStatus::kOk:
      return "ok";
    case DecodeStatus::kNotPict:
      return "not a PICT picture";
    case DecodeStatus::kTruncated:
      return "truncated";
    case DecodeStatus::kMalformed:
      return "malformed";
    case DecodeStatus::kTooLarge:
      return "too large";
    case DecodeStatus::kNoMemory:
      return "out of memory";
    case DecodeStatus::kTooComplex:
      return "too complex";
    case DecodeStatus::kUnsupported:
      return "unsupported";
  }
  return "unknown";
}

DecodeResult ReadPictInfo(const uint8_t* data, size_t size, PictInfo* info) {
  *info = PictInfo{};
  PictHeader header;
  if (data == nullptr || !ReadPictHeader(data, size, &header)) {
    return Result(DecodeStatus::kNotPict, "no PICT header at offset 0 or 512");
  }
  Geometry g = ChooseGeometry(data, size, header, DecodeOptions{});
  info->version = header.version;
  info->has_preamble = header.start != 0;
  info->extended = header.extended;
  info->h_res = header.h_res;
  info->v_res = header.v_res;
  info->width = static_cast<int>(g.width);
  info->height = static_cast<int>(g.height);
  return DecodeResult{};
}

bool StartsWithPictHeader(const uint8_t* data, size_t size) {
  PictHeader header;
  return data != nullptr && ReadPictHeader(data, size, &header);
}

DecodeResult PrepareDecoder(const uint8_t* data, size_t size, const DecodeOptions& options,
                            Decoder* d, int* width, int* height) {
  d->options = options;
  d->in = MakeReader(data, size);
  if (size > options.max_input_bytes) {
    return Result(DecodeStatus::kTooLarge,
                  "input file over " + std::to_string(options.max_input_bytes >> 20) + " MiB");
  }
  if (data == nullptr || !ReadPictHeader(data, size, &d->header)) {
    return Result(DecodeStatus::kNotPict, "no PICT header at offset 0 or 512");
  }
  Geometry g = ChooseGeometry(data, size, d->header, options);
  if (g.width <= 0 || g.height <= 0) {
    return Result(DecodeStatus::kMalformed, "the picture frame is empty");
  }
  if (!WithinLimits(g.width, g.height, options)) {
    char text[96];
    std::snprintf(text, sizeof text, "picture too large: %lld x %lld", g.width, g.height);
    return Result(DecodeStatus::kTooLarge, text);
  }
  d->canvas.origin_x = g.space.left;
  d->canvas.origin_y = g.space.top;
  d->canvas.scale_x = g.scale_x;
  d->canvas.scale_y = g.scale_y;
  d->canvas.work_budget = kWorkPerPixel * g.width * g.height + kWorkFloor;
  *width = static_cast<int>(g.width);
  *height = static_cast<int>(g.height);
  return DecodeResult{};
}

DecodeResult DecodePict(const uint8_t* data, size_t size, Picture* picture,
                        const DecodeOptions& options) {
  *picture = Picture{};
  try {
    Decoder d;
    int width = 0;
    int height = 0;
    DecodeResult prepared = PrepareDecoder(data, size, options, &d, &width, &height);
    if (!prepared.ok()) return prepared;
    if (!AllocateCanvas(&d.canvas, width, height)) {
      return Result(DecodeStatus::kNoMemory, "no memory for the picture");
    }
    if (!PlayOpcodes(&d)) return Result(d.status, d.message);

    picture->width = d.canvas.width;
    picture->height = d.canvas.height;
    picture->pixels = std::move(d.canvas.pixels);
    const uint8_t* p = picture->pixels.data();
    size_t bytes = picture->pixels.size();
    bool transparent = false;
    if (d.transparent_image_drawn) {
      for (size_t i = 3; i < bytes && !transparent; i += 4) transparent = p[i] != 255;
    }
    picture->has_alpha = transparent;
    return DecodeResult{};
  } catch (const std::bad_alloc&) {
    *picture = Picture{};
    return Result(DecodeStatus::kNoMemory, "out of memory while drawing");
  }
}

}  // namespace pic2jpg::pict
