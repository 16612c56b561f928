#include "tools/pixbuf_loader/targa.h"

namespace pic2jpg::pixbuf_loader {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kTrueColour = 2;
constexpr uint8_t kGrey = 3;

int Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

}  // namespace

bool ParseTarga(std::string_view data, long long max_pixels, TargaView* view) {
  if (data.size() < kHeaderSize) return false;
  const auto* header = reinterpret_cast<const uint8_t*>(data.data());
  // No image id, no colour map, uncompressed true colour or grey.
  if (header[0] != 0 || header[1] != 0) return false;
  if (header[2] != kTrueColour && header[2] != kGrey) return false;
  const int width = Le16(header + 12);
  const int height = Le16(header + 14);
  const int bits = header[16];
  const int alpha_bits = header[17] & 0x0F;
  const bool top_first = (header[17] & 0x20) != 0;
  if (width <= 0 || height <= 0 || top_first) return false;
  const bool fits = header[2] == kGrey
                        ? bits == 8 && alpha_bits == 0
                        : (bits == 24 && alpha_bits == 0) || (bits == 32 && alpha_bits == 8);
  if (!fits) return false;
  const long long pixels = static_cast<long long>(width) * height;
  if (pixels > max_pixels) return false;
  const size_t bytes = static_cast<size_t>(pixels) * static_cast<size_t>(bits / 8);
  if (data.size() - kHeaderSize != bytes) return false;
  view->width = width;
  view->height = height;
  view->bytes_per_pixel = bits / 8;
  view->pixels = header + kHeaderSize;
  return true;
}

void CopyRowsTopFirst(const TargaView& view, uint8_t* to, size_t stride) {
  const size_t depth = static_cast<size_t>(view.bytes_per_pixel);
  const size_t row_bytes = static_cast<size_t>(view.width) * depth;
  for (int y = 0; y < view.height; ++y) {
    const uint8_t* from = view.pixels + static_cast<size_t>(view.height - 1 - y) * row_bytes;
    uint8_t* row = to + static_cast<size_t>(y) * stride;
    if (depth == 1) {
      for (int x = 0; x < view.width; ++x, ++from, row += 3) row[0] = row[1] = row[2] = *from;
      continue;
    }
    for (int x = 0; x < view.width; ++x, from += depth, row += depth) {
      row[0] = from[2];
      row[1] = from[1];
      row[2] = from[0];
      if (depth == 4) row[3] = from[3];
    }
  }
}

}  // namespace pic2jpg::pixbuf_loader
