#include "gui/main_window_ui.h"

#include <wx/accel.h>
#include <wx/app.h>
#include <wx/dirdlg.h>
#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "engine/format_tables.h"
#include "gui/commands.h"
#include "gui/image_maps.h"
#include "gui/open_url_ui.h"
#include "gui/preferences_ui.h"
#include "gui/secondary_dialogs_ui.h"
#include "gui/themes.h"
#include "gui/update_check_ui.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/folder_names.h"
#include "platform/process.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/main_formats.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "text/ascii_case.h"
#include "text/identity.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {

MainWindow g_main;

Prompter MessageBoxPrompter() {
  Prompter prompter;
  prompter.warn = [](const std::string& text) {
    wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(GetText("Msg", "Warning")),
                 wxOK | wxICON_WARNING, g_main.frame);
  };
  prompter.ask_yes_no = [](const std::string& text) {
    return wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(GetText("Msg", "Warning")),
                        wxYES_NO | wxICON_WARNING, g_main.frame) == wxYES;
  };
  return prompter;
}

namespace {

constexpr int kMinimumWidth = 510;
constexpr int kGap = 5;

wxString Text(const char* group, const char* key) {
  return wxString::FromUTF8(GetText(group, key));
}

int IconNumber(const std::map<std::string, int>& map, const std::string& name) {
  auto found = map.find(name);
  return found == map.end() ? -1 : found->second;
}

wxBitmap SmallIcon(const std::string& name) {
  return ImageBitmap(IconNumber(g_icon_image_map, name), 16);
}

// Dropped files and folders all go into the input list; folders are walked
// off the user-interface thread.
class FileDrop : public wxFileDropTarget {
 public:
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
    std::vector<std::string> paths;
    paths.reserve(files.size());
    for (const wxString& file : files) paths.push_back(file.utf8_string());
    CollectInputsInBackground(std::move(paths));
    return !files.IsEmpty();
  }
};

wxBitmapButton* FieldButton(int command, const char* icon, const char* tooltip_key) {
  auto* button = new wxBitmapButton(g_main.panel, command, SmallIcon(icon), wxDefaultPosition,
                                    wxDefaultSize, wxBORDER_NONE);
  button->SetToolTip(Text("Menu", tooltip_key));
  button->Bind(wxEVT_BUTTON, [command](wxCommandEvent&) { RunCommand(command); });
  return button;
}

void SelectInputFile() {
  wxFileDialog dialog(g_main.frame, Text("Dialog", "Select Input Files"),
                      wxString::FromUTF8(fs::FolderOf(g_run_state.input_path)), "",
                      wxString::FromUTF8(InputFileFilter()),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
  if (dialog.ShowModal() == wxID_OK) {
    wxArrayString chosen;
    dialog.GetPaths(chosen);
    std::vector<std::string> paths;
    for (const wxString& path : chosen) paths.push_back(path.utf8_string());
    AddInputPathsToWindow(paths);
  }
  g_run_state.input_path.clear();
}

void SelectOutputFolder() {
  std::string start = g_main.folders->GetValue().utf8_string();
  start = start.empty() ? g_run_state.output_folder : fs::FolderOf(start);
  wxDirDialog dialog(g_main.frame, Text("Dialog", "Select Output Folder"),
                     wxString::FromUTF8(start));
  if (dialog.ShowModal() == wxID_OK) {
    std::string folder = dialog.GetPath().utf8_string();
    if (!folder.empty() && folder.back() != '/') folder += '/';
    if (fs::IsFolder(folder)) {
      AddRecentOutputFolder(folder);
      g_run_state.output_folder = folder;
      FillOutputFolderList();
    }
  }
}

}  // namespace

void SetStatus(const std::string& text) {
  if (g_main.frame != nullptr && g_main.frame->GetStatusBar() != nullptr) {
    g_main.frame->SetStatusText(wxString::FromUTF8(text));
  }
}

std::string StatusText() {
  if (g_main.frame == nullptr || g_main.frame->GetStatusBar() == nullptr) return "";
  return g_main.frame->GetStatusBar()->GetStatusText().utf8_string();
}

void BuildMainMenu() {
  // Items of one menu get distinct mnemonics, as do the bar's titles.
  auto fill = [](std::initializer_list<int> ids) {
    auto* menu = new wxMenu;
    std::vector<std::string> captions;
    for (int id : ids) {
      if (id >= 0) captions.push_back(GetText("Menu", FindCommand(id)->caption_key));
    }
    const std::vector<std::string> marked = WithMnemonics(captions);
    size_t next = 0;
    for (int id : ids) {
      if (id < 0) {
        menu->AppendSeparator();
        continue;
      }
      const CommandInfo* command = FindCommand(id);
      auto* entry =
          new wxMenuItem(menu, id, wxString::FromUTF8(marked[next++] + command->shortcut));
      entry->SetBitmap(SmallIcon(command->icon));
      menu->Append(entry);
    }
    return menu;
  };
  const std::vector<std::string> titles = WithMnemonics(
      {GetText("Menu", "File"), GetText("Menu", "Converter"), GetText("Menu", "Help")});
  auto* bar = new wxMenuBar;
  bar->Append(fill({kCommandNew, -1, kCommandSelectInputFile, kCommandSelectOutputFolder, -1,
                    kCommandExit}),
              wxString::FromUTF8(titles[0]));
  bar->Append(fill({kCommandConvert, -1, kCommandCustomConverter, -1, kCommandPreferences}),
              wxString::FromUTF8(titles[1]));
  bar->Append(fill({kCommandManual, -1, kCommandSendFeedback, kCommandVisitHomepage,
                    kCommandCheckForNewVersion, -1, kCommandAbout}),
              wxString::FromUTF8(titles[2]));
  wxMenuBar* old = g_main.frame->GetMenuBar();
  g_main.frame->SetMenuBar(bar);
  delete old;
}

void BuildMainToolbar() {
  if (wxToolBar* old = g_main.frame->GetToolBar()) {
    g_main.frame->SetToolBar(nullptr);
    old->Destroy();
  }
  const int pixels = IconPixelSize(g_settings.interface.ui_size);
  wxToolBar* bar = g_main.frame->CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
  bar->SetToolBitmapSize(wxSize(pixels, pixels));
  const int ids[] = {kCommandNew,
                     kCommandSelectInputFile,
                     kCommandSelectOutputFolder,
                     -1,
                     kCommandPreferences,
                     -1,
                     kCommandConvert,
                     -1,
                     kCommandManual,
                     kCommandSendFeedback,
                     kCommandVisitHomepage,
                     kCommandCheckForNewVersion};
  for (int id : ids) {
    if (id < 0) {
      bar->AddSeparator();
      continue;
    }
    const CommandInfo* command = FindCommand(id);
    const wxString caption = Text("Menu", command->caption_key);
    bar->AddTool(id, caption,
                 ImageBitmap(IconNumber(g_second_icon_image_map, command->icon), pixels), caption);
  }
  bar->Realize();
}

void BuildMainWindow() {
  const WindowSettings& window = g_settings.window;
  if (g_main.collector.joinable()) g_main.collector.join();
  g_main = MainWindow{};
  g_main.frame = new wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(TitleWithVersion()),
                             wxPoint(window.x, window.y), wxSize(window.width, window.height));
  wxFrame* frame = g_main.frame;
  frame->SetName("main");
  frame->SetDropTarget(new FileDrop);
  BuildMainMenu();
  BuildMainToolbar();
  frame->CreateStatusBar(1);
  frame->SetStatusText("");

  auto* panel = new wxPanel(frame, wxID_ANY);
  g_main.panel = panel;
  // Three rows of a caption over a field with its button, the Convert button
  // beside them, the notice below; GTK decides the heights.
  auto* fields = new wxBoxSizer(wxVERTICAL);
  auto add_row = [&](const char* caption, wxWindow* field, wxBitmapButton* button) {
    fields->Add(new wxStaticText(panel, wxID_ANY, Text("General", caption)), 0, wxTOP, kGap);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(field, 1, wxALIGN_CENTER_VERTICAL);
    row->Add(button, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kGap);
    fields->Add(row, 0, wxEXPAND | wxTOP, 2);
  };
  g_main.input = new wxTextCtrl(panel, wxID_ANY, "");
  g_main.input->SetName("input");
  // Typing a name replaces the collected files (the window sets the field's
  // text with ChangeValue, which sends no event).
  g_main.input->Bind(wxEVT_TEXT, [](wxCommandEvent&) { g_main.inputs = CollectedInputs{}; });
  g_main.input_button = FieldButton(kCommandSelectInputFile, "Add", "Select Input File");
  add_row("Input File", g_main.input, g_main.input_button);
  g_main.folders = new wxBitmapComboBox(panel, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0,
                                        nullptr, wxCB_READONLY);
  g_main.folders->SetName("folders");
  g_main.folders->Bind(wxEVT_COMBOBOX, [](wxCommandEvent&) {
    g_run_state.output_folder = g_main.folders->GetValue().utf8_string();
  });
  g_main.folder_button =
      FieldButton(kCommandSelectOutputFolder, "OutFolder", "Select Output Folder");
  add_row("Output Folder", g_main.folders, g_main.folder_button);
  g_main.formats = new wxBitmapComboBox(panel, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0,
                                        nullptr, wxCB_READONLY);
  g_main.formats->Bind(wxEVT_COMBOBOX, [](wxCommandEvent&) {
    int selection = g_main.formats->GetSelection();
    if (selection == wxNOT_FOUND) return;
    auto index =
        reinterpret_cast<intptr_t>(g_main.formats->GetClientData(static_cast<unsigned>(selection)));
    g_settings.output.format = kMainOutputFormats[index == 1 ? 1 : 0];
  });
  g_main.format_button =
      FieldButton(kCommandOutputFormatOptions, "OutFormat", "Output Format Options");
  add_row("Output Format", g_main.formats, g_main.format_button);

  g_main.convert = new wxBitmapButton(panel, kCommandConvert,
                                      ImageBitmap(IconNumber(g_button_image_map, "Convert"), 64),
                                      wxDefaultPosition, wxSize(100, 100));
  g_main.convert->SetName("convert");
  g_main.convert->SetToolTip(Text("Menu", "Convert"));
  g_main.convert->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { RunCommand(kCommandConvert); });
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(fields, 1, wxEXPAND);
  top->Add(g_main.convert, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 3 * kGap);

  g_main.notice = new wxStaticText(
      panel, wxID_ANY, "Drop a PICT file here or pick one with the + button, then press F5.",
      wxDefaultPosition, wxDefaultSize, wxST_ELLIPSIZE_END);
  auto* outer = new wxBoxSizer(wxVERTICAL);
  outer->Add(top, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 2 * kGap);
  outer->Add(g_main.notice, 0, wxEXPAND | wxALL, 2 * kGap);
  panel->SetSizer(outer);

  frame->Bind(wxEVT_MENU, [](wxCommandEvent& event) { RunCommand(event.GetId()); });
  frame->Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent&) { ExitDesktop(); });
  wxAcceleratorEntry keys[] = {{wxACCEL_CTRL, 'N', kCommandNew},
                               {wxACCEL_ALT, 'X', kCommandExit},
                               {wxACCEL_NORMAL, WXK_F5, kCommandConvert},
                               {wxACCEL_NORMAL, WXK_F1, kCommandManual}};
  // F10 is left to GTK, which opens the menu bar with it.
  frame->SetAcceleratorTable(wxAcceleratorTable(4, keys));
  // The client area is as high as the rows need and as wide as the stored
  // Width (at least the minimum); only the width can change.
  const wxSize best = outer->GetMinSize();
  frame->SetClientSize(std::max({window.width, kMinimumWidth, best.GetWidth()}), best.GetHeight());
  const wxSize outer_size = frame->GetSize();
  const int frame_extra = outer_size.GetWidth() - frame->GetClientSize().GetWidth();
  frame->SetMinSize(
      wxSize(std::max(kMinimumWidth, best.GetWidth()) + frame_extra, outer_size.GetHeight()));
  frame->SetMaxSize(wxSize(-1, outer_size.GetHeight()));
  panel->Layout();
}

void FillOutputFormatList(wxBitmapComboBox* list, bool with_description) {
  list->Clear();
  int selected = 0;
  for (intptr_t i = 0; i < 2; ++i) {
    const std::string extension = kMainOutputFormats[i];
    if (extension.empty()) continue;
    std::string text = UpperAscii(extension);
    if (with_description) text += " (" + LookupOutputFormat(extension).description + ")";
    list->Append(wxString::FromUTF8(text), SmallIcon("New"), reinterpret_cast<void*>(i));
    if (extension == g_settings.output.format) selected = static_cast<int>(i);
  }
  if (list->GetCount() > 0) list->SetSelection(selected);
}

void FillOutputFolderList() {
  if (g_settings.file.recent_out_folders.empty()) return;
  const FolderListView view = OutputFolderListView(g_settings, g_run_state.output_folder);
  g_main.folders->Clear();
  for (const std::string& entry : view.entries) {
    g_main.folders->Append(wxString::FromUTF8(entry), SmallIcon("FavFolder"));
  }
  if (!view.entries.empty()) g_main.folders->SetSelection(view.selected);
}

void RefreshControlIcons() {
  g_main.convert->SetBitmap(ImageBitmap(IconNumber(g_button_image_map, "Convert"), 64));
  for (unsigned i = 0; i < g_main.folders->GetCount(); ++i) {
    g_main.folders->SetItemBitmap(i, SmallIcon("FavFolder"));
  }
  for (unsigned i = 0; i < g_main.formats->GetCount(); ++i) {
    g_main.formats->SetItemBitmap(i, SmallIcon("New"));
  }
}

void ApplyInterfaceChanges(const InterfaceChanges& changes) {
  if (g_main.frame == nullptr) return;
  if (changes.theme) {
    LoadThemeImages(true, true, true);
    BuildMainMenu();
    BuildMainToolbar();
    RefreshControlIcons();
  } else if (changes.icon_size) {
    LoadThemeImages(false, false, true);
    BuildMainToolbar();
  }
  if (changes.output_format) FillOutputFormatList(g_main.formats, true);
  if (changes.folder_list) FillOutputFolderList();
  g_main.panel->Layout();
}

void NewSession() {
  FillOutputFolderList();
  ResetRunState();
  g_main.inputs = CollectedInputs{};
  g_main.input->ChangeValue("");
  // A read-only list ignores a text of its own: emptied by selecting none.
  g_main.folders->SetSelection(wxNOT_FOUND);
  g_main.input->SetFocus();
}

namespace {

// Takes collected files into the window: the field shows the first and how
// many more; the output folder is proposed when none is chosen.
bool TakeInputs(CollectedInputs collected) {
  if (collected.files.empty()) {
    if (!collected.problems.empty()) {
      SetStatus(PrintableText(collected.problems.front().path) + ": " +
                collected.problems.front().reason);
    }
    return false;
  }
  const std::string first = collected.files.front().path;
  const std::string proposed_base =
      collected.first_folder == fs::FolderOf(first) ? "" : collected.first_folder;
  MergeInputs(&g_main.inputs, std::move(collected));
  g_main.input->ChangeValue(wxString::FromUTF8(InputFieldText(g_main.inputs.files)));
  g_run_state.input_path = first;
  if (g_main.folders->GetValue().IsEmpty()) {
    const std::string folder = ProposedOutputFolder(first, proposed_base);
    AddRecentOutputFolder(folder);
    g_run_state.output_folder = folder;
    FillOutputFolderList();
  }
  return true;
}

}  // namespace

bool AddInputFileToWindow(const std::string& path) { return AddInputPathsToWindow({path}); }

bool AddInputPathsToWindow(const std::vector<std::string>& paths) {
  return TakeInputs(CollectInputs(paths));
}

void CollectInputsInBackground(std::vector<std::string> paths) {
  if (paths.empty()) return;
  SetStatus(GetText("General", "Importing"));
  if (g_main.collector.joinable()) g_main.collector.join();
  g_main.collector = std::thread([paths = std::move(paths)] {
    CollectedInputs collected = CollectInputs(paths);
    wxTheApp->CallAfter([collected = std::move(collected)]() mutable {
      // The walk has ended: its thread only returns now.
      if (g_main.collector.joinable()) g_main.collector.join();
      SetStatus("");
      TakeInputs(std::move(collected));
    });
  });
}

void ShowMainWindow() {
  RegisterFormats();
  if (g_settings.window.is_maximized != 0) g_main.frame->Maximize();
  if (g_settings.file.recent_out_folders.empty())
    g_main.folders->Append("", SmallIcon("FavFolder"));
  FillOutputFormatList(g_main.formats, true);
  NewSession();
  g_main.frame->Show();
  if (g_run_state.message_level != "T") ScheduledUpdateCheck();
}

void RunCommand(int id) {
  switch (id) {
    case kCommandNew:
      NewSession();
      break;
    case kCommandExit:
      ExitDesktop();
      break;
    case kCommandSelectInputFile:
      SelectInputFile();
      break;
    case kCommandSelectOutputFolder:
      SelectOutputFolder();
      break;
    case kCommandOutputFormatOptions:
      ShowPreferencesDialog(kOutputPage);
      break;
    case kCommandConvert:
      RunGuiConversion();
      break;
    case kCommandPreferences:
      OpenPreferencesDialog();
      break;
    case kCommandCustomConverter:
      OpenConverterDialog();
      break;
    case kCommandManual:
      OpenUrl(ManualPath());
      break;
    case kCommandSendFeedback:
      OpenUrl(FeedbackMailLink());
      break;
    case kCommandVisitHomepage:
      OpenUrl(HomepageUrl());
      break;
    case kCommandCheckForNewVersion:
      CheckForUpdate();
      break;
    case kCommandAbout:
      OpenAboutDialog();
      break;
    default:
      break;
  }
}

void ExitDesktop() {
  if (g_main.quit_requested) return;
  g_main.quit_requested = true;
  if (g_main.collector.joinable()) g_main.collector.join();
  WindowGeometry seen;
  seen.maximized = g_main.frame->IsMaximized();
  seen.iconized = g_main.frame->IsIconized();
  const wxPoint position = g_main.frame->GetPosition();
  seen.x = position.x;
  seen.y = position.y;
  seen.client_width = g_main.frame->GetClientSize().GetWidth();
  StoreExitState(seen, &g_settings);
  SaveSettings();
  g_main.frame->Destroy();
}

}  // namespace pic2jpg
