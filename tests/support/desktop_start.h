// The desktop's start as a window test needs it (gui_tests only).
#ifndef PIC2JPG_TESTS_SUPPORT_DESKTOP_START_H_
#define PIC2JPG_TESTS_SUPPORT_DESKTOP_START_H_

#include "engine/format_tables.h"
#include "gui/image_maps.h"
#include "gui/themes.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/text_catalogue.h"

namespace pic2jpg::test {

// Formats, image maps and built-in pictures, the English texts, a fresh run
// record and the desktop's defaults, with the preferences file in `dir`.
inline void StartDesktop(const TempDir& dir) {
  RegisterFormats();
  FillImageMaps();
  LoadTextCatalogue("");
  g_run_state = RunState{};
  g_preferences_path = dir.File("config.ini");
  ApplyDefaultSettings(false);
  LoadBuiltInImages();
}

}  // namespace pic2jpg::test

#endif  // PIC2JPG_TESTS_SUPPORT_DESKTOP_START_H_
