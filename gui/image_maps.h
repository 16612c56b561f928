// Image numbers of the buttons and icons, by the base name of their picture.
#ifndef PIC2JPG_GUI_IMAGE_MAPS_H_
#define PIC2JPG_GUI_IMAGE_MAPS_H_

#include <map>
#include <string>

namespace pic2jpg {

// Image 0 is the About picture; buttons 2..4; menu icons 5..28; the toolbar's
// icons are the same names 24 higher.
extern std::map<std::string, int> g_button_image_map;
extern std::map<std::string, int> g_icon_image_map;
extern std::map<std::string, int> g_second_icon_image_map;
void FillImageMaps();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_IMAGE_MAPS_H_
