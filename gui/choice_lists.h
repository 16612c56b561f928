// The entries of the dialog's theme list and of an output format's depth
// list, and the choice that stands for a stored value.
#ifndef PIC2JPG_GUI_CHOICE_LISTS_H_
#define PIC2JPG_GUI_CHOICE_LISTS_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg {

struct ThemeItem {
  std::string id;    // package name; "" for the lone "None" entry
  std::string text;  // what the list shows
};
// Installed themes with a display name, by id ignoring case; one "None"
// entry when there are none.
std::vector<ThemeItem> FillThemeList(const std::map<std::string, std::string>& themes);
// Position of the theme, else 0.
int ThemeListSelection(const std::vector<ThemeItem>& items, std::string_view theme);

struct DepthList {
  std::vector<std::string> items;  // "Auto", then the allowed depths
  int selection = -1;              // -1 for a depth the format does not take
};
DepthList FillDepthList(const std::string& extension, int depth);
// The depth stored for a list position (0 for "Auto" or no selection).
int DepthOfChoice(const std::string& extension, int selection);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_CHOICE_LISTS_H_
