// The Convert command's widgets: warnings, status texts and the progress
// dialog, which polls the worker every 15 ms.
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <atomic>
#include <thread>

#include "engine/convert.h"
#include "engine/run_setup.h"
#include "engine/run_state.h"
#include "gui/gui_run.h"
#include "gui/main_window_ui.h"
#include "text/placeholders.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

wxString Utf8(const std::string& text) { return wxString::FromUTF8(text); }

}  // namespace

void RunGuiConversion() {
  GuiRunFields fields;
  fields.input = g_main.input->GetValue().utf8_string();
  fields.output_folder = g_main.folders->GetValue().utf8_string();
  const int selection = g_main.formats->GetSelection();
  if (selection != wxNOT_FOUND) {
    fields.format_index = static_cast<int>(reinterpret_cast<intptr_t>(
        g_main.formats->GetClientData(static_cast<unsigned>(selection))));
  }
  SetStatus(GetText("General", "Preparing"));
  GuiRunStart start = PrepareGuiRun(fields);
  if (!start.ready) {
    if (start.status_stopped) SetStatus(GetText("Msg", "Conversion is not complete"));
    g_show_warning(start.warning);
    return;
  }
  if (start.history_changed) FillOutputFolderList();
  g_run_state.input_path = fields.input;
  SetStatus(GetText("General", "Converting"));
  ShowConversionProgress();
  ReleaseRunWatermarkFont();
  ReleaseRunWatermarkImage();
}

void ShowConversionProgress() {
  const int total = static_cast<int>(g_input_list.size());
  wxDialog dialog(g_main.frame, wxID_ANY, Utf8(GetText("Dialog", "Convert Progress")),
                  wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
  dialog.SetName("progress");
  dialog.SetClientSize(300, 110);
  auto* status = new wxStaticText(&dialog, wxID_ANY, "", wxPoint(10, 13), wxSize(280, 20),
                                  wxST_ELLIPSIZE_MIDDLE);
  status->SetName("status");
  auto* gauge = new wxGauge(&dialog, wxID_ANY, total + 1, wxPoint(10, 40), wxSize(280, 20),
                            wxGA_HORIZONTAL | wxGA_SMOOTH);
  auto* ok = new wxButton(&dialog, wxID_OK, Utf8(GetText("Dialog", "OK")), wxPoint(110, 75),
                          wxSize(80, 25));
  ok->SetDefault();
  ok->Disable();
  dialog.CentreOnParent();

  // The widest text a name may take: 280 pixels at the font's mean width.
  int average_width = 7;
  {
    wxClientDC dc(&dialog);
    dc.SetFont(dialog.GetFont());
    const int measured = dc.GetTextExtent("abc123:\\-").GetWidth() / 9;
    if (measured > 0) average_width = measured;
  }
  const int max_chars = 280 / average_width;

  {
    std::lock_guard<std::mutex> lock(g_progress_mutex);
    g_progress.processed = 0;
    g_progress.current_file.clear();
    g_progress.converted = 0;
    g_progress.keep_running = 1;
    g_progress.hold = 0;
  }
  std::atomic_bool worker_done{false};
  std::thread worker([&worker_done] {
    ConversionWorker(0);
    worker_done = true;
  });
  bool worker_held = true;  // the thread is running or not yet joined
  bool stop_requested = false;
  int last_shown = 0;
  int processed = 0;

  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    if (!worker_held) return;
    std::string current;
    {
      std::lock_guard<std::mutex> lock(g_progress_mutex);
      processed = g_progress.processed;
      current = g_progress.current_file;
    }
    if (!worker_done) {
      if (processed > last_shown) {
        last_shown = processed;
        dialog.SetTitle(Utf8(ProgressTitle("Dialog", "Convert Progress", processed, total)));
        if (average_width * static_cast<int>(current.size()) > 280) {
          current = ShortenMiddle(current, max_chars);
        }
        status->SetLabel(Utf8(current));
        gauge->SetValue(processed);
      }
      return;
    }
    worker.join();
    worker_held = false;
    int converted = 0;
    {
      std::lock_guard<std::mutex> lock(g_progress_mutex);
      converted = g_progress.converted;
      processed = g_progress.processed;
    }
    if (stop_requested) {
      SetStatus(GetText("Msg", "Conversion is not complete"));
      dialog.SetTitle(Utf8(ProgressTitle("Msg", "Conversion is not complete", processed, total)));
      status->SetLabel(Utf8(GetText("Msg", "Conversion is not complete")));
    } else {
      SetStatus(GetText("Msg", "Conversion complete"));
      dialog.SetTitle(Utf8(ProgressTitle("Msg", "Conversion complete", processed, total)));
      status->SetLabel(Utf8(FillPlaceholders(GetText("Msg", "Files converted"),
                                             std::to_string(converted), std::to_string(total))));
      gauge->SetValue(total + 1);
    }
    ok->Enable();
    ok->SetFocus();
  });
  ok->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
    if (!worker_held) dialog.EndModal(wxID_OK);
  });
  dialog.Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent&) {
    if (!worker_held) {
      dialog.EndModal(wxID_OK);
      return;
    }
    if (worker_done) return;  // the result is about to be shown
    // The worker finishes its file and waits while the question is open.
    g_progress.hold = 1;
    stop_requested = g_ask_break_conversion();
    if (stop_requested) {
      std::lock_guard<std::mutex> lock(g_progress_mutex);
      g_progress.keep_running = 0;
    }
    g_progress.hold = 0;
  });
  timer.Start(15);
  dialog.ShowModal();
  timer.Stop();
  if (worker_held) {
    // Only reached when the dialog was torn down from outside.
    g_progress.keep_running = 0;
    worker.join();
  }
  if (g_main.frame != nullptr) g_main.frame->SetFocus();
}

}  // namespace pic2jpg
