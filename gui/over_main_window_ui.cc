#include "gui/over_main_window_ui.h"

#include <wx/dialog.h>
#include <wx/frame.h>

#include <utility>

#include "gui/main_window_ui.h"

namespace pic2jpg {

void BindDialogKeys(wxDialog* dialog, std::function<void()> enter) {
  dialog->Bind(wxEVT_CLOSE_WINDOW, [dialog](wxCloseEvent&) { CloseOverMainWindow(dialog); });
  dialog->Bind(wxEVT_CHAR_HOOK, [dialog, enter = std::move(enter)](wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
      case WXK_RETURN:
      case WXK_NUMPAD_ENTER:
        enter();
        return;
      case WXK_ESCAPE:
        CloseOverMainWindow(dialog);
        return;
      default:
        event.Skip();
    }
  });
}

void ShowOverMainWindow(wxDialog* dialog, wxWindow* focus) {
  dialog->CentreOnParent();
  if (wxFrame* main = MainFrame()) main->Disable();
  dialog->Show();
  dialog->SetFocus();
  focus->SetFocus();
}

void CloseOverMainWindow(wxDialog* dialog) {
  wxFrame* frame = MainFrame();
  if (frame != nullptr) frame->Enable();
  dialog->Destroy();
  if (frame == nullptr) return;
  frame->Raise();
  frame->SetFocus();
}

}  // namespace pic2jpg
