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
#include "gui/text_sizes_ui.h"
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
#include "text/placeholders.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {

namespace {

// The frame's hold on its window: deleted with the frame.
struct MainWindowHolder : wxClientData {
  MainWindow window;
};

wxString Utf8(const std::string& text) { return wxString::FromUTF8(text); }

}  // namespace

Prompter MessageBoxPrompter(wxWindow* parent) {
  // Over the window that has the focus (a dialog asks over itself), else
  // over `parent`.
  auto over = [parent] {
    wxWindow* focus = wxWindow::FindFocus();
    return focus != nullptr ? wxGetTopLevelParent(focus) : parent;
  };
  auto box = [over](const std::string& text, const std::string& title, long style) {
    return wxMessageBox(Utf8(text), Utf8(title), style, over());
  };
  Prompter prompter;
  prompter.warn = [box](const std::string& text) {
    box(text, GetText("Msg", "Warning"), wxOK | wxICON_WARNING);
  };
  prompter.ask_yes_no = [box](const std::string& text) {
    return box(text, GetText("Msg", "Warning"), wxYES_NO | wxICON_WARNING) == wxYES;
  };
  prompter.ask = [box](const std::string& title, const std::string& text) {
    return box(text, title, wxYES_NO | wxICON_QUESTION) == wxYES;
  };
  prompter.ask_destructive = [box](const std::string& title, const std::string& text) {
    return box(text, title, wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION) == wxYES;
  };
  prompter.inform = [box](const std::string& title, const std::string& text) {
    box(text, title, wxOK | wxICON_INFORMATION);
  };
  prompter.show_error = [box](const std::string& text) {
    box(text, GetText("Msg", "Error"), wxOK | wxICON_ERROR);
  };
  prompter.open_url = [](const std::string& target, std::function<void()> failed_later) {
    return platform::OpenWithDesktop(target, [failed_later = std::move(failed_later)](int status) {
      if (status != 0) failed_later();
    });
  };
  return prompter;
}

MainWindow* FindMainWindow() {
  for (wxWindow* top : wxTopLevelWindows) {
    // A closed frame waits for the next idle time to be deleted.
    if (top->GetName() != "main" || top->IsBeingDeleted() || wxPendingDelete.Member(top)) continue;
    if (auto* holder = dynamic_cast<MainWindowHolder*>(top->GetClientObject())) {
      return &holder->window;
    }
  }
  return nullptr;
}

wxFrame* MainFrame() {
  MainWindow* window = FindMainWindow();
  return window == nullptr ? nullptr : window->frame;
}

const Prompter& MainPrompter() {
  if (MainWindow* window = FindMainWindow()) return window->model.prompter;
  static const Prompter without_window = MessageBoxPrompter(nullptr);
  return without_window;
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
  explicit FileDrop(MainWindow* window) : window_(window) {}
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
    std::vector<std::string> paths;
    paths.reserve(files.size());
    for (const wxString& file : files) paths.push_back(file.utf8_string());
    CollectInputsInBackground(*window_, std::move(paths));
    return !files.IsEmpty();
  }

 private:
  MainWindow* window_;
};

wxBitmapButton* FieldButton(MainWindow& window, int command, const char* icon,
                            const char* tooltip_key) {
  auto* button = new wxBitmapButton(window.panel, command, SmallIcon(icon), wxDefaultPosition,
                                    wxDefaultSize, wxBORDER_NONE);
  button->SetToolTip(Text("Menu", tooltip_key));
  button->Bind(wxEVT_BUTTON, [&window, command](wxCommandEvent&) { RunCommand(window, command); });
  return button;
}

void SelectInputFile(MainWindow& window) {
  wxFileDialog dialog(window.frame, Text("Dialog", "Select Input Files"),
                      wxString::FromUTF8(fs::FolderOf(g_run_state.input_path)), "",
                      wxString::FromUTF8(InputFileFilter()),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST | wxFD_MULTIPLE);
  if (dialog.ShowModal() == wxID_OK) {
    wxArrayString chosen;
    dialog.GetPaths(chosen);
    std::vector<std::string> paths;
    for (const wxString& path : chosen) paths.push_back(path.utf8_string());
    AddInputPathsToWindow(window, paths);
  }
  g_run_state.input_path.clear();
}

void SelectOutputFolder(MainWindow& window) {
  std::string start = window.folders->GetValue().utf8_string();
  start = start.empty() ? g_run_state.output_folder : fs::FolderOf(start);
  wxDirDialog dialog(window.frame, Text("Dialog", "Select Output Folder"),
                     wxString::FromUTF8(start));
  if (dialog.ShowModal() == wxID_OK) {
    std::string folder = dialog.GetPath().utf8_string();
    if (!folder.empty() && folder.back() != '/') folder += '/';
    if (fs::IsFolder(folder)) {
      AddRecentOutputFolder(folder);
      g_run_state.output_folder = folder;
      FillOutputFolderList(window);
    }
  }
}

}  // namespace

void SetStatus(MainWindow& window, const std::string& text) {
  if (window.frame != nullptr && window.frame->GetStatusBar() != nullptr) {
    window.frame->SetStatusText(wxString::FromUTF8(text));
  }
}

std::string StatusText(MainWindow& window) {
  if (window.frame == nullptr || window.frame->GetStatusBar() == nullptr) return "";
  return window.frame->GetStatusBar()->GetStatusText().utf8_string();
}

void BuildMainMenu(MainWindow& window) {
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
  wxMenuBar* old = window.frame->GetMenuBar();
  window.frame->SetMenuBar(bar);
  delete old;
}

void BuildMainToolbar(MainWindow& window) {
  if (wxToolBar* old = window.frame->GetToolBar()) {
    window.frame->SetToolBar(nullptr);
    old->Destroy();
  }
  const int pixels = IconPixelSize(g_settings.interface.ui_size);
  wxToolBar* bar = window.frame->CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT);
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

MainWindow& BuildMainWindow() {
  const WindowSettings& stored = g_settings.window;
  auto* frame = new wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(TitleWithVersion()),
                            wxPoint(stored.x, stored.y), wxSize(stored.width, stored.height));
  auto* holder = new MainWindowHolder;
  frame->SetClientObject(holder);
  MainWindow& window = holder->window;
  window.frame = frame;
  window.model.prompter = MessageBoxPrompter(frame);
  frame->SetName("main");
  frame->SetDropTarget(new FileDrop(&window));
  BuildMainMenu(window);
  BuildMainToolbar(window);
  frame->CreateStatusBar(1);
  frame->SetStatusText("");

  auto* panel = new wxPanel(frame, wxID_ANY);
  window.panel = panel;
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
  window.input = new wxTextCtrl(panel, wxID_ANY, "");
  window.input->SetName("input");
  // Typing a name replaces the collected files (the window sets the field's
  // text with ChangeValue, which sends no event).
  window.input->Bind(wxEVT_TEXT,
                     [&window](wxCommandEvent&) { window.model.inputs = CollectedInputs{}; });
  // Summing up several files, the field is read-only: a double-click or
  // Return shows them all.
  window.input->Bind(wxEVT_LEFT_DCLICK, [&window](wxMouseEvent& event) {
    if (window.input->IsEditable()) {
      event.Skip();
      return;
    }
    ShowInputList(window);
  });
  window.input->Bind(wxEVT_KEY_DOWN, [&window](wxKeyEvent& event) {
    const bool enter = event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER;
    if (!enter || window.input->IsEditable()) {
      event.Skip();
      return;
    }
    ShowInputList(window);
  });
  window.input_button = FieldButton(window, kCommandSelectInputFile, "Add", "Select Input File");
  add_row("Input File", window.input, window.input_button);
  window.folders = new wxBitmapComboBox(panel, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0,
                                        nullptr, wxCB_READONLY);
  window.folders->SetName("folders");
  window.folders->Bind(wxEVT_COMBOBOX, [&window](wxCommandEvent&) {
    g_run_state.output_folder = window.folders->GetValue().utf8_string();
  });
  window.folder_button =
      FieldButton(window, kCommandSelectOutputFolder, "OutFolder", "Select Output Folder");
  add_row("Output Folder", window.folders, window.folder_button);
  window.formats = new wxBitmapComboBox(panel, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0,
                                        nullptr, wxCB_READONLY);
  window.formats->Bind(wxEVT_COMBOBOX, [&window](wxCommandEvent&) {
    SelectMainOutputFormat(SelectedFormatIndex(window), &g_settings.output);
  });
  window.format_button =
      FieldButton(window, kCommandOutputFormatOptions, "OutFormat", "Output Format Options");
  add_row("Output Format", window.formats, window.format_button);

  window.convert = new wxBitmapButton(panel, kCommandConvert,
                                      ImageBitmap(IconNumber(g_button_image_map, "Convert"), 64),
                                      wxDefaultPosition, wxSize(100, 100));
  window.convert->SetName("convert");
  window.convert->SetToolTip(Text("Menu", "Convert"));
  window.convert->Bind(wxEVT_BUTTON,
                       [&window](wxCommandEvent&) { RunCommand(window, kCommandConvert); });
  auto* top = new wxBoxSizer(wxHORIZONTAL);
  top->Add(fields, 1, wxEXPAND);
  top->Add(window.convert, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 3 * kGap);

  window.notice = new wxStaticText(panel, wxID_ANY, Text("General", "Drop Notice"),
                                   wxDefaultPosition, wxDefaultSize, wxST_ELLIPSIZE_END);
  auto* outer = new wxBoxSizer(wxVERTICAL);
  outer->Add(top, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 2 * kGap);
  outer->Add(window.notice, 0, wxEXPAND | wxALL, 2 * kGap);
  panel->SetSizer(outer);
  GiveTextRoomInFields(panel);

  frame->Bind(wxEVT_MENU, [&window](wxCommandEvent& event) { RunCommand(window, event.GetId()); });
  frame->Bind(wxEVT_CLOSE_WINDOW, [&window](wxCloseEvent&) { ExitDesktop(window); });
  wxAcceleratorEntry keys[] = {{wxACCEL_CTRL, 'N', kCommandNew},
                               {wxACCEL_ALT, 'X', kCommandExit},
                               {wxACCEL_NORMAL, WXK_F5, kCommandConvert},
                               {wxACCEL_NORMAL, WXK_F1, kCommandManual}};
  // F10 is left to GTK, which opens the menu bar with it.
  frame->SetAcceleratorTable(wxAcceleratorTable(4, keys));
  // The client area is as high as the rows need and as wide as the stored
  // Width (at least the minimum); only the width can change.
  const wxSize best = outer->GetMinSize();
  frame->SetClientSize(std::max({stored.width, kMinimumWidth, best.GetWidth()}), best.GetHeight());
  const wxSize outer_size = frame->GetSize();
  const int frame_extra = outer_size.GetWidth() - frame->GetClientSize().GetWidth();
  frame->SetMinSize(
      wxSize(std::max(kMinimumWidth, best.GetWidth()) + frame_extra, outer_size.GetHeight()));
  frame->SetMaxSize(wxSize(-1, outer_size.GetHeight()));
  panel->Layout();
  return window;
}

int SelectedFormatIndex(const MainWindow& window) {
  const int selection = window.formats->GetSelection();
  if (selection == wxNOT_FOUND) return 0;
  return static_cast<int>(
      reinterpret_cast<intptr_t>(window.formats->GetClientData(static_cast<unsigned>(selection))));
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

void FillOutputFolderList(MainWindow& window) {
  if (g_settings.file.recent_out_folders.empty()) return;
  const FolderListView view = OutputFolderListView(g_settings, g_run_state.output_folder);
  window.folders->Clear();
  for (const std::string& entry : view.entries) {
    window.folders->Append(wxString::FromUTF8(entry), SmallIcon("FavFolder"));
  }
  if (!view.entries.empty()) window.folders->SetSelection(view.selected);
}

void RefreshControlIcons(MainWindow& window) {
  window.convert->SetBitmap(ImageBitmap(IconNumber(g_button_image_map, "Convert"), 64));
  for (unsigned i = 0; i < window.folders->GetCount(); ++i) {
    window.folders->SetItemBitmap(i, SmallIcon("FavFolder"));
  }
  for (unsigned i = 0; i < window.formats->GetCount(); ++i) {
    window.formats->SetItemBitmap(i, SmallIcon("New"));
  }
}

void ApplyInterfaceChanges(const InterfaceChanges& changes) {
  MainWindow* found = FindMainWindow();
  if (found == nullptr) return;
  MainWindow& window = *found;
  if (changes.theme) {
    LoadThemeImages(true, true, true);
    BuildMainMenu(window);
    BuildMainToolbar(window);
    RefreshControlIcons(window);
  } else if (changes.icon_size) {
    LoadThemeImages(false, false, true);
    BuildMainToolbar(window);
  }
  if (changes.output_format) FillOutputFormatList(window.formats, true);
  if (changes.folder_list) FillOutputFolderList(window);
  window.panel->Layout();
}

void NewSession(MainWindow& window) {
  FillOutputFolderList(window);
  ResetRunState();
  StartNewSession(&window.model);
  window.input->ChangeValue("");
  window.input->SetEditable(true);
  window.input->UnsetToolTip();
  // A read-only list ignores a text of its own: emptied by selecting none.
  window.folders->SetSelection(wxNOT_FOUND);
  window.input->SetFocus();
}

namespace {

bool TakeIntoWindow(MainWindow& window, CollectedInputs collected) {
  const TakenInputs taken = TakeInputs(&window.model, std::move(collected),
                                       !window.folders->GetValue().IsEmpty(), &g_run_state);
  if (!taken.taken) {
    if (!taken.status.empty()) SetStatus(window, taken.status);
    return false;
  }
  window.input->ChangeValue(Utf8(taken.field_text));
  const size_t count = window.model.inputs.files.size();
  window.input->SetEditable(count < 2);
  if (count < 2) {
    window.input->UnsetToolTip();
  } else {
    window.input->SetToolTip(
        Utf8(FillPlaceholders(GetText("General", "Input files hint"), std::to_string(count))));
  }
  if (taken.folder_list_changed) FillOutputFolderList(window);
  return true;
}

}  // namespace

bool AddInputFileToWindow(MainWindow& window, const std::string& path) {
  return AddInputPathsToWindow(window, {path});
}

bool AddInputPathsToWindow(MainWindow& window, const std::vector<std::string>& paths) {
  return TakeIntoWindow(window, CollectInputs(paths));
}

bool TakeCollectedIntoWindow(MainWindow& window, CollectedInputs collected) {
  return TakeIntoWindow(window, std::move(collected));
}

void CollectInputsInBackground(MainWindow& window, std::vector<std::string> paths) {
  if (paths.empty()) return;
  SetStatus(window, GetText("General", "Importing"));
  MainWindowModel& model = window.model;
  if (model.collector.joinable()) model.collector.join();
  const uint64_t session = model.session;
  wxFrame* frame = window.frame;
  model.collector = std::thread([frame, session, paths = std::move(paths)] {
    CollectedInputs collected = CollectInputs(paths);
    // Back on the window's thread: the frame is found again, since it may
    // have closed while the walk went on.
    wxTheApp->CallAfter([frame, session, collected = std::move(collected)]() mutable {
      MainWindow* open = FindMainWindow();
      if (open == nullptr || open->frame != frame) return;
      // The walk has ended: its thread only returns now.
      if (open->model.collector.joinable()) open->model.collector.join();
      SetStatus(*open, "");
      if (open->model.session != session) return;  // begun before a new session
      TakeIntoWindow(*open, std::move(collected));
    });
  });
}

void ShowMainWindow(MainWindow& window) {
  RegisterFormats();
  if (g_settings.window.is_maximized != 0) window.frame->Maximize();
  if (g_settings.file.recent_out_folders.empty())
    window.folders->Append("", SmallIcon("FavFolder"));
  FillOutputFormatList(window.formats, true);
  NewSession(window);
  window.frame->Show();
  if (g_run_state.message_level != MessageLevel::kScreenshot) ScheduledUpdateCheck();
}

void RunCommand(MainWindow& window, int id) {
  switch (id) {
    case kCommandNew:
      NewSession(window);
      break;
    case kCommandExit:
      ExitDesktop(window);
      break;
    case kCommandSelectInputFile:
      SelectInputFile(window);
      break;
    case kCommandSelectOutputFolder:
      SelectOutputFolder(window);
      break;
    case kCommandOutputFormatOptions:
      ShowPreferencesDialog(kOutputPage);
      break;
    case kCommandConvert:
      RunGuiConversion(window);
      break;
    case kCommandPreferences:
      ShowPreferencesDialog(0);
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

void ExitDesktop(MainWindow& window) {
  if (window.model.quit_requested) return;
  window.model.quit_requested = true;
  if (window.model.collector.joinable()) window.model.collector.join();
  WindowGeometry seen;
  seen.maximized = window.frame->IsMaximized();
  seen.iconized = window.frame->IsIconized();
  const wxPoint position = window.frame->GetPosition();
  seen.x = position.x;
  seen.y = position.y;
  seen.client_width = window.frame->GetClientSize().GetWidth();
  StoreExitState(seen, &g_settings);
  SaveSettings();
  window.frame->Destroy();
}

}  // namespace pic2jpg
