#include "text/printable_text.h"

#include <cstdint>

namespace pic2jpg {
namespace {

// Length of the well-formed UTF-8 sequence at text[pos], 0 when there is none
// (stray continuation bytes, overlong forms, surrogates, beyond U+10FFFF).
size_t SequenceLength(std::string_view text, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(pos);
  size_t length = 0;
  uint8_t low = 0x80;
  uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  // The second byte has the tighter range; the others are plain continuations.
  if (byte(pos + 1) < low || byte(pos + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF) return 0;
  }
  return length;
}

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
    const size_t length = SequenceLength(text, pos);
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
