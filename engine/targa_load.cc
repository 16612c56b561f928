#include "engine/targa_load.h"

#include <cstddef>
#include <cstdint>

#include "engine/format_tables.h"

namespace pic2jpg {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr int64_t kMaxFileBytes = int64_t{1} << 40;

int Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

// The view's geometry when the file is a Targa whose pixels can be used as
// they lie: no image id, no colour map, uncompressed true colour, 24 bits
// (no alpha bits) or 32 bits (8 alpha bits), origin bottom left, rows a
// multiple of 4 bytes long, and all the pixel data present.
bool UsableInPlace(const fs::ChangeableFile& file, int* width, int* height, int* bpp) {
  if (file.size < kHeaderSize) return false;
  const uint8_t* h = file.data;
  const int id_length = h[0];
  const int colour_map_type = h[1];
  const int image_type = h[2];
  const int depth = h[16];
  const int descriptor = h[17];
  const int alpha_bits = descriptor & 0x0F;
  const int origin = descriptor & 0x30;
  if (id_length != 0 || colour_map_type != 0 || image_type != 2 || origin != 0) return false;
  if (!(depth == 24 && alpha_bits == 0) && !(depth == 32 && alpha_bits == 8)) return false;
  *width = Le16(h + 12);
  *height = Le16(h + 14);
  *bpp = depth;
  if (*width == 0 || *height == 0) return false;
  const size_t pitch = static_cast<size_t>(*width) * static_cast<size_t>(depth / 8);
  if (pitch % 4 != 0) return false;
  return file.size - kHeaderSize >= pitch * static_cast<size_t>(*height);
}

// Whether `data` holds a whole Targa file (see LoadTarga).
bool TargaDataComplete(const uint8_t* data, size_t size) {
  if (size < kHeaderSize) return false;
  const int id_length = data[0];
  const int colour_map_type = data[1];
  const int image_type = data[2];
  const size_t map_length = static_cast<size_t>(Le16(data + 5));
  const size_t map_entry_bytes = (static_cast<size_t>(data[7]) + 7) / 8;
  const size_t width = static_cast<size_t>(Le16(data + 12));
  const size_t height = static_cast<size_t>(Le16(data + 14));
  const size_t pixel_bytes = (static_cast<size_t>(data[16]) + 7) / 8;
  if (width == 0 || height == 0 || pixel_bytes == 0 || pixel_bytes > 4) return false;
  size_t at = kHeaderSize + static_cast<size_t>(id_length) +
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
  int width = 0, height = 0, bpp = 0;
  if (UsableInPlace(pixels->mapping, &width, &height, &bpp)) {
    const int pitch = width * (bpp / 8);
    FIBITMAP* view = FreeImage_ConvertFromRawBitsEx(
        FALSE, pixels->mapping.data + kHeaderSize, FIT_BITMAP, width, height, pitch,
        static_cast<unsigned>(bpp), FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK, FALSE);
    if (view != nullptr) return view;
  }
  ReleaseTargaPixels(pixels);
  return FreeImage_Load(static_cast<FREE_IMAGE_FORMAT>(kTargaCodec), path.c_str(), 0);
}

void ReleaseTargaPixels(TargaPixels* pixels) { fs::UnmapFile(&pixels->mapping); }

}  // namespace pic2jpg
