// Mac OS Roman, the text of pictures and of resource names, as UTF-8.
#ifndef PIC2JPG_PICT_MAC_ROMAN_H_
#define PIC2JPG_PICT_MAC_ROMAN_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace pic2jpg::pict {

// Control characters (carriage returns and the like, which QuickDraw does
// not draw as glyphs) are dropped.
std::string MacRomanToUtf8(const uint8_t* text, size_t length);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_MAC_ROMAN_H_
