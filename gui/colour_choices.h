// The colours of the preferences dialog's colour buttons and colour lists:
// their RRGGBB text, names, swatches and the lists a setting keeps of them.
#ifndef PIC2JPG_GUI_COLOUR_CHOICES_H_
#define PIC2JPG_GUI_COLOUR_CHOICES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg {

// Colours: red + 256 x green + 65536 x blue.
bool IsHexColour(std::string_view text);
std::string ColourToHex(uint32_t colour);
// The colour of an RRGGBB text, read as the conversion reads it
// (ParseHexColour).
uint32_t ColourOfHex(std::string_view hex);
// The catalogue name of one of 19 named colours, else "Color #RRGGBB".
std::string ColourName(std::string_view hex);
// Pixels of a swatch, three bytes (red, green, blue) each, row by row.
std::vector<uint8_t> ColourSwatch(uint32_t colour, int width, int height);

struct ColourItem {
  std::string name;
  uint32_t colour = 0;
};
// The entries of a comma-separated colour list; malformed entries are left
// out, and so are repeats.
std::vector<ColourItem> FillColourList(std::string_view colours);
// Position of the setting's colour in the list, or -1.
int ColourListSelection(const std::vector<ColourItem>& items, std::string_view hex);
// Appends the colour to a colour-list setting unless it is already there;
// true when appended.
bool AddCustomColour(std::string* list_setting, uint32_t colour);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_COLOUR_CHOICES_H_
