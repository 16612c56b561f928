// Sizes that follow the text: controls built with a width in characters or
// pixels grow when the current font needs more (large text, GDK_DPI_SCALE).
#ifndef PIC2JPG_GUI_TEXT_SIZES_UI_H_
#define PIC2JPG_GUI_TEXT_SIZES_UI_H_

#include <wx/window.h>

namespace pic2jpg {

// `count` average characters of the window's font, in pixels.
int CharsWide(const wxWindow* window, int count);

// Every drop-down below `parent` becomes at least as wide as its longest
// item; none gets narrower.
void WidenDropDownsToTheirItems(wxWindow* parent);

// Every one-line field, drop-down, number box and text button below
// `parent` becomes at least as high as its text with room above and below:
// wxGTK sizes a field for the usual text size, and larger text would touch
// its borders or be cut.
void GiveTextRoomInFields(wxWindow* parent);

// The least height a control showing one line of `window`'s text needs.
int RoomyFieldHeight(const wxWindow* window);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_TEXT_SIZES_UI_H_
