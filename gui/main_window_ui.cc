#include "gui/main_window_ui.h"

#include <wx/accel.h>
#include <wx/dirdlg.h>
#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/mstream.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include <algorithm>

#include "engine/format_tables.h"
#include "engine/run_state.h"
#include "gui/commands.h"
#include "gui/image_maps.h"
#include "gui/main_layout.h"
#include "gui/preferences_ui.h"
#include "gui/themes.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/folder_names.h"
#include "platform/process.h"
#include "runlist/run_list.h"
#include "settings/main_formats.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "text/ascii_case.h"
#include "text/identity.h"
#include "text/text_catalogue.h"

namespace pic2jpg {

MainWindow g_main;

std::function<void(const std::string&)> g_show_warning = [](const std::string& text) {
  wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(GetText("Msg", "Warning")),
               wxOK | wxICON_WARNING, g_main.frame);
};

std::function<bool()> g_ask_break_conversion = [] {
  return wxMessageBox(wxString::FromUTF8(GetText("Msg", "Ask break conversion")),
                      wxString::FromUTF8(GetText("Msg", "Warning")),
                      wxYES_NO | wxICON_WARNING) == wxYES;
};

namespace {

constexpr int kMinimumWidth = 510;
constexpr int kClientHeight = 168;

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

// A dropped file list: only the first file counts.
class FileDrop : public wxFileDropTarget {
 public:
  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
    if (files.IsEmpty()) return false;
    AddInputFileToWindow(files[0].utf8_string());
    return true;
  }
};

wxBitmapButton* FieldButton(int command, const char* icon, const char* tooltip_key) {
  auto* button = new wxBitmapButton(g_main.panel, command, SmallIcon(icon), wxDefaultPosition,
                                    wxSize(24, 24), wxBORDER_NONE);
  button->SetToolTip(Text("Menu", tooltip_key));
  button->Bind(wxEVT_BUTTON, [command](wxCommandEvent&) { RunCommand(command); });
  return button;
}

void SelectInputFile() {
  wxFileDialog dialog(g_main.frame, Text("Dialog", "Select Input Files"),
                      wxString::FromUTF8(fs::FolderOf(g_run_state.input_path)), "",
                      wxString::FromUTF8(InputFileFilter()), wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() == wxID_OK) AddInputFileToWindow(dialog.GetPath().utf8_string());
  g_run_state.input_path.clear();
  LayoutMainWindow();
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
  LayoutMainWindow();
}

void ScheduledUpdateCheck() {
  const int64_t now = platform::NowLocalSeconds();
  if (!UpdateCheckDue(g_settings.general.update_range, g_settings.general.update_date, now)) {
    return;
  }
  // The check itself comes with the update client; until then only the date
  // moves, so the question is not due again at every start.
  g_settings.general.update_date = static_cast<int32_t>(now);
}

}  // namespace

wxBitmap ImageBitmap(int number, int pixels) {
  auto found = g_images.find(number);
  if (found == g_images.end() || found->second.empty()) {
    return wxBitmap(wxImage(pixels, pixels, true));
  }
  wxMemoryInputStream stream(found->second.data(), found->second.size());
  wxImage image(stream, wxBITMAP_TYPE_PNG);
  if (!image.IsOk()) return wxBitmap(wxImage(pixels, pixels, true));
  if (image.GetWidth() != pixels || image.GetHeight() != pixels) {
    image.Rescale(pixels, pixels, wxIMAGE_QUALITY_HIGH);
  }
  return wxBitmap(image);
}

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
  auto item = [](wxMenu* menu, int id) {
    const CommandInfo* command = FindCommand(id);
    auto* entry = new wxMenuItem(
        menu, id, wxString::FromUTF8(GetText("Menu", command->caption_key) + command->shortcut));
    entry->SetBitmap(SmallIcon(command->icon));
    menu->Append(entry);
  };
  auto* file = new wxMenu;
  item(file, kCommandNew);
  file->AppendSeparator();
  item(file, kCommandSelectInputFile);
  item(file, kCommandSelectOutputFolder);
  file->AppendSeparator();
  item(file, kCommandExit);
  auto* converter = new wxMenu;
  item(converter, kCommandConvert);
  converter->AppendSeparator();
  item(converter, kCommandCustomConverter);
  converter->AppendSeparator();
  item(converter, kCommandPreferences);
  auto* help = new wxMenu;
  item(help, kCommandManual);
  help->AppendSeparator();
  item(help, kCommandSendFeedback);
  item(help, kCommandVisitHomepage);
  item(help, kCommandCheckForNewVersion);
  help->AppendSeparator();
  item(help, kCommandAbout);
  auto* bar = new wxMenuBar;
  bar->Append(file, Text("Menu", "File"));
  bar->Append(converter, Text("Menu", "Converter"));
  bar->Append(help, Text("Menu", "Help"));
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
  new wxStaticText(panel, wxID_ANY, Text("General", "Input File"), wxPoint(10, 5), wxSize(350, 20));
  g_main.input = new wxTextCtrl(panel, wxID_ANY, "", wxPoint(10, 20), wxSize(350, -1));
  g_main.input->SetName("input");
  g_main.input_button = FieldButton(kCommandSelectInputFile, "Add", "Select Input File");
  new wxStaticText(panel, wxID_ANY, Text("General", "Output Folder"),
                   wxPoint(10, kFieldBlockTop + 15), wxSize(350, 20));
  g_main.folders = new wxBitmapComboBox(panel, wxID_ANY, "", wxPoint(10, kFieldBlockTop + 30),
                                        wxSize(350, -1), 0, nullptr, wxCB_READONLY);
  g_main.folders->SetName("folders");
  g_main.folders->Bind(wxEVT_COMBOBOX, [](wxCommandEvent&) {
    g_run_state.output_folder = g_main.folders->GetValue().utf8_string();
  });
  g_main.folder_button =
      FieldButton(kCommandSelectOutputFolder, "OutFolder", "Select Output Folder");
  new wxStaticText(panel, wxID_ANY, Text("General", "Output Format"),
                   wxPoint(10, kFieldBlockTop + 55), wxSize(350, 20));
  g_main.formats = new wxBitmapComboBox(panel, wxID_ANY, "", wxPoint(10, kFieldBlockTop + 70),
                                        wxSize(350, -1), 0, nullptr, wxCB_READONLY);
  g_main.formats->Bind(wxEVT_COMBOBOX, [](wxCommandEvent&) {
    int selection = g_main.formats->GetSelection();
    if (selection == wxNOT_FOUND) return;
    auto index =
        reinterpret_cast<intptr_t>(g_main.formats->GetClientData(static_cast<unsigned>(selection)));
    g_settings.output.format = kMainOutputFormats[index == 1 ? 1 : 0];
  });
  g_main.format_button =
      FieldButton(kCommandOutputFormatOptions, "OutFormat", "Output Format Options");
  g_main.convert = new wxBitmapButton(panel, kCommandConvert,
                                      ImageBitmap(IconNumber(g_button_image_map, "Convert"), 64),
                                      wxPoint(400, 20), wxSize(100, 100));
  g_main.convert->SetName("convert");
  g_main.convert->SetToolTip(Text("Menu", "Convert"));
  g_main.convert->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { RunCommand(kCommandConvert); });
  g_main.notice = new wxStaticText(
      panel, wxID_ANY, "Drop a PICT file here or pick one with the + button, then press F5.",
      wxPoint(10, kClientHeight - 24), wxSize(480, 20));

  frame->Bind(wxEVT_MENU, [](wxCommandEvent& event) { RunCommand(event.GetId()); });
  frame->Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent&) { ExitDesktop(); });
  frame->Bind(wxEVT_SIZE, [](wxSizeEvent& event) {
    event.Skip();
    LayoutMainWindow();
  });
  wxAcceleratorEntry keys[] = {{wxACCEL_CTRL, 'N', kCommandNew},
                               {wxACCEL_ALT, 'X', kCommandExit},
                               {wxACCEL_NORMAL, WXK_F5, kCommandConvert},
                               {wxACCEL_NORMAL, WXK_F1, kCommandManual},
                               {wxACCEL_NORMAL, WXK_F10, kCommandNothing}};
  frame->SetAcceleratorTable(wxAcceleratorTable(5, keys));
  // GTK's controls are taller than the 20-pixel rows the layout was drawn
  // for, and its menu bar, toolbar and status bar lie outside the client
  // area: the client area is the three rows and the notice line, its width
  // the stored Width, and only the width can change.
  frame->SetClientSize(std::max(window.width, kMinimumWidth), kClientHeight);
  const wxSize outer = frame->GetSize();
  const int frame_extra = outer.GetWidth() - frame->GetClientSize().GetWidth();
  frame->SetMinSize(wxSize(kMinimumWidth + frame_extra, outer.GetHeight()));
  frame->SetMaxSize(wxSize(-1, outer.GetHeight()));
}

void LayoutMainWindow() {
  if (g_main.frame == nullptr || g_main.panel == nullptr) return;
  const MainLayout layout = LayoutFor(g_main.frame->GetClientSize().GetWidth());
  g_main.input->SetSize(layout.list_width, -1);
  g_main.folders->SetSize(layout.list_width, -1);
  g_main.formats->SetSize(layout.list_width, -1);
  g_main.input_button->SetSize(layout.field_button_x, 19, 24, 24);
  g_main.folder_button->SetSize(layout.field_button_x, kFieldBlockTop + 29, 24, 24);
  g_main.format_button->SetSize(layout.field_button_x, kFieldBlockTop + 69, 24, 24);
  g_main.convert->SetSize(layout.convert_x, 20, 100, 100);
  g_main.panel->Refresh(false);
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
  g_main.folders->Clear();
  int selected = 0;
  for (int i = 0; i < g_settings.advanced.out_folders_number; ++i) {
    const std::string entry = GetRecentOutputFolder(i);
    if (entry.empty()) continue;
    g_main.folders->Append(wxString::FromUTF8(entry), SmallIcon("FavFolder"));
    if (entry == g_run_state.output_folder) {
      selected = static_cast<int>(g_main.folders->GetCount()) - 1;
    }
  }
  if (g_main.folders->GetCount() > 0) g_main.folders->SetSelection(selected);
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

void ApplyInterfaceChanges() {
  if (g_run_state.refresh_level == 2) {
    LoadThemeImages(false, false, true);
    BuildMainToolbar();
    g_run_state.refresh_level = 0;
  } else if (g_run_state.refresh_level == 1) {
    LoadThemeImages(true, true, true);
    BuildMainMenu();
    BuildMainToolbar();
    RefreshControlIcons();
    g_run_state.refresh_level = 0;
  }
  LayoutMainWindow();
  if (static_cast<int>(g_main.folders->GetCount()) != g_settings.advanced.out_folders_number) {
    FillOutputFolderList();
  }
}

void NewSession() {
  FillOutputFolderList();
  ResetRunState();
  g_main.input->SetValue("");
  g_main.folders->SetValue("");
}

bool AddInputFileToWindow(const std::string& path) {
  if (!AddInputFile(path)) return false;
  g_main.input->SetValue(wxString::FromUTF8(path));
  if (g_main.folders->GetValue().IsEmpty()) {
    std::string folder = g_run_state.input_base_folder;
    if (folder.empty()) folder = fs::FolderOf(fs::AbsolutePath(path));
    if (!folder.empty() && folder.back() != '/') folder += '/';
    AddRecentOutputFolder(folder);
    g_run_state.output_folder = folder;
    FillOutputFolderList();
  }
  return true;
}

void ShowMainWindow() {
  RegisterFormats();
  if (g_settings.window.is_maximized != 0) g_main.frame->Maximize();
  if (g_settings.file.recent_out_folders.empty())
    g_main.folders->Append("", SmallIcon("FavFolder"));
  FillOutputFormatList(g_main.formats, true);
  NewSession();
  g_main.frame->Show();
  LayoutMainWindow();
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
    case kCommandManual:
      platform::OpenWithDesktop(ManualPath());
      break;
    case kCommandSendFeedback:
      platform::OpenWithDesktop(FeedbackMailLink());
      break;
    case kCommandVisitHomepage:
      platform::OpenWithDesktop(HomepageUrl());
      break;
    default:
      // Custom converter, update check and About come with their dialogs;
      // F10 has no action.
      break;
  }
}

void ExitDesktop() {
  if (g_main.quit_requested) return;
  g_main.quit_requested = true;
  WindowSettings& window = g_settings.window;
  if (g_main.frame->IsMaximized()) {
    window.is_maximized = 1;
  } else if (!g_main.frame->IsIconized()) {
    window.is_maximized = 0;
    const wxPoint position = g_main.frame->GetPosition();
    window.x = position.x;
    window.y = position.y;
    window.width = g_main.frame->GetClientSize().GetWidth();
    // The height cannot change; the stored value is kept.
  }
  if (g_settings.advanced.out_folders_history == 0) g_settings.file.recent_out_folders.clear();
  SaveSettings();
  g_main.frame->Destroy();
}

}  // namespace pic2jpg
