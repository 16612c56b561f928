#include "gui/text_sizes_ui.h"

#include <wx/choice.h>

#include <algorithm>

namespace pic2jpg {

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

}  // namespace pic2jpg
