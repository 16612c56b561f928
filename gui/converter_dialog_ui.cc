// The Find-a-File-Converter dialog: two extensions and Search, which opens
// the maker's search page for the pair. Return searches, Escape closes.
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "gui/dialog_links.h"
#include "gui/main_window_ui.h"
#include "gui/open_url_ui.h"
#include "gui/over_main_window_ui.h"
#include "gui/secondary_dialogs_ui.h"
#include "gui/text_sizes_ui.h"
#include "runlist/run_state.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

wxString Text(const char* group, const char* key) {
  return wxString::FromUTF8(GetText(group, key));
}

void Search(wxDialog* dialog, wxTextCtrl* from, wxTextCtrl* to) {
  g_run_state.converter_from = CleanExtension(from->GetValue().utf8_string());
  g_run_state.converter_to = CleanExtension(to->GetValue().utf8_string());
  if (g_run_state.converter_from.empty() || g_run_state.converter_to.empty()) {
    MainPrompter().warn(GetText("Msg", "Empty extensions"));
    from->SetFocus();
    return;
  }
  dialog->Hide();
  OpenUrl(ConverterSearchUrl(g_run_state.converter_from, g_run_state.converter_to));
  CloseOverMainWindow(dialog);
}

}  // namespace

void OpenConverterDialog() {
  auto* dialog =
      new wxDialog(MainFrame(), wxID_ANY, Text("Custom-Converter", "Title"), wxDefaultPosition,
                   wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
  dialog->SetName("converter");
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  auto field = [dialog, row](const char* label_key, const char* name) {
    row->Add(new wxStaticText(dialog, wxID_ANY, Text("Custom-Converter", label_key)), 0,
             wxALIGN_CENTRE_VERTICAL | wxLEFT | wxRIGHT, 6);
    auto* text =
        new wxTextCtrl(dialog, wxID_ANY, "", wxDefaultPosition, wxSize(CharsWide(dialog, 10), -1));
    text->SetName(name);
    row->Add(text, 0, wxALIGN_CENTRE_VERTICAL | wxRIGHT, 12);
    return text;
  };
  wxTextCtrl* from = field("From", "from");
  wxTextCtrl* to = field("To", "to");
  auto* search = new wxButton(dialog, wxID_ANY, Text("Custom-Converter", "Search"));
  search->SetName("search");
  search->SetDefault();
  row->Add(search, 0, wxALIGN_CENTRE_VERTICAL);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(row, 0, wxALL, 14);
  top->SetMinSize(wxSize(370, -1));
  GiveTextRoomInFields(dialog);
  dialog->SetSizerAndFit(top);

  search->Bind(wxEVT_BUTTON, [dialog, from, to](wxCommandEvent&) { Search(dialog, from, to); });
  BindDialogKeys(dialog, [dialog, from, to] { Search(dialog, from, to); });
  ShowOverMainWindow(dialog, from);
}

}  // namespace pic2jpg
