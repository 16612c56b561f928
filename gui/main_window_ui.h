// The main window's widgets and the functions that build and drive them.
#ifndef PIC2JPG_GUI_MAIN_WINDOW_UI_H_
#define PIC2JPG_GUI_MAIN_WINDOW_UI_H_

#include <wx/bmpbuttn.h>
#include <wx/bmpcbox.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

#include "gui/main_window_model.h"
#include "gui/theme_colours.h"

namespace pic2jpg {

// Message boxes over `parent` and the desktop's handler of addresses.
Prompter MessageBoxPrompter(wxWindow* parent);

// The main window: its widgets and its state. The frame owns it (see
// BuildMainWindow); it goes when the frame is destroyed.
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
  MainWindowModel model;
};

// The open main window, or nullptr before it is built and once it is closed.
MainWindow* FindMainWindow();
// Its frame, or nullptr: the parent of the dialogs.
wxFrame* MainFrame();
// Its prompter; message boxes with no parent when there is no window.
const Prompter& MainPrompter();

// The bitmap of a numbered picture at `pixels`, made visible on the theme's
// background (gui/picture_bitmaps_ui.cc); an empty one for a missing picture.
wxBitmap ImageBitmap(int number, int pixels);
// The GTK theme's window background.
Rgb ThemeBackground();

// Builds the window (owned by its frame) and returns it, not yet shown.
MainWindow& BuildMainWindow();
void BuildMainMenu(MainWindow& window);
void BuildMainToolbar(MainWindow& window);
void ShowMainWindow(MainWindow& window);
// The item data of the selected output format (0 when none is selected).
int SelectedFormatIndex(const MainWindow& window);
void FillOutputFormatList(wxBitmapComboBox* list, bool with_description);
void FillOutputFolderList(MainWindow& window);
// Rebuilds what a change of settings needs: after a dialog's OK.
void ApplyInterfaceChanges(const InterfaceChanges& changes);
void RunCommand(MainWindow& window, int id);
bool AddInputFileToWindow(MainWindow& window, const std::string& path);
// Adds files and folders (a drop, a multi-select, a second start) to the
// run's input list; false when none of them gives a file to convert.
bool AddInputPathsToWindow(MainWindow& window, const std::vector<std::string>& paths);
// Adds files already collected (a second start's, walked by the hand-over).
bool TakeCollectedIntoWindow(MainWindow& window, CollectedInputs collected);
// The same off the user-interface thread, for drops of any size: the window
// takes the files when the walk is done, unless a new session began since.
void CollectInputsInBackground(MainWindow& window, std::vector<std::string> paths);
void NewSession(MainWindow& window);
void SetStatus(MainWindow& window, const std::string& text);
std::string StatusText(MainWindow& window);
// Saves the geometry and the settings and closes the window.
void ExitDesktop(MainWindow& window);

// Lists the files collected for the next run (gui/input_list_ui.cc).
void ShowInputList(MainWindow& window);

// The Convert command, and its progress dialog.
void RunGuiConversion(MainWindow& window);
void ShowConversionProgress(MainWindow& window);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_MAIN_WINDOW_UI_H_
