// Secondary dialogs that stand over the main window: the main window takes no
// input while one is open and gets the focus back when it closes.
#ifndef PIC2JPG_GUI_OVER_MAIN_WINDOW_UI_H_
#define PIC2JPG_GUI_OVER_MAIN_WINDOW_UI_H_

#include <functional>

class wxDialog;
class wxWindow;

namespace pic2jpg {

// Return and keypad Enter run `enter`; Escape and the close box close the
// dialog.
void BindDialogKeys(wxDialog* dialog, std::function<void()> enter);

// Centres the dialog on the main window, disables that window and shows the
// dialog with the keyboard in `focus`.
void ShowOverMainWindow(wxDialog* dialog, wxWindow* focus);

// Destroys the dialog and gives the main window back its input and focus.
void CloseOverMainWindow(wxDialog* dialog);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_OVER_MAIN_WINDOW_UI_H_
