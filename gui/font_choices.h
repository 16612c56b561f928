// The font names the watermark font list offers, and how a picked font joins
// them.
#ifndef PIC2JPG_GUI_FONT_CHOICES_H_
#define PIC2JPG_GUI_FONT_CHOICES_H_

#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg {

// The font list: the trimmed names of Watermark/Fonts (Watermark/Font when
// it is empty), and the current font at the end when it is not among them.
std::vector<std::string> FillFontList(std::string_view fonts, std::string_view font);
// The name a font picker's choice is kept under (commas removed, trimmed).
std::string CleanFontName(std::string_view name);
// Appends a name to a font-list setting unless it is already there; true
// when appended.
bool AddFontName(std::string* fonts_setting, std::string_view name);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_FONT_CHOICES_H_
