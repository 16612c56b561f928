#include "gui/handover_ui.h"

#include <wx/app.h>
#include <wx/timer.h>

#include "gui/main_window_ui.h"
#include "runlist/handover.h"

namespace pic2jpg {
namespace {

void RaiseWindow(wxFrame* frame) {
  if (frame->IsIconized()) frame->Iconize(false);
  frame->Show();
  frame->Raise();
}

void DeliverHandovers() {
  MainWindow* window = FindMainWindow();
  if (window == nullptr || window->model.quit_requested) return;
  if (!window->frame->IsEnabled()) {
    // A modal dialog is open (a conversion may be reading the input list):
    // the files wait for it to close.
    RaiseWindow(window->frame);
    static wxTimer* retry = nullptr;
    if (retry == nullptr) {
      retry = new wxTimer;
      retry->Bind(wxEVT_TIMER, [](wxTimerEvent&) { DeliverHandovers(); });
    }
    if (!retry->IsRunning()) retry->StartOnce(250);
    return;
  }
  RaiseWindow(window->frame);
  // Their folders were walked off this thread.
  for (CollectedInputs& collected : TakeHandedOverInputs()) {
    TakeCollectedIntoWindow(*window, std::move(collected));
  }
}

}  // namespace

void TakeHandoversIntoWindow() {
  SetHandoverWake([] {
    if (wxTheApp != nullptr) wxTheApp->CallAfter([] { DeliverHandovers(); });
  });
}

}  // namespace pic2jpg
