// Letter case of ASCII text, the same under every locale: only 'A'-'Z' and
// 'a'-'z' are letters here, every other byte (UTF-8 sequences included)
// stays as it is. Names of files, keys and tokens are compared this way.
#ifndef PIC2JPG_TEXT_ASCII_CASE_H_
#define PIC2JPG_TEXT_ASCII_CASE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace pic2jpg {

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

inline std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

// True when a and b differ at most in the case of ASCII letters.
constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_ASCII_CASE_H_
