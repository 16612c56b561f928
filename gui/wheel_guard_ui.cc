#include "gui/wheel_guard_ui.h"

#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>

#include <algorithm>

namespace pic2jpg {
namespace {

void Guard(wxWindow* control, wxScrolledWindow* page) {
  control->Bind(wxEVT_MOUSEWHEEL, [control, page](wxMouseEvent& event) {
    if (control->HasFocus()) {
      event.Skip();
      return;
    }
    // Not skipped: the control's own handling never sees it. The page moves
    // by the lines the wheel asks for, in its scroll units.
    if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) return;
    const int delta = std::max(1, event.GetWheelDelta());
    const int lines = -event.GetWheelRotation() / delta * std::max(1, event.GetLinesPerAction());
    int x = 0;
    int y = 0;
    page->GetViewStart(&x, &y);
    page->Scroll(x, std::max(0, y + lines));
  });
}

void GuardBelow(wxWindow* parent, wxScrolledWindow* page) {
  for (wxWindow* child : parent->GetChildren()) {
    if (TakesWheelAsValue(child)) Guard(child, page);
    GuardBelow(child, page);
  }
}

}  // namespace

bool TakesWheelAsValue(const wxWindow* control) {
  // Asked of the object's class, without a cast to a class it may not be.
  return control->IsKindOf(wxCLASSINFO(wxChoice)) || control->IsKindOf(wxCLASSINFO(wxComboBox)) ||
         control->IsKindOf(wxCLASSINFO(wxSpinCtrl)) ||
         control->IsKindOf(wxCLASSINFO(wxSpinCtrlDouble)) ||
         control->IsKindOf(wxCLASSINFO(wxSlider));
}

void PassWheelToPage(wxScrolledWindow* page) { GuardBelow(page, page); }

}  // namespace pic2jpg
