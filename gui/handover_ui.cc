#include "gui/handover_ui.h"

#include <wx/app.h>
#include <wx/timer.h>

#include "gui/handover.h"
#include "gui/main_window_ui.h"

namespace pic2jpg {
namespace {

void RaiseWindow() {
  if (g_main.frame->IsIconized()) g_main.frame->Iconize(false);
  g_main.frame->Show();
  g_main.frame->Raise();
}

void DeliverHandovers() {
  if (g_main.frame == nullptr || g_main.quit_requested) return;
  if (!g_main.frame->IsEnabled()) {
    // A modal dialog is open (a conversion may be reading the input list):
    // the files wait for it to close.
    RaiseWindow();
    static wxTimer* retry = nullptr;
    if (retry == nullptr) {
      retry = new wxTimer;
      retry->Bind(wxEVT_TIMER, [](wxTimerEvent&) { DeliverHandovers(); });
    }
    if (!retry->IsRunning()) retry->StartOnce(250);
    return;
  }
  RaiseWindow();
  // Their folders were walked off this thread.
  for (CollectedInputs& collected : TakeHandedOverInputs()) {
    TakeCollectedIntoWindow(std::move(collected));
  }
}

}  // namespace

void TakeHandoversIntoWindow() {
  SetHandoverWake([] {
    if (wxTheApp != nullptr) wxTheApp->CallAfter([] { DeliverHandovers(); });
  });
}

}  // namespace pic2jpg
