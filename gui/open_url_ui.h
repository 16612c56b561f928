// Addresses, mail links and files handed to the desktop's handler.
#ifndef PIC2JPG_GUI_OPEN_URL_UI_H_
#define PIC2JPG_GUI_OPEN_URL_UI_H_

#include <functional>
#include <string>

namespace pic2jpg {

// Opens `target` through the main window's prompter (its open_url); a
// failure, now or later, is reported in the main window's status bar.
void OpenUrl(const std::string& target);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_OPEN_URL_UI_H_
