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
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/run_controller.h"
#include "runlist/run_state.h"
#include "runlist/window_inputs.h"
#include "settings/settings.h"

namespace pic2jpg {

// Every message box and the opener of addresses, in one place, so that tests
// answer them and no browser starts. The window holds one (MainWindowModel);
// its dialogs ask through it.
struct Prompter {
  std::function<void(const std::string& text)> warn;
  std::function<bool(const std::string& text)> ask_yes_no;                     // a warning's yes/no
  std::function<bool(const std::string& title, const std::string& text)> ask;  // a question
  // A question whose Yes loses something: Return answers No.
  std::function<bool(const std::string& title, const std::string& text)> ask_destructive;
  std::function<void(const std::string& title, const std::string& text)> inform;
  std::function<void(const std::string& text)> show_error;
  // Opens one address, mail link or file; false when that failed at once.
  // `failed_later` is called on any thread when it failed afterwards.
  std::function<bool(const std::string& target, std::function<void()> failed_later)> open_url;
};

// The main window's state without its widgets, owned by the frame.
struct MainWindowModel {
  Prompter prompter;
  bool quit_requested = false;
  // The window's conversion runs, one at a time.
  std::unique_ptr<RunController> run = std::make_unique<RunController>();
  // The failures of the last run as listed after it, "FILE: REASON" (rows
  // of gui/run_result.h).
  std::vector<std::string> last_failures;
  // The files collected for the next run.
  CollectedInputs inputs;
  // The walk of a drop under way, and the session it belongs to: a new
  // session (Ctrl+N) moves the number on, and a walk of an older one is
  // dropped when it ends.
  std::thread collector;
  uint64_t session = 0;
};

// Ctrl+N: the collected files go, and a walk under way no longer counts.
void StartNewSession(MainWindowModel* model);

// What taking a walk's or a pick's files changes in the window.
struct TakenInputs {
  bool taken = false;                // some file was taken
  std::string status;                // the status bar's text when none was ("" to keep it)
  std::string field_text;            // the input field's text
  bool folder_list_changed = false;  // an output folder was proposed
};
// Takes collected files into the model: the field shows the first and how
// many more; the output folder is proposed (put first in the history and
// chosen in `state`) when `folder_chosen` is false.
TakenInputs TakeInputs(MainWindowModel* model, CollectedInputs collected, bool folder_chosen,
                       RunState* state);

// The output format list's choice: item data 1 is the second main output
// format, anything else the first.
void SelectMainOutputFormat(int format_index, OutputSettings* output);

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

// The stop question of the progress dialog: the run is held while it is
// open (the worker finishes its file and waits), then stopped or let go on.
// True when the user chose to stop.
bool AskToStopRun(RunController* run, const Prompter& prompter);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_MAIN_WINDOW_MODEL_H_
