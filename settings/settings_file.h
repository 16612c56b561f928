// Defaults, loading and saving of the settings record.
#ifndef PIC2JPG_SETTINGS_SETTINGS_FILE_H_
#define PIC2JPG_SETTINGS_SETTINGS_FILE_H_

#include <string>

#include "settings/main_formats.h"
#include "settings/settings.h"

namespace pic2jpg {

// Sets every field to its default. The console defaults differ in one key:
// Keep Aspect Ratio is 0 with `console` set and 1 otherwise. The dates become
// now, CFG the current layout (17), X and Y the centred position of the
// default window size (CenteredCoordinate with fallback 100).
void ApplyDefaultSettings(bool console);

// Default left (or top) edge of a window of `size` pixels on the primary
// desktop: centred when it fits, else `fallback`.
int CenteredCoordinate(int size, int fallback, bool horizontal);

// Builds g_preferences_path (Morvane/quorvel/config.ini in the user data
// folder), creating the folders. Returns it ("" when there is no such folder).
std::string BuildPreferencesPath();

// Fills g_settings from g_preferences_path, with defaults for what is
// missing, and applies the migrations of older layouts. A file that cannot be
// read (or an empty path) gives the defaults of ApplyDefaultSettings(false);
// a file that exists but lacks CFG, X or Y reads them as 0, 100 and 100.
// A number outside its range (SettingField::range) is held at the nearer
// end; a numeric key whose value is not a number keeps the default.
void LoadSettings();
// Writes g_settings to g_preferences_path: CFG as 17, the Window keys only
// when Save Window Position is 1, and of the per-format keys only those of
// kMainInputFormats and kMainOutputFormats. False when it could not be
// written or the path is empty (the previous file is then left as it was).
bool SaveSettings();

}  // namespace pic2jpg

#endif  // PIC2JPG_SETTINGS_SETTINGS_FILE_H_
