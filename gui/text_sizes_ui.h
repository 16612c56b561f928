// Sizes that follow the text: controls built with a width in pixels grow
// when the current font needs more (large text, GDK_DPI_SCALE).
#ifndef PIC2JPG_GUI_TEXT_SIZES_UI_H_
#define PIC2JPG_GUI_TEXT_SIZES_UI_H_

#include <wx/window.h>

namespace pic2jpg {

// Every drop-down below `parent` becomes at least as wide as its longest
// item; none gets narrower.
void WidenDropDownsToTheirItems(wxWindow* parent);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_TEXT_SIZES_UI_H_
