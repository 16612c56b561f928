// The Convert command's widgets: warnings, status texts and the progress
// dialog, which polls the run every 15 ms, offers Stop (and Escape) while it
// runs, and lists the files that failed with their reasons at its end.
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include <utility>
#include <vector>

#include "gui/commands.h"
#include "gui/gui_run.h"
#include "gui/main_window_ui.h"
#include "gui/open_url_ui.h"
#include "gui/run_result.h"
#include "runlist/run_state.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

wxString Utf8(const std::string& text) { return wxString::FromUTF8(text); }

// The failures as a two-column list (file, reason) that asks for its rows
// only as they are drawn, so that thousands open at once; the row under the
// pointer shows its whole text as a tooltip. wxWidgets wants a subclass for
// a list that is filled on demand.
class FailureList : public wxListCtrl {
 public:
  explicit FailureList(wxWindow* parent)
      : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                   wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL) {
    SetName("failures");
    AppendColumn(Utf8(GetText("Dialog", "Failed File")));
    AppendColumn(Utf8(GetText("Dialog", "Failed Reason")));
    Bind(wxEVT_MOTION, [this](wxMouseEvent& event) {
      int flags = 0;
      const long row = HitTest(event.GetPosition(), flags);
      if (row != shown_tip_) {
        shown_tip_ = row;
        const bool valid = row >= 0 && static_cast<size_t>(row) < rows_.size();
        SetToolTip(valid ? Utf8(rows_[static_cast<size_t>(row)].tooltip) : wxString());
      }
      event.Skip();
    });
  }

  void ShowRows(std::vector<FailureRow> rows) {
    rows_ = std::move(rows);
    SetItemCount(static_cast<long>(rows_.size()));
    // The file column as wide as a long name, the reason taking the rest.
    const int char_width = GetCharWidth();
    SetColumnWidth(0, 24 * char_width);
    SetColumnWidth(1, 200 * char_width);
    wxListCtrl::Show();
  }

  const std::vector<FailureRow>& rows() const { return rows_; }

 private:
  wxString OnGetItemText(long item, long column) const override {
    if (item < 0 || static_cast<size_t>(item) >= rows_.size()) return wxString();
    const FailureRow& row = rows_[static_cast<size_t>(item)];
    return Utf8(column == 0 ? row.file : row.reason);
  }

  std::vector<FailureRow> rows_;
  long shown_tip_ = -1;
};

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
  // Widths follow the text size: a line of 50 average characters.
  const int line_width = 50 * dialog.GetCharWidth();
  const int gap = std::max(4, dialog.GetCharHeight() / 2);
  auto* status = new wxStaticText(&dialog, wxID_ANY, "", wxDefaultPosition, wxSize(line_width, -1),
                                  wxST_ELLIPSIZE_MIDDLE | wxST_NO_AUTORESIZE);
  status->SetName("status");
  auto* gauge = new wxGauge(&dialog, wxID_ANY, total + 1, wxDefaultPosition, wxSize(line_width, -1),
                            wxGA_HORIZONTAL | wxGA_SMOOTH);
  // The files that failed, with their reasons: filled at the end.
  auto* failures = new FailureList(&dialog);
  failures->SetMinSize(wxSize(80 * dialog.GetCharWidth(), 12 * dialog.GetCharHeight()));
  failures->Hide();
  const std::vector<std::string> captions =
      WithMnemonics({GetText("Dialog", "OK"), GetText("Dialog", "Stop"),
                     GetText("Dialog", "Open Output Folder")});
  auto* ok = new wxButton(&dialog, wxID_OK, Utf8(captions[0]));
  ok->Disable();
  auto* stop = new wxButton(&dialog, wxID_STOP, Utf8(captions[1]));
  stop->SetName("stop");
  stop->SetDefault();
  auto* open_folder = new wxButton(&dialog, wxID_ANY, Utf8(captions[2]));
  open_folder->SetName("open_folder");
  open_folder->Disable();
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(open_folder, 0, wxALIGN_CENTER_VERTICAL);
  buttons->AddStretchSpacer();
  buttons->Add(stop, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, gap);
  buttons->Add(ok, 0, wxALIGN_CENTER_VERTICAL);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 2 * gap);
  sizer->Add(gauge, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 2 * gap);
  sizer->Add(failures, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 2 * gap);
  sizer->Add(buttons, 0, wxEXPAND | wxALL, 2 * gap);
  dialog.SetSizerAndFit(sizer);
  dialog.CentreOnParent();

  // The widest text a name may take: the line at the font's mean width.
  int average_width = 7;
  {
    wxClientDC dc(&dialog);
    dc.SetFont(dialog.GetFont());
    const int measured = dc.GetTextExtent("abc123:\\-").GetWidth() / 9;
    if (measured > 0) average_width = measured;
  }
  const int max_chars = line_width / average_width;

  bool finished = false;  // the worker has ended and been joined
  int last_shown = 0;
  const std::string output_folder = g_run_state.output_folder;
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
        if (average_width * static_cast<int>(current.size()) > line_width) {
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
    // The files passed over when they were collected, then those that failed.
    std::vector<FailureRow> rows = FailureRows(model.inputs.problems, outcome.progress);
    model.last_failures.clear();
    for (const FailureRow& row : rows) model.last_failures.push_back(row.file + ": " + row.reason);
    if (!rows.empty()) {
      failures->ShowRows(std::move(rows));
      dialog.Fit();
    }
    stop->Disable();
    ok->Enable();
    ok->SetDefault();
    ok->SetFocus();
    open_folder->Enable(!output_folder.empty());
  });
  auto ask_to_stop = [&] {
    if (finished || RunFinished(run)) return;  // the result is about to be shown
    // The worker finishes its file and waits while the question is open.
    AskToStopRun(run, model.prompter);
  };
  ok->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
    if (finished) dialog.EndModal(wxID_OK);
  });
  stop->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { ask_to_stop(); });
  open_folder->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { OpenUrl(output_folder); });
  // Escape is Stop while the run goes on and OK once it has ended.
  dialog.Bind(wxEVT_CHAR_HOOK, [&](wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_ESCAPE) {
      event.Skip();
      return;
    }
    if (finished) {
      dialog.EndModal(wxID_OK);
    } else {
      ask_to_stop();
    }
  });
  dialog.Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent&) {
    if (finished) {
      dialog.EndModal(wxID_OK);
      return;
    }
    ask_to_stop();
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
