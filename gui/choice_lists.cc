#include "gui/choice_lists.h"

#include <algorithm>

#include "engine/format_tables.h"
#include "engine/run_setup.h"
#include "text/ascii_case.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
std::vector<ThemeItem> FillThemeList(const std::map<std::string, std::string>& themes) {
  std::vector<ThemeItem> items;
  for (const auto& [id, name] : themes) {
    if (!name.empty()) items.push_back({id, name});
  }
  std::stable_sort(items.begin(), items.end(), [](const ThemeItem& a, const ThemeItem& b) {
    return LowerAscii(a.id) < LowerAscii(b.id);
  });
  if (items.empty()) items.push_back({"", GetText("Preferences", "None")});
  return items;
}

int ThemeListSelection(const std::vector<ThemeItem>& items, std::string_view theme) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (!items[i].id.empty() && items[i].id == theme) return static_cast<int>(i);
  }
  return 0;
}

DepthList FillDepthList(const std::string& extension, int depth) {
  DepthList list;
  list.items = DepthChoices(extension);
  if (depth == 0) {
    list.selection = 0;
    return list;
  }
  const std::string text = std::to_string(depth);
  for (size_t i = 1; i < list.items.size(); ++i) {
    if (list.items[i] == text) list.selection = static_cast<int>(i);
  }
  return list;
}

int DepthOfChoice(const std::string& extension, int selection) {
  const std::vector<int> depths = AllowedDepthList(extension);
  if (selection < 1 || static_cast<size_t>(selection) > depths.size()) return 0;
  return depths[static_cast<size_t>(selection) - 1];
}

}  // namespace pic2jpg
