// Lists kept in one setting as comma-separated entries ("Arial, Tahoma").
#ifndef PIC2JPG_TEXT_COMMA_LIST_H_
#define PIC2JPG_TEXT_COMMA_LIST_H_

#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg {

// The entries, each without blanks at its ends; empty entries are left out.
std::vector<std::string> SplitCommaList(std::string_view text);

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_COMMA_LIST_H_
