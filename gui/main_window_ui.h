// The main window's widgets and the functions that build and drive them.
#ifndef PIC2JPG_GUI_MAIN_WINDOW_UI_H_
#define PIC2JPG_GUI_MAIN_WINDOW_UI_H_

#include <wx/bmpbuttn.h>
#include <wx/bmpcbox.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <functional>
#include <string>

namespace pic2jpg {

struct MainWindow {
  wxFrame* frame = nullptr;
  wxPanel* panel = nullptr;
  wxTextCtrl* input = nullptr;
  wxBitmapComboBox* folders = nullptr;
  wxBitmapComboBox* formats = nullptr;
  wxBitmapButton* input_button = nullptr;
  wxBitmapButton* folder_button = nullptr;
  wxBitmapButton* format_button = nullptr;
  wxBitmapButton* convert = nullptr;
  wxStaticText* notice = nullptr;
  bool quit_requested = false;
};

extern MainWindow g_main;

// Message boxes go through these, so that tests can answer them.
extern std::function<void(const std::string&)> g_show_warning;
extern std::function<bool()> g_ask_break_conversion;

wxBitmap ImageBitmap(int number, int pixels);

void BuildMainWindow();
void BuildMainMenu();
void BuildMainToolbar();
void ShowMainWindow();
void LayoutMainWindow();
void FillOutputFormatList(wxBitmapComboBox* list, bool with_description);
void FillOutputFolderList();
void RefreshControlIcons();
void ApplyInterfaceChanges();
void RunCommand(int id);
bool AddInputFileToWindow(const std::string& path);
void NewSession();
void SetStatus(const std::string& text);
std::string StatusText();
// Saves the geometry and the settings and closes the window.
void ExitDesktop();

// The Convert command, and its progress dialog.
void RunGuiConversion();
void ShowConversionProgress();

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_MAIN_WINDOW_UI_H_
