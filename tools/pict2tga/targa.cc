#include "tools/pict2tga/targa.h"

#include <cstring>
#include <utility>

namespace pic2jpg {
namespace {

constexpr int kMaxSide = 65535;
constexpr uint8_t kTrueColour = 2;

void PutLe16(uint8_t* p, int value) {
  p[0] = static_cast<uint8_t>(value & 0xFF);
  p[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

std::vector<uint8_t> TakeTargaFile(pict::Picture* picture) {
  std::vector<uint8_t> file = std::move(picture->pixels);
  picture->pixels = {};
  const int width = picture->width;
  const int height = picture->height;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      file.size() != pixels * 4) {
    return {};
  }
  const size_t depth = picture->has_alpha ? 4 : 3;
  const size_t row = static_cast<size_t>(width) * depth;
  uint8_t* p = file.data();

  // Drop the alpha bytes of an opaque picture, walking forward: each pixel
  // moves to a lower or equal position.
  if (depth == 3) {
    for (size_t i = 0; i < pixels; ++i) {
      p[3 * i] = p[4 * i];
      p[3 * i + 1] = p[4 * i + 1];
      p[3 * i + 2] = p[4 * i + 2];
    }
  }
  // Bottom row first.
  std::vector<uint8_t> swap(row);
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    uint8_t* a = p + static_cast<size_t>(top) * row;
    uint8_t* b = p + static_cast<size_t>(bottom) * row;
    std::memcpy(swap.data(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, swap.data(), row);
  }
  // Make room for the header; the buffer has spare capacity for it.
  const size_t data_size = pixels * depth;
  file.resize(data_size + kTargaHeaderSize);
  p = file.data();
  std::memmove(p + kTargaHeaderSize, p, data_size);
  uint8_t* h = p;
  std::memset(h, 0, kTargaHeaderSize);
  h[2] = kTrueColour;
  PutLe16(h + 12, width);
  PutLe16(h + 14, height);
  h[16] = static_cast<uint8_t>(depth * 8);
  h[17] = static_cast<uint8_t>(depth == 4 ? 8 : 0);  // alpha bits; origin bottom left
  return file;
}

}  // namespace pic2jpg
