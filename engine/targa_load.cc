#include "engine/targa_load.h"

#include <cstddef>
#include <cstdint>

#include "engine/format_tables.h"
#include "platform/targa_form.h"

namespace pic2jpg {
namespace {

constexpr int64_t kMaxFileBytes = int64_t{1} << 40;

int Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

// The form of a file our converter wrote whose pixels can be used as they
// lie: true colour (grey would need a palette), rows a multiple of 4 bytes
// long, and all the pixel data present.
bool UsableInPlace(const fs::ChangeableFile& file, TargaForm* form) {
  if (!ReadTargaHeader(file.data, file.size, form) || form->depth == 8) return false;
  const size_t pitch = static_cast<size_t>(form->width) * static_cast<size_t>(form->depth / 8);
  return pitch % 4 == 0 && file.size - kTargaHeaderSize >= TargaPixelBytes(*form);
}

// Whether `data` holds a whole Targa file (see LoadTarga).
bool TargaDataComplete(const uint8_t* data, size_t size) {
  if (size < kTargaHeaderSize) return false;
  const int id_length = data[0];
  const int colour_map_type = data[1];
  const int image_type = data[2];
  const size_t map_length = static_cast<size_t>(Le16(data + 5));
  const size_t map_entry_bytes = (static_cast<size_t>(data[7]) + 7) / 8;
  const size_t width = static_cast<size_t>(Le16(data + 12));
  const size_t height = static_cast<size_t>(Le16(data + 14));
  const size_t pixel_bytes = (static_cast<size_t>(data[16]) + 7) / 8;
  if (width == 0 || height == 0 || pixel_bytes == 0 || pixel_bytes > 4) return false;
  size_t at = kTargaHeaderSize + static_cast<size_t>(id_length) +
              (colour_map_type == 1 ? map_length * map_entry_bytes : 0);
  const size_t pixels = width * height;
  if (image_type == 1 || image_type == 2 || image_type == 3) {
    return at <= size && (size - at) / pixel_bytes >= pixels;
  }
  if (image_type != 9 && image_type != 10 && image_type != 11) return false;
  size_t seen = 0;
  while (seen < pixels) {
    if (at >= size) return false;
    const uint8_t packet = data[at++];
    const size_t count = static_cast<size_t>(packet & 0x7F) + 1;
    const size_t bytes = (packet & 0x80) != 0 ? pixel_bytes : count * pixel_bytes;
    if (size - at < bytes) return false;
    at += bytes;
    seen += count;
  }
  return true;
}

}  // namespace

FIBITMAP* LoadTarga(const std::string& path, TargaPixels* pixels) {
  ReleaseTargaPixels(pixels);
  if (!fs::MapFileForChanges(path, &pixels->mapping, kMaxFileBytes)) return nullptr;
  if (!TargaDataComplete(pixels->mapping.data, pixels->mapping.size)) {
    ReleaseTargaPixels(pixels);
    return nullptr;
  }
  TargaForm form;
  if (UsableInPlace(pixels->mapping, &form)) {
    const int pitch = form.width * (form.depth / 8);
    FIBITMAP* view = FreeImage_ConvertFromRawBitsEx(
        FALSE, pixels->mapping.data + kTargaHeaderSize, FIT_BITMAP, form.width, form.height, pitch,
        static_cast<unsigned>(form.depth), FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK,
        FALSE);
    if (view != nullptr) return view;
  }
  ReleaseTargaPixels(pixels);
  return FreeImage_Load(static_cast<FREE_IMAGE_FORMAT>(kTargaCodec), path.c_str(), 0);
}

void ReleaseTargaPixels(TargaPixels* pixels) { fs::UnmapFile(&pixels->mapping); }

}  // namespace pic2jpg
