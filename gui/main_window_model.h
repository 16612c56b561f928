// The main window's rules without its widgets: what the window shows and
// stores, decided from plain values, so that they can be tested without a
// display. main_window_ui.cc only reads widgets into these values and back.
//
// The same pattern holds for the dialogs: a dialog edits a draft copy of
// `Settings`; OK validates the draft, commits it into the live record and
// reports what changed (InterfaceChanges below), Cancel drops the draft. No
// "what to redraw" flags are kept in globals.
#ifndef PIC2JPG_GUI_MAIN_WINDOW_MODEL_H_
#define PIC2JPG_GUI_MAIN_WINDOW_MODEL_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/run_controller.h"
#include "settings/settings.h"

namespace pic2jpg {

// Message boxes, injected into the window so that tests can answer them.
struct Prompter {
  std::function<void(const std::string& text)> warn;
  std::function<bool(const std::string& text)> ask_yes_no;
};

// What the window saw of itself at exit.
struct WindowGeometry {
  bool maximized = false;
  bool iconized = false;
  int x = 0;
  int y = 0;
  int client_width = 0;
};

// The geometry and the folder history as they are stored at exit: a
// maximized window keeps its last normal place; an iconized one changes
// nothing; the height is not the user's to change. With the history switched
// off the folder list is not kept.
void StoreExitState(const WindowGeometry& seen, Settings* settings);

// The output folder the window proposes for a newly taken input, ending with
// "/": the folder the input was collected from, else the input's own folder.
std::string ProposedOutputFolder(const std::string& input_path, const std::string& base_folder);

// The entries of the output-folder list (File/Recent Out Folders, up to
// Out Folders Number) and which one to select: `current` when listed, else 0.
struct FolderListView {
  std::vector<std::string> entries;
  int selected = 0;
};
FolderListView OutputFolderListView(const Settings& settings, const std::string& current);

// True when the start-time update question is due; the check date then
// moves to `now`, so it is asked at most once per interval.
bool TakeScheduledUpdateCheck(GeneralSettings* general, int64_t now);

// What a change of settings asks of the window after a dialog's OK.
struct InterfaceChanges {
  bool theme = false;          // every picture anew: menus, toolbar, buttons
  bool icon_size = false;      // the toolbar's pictures only
  bool folder_list = false;    // the output-folder list's length
  bool output_format = false;  // the selected output format
  bool Any() const { return theme || icon_size || folder_list || output_format; }
};
InterfaceChanges CompareInterface(const Settings& before, const Settings& after);

// The progress dialog's texts at the end of a run: its title and the main
// window's status bar "Conversion complete: 21 of 23 converted, 2 failed",
// its line the count alone.
struct FinishedRunView {
  std::string title;
  std::string status;      // the dialog's line
  std::string status_bar;  // the main window's status bar
  bool full_gauge = false;
};
FinishedRunView FinishedView(const RunProgress& progress);

// The list shown after a run with failures: one line a file, "FILE: REASON".
std::vector<std::string> FailureLines(const RunProgress& progress);

// The stop question of the progress dialog: the run is held while it is
// open (the worker finishes its file and waits), then stopped or let go on.
// True when the user chose to stop.
bool AskToStopRun(RunController* run, const Prompter& prompter);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_MAIN_WINDOW_MODEL_H_
