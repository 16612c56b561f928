// The window that lists the files collected for the next run, opened from
// the input field when it sums up several.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/sizer.h>

#include <algorithm>

#include "gui/main_window_ui.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {

void ShowInputList(MainWindow& window) {
  const std::vector<WindowInput>& files = window.model.inputs.files;
  wxDialog dialog(window.frame, wxID_ANY, wxString::FromUTF8(GetText("General", "Input Files")),
                  wxDefaultPosition, wxDefaultSize,
                  wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER);
  dialog.SetName("input_list");
  wxArrayString lines;
  lines.reserve(files.size());
  for (const WindowInput& file : files)
    lines.push_back(wxString::FromUTF8(PrintableText(file.path)));
  auto* list = new wxListBox(&dialog, wxID_ANY, wxDefaultPosition, wxDefaultSize, lines,
                             wxLB_SINGLE | wxLB_HSCROLL);
  list->SetName("files");
  list->SetMinSize(wxSize(70 * dialog.GetCharWidth(), 16 * dialog.GetCharHeight()));
  auto* close = new wxButton(&dialog, wxID_CLOSE);
  close->SetDefault();
  dialog.SetEscapeId(wxID_CLOSE);
  dialog.SetAffirmativeId(wxID_CLOSE);
  const int gap = std::max(4, dialog.GetCharHeight() / 2);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 2 * gap);
  sizer->Add(close, 0, wxALIGN_RIGHT | wxALL, 2 * gap);
  dialog.SetSizerAndFit(sizer);
  dialog.CentreOnParent();
  list->SetFocus();
  dialog.ShowModal();
  window.input->SetFocus();
}

}  // namespace pic2jpg
