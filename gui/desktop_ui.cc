// The desktop modes' start and end: wxWidgets' application object (the one
// subclass it demands), the main window's event loop, the screenshot mode
// and the uninstall page.
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/statusbr.h>
#include <wx/timer.h>
#include <wx/toolbar.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "engine/format_tables.h"
#include "gui/commands.h"
#include "gui/desktop.h"
#include "gui/handover_ui.h"
#include "gui/main_window_ui.h"
#include "gui/preferences_commit.h"
#include "gui/preferences_model.h"
#include "gui/themes.h"
#include "platform/console.h"
#include "platform/desktop.h"
#include "platform/file_system.h"
#include "platform/folder_names.h"
#include "platform/process.h"
#include "runlist/handover.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/main_formats.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "text/identity.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

class DesktopApp : public wxApp {
 public:
  explicit DesktopApp(std::function<bool()> start) : start_(std::move(start)) {}
  bool OnInit() override {
    wxInitAllImageHandlers();
    return start_();
  }

 private:
  std::function<bool()> start_;
};

// Runs `start` inside wxWidgets' start and end; its main loop runs while a
// window is open. Fails (status 1) when there is no display to open.
int RunWx(std::function<bool()> start) {
  wxApp::SetInstance(new DesktopApp(std::move(start)));
  char name[] = "pic2jpg";
  char* argv[] = {name, nullptr};
  int argc = 1;
  const int status = wxEntry(argc, argv);
  return status == 0 ? 0 : 1;
}

// Settings-independent start of every desktop mode.
void StartDesktopCommon() {
  RegisterFormats();
  ResetRunState();
  const wxRect area = wxDisplay(0u).GetGeometry();
  platform::SetPrimaryDesktopSize({area.GetWidth(), area.GetHeight()});
  LoadTextCatalogue("");
  LoadBuiltInImages();
  ScanThemes();
}

constexpr const char* kScreenshotSamples[] = {"pic0102",     "picture_a", "picture_b", "morvane",
                                              "layout-haus", "summer",    "winter"};

// The window's own area on the screen: menu bar, tool bar, client area and
// status bar, without a window manager's frame (which the frame's screen
// rectangle includes once the manager reports it).
wxRect ContentScreenRect(wxFrame* frame) {
  wxRect rect(frame->ClientToScreen(wxPoint(0, 0)), frame->GetClientSize());
  if (wxMenuBar* menus = frame->GetMenuBar()) rect.Union(menus->GetScreenRect());
  if (wxToolBar* tools = frame->GetToolBar()) rect.Union(tools->GetScreenRect());
  if (wxStatusBar* status = frame->GetStatusBar()) rect.Union(status->GetScreenRect());
  return rect;
}

void CaptureMainWindow(wxFrame* frame, const std::string& folder) {
  const wxRect rect = ContentScreenRect(frame);
  wxBitmap bitmap(rect.width, rect.height);
  {
    wxScreenDC screen;
    wxMemoryDC memory(bitmap);
    memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    memory.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    memory.SetTextForeground(*wxBLACK);
    memory.SetFont(wxFont(wxFontInfo(8).FaceName("Sans")));
    const wxString address = wxString::FromUTF8(kVendorWebAddress);
    const wxSize extent = memory.GetTextExtent(address);
    // In the status bar's right end, where no control or text of the window
    // lies under it.
    int bottom = rect.height - 26;
    if (wxStatusBar* bar = frame->GetStatusBar()) {
      const wxRect bar_rect = bar->GetScreenRect();
      bottom = bar_rect.y - rect.y + (bar_rect.height + extent.GetHeight()) / 2;
    }
    memory.DrawText(address, rect.width - 35 - extent.GetWidth(), bottom - extent.GetHeight());
  }
  wxImage image = bitmap.ConvertToImage();
  image.SetOption(wxIMAGE_OPTION_QUALITY, 90);
  image.SaveFile(wxString::FromUTF8(folder + "quorvel1.jpg"), wxBITMAP_TYPE_JPEG);
  const int small_height =
      static_cast<int>(std::lround(180.0 / (static_cast<double>(rect.width) / rect.height)));
  wxImage small = image.Scale(180, std::max(small_height, 1), wxIMAGE_QUALITY_NEAREST);
  small.SetOption(wxIMAGE_OPTION_QUALITY, 90);
  small.SaveFile(wxString::FromUTF8(folder + "quorvel1x.jpg"), wxBITMAP_TYPE_JPEG);
}

}  // namespace

int RunDesktop(const std::vector<std::string>& files) {
  std::string why;
  if (!StartHandoverService(TitleWithVersion(), &why)) {
    platform::ErrorWriteLine("pic2jpg: later starts cannot hand over their files: " + why);
  }
  const int status = RunWx([files] {
    StartDesktopCommon();
    BuildPreferencesPath();
    LoadSettings();
    DepthsToAuto(&g_settings);
    LoadThemeImages(true, true, true);
    MainWindow& window = BuildMainWindow();
    ShowMainWindow(window);
    if (!files.empty()) AddInputPathsToWindow(window, files);
    TakeHandoversIntoWindow();
    return true;
  });
  EndHandoverService();
  return status;
}

int RunScreenshotMode(const std::string& folder_arg) {
  RegisterFormats();
  ResetRunState();
  std::string folder = folder_arg.empty() ? g_run_state.program_folder : folder_arg;
  if (folder.back() != '/') folder += '/';
  if (!fs::IsFolder(folder)) return 1;
  return RunWx([folder] {
    StartDesktopCommon();
    g_run_state.message_level = MessageLevel::kScreenshot;
    ApplyDefaultSettings(false);
    LoadThemeImages(true, true, true);
    MainWindow& window = BuildMainWindow();
    window.frame->Move(400, 400);
    ShowMainWindow(window);
    std::string sample = "/home/user/images/";
    sample.append(kScreenshotSamples[3]).append(".").append(kMainInputFormats[0]);
    window.input->SetValue(wxString::FromUTF8(sample));
    window.folders->Clear();
    window.folders->Append("/home/user/converted/", ImageBitmap(11, 16));
    window.folders->SetSelection(0);
    window.formats->SetFocus();
    window.folders->SetFocus();
    window.convert->SetFocus();
    auto* timer = new wxTimer;
    timer->Bind(wxEVT_TIMER, [folder, timer, &window](wxTimerEvent&) {
      CaptureMainWindow(window.frame, folder);
      // Ends without saving the settings.
      window.model.quit_requested = true;
      window.frame->Destroy();
      // Last: the timer owns this function and what it captured.
      delete timer;
    });
    timer->StartOnce(500);
    return true;
  });
}

wxFrame* BuildUninstallPage() {
  auto* frame =
      new wxFrame(nullptr, wxID_ANY, wxString::FromUTF8(GetText("Uninstall", "Title")),
                  wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
  frame->SetName("uninstall");
  auto* panel = new wxPanel(frame);
  auto* check =
      new wxCheckBox(panel, 381, wxString::FromUTF8(GetText("Uninstall", "Uninstall Text")));
  check->SetValue(true);
  auto* next = new wxButton(panel, 382, wxString::FromUTF8(GetText("Uninstall", "Next")));
  next->SetDefault();
  next->Bind(wxEVT_BUTTON, [frame, check](wxCommandEvent&) {
    if (check->IsChecked()) platform::OpenWithDesktop(UninstallFeedbackUrl());
    frame->Destroy();
  });
  // At least the page's 300 x 100 pixels, and as large as its texts need.
  const int gap = std::max(4, panel->GetCharHeight() / 2);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(check, 0, wxALL, 3 * gap);
  sizer->AddStretchSpacer();
  sizer->Add(next, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 3 * gap);
  sizer->SetMinSize(wxSize(300, 100));
  panel->SetSizer(sizer);
  frame->SetClientSize(sizer->GetMinSize());
  frame->Centre();
  frame->Show();
  next->SetFocus();
  return frame;
}

int RunUninstallPage() {
  return RunWx([] {
    StartDesktopCommon();
    BuildUninstallPage();
    return true;
  });
}

}  // namespace pic2jpg
