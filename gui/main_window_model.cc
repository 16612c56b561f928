#include "gui/main_window_model.h"

#include <utility>

#include "gui/commands.h"
#include "gui/gui_run.h"
#include "gui/run_result.h"
#include "platform/file_system.h"
#include "runlist/run_list.h"
#include "settings/main_formats.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {

void StoreExitState(const WindowGeometry& seen, Settings* settings) {
  WindowSettings& window = settings->window;
  if (seen.maximized) {
    window.is_maximized = 1;
  } else if (!seen.iconized) {
    window.is_maximized = 0;
    window.x = seen.x;
    window.y = seen.y;
    window.width = seen.client_width;
  }
  if (settings->advanced.out_folders_history == 0) settings->file.recent_out_folders.clear();
}

std::string ProposedOutputFolder(const std::string& input_path, const std::string& base_folder) {
  std::string folder = base_folder;
  if (folder.empty()) folder = fs::FolderOf(fs::AbsolutePath(input_path));
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

FolderListView OutputFolderListView(const Settings& settings, const std::string& current) {
  FolderListView view;
  for (int i = 0; i < settings.advanced.out_folders_number; ++i) {
    const std::string entry = RecentOutputFolder(settings.file.recent_out_folders, i);
    if (entry.empty()) continue;
    if (entry == current) view.selected = static_cast<int>(view.entries.size());
    view.entries.push_back(entry);
  }
  return view;
}

bool TakeScheduledUpdateCheck(GeneralSettings* general, int64_t now) {
  if (!UpdateCheckDue(general->update_range, general->update_date, now)) return false;
  general->update_date = static_cast<int32_t>(now);
  return true;
}

InterfaceChanges CompareInterface(const Settings& before, const Settings& after) {
  InterfaceChanges changes;
  changes.theme = before.interface.ui_theme != after.interface.ui_theme;
  changes.icon_size = !changes.theme && before.interface.ui_size != after.interface.ui_size;
  changes.folder_list = before.advanced.out_folders_number != after.advanced.out_folders_number ||
                        before.file.recent_out_folders != after.file.recent_out_folders;
  changes.output_format = before.output.format != after.output.format;
  return changes;
}

FinishedRunView FinishedView(const RunProgress& progress) {
  FinishedRunView view;
  // The title, the dialog's line and the status bar tell the same count.
  const std::string head = progress.stopped ? GetText("Msg", "Conversion is not complete")
                                            : GetText("Msg", "Conversion complete");
  view.status = RunSummary(progress);
  view.title = head + ": " + view.status;
  view.status_bar = view.title;
  view.full_gauge = !progress.stopped;
  return view;
}

void StartNewSession(MainWindowModel* model) {
  model->inputs = CollectedInputs{};
  ++model->session;
}

TakenInputs TakeInputs(MainWindowModel* model, CollectedInputs collected, bool folder_chosen,
                       RunState* state) {
  TakenInputs taken;
  if (collected.files.empty()) {
    if (!collected.problems.empty()) {
      taken.status =
          PrintableText(collected.problems.front().path) + ": " + collected.problems.front().reason;
    }
    taken.field_text = InputFieldText(model->inputs.files);
    return taken;
  }
  const std::string first = collected.files.front().path;
  const std::string proposed_base =
      collected.first_folder == fs::FolderOf(first) ? "" : collected.first_folder;
  MergeInputs(&model->inputs, std::move(collected));
  taken.taken = true;
  taken.field_text = InputFieldText(model->inputs.files);
  state->input_path = first;
  if (!folder_chosen) {
    const std::string folder = ProposedOutputFolder(first, proposed_base);
    AddRecentOutputFolder(folder);
    state->output_folder = folder;
    taken.folder_list_changed = true;
  }
  return taken;
}

void SelectMainOutputFormat(int format_index, OutputSettings* output) {
  output->format = kMainOutputFormats[format_index == 1 ? 1 : 0];
}

bool AskToStopRun(RunController* run, const Prompter& prompter) {
  HoldRun(run);
  const bool stop = prompter.ask_yes_no(GetText("Msg", "Ask break conversion"));
  if (stop) {
    StopRun(run);
  } else {
    ResumeRun(run);
  }
  return stop;
}

}  // namespace pic2jpg
