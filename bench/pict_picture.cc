#include "bench/pict_picture.h"

#include <cstdint>
#include <vector>

#include "pict/pixel_map.h"

namespace pic2jpg::bench {
namespace {

void Put16(std::string* out, int v) {
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
  out->push_back(static_cast<char>(v & 0xFF));
}

void Put32(std::string* out, uint32_t v) {
  Put16(out, static_cast<int>(v >> 16));
  Put16(out, static_cast<int>(v & 0xFFFF));
}

void PutRect(std::string* out, int top, int left, int bottom, int right) {
  Put16(out, top);
  Put16(out, left);
  Put16(out, bottom);
  Put16(out, right);
}

}  // namespace

std::string MakePictFile(int width, int height) {
  std::string out(512, '\0');
  Put16(&out, 0);
  PutRect(&out, 0, 0, height, width);
  Put16(&out, 0x0011);
  Put16(&out, 0x02FF);
  Put16(&out, 0x0C00);
  Put16(&out, 0xFFFE);
  Put16(&out, 0);
  Put32(&out, 72u << 16);
  Put32(&out, 72u << 16);
  PutRect(&out, 0, 0, height, width);
  Put32(&out, 0);
  Put16(&out, 0x0001);  // clip
  Put16(&out, 10);
  PutRect(&out, 0, 0, height, width);
  Put16(&out, 0x009A);  // DirectBitsRect
  Put32(&out, 0xFF);
  int row_bytes = width * 4;
  Put16(&out, 0x8000 | (row_bytes & 0x3FFF));
  PutRect(&out, 0, 0, height, width);
  Put16(&out, 0);  // pmVersion
  Put16(&out, 4);  // packType: component planes
  Put32(&out, 0);
  Put32(&out, 72u << 16);
  Put32(&out, 72u << 16);
  Put16(&out, 16);  // direct
  Put16(&out, 32);
  Put16(&out, 3);
  Put16(&out, 8);
  Put32(&out, 0);
  Put32(&out, 0);
  Put32(&out, 0);
  PutRect(&out, 0, 0, height, width);
  PutRect(&out, 0, 0, height, width);
  Put16(&out, 0);  // srcCopy
  std::vector<uint8_t> planes(static_cast<size_t>(width) * 3);
  std::vector<uint8_t> packed(pic2jpg::pict::PackBitsBound(planes.size()));
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      int grain = static_cast<int>((noise >> 16) & 7);
      planes[static_cast<size_t>(x)] = static_cast<uint8_t>(x * 255 / width);
      planes[static_cast<size_t>(width + x)] = static_cast<uint8_t>(y * 255 / height + grain);
      planes[static_cast<size_t>(2 * width + x)] =
          static_cast<uint8_t>(((x / 7) ^ (y / 5)) + grain);
    }
    size_t n = pic2jpg::pict::PackBits(planes.data(), planes.size(), packed.data());
    if (row_bytes > 250) {
      Put16(&out, static_cast<int>(n));
    } else {
      out.push_back(static_cast<char>(n));
    }
    out.append(reinterpret_cast<const char*>(packed.data()), n);
  }
  if (out.size() % 2) out.push_back('\0');
  Put16(&out, 0x00FF);
  return out;
}

}  // namespace pic2jpg::bench
