// The Targa files pict2tga writes (platform/targa_form.h), read back for the
// gdk-pixbuf loader. The file comes from another process, so every field is
// checked against the data and the reader's limits before a pixel is copied.
#ifndef PIC2JPG_TOOLS_PIXBUF_LOADER_TARGA_H_
#define PIC2JPG_TOOLS_PIXBUF_LOADER_TARGA_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pic2jpg::pixbuf_loader {

// A Targa file's pixels where they lie in its data.
struct TargaView {
  int width = 0;
  int height = 0;
  int bytes_per_pixel = 0;          // 3 (blue, green, red) or 4 (and alpha)
  const uint8_t* pixels = nullptr;  // the bottom row first
};

// False when `data` is not a whole Targa file of that kind with at most
// `max_pixels` pixels.
bool ParseTarga(std::string_view data, long long max_pixels, TargaView* view);

// The bytes a pixel takes in the copy: 4 with alpha, else 3.
inline int CopiedChannels(const TargaView& view) { return view.bytes_per_pixel == 4 ? 4 : 3; }

// Copies the picture as red, green, blue (and alpha) rows, top first, each
// `stride` bytes apart from the next.
void CopyRowsTopFirst(const TargaView& view, uint8_t* to, size_t stride);

}  // namespace pic2jpg::pixbuf_loader

#endif  // PIC2JPG_TOOLS_PIXBUF_LOADER_TARGA_H_
