// Opening the window module (gui/window_module.h) when a window is asked for.
#ifndef PIC2JPG_APP_WINDOW_LOADER_H_
#define PIC2JPG_APP_WINDOW_LOADER_H_

#include <string>
#include <vector>

#include "gui/window_module.h"

namespace pic2jpg {

// Where the module is looked for, in turn: beside the executable (the
// build), then lib/pic2jpg/ of the prefix the executable's bin/ is in (an
// installed copy).
std::vector<std::string> WindowModulePlaces(const std::string& program_folder);

// Opens the module found first; nullptr with a one-line reason in `error`
// when there is none or it cannot be loaded.
const WindowModule* LoadWindowModule(std::string* error);

}  // namespace pic2jpg

#endif  // PIC2JPG_APP_WINDOW_LOADER_H_
