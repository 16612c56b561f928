// Colours written as six hexadecimal digits RRGGBB, as the settings hold them.
#include <cstddef>

#include "engine/geometry.h"
#include "text/ascii_scan.h"

namespace pic2jpg {

namespace {

// Two hexadecimal digits, either letter case; a pair that is not gives 0.
uint32_t HexPair(const std::string& text, size_t pos) {
  const int high = HexDigitValue(text[pos]);
  const int low = HexDigitValue(text[pos + 1]);
  return high >= 0 && low >= 0 ? static_cast<uint32_t>(high * 16 + low) : 0;
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
