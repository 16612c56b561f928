#include "gui/image_maps.h"

#include <utility>

namespace pic2jpg {

std::map<std::string, int> g_button_image_map;
std::map<std::string, int> g_icon_image_map;
std::map<std::string, int> g_second_icon_image_map;

void FillImageMaps() {
  g_button_image_map = {{"Convert", 2}, {"InFiles", 3}, {"InFolder", 4}};
  static const std::pair<const char*, int> kIcons[] = {{"New", 5},
                                                       {"Add", 6},
                                                       {"InFiles", 7},
                                                       {"InFolder", 8},
                                                       {"OutFolder", 9},
                                                       {"OutFormat", 10},
                                                       {"FavFolder", 11},
                                                       {"ImportFiles", 12},
                                                       {"ExportFiles", 13},
                                                       {"Exit", 14},
                                                       {"Copy", 15},
                                                       {"Delete", 16},
                                                       {"SelectAll", 17},
                                                       {"Convert", 18},
                                                       {"Error", 19},
                                                       {"Preferences", 20},
                                                       {"CustomConverter", 21},
                                                       {"Help", 22},
                                                       {"Email", 25},
                                                       {"Web", 26},
                                                       {"Updates", 27},
                                                       {"About", 28}};
  g_icon_image_map.clear();
  g_second_icon_image_map.clear();
  for (const auto& [name, number] : kIcons) {
    g_icon_image_map[name] = number;
    g_second_icon_image_map[name] = number + 24;
  }
}

}  // namespace pic2jpg
