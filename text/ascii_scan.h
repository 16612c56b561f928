// Reading the edges of numbers and values typed as ASCII text: blanks are
// spaces and tabs only, signs are one '+' or '-'. Views returned point into
// the text they were given.
#ifndef PIC2JPG_TEXT_ASCII_SCAN_H_
#define PIC2JPG_TEXT_ASCII_SCAN_H_

#include <cstddef>
#include <string_view>

namespace pic2jpg {

constexpr bool IsAsciiBlank(char c) { return c == ' ' || c == '\t'; }

// The value of a hexadecimal digit (either letter case); -1 for any other
// character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr std::string_view TrimAsciiBlanks(std::string_view text) {
  while (!text.empty() && IsAsciiBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsAsciiBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The text without every leading and trailing `c`.
constexpr std::string_view TrimAsciiChar(std::string_view text, char c) {
  while (!text.empty() && text.front() == c) text.remove_prefix(1);
  while (!text.empty() && text.back() == c) text.remove_suffix(1);
  return text;
}

// Moves *pos past the blanks and then past one sign at *pos; true when that
// sign was '-'.
constexpr bool SkipBlanksAndSign(std::string_view text, size_t* pos) {
  size_t i = *pos;
  while (i < text.size() && IsAsciiBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  *pos = i;
  return negative;
}

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_ASCII_SCAN_H_
