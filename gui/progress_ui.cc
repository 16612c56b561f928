// The Convert command's widgets: warnings, status texts and the progress
// dialog, which polls the run every 15 ms and lists the files that failed.
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <utility>

#include "gui/gui_run.h"
#include "gui/main_window_ui.h"
#include "runlist/run_state.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

wxString Utf8(const std::string& text) { return wxString::FromUTF8(text); }

}  // namespace

void RunGuiConversion(MainWindow& window) {
  GuiRunFields fields;
  fields.input = window.input->GetValue().utf8_string();
  fields.inputs = window.model.inputs.files;
  fields.output_folder = window.folders->GetValue().utf8_string();
  fields.format_index = SelectedFormatIndex(window);
  SetStatus(window, GetText("General", "Preparing"));
  GuiRunStart start = PrepareGuiRun(fields);
  if (!start.ready) {
    if (start.status_stopped) SetStatus(window, GetText("Msg", "Conversion is not complete"));
    window.model.prompter.warn(start.warning);
    return;
  }
  if (start.history_changed) FillOutputFolderList(window);
  g_run_state.input_path = fields.input;
  SetStatus(window, GetText("General", "Converting"));
  if (StartRun(window.model.run.get(), std::move(start.plan))) ShowConversionProgress(window);
}

void ShowConversionProgress(MainWindow& window) {
  MainWindowModel& model = window.model;
  RunController* run = model.run.get();
  const int total = ReadProgress(run).total;
  wxDialog dialog(window.frame, wxID_ANY, Utf8(GetText("Dialog", "Convert Progress")),
                  wxDefaultPosition, wxDefaultSize,
                  wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER);
  dialog.SetName("progress");
  auto* status = new wxStaticText(&dialog, wxID_ANY, "", wxDefaultPosition, wxSize(280, -1),
                                  wxST_ELLIPSIZE_MIDDLE | wxST_NO_AUTORESIZE);
  status->SetName("status");
  auto* gauge = new wxGauge(&dialog, wxID_ANY, total + 1, wxDefaultPosition, wxSize(280, -1),
                            wxGA_HORIZONTAL | wxGA_SMOOTH);
  // The files that failed, with their reasons: filled at the end.
  auto* failures = new wxListBox(&dialog, wxID_ANY, wxDefaultPosition, wxSize(280, 120), 0, nullptr,
                                 wxLB_SINGLE | wxLB_HSCROLL | wxLB_NEEDED_SB);
  failures->SetName("failures");
  failures->Hide();
  auto* ok = new wxButton(&dialog, wxID_OK, Utf8(GetText("Dialog", "OK")));
  ok->SetDefault();
  ok->Disable();
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);
  sizer->Add(gauge, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);
  sizer->Add(failures, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);
  sizer->Add(ok, 0, wxALIGN_CENTER | wxALL, 10);
  dialog.SetSizerAndFit(sizer);
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

  bool finished = false;  // the worker has ended and been joined
  int last_shown = 0;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    if (finished) return;
    RunProgress progress = ReadProgress(run);
    if (!progress.finished) {
      if (progress.processed > last_shown) {
        last_shown = progress.processed;
        dialog.SetTitle(
            Utf8(ProgressTitle("Dialog", "Convert Progress", progress.processed, progress.total)));
        std::string current = progress.current_file;
        if (average_width * static_cast<int>(current.size()) > 280) {
          current = ShortenMiddle(current, max_chars);
        }
        status->SetLabel(Utf8(current));
        gauge->SetValue(progress.processed);
      }
      return;
    }
    const RunOutcome outcome = FinishRun(run);
    finished = true;
    KeepRunNumbers(outcome, &g_run_state);
    const FinishedRunView view = FinishedView(outcome.progress);
    SetStatus(window, view.status_bar);
    dialog.SetTitle(Utf8(view.title));
    status->SetLabel(Utf8(view.status));
    if (view.full_gauge) gauge->SetValue(total + 1);
    model.last_failures = RunFailureLines(model.inputs, outcome.progress);
    if (!model.last_failures.empty()) {
      for (const std::string& line : model.last_failures) failures->Append(Utf8(line));
      failures->Show();
      dialog.Fit();
    }
    ok->Enable();
    ok->SetFocus();
  });
  ok->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
    if (finished) dialog.EndModal(wxID_OK);
  });
  dialog.Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent&) {
    if (finished) {
      dialog.EndModal(wxID_OK);
      return;
    }
    if (RunFinished(run)) return;  // the result is about to be shown
    // The worker finishes its file and waits while the question is open.
    AskToStopRun(run, model.prompter);
  });
  timer.Start(15);
  dialog.ShowModal();
  timer.Stop();
  if (!finished) {
    // Only reached when the dialog was torn down from outside.
    StopRun(run);
    KeepRunNumbers(FinishRun(run), &g_run_state);
  }
  window.frame->SetFocus();
}

}  // namespace pic2jpg
