// The window's side of a second start: files handed over (or named on the
// command line of the first start) go into the window, which comes to the
// front.
#ifndef PIC2JPG_GUI_HANDOVER_UI_H_
#define PIC2JPG_GUI_HANDOVER_UI_H_

#include <string>
#include <vector>

namespace pic2jpg {

// Adds `paths` (absolute) to the main window's input and brings it to the
// front.
void AddInputPathsToWindow(const std::vector<std::string>& paths);

// From now on, files handed over by other starts reach the window (those
// that came while it was being built too). While a modal dialog is open
// (a conversion runs), they wait for it to close.
void TakeHandoversIntoWindow();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_HANDOVER_UI_H_
