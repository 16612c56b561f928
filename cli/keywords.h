// The keyword vocabulary of option values: small enumerated settings are
// written as upper-case words on the command line and in profile files. Each
// kind (0 to 21) is an ordered list of (keyword, number) pairs whose first
// number is 0, which is also what an unknown keyword gives.
#ifndef PIC2JPG_CLI_KEYWORDS_H_
#define PIC2JPG_CLI_KEYWORDS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/keyword_kinds.h"

namespace pic2jpg {

// The number of the keyword (compared after upper-casing, exactly, in list
// order). 0 for an unknown keyword, an empty text, the listing-only kinds 13
// and 14, and a kind outside 0..21. Callers trim surrounding blanks first.
int32_t KeywordToValue(int kind, std::string_view text);

// The keyword of the first pair with that number; "" when there is none.
std::string ValueToKeyword(int kind, int32_t number);

// The compression keyword of `number` for the output format `extension`
// ("bmp", "exr", "png", "tga", "tiff"): numbers 1 to 4 stand for different
// codecs per format. Falls back to ValueToKeyword of the shared list when
// the format has no keyword for the number.
std::string CompressionKeyword(std::string_view extension, int32_t number);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_KEYWORDS_H_
