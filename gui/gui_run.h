// The desktop's Convert command without its widgets: the checks in their
// order, the run set-up, and the texts of the progress dialog.
#ifndef PIC2JPG_GUI_GUI_RUN_H_
#define PIC2JPG_GUI_GUI_RUN_H_

#include <string>
#include <vector>

#include "engine/run_controller.h"
#include "runlist/run_state.h"
#include "runlist/window_inputs.h"

namespace pic2jpg {

struct GuiRunFields {
  std::string input;          // the input field's text
  std::string output_folder;  // the output folder list's text
  int format_index = 0;       // item data of the selected output format
  // The files the window collected (drops, multi-select, a second start);
  // when there are any, they are converted instead of the field's text.
  std::vector<WindowInput> inputs;
};

struct GuiRunStart {
  bool ready = false;            // true: the worker may start with `plan`
  std::string warning;           // the message of the first failed check
  bool status_stopped = false;   // the status bar says "Conversion stopped"
  bool history_changed = false;  // the output folder list must be refilled
  RunPlan plan;                  // the run, with its own copy of the settings
};

// Steps 1 to 11 of the Convert command: fills g_input_list, checks input,
// output folder, resize size, watermark font and image (stopping at the
// first failure, with no setting changed), then plans the run (the loaded
// font goes with the plan; a watermark picture is only named, for the run
// to load off the window's thread), sets the output folder and extension
// of g_run_state and puts the folder first in the history.
GuiRunStart PrepareGuiRun(const GuiRunFields& fields);

// The mask's counter and random number go on from where a run left them.
void KeepRunNumbers(const RunOutcome& outcome, RunState* state);

// "abcdef...uvwxyz": the first and last (max - 3) / 2 characters around
// "..." when `text` is longer than `max_chars`; else `text`.
std::string ShortenMiddle(const std::string& text, int max_chars);

// "Converting (2/5)", "Conversion complete (1/1)", "Conversion stopped (1/3)".
std::string ProgressTitle(const std::string& head_key_group, const std::string& head_key,
                          int processed, int total);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_GUI_RUN_H_
