#include "text/printable_text.h"

#include <cstdint>

#include "text/utf8.h"

namespace pic2jpg {
namespace {

void AppendEscaped(uint8_t value, std::string* out) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out->append("\\x");
  out->push_back(kHex[value >> 4]);
  out->push_back(kHex[value & 0x0F]);
}

}  // namespace

std::string PrintableText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const uint8_t c = static_cast<uint8_t>(text[pos]);
    if (c < 0x80) {
      if (c < 0x20 || c == 0x7F) {
        AppendEscaped(c, &out);
      } else {
        out.push_back(static_cast<char>(c));
      }
      ++pos;
      continue;
    }
    const size_t length = Utf8SequenceLength(text.substr(pos));
    if (length == 0) {
      AppendEscaped(c, &out);
      ++pos;
    } else {
      out.append(text.substr(pos, length));
      pos += length;
    }
  }
  return out;
}

}  // namespace pic2jpg
