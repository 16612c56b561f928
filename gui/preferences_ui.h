// The preferences dialog's widgets. The dialog is modeless over a disabled
// main window (the main loop goes on), edits a draft of g_settings, and on OK
// or Defaults saves the preferences file and rebuilds what the main window
// needs.
#ifndef PIC2JPG_GUI_PREFERENCES_UI_H_
#define PIC2JPG_GUI_PREFERENCES_UI_H_

#include <wx/dialog.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gui/preferences_model.h"

namespace pic2jpg {

struct FontChoice {
  std::string name;
  int points = 0;
  int style = 0;  // 0 regular, 1 bold, 2 italic, 3 both
};

// The pickers the dialog asks through; tests answer them. Its message boxes
// go through the main window's prompter.
struct PreferencesPrompts {
  std::function<std::optional<uint32_t>(uint32_t current)> pick_colour;
  std::function<std::optional<FontChoice>(const std::string& name, int points)> pick_font;
  std::function<std::optional<std::string>(const std::string& start)> pick_image;
};
extern PreferencesPrompts g_preferences_prompts;

// Opens the dialog on `start_page` (General: 0; the output-format button:
// kOutputPage), or raises the open one as it is.
void ShowPreferencesDialog(int start_page);
// The open dialog, or nullptr.
wxDialog* PreferencesDialogWindow();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_PREFERENCES_UI_H_
