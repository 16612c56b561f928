// Filling the "%s1%" to "%s4%" placeholders of catalogue messages.
#ifndef PIC2JPG_TEXT_PLACEHOLDERS_H_
#define PIC2JPG_TEXT_PLACEHOLDERS_H_

#include <string>
#include <string_view>

namespace pic2jpg {

// Replaces every "%s1%" by s1, then every "%s2%" by s2, and so on up to s4.
// Placeholders match without regard to letter case ("%S1%" too). A
// placeholder whose replacement is empty stays as it is. Text put in by one
// replacement is not searched again for the same placeholder.
std::string FillPlaceholders(std::string_view message, std::string_view s1 = {},
                             std::string_view s2 = {}, std::string_view s3 = {},
                             std::string_view s4 = {});

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_PLACEHOLDERS_H_
