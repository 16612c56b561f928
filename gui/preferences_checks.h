// The dialog's messages for a draft it cannot take.
#ifndef PIC2JPG_GUI_PREFERENCES_CHECKS_H_
#define PIC2JPG_GUI_PREFERENCES_CHECKS_H_

#include <string>

#include "engine/settings_check.h"

namespace pic2jpg {

// The desktop's message for what CheckSettings refuses: the catalogue's
// text, or the console's line for a value the dialog cannot produce.
std::string SettingsProblemText(const SettingsProblem& problem);
// The message for an empty digit field.
std::string EmptyFieldMessage();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_PREFERENCES_CHECKS_H_
