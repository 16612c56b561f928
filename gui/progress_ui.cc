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

#include <algorithm>
#include <thread>
#include <utility>

#include "engine/batch_converter.h"
#include "engine/external_converter.h"
#include "gui/gui_run.h"
#include "gui/main_window_ui.h"
#include "runlist/run_state.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

wxString Utf8(const std::string& text) { return wxString::FromUTF8(text); }

}  // namespace

void RunGuiConversion() {
  GuiRunFields fields;
  fields.input = g_main.input->GetValue().utf8_string();
  fields.inputs = g_main.inputs.files;
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
    g_main.prompter.warn(start.warning);
    return;
  }
  if (start.history_changed) FillOutputFolderList();
  g_run_state.input_path = fields.input;
  SetStatus(GetText("General", "Converting"));
  // Several files: converter processes decode the files ahead of the one
  // being saved, as in a console run of a folder.
  if (start.plan.entries.size() > 1) {
    std::vector<std::string> inputs;
    inputs.reserve(start.plan.entries.size());
    for (const RunEntry& entry : start.plan.entries) inputs.push_back(entry.input_path);
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    StartBatchConverter(FindExternalConverter(), inputs, std::clamp(cores, 1, 4),
                        kConverterTimeoutSeconds);
  }
  if (StartRun(g_main.run.get(), std::move(start.plan))) ShowConversionProgress();
  StopBatchConverter();
}

void ShowConversionProgress() {
  RunController* run = g_main.run.get();
  const int total = ReadProgress(run).total;
  wxDialog dialog(g_main.frame, wxID_ANY, Utf8(GetText("Dialog", "Convert Progress")),
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
    // The mask's counter and random number go on from here in the next run.
    g_run_state.counter = outcome.counter;
    g_run_state.random_number = outcome.random_number;
    const FinishedRunView view = FinishedView(outcome.progress);
    SetStatus(view.status_bar);
    dialog.SetTitle(Utf8(view.title));
    status->SetLabel(Utf8(view.status));
    if (view.full_gauge) gauge->SetValue(total + 1);
    // The files passed over when they were collected, then those that failed.
    g_main.last_failures.clear();
    for (const InputProblem& problem : g_main.inputs.problems) {
      g_main.last_failures.push_back(PrintableText(problem.path) + ": " + problem.reason);
    }
    for (std::string& line : FailureLines(outcome.progress)) {
      g_main.last_failures.push_back(std::move(line));
    }
    if (!g_main.last_failures.empty()) {
      for (const std::string& line : g_main.last_failures) failures->Append(Utf8(line));
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
    AskToStopRun(run, g_main.prompter);
  });
  timer.Start(15);
  dialog.ShowModal();
  timer.Stop();
  if (!finished) {
    // Only reached when the dialog was torn down from outside.
    StopRun(run);
    const RunOutcome outcome = FinishRun(run);
    g_run_state.counter = outcome.counter;
    g_run_state.random_number = outcome.random_number;
  }
  if (g_main.frame != nullptr) g_main.frame->SetFocus();
}

}  // namespace pic2jpg
