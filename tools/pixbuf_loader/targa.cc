#include "tools/pixbuf_loader/targa.h"

namespace pic2jpg::pixbuf_loader {

bool ParseTarga(std::string_view data, long long max_pixels, TargaView* view) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
  TargaForm form;
  if (!ReadTargaHeader(bytes, data.size(), &form)) return false;
  if (static_cast<long long>(form.width) * form.height > max_pixels) return false;
  if (data.size() - kTargaHeaderSize != TargaPixelBytes(form)) return false;
  *view = TargaView{form, bytes + kTargaHeaderSize};
  return true;
}

void CopyRowsTopFirst(const TargaView& view, uint8_t* to, size_t stride) {
  const int width = view.form.width;
  const int height = view.form.height;
  const auto depth = static_cast<size_t>(view.form.depth / 8);
  const size_t row_bytes = static_cast<size_t>(width) * depth;
  for (int y = 0; y < height; ++y) {
    const uint8_t* from = view.pixels + static_cast<size_t>(height - 1 - y) * row_bytes;
    uint8_t* row = to + static_cast<size_t>(y) * stride;
    if (depth == 1) {
      for (int x = 0; x < width; ++x, ++from, row += 3) row[0] = row[1] = row[2] = *from;
      continue;
    }
    for (int x = 0; x < width; ++x, from += depth, row += depth) {
      row[0] = from[2];
      row[1] = from[1];
      row[2] = from[0];
      if (depth == 4) row[3] = from[3];
    }
  }
}

}  // namespace pic2jpg::pixbuf_loader
