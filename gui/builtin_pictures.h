// The pictures compiled into the program (made at build time from the Tango
// icon set, which is in the public domain).
#ifndef PIC2JPG_GUI_BUILTIN_PICTURES_H_
#define PIC2JPG_GUI_BUILTIN_PICTURES_H_

#include <string_view>

namespace pic2jpg {

// PNG bytes of the picture for an image name at 16 or 32 pixels; the About
// picture is "About". Empty for an unknown name.
std::string_view BuiltInPicture(std::string_view name, int pixels);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_BUILTIN_PICTURES_H_
