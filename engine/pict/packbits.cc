#include "engine/pict/packbits.h"

#include <algorithm>
#include <cstring>

namespace pic2jpg::pict {

size_t UnpackBits(const uint8_t* in, size_t in_size, uint8_t* out, size_t out_size,
                  int unit_bytes) {
  const size_t unit = unit_bytes == 2 ? 2 : 1;
  size_t i = 0;
  size_t o = 0;
  while (i < in_size) {
    int flag = static_cast<int8_t>(in[i++]);
    if (flag == -128) continue;
    if (flag >= 0) {
      size_t count = (static_cast<size_t>(flag) + 1) * unit;
      size_t available = std::min(count, in_size - i);
      if (o < out_size) {
        size_t room = out_size - o;
        std::memcpy(out + o, in + i, std::min(available, room));
        // A literal cut short by the end of the data: the rest is zero.
        if (available < count && available < room) {
          std::memset(out + o + available, 0, std::min(count, room) - available);
        }
      }
      i += available;
      o += count;
    } else {
      size_t repeat = static_cast<size_t>(1 - flag);
      if (in_size - i < unit) break;
      for (size_t k = 0; k < repeat; ++k) {
        for (size_t b = 0; b < unit; ++b) {
          if (o + b < out_size) out[o + b] = in[i + b];
        }
        o += unit;
      }
      i += unit;
    }
  }
  if (o < out_size) std::memset(out + o, 0, out_size - o);
  return o;
}

size_t PackBitsBound(size_t in_size) { return in_size + (in_size + 127) / 128 + 1; }

size_t PackBits(const uint8_t* in, size_t in_size, uint8_t* out) {
  size_t i = 0;
  size_t o = 0;
  while (i < in_size) {
    size_t run = 1;
    while (i + run < in_size && run < 128 && in[i + run] == in[i]) ++run;
    if (run >= 2) {
      out[o++] = static_cast<uint8_t>(1 - static_cast<int>(run));
      out[o++] = in[i];
      i += run;
      continue;
    }
    // A literal stretch up to the next run of three or more.
    size_t start = i;
    size_t length = 0;
    while (i < in_size && length < 128) {
      if (i + 2 < in_size && in[i] == in[i + 1] && in[i] == in[i + 2]) break;
      ++i;
      ++length;
    }
    out[o++] = static_cast<uint8_t>(length - 1);
    std::memcpy(out + o, in + start, length);
    o += length;
  }
  return o;
}

}  // namespace pic2jpg::pict
