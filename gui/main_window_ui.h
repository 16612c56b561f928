// The main window's widgets and the functions that build and drive them.
#ifndef PIC2JPG_GUI_MAIN_WINDOW_UI_H_
#define PIC2JPG_GUI_MAIN_WINDOW_UI_H_

#include <wx/bmpbuttn.h>
#include <wx/bmpcbox.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/run_controller.h"
#include "gui/main_window_model.h"
#include "gui/theme_colours.h"
#include "gui/window_inputs.h"

namespace pic2jpg {

// Warnings and questions as message boxes over the main window.
Prompter MessageBoxPrompter();

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
  // Message boxes; tests put in their own answers.
  Prompter prompter = MessageBoxPrompter();
  // The window's conversion runs, one at a time.
  std::unique_ptr<RunController> run = std::make_unique<RunController>();
  // The failures of the last run, listed after it.
  std::vector<std::string> last_failures;
  // The files collected for the next run, and the walk of a drop under way.
  CollectedInputs inputs;
  std::thread collector;
};

extern MainWindow g_main;

// The bitmap of a numbered picture at `pixels`, made visible on the theme's
// background (gui/picture_bitmaps_ui.cc); an empty one for a missing picture.
wxBitmap ImageBitmap(int number, int pixels);
// The GTK theme's window background.
Rgb ThemeBackground();

void BuildMainWindow();
void BuildMainMenu();
void BuildMainToolbar();
void ShowMainWindow();
void FillOutputFormatList(wxBitmapComboBox* list, bool with_description);
void FillOutputFolderList();
void RefreshControlIcons();
// Rebuilds what a change of settings needs: after a dialog's OK.
void ApplyInterfaceChanges(const InterfaceChanges& changes);
void RunCommand(int id);
bool AddInputFileToWindow(const std::string& path);
// Adds files and folders (a drop, a multi-select, a second start) to the
// run's input list; false when none of them gives a file to convert.
bool AddInputPathsToWindow(const std::vector<std::string>& paths);
// The same off the user-interface thread, for drops of any size: the window
// takes the files when the walk is done.
void CollectInputsInBackground(std::vector<std::string> paths);
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
