// Texts from outside (file names above all) made safe to print as one line:
// control characters and bytes that are not UTF-8 are written as \xNN, so a
// name holding a line break cannot split a message or fake another line.
#ifndef PIC2JPG_TEXT_PRINTABLE_TEXT_H_
#define PIC2JPG_TEXT_PRINTABLE_TEXT_H_

#include <string>
#include <string_view>

namespace pic2jpg {

// Valid UTF-8 without control characters comes back unchanged.
std::string PrintableText(std::string_view text);

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_PRINTABLE_TEXT_H_
