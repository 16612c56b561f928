#include "gui/font_choices.h"

#include <algorithm>

#include "text/ascii_scan.h"
#include "text/comma_list.h"

namespace pic2jpg {
std::vector<std::string> FillFontList(std::string_view fonts, std::string_view font) {
  std::vector<std::string> names = SplitCommaList(fonts);
  const std::string current(TrimAsciiBlanks(font));
  if (!current.empty() && std::find(names.begin(), names.end(), current) == names.end()) {
    names.push_back(current);
  }
  return names;
}

std::string CleanFontName(std::string_view name) {
  std::string kept;
  for (char c : name) {
    if (c != ',' && c != '\t' && c != '\r' && c != '\n') kept.push_back(c);
  }
  return std::string(TrimAsciiBlanks(kept));
}

bool AddFontName(std::string* fonts_setting, std::string_view name) {
  const std::string clean = CleanFontName(name);
  if (clean.empty()) return false;
  const std::vector<std::string> names = SplitCommaList(*fonts_setting);
  if (std::find(names.begin(), names.end(), clean) != names.end()) return false;
  if (!TrimAsciiBlanks(*fonts_setting).empty()) *fonts_setting += ",";
  *fonts_setting += clean;
  return true;
}

}  // namespace pic2jpg
