// The windows as a module of their own (pic2jpg-window.so), which the
// program opens only when a window is asked for: a console run loads no
// toolkit. The module's one exported function gives this table. The
// hand-over of a second start's files (runlist/handover.h) needs no widgets and
// is linked into the program itself, so that a start that hands over loads
// no toolkit either.
#ifndef PIC2JPG_GUI_WINDOW_MODULE_H_
#define PIC2JPG_GUI_WINDOW_MODULE_H_

#include <string>
#include <vector>

namespace pic2jpg {

struct WindowModule {
  int (*run_desktop)(const std::vector<std::string>& files);
  int (*run_screenshot_mode)(const std::string& folder);
  int (*run_uninstall_page)();
};

// The module's file name, and the name of the function that gives its table.
inline constexpr char kWindowModuleFile[] = "pic2jpg-window.so";
inline constexpr char kWindowModuleEntry[] = "pic2jpg_window_module";

}  // namespace pic2jpg

extern "C" const pic2jpg::WindowModule* pic2jpg_window_module();

#endif  // PIC2JPG_GUI_WINDOW_MODULE_H_
