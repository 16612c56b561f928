// The Targa files pict2tga writes (platform/targa_form.h), read back for the
// gdk-pixbuf loader. The file comes from another process, so every field is
// checked against the data and the reader's limits before a pixel is copied.
#ifndef PIC2JPG_TOOLS_PIXBUF_LOADER_TARGA_H_
#define PIC2JPG_TOOLS_PIXBUF_LOADER_TARGA_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/targa_form.h"

namespace pic2jpg::pixbuf_loader {

// A Targa file's form and its pixels where they lie in its data: grey, or
// blue, green, red (and alpha), the bottom row first.
struct TargaView {
  TargaForm form;
  const uint8_t* pixels = nullptr;
};

// False when `data` is not a whole Targa file of that kind with at most
// `max_pixels` pixels.
bool ParseTarga(std::string_view data, long long max_pixels, TargaView* view);

// The bytes a pixel takes in the copy: 4 with alpha, else 3.
inline int CopiedChannels(const TargaView& view) { return view.form.depth == 32 ? 4 : 3; }

// Copies the picture as red, green, blue (and alpha) rows, top first, each
// `stride` bytes apart from the next.
void CopyRowsTopFirst(const TargaView& view, uint8_t* to, size_t stride);

}  // namespace pic2jpg::pixbuf_loader

#endif  // PIC2JPG_TOOLS_PIXBUF_LOADER_TARGA_H_
