// What OK and Defaults make of the dialog's draft of the settings.
#ifndef PIC2JPG_GUI_PREFERENCES_COMMIT_H_
#define PIC2JPG_GUI_PREFERENCES_COMMIT_H_

#include <string>
#include <string_view>

#include "gui/main_window_model.h"
#include "settings/settings.h"

namespace pic2jpg {

// Whether brightness, contrast, gamma or invert change the picture.
bool ColourCorrectionNeeded(const AdjustmentSettings& adjustment);

// Every depth a format does not take becomes Auto (0), as the dialog shows
// it: after loading the preferences file and on OK.
void DepthsToAuto(Settings* settings);

// OK: the draft's derived values are set (language "en", the colour
// correction flag, depths the format does not take become Auto, colours
// become six upper-case digits, a malformed one black) and it
// replaces the live record, except what the dialog does not edit (window
// geometry, update date, folder history). Check first.
InterfaceChanges CommitPreferences(const Settings& draft, Settings* live);
// Defaults: every setting of g_settings back to its desktop default; the
// output folder history is kept.
InterfaceChanges ResetPreferencesToDefaults();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_PREFERENCES_COMMIT_H_
