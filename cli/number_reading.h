// The two number rules of option values and profile keys. Neither fails:
// what cannot be read gives 0.
#ifndef PIC2JPG_CLI_NUMBER_READING_H_
#define PIC2JPG_CLI_NUMBER_READING_H_

#include <cstdint>
#include <string_view>

namespace pic2jpg {

// Leading blanks and tabs are skipped, then an optional "+" or "-", then "$"
// and hexadecimal digits, "%" and binary digits, or decimal digits. Reading
// stops at the first other character; no digits give 0. A number beyond the
// 32-bit range is held at the nearest end of it.
int32_t ReadInteger(std::string_view text);

// A decimal number with "." as the separator and an optional exponent, blanks
// around it allowed; "+Infinity", "-Infinity" and "NaN" (any case) give those
// values. Any other text gives 0.
double ReadDecimal(std::string_view text);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_NUMBER_READING_H_
