#include "cli/console_batch.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "cli/batch_input.h"
#include "cli/keywords.h"
#include "cli/option_table.h"
#include "engine/depth.h"
#include "engine/format_tables.h"
#include "engine/naming.h"
#include "engine/run_controller.h"
#include "engine/run_setup.h"
#include "engine/settings_check.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "text/ascii_case.h"
#include "text/placeholders.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

constexpr int kConverted = 0;
constexpr int kNotConverted = 1;

void Print(std::string_view line) { platform::ConsoleWriteLine(line); }

std::string Number(int64_t value) { return std::to_string(value); }

// The lines and checks of one run. `debug` adds one line per setting.
struct Batch {
  bool quiet = false;
  bool debug = false;
  ManyInputs many;         // a folder or list named by -i
  RunResources resources;  // the watermark's font or picture, loaded once

  void Debug(std::string_view line) const {
    if (debug) Print(line);
  }
  void Progress(std::string_view line) const {
    if (!quiet) Print(line);
  }
  // Prints the error line and gives the run's result.
  int Stop(std::string_view message) {
    Print(message);
    ReleaseFont();
    return kNotConverted;
  }
  // Gives back the run's watermark font and picture.
  void ReleaseFont() { resources = RunResources{}; }
};

// Steps up to the resolved output folder. "" when they pass, else the error.
std::string CheckInputAndOutput(Batch* batch_record) {
  const Batch& batch = *batch_record;
  RunState& run = g_run_state;
  const std::string& argument = run.input_argument;
  batch.Debug("Input: " + PrintableText(argument));

  // A folder or a list names many files; its folder is the run's base folder.
  const InputKind kind = KindOfInput(argument);
  if (kind != InputKind::kFile) {
    ManyInputs& many = batch_record->many;
    if (!OpenManyInputs(argument, kind, &many)) return "Error: Invalid input file";
    run.input_path = kind == InputKind::kFolder ? many.base_folder : fs::AbsolutePath(argument);
    many.beside_inputs = run.output_folder.empty();
    if (many.beside_inputs) run.output_folder = many.base_folder;
  }

  // Otherwise the input names one file, with an extension.
  if (kind == InputKind::kFile) {
    if (fs::ExtensionOf(argument).empty()) return "Error: Invalid input file";
    run.input_path = argument;
    if (fs::FileSize(run.input_path) <= 0) return "Error: Invalid input file";
  }

  // Without -o the output goes next to the input file, also when the input
  // was named relative to the current folder.
  if (run.output_folder.empty()) {
    std::string folder = fs::FolderOf(run.input_path);
    if (!folder.starts_with("/")) folder = fs::AbsolutePath(folder.empty() ? "." : folder);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    run.output_folder = folder;
  }
  batch.Debug("Output: " + PrintableText(run.output_folder));

  // A relative output folder starts from the current folder, as for every
  // other path ("out", "./out", ".", "../out"); it is never created.
  if (!fs::IsFolder(run.output_folder)) return "Error: Invalid output folder";
  if (!run.output_folder.starts_with("/")) run.output_folder = fs::AbsolutePath(run.output_folder);
  if (run.output_folder.back() != '/') run.output_folder += '/';
  return "";
}

// A value as the debug listing shows it.
std::string ShownValue(const Settings& settings, const SettingField& field) {
  const int64_t number = SettingInt(settings, field);
  switch (field.show) {
    case DebugShow::kNumber:
      return Number(number);
    case DebugShow::kText:
      return SettingText(settings, field);
    case DebugShow::kKeyword:
      return ValueToKeyword(field.keyword_kind, static_cast<int32_t>(number));
    case DebugShow::kCompression:
      return CompressionKeyword(field.format, static_cast<int32_t>(number));
    case DebugShow::kHundredths: {
      char text[64];
      std::snprintf(text, sizeof text, "%.2f",
                    static_cast<double>(settings.adjustment.image_gamma));
      return text;
    }
  }
  return "";
}

// "Width: 800 PIXELS": the label, the value and a joined setting's value.
std::string DebugLine(const Settings& settings, const SettingField& field) {
  std::string line = std::string(field.debug) + ": " + ShownValue(settings, field);
  if (const SettingField* joined = FindSettingField(field.group, field.joined)) {
    line += std::string(field.joiner) + ShownValue(settings, *joined);
  }
  return line;
}

// The watermark's font or picture, loaded once for the run; "" when loaded.
std::string LoadWatermark(Batch* batch) {
  const WatermarkSettings& wm = g_settings.watermark;
  if (!LoadRunWatermarkFont(wm, &batch->resources)) return "Error: Invalid watermark font";
  // Loaded in a helper process: a hostile file fails here with its reason,
  // not in the middle of the conversion.
  std::string reason;
  if (CheckWatermarkImage(wm, &batch->resources, &reason) != WatermarkImageCheck::kOk) {
    if (!reason.empty()) platform::ErrorWriteLine("pic2jpg: " + wm.image + ": " + reason);
    return "Error: Invalid watermark image";
  }
  return "";
}

// The output format's and the watermark's checks follow all their lines; the
// other groups stop right after the line of the refused setting.
bool ChecksFollowGroup(std::string_view group) { return group == "Output" || group == "Watermark"; }

// What ends a group of the listing: its refused setting, or the watermark's
// loading; "" to go on.
std::string EndOfGroup(Batch* batch, std::string_view group, const SettingsProblem& problem) {
  if (problem.field != nullptr && problem.field->group == group) {
    if (!problem.reason.empty()) {
      platform::ErrorWriteLine("pic2jpg: " + g_settings.watermark.image + ": " + problem.reason);
    }
    return problem.console_message;
  }
  if (group == "Watermark") return LoadWatermark(batch);
  return "";
}

// Lists the settings in use, group by group in the table's order, and stops
// at the first one CheckSettings refuses; "" when all pass.
std::string ListAndCheckSettings(Batch* batch) {
  const SettingsProblem problem = CheckSettings(g_settings);
  std::string_view group;
  for (const SettingField& field : SettingFields()) {
    if (field.group != group) {
      std::string error = EndOfGroup(batch, group, problem);
      if (!error.empty()) return error;
      group = field.group;
    }
    if (field.debug.empty() || !SettingInUse(g_settings, field)) continue;
    batch->Debug(DebugLine(g_settings, field));
    if (&field == problem.field && !ChecksFollowGroup(group)) return problem.console_message;
  }
  return EndOfGroup(batch, group, problem);
}

}  // namespace

bool IsOutputExtension(const std::string& extension) {
  for (const char* format : kMainOutputFormats) {
    if (format[0] != '\0' && extension == format) return true;
  }
  return false;
}

int RunConsoleBatch(bool quiet) {
  RunState& run = g_run_state;
  Batch batch;
  batch.quiet = quiet;
  batch.debug = run.message_level == MessageLevel::kDebug;

  batch.Progress(GetText("General", "Preparing"));
  std::string error = CheckInputAndOutput(&batch);
  if (!error.empty()) return batch.Stop(error);

  if (run.input_extension.empty()) run.input_extension = kMainInputFormats[0];
  if (run.output_extension.empty()) run.output_extension = kMainOutputFormats[0];
  batch.Debug("Conversion: " + run.output_extension);
  if (!IsOutputExtension(run.output_extension)) {
    return batch.Stop("Error: Invalid conversion type");
  }
  // The run's formats are the ones whose settings are listed and checked.
  g_settings.input.format = run.input_extension;
  g_settings.output.format = run.output_extension;
  error = ListAndCheckSettings(&batch);
  if (!error.empty()) return batch.Stop(error);

  batch.Progress(GetText("General", "Importing"));
  int imported = 0;
  // Files named or found that cannot be converted: they count in the total.
  QueueCount many;
  if (batch.many.kind != InputKind::kFile) {
    many = QueueManyInputs(batch.many);
    imported = many.queued;
  } else if (ReplaceInputListWith(run.input_path)) {
    imported = 1;
  }
  batch.Progress(FillPlaceholders(GetText("Msg", "Import complete"), Number(imported)));
  if (imported == 0) {
    Print(GetText("Msg", "Conversion is not complete"));
    Print(GetText("Msg", "Empty input files"));
    batch.ReleaseFont();
    return kNotConverted;
  }

  batch.Progress(GetText("General", "Converting"));
  // The run gets its own copy of the settings.
  RunPlan plan = PlanRun(g_settings, EntriesOf(g_input_list), {run.counter, run.random_number});
  plan.output = SaveOptionsFor(g_settings.output, run.output_extension);
  plan.output_folder = run.output_folder;
  plan.resources = std::move(batch.resources);
  plan.trace = batch.debug;
  RunController controller;
  StartRun(&controller, std::move(plan));
  const RunOutcome outcome = FinishRun(&controller);
  run.counter = outcome.counter;
  run.random_number = outcome.random_number;
  const int converted = outcome.progress.converted;
  // Standard output keeps its own lines; why each file failed goes to
  // standard error, one line a file.
  for (const FileFailure& failure : outcome.progress.failures) {
    platform::ErrorWriteLine("pic2jpg: " + PrintableText(failure.path) + ": " +
                             PrintableText(failure.reason));
  }

  int result = kNotConverted;
  if (converted > 0) {
    batch.Progress(GetText("Msg", "Conversion complete"));
    batch.Progress(FillPlaceholders(GetText("Msg", "Files converted"), Number(converted),
                                    Number(imported + many.refused)));
    // Success only when every file was converted.
    if (converted == imported && !many.problem) result = kConverted;
  } else {
    Print(GetText("Msg", "Conversion is not complete"));
  }
  batch.ReleaseFont();
  return result;
}

}  // namespace pic2jpg
