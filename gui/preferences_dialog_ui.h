// Shared by the preferences dialog's two widget files: the open dialog's
// state and the row builder.
#ifndef PIC2JPG_GUI_PREFERENCES_DIALOG_UI_H_
#define PIC2JPG_GUI_PREFERENCES_DIALOG_UI_H_

#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gui/preferences_model.h"
#include "settings/settings.h"

namespace pic2jpg {

struct BoundRow {
  const PreferencesRow* row = nullptr;
  wxStaticText* label = nullptr;
  std::vector<wxWindow*> controls;
  wxTextCtrl* digits = nullptr;  // digit fields: checked for emptiness at OK
};

struct PreferencesDialog {
  wxDialog* dialog = nullptr;
  Settings draft;
  wxListBox* pages = nullptr;
  wxStaticText* title = nullptr;
  std::vector<wxScrolledWindow*> page_panels;
  // Areas and panes by page and name ("jpg", "frame", "text", ...).
  std::map<std::pair<int, std::string>, wxWindow*> areas;
  std::vector<BoundRow> rows;
  int label_width = 0;
};

// Caption text of the catalogue group Preferences.
wxString PreferencesText(std::string_view key);
// Builds the label and controls of one row into `grid` (two columns) on
// `parent`, loaded from dialog->draft and writing back into it; calls
// `changed` after every change the enabling rules may depend on.
void BuildPreferencesRow(PreferencesDialog* dialog, const PreferencesRow& row, wxWindow* parent,
                         wxFlexGridSizer* grid, const std::function<void()>& changed);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_PREFERENCES_DIALOG_UI_H_
