#include "gui/colour_choices.h"

#include <algorithm>
#include <cstdio>

#include "engine/geometry.h"
#include "text/ascii_case.h"
#include "text/ascii_scan.h"
#include "text/comma_list.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
bool IsHexColour(std::string_view text) {
  return text.size() == 6 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
         });
}

std::string ColourToHex(uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", colour & 0xFFu, (colour >> 8) & 0xFFu,
                (colour >> 16) & 0xFFu);
  return text;
}

uint32_t ColourOfHex(std::string_view hex) { return ParseHexColour(std::string(hex)); }

std::string ColourName(std::string_view hex) {
  struct Named {
    const char* name;
    const char* hex;
  };
  static constexpr Named kNamed[] = {
      {"Black", "000000"},  {"Silver", "C0C0C0"}, {"Gray", "808080"},   {"White", "FFFFFF"},
      {"Maroon", "800000"}, {"Red", "FF0000"},    {"Purple", "800080"}, {"Fuchsia", "FF00FF"},
      {"Green", "008000"},  {"Lime", "00FF00"},   {"Olive", "808000"},  {"Yellow", "FFFF00"},
      {"Navy", "000080"},   {"Blue", "0000FF"},   {"Teal", "008080"},   {"Aqua", "00FFFF"},
      {"Orange", "FF8000"}, {"Brown", "804000"},  {"Violet", "8000FF"}};
  const std::string upper = UpperAscii(hex);
  for (const Named& named : kNamed) {
    if (upper == named.hex) return GetText("Preferences", named.name);
  }
  return GetText("Preferences", "Color") + " #" + upper;
}

std::vector<uint8_t> ColourSwatch(uint32_t colour, int width, int height) {
  const size_t pixels = static_cast<size_t>(std::max(width, 0)) * std::max(height, 0);
  std::vector<uint8_t> bytes(pixels * 3);
  for (size_t i = 0; i < pixels; ++i) {
    bytes[i * 3] = static_cast<uint8_t>(colour & 0xFFu);
    bytes[i * 3 + 1] = static_cast<uint8_t>((colour >> 8) & 0xFFu);
    bytes[i * 3 + 2] = static_cast<uint8_t>((colour >> 16) & 0xFFu);
  }
  return bytes;
}

std::vector<ColourItem> FillColourList(std::string_view colours) {
  std::vector<ColourItem> items;
  for (const std::string& entry : SplitCommaList(colours)) {
    if (!IsHexColour(entry)) continue;
    const uint32_t colour = ParseHexColour(entry);
    if (ColourListSelection(items, ColourToHex(colour)) >= 0) continue;
    items.push_back({ColourName(entry), colour});
  }
  return items;
}

int ColourListSelection(const std::vector<ColourItem>& items, std::string_view hex) {
  if (!IsHexColour(hex)) return -1;
  const uint32_t colour = ParseHexColour(std::string(hex));
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].colour == colour) return static_cast<int>(i);
  }
  return -1;
}

bool AddCustomColour(std::string* list_setting, uint32_t colour) {
  colour &= 0xFFFFFFu;
  if (ColourListSelection(FillColourList(*list_setting), ColourToHex(colour)) >= 0) return false;
  if (!TrimAsciiBlanks(*list_setting).empty()) *list_setting += ",";
  *list_setting += ColourToHex(colour);
  return true;
}

}  // namespace pic2jpg
