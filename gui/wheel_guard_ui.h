// The mouse wheel over a scrolling page scrolls the page: drop-downs, spin
// controls and sliders take it only when they have the focus, so that
// scrolling past them never changes a value.
#ifndef PIC2JPG_GUI_WHEEL_GUARD_UI_H_
#define PIC2JPG_GUI_WHEEL_GUARD_UI_H_

#include <wx/scrolwin.h>

namespace pic2jpg {

// Guards every such control on `page` (at any depth).
void PassWheelToPage(wxScrolledWindow* page);

// True for the controls whose value the wheel changes.
bool TakesWheelAsValue(const wxWindow* control);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_WHEEL_GUARD_UI_H_
