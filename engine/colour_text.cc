// Colours written as six hexadecimal digits RRGGBB, as the settings hold them.
#include <cstddef>

#include "engine/geometry.h"
#include "text/ascii_scan.h"

namespace pic2jpg {

namespace {

// Value of the two digits at `pos`, read like a "$" number: reading stops at
// the first character that is not a hexadecimal digit ("G1" gives 0, "1G" 1).
uint32_t HexPair(const std::string& text, size_t pos) {
  uint32_t value = 0;
  for (size_t i = pos; i < pos + 2; ++i) {
    int digit = HexDigitValue(text[i]);
    if (digit < 0) break;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

}  // namespace

uint32_t ParseHexColour(const std::string& text) {
  if (text.size() != 6) return 0;
  uint32_t red = HexPair(text, 0);
  uint32_t green = HexPair(text, 2);
  uint32_t blue = HexPair(text, 4);
  return red + 256 * green + 65536 * blue;
}

}  // namespace pic2jpg
