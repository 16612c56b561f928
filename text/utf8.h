// Well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no stray continuation bytes.
#ifndef PIC2JPG_TEXT_UTF8_H_
#define PIC2JPG_TEXT_UTF8_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace pic2jpg {

// Length of the well-formed sequence at the start of `text` (1 for an ASCII
// byte), 0 when there is none or `text` is empty.
size_t Utf8SequenceLength(std::string_view text);

// True when the whole of `text` is well-formed.
bool IsValidUtf8(std::string_view text);

// Appends the UTF-8 form of a code point of the Basic Multilingual Plane
// (up to U+FFFF).
void AppendUtf8(char16_t code_point, std::string* out);

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_UTF8_H_
