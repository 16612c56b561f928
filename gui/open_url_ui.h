// Addresses, mail links and files handed to the desktop's handler.
#ifndef PIC2JPG_GUI_OPEN_URL_UI_H_
#define PIC2JPG_GUI_OPEN_URL_UI_H_

#include <functional>
#include <string>

namespace pic2jpg {

// Opens one target; false when that failed at once. `failed_later` is
// called on any thread when the opening failed afterwards. Tests put a
// recorder here so that no browser starts.
using UrlOpener =
    std::function<bool(const std::string& target, std::function<void()> failed_later)>;
extern UrlOpener g_url_opener;

// Opens `target` through g_url_opener; a failure, now or later, is reported
// in the main window's status bar.
void OpenUrl(const std::string& target);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_OPEN_URL_UI_H_
