// The preferences dialog: page list, header band, the pages built from the
// row table, and OK, Cancel and Defaults.
#include "gui/preferences_ui.h"

#include <wx/button.h>
#include <wx/colordlg.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/fontdlg.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/settings.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "gui/commands.h"
#include "gui/main_window_ui.h"
#include "gui/over_main_window_ui.h"
#include "gui/preferences_checks.h"
#include "gui/preferences_commit.h"
#include "gui/preferences_dialog_ui.h"
#include "gui/text_sizes_ui.h"
#include "gui/themes.h"
#include "gui/wheel_guard_ui.h"
#include "platform/font_config.h"
#include "runlist/run_state.h"
#include "settings/settings_file.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

wxString Utf8(const std::string& text) { return wxString::FromUTF8(text); }

// Tall enough for the longest page but the watermark text area, which
// scrolls.
constexpr int kPageHeight = 480;

// The same 28 lines at larger text sizes, as long as the dialog still fits
// on the screen with room for its header and buttons.
int PageHeight(wxWindow* dialog) {
  const int lines = 28 * dialog->GetCharHeight();
  const int screen = wxDisplay(dialog).GetClientArea().GetHeight();
  return std::clamp(lines, kPageHeight,
                    std::max(kPageHeight, screen - 12 * dialog->GetCharHeight()));
}

// The one open dialog, and the last one closed: wxWidgets destroys a closed
// window later, and events that reach its controls until then (a field
// losing the focus) still find their draft.
std::unique_ptr<PreferencesDialog> g_open;
std::unique_ptr<PreferencesDialog> g_closed;

wxColour ToWx(uint32_t colour) {
  return wxColour(static_cast<unsigned char>(colour & 0xFFu),
                  static_cast<unsigned char>((colour >> 8) & 0xFFu),
                  static_cast<unsigned char>((colour >> 16) & 0xFFu));
}

std::optional<uint32_t> PickColourWithDialog(uint32_t current) {
  wxColourData data;
  data.SetColour(ToWx(current));
  wxColourDialog picker(PreferencesDialogWindow(), &data);
  if (picker.ShowModal() != wxID_OK) return std::nullopt;
  const wxColour chosen = picker.GetColourData().GetColour();
  return uint32_t{chosen.Red()} + 256u * chosen.Green() + 65536u * chosen.Blue();
}

std::optional<FontChoice> PickFontWithDialog(const std::string& name, int points) {
  wxFontData data;
  // A stored face that is not installed (Arial on a Linux desktop) opens
  // the picker on the face fontconfig draws for it, not on nothing.
  const std::string installed = platform::MatchedFontFamily(name);
  data.SetInitialFont(wxFont(
      wxFontInfo(points > 0 ? points : 14).FaceName(Utf8(installed.empty() ? name : installed))));
  wxFontDialog picker(PreferencesDialogWindow(), data);
  if (picker.ShowModal() != wxID_OK) return std::nullopt;
  const wxFont font = picker.GetFontData().GetChosenFont();
  FontChoice choice;
  choice.name = font.GetFaceName().utf8_string();
  choice.points = font.GetPointSize();
  choice.style = (font.GetWeight() >= wxFONTWEIGHT_BOLD ? 1 : 0) +
                 (font.GetStyle() == wxFONTSTYLE_ITALIC ? 2 : 0);
  return choice;
}

std::optional<std::string> PickImageWithDialog(const std::string& start) {
  const std::string png = "*.png";
  const std::string bmp = "*.bmp;*.rle;*.dib";
  const std::string jpg = "*.jpg;*.jpeg;*.jpe;*.jif";
  const std::string filter = GetText("Dialog", "All Supported Files") + "|" + png + ";" + bmp +
                             ";" + jpg + "|Portable Network Graphics|" + png +
                             "|Windows or OS/2 Bitmap|" + bmp + "|JPEG File|" + jpg + "|" +
                             GetText("Dialog", "All Files") + " (*.*)|*.*";
  wxFileDialog picker(PreferencesDialogWindow(), Utf8(GetText("Dialog", "Select Watermark Image")),
                      "", Utf8(start), Utf8(filter), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (picker.ShowModal() != wxID_OK) return std::nullopt;
  return picker.GetPath().utf8_string();
}

void ShowPage(PreferencesDialog* prefs, int page) {
  if (page < 0 || page >= kPreferencesPageCount) return;
  prefs->title->SetLabel(PreferencesText(PreferencesPageKey(page)));
  for (int i = 0; i < kPreferencesPageCount; ++i) {
    prefs->page_panels[static_cast<size_t>(i)]->Show(i == page);
  }
  if (prefs->pages->GetSelection() != page) prefs->pages->SetSelection(page);
  prefs->dialog->Layout();
}

// The enabling and visibility rules over every row and area.
void ApplyRules(PreferencesDialog* prefs) {
  const Settings& draft = prefs->draft;
  for (auto& [where, area] : prefs->areas)
    area->Show(AreaVisible(where.first, where.second, draft));
  for (BoundRow& bound : prefs->rows) {
    const bool enabled = RowEnabled(*bound.row, draft);
    const bool visible = RowVisible(*bound.row, draft);
    bound.label->Enable(enabled);
    bound.label->Show(visible);
    for (wxWindow* control : bound.controls) {
      control->Enable(enabled);
      control->Show(visible);
    }
  }
  for (wxScrolledWindow* page : prefs->page_panels) {
    page->Layout();
    page->FitInside();
  }
}

wxFlexGridSizer* RowGrid() {
  auto* grid = new wxFlexGridSizer(2, 4, 8);
  grid->AddGrowableCol(1);
  return grid;
}

// One scrolling page with its own rows, then its panes or areas.
wxScrolledWindow* BuildPage(PreferencesDialog* prefs, wxWindow* parent, int page) {
  auto* panel = new wxScrolledWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                     wxVSCROLL | wxTAB_TRAVERSAL);
  panel->SetName(std::string(PreferencesPageKey(page)));
  panel->SetScrollRate(0, 10);
  auto* column = new wxBoxSizer(wxVERTICAL);
  auto changed = [prefs] { ApplyRules(prefs); };
  wxFlexGridSizer* own = RowGrid();
  column->Add(own, 0, wxEXPAND | wxTOP | wxBOTTOM, 8);
  std::map<std::string, wxFlexGridSizer*> area_grids;
  for (const PreferencesRow& row : PreferencesRows()) {
    if (row.page != page) continue;
    if (row.area.empty()) {
      BuildPreferencesRow(prefs, row, panel, own, changed);
      continue;
    }
    const std::string area(row.area);
    auto found = area_grids.find(area);
    if (found == area_grids.end()) {
      auto* area_panel = new wxPanel(panel, wxID_ANY);
      area_panel->SetName(area);
      wxFlexGridSizer* grid = RowGrid();
      area_panel->SetSizer(grid);
      column->Add(area_panel, 0, wxEXPAND | wxBOTTOM, 8);
      prefs->areas[{page, area}] = area_panel;
      found = area_grids.emplace(area, grid).first;
    }
    BuildPreferencesRow(prefs, row, prefs->areas[{page, area}], found->second, changed);
  }
  panel->SetSizer(column);
  return panel;
}

// The widest caption of all rows, so that every page's controls line up.
int LabelWidth(wxWindow* window) {
  int widest = 0;
  for (const PreferencesRow& row : PreferencesRows()) {
    widest = std::max(widest, window->GetTextExtent(PreferencesText(row.caption)).GetWidth());
  }
  return widest + 4;
}

void ClosePreferences() {
  if (!g_open) return;
  g_closed = std::move(g_open);
  PreferencesDialog* prefs = g_closed.get();
  wxFrame* frame = MainFrame();
  if (frame != nullptr) frame->Enable();
  prefs->dialog->Hide();
  prefs->dialog->Destroy();
  if (frame != nullptr) frame->SetFocus();
}

// The first digit field left empty, or nullptr.
BoundRow* EmptyDigitField(PreferencesDialog* prefs) {
  for (BoundRow& bound : prefs->rows) {
    if (bound.digits != nullptr &&
        !ValueOfNumberText(*bound.row, bound.digits->GetValue().utf8_string())) {
      return &bound;
    }
  }
  return nullptr;
}

void PressOk(PreferencesDialog* prefs) {
  if (BoundRow* empty = EmptyDigitField(prefs)) {
    ShowPage(prefs, empty->row->page);
    MainPrompter().warn(EmptyFieldMessage());
    empty->digits->SetFocus();
    return;
  }
  Settings checked = prefs->draft;
  DepthsToAuto(&checked);
  const SettingsProblem problem = CheckSettings(checked);
  if (problem.field != nullptr) {
    ShowPage(prefs, PreferencesPageOf(problem.field->group));
    MainPrompter().warn(SettingsProblemText(problem));
    return;
  }
  const InterfaceChanges changes = CommitPreferences(prefs->draft, &g_settings);
  // At once, so that nothing set here is lost if the program ends abruptly.
  SaveSettings();
  ClosePreferences();
  ApplyInterfaceChanges(changes);
}

void PressDefaults() {
  if (!MainPrompter().ask_destructive(GetText("Msg", "Reset to Defaults"),
                                      GetText("Msg", "Ask reset to defaults"))) {
    return;
  }
  const InterfaceChanges changes = ResetPreferencesToDefaults();
  SaveSettings();
  ClosePreferences();
  ApplyInterfaceChanges(changes);
}

}  // namespace

PreferencesPrompts g_preferences_prompts = {PickColourWithDialog, PickFontWithDialog,
                                            PickImageWithDialog};

wxDialog* PreferencesDialogWindow() { return g_open ? g_open->dialog : nullptr; }

void ShowPreferencesDialog(int start_page) {
  if (g_open) {
    g_open->dialog->Raise();
    return;
  }
  g_open = std::make_unique<PreferencesDialog>();
  PreferencesDialog* prefs = g_open.get();
  // An empty font list offers the current font.
  if (g_settings.watermark.fonts.empty()) g_settings.watermark.fonts = g_settings.watermark.font;
  prefs->draft = g_settings;

  auto* dialog = new wxDialog(MainFrame(), wxID_ANY, PreferencesText("Title"), wxDefaultPosition,
                              wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
  prefs->dialog = dialog;
  dialog->SetName("preferences");
  prefs->label_width = LabelWidth(dialog);

  prefs->pages = new wxListBox(dialog, wxID_ANY, wxDefaultPosition, wxSize(130, -1));
  prefs->pages->SetName("pages");
  for (int page = 0; page < kPreferencesPageCount; ++page) {
    prefs->pages->Append(PreferencesText(PreferencesPageKey(page)));
  }

  // A band of text only, a plain window rather than a panel: a panel takes
  // the focus itself when none of its children can, and Tab from the page
  // list would land on it instead of the page's first control.
  auto* header = new wxWindow(dialog, wxID_ANY);
  header->SetCanFocus(false);
  // The theme's field colours, so that the title reads on dark themes too.
  header->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
  prefs->title = new wxStaticText(header, wxID_ANY, "");
  prefs->title->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
  prefs->title->SetName("title");
  prefs->title->SetFont(prefs->title->GetFont().Bold().Larger());
  auto* header_sizer = new wxBoxSizer(wxHORIZONTAL);
  header_sizer->Add(prefs->title, 1, wxALIGN_CENTER_VERTICAL | wxALL, 8);
  header->SetSizer(header_sizer);

  auto* page_column = new wxBoxSizer(wxVERTICAL);
  page_column->Add(header, 0, wxEXPAND | wxBOTTOM, 6);
  int widest = 0;
  for (int page = 0; page < kPreferencesPageCount; ++page) {
    wxScrolledWindow* panel = BuildPage(prefs, dialog, page);
    WidenDropDownsToTheirItems(panel);
    GiveTextRoomInFields(panel);
    PassWheelToPage(panel);
    prefs->page_panels.push_back(panel);
    page_column->Add(panel, 1, wxEXPAND);
  }
  // Wide enough for the widest page or area, and a scroll bar.
  for (wxScrolledWindow* panel : prefs->page_panels) {
    widest = std::max(widest, panel->GetSizer()->CalcMin().GetWidth());
  }
  for (auto& [where, area] : prefs->areas) {
    widest = std::max(widest, area->GetSizer()->CalcMin().GetWidth());
  }
  ApplyRules(prefs);
  const int scroll_bar = 40;
  // The width goes to a spacer: a page's own minimum would count as content.
  page_column->Add(widest + scroll_bar, 0);
  const int page_height = PageHeight(dialog);
  for (wxScrolledWindow* panel : prefs->page_panels) panel->SetMinSize(wxSize(-1, page_height));

  auto* body = new wxBoxSizer(wxHORIZONTAL);
  body->Add(prefs->pages, 0, wxEXPAND | wxRIGHT, 10);
  body->Add(page_column, 1, wxEXPAND);

  const std::vector<std::string> captions = WithMnemonics(
      {GetText("Dialog", "OK"), GetText("Dialog", "Cancel"), GetText("Dialog", "Defaults")});
  auto* ok = new wxButton(dialog, wxID_OK, Utf8(captions[0]));
  auto* cancel = new wxButton(dialog, wxID_CANCEL, Utf8(captions[1]));
  auto* defaults = new wxButton(dialog, wxID_ANY, Utf8(captions[2]));
  defaults->SetName("defaults");
  ok->SetDefault();
  // GTK's order (Cancel before OK) comes from the standard button sizer.
  auto* standard = new wxStdDialogButtonSizer;
  standard->AddButton(ok);
  standard->AddButton(cancel);
  standard->Realize();
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(defaults, 0, wxALIGN_CENTER_VERTICAL);
  buttons->AddStretchSpacer();
  buttons->Add(standard, 0, wxALIGN_CENTER_VERTICAL);

  auto* outer = new wxBoxSizer(wxVERTICAL);
  outer->Add(body, 1, wxEXPAND | wxALL, 10);
  outer->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
  dialog->SetSizerAndFit(outer);
  dialog->SetEscapeId(wxID_CANCEL);

  prefs->pages->Bind(wxEVT_LISTBOX,
                     [prefs](wxCommandEvent&) { ShowPage(prefs, prefs->pages->GetSelection()); });
  ok->Bind(wxEVT_BUTTON, [prefs](wxCommandEvent&) { PressOk(prefs); });
  cancel->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { ClosePreferences(); });
  defaults->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { PressDefaults(); });
  dialog->Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent&) { ClosePreferences(); });

  ShowPage(prefs, start_page >= 0 && start_page < kPreferencesPageCount ? start_page : 0);
  ShowOverMainWindow(dialog, prefs->pages);
}

}  // namespace pic2jpg
