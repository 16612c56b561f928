// Letter case of UTF-8 text on every letter, by the Unicode case tables
// ("été" in capitals is "ÉTÉ", "ß" is "SS"), the same under every locale.
// Text that is not well-formed UTF-8 (a file name in another encoding)
// comes back unchanged: its bytes cannot be told apart as letters.
#ifndef PIC2JPG_TEXT_LETTER_CASE_H_
#define PIC2JPG_TEXT_LETTER_CASE_H_

#include <string>
#include <string_view>

namespace pic2jpg {

std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);
// The first character in title case, the rest in lower case ("éLAN" gives
// "Élan", "ǆemal" gives "ǅemal").
std::string TitleText(std::string_view text);

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_LETTER_CASE_H_
