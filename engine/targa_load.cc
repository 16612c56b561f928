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

}  // namespace

FIBITMAP* LoadTarga(const std::string& path, TargaPixels* pixels) {
  ReleaseTargaPixels(pixels);
  int width = 0, height = 0, bpp = 0;
  if (fs::MapFileForChanges(path, &pixels->mapping, kMaxFileBytes) &&
      UsableInPlace(pixels->mapping, &width, &height, &bpp)) {
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
