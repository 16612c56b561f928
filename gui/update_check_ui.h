// The update check of the desktop: on demand (Help menu) and on the start
// schedule. The request runs on a thread of its own; the window stays
// responsive and the outcome is shown when it arrives.
#ifndef PIC2JPG_GUI_UPDATE_CHECK_UI_H_
#define PIC2JPG_GUI_UPDATE_CHECK_UI_H_

#include <functional>
#include <string>

namespace pic2jpg {

// Its questions and messages go through the main window's prompter.

// The time limit of one request (tests shorten it).
extern int g_update_timeout_ms;

// Starts a check of the version file; does nothing while one runs.
void CheckForUpdate();
bool UpdateCheckRunning();

// At start: when the interval of General/Update Range has passed since
// General/Update Date, moves the date to now and, once the window is up,
// asks whether to check.
void ScheduledUpdateCheck();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_UPDATE_CHECK_UI_H_
