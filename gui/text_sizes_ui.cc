#include "gui/text_sizes_ui.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/datectrl.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/timectrl.h>

#include <algorithm>

namespace pic2jpg {

int CharsWide(const wxWindow* window, int count) { return count * window->GetCharWidth(); }

void WidenDropDownsToTheirItems(wxWindow* parent) {
  for (wxWindow* child : parent->GetChildren()) {
    // Asked of the object's class, without a cast: only its sizes are used.
    if (child->IsKindOf(wxCLASSINFO(wxChoice))) {
      const int width = std::max(child->GetMinSize().GetWidth(), child->GetBestSize().GetWidth());
      child->SetMinSize(wxSize(width, child->GetMinSize().GetHeight()));
    }
    WidenDropDownsToTheirItems(child);
  }
}

int RoomyFieldHeight(const wxWindow* window) {
  // A fifth of the line above and below the text, and a border: 27 pixels
  // for the usual 17-pixel line, as GTK draws a field at that size.
  return window->GetCharHeight() * 8 / 5;
}

void GiveTextRoomInFields(wxWindow* parent) {
  for (wxWindow* child : parent->GetChildren()) {
    const bool one_line_field =
        child->IsKindOf(wxCLASSINFO(wxTextCtrl)) && !child->HasFlag(wxTE_MULTILINE);
    const bool holds_text = one_line_field || child->IsKindOf(wxCLASSINFO(wxChoice)) ||
                            child->IsKindOf(wxCLASSINFO(wxComboBox)) ||
                            child->IsKindOf(wxCLASSINFO(wxSpinCtrl)) ||
                            child->IsKindOf(wxCLASSINFO(wxSpinCtrlDouble)) ||
                            // (wxGTK's pickers carry no class information of their own.)
                            dynamic_cast<wxDatePickerCtrl*>(child) != nullptr ||
                            dynamic_cast<wxTimePickerCtrl*>(child) != nullptr ||
                            (child->IsKindOf(wxCLASSINFO(wxButton)) && !child->GetLabel().empty());
    if (holds_text) {
      const wxSize least = child->GetMinSize();
      const int height =
          std::max({least.GetHeight(), child->GetBestSize().GetHeight(), RoomyFieldHeight(child)});
      child->SetMinSize(wxSize(least.GetWidth(), height));
      if (child->GetSize().GetHeight() < height) {
        child->SetSize(wxSize(child->GetSize().GetWidth(), height));
      }
    }
    GiveTextRoomInFields(child);
  }
}

}  // namespace pic2jpg
