// The one check of a settings record before a run, and before the
// preferences dialog commits: what the run cannot use, first in the order
// of the settings table (the order the console lists and checks them).
#ifndef PIC2JPG_ENGINE_SETTINGS_CHECK_H_
#define PIC2JPG_ENGINE_SETTINGS_CHECK_H_

#include <string>
#include <string_view>

#include "settings/settings.h"
#include "settings/settings_fields.h"

namespace pic2jpg {

struct SettingsProblem {
  const SettingField* field = nullptr;  // nullptr: the record passes
  // The console's line ("Error: Invalid width value").
  std::string console_message;
  // The catalogue key of the desktop's message (group "Msg"), and the text
  // its %s1% stands for; an empty key for values the dialog cannot produce.
  std::string_view catalogue_key;
  std::string detail;
  std::string reason;  // why a watermark picture did not load, when it did not
};

// Checks the settings in use (SettingInUse) by each one's refusal rule:
// the depth of the chosen output format, the numbers with a range the run
// refuses, a resize to 0, a watermark font that cannot be made or an image
// that is missing, empty or not a picture, and a filename mask that is empty or leads out
// of the output folder.
SettingsProblem CheckSettings(const Settings& settings);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_SETTINGS_CHECK_H_
