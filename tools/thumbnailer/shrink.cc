#include "tools/thumbnailer/shrink.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace pic2jpg {

void ThumbnailSize(int width, int height, int size, int* thumb_width, int* thumb_height) {
  if (width <= size && height <= size) {
    *thumb_width = width;
    *thumb_height = height;
    return;
  }
  const double scale = static_cast<double>(size) / std::max(width, height);
  *thumb_width = std::clamp(static_cast<int>(std::lround(width * scale)), 1, size);
  *thumb_height = std::clamp(static_cast<int>(std::lround(height * scale)), 1, size);
}

pict::Picture Shrink(const pict::Picture& picture, int size) {
  pict::Picture thumbnail;
  thumbnail.has_alpha = picture.has_alpha;
  ThumbnailSize(picture.width, picture.height, size, &thumbnail.width, &thumbnail.height);
  const auto from_width = static_cast<size_t>(picture.width);
  const auto to_width = static_cast<size_t>(thumbnail.width);
  thumbnail.pixels.resize(to_width * static_cast<size_t>(thumbnail.height) * 4);
  // The thumbnail column each picture column falls into.
  std::vector<size_t> column(from_width);
  std::vector<uint32_t> count(to_width, 0);
  for (size_t x = 0; x < from_width; ++x) {
    column[x] = x * to_width / from_width;
    ++count[column[x]];
  }
  std::vector<uint64_t> sums(to_width * 4);
  int from_y = 0;
  for (int y = 0; y < thumbnail.height; ++y) {
    // Picture rows [from_y, end_y) make thumbnail row y.
    const int end_y =
        static_cast<int>(static_cast<long long>(y + 1) * picture.height / thumbnail.height);
    std::fill(sums.begin(), sums.end(), 0);
    for (int row = from_y; row < end_y; ++row) {
      const uint8_t* p = picture.pixels.data() + static_cast<size_t>(row) * from_width * 4;
      for (size_t x = 0; x < from_width; ++x, p += 4) {
        uint64_t* sum = &sums[column[x] * 4];
        sum[0] += p[0];
        sum[1] += p[1];
        sum[2] += p[2];
        sum[3] += p[3];
      }
    }
    const uint64_t rows = static_cast<uint64_t>(end_y - from_y);
    uint8_t* to = thumbnail.pixels.data() + static_cast<size_t>(y) * to_width * 4;
    for (size_t x = 0; x < to_width; ++x) {
      const uint64_t n = rows * count[x];
      for (int c = 0; c < 4; ++c) {
        to[x * 4 + static_cast<size_t>(c)] =
            static_cast<uint8_t>((sums[x * 4 + static_cast<size_t>(c)] + n / 2) / n);
      }
    }
    from_y = end_y;
  }
  return thumbnail;
}

}  // namespace pic2jpg
