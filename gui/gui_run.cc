#include "gui/gui_run.h"

#include "engine/depth.h"
#include "engine/format_tables.h"
#include "engine/run_setup.h"
#include "engine/settings_check.h"
#include "gui/preferences_checks.h"
#include "gui/preferences_model.h"
#include "platform/file_system.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/main_formats.h"
#include "settings/settings.h"
#include "text/ascii_case.h"
#include "text/ascii_scan.h"
#include "text/placeholders.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

std::string TrimBlanks(const std::string& text) { return std::string(TrimAsciiBlanks(text)); }

GuiRunStart Stop(std::string warning, bool status_stopped) {
  GuiRunStart start;
  start.warning = std::move(warning);
  start.status_stopped = status_stopped;
  return start;
}

}  // namespace

GuiRunStart PrepareGuiRun(const GuiRunFields& fields) {
  // 1. The input: a missing path or a folder passes here; the run then
  // converts 0 of 1. An empty file or another extension is not taken.
  const std::string input = TrimBlanks(fields.input);
  g_input_list.clear();
  if (!fields.inputs.empty()) {
    for (const WindowInput& file : fields.inputs) {
      g_input_list[file.path] = InputEntry{file.relative_subfolder, ""};
    }
  } else if (!input.empty() && fs::FileSize(input) != 0 &&
             ListContains(AcceptedInputExtensions(), LowerAscii(fs::ExtensionOf(input)))) {
    g_input_list[input] = InputEntry{"", ""};
  }
  // 2. The output folder and extension.
  std::string folder = TrimBlanks(fields.output_folder);
  const std::string extension = kMainOutputFormats[fields.format_index == 1 ? 1 : 0];

  if (g_input_list.empty()) return Stop(GetText("Msg", "Empty input files"), true);
  if (folder.empty()) return Stop(GetText("Msg", "Empty output folder"), true);
  if (folder.back() != '/') folder += '/';
  if (!fs::IsFolder(folder)) {
    return Stop(FillPlaceholders(GetText("Msg", "Invalid output folder"), folder), true);
  }
  const SettingsProblem problem = CheckSettings(g_settings, /*load_pictures=*/false);
  if (problem.field != nullptr) {
    return Stop(SettingsProblemText(problem), problem.field->group != "Watermark");
  }
  RunResources resources;
  if (!LoadRunWatermarkFont(g_settings.watermark, &resources)) {
    return Stop(
        FillPlaceholders(GetText("Msg", "Invalid watermark font"), g_settings.watermark.font),
        false);
  }
  // The picture itself is loaded by the run, off the window's thread.
  switch (CheckWatermarkImageNamed(g_settings.watermark)) {
    case WatermarkImageCheck::kNoImage:
      return Stop(GetText("Msg", "Empty watermark image"), false);
    case WatermarkImageCheck::kInvalidImage:
      return Stop(
          FillPlaceholders(GetText("Msg", "Invalid watermark image"), g_settings.watermark.image),
          false);
    case WatermarkImageCheck::kOk:
      break;
  }

  // 10. The run's parameters; the mask's random number and counter go on
  // from the previous run.
  g_run_state.output_folder = folder;
  g_run_state.output_extension = extension;
  RunPlan plan = PlanRun(g_settings, EntriesOf(g_input_list),
                         {g_run_state.counter, g_run_state.random_number});
  plan.output = SaveOptionsFor(g_settings.output, extension);
  plan.output_folder = folder;
  plan.resources = std::move(resources);
  GuiRunStart start;
  start.ready = true;
  start.history_changed = AddRecentOutputFolder(folder);
  if (g_settings.watermark.kind == WatermarkKind::kImage)
    plan.watermark_image = g_settings.watermark.image;
  start.plan = std::move(plan);
  return start;
}

void KeepRunNumbers(const RunOutcome& outcome, RunState* state) {
  state->counter = outcome.counter;
  state->random_number = outcome.random_number;
}

std::string ShortenMiddle(const std::string& text, int max_chars) {
  if (text.empty() || max_chars < 0 || text.size() <= static_cast<size_t>(max_chars)) {
    return text;
  }
  const size_t k = max_chars >= 3 ? static_cast<size_t>((max_chars - 3) / 2) : 0;
  return text.substr(0, k) + "..." + text.substr(text.size() - k);
}

std::string ProgressTitle(const std::string& head_key_group, const std::string& head_key,
                          int processed, int total) {
  return GetText(head_key_group, head_key) + " " +
         FillPlaceholders(GetText("Msg", "Progress"), std::to_string(processed),
                          std::to_string(total));
}

}  // namespace pic2jpg
