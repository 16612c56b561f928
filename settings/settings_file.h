// Defaults, loading and saving of the settings record.
#ifndef PIC2JPG_SETTINGS_SETTINGS_FILE_H_
#define PIC2JPG_SETTINGS_SETTINGS_FILE_H_

#include <string>

#include "settings/settings.h"

namespace pic2jpg {

// The program's own formats: slot 0 holds the one format, slot 1 is empty.
inline constexpr const char* kMainInputFormats[2] = {"pic", ""};
inline constexpr const char* kMainOutputFormats[2] = {"jpg", ""};

// Sets every field to its default. The console defaults differ in one key:
// Keep Aspect Ratio is 0 with `console` set and 1 otherwise.
void ApplyDefaultSettings(bool console);

// Default left (or top) edge of a window of `size` pixels on the primary
// desktop: centred when it fits, else `fallback`.
int CenteredCoordinate(int size, int fallback, bool horizontal);

// Builds g_preferences_path (Morvane/quorvel/config.ini in the user data
// folder), creating the folders. Returns it ("" when there is no such folder).
std::string BuildPreferencesPath();

// Fills g_settings from g_preferences_path, with defaults for what is
// missing, and applies the migrations of older layouts.
void LoadSettings();
// Writes g_settings to g_preferences_path; false when it could not be
// written (the previous file is then left as it was).
bool SaveSettings();

}  // namespace pic2jpg

#endif  // PIC2JPG_SETTINGS_SETTINGS_FILE_H_
