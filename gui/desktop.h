// The desktop modes, started by main after the command line chose them.
// Each returns the process's exit status.
#ifndef PIC2JPG_GUI_DESKTOP_H_
#define PIC2JPG_GUI_DESKTOP_H_

#include <string>
#include <vector>

class wxFrame;

namespace pic2jpg {

// Main window and event loop; `files` (absolute) are taken as dropped
// files, and later starts may hand over theirs.
int RunDesktop(const std::vector<std::string>& files);
// Writes quorvel1.jpg and quorvel1x.jpg of a demonstration window into
// `folder` (the program's folder when empty); nothing when it is no folder.
int RunScreenshotMode(const std::string& folder);
int RunUninstallPage();

// The uninstall page's window (named "uninstall"), shown: its check box and
// Next, laid out for the current text size.
wxFrame* BuildUninstallPage();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_DESKTOP_H_
