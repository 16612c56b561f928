// The window's side of a second start: files handed over (or named on the
// command line of the first start) go into the window, which comes to the
// front.
#ifndef PIC2JPG_GUI_HANDOVER_UI_H_
#define PIC2JPG_GUI_HANDOVER_UI_H_

namespace pic2jpg {

// From now on, files handed over by other starts reach the window (those
// that came while it was being built too). While a modal dialog is open
// (a conversion runs), they wait for it to close.
void TakeHandoversIntoWindow();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_HANDOVER_UI_H_
